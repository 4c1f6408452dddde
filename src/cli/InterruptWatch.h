#pragma once
// Ctrl+C and the stop signals (SIGINT, SIGTERM, SIGHUP) during an exchange.
// The signal handler only writes one byte to a socket pair; the event loop
// sees it through a QSocketNotifier and tells the program, which ends the
// exchange cleanly (the port closed, the logs written). A second signal,
// should the program not have ended, ends it at once.

#include <functional>
#include <memory>
#include <string>

class QSocketNotifier;

namespace t6::cli {

class Session;

class InterruptWatch {
public:
    // Installs the handlers; onInterrupt runs in the event loop.
    explicit InterruptWatch(std::function<void()> onInterrupt);
    // Puts the signals' former handlers back.
    ~InterruptWatch();
    InterruptWatch(const InterruptWatch&) = delete;
    InterruptWatch& operator=(const InterruptWatch&) = delete;

    bool interrupted() const { return interrupted_; }

private:
    void onReadable();

    std::function<void()> onInterrupt_;
    std::unique_ptr<QSocketNotifier> notifier_;
    bool interrupted_ = false;
};

// After Ctrl+C: the session's wait is cancelled as the window's "Отмена"
// cancels it, without the window's words of it (they speak of the window),
// the user is told that the exchange stopped and then `what` (Windows-1251):
// what became of the file or the device. Gives the exit code.
int interruptedExitWith(Session& session, const std::string& what);

} // namespace t6::cli
