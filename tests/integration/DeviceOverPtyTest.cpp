#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "common/Cp1251.h"
#include "exchange/Connection.h"
#include "exchange/ExchangeController.h"
#include "exchange/SignalLevel.h"
#include "link/QtSerialPort.h"
#include "support/ScriptedPrompts.h"
#include "ui/QtClock.h"

namespace t6::test {
namespace {

// Runs the event loop until the condition holds or the time is up.
bool waitFor(const std::function<bool()>& done, int ms) {
    QDeadlineTimer deadline(ms);
    QTimer wake;
    wake.start(10);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

struct View : ExchangeView {
    std::string portState, connection, signal;
    void showPortState(const std::string& t) override { portState = cp1251ToUtf8(t); }
    void showConnection(const std::string& t) override { connection = cp1251ToUtf8(t); }
    void showSignal(int, const std::string& t, bool) override { signal = cp1251ToUtf8(t); }
};

class DeviceOverPty : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("t6-pty-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        exchange.reset();
        if (sim.state() != QProcess::NotRunning) {
            sim.terminate();
            if (!sim.waitForFinished(2000))
                sim.kill();
        }
        qunsetenv("TORVEL6_EXTRA_PORTS");
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    // Starts the simulated device and makes its pty one of the listed ports.
    void startDevice(const QStringList& args = {}) {
        sim.start(QString::fromUtf8(T6_DEVICESIM), args);
        ASSERT_TRUE(sim.waitForStarted(3000));
        ASSERT_TRUE(waitFor([this] { return sim.canReadLine(); }, 3000));
        pty = QString::fromUtf8(sim.readLine()).trimmed().toStdString();
        ASSERT_FALSE(pty.empty());
        qputenv("TORVEL6_EXTRA_PORTS", QByteArray::fromStdString(pty));
        logs.setDirectory(dir.string());
        logs.createFiles();
        exchange = std::make_unique<ExchangeController>(port, clock, prompts, logs);
        exchange->setView(&view);
        exchange->start();
        connection = std::make_unique<Connection>(*exchange);
        signal = std::make_unique<SignalLevel>(*exchange);
    }
    std::string fileText(const char* name) {
        std::ifstream f(dir / name, std::ios::binary);
        std::stringstream s;
        s << f.rdbuf();
        return cp1251ToUtf8(s.str());
    }

    std::filesystem::path dir;
    QProcess sim;
    std::string pty;
    QtSerialPort port;
    QtClock clock;
    ScriptedPrompts prompts;
    ExchangeLogs logs;
    View view;
    std::unique_ptr<ExchangeController> exchange;
    std::unique_ptr<Connection> connection;
    std::unique_ptr<SignalLevel> signal;
};

TEST_F(DeviceOverPty, TheSearchFindsTheDeviceAndTheSignalIsRead) {
    startDevice();
    connection->connect();
    const auto ports = connection->ports();
    ASSERT_NE(std::find(ports.begin(), ports.end(), pty), ports.end());
    // Every listed port may take a probe step of 1.2 s before the device's.
    const int bound = 1200 * static_cast<int>(ports.size()) + 3000;
    ASSERT_TRUE(waitFor([this] { return !exchange->connectedPort().empty(); }, bound));
    EXPECT_EQ(exchange->connectedPort(), pty);
    EXPECT_EQ(prompts.lastUtf8(), "соединение установлено.");
    EXPECT_EQ(view.connection, "соединен с " + pty + "  2.05");
    // The port closes one second after the box was answered.
    ASSERT_TRUE(waitFor([this] { return !port.isOpen(); }, 2500));
    EXPECT_EQ(exchange->mode(), ExchangeMode::Idle);
    EXPECT_EQ(view.portState, "Закрыт (Com=" + pty + ")");

    signal->refresh();
    ASSERT_TRUE(waitFor([this] { return !view.signal.empty(); }, 3000));
    EXPECT_EQ(view.signal, "-79 dBm");
    EXPECT_EQ(signal->reading().gauge, 54);
    logs.closeFiles();
    EXPECT_EQ(fileText("protokol.log"), "<<< поиск порта: T7 2.05\r\n");
    ASSERT_EQ(logs.memoLines().size(), 3u);
    EXPECT_EQ(cp1251ToUtf8(logs.memoLines()[2]), "входная строка: +CSQ: 17,99");
}

TEST_F(DeviceOverPty, NoiseAndRepliesInPiecesStillIdentifyTheDevice) {
    startDevice({"--noise", "--split", "3"});
    connection->setManualMode(true);
    connection->setComboText(pty);
    connection->connect();
    ASSERT_TRUE(waitFor([this] { return !prompts.shown.empty(); }, 3000));
    EXPECT_EQ(prompts.lastUtf8(), "соединение установлено.");
    EXPECT_EQ(view.connection, "соединен с " + pty + "  2.05");
}

TEST_F(DeviceOverPty, ADeviceOfAnotherTypeIsRefused) {
    startDevice({"--type", "T6"});
    connection->connect();
    const int bound = 1200 * static_cast<int>(connection->ports().size()) + 3000;
    ASSERT_TRUE(waitFor([this] { return !prompts.shown.empty(); }, bound));
    EXPECT_EQ(prompts.shown.back().kind, ScriptedPrompts::Kind::Information);
    EXPECT_EQ(prompts.lastUtf8(),
              "Используйте конфигуратор \"УМНЫЙ ТОРВЕЛ-4\"\r\nсоединение НЕ установлено.");
    EXPECT_TRUE(exchange->connectedPort().empty());
}

TEST_F(DeviceOverPty, ADeviceThatGoesAwayLeavesThePortShownClosed) {
    startDevice({"--silent", "Sg"});
    exchange->setConnectedPort(pty);
    signal->refresh();
    ASSERT_TRUE(port.isOpen());
    EXPECT_EQ(view.portState, "Открыт (Com=" + pty + ")");
    sim.kill();
    ASSERT_TRUE(sim.waitForFinished(2000));
    // The adapter sees the line vanish, closes the port and tells the controller.
    ASSERT_TRUE(waitFor([&] { return view.portState == "Закрыт (Com=" + pty + ")"; }, 3000));
    EXPECT_FALSE(port.isOpen());
    ASSERT_FALSE(prompts.shown.empty());
    EXPECT_EQ(prompts.shown.back().kind, ScriptedPrompts::Kind::Error);
    // The next operation cannot open the vanished port and says so.
    signal->refresh();
    EXPECT_EQ(prompts.lastUtf8(), "Нет соединения с устройством. Проверьте подключение");
}

} // namespace
} // namespace t6::test
