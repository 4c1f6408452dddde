// Ctrl+C during an exchange, and a port that goes away: the exchange ends
// cleanly, the port is closed and the logs are written.

#include "CliFixture.h"

#include <QDeadlineTimer>
#include <csignal>

#include "cli/CommandContext.h"

namespace t6::test {
namespace {

using namespace t6::cli;

// Ctrl+C while the read waits for the sensors' names: the run ends with the
// file's fate, and nothing is said of a window.
TEST_F(CliTest, CtrlCDuringAReadEndsItCleanlyAndSaysWhatBecameOfTheFile) {
    struct Case {
        const char* what;
        bool there; // a file is there already (--force)
        const char* said;
    };
    const Case cases[] = {
        {"a new file", false, "torvel6: Файл не записан: "},
        {"a file replaced", true, "torvel6: Файл не заменён, прежний оставлен как был: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The device never sends the sensors' names: the read waits for them.
        Device& dev = startDevice({"--silent", "Ltd"});
        std::filesystem::remove(dir / "site.cfg");
        QStringList args{"read", "--port", dev.port(), "--out", qpath("site.cfg")};
        if (c.there) {
            put("site.cfg", "keep me");
            args << "--force";
        }
        QProcess p;
        start(p, args);
        QDeadlineTimer deadline(5000);
        while (!dev.asked("Ltd") && !deadline.hasExpired()) {
        }
        ASSERT_TRUE(dev.asked("Ltd")) << dev.log();
        ::kill(static_cast<pid_t>(p.processId()), SIGINT);
        const CliRun r = result(p, 5000);
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.code, Exit::Interrupted) << r.err;
        EXPECT_TRUE(contains(r.err, "torvel6: Прервано: обмен с прибором остановлен.\n" +
                                        std::string(c.said) + path("site.cfg") + "\n"))
            << r.err;
        EXPECT_FALSE(contains(r.err, "Окно")) << r.err;
        if (c.there)
            EXPECT_EQ(bytes("site.cfg"), "keep me");
        else
            EXPECT_FALSE(exists("site.cfg"));
        const std::string memo = text("log.log");
        EXPECT_TRUE(contains(memo, "входная строка: Папа")) << memo;
        EXPECT_TRUE(contains(memo, "Обмен прерван: программа остановлена сигналом")) << memo;
        EXPECT_TRUE(contains(text("protokol.log"), "<<< чтение основных данных: "));
        // The port was let go: the next run opens it and is answered.
        const CliRun next = run({"identify", "--port", dev.port()});
        EXPECT_EQ(next.code, Exit::Ok) << next.err;
    }
}

TEST_F(CliTest, TerminationDuringAWriteClosesThePortAndWritesTheLogs) {
    Device& source = startDevice();
    ASSERT_EQ(run({"read", "--port", source.port(), "--out", qpath("site.cfg")}).code, Exit::Ok);
    // The device never answers the remote controls' data.
    Device& dev = startDevice({"--silent", "Wp-data"});
    QProcess p;
    start(p, {"write", "--port", dev.port(), "--in", qpath("site.cfg")});
    QDeadlineTimer deadline(5000);
    while (dev.requests().size() < 3 && !deadline.hasExpired()) {
    }
    ASSERT_EQ(dev.requests().size(), 3u) << dev.log();
    ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
    const CliRun r = result(p, 5000);
    ASSERT_TRUE(r.finished);
    EXPECT_EQ(r.code, Exit::Interrupted) << r.err;
    EXPECT_TRUE(contains(r.err, "torvel6: Запись настроек прервана: прибор мог сохранить только "
                                "часть конфигурации.\n"))
        << r.err;
    EXPECT_TRUE(contains(text("log.log"), "Обмен прерван: программа остановлена сигналом"));
    EXPECT_TRUE(contains(text("protokol.log"), ">>> запись радиопультов: "));
    EXPECT_EQ(run({"signal", "--port", dev.port()}).code, Exit::Ok);
}

TEST_F(CliTest, APortThatGoesAwayEndsTheReadAtOnce) {
    Device& dev = startDevice({"--silent", "Ltd"});
    QProcess p;
    start(p, {"read", "--port", dev.port(), "--out", qpath("site.cfg")});
    QDeadlineTimer deadline(5000);
    while (!dev.asked("Ltd") && !deadline.hasExpired()) {
    }
    ASSERT_TRUE(dev.asked("Ltd")) << dev.log();
    dev.kill();
    const CliRun r = result(p, 5000);
    ASSERT_TRUE(r.finished) << "the read does not wait for the silence";
    EXPECT_EQ(r.code, Exit::DeviceError) << r.err;
    EXPECT_TRUE(contains(r.err, "Порт больше не доступен: " + dev.pty())) << r.err;
    EXPECT_FALSE(exists("site.cfg"));
    EXPECT_TRUE(exists("log.log"));
}

} // namespace
} // namespace t6::test
