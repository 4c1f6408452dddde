#include <gtest/gtest.h>

#include <set>
#include <sys/stat.h>

#include "../i18n/TempDir.h"
#include "core/DialogFolder.h"

namespace t6 {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::TempDir;
using test::writeBytes;

TEST(DialogFolder, TheStartFolderIsTheLastOneThenTheDocumentsThenHome) {
    const std::set<fs::path> folders{"/home/ann", "/home/ann/Documents", "/home/ann/sites",
                                     "/home/ann/.local/share/torvel6",
                                     "/home/ann/.local/share/torvel6/old"};
    const IsFolder isFolder = [&](const fs::path& p) { return folders.count(p) != 0; };
    const fs::path data = "/home/ann/.local/share/torvel6";
    struct Case {
        const char* what;
        DialogFolderInputs in;
        fs::path expected;
    };
    const Case cases[] = {
        {"first time: documents",
         {"/home/ann", "/home/ann/Documents", {}, data},
         "/home/ann/Documents"},
        {"the last folder",
         {"/home/ann", "/home/ann/Documents", "/home/ann/sites", data},
         "/home/ann/sites"},
        {"a last folder since removed",
         {"/home/ann", "/home/ann/Documents", "/home/ann/gone", data},
         "/home/ann/Documents"},
        {"no documents folder", {"/home/ann", "/home/ann/Dokumente", {}, data}, "/home/ann"},
        {"never the data folder",
         {"/home/ann", "/home/ann/Documents", data, data},
         "/home/ann/Documents"},
        {"nor inside it", {"/home/ann", {}, data / "old", data}, "/home/ann"},
        {"nor spelt another way",
         {"/home/ann", {}, "/home/ann/.local/share/./torvel6/", data},
         "/home/ann"},
        {"documents that are the data folder", {"/home/ann", data, {}, data}, "/home/ann"},
        {"a relative last folder", {"/home/ann", {}, "sites", data}, "/home/ann"},
        {"nothing there", {"/nohome", {}, {}, data}, {}},
        {"nothing known", {}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dialogStartFolder(c.in, isFolder), c.expected) << c.what;
}

TEST(DialogFolder, TheDocumentsFolderIsReadFromTheDesktopsUserDirs) {
    const fs::path home = "/home/ann";
    struct Case {
        const char* text;
        fs::path expected;
    };
    const Case cases[] = {
        {"XDG_DESKTOP_DIR=\"$HOME/Desktop\"\nXDG_DOCUMENTS_DIR=\"$HOME/Documents\"\n",
         "/home/ann/Documents"},
        {"# XDG_DOCUMENTS_DIR=\"$HOME/old\"\nXDG_DOCUMENTS_DIR=\"$HOME/Документы\"\r\n",
         "/home/ann/Документы"},
        {"XDG_DOCUMENTS_DIR=\"/srv/docs\"", "/srv/docs"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/My \\\"Docs\\\"\"", "/home/ann/My \"Docs\""},
        {"XDG_DOCUMENTS_DIR=\"$HOME/\"", "/home/ann/"},
        {"XDG_DOCUMENTS_DIR=\"$HOMEWORK\"", {}},
        {"XDG_DOCUMENTS_DIR=\"Documents\"", {}},
        {"XDG_DOCUMENTS_DIR=\"$HOME/a\"\nXDG_DOCUMENTS_DIR=\"$HOME/b\"", "/home/ann/b"},
        {"XDG_MUSIC_DIR=\"$HOME/Music\"", {}},
        {"", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(documentsFolderIn(c.text, home), c.expected) << c.text;
}

TEST(DialogFolder, TheLastFolderIsKeptAcrossRunsOutsideTheDataFolderOnly) {
    TempDir dir;
    const fs::path data = dir / "share" / "torvel6";
    EXPECT_EQ(readRememberedFolder(data), fs::path()) << "nothing kept yet";
    EXPECT_FALSE(rememberFolder(data, "/home/ann/sites"));
    EXPECT_EQ(readBytes(data / "lastfolder"), "/home/ann/sites");
    struct stat st {};
    ASSERT_EQ(::stat(data.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(readRememberedFolder(data), fs::path("/home/ann/sites"));

    // The backup chosen from the data folder leaves the kept folder as it was.
    EXPECT_FALSE(rememberFolder(data, data));
    EXPECT_EQ(readRememberedFolder(data), fs::path("/home/ann/sites"));
    // A kept text that is no absolute folder is not used.
    writeBytes(data / "lastfolder", "sites");
    EXPECT_EQ(readRememberedFolder(data), fs::path());
    // A data folder that cannot be made is a failure, not a crash.
    writeBytes(dir / "file", "x");
    EXPECT_EQ(rememberFolder(dir / "file" / "torvel6", "/home/ann").fault, FileFault::CannotCreate);
}

} // namespace
} // namespace t6
