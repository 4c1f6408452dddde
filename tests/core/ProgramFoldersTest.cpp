#include <gtest/gtest.h>

#include <sys/stat.h>

#include "../i18n/TempDir.h"
#include "core/ProgramFolders.h"
#include "i18n/Dictionary.h"

namespace t6 {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

TEST(ProgramFolders, TheUserFolderFollowsTheDesktopsDataHome) {
    EXPECT_EQ(userWorkingFolder("/home/ann/data", "/home/ann"), fs::path("/home/ann/data/torvel6"));
    // A relative data home is ignored, as the desktop's rules ask.
    EXPECT_EQ(userWorkingFolder("data", "/home/ann"), fs::path("/home/ann/.local/share/torvel6"));
    EXPECT_EQ(userWorkingFolder(nullptr, "/home/ann"), fs::path("/home/ann/.local/share/torvel6"));
    EXPECT_EQ(userWorkingFolder("", "/home/ann"), fs::path("/home/ann/.local/share/torvel6"));
    EXPECT_EQ(userWorkingFolder(nullptr, nullptr), fs::path());
}

TEST(ProgramFolders, FirstRunMakesTheFolderAndSeedsTheDictionary) {
    TempDir dir;
    const fs::path installed = dir / "share-dic";
    const std::string dic = "[Eng]\r\n\xD4\xE0\xE9\xEB=File\r\n";
    writeBytes(installed, dic);
    ::chmod(installed.c_str(), 0444);
    const fs::path folder = dir / "data" / "torvel6";
    EXPECT_FALSE(prepareUserFolder(folder, installed));
    EXPECT_EQ(readBytes(folder / "trans.dic"), dic);
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u) << "the logs hold telephone numbers";
    EXPECT_EQ(readBytes(installed), dic) << "the installed dictionary is only read";

    // A dictionary the user has is kept, even when the installed one changes.
    writeBytes(folder / "trans.dic", "mine");
    EXPECT_FALSE(prepareUserFolder(folder, installed));
    EXPECT_EQ(readBytes(folder / "trans.dic"), "mine");
    // Without an installed dictionary the folder is still made.
    EXPECT_FALSE(prepareUserFolder(dir / "other", fs::path()));
    EXPECT_TRUE(fs::is_directory(dir / "other"));
    EXPECT_FALSE(fs::exists(dir / "other" / "trans.dic"));
}

TEST(ProgramFolders, AFolderThatCannotBeMadeIsAFailure) {
    TempDir dir;
    writeBytes(dir / "file", "x");
    const FileFailure f = prepareUserFolder(dir / "file" / "torvel6", {});
    EXPECT_EQ(f.fault, FileFault::CannotCreate);
    EXPECT_NE(f.error, 0);
    EXPECT_TRUE(prepareUserFolder({}, {}));
}

TEST(ProgramFolders, TheInstalledDataLiesBesideTheProgramWhenItIsThere) {
    TempDir dir;
    fs::create_directories(dir / "usr" / "bin");
    fs::create_directories(dir / "usr" / "share" / "torvel6");
    // Without a dictionary beside it, the configured install folder is the answer.
    EXPECT_EQ(installedDataFolder(dir / "usr" / "bin"), fs::path(T6_INSTALL_DATADIR));
    writeBytes(dir / "usr" / "share" / "torvel6" / "trans.dic", "[Eng]\r\n");
    EXPECT_EQ(installedDataFolder(dir / "usr" / "bin"), dir.path() / "usr" / "share" / "torvel6");
    EXPECT_EQ(installedDictionary(dir / "usr" / "bin"),
              dir.path() / "usr" / "share" / "torvel6" / "trans.dic");
}

TEST(ProgramFolders, AFolderWithoutADictionaryTranslatesWithTheInstalledOne) {
    TempDir dir;
    const fs::path installed = dir / "installed.dic";
    writeBytes(installed, "[Eng]\r\nFile=Datei\r\n");
    ::chmod(installed.c_str(), 0444);
    fs::create_directories(dir / "work");
    Dictionary dict(dictionaryPathIn(dir / "work"));
    dict.setDefaultFile(installed);
    EXPECT_TRUE(dict.exists()) << "no \"No exists\" while the installed one stands in";
    EXPECT_EQ(dict.lookup("Eng", "File"), "Datei");
    EXPECT_FALSE(fs::exists(dir / "work" / "trans.dic")) << "nothing to add, nothing written";
    // A text still to translate goes into the folder's own new file, which
    // starts as the installed dictionary; the installed one is left alone.
    EXPECT_EQ(dict.lookup("Eng", "Edit"), "Edit");
    EXPECT_EQ(readBytes(dir / "work" / "trans.dic"), "[Eng]\r\nFile=Datei\r\nEdit=\r\n");
    EXPECT_EQ(readBytes(installed), "[Eng]\r\nFile=Datei\r\n");
    // From then on the folder's file is the dictionary.
    writeBytes(dir / "work" / "trans.dic", "[Eng]\r\nFile=Fichier\r\n");
    EXPECT_EQ(dict.lookup("Eng", "File"), "Fichier");
}

} // namespace
} // namespace t6
