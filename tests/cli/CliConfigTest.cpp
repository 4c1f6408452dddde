// "read" and "write" as processes against the simulated device: the chains
// of the window, the files on either side, and every way they fail.

#include "CliFixture.h"

#include <algorithm>
#include <cctype>

#include "cli/CommandContext.h"

namespace t6::test {
namespace {

using namespace t6::cli;

const std::vector<std::string> kReadChain{"Ro", "Pt", "Pn", "Ltd"};

// The device's remote controls as a reply of 130 bytes: remote 1 named
// "Other" with the code 01 02 03, the nine others empty.
QString otherRemotes() {
    QString block = QStringLiteral("Other");
    for (int i = 0; i < 5; ++i)
        block += QStringLiteral("\\x00");
    block += QStringLiteral("\\x01\\x02\\x03");
    for (int i = 13; i < 130; ++i)
        block += QStringLiteral("\\x00");
    return QStringLiteral("Pn=") + block;
}

// The requests that are commands (letters only), leaving out the data blocks.
std::vector<std::string> commandsOf(const std::vector<std::string>& requests) {
    std::vector<std::string> out;
    for (const std::string& r : requests)
        if (!r.empty() && std::all_of(r.begin(), r.end(), [](char c) { return std::isalpha(c); }))
            out.push_back(r);
    return out;
}

class CliConfigTest : public CliTest {
protected:
    // A configuration file read from a device of its own.
    void readFile(const std::string& name) {
        Device& source = startDevice();
        const CliRun r = run({"read", "--port", source.port(), "--out", qpath(name)});
        ASSERT_EQ(r.code, Exit::Ok) << r.err;
    }
};

TEST_F(CliConfigTest, ReadSavesTheDevicesConfigurationAfterTheBackup) {
    Device& dev = startDevice();
    const CliRun r = run({"read", "--port", dev.port(), "--out", qpath("site.cfg")});
    ASSERT_EQ(r.code, Exit::Ok) << r.err;
    EXPECT_EQ(dev.requests(), kReadChain);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(contains(r.err, "torvel6: Процесс чтения завершился. Все OK.\n"
                                "torvel6: Конфигурация успешно сохранена в файл: " +
                                    path("site.cfg")))
        << r.err;
    const std::string file = text("site.cfg");
    EXPECT_EQ(file.substr(0, 5), "#00\r\n");
    EXPECT_TRUE(contains(file, "\r\n#01\r\nВходная дверь\r\n")) << file;
    EXPECT_TRUE(contains(file, "Мама")) << file;
    // The window's backup in the same folder is not replaced by the command
    // line's start-up configuration.
    EXPECT_FALSE(exists("save.000"));
    EXPECT_TRUE(contains(text("protokol.log"), "\r\n<<< чтение входа1\r\n\x01Входная дверь"));
    EXPECT_TRUE(contains(text("protokol_FF.log"), "<< чтение основных данных\r\n9999"));
    EXPECT_TRUE(contains(text("log.log"), "входная строка: Папа"));
}

TEST_F(CliConfigTest, AnExistingFileIsKeptAndTheDeviceNotAskedUnlessForced) {
    Device& dev = startDevice();
    put("site.cfg", "keep me");
    CliRun r = run({"read", "--port", dev.port(), "--out", qpath("site.cfg")});
    EXPECT_EQ(r.code, Exit::FileError);
    EXPECT_TRUE(contains(r.err, "torvel6: Файл с таким именем существует.  Заменить? [Нет]\n"
                                "torvel6: Файл не заменён; заменить его велит --force.\n"))
        << r.err;
    EXPECT_EQ(bytes("site.cfg"), "keep me");
    EXPECT_TRUE(dev.requests().empty());

    r = run({"read", "--port", dev.port(), "--out", qpath("site.cfg"), "--force"});
    EXPECT_EQ(r.code, Exit::Ok) << r.err;
    EXPECT_TRUE(contains(text("site.cfg"), "Входная дверь"));
}

TEST_F(CliConfigTest, AReadWithoutTheBlockWritesNoFile) {
    Device& dev = startDevice({"--silent", "Pt"});
    const CliRun r = run({"read", "--port", dev.port(), "--out", qpath("site.cfg")});
    EXPECT_EQ(r.code, Exit::NoAnswer) << r.err;
    EXPECT_TRUE(contains(r.err, "Превышен период ожидания ответа устройства.")) << r.err;
    EXPECT_FALSE(exists("site.cfg"));
    EXPECT_FALSE(exists("save.000"));
}

TEST_F(CliConfigTest, AWaitWithoutLimitIsCancelledAfterTenSecondsOfSilence) {
    Device& dev = startDevice({"--silent", "Ltd"});
    const CliRun r = run({"read", "--port", dev.port(), "--out", qpath("site.cfg")});
    EXPECT_EQ(r.code, Exit::NoAnswer) << r.err;
    EXPECT_TRUE(contains(r.err, "прибор не отвечает 10 с")) << r.err;
    EXPECT_TRUE(contains(r.err, "Чтение настроек не завершено: прибор не отвечает.")) << r.err;
    EXPECT_FALSE(exists("site.cfg"));
    EXPECT_EQ(dev.requests(), kReadChain);
}

TEST_F(CliConfigTest, ATruncatedBlockAndAMissingPortAreRefused) {
    Device& dev = startDevice({"--reply", "Pt=\\x99\\x99\\x117916"});
    CliRun r = run({"read", "--port", dev.port(), "--out", qpath("site.cfg")});
    EXPECT_EQ(r.code, Exit::DeviceError);
    EXPECT_TRUE(contains(r.err, "Ответ прибора неполный")) << r.err;
    EXPECT_FALSE(exists("site.cfg"));

    r = run({"read", "--port", qpath("no-such-port"), "--out", qpath("site.cfg")});
    EXPECT_EQ(r.code, Exit::DeviceError);
    EXPECT_TRUE(contains(r.err, "Нет соединения с устройством. Проверьте подключение")) << r.err;
}

TEST_F(CliConfigTest, WriteSendsTheFileAndVerifiesIt) {
    readFile("site.cfg");
    Device& dev = startDevice({"--type", "T7 9.99"});
    const CliRun r = run({"write", "--port", dev.port(), "--in", qpath("site.cfg"), "--verify"});
    EXPECT_EQ(r.code, Exit::Ok) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(contains(
        r.err, "torvel6: Конфигурация успешно считана из файла: " + path("site.cfg") + "\n"));
    EXPECT_TRUE(contains(r.err, "Процесс записи завершился. Все OK.")) << r.err;
    EXPECT_TRUE(contains(r.err, "Проверка: прибор хранит записанную конфигурацию.")) << r.err;
    // The write chain, then the read that verifies it; the blocks between.
    EXPECT_EQ(commandsOf(dev.requests()),
              (std::vector<std::string>{"Wp", "Wtd", "Wo", "Ro", "Pt", "Pn", "Ltd"}));
    EXPECT_EQ(dev.requests().front().substr(0, 2), "..") << "the block starts with 99 99";
}

TEST_F(CliConfigTest, ARefusedCheckSendsNothing) {
    readFile("site.cfg");
    // Wired zone 1 active without its message.
    std::string file = bytes("site.cfg");
    const std::string message = ru("Входная дверь");
    file.replace(file.find(message), message.size(), "");
    put("empty-message.cfg", file);
    Device& dev = startDevice();
    const CliRun r = run({"write", "--port", dev.port(), "--in", qpath("empty-message.cfg")});
    EXPECT_EQ(r.code, Exit::DeviceError);
    EXPECT_TRUE(contains(r.err, "Не введен текст сообщений на зоне:1,. Нажмите OK.")) << r.err;
    EXPECT_TRUE(dev.requests().empty()) << dev.log();
}

TEST_F(CliConfigTest, AWrongAnswerEndsTheWrite) {
    readFile("site.cfg");
    Device& dev = startDevice({"--reply", "block=COK "});
    const CliRun r = run({"write", "--port", dev.port(), "--in", qpath("site.cfg"), "--verify"});
    EXPECT_EQ(r.code, Exit::DeviceError);
    EXPECT_TRUE(contains(r.err, "Ответ об успешной записи не корректен.")) << r.err;
    // Nothing follows the wrong answer, a verification neither.
    EXPECT_EQ(dev.requests().size(), 1u) << dev.log();
    EXPECT_TRUE(contains(text("protokol.log"), "<<< ответ о записи: COK \r\n"));
}

TEST_F(CliConfigTest, AStageWithoutAnswerEndsTheWriteAfterItsTime) {
    readFile("site.cfg");
    Device& dev = startDevice({"--silent", "Wtd-data"});
    const CliRun r = run({"write", "--port", dev.port(), "--in", qpath("site.cfg")});
    EXPECT_EQ(r.code, Exit::NoAnswer);
    EXPECT_TRUE(contains(r.err, "НЕТ ответа о окончании записи в устройство радиоприборов (304)"))
        << r.err;
    EXPECT_FALSE(dev.asked("Wo"));
}

TEST_F(CliConfigTest, VerifyListsTheFieldsTheDeviceHoldsOtherwise) {
    readFile("site.cfg");
    Device& dev = startDevice({"--reply", otherRemotes()});
    const CliRun r = run({"write", "--port", dev.port(), "--in", qpath("site.cfg"), "--verify"});
    EXPECT_EQ(r.code, Exit::VerifyDiffers) << r.err;
    EXPECT_TRUE(contains(r.out, "remoteControls[1].name\t")) << r.out;
    EXPECT_TRUE(contains(r.out, "\tПапа\tOther\n")) << r.out;
    EXPECT_TRUE(contains(r.out, "remoteControls[1].code\t")) << r.out;
    EXPECT_TRUE(contains(r.out, "\t010203\n")) << r.out;
    EXPECT_TRUE(contains(r.out, "remoteControls[2].name\t")) << r.out;
    // Only the remote controls differ.
    // The entries of the block first, byte for byte, then the fields.
    EXPECT_TRUE(contains(r.out, "block:remoteControls[1]\tрадиопульт 1\t")) << r.out;
    std::istringstream lines(r.out);
    for (std::string l; std::getline(lines, l);)
        EXPECT_TRUE(l.rfind("remoteControls[", 0) == 0 || l.rfind("block:remoteControls[", 0) == 0)
            << l;
    EXPECT_TRUE(contains(r.err, "Проверка: прибор хранит иное, чем записано, в полях:")) << r.err;
}

TEST_F(CliConfigTest, AMessageLongerThanTheDeviceKeepsIsToldBeforeAnythingIsSent) {
    readFile("site.cfg");
    // A file may hold a longer message than the device's record carries.
    std::string file = bytes("site.cfg");
    const std::string message = ru("Входная дверь");
    file.replace(file.find(message), message.size(), ru("Входная дверь подъезда номер 1"));
    put("long.cfg", file);
    Device& dev = startDevice();
    CliRun r = run({"write", "--port", dev.port(), "--in", qpath("long.cfg"), "--verify"});
    EXPECT_EQ(r.code, Exit::DeviceError) << r.err;
    EXPECT_EQ(r.out, "wiredZones[1].message\tЗона 1, Сообщение\tВходная дверь подъезда номер "
                     "1\tВходная дверь подъезда но\n");
    EXPECT_TRUE(contains(r.err, "В прибор ничего не отправлено")) << r.err;
    EXPECT_TRUE(dev.requests().empty()) << dev.log();
    // Taken as the window holds it, the device keeps what was sent.
    r = run(
        {"write", "--port", dev.port(), "--in", qpath("long.cfg"), "--verify", "--accept-changes"});
    EXPECT_EQ(r.code, Exit::Ok) << r.err;
}

TEST_F(CliConfigTest, AFileTheWindowDoesNotTakeWholeIsNotSent) {
    readFile("site.cfg");
    std::string file = bytes("site.cfg");
    // A stray byte before the tag of telephone 1 hides its section.
    file.insert(file.find("#11\r\n"), 1, '\0');
    put("hidden.cfg", file);
    Device& dev = startDevice();
    CliRun r = run({"write", "--port", dev.port(), "--in", qpath("hidden.cfg")});
    EXPECT_EQ(r.code, Exit::DeviceError) << r.err;
    EXPECT_EQ(r.out, "section\t#11\tнет в файле\t\n");
    EXPECT_TRUE(contains(r.err, "Конфигурация считана из файла не полностью:")) << r.err;
    EXPECT_TRUE(dev.requests().empty()) << dev.log();
    EXPECT_TRUE(contains(text("LoadFile.rep"), "Нет раздела #11")) << text("LoadFile.rep");

    r = run({"write", "--port", dev.port(), "--in", qpath("hidden.cfg"), "--accept-changes"});
    EXPECT_EQ(r.code, Exit::Ok) << r.err;
}

TEST_F(CliConfigTest, TheDevicesClockComesFromTheComputerUnlessTheFilesIsAskedFor) {
    readFile("site.cfg");
    std::string file = bytes("site.cfg");
    const std::size_t at = file.find("#28\r\n") + 5;
    file.replace(at, file.find("//#28", at) - at, "01.01.20\r\n00:00:00\r\n");
    put("old.cfg", file);
    auto clockAfterWrite = [&](const QStringList& extra) {
        Device& dev = startDevice();
        QStringList args{"write", "--port", dev.port(), "--in", qpath("old.cfg"), "--verify"};
        const CliRun w = run(args + extra);
        EXPECT_EQ(w.code, Exit::Ok) << w.err;
        std::filesystem::remove(dir / "back.cfg");
        const CliRun r = run({"read", "--port", dev.port(), "--out", qpath("back.cfg")});
        EXPECT_EQ(r.code, Exit::Ok) << r.err;
        const std::string back = bytes("back.cfg");
        const std::size_t b = back.find("#28\r\n") + 5;
        return back.substr(b, 8);
    };
    EXPECT_NE(clockAfterWrite({}), "01.01.20") << "an old backup does not set the clock back";
    EXPECT_EQ(clockAfterWrite({"--file-clock"}), "01.01.20");
}

TEST_F(CliConfigTest, AFileThatCannotBeLoadedSendsNothing) {
    Device& dev = startDevice();
    CliRun r = run({"write", "--port", dev.port(), "--in", qpath("missing.cfg")});
    EXPECT_EQ(r.code, Exit::FileError);
    EXPECT_EQ(r.err, "torvel6: Файл не найден: " + path("missing.cfg") + "\n");

    r = run({"write", "--port", dev.port(), "--in", qpath("")});
    EXPECT_EQ(r.code, Exit::FileError);
    EXPECT_EQ(r.err,
              "torvel6: Ошибка чтения файла: " + path("") + "\ntorvel6: Это папка, а не файл\n");

    put("broken.cfg", "#01\r\nЗона\r\n");
    r = run({"write", "--port", dev.port(), "--in", qpath("broken.cfg")});
    EXPECT_EQ(r.code, Exit::FileError);
    EXPECT_TRUE(contains(r.err, "torvel6: Файл конфигурации не загружен: ошибка формата: " +
                                    path("broken.cfg") + "\n"))
        << r.err;
    EXPECT_TRUE(dev.requests().empty());
}

TEST_F(CliConfigTest, ShowAndDiffRunAsProcessesWithoutTheDevice) {
    readFile("site.cfg");
    const std::string memo = bytes("log.log");
    CliRun r = run({"show", qpath("site.cfg")});
    EXPECT_EQ(r.code, Exit::Ok) << r.err;
    EXPECT_TRUE(contains(r.out, "wiredZones[1].message\tЗона 1, Сообщение\tВходная дверь\n"));
    r = run({"show", qpath("site.cfg"), "--json"});
    EXPECT_EQ(r.code, Exit::Ok);
    EXPECT_EQ(r.out.substr(0, 1), "{");
    EXPECT_EQ(run({"diff", qpath("site.cfg"), qpath("site.cfg")}).code, Exit::Ok);

    std::string file = bytes("site.cfg");
    const std::string message = ru("Входная дверь");
    file.replace(file.find(message), message.size(), ru("Дверь"));
    put("other.cfg", file);
    r = run({"diff", qpath("site.cfg"), qpath("other.cfg")});
    EXPECT_EQ(r.code, Exit::Differs);
    EXPECT_EQ(r.out, "wiredZones[1].message\tЗона 1, Сообщение\tВходная дверь\tДверь\n");
    r = run({"show", qpath("missing.cfg")});
    EXPECT_EQ(r.code, Exit::FileError);
    EXPECT_TRUE(contains(r.err, "Файл не найден")) << r.err;
    // Files only: the logs of the last exchange stay as they were.
    EXPECT_EQ(bytes("log.log"), memo);
}

} // namespace
} // namespace t6::test
