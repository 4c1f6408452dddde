#pragma once
// The clock of the running program: timers of the event loop, the computer's
// local time, and fixed waits that keep the event loop (the window, the port)
// alive. Qt Core only, for the window and the command line alike.

#include "common/Clock.h"

namespace t6 {

class QtClock : public Clock {
public:
    std::unique_ptr<Timer> createTimer(int intervalMs, std::function<void()> onTick) override;
    std::int64_t nowMs() const override;
    LocalTime localNow() const override;
    void wait(int ms) override;
};

} // namespace t6
