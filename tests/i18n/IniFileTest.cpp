#include "i18n/IniFile.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "TempDir.h"
#include "common/Cp1251.h"
#include "common/PathTraps.h"

namespace t6 {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;

std::string valueOr(const IniFile& ini, std::string_view section, std::string_view key,
                    std::string missing = "<missing>") {
    auto v = ini.value(section, key);
    return v ? *v : missing;
}

TEST(IniFileRead, FollowsTheProfileRules) {
    const std::string text = "ignored=before any section\r\n"
                             "  [ Rus1 ]  ; comment after the header\r\n"
                             "; commented=out\r\n"
                             "no equals sign here\r\n"
                             " \t" +
                             ru("Отмена") + " \t=\t " + ru("Отменить") +
                             " \t\r\n"
                             "a=b=c\r\n"
                             "dup=first\r\n"
                             "DUP=second\r\n"
                             "quoted=\"in quotes\"\r\n"
                             "single='x'\r\n"
                             "half=\"open\r\n"
                             "empty=\r\n"
                             "[Eng1]\n"
                             "lf=unix line\n"
                             "last=no line end";
    IniFile ini(text);
    EXPECT_EQ(ru("Отменить"), valueOr(ini, "rus1", ru("ОТМЕНА")));
    EXPECT_EQ(ru("Отменить"), valueOr(ini, "RUS1", ru("оТмЕнА")));
    EXPECT_EQ("b=c", valueOr(ini, "Rus1", "a"));
    EXPECT_EQ("first", valueOr(ini, "Rus1", "Dup"));
    EXPECT_EQ("in quotes", valueOr(ini, "Rus1", "quoted"));
    EXPECT_EQ("x", valueOr(ini, "Rus1", "single"));
    EXPECT_EQ("\"open", valueOr(ini, "Rus1", "half"));
    EXPECT_EQ("", valueOr(ini, "Rus1", "empty"));
    EXPECT_EQ("unix line", valueOr(ini, "Eng1", "lf"));
    EXPECT_EQ("no line end", valueOr(ini, "Eng1", "last"));
    EXPECT_EQ("<missing>", valueOr(ini, "Rus1", "ignored"));
    EXPECT_EQ("<missing>", valueOr(ini, "Rus1", "; commented"));
    EXPECT_EQ("<missing>", valueOr(ini, "Rus1", "no equals sign here"));
    EXPECT_EQ("<missing>", valueOr(ini, "Rus1", "lf"));
    EXPECT_EQ("<missing>", valueOr(ini, "Rus", "a"));
    // Every byte comes back as it was read.
    EXPECT_EQ(text, ini.bytes());
}

TEST(IniFileRead, CyrillicCaseIgnoredBeyondTheBasicAlphabet) {
    // Ё, Є, І, Ї, Ґ, Ў and the Serbian letters fold as well as А..Я.
    IniFile ini("[" + ru("Раздел") + "]\r\n" + ru("ЁЖИК ЄЇІҐЎ ЉЊЋЏ") + "=1\r\n");
    EXPECT_EQ("1", valueOr(ini, ru("РАЗДЕЛ"), ru("ёжик єїіґў љњћџ")));
}

TEST(IniFileRead, OnlyTheFirstOfTwoSectionsOfOneNameCounts) {
    IniFile ini("[S]\r\na=1\r\n[T]\r\n[s]\r\na=2\r\nb=3\r\n");
    EXPECT_EQ("1", valueOr(ini, "S", "a"));
    EXPECT_EQ("<missing>", valueOr(ini, "S", "b"));
    // Writing goes to the same, first, section.
    ASSERT_EQ(IniFile::SetResult::Changed, ini.setValue("S", "b", "4"));
    EXPECT_EQ("[S]\r\na=1\r\nb=4\r\n[T]\r\n[s]\r\na=2\r\nb=3\r\n", ini.bytes());
    EXPECT_EQ("4", valueOr(ini, "S", "b"));
}

TEST(IniFileSet, ReplacesAValueInPlace) {
    IniFile ini("[S]\r\n  Key  =  old value  ; kept? no, part of the value\r\nz=1\r\n");
    ASSERT_EQ(IniFile::SetResult::Changed, ini.setValue("s", "KEY", "new"));
    EXPECT_EQ("[S]\r\n  Key  =  new\r\nz=1\r\n", ini.bytes());
    EXPECT_EQ(IniFile::SetResult::Unchanged, ini.setValue("S", "key", "new"));

    IniFile empty("[S]\nk=   \nz=1\n");
    ASSERT_EQ(IniFile::SetResult::Changed, empty.setValue("S", "k", "v"));
    EXPECT_EQ("[S]\nk=   v\nz=1\n", empty.bytes());
    EXPECT_EQ(IniFile::SetResult::Unchanged, IniFile("[S]\nk=\n").setValue("S", "k", ""));
}

TEST(IniFileSet, AppendsAfterTheLastEntryOfTheSection) {
    const std::string before = "; head\r\n[A]\r\nx=1\r\n; note\r\n\r\n[B]\ny=2\n";
    IniFile ini(before);
    ASSERT_EQ(IniFile::SetResult::Changed, ini.setValue("a", ru("Новый"), ""));
    EXPECT_EQ("; head\r\n[A]\r\nx=1\r\n" + ru("Новый") + "=\r\n; note\r\n\r\n[B]\ny=2\n",
              ini.bytes());
    EXPECT_EQ("", valueOr(ini, "A", ru("НОВЫЙ")));

    // A section without entries gets the entry right after its header.
    IniFile bare("[A]\r\n\r\n[B]\r\n");
    bare.setValue("A", "k", "v");
    EXPECT_EQ("[A]\r\nk=v\r\n\r\n[B]\r\n", bare.bytes());
}

TEST(IniFileSet, AppendsAMissingSectionAtTheEnd) {
    IniFile ini("[A]\nx=1"); // no line end at the end
    ini.setValue("Rus1", "k", "");
    EXPECT_EQ("[A]\nx=1\r\n[Rus1]\r\nk=\r\n", ini.bytes());
    ini.setValue("A", "y", "2"); // the last line of A is the one that had no line end
    EXPECT_EQ("[A]\nx=1\r\ny=2\r\n[Rus1]\r\nk=\r\n", ini.bytes());

    IniFile none;
    none.setValue("S", "k", "v");
    EXPECT_EQ("[S]\r\nk=v\r\n", none.bytes());
    EXPECT_EQ("v", valueOr(IniFile(none.bytes()), "s", "K"));
}

TEST(IniFileSet, RefusesWhatNoLineCanHold) {
    IniFile ini("[S]\r\n");
    for (std::string key : {"", "  ", "a=b", "[x]", ";c", "a\nb", "a\rb"})
        EXPECT_EQ(IniFile::SetResult::Refused, ini.setValue("S", key, "v")) << key;
    EXPECT_EQ(IniFile::SetResult::Refused, ini.setValue("S", "k", "line\r\nbreak"));
    EXPECT_EQ(IniFile::SetResult::Refused, ini.setValue("", "k", "v"));
    EXPECT_EQ(IniFile::SetResult::Refused, ini.setValue("a]b", "k", "v"));
    EXPECT_EQ("[S]\r\n", ini.bytes());
}

TEST(IniFileFile, ReadsMissingAsEmptyAndWritesWithoutLeftovers) {
    TempDir dir;
    const auto file = dir / "t.ini";
    auto ini = IniFile::read(file);
    ASSERT_TRUE(ini);
    EXPECT_EQ("", ini->bytes());
    ini->setValue("S", "k", "v");
    FileFailure failure;
    ASSERT_TRUE(ini->write(file, &failure)) << cp1251ToUtf8(fileFailureText(failure));
    EXPECT_EQ("[S]\r\nk=v\r\n", readBytes(file));
    EXPECT_EQ(1, test::entryCount(dir.path())); // no temporary file left

    writeBytes(file, "[S]\r\nk=changed\r\n");
    auto again = IniFile::read(file);
    ASSERT_TRUE(again);
    EXPECT_EQ("changed", valueOr(*again, "S", "k"));
}

TEST(IniFileFile, AFailedWriteSaysSoAndLeavesTheOldFile) {
    TempDir dir;
    // The file's place is taken by a non-empty directory: nothing can replace it.
    const auto blocked = dir / "blocked.ini";
    std::filesystem::create_directories(blocked / "inside");
    IniFile ini("[S]\r\nk=v\r\n");
    FileFailure failure;
    EXPECT_FALSE(ini.write(blocked, &failure));
    EXPECT_EQ(failure, (FileFailure{FileFault::IsDirectory, 0}));
    EXPECT_TRUE(std::filesystem::is_directory(blocked / "inside"));
    EXPECT_EQ(1, test::entryCount(dir.path())); // the temporary file is gone

    EXPECT_FALSE(ini.write(dir / "no-such-dir" / "t.ini", &failure));
    EXPECT_EQ(failure, (FileFailure{FileFault::CannotCreate, ENOENT}));

    // A write-protected file keeps its bytes.
    const auto ro = dir / "ro.ini";
    writeBytes(ro, "[S]\r\n");
    std::filesystem::permissions(ro, std::filesystem::perms::owner_read);
    EXPECT_FALSE(ini.write(ro, &failure));
    EXPECT_EQ(failure.fault, FileFault::NoWritePermission);
    EXPECT_EQ("[S]\r\n", readBytes(ro));
}

TEST(IniFileFile, ReadsOnlyARegularFileOfADictionarysSize) {
    TempDir dir;
    FileFailure failure;
    std::filesystem::create_directory(dir / "folder.ini");
    EXPECT_FALSE(IniFile::read(dir / "folder.ini", &failure));
    EXPECT_EQ(failure.fault, FileFault::IsDirectory);

    test::Fifo fifo(dir / "pipe.ini");
    ASSERT_TRUE(fifo.made());
    EXPECT_FALSE(IniFile::read(fifo.path(), &failure)); // at once, without a writer
    EXPECT_EQ(failure.fault, FileFault::NotRegularFile);
    EXPECT_FALSE(fifo.rescued());

    writeBytes(dir / "big.ini", "");
    std::filesystem::resize_file(dir / "big.ini", IniFile::kMaxFileBytes + 1);
    EXPECT_FALSE(IniFile::read(dir / "big.ini", &failure));
    EXPECT_EQ(failure.fault, FileFault::TooLarge);
}

} // namespace
} // namespace t6
