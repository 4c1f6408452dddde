#pragma once
// The configurator's real port adapter against the simulated device program
// over a pseudo-terminal, in real time; every wait is bounded.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "common/Cp1251.h"
#include "core/QtClock.h"
#include "exchange/ExchangeController.h"
#include "exchange/ExchangeLogs.h"
#include "link/QtSerialPort.h"
#include "support/CoreRig.h"
#include "support/ScriptedPrompts.h"

namespace t6::test {

// Runs the event loop until the condition holds or the time is up.
inline bool waitFor(const std::function<bool()>& done, int ms) {
    QDeadlineTimer deadline(ms);
    QTimer wake;
    wake.start(10);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

struct PtyView : ExchangeView {
    std::string portState, connection, signal;
    void showPortState(const std::string& t) override { portState = cp1251ToUtf8(t); }
    void showConnection(const std::string& t) override { connection = cp1251ToUtf8(t); }
    void showSignal(int, const std::string& t, bool) override { signal = cp1251ToUtf8(t); }
};

class PtyDeviceTest : public ::testing::Test {
protected:
    void SetUp() override { dir = freshTestFolder("t6-pty"); }
    void TearDown() override {
        detach();
        exchange.reset();
        if (sim.state() != QProcess::NotRunning) {
            sim.terminate();
            if (!sim.waitForFinished(2000))
                sim.kill();
        }
        qunsetenv("TORVEL6_PORTS");
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
        // Only the device's terminal is searched, not the system's ports,
        // which other tests probe at the same time.
        qputenv("TORVEL6_PORTS", QByteArray::fromStdString(pty));
        logs.setDirectory(dir.string());
        logs.createFiles();
        exchange = std::make_unique<ExchangeController>(port, clock, prompts, logs);
        exchange->setView(&view);
        exchange->start();
        exchange->setConnectedPort(pty);
        attach();
    }
    // The operations a test uses, made once the controller exists.
    virtual void attach() {}
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
    PtyView view;
    std::unique_ptr<ExchangeController> exchange;

    // The operations go before the controller.
    virtual void detach() {}
};

} // namespace t6::test
