#pragma once
// Virtual time for tests: advance() moves the clock and fires every timer that
// falls due, in order of due time, exactly as often as real time would.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "common/Clock.h"

namespace t6::test {

class ManualClock : public Clock {
public:
    std::unique_ptr<Timer> createTimer(int intervalMs, std::function<void()> onTick) override;
    std::int64_t nowMs() const override { return now_; }
    LocalTime localNow() const override;
    // A fixed wait advances virtual time by the wait, firing what falls due.
    void wait(int ms) override {
        ++waits_;
        advance(ms);
    }

    void advance(std::int64_t ms);
    void setLocalBase(LocalTime t) { base_ = t; }
    // How many fixed waits were taken.
    int waits() const { return waits_; }

private:
    struct Entry;
    class ManualTimer;
    friend class ManualTimer;
    std::int64_t now_ = 0;
    std::uint64_t seq_ = 0;
    LocalTime base_{2026, 12, 9, 10, 20, 30};
    int waits_ = 0;
    std::vector<std::shared_ptr<Entry>> entries_;
};

} // namespace t6::test
