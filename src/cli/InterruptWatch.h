#pragma once
// Ctrl+C and the stop signals (SIGINT, SIGTERM, SIGHUP) during an exchange.
// The signal handler only writes one byte to a socket pair; the event loop
// sees it through a QSocketNotifier and tells the program, which ends the
// exchange cleanly (the port closed, the logs written). A second signal,
// should the program not have ended, ends it at once.

#include <functional>
#include <memory>

class QSocketNotifier;

namespace t6::cli {

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

} // namespace t6::cli
