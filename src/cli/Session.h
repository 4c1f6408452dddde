#pragma once
// One run of the command-line program with the device: the port, the clock,
// the boxes and the core, started as the window starts them (the logs created
// in the program directory, the timers running) and ended as the window ends
// (the port purged and closed, the memo saved as "log.log"). A command drives
// the core's operations and waits in the event loop until they have ended.

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

#include "cli/CliPrompts.h"
#include "cli/CliView.h"
#include "cli/InterruptWatch.h"
#include "cli/ProgressLine.h"
#include "core/AppCore.h"
#include "core/QtClock.h"
#include "link/CountingPort.h"
#include "link/QtSerialPort.h"

namespace t6::cli {

struct SessionSetup {
    std::string programDir;
    char language = 'R';
    // Standard error is a terminal: the progress line is shown.
    bool errIsTerminal = false;
    // The session talks to the device: the logs are made and Ctrl+C is watched.
    bool device = true;
    // The site the versions of completed reads and writes are kept under (UTF-8).
    std::string site;
};

class Session {
public:
    Session(std::ostream& out, std::ostream& err, const SessionSetup& setup);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    AppCore& core() { return *core_; }
    CliPrompts& prompts() { return prompts_; }
    CliView& view() { return *view_; }
    CountingPort& port() { return port_; }
    std::ostream& out() { return out_; }

    // A message of the program in the language of the messages.
    std::string tr(const char* utf8);
    // A line of the program's own on standard error.
    void note(const std::string& cp1251) { prompts_.note(cp1251); }

    // The port named on the command line, chosen as the window's manual port
    // selection chooses it: the device counts as connected there at once.
    void usePort(const std::string& name);
    // The file a port named on the command line stands for: an absolute path
    // as it is, a relative path from the current folder, a bare name the file
    // of that name in the current folder or else the device /dev/NAME (said
    // on standard error).
    std::string portPath(const std::string& name);
    // Runs a step of an operation as the window runs a button's: a port error
    // becomes the error box.
    void run(const std::function<void()>& step) { core_->exchange().guarded(step); }
    // Runs the event loop until `done` holds; false when Ctrl+C came first.
    bool runUntil(const std::function<bool()>& done);
    // Looks at `done` again soon (something it may depend on has changed).
    void wake();
    // Waits while the event loop runs on.
    void pause(int ms) { clock_.wait(ms); }
    bool interrupted() const { return interrupts_ && interrupts_->interrupted(); }
    // After Ctrl+C: a wait that can be cancelled is cancelled as the window's
    // "Отмена" does, the user told, and the exit code given.
    int interruptedExit();

    // The end of the run: the port purged and closed, the memo saved, the
    // logs closed. Also done by the destructor.
    void finish();

private:
    std::ostream& out_;
    SessionSetup setup_;
    QtSerialPort serial_;
    CountingPort port_;
    QtClock clock_;
    CliPrompts prompts_;
    std::unique_ptr<AppCore> core_;
    std::unique_ptr<ProgressLine> progress_;
    std::unique_ptr<CliView> view_;
    std::unique_ptr<InterruptWatch> interrupts_;
    std::function<void()> wake_;
    bool finished_ = false;
};

} // namespace t6::cli
