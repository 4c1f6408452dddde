// The dictionary file as the user may find it: not readable (a folder, a pipe,
// a file without the right to read it), or write-protected.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "TempDir.h"
#include "common/Cp1251.h"
#include "common/PathTraps.h"
#include "i18n/Dictionary.h"
#include "support/ScriptedPrompts.h"

namespace t6 {
namespace {

namespace fs = std::filesystem;
using test::readBytes;
using test::ScriptedPrompts;
using test::TempDir;
using test::writeBytes;

const std::string Notice = ru("Файл словаря не удалось прочитать:");

// Two translated messages in a row, as the user meets them: the first tells
// about the file, the second says nothing more.
TEST(UnreadableDictionary, SaysSoOnceWithTheReasonAndIsNeverWritten) {
    struct Case {
        const char* what;
        std::string reason;
    };
    for (const Case& c : {Case{"folder", ru("Это папка, а не файл")},
                          Case{"pipe", ru("Это не обычный файл (канал, устройство или сокет)")},
                          Case{"private", ru("Нет прав на чтение файла")}}) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const fs::path file = dir / "trans.dic";
        std::optional<test::Fifo> fifo;
        if (std::string(c.what) == "folder") {
            fs::create_directory(file);
        } else if (std::string(c.what) == "pipe") {
            fifo.emplace(file);
            ASSERT_TRUE(fifo->made());
        } else {
            writeBytes(file, "[Eng1]\r\n" + ru("Текст") + "=Text\r\n");
            fs::permissions(file, fs::perms::owner_write);
        }
        Dictionary dict(file);
        ScriptedPrompts prompts;
        std::string first, second;
        const double seconds = test::secondsTaken([&] {
            test::AsOtherUser other; // the rights of an ordinary user
            ASSERT_TRUE(other.ok());
            first = TranslateText(dict, ru("Текст"), 'E', prompts);
            second = TranslateText(dict, ru("Другой"), 'E', prompts);
        });
        EXPECT_LT(seconds, 1.0);
        EXPECT_EQ(first, ru("Текст"));
        EXPECT_EQ(second, ru("Другой"));
        ASSERT_EQ(prompts.shown.size(), 1u);
        EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Message);
        EXPECT_EQ(prompts.shown[0].text, Notice + "\r\n" + file.string() + "\r\n" + c.reason);
        EXPECT_EQ(dict.writeCount(), 0);
        if (fifo) {
            EXPECT_TRUE(test::isFifo(file));
            EXPECT_FALSE(fifo->rescued());
        }
    }
}

TEST(UnreadableDictionary, WhatWasReadGoesOnTranslatingAndTellsInTheLanguage) {
    TempDir dir;
    const fs::path file = dir / "trans.dic";
    const std::string english = "[Eng1]\r\n" + ru("Ошибка") + "=Error\r\n" + Notice +
                                "=The dictionary file could not be read:\r\n" +
                                ru("Это папка, а не файл") + "=This is a folder, not a file\r\n";
    writeBytes(file, english);
    Dictionary dict(file);
    ScriptedPrompts prompts;
    EXPECT_EQ("Error", TranslateText(dict, ru("Ошибка"), 'E', prompts));
    EXPECT_TRUE(prompts.shown.empty());

    // The file gives way to a folder.
    fs::remove(file);
    fs::create_directory(file);
    EXPECT_EQ("Error", TranslateText(dict, ru("Ошибка"), 'E', prompts));
    EXPECT_EQ("Error", TranslateText(dict, ru("Ошибка"), 'E', prompts));
    EXPECT_EQ(prompts.textsUtf8(),
              std::vector<std::string>{"The dictionary file could not be read:\r\n" +
                                       file.string() + "\r\nThis is a folder, not a file"});

    // Readable again, then gone bad again: told again.
    fs::remove(file);
    writeBytes(file, english);
    prompts.clear();
    EXPECT_EQ("Error", TranslateText(dict, ru("Ошибка"), 'E', prompts));
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_TRUE(dict.readable());
    fs::remove(file);
    fs::create_directory(file);
    EXPECT_EQ("Error", TranslateText(dict, ru("Ошибка"), 'E', prompts));
    EXPECT_EQ(prompts.shown.size(), 1u);
}

