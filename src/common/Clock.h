#pragma once
// Time as the program sees it. Every timer and every fixed wait goes through
// these interfaces, so that tests run hours of device time in microseconds.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace t6 {

// The computer's local date and time, as the clock fields and the status bar show it.
struct LocalTime {
    int year = 2000;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// "hh:mm:ss", the long time format of the clock fields and the status bar.
std::string longTimeText(const LocalTime& t);
// "dd.mm.yy".
std::string shortDateText(const LocalTime& t);

// A repeating timer firing on the user-interface thread.
class Timer {
public:
    virtual ~Timer() = default;
    // Starts the timer; starting a running timer restarts its full interval.
    virtual void start() = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    virtual int intervalMs() const = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // A new timer, stopped, calling onTick at every interval while it runs.
    virtual std::unique_ptr<Timer> createTimer(int intervalMs, std::function<void()> onTick) = 0;
    // Milliseconds of a monotonic clock.
    virtual std::int64_t nowMs() const = 0;
    virtual LocalTime localNow() const = 0;
    // A fixed wait; timers and received data are still handled meanwhile.
    virtual void wait(int ms) = 0;
};

} // namespace t6
