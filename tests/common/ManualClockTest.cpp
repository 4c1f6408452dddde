// The virtual clock every timer test stands on: if it fired timers at the wrong
// moments, the timer rules' tests would prove nothing.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/ManualClock.h"

namespace t6::test {
namespace {

TEST(ManualClock, FiresRepeatingTimersAtTheirIntervalsInDueOrder) {
    ManualClock clock;
    std::vector<std::string> fired;
    auto a = clock.createTimer(1000, [&] { fired.push_back("a" + std::to_string(clock.nowMs())); });
    auto b = clock.createTimer(1500, [&] { fired.push_back("b" + std::to_string(clock.nowMs())); });
    a->start();
    b->start();
    clock.advance(3000);
    // At 3000 both fall due; b's interval began first (at 1500), so b fires first.
    EXPECT_EQ(fired, (std::vector<std::string>{"a1000", "b1500", "a2000", "b3000", "a3000"}));
    EXPECT_EQ(clock.nowMs(), 3000);
}

TEST(ManualClock, StartingARunningTimerRestartsItsFullInterval) {
    ManualClock clock;
    int ticks = 0;
    auto t = clock.createTimer(1000, [&] { ++ticks; });
    t->start();
    clock.advance(900);
    t->start();
    clock.advance(900);
    EXPECT_EQ(ticks, 0);
    clock.advance(100);
    EXPECT_EQ(ticks, 1);
}

TEST(ManualClock, ATickMayStopRestartOrDestroyTimers) {
    ManualClock clock;
    int aTicks = 0, bTicks = 0;
    std::unique_ptr<Timer> b = clock.createTimer(500, [&] { ++bTicks; });
    std::unique_ptr<Timer> a = clock.createTimer(1000, [&] {
        ++aTicks;
        a->stop();
        b.reset(); // due at the same moment, it must not fire any more
    });
    a->start();
    clock.advance(500);
    b->start(); // due at 1000, started after a
    clock.advance(2000);
    EXPECT_EQ(aTicks, 1);
    EXPECT_EQ(bTicks, 0);
}

TEST(ManualClock, ATimerNeverFiresWhileItsOwnTickRunsAndIsLateOnlyOnce) {
    // As in Qt: while a tick has a box up (a wait inside the tick), the other
    // timers go on, the ticking one does not fire again; once the box is
    // answered it fires once at once if it is late, then keeps its interval.
    ManualClock clock;
    std::vector<long long> at, other;
    std::unique_ptr<Timer> t, o;
    t = clock.createTimer(1000, [&] {
        at.push_back(clock.nowMs());
        if (at.size() == 1)
            clock.wait(2500); // a box left up for a while
    });
    o = clock.createTimer(1000, [&] { other.push_back(clock.nowMs()); });
    t->start();
    o->start();
    clock.advance(1000);
    EXPECT_EQ(at, (std::vector<long long>{1000}));
    EXPECT_EQ(other, (std::vector<long long>{1000, 2000, 3000}));
    EXPECT_EQ(clock.nowMs(), 3500) << "time never goes back";
    EXPECT_EQ(clock.waits(), 1);
    clock.advance(0);
    EXPECT_EQ(at, (std::vector<long long>{1000, 3500}));
    clock.advance(1000);
    EXPECT_EQ(at, (std::vector<long long>{1000, 3500, 4500}));
    EXPECT_EQ(other, (std::vector<long long>{1000, 2000, 3000, 4000}));
}

TEST(ManualClock, LocalTimeFollowsVirtualTime) {
    ManualClock clock;
    clock.setLocalBase({2026, 12, 9, 23, 59, 58});
    clock.advance(1000);
    EXPECT_EQ(longTimeText(clock.localNow()), "23:59:59");
    EXPECT_EQ(shortDateText(clock.localNow()), "09.12.26");
}

} // namespace
} // namespace t6::test