// A dictionary that may not be written is not replaced: the keys it lacks are
// simply not added, and nobody is bothered about it.
TEST(WriteProtectedDictionary, KeepsItsBytesAndTheKeysWaitInMemory) {
    const std::string shipped = "[Eng1]\r\n" + ru("Ошибка") + "=Error\r\n";
    struct Case {
        const char* what;
        FileFault fault;
    };
    for (const Case& c : {Case{"mode 444", FileFault::NoWritePermission},
                          Case{"folder 555", FileFault::FolderNotWritable},
                          Case{"another user's", FileFault::OwnedByOtherUser},
                          Case{"hard-linked", FileFault::HasOtherLinks}}) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const fs::path file = dir / "trans.dic";
        writeBytes(file, shipped);
        const std::string what = c.what;
        if (what == "mode 444")
            fs::permissions(file,
                            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
        else if (what == "folder 555")
            fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec |
                                            fs::perms::group_read | fs::perms::group_exec |
                                            fs::perms::others_read | fs::perms::others_exec);
        else if (what == "another user's" && !test::giveToOtherUser(file))
            continue; // only root can give a file away
        else if (what == "hard-linked")
            fs::create_hard_link(file, dir / "copy.dic");

        Dictionary dict(file);
        ScriptedPrompts prompts;
        EXPECT_EQ(ru("Новый"), TranslateText(dict, ru("Новый"), 'E', prompts));
        EXPECT_EQ("Error", TranslateText(dict, ru("Ошибка"), 'E', prompts));
        EXPECT_EQ(ru("Ещё"), TranslateText(dict, ru("Ещё"), 'E', prompts));
        EXPECT_TRUE(prompts.shown.empty());
        EXPECT_EQ(readBytes(file), shipped);
        EXPECT_EQ(dict.writeCount(), 0);
        EXPECT_EQ(dict.lastFailure(), (FileFailure{c.fault, 0}));
        EXPECT_EQ(test::entryCount(dir.path()), what == "hard-linked" ? 2 : 1);

        // Writable again: the keys waiting go in with the next lookup.
        if (what == "mode 444") {
            fs::permissions(file, fs::perms::owner_write, fs::perm_options::add);
            EXPECT_EQ(ru("Новый"), dict.lookup("Eng1", ru("Новый")));
            EXPECT_EQ(readBytes(file), shipped + ru("Новый") + "=\r\n" + ru("Ещё") + "=\r\n");
            EXPECT_EQ(dict.lastFailure(), FileFailure{});
        }
    }
}

// The reasons the program words for files are shipped with their English.
TEST(ShippedDictionary, HasEnglishForEveryReasonAFileFails) {
    auto dic = IniFile::read(fs::path(T6_SOURCE_DIR) / "data" / "trans.dic");
    ASSERT_TRUE(dic.has_value());
    std::vector<std::string> texts{Notice};
    for (FileFault f : allFileFaults())
        texts.push_back(fileFaultText(f));
    for (const std::string& t : texts) {
        const std::string key = dictionaryKey(t);
        const auto eng = dic->value("Eng1", key);
        const auto rus = dic->value("Rus1", key);
        EXPECT_TRUE(eng && !eng->empty() && *eng != t) << cp1251ToUtf8(t);
        EXPECT_TRUE(rus && !rus->empty()) << cp1251ToUtf8(t);
    }
    EXPECT_EQ(dic->value("Eng1", dictionaryKey(fileFaultText(FileFault::IsDirectory))),
              "This is a folder, not a file");
}

} // namespace
} // namespace t6
