#pragma once
// One run of the configurator's core, as the window owns it, against the
// simulated device program over a pseudo-terminal, in real time: the real
// port adapter, the Qt clock, prompts that record every box and answer Yes,
// and a working folder of its own holding the dictionary and files of the
// user's that no operation may touch.

#include <QProcess>
#include <QStringList>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/AppCore.h"
#include "core/QtClock.h"
#include "exchange/ExchangeView.h"
#include "link/QtSerialPort.h"
#include "support/ScriptedPrompts.h"

namespace t6::test {

using Steady = std::chrono::steady_clock;

// Runs the event loop until the condition holds or the time is up.
bool runUntil(const std::function<bool()>& done, int ms);

// Something the user was told: a box, a passing note in the status bar, or
// the signal reading under its gauge.
struct Told {
    std::string kind; // "box", "error", "question", "notice", "gauge"
    std::string text; // UTF-8
};

// The status bar and the gauge as the window would show them (UTF-8).
struct FaultView : ExchangeView {
    std::vector<Activity> activities;
    std::vector<Told> notes; // notices and readings, in order
    std::string portState, connection, signal;
    void showActivity(const Activity& a) override { activities.push_back(a); }
    void showNotice(const std::string& t) override;
    void showPortState(const std::string& t) override;
    void showConnection(const std::string& t) override;
    void showSignal(int, const std::string& t, bool) override;
    // The status bar shows a stage (the port state otherwise).
    bool busy() const { return !activities.empty() && !activities.back().text.empty(); }
    // ...and asks for the user's attention: the device is silent.
    bool alert() const { return busy() && activities.back().alert; }
};

class FaultRig {
public:
    // name: makes the working folder's name unique.
    explicit FaultRig(const std::string& name);
    ~FaultRig();
    FaultRig(const FaultRig&) = delete;
    FaultRig& operator=(const FaultRig&) = delete;

    // Starts the device program (learning takes 200 ms unless the options say
    // otherwise). The port is the symbolic link "ttyT6" in the working folder,
    // which goes when the device goes, as the name of an adapter pulled out
    // does; a device started later makes it again.
    bool startDevice(QStringList args);
    // Stops it if it still runs (a --die-at device has ended by itself).
    void stopDevice();
    bool deviceRunning() const { return sim_.state() != QProcess::NotRunning; }

    // The window's start-up: the output choices, the port list, the panels,
    // the logs, the registry, the timers.
    void startCore();
    AppCore& core() { return *core_; }
    ScriptedPrompts& prompts() { return prompts_; }
    FaultView& view() { return view_; }
    QtSerialPort& port() { return port_; }
    // Runs a step as the window does: a port error it raises shows the error box.
    void act(const std::function<void()>& step);

    // The operation is over: no exchange waits, nothing is shown in the
    // status bar's first panel, no reply or search timer runs. The port may
    // still be open, waiting for the closing timer.
    bool ended();
    // ...and the port is closed and the closing timer has run: idle.
    bool idle();

    // What the user was told since the last clearTold().
    std::vector<Told> told() const;
    void clearTold();

    // Each file of the working folder with a digest of its bytes.
    std::map<std::string, std::string> files() const;

    const std::filesystem::path& dir() const { return dir_; }
    // The port name the operations use.
    std::string pty;

private:
    std::filesystem::path dir_;
    QProcess sim_;
    QtSerialPort port_;
    QtClock clock_;
    ScriptedPrompts prompts_;
    FaultView view_;
    std::unique_ptr<AppCore> core_;
    std::size_t notesSeen_ = 0;
};

} // namespace t6::test
