#include "FilesFixture.h"

#include <csignal>
#include <sys/resource.h>

namespace t6::test {
namespace {

using Kind = ScriptedPrompts::Kind;

class ConfigFilesTest : public FilesTest {
protected:
    // Messages marked for the dictionary come back marked.
    ConfigFiles files{model, exchange, logs, prompts,
                      [](const std::string& t) { return "T:" + t; }};

    std::vector<std::pair<Kind, std::string>> shown() const {
        std::vector<std::pair<Kind, std::string>> out;
        for (const auto& s : prompts.shown)
            out.push_back({s.kind, cp1251ToUtf8(s.text)});
        return out;
    }
};

TEST_F(ConfigFilesTest, SavingToANewFileThenToTheSameName) {
    const std::string path = dir / "Дача.cfg";
    prompts.fileNames = {path, path, path};
    tick("CheckBox_in2");
    clock.modes.clear();
    EXPECT_EQ(files.saveConfiguration(), ConfigFiles::SaveResult::Saved);
    EXPECT_EQ(clock.modes, std::vector<ExchangeModeValue>{ExchangeMode::SavingFile})
        << "the file is written in mode 200002";
    EXPECT_EQ(readFile(path), saved());
    EXPECT_EQ(shown(), (std::vector<std::pair<Kind, std::string>>{
                           {Kind::SaveFile, "Сохранить конфигурацию в файл"},
                           {Kind::Message, "Конфигурация успешно сохранена в файл:\r\n" + path}}));
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);

    // The same name again: the question, and No leaves the file alone.
    prompts.clear();
    tick("CheckBox_in3");
    prompts.answers = {false};
    EXPECT_EQ(files.saveConfiguration(), ConfigFiles::SaveResult::Declined);
    EXPECT_EQ(shown(), (std::vector<std::pair<Kind, std::string>>{
                           {Kind::SaveFile, "Сохранить конфигурацию в файл"},
                           {Kind::Question, "Файл с таким именем существует.  Заменить?"}}));
    EXPECT_FALSE(hasSection(readFile(path), "#03"));

