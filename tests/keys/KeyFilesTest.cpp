// Key files on disk: the save under its ".key" name, the load into the
// model's rows, the report of lines skipped, the files refused, and the
// English of every message the key panel shows.

#include <sys/stat.h>

#include <set>

#include "KeysFixture.h"
#include "i18n/Dictionary.h"
#include "i18n/IniFile.h"
#include "keys/KeyFile.h"
#include "keys/KeyTable.h"

namespace t6::test {
namespace {

class KeyFilesTest : public KeysTest {
protected:
    KeyFilesTest() {
        files.setKeysChanged([this] { ++keysChanged; });
    }
    std::string path(const char* name) const { return (dir / name).string(); }
    std::string fileBytes(const std::string& p) const {
        std::ifstream f(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
    void put(const std::string& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }
    KeyFiles::Result saveAs(const std::string& name) {
        prompts.fileNames.push_back(name);
        return files.saveKeys();
    }
    KeyFiles::Result load(const std::string& name) {
        prompts.fileNames.push_back(name);
        return files.loadKeys();
    }
    std::vector<std::string> boxes() const {
        std::vector<std::string> out;
        for (const auto& s : prompts.shown)
            if (s.kind != ScriptedPrompts::Kind::OpenFile &&
                s.kind != ScriptedPrompts::Kind::SaveFile)
                out.push_back(cp1251ToUtf8(s.text));
        return out;
    }

    KeyFiles files{model, prompts, [](const std::string& t) { return "T:" + t; }};
    int keysChanged = 0;
};

TEST_F(KeyFilesTest, TheTableIsSavedUnderItsKeyNameWithoutAQuestion) {
    setKey(1, "Дверь", "01a2b3c4d5e6f708");
    setKey(2, "Двенадцать12", "0A0B");
    EXPECT_EQ(saveAs(path("keys")), KeyFiles::Result::Done);
    EXPECT_EQ(fileBytes(path("keys.key")),
              ru("#1\r\nДверь\r\n01a2b3c4d5e6f708\r\n/1\r\n#2\r\nДвенадцать12\r\n0A0B\r\n/2\r\n") +
                  "#3\r\n\r\n\r\n/3\r\n#4\r\n\r\n\r\n/4\r\n#5\r\n\r\n\r\n/5\r\n#6\r\n\r\n\r\n/6\r\n"
                  "#7\r\n\r\n\r\n/7\r\n#8\r\n\r\n\r\n/8\r\n#9\r\n\r\n\r\n/9\r\n"
                  "#10\r\n\r\n\r\n/10\r\n");
    ASSERT_EQ(prompts.shown.size(), 1u) << "nothing but the dialog";
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::SaveFile);
    EXPECT_EQ(cp1251ToUtf8(prompts.shown[0].text), "Файл ключей");

    // The existing file chosen again is replaced, not given a second ".key".
    setKey(1, "Другая", "");
    EXPECT_EQ(saveAs(path("keys.key")), KeyFiles::Result::Done);
    EXPECT_FALSE(std::filesystem::exists(path("keys.key.key")));
    EXPECT_EQ(fileBytes(path("keys.key")).substr(0, 16), ru("#1\r\nДругая\r\n\r\n/1"));
    EXPECT_TRUE(boxes().empty());

    EXPECT_EQ(KeyFiles::keyFileName("Office.KEY"), "Office.KEY");
    EXPECT_EQ(KeyFiles::keyFileName("office.keys"), "office.keys.key");
    EXPECT_EQ(KeyFiles::keyFileName(".key"), ".key.key");
}

TEST_F(KeyFilesTest, CancelledDialogsDoNothing) {
    EXPECT_EQ(files.saveKeys(), KeyFiles::Result::NoFileName);
    EXPECT_EQ(saveAs(""), KeyFiles::Result::NoFileName);
    EXPECT_EQ(files.loadKeys(), KeyFiles::Result::NoFileName);
    EXPECT_TRUE(boxes().empty());
    for (const auto& e : std::filesystem::directory_iterator(dir))
        EXPECT_NE(e.path().extension(), ".key") << e.path();
}

TEST_F(KeyFilesTest, AFailedSaveSaysWhyAndLeavesThePreviousFile) {
    EXPECT_EQ(saveAs(path("missing/keys")), KeyFiles::Result::Failed);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(prompts.shown.back().kind, ScriptedPrompts::Kind::Error);
    EXPECT_EQ(boxes()[0].rfind(
                  T("Ключи не сохранены в файл:") + "\r\n" + path("missing/keys.key") + "\r\n", 0),
              0u)
        << boxes()[0];

    prompts.clear();
    put(path("old.key"), "#1\r\nold\r\n01\r\n/1\r\n");
    ::chmod(path("old.key").c_str(), 0444);
    EXPECT_EQ(saveAs(path("old.key")), KeyFiles::Result::Failed);
    EXPECT_EQ(boxes(), std::vector<std::string>{
                           T("Ключи не сохранены в файл:") + "\r\n" + path("old.key") + "\r\n" +
                           T("Файл защищён от записи") + "\r\n" + T("Прежний файл не изменён.")});
    EXPECT_EQ(fileBytes(path("old.key")), "#1\r\nold\r\n01\r\n/1\r\n");
}

TEST_F(KeyFilesTest, ALoadChangesTheRowsOfTheFileOnly) {
    setKey(1, "первый", "0101");
    setKey(3, "третий", "0303");
    put(path("three.key"), ru("#3\r\nКладовая\r\nC4D5E6\r\n/3\r\n"));
    EXPECT_EQ(load(path("three.key")), KeyFiles::Result::Done);
    EXPECT_EQ(cells(key(3)), (KeyCells{ru("Кладовая"), "C4D5E6"}));
    EXPECT_EQ(cells(key(1)), (KeyCells{ru("первый"), "0101"}));
    EXPECT_EQ(keysChanged, 1);
    EXPECT_TRUE(boxes().empty());
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::OpenFile);
}

TEST_F(KeyFilesTest, FileToTableToFileGivesTheSameBytes) {
    TouchKeys table;
    table[0] = {ru("Двенадцать12"), "01a2b3c4d5e6f708"};
    table[4] = {"Garage", "C4D5"};
    table[9] = {"", "00000000000000ff"};
    const Bytes file = writeKeyFile(table);
    put(path("site.key"), file);
    ASSERT_EQ(load(path("site.key")), KeyFiles::Result::Done);
    EXPECT_EQ(cells(model.config().touchKeys), cells(table));
    ASSERT_EQ(saveAs(path("copy")), KeyFiles::Result::Done);
    EXPECT_EQ(fileBytes(path("copy.key")), file);
}

TEST_F(KeyFilesTest, LinesNotWellFormedAreListedInOneMessage) {
    setKey(5, "пятый", "05");
    put(path("broken.key"), "#\r\n#12\r\nnote\r\n#3\r\nx\r\n01\r\n/3\r\n#5\r\n");
    EXPECT_EQ(load(path("broken.key")), KeyFiles::Result::Done);
    EXPECT_EQ(boxes(), std::vector<std::string>{
                           T("Некоторые строки файла ключей не разобраны и пропущены; ключи "
                             "остальных строк загружены.") +
                           "\r\n" + path("broken.key") + "\r\n" + T("Номера строк:") + " 1, 2, 8"});
    EXPECT_EQ(cells(key(3)), (KeyCells{"x", "01"}));
    EXPECT_EQ(cells(key(5)), (KeyCells{ru("пятый"), "05"}));
}

TEST_F(KeyFilesTest, WhatIsNotARegularFileIsRefusedAtOnce) {
    setKey(2, "второй", "0202");
    const std::string fifo = path("pipe.key");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    put(path("big.key"), std::string(KeyFiles::kMaxFileBytes + 1, '#'));
    const std::vector<std::pair<std::string, const char*>> cases{
        {fifo, "Это не обычный файл (канал, устройство или сокет)"},
        {"/dev/zero", "Это не обычный файл (канал, устройство или сокет)"},
        {dir.string(), "Это папка, а не файл"},
        {path("absent.key"), "Файл не найден"},
        {path("big.key"), "Файл слишком большой"}};
    for (const auto& [name, why] : cases) {
        prompts.clear();
        EXPECT_EQ(load(name), KeyFiles::Result::Failed) << name;
        EXPECT_EQ(boxes(),
                  std::vector<std::string>{T("Файл ключей не прочитан:") + "\r\n" + name + "\r\n" +
                                           T(why) + "\r\n" + T("Ключи в таблице не изменены.")})
            << name;
        EXPECT_EQ(prompts.shown.back().kind, ScriptedPrompts::Kind::Error);
    }
    EXPECT_EQ(cells(key(2)), (KeyCells{ru("второй"), "0202"}));
    EXPECT_EQ(keysChanged, 0);
}

TEST_F(KeyFilesTest, EveryMessageOfTheKeyPanelHasEnglish) {
    std::set<std::string> asked;
    auto recorder = [&asked](const std::string& t) {
        asked.insert(t);
        return t;
    };
    exchange.setTranslate(recorder);
    KeyFiles recorded{model, prompts, recorder};
    for (int row = 1; row <= 10; ++row)
        for (auto kind : {KeyTableFault::Kind::BadCharacter, KeyTableFault::Kind::OddDigits,
                          KeyTableFault::Kind::TooManyDigits, KeyTableFault::Kind::LongDescription})
            keyTableFaultText({row, kind}, recorder);
    keys.openPanel();
    keys.readKey(1);
    keys.save(); // cut short below
    exchange.operationStarting();
    keys.save();
    reply("OK");
    clock.advance(ExchangeController::kReplyIntervalMs + ExchangeController::kCloseIntervalMs);
    exchange.setConnectedPort("");
    keys.readKey(1);
    keys.closePanel();
    prompts.fileNames = {path("no/such/folder/k"), path("absent.key")};
    recorded.saveKeys();
    recorded.loadKeys();
    put(path("bad.key"), "#\r\n");
    prompts.fileNames = {path("bad.key")};
    recorded.loadKeys();
    ASSERT_GE(asked.size(), 20u);

    const auto dic = IniFile::read(std::filesystem::path(T6_SOURCE_DIR) / "data" / "trans.dic");
    ASSERT_TRUE(dic.has_value());
    std::vector<std::string> missing;
    for (const std::string& text : asked) {
        const auto eng = dic->value("Eng1", dictionaryKey(text));
        const auto rus = dic->value("Rus1", dictionaryKey(text));
        if (!eng || eng->empty() || !rus || rus->empty())
            missing.push_back(cp1251ToUtf8(text));
    }
    EXPECT_TRUE(missing.empty()) << ::testing::PrintToString(missing);
}

} // namespace
} // namespace t6::test
