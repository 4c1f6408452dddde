// "ports", "identify" and "signal" as processes against the simulated device.

#include "CliFixture.h"

#include "cli/CommandContext.h"

namespace t6::test {
namespace {

using namespace t6::cli;

TEST_F(CliTest, PortsListsTheDevicesTerminalAmongThePorts) {
    Device& dev = startDevice();
    const CliRun r = run({"ports"}, 10000, {dev.port()});
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.code, Exit::Ok) << r.err;
    EXPECT_TRUE(contains(r.out, dev.pty() + "\n")) << r.out;
    // Listing ports does not touch the exchange logs of an earlier run.
    EXPECT_FALSE(exists("protokol.log"));
}

TEST_F(CliTest, IdentifyPrintsThePortAndTheVersionAndLogsTheReply) {
    Device& dev = startDevice();
    const CliRun r = run({"identify", "--port", dev.port()});
    EXPECT_EQ(r.code, Exit::Ok) << r.err;
    EXPECT_EQ(r.out, dev.pty() + "\n2.05\n");
    EXPECT_TRUE(contains(r.err, "соединение установлено.")) << r.err;
    EXPECT_EQ(dev.requests(), std::vector<std::string>{"Tt"});
    EXPECT_EQ(text("protokol.log"), "<<< поиск порта: T7 2.05\r\n");
    EXPECT_TRUE(contains(text("log.log"), "входная строка: T7 2.05")) << text("log.log");
}

TEST_F(CliTest, IdentifySearchesThePortsWithoutAPortGiven) {
    Device& dev = startDevice({"--type", "T7 3.10"});
    const CliRun r = run({"identify"}, 60000, {dev.port()});
    EXPECT_EQ(r.code, Exit::Ok) << r.err;
    EXPECT_EQ(r.out, dev.pty() + "\n3.10\n");
}

TEST_F(CliTest, IdentifyRefusesAnotherTypeWithItsConfigurator) {
    Device& dev = startDevice({"--type", "T6"});
    const CliRun r = run({"identify", "--port", dev.port()});
    EXPECT_EQ(r.code, Exit::WrongDevice);
    EXPECT_EQ(r.out, "");
    EXPECT_TRUE(contains(r.err,
                         "Используйте конфигуратор \"УМНЫЙ ТОРВЕЛ-4\"\ntorvel6: соединение НЕ "
                         "установлено."))
        << r.err;
}

TEST_F(CliTest, IdentifyWithoutAnswerEndsTheSearchWithTheNoAnswerMessage) {
    Device& dev = startDevice({"--silent", "Tt"});
    const CliRun r = run({"identify"}, 60000, {dev.port()});
    EXPECT_EQ(r.code, Exit::NoAnswer) << r.err;
    EXPECT_TRUE(contains(r.err, "Ошибка связи(нет ответа). Проверьте подключено ли устройство."))
        << r.err;
    EXPECT_TRUE(dev.asked("Tt"));
}

TEST_F(CliTest, IdentifyOnAPortThatDoesNotOpenIsRefused) {
    const CliRun r = run({"identify", "--port", qpath("no-such-port")});
    EXPECT_EQ(r.code, Exit::DeviceError);
    EXPECT_TRUE(contains(r.err, "Не удалось открыть порт: " + path("no-such-port"))) << r.err;
}

TEST_F(CliTest, MessagesSpeakEnglishWithLangEn) {
    Device& dev = startDevice({"--silent", "Tt"});
    const CliRun r = run({"identify", "--lang", "en"}, 60000, {dev.port()});
    EXPECT_EQ(r.code, Exit::NoAnswer);
    EXPECT_TRUE(contains(r.err, "Communication error (no answer)")) << r.err;
}

TEST_F(CliTest, SignalShowsTheLevelAsTheWindowDoes) {
    Device& dev = startDevice();
    CliRun r = run({"signal", "--port", dev.port()});
    EXPECT_EQ(r.code, Exit::Ok) << r.err;
    EXPECT_EQ(r.out, "-79 dBm\n");
    EXPECT_TRUE(contains(text("log.log"), "выходная строка: юяSgяю")) << text("log.log");

    Device& noNetwork = startDevice({"--csq", "+CSQ: 99,99"});
    r = run({"signal", "--port", noNetwork.port()});
    EXPECT_EQ(r.code, Exit::Ok);
    EXPECT_EQ(r.out, "нет связи\n");

    Device& odd = startDevice({"--csq", "+CSQ: 7,0"});
    r = run({"signal", "--port", odd.port()});
    EXPECT_EQ(r.out, "нет сигнала\n");
}

TEST_F(CliTest, SignalFailures) {
    Device& notCsq = startDevice({"--csq", "OK"});
    CliRun r = run({"signal", "--port", notCsq.port()});
    EXPECT_EQ(r.code, Exit::DeviceError);
    EXPECT_EQ(r.out, "");

    r = run({"signal", "--port", qpath("no-such-port")});
    EXPECT_EQ(r.code, Exit::DeviceError);
    EXPECT_TRUE(contains(r.err, "Нет соединения с устройством. Проверьте подключение")) << r.err;

    Device& silent = startDevice({"--silent", "Sg"});
    r = run({"signal", "--port", silent.port()});
    EXPECT_EQ(r.code, Exit::NoAnswer);
    EXPECT_TRUE(contains(r.err, "НЕТ ответа о уровне сигнала.")) << r.err;
}

} // namespace
} // namespace t6::test