    prompts.clear();
    EXPECT_EQ(files.saveConfiguration(), ConfigFiles::SaveResult::Saved);
    EXPECT_TRUE(hasSection(readFile(path), "#03"));
    EXPECT_EQ(prompts.shown.size(), 3u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
        << "no temporary file is left beside it";
}

// The command line keeps its backup in memory: the window's save.000 in the
// same folder stays as it was, and a read undone still gets its window back.
TEST_F(ConfigFilesTest, ABackupInMemoryLeavesTheBackupFileAlone) {
    writeFile(files.backupPath(), "the window's backup");
    files.setBackupInMemory(true);
    EXPECT_FALSE(files.restoreBackup()) << "no backup taken yet";
    tick("CheckBox_bp4");
    const Bytes before = saved();
    EXPECT_TRUE(files.saveBackup());
    tick("CheckBox_bp4", false);
    ASSERT_NE(saved(), before);
    EXPECT_TRUE(files.restoreBackup());
    EXPECT_EQ(saved(), before);
    EXPECT_EQ(readFile(dir / "save.000"), "the window's backup");
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_FALSE(files.autoBackupPending());
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
}

TEST_F(ConfigFilesTest, ACancelledSaveDialog) {
    EXPECT_EQ(files.saveConfiguration(), ConfigFiles::SaveResult::NoFileName);
    EXPECT_EQ(prompts.lastUtf8(), "T:Не задано имя файла");
    EXPECT_EQ(prompts.shown.back().kind, Kind::Message);
}

TEST_F(ConfigFilesTest, TheBackupIsSilentAndReplacesTheLastOne) {
    writeFile(files.backupPath(), "old backup");
    exchange.setMode(ExchangeMode::ReadBlock); // a read from the device starts so
    tick("CheckBox_bp4");
    EXPECT_TRUE(files.saveBackup());
    EXPECT_FALSE(files.autoBackupPending());
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    EXPECT_EQ(readFile(dir / "save.000"), saved());

    // The backup file chosen in the dialog is replaced without a question or a message.
    tick("CheckBox_bp4", false);
    prompts.fileNames = {(dir.path() / "." / "save.000").string()};
    EXPECT_EQ(files.saveConfiguration(), ConfigFiles::SaveResult::Saved);
    EXPECT_EQ(shown().size(), 1u);
    EXPECT_FALSE(hasSection(readFile(dir / "save.000"), "#08"));
}

TEST_F(ConfigFilesTest, AFailingSaveLeavesThePreviousFileAndSaysWhy) {
    const std::string path = dir / "keep.cfg";
    writeFile(path, "previous content");
    // A file size limit makes the write fail as a full disk would.
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto* oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 100;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    prompts.fileNames = {path};
    const auto result = files.saveConfiguration();
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(result, ConfigFiles::SaveResult::Failed);
    EXPECT_EQ(readFile(path), "previous content");
    ASSERT_EQ(prompts.shown.size(), 3u);
    EXPECT_EQ(prompts.shown[2].kind, Kind::Error);
    const std::string text = prompts.lastUtf8();
    EXPECT_EQ(text, "T:Конфигурация не сохранена в файл:\r\n" + path +
                        "\r\nT:Не удалось записать файл: File too large"
                        "\r\nT:Прежний файл не изменён.");
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    // A directory in the way is no file to replace: no question, the reason.
    prompts.clear();
    std::filesystem::create_directory(dir / "folder");
    prompts.fileNames = {dir / "folder"};
    EXPECT_EQ(files.saveConfiguration(), ConfigFiles::SaveResult::Failed);
    EXPECT_EQ(prompts.shown[1].kind, Kind::Error);
    EXPECT_EQ(prompts.lastUtf8(), "T:Конфигурация не сохранена в файл:\r\n" + (dir / "folder") +
                                      "\r\nT:Это папка, а не файл");

    // A failing backup is told too.
    prompts.clear();
    logs.setDirectory(dir / "missing");
    EXPECT_FALSE(files.saveBackup());
    EXPECT_EQ(prompts.lastUtf8(), "T:Резервная копия конфигурации не сохранена в файл:\r\n" +
                                      (dir / "missing") + "/save.000" +
                                      "\r\nT:Не удалось создать файл: No such file or directory");
}

TEST_F(ConfigFilesTest, LoadingFailsCleanlyWithoutAFile) {
    EXPECT_EQ(files.loadConfiguration(), ConfigFiles::LoadResult::NotFound);
    prompts.fileNames = {dir / "nowhere.cfg"};
    EXPECT_EQ(files.loadConfiguration(), ConfigFiles::LoadResult::NotFound);
    prompts.fileNames = {dir.path().string()};
    EXPECT_EQ(files.loadConfiguration(), ConfigFiles::LoadResult::Unreadable);
    EXPECT_EQ(shown(), (std::vector<std::pair<Kind, std::string>>{
                           {Kind::OpenFile, "Загрузить конфигурацию из файла"},
                           {Kind::Message, "T:Файл не найден"},
                           {Kind::OpenFile, "Загрузить конфигурацию из файла"},
                           {Kind::Message, "T:Файл не найден"},
                           {Kind::OpenFile, "Загрузить конфигурацию из файла"},
                           {Kind::Message, "T:Ошибка чтения файла\r\nT:Это папка, а не файл"}}));
    EXPECT_FALSE(std::filesystem::exists(files.reportPath()));
}

TEST_F(ConfigFilesTest, LoadingResetsFillsRefreshesAndReports) {
    const std::string path = dir / "site.cfg";
    writeFile(path, wholeFile(lines({"#02", "Окно", "7", "1", "0"}) +
                              lines({"0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0"}) +
                              rawLine({0x01}) + lines({"//#02"})));
    tick("CheckBox_in3"); // active before, absent from the file
    logs.memo(ru("входная строка: OK"));
    ModeWitness witness(exchange);
    model.setObserver(&witness);
    prompts.fileNames = {path};
    clock.advance(61'000);

    EXPECT_EQ(files.loadConfiguration(), ConfigFiles::LoadResult::Loaded);
    ASSERT_TRUE(files.outcome());
    EXPECT_TRUE(files.outcome()->completed());
    model.setObserver(nullptr);
    EXPECT_FALSE(flag("CheckBox_in3"));
    EXPECT_TRUE(flag("CheckBox_in2"));
    ASSERT_FALSE(witness.modes.empty());
    for (auto m : witness.modes)
        EXPECT_EQ(m, ExchangeMode::LoadingFile);
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    const std::string report = "входная строка: OK\r\n#2 Уровень Активации :=7\r\n"
                               "Время сеанса: 09.12.26_10:21:31\r\n";
    EXPECT_EQ(cp1251ToUtf8(readFile(dir / "LoadFile.rep")), report);
    EXPECT_EQ(logs.memoLines().size(), 3u);
    EXPECT_EQ(shown(), (std::vector<std::pair<Kind, std::string>>{
                           {Kind::OpenFile, "Загрузить конфигурацию из файла"},
                           {Kind::Message, "Конфигурация успешно считана из файла:\r\n" + path}}));
}

TEST_F(ConfigFilesTest, AMalformedFileChangesNothing) {
    const std::string path = dir / "broken.cfg";
    tick("CheckBox_in1");
    useOutput(2, WirelessSocket, "Розетка", "a1b2c3");
    model.chooseRowOutput(wiredZone(1), 1, 4);
    Bytes file = saved();
    const std::string good = "#41\r\n1\r\n10000\r\n";
    file.replace(file.find(good), good.size(), "#41\r\n1\r\n1000\r\n");
    writeFile(path, file);
    const Bytes before = saved();
    const auto memo = logs.memoLines();
    prompts.fileNames = {path};

    EXPECT_EQ(files.loadConfiguration(), ConfigFiles::LoadResult::Malformed);
    EXPECT_EQ(saved(), before);
    EXPECT_EQ(shownChoice("RG_OUT1S_1"), "Розетка");
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    EXPECT_EQ(logs.memoLines(), memo);
    EXPECT_FALSE(std::filesystem::exists(files.reportPath()));
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[1].kind, Kind::Error);
    // The line of "1000" among the file's lines.
    int line = 1;
    for (std::size_t at = 0; (at = file.find("\r\n", at)) < file.find("1000\r\n"); at += 2)
        ++line;
    EXPECT_EQ(prompts.lastUtf8(), "T:Файл конфигурации не загружен: ошибка формата.\r\n" + path +
                                      "\r\nT:Строка " + std::to_string(line) +
                                      " (T:раздел #41): T:строка флагов короче, чем нужно\r\n"
                                      "T:Конфигурация в окне не изменена.");
}

TEST_F(ConfigFilesTest, AFileThatIsNoConfigurationIsRefused) {
    const std::string path = dir / "notes.txt";
    writeFile(path, "hello world\r\n");
    tick("CheckBox_in1");
    const Bytes before = saved();
    prompts.fileNames = {path};

    EXPECT_EQ(files.loadConfiguration(), ConfigFiles::LoadResult::Malformed);
    EXPECT_EQ(saved(), before);
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    EXPECT_FALSE(std::filesystem::exists(files.reportPath()));
    EXPECT_EQ(shown(),
              (std::vector<std::pair<Kind, std::string>>{
                  {Kind::OpenFile, "Загрузить конфигурацию из файла"},
                  {Kind::Error, "T:Файл конфигурации не загружен: ошибка формата.\r\n" + path +
                                    "\r\nT:в файле нет ни одного раздела конфигурации"
                                    "\r\nT:Конфигурация в окне не изменена."}}));
}

// After a load the reactions of zones 1 and 2 run once more, so that a row
// the arming output now collides with is refused there as at the user's tick.
TEST_F(ConfigFilesTest, TheRefreshRunsTheZoneReactionsAgain) {
    const Bytes row1OnRelay1 = lines({"0", "0", "0", "0", "10", "3", "0", "0", "0", "0", "0", "0"});
    const std::string path = dir / "arming-first.cfg";
    writeFile(path, wholeFile(lines({"#39", "0", "0", "0"}) + rawLine({0x03}) +
                                  lines({"//#39", "#01", "a", "1", "1", "0"}) + row1OnRelay1 +
                                  rawLine({1}) + lines({"//#01", "#03", "c", "1", "1", "0"}) +
                                  row1OnRelay1 + rawLine({1}) + lines({"//#03"}),
                              {"#39"}));
    prompts.fileNames = {path};
    // The refusal is told: the window does not hold the file's row.
    EXPECT_EQ(files.loadConfiguration(), ConfigFiles::LoadResult::Changed);
    ASSERT_TRUE(files.outcome());
    EXPECT_EQ(files.outcome()->kind, Outcome::Kind::Incomplete);
    ASSERT_EQ(files.lastLoad().changes.size(), 1u);
    EXPECT_EQ(fieldDescription(files.lastLoad().changes[0].field).controlName, "RG_OUT1S_1");
    EXPECT_EQ(cp1251ToUtf8(files.lastLoad().changes[0].fileValue), "Реле 1(Relay1)");
    EXPECT_EQ(files.lastLoad().changes[0].loadedValue, "");
    EXPECT_EQ(cp1251ToUtf8(prompts.shown.back().text),
              "T:Конфигурация считана из файла не полностью:\r\n" + path +
                  "\r\nЗона 1, Строка 1, Выход: T:в файле \"Реле 1(Relay1)\", T:в окне \"\"");
    EXPECT_TRUE(flag("Check_on_output_in"));
    EXPECT_EQ(shownChoice("CB_on_output_in"), "Реле 1(Relay1)");
    EXPECT_EQ(shownChoice("RG_OUT1S_1"), "<none>") << "refused by the refresh";
    EXPECT_EQ(shownChoice("RG_OUT3S_1"), "Реле 1(Relay1)") << "zone 3 is not refreshed";
    ASSERT_EQ(prompts.shown.size(), 3u);
    EXPECT_EQ(prompts.shown[1].kind, Kind::Message);
    EXPECT_EQ(prompts.shown[2].kind, Kind::Information);
    EXPECT_NE(cp1251ToUtf8(prompts.shown[1].text).find("Реле 1(Relay1)"), std::string::npos);
}

} // namespace
} // namespace t6::test
