#include "i18n/Dictionary.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "TempDir.h"
#include "common/Cp1251.h"
#include "support/ScriptedPrompts.h"

namespace t6 {
namespace {

using test::readBytes;
using test::ScriptedPrompts;
using test::TempDir;
using test::writeBytes;

const std::string CRLF = "\r\n";

TEST(DictionaryKey, DropsAcceleratorsAndWritesLineBreaksAsBackslashN) {
    EXPECT_EQ(ru("Открыть файл"), dictionaryKey(ru("&Открыть фай&л")));
    EXPECT_EQ("a\\nb\\nc\\nd\\n\\ne", dictionaryKey("a\r\nb\rc\nd\n\re"));
    EXPECT_EQ("x\r\ny\r\n", dictionaryValueText("x\\ny\\n"));
    EXPECT_EQ("a\\b\\", dictionaryValueText("a\\b\\"));
}

TEST(TranslateText, EmptyDictionaryCollectsTheMessageUnderRus1) {
    TempDir dir;
    Dictionary dict(dictionaryPathIn(dir.path()));
    ScriptedPrompts prompts;
    const std::string msg = ru("Процесс чтения завершился. Все OK.");

    EXPECT_EQ(msg, TranslateText(dict, msg, 'R', prompts));
    ASSERT_EQ(1u, prompts.shown.size());
    EXPECT_EQ(ScriptedPrompts::Kind::Message, prompts.shown[0].kind);
    EXPECT_EQ("No exists" + (dir.path() / "trans.dic").string(), prompts.shown[0].text);
    EXPECT_EQ("[Rus1]" + CRLF + msg + "=" + CRLF, readBytes(dir / "trans.dic"));

    // The file exists now: no further notice, and the key is not added twice.
    prompts.clear();
    EXPECT_EQ(msg, TranslateText(dict, msg, 'R', prompts));
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(ru("Другое"), TranslateText(dict, ru("Другое"), 'E', prompts));
    EXPECT_EQ("[Rus1]" + CRLF + msg + "=" + CRLF + "[Eng1]" + CRLF + ru("Другое") + "=" + CRLF,
              readBytes(dir / "trans.dic"));
}

TEST(DictionaryLookup, FindsValuesTheWayAnIniFileDoes) {
    TempDir dir;
    const auto file = dir / "trans.dic";
    writeBytes(file, "[Eng]\r\n" + ru("отмена") + "=Cancel\r\n" +              //
                         "  " + ru("Открыть файл") + "\t =  Open file  \r\n" + //
                         ru("Две строки") + "\\n" + ru("текста") + "=Two lines\\nof text\r\n" +
                         "[Eng1]\r\n" + ru("Ошибка") + "=Error\r\n");
    Dictionary dict(file);
    EXPECT_EQ("Cancel", dict.lookup("ENG", ru("ОТМЕНА")));
    EXPECT_EQ("Open file", dict.lookup("Eng", ru("&Открыть файл")));
    EXPECT_EQ("Two lines\r\nof text", dict.lookup("Eng", ru("Две строки\r\nтекста")));
    EXPECT_EQ("Two lines\r\nof text", dict.lookup("Eng", ru("Две строки\nтекста")));
    EXPECT_EQ("Error", dict.lookup("Eng1", ru("Ошибка")));
    EXPECT_EQ(0, dict.writeCount());

    ScriptedPrompts prompts;
    EXPECT_EQ("Error", TranslateText(dict, ru("Ошибка"), 'E', prompts));
    EXPECT_EQ(ru("Ошибка"), TranslateText(dict, ru("Ошибка"), 'R', prompts)); // Rus1 lacks it
    EXPECT_TRUE(prompts.shown.empty());
}

TEST(DictionaryLookup, AMissingOrEmptyValueGivesTheSourceAndAddsTheKeyOnce) {
    TempDir dir;
    const auto file = dir / "trans.dic";
    // LF line ends, a comment, a blank line and no line end at the very end: all kept.
    const std::string head = "; translations\n[Rus]\nA=a\n\n[Eng]\n";
    const std::string tail = ru("Пусто") + "=\n; end\n[Other]\nz=1";
    writeBytes(file, head + tail);
    Dictionary dict(file);

    EXPECT_EQ(ru("&Пусто"), dict.lookup("Eng", ru("&Пусто"))); // empty value, key exists
    EXPECT_EQ(head + tail, readBytes(file));
    EXPECT_EQ(0, dict.writeCount());

    EXPECT_EQ(ru("&Новый текст"), dict.lookup("Eng", ru("&Новый текст")));
    EXPECT_EQ(ru("Строка\r\nвторая"), dict.lookup("Eng", ru("Строка\r\nвторая")));
    EXPECT_EQ("B", dict.lookup("Rus", "B"));
    EXPECT_EQ("q", dict.lookup("Fresh", "q"));
    EXPECT_EQ("; translations\n[Rus]\nA=a\nB=\r\n\n[Eng]\n" + ru("Пусто") + "=\n" +
                  ru("Новый текст") + "=\r\n" + ru("Строка\\nвторая") + "=\r\n" +
                  "; end\n[Other]\nz=1\r\n[Fresh]\r\nq=\r\n",
              readBytes(file));
    EXPECT_EQ(4, dict.writeCount());

    // Found in another letter case, still empty: the text as given, nothing more to write.
    EXPECT_EQ(ru("НОВЫЙ &ТЕКСТ"), dict.lookup("eng", ru("НОВЫЙ &ТЕКСТ")));
    EXPECT_EQ(4, dict.writeCount());
}

TEST(DictionaryLookup, EmptyAndUnstorableTextsNeverTouchTheFile) {
    TempDir dir;
    Dictionary dict(dir / "trans.dic");
    EXPECT_EQ("", dict.lookup("Rus1", ""));
    EXPECT_EQ("&", dict.lookup("Rus1", "&"));
    EXPECT_EQ("  ", dict.lookup("Rus1", "  "));
    EXPECT_EQ("a=b", dict.lookup("Rus1", "a=b"));
    EXPECT_EQ("[x]", dict.lookup("Rus1", "[x]"));
    EXPECT_FALSE(dict.exists());
    EXPECT_EQ(0, dict.writeCount());
}

TEST(DictionaryLookup, SeesChangesMadeToTheFileMeanwhile) {
    TempDir dir;
    const auto file = dir / "trans.dic";
    writeBytes(file, "[Eng]\r\nx=1\r\n");
    Dictionary dict(file);
    EXPECT_EQ("1", dict.lookup("Eng", "x"));

    writeBytes(file, "[Eng]\r\nx=11\r\ny=2\r\n"); // a translator edits the file
    EXPECT_EQ("11", dict.lookup("Eng", "x"));
    EXPECT_EQ("2", dict.lookup("Eng", "y"));

    // A key added in a batch goes into the file as it is when the batch ends.
    {
        Dictionary::Batch batch(dict);
        EXPECT_EQ("new", dict.lookup("Eng", "new"));
        writeBytes(file, "[Eng]\r\nx=111\r\n");
    }
    EXPECT_EQ("[Eng]\r\nx=111\r\nnew=\r\n", readBytes(file));
}

TEST(DictionaryBatch, AWholeWindowIsWrittenOnce) {
    TempDir dir;
    Dictionary dict(dir / "trans.dic");
    {
        Dictionary::Batch outer(dict);
        for (int i = 0; i < 50; ++i)
            dict.lookup("Eng", "caption " + std::to_string(i));
        {
            Dictionary::Batch inner(dict);
            dict.lookup("Eng", "inner");
        }
        EXPECT_EQ(0, dict.writeCount());
        EXPECT_FALSE(dict.exists());
        EXPECT_EQ("inner", dict.lookup("Eng", "inner"));
    }
    EXPECT_EQ(1, dict.writeCount());
    const std::string bytes = readBytes(dir / "trans.dic");
    EXPECT_EQ(0u, bytes.find("[Eng]\r\ncaption 0=\r\ncaption 1=\r\n"));
    EXPECT_NE(std::string::npos, bytes.find("caption 49=\r\ninner=\r\n"));

    dict.beginBatch();
    dict.lookup("Eng", "caption 3"); // nothing new
    dict.endBatch();
    dict.endBatch(); // an extra end does no harm
    EXPECT_EQ(1, dict.writeCount());
}

TEST(DictionaryFailure, AnUnwritablePlaceStillGivesTheText) {
    TempDir dir;
    // The file's directory is not a directory at all.
    writeBytes(dir / "plain", "x");
    Dictionary dict(dir / "plain" / "trans.dic");
    ScriptedPrompts prompts;
    EXPECT_EQ(ru("Текст"), TranslateText(dict, ru("Текст"), 'R', prompts));
    EXPECT_EQ(ru("Текст"), TranslateText(dict, ru("Текст"), 'R', prompts));
    EXPECT_EQ(2u, prompts.shown.size()); // told before every message
    EXPECT_EQ(dict.lastFailure(), (FileFailure{FileFault::CannotCreate, ENOTDIR}));
    EXPECT_FALSE(dict.flush());

    // A read-only directory, whoever runs the program.
    const auto ro = dir / "ro";
    std::filesystem::create_directory(ro);
    std::filesystem::permissions(ro, std::filesystem::perms::owner_read |
                                         std::filesystem::perms::owner_exec);
    Dictionary locked(ro / "trans.dic");
    EXPECT_EQ("&Caption", locked.lookup("Eng", "&Caption"));
    EXPECT_EQ("&Caption", locked.lookup("Eng", "&Caption"));
    EXPECT_FALSE(locked.exists());
    EXPECT_EQ(locked.lastFailure(), (FileFailure{FileFault::FolderNotWritable, 0}));
    EXPECT_EQ(0, locked.writeCount());
}

TEST(DictionaryFailure, AFileThatCannotBeReadIsNeverWrittenOver) {
    TempDir dir;
    std::filesystem::create_directories(dir / "trans.dic" / "keep");
    Dictionary dict(dir / "trans.dic");
    ScriptedPrompts prompts;
    EXPECT_EQ("Text", TranslateText(dict, "Text", 'R', prompts));
    EXPECT_EQ(dict.lastFailure(), (FileFailure{FileFault::IsDirectory, 0}));
    EXPECT_EQ(0, dict.writeCount());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "trans.dic" / "keep"));
    // The user is told what is wrong, not that the file is missing.
    ASSERT_EQ(1u, prompts.shown.size());
    EXPECT_EQ(0u, prompts.shown[0].text.find(ru("Файл словаря не удалось прочитать:")));
}

TEST(TranslateText, ChoosesTheSectionOfTheLanguage) {
    EXPECT_EQ("Rus1", sectionForMessages('R'));
    EXPECT_EQ("Eng1", sectionForMessages('E'));
    EXPECT_EQ("Rus", sectionForWindow('R'));
    EXPECT_EQ("Eng", sectionForWindow('E'));
}

} // namespace
} // namespace t6
