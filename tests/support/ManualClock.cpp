#include "support/ManualClock.h"

#include <algorithm>
#include <limits>

namespace t6::test {

struct ManualClock::Entry {
    int interval = 0;
    bool active = false;
    bool alive = true;
    bool running = false; // its tick is on the stack (a box it opened is up)
    std::int64_t due = 0;
    std::uint64_t order = 0; // start order breaks ties between equal due times
    std::function<void()> onTick;
};

class ManualClock::ManualTimer : public Timer {
public:
    ManualTimer(ManualClock& clock, std::shared_ptr<Entry> e) : clock_(clock), e_(std::move(e)) {}
    ~ManualTimer() override { e_->alive = false, e_->active = false; }
    void start() override {
        e_->active = true;
        e_->due = clock_.now_ + e_->interval;
        e_->order = ++clock_.seq_;
    }
    void stop() override { e_->active = false; }
    bool isActive() const override { return e_->active; }
    int intervalMs() const override { return e_->interval; }

private:
    ManualClock& clock_;
    std::shared_ptr<Entry> e_;
};

std::unique_ptr<Timer> ManualClock::createTimer(int intervalMs, std::function<void()> onTick) {
    auto e = std::make_shared<Entry>();
    e->interval = intervalMs;
    e->onTick = std::move(onTick);
    entries_.push_back(e);
    return std::make_unique<ManualTimer>(*this, e);
}

LocalTime ManualClock::localNow() const {
    LocalTime t = base_;
    std::int64_t secs = t.hour * 3600 + t.minute * 60 + t.second + now_ / 1000;
    secs %= 86400;
    t.hour = static_cast<int>(secs / 3600);
    t.minute = static_cast<int>(secs / 60 % 60);
    t.second = static_cast<int>(secs % 60);
    return t;
}

void ManualClock::advance(std::int64_t ms) {
    const std::int64_t target = now_ + ms;
    for (;;) {
        // As in Qt, a timer never fires while its own tick runs (a modal box
        // it opened runs a nested event loop; other timers go on meanwhile).
        std::shared_ptr<Entry> next;
        for (auto& e : entries_) {
            if (!e->alive || !e->active || e->running || e->due > target)
                continue;
            if (!next || e->due < next->due || (e->due == next->due && e->order < next->order))
                next = e;
        }
        if (!next)
            break;
        // Time never goes back, though a tick's box may have kept it going
        // past the next due time: the late timer then fires once, at once, and
        // its next tick comes a full interval later (no burst of missed ticks).
        now_ = std::max(now_, next->due);
        next->due += next->interval;
        if (next->due <= now_)
            next->due = now_ + next->interval;
        next->order = ++seq_;
        auto tick = next->onTick; // the tick may destroy or restart its own timer
        next->running = true;
        tick();
        next->running = false;
    }
    // A tick may have advanced the clock itself (a box left up for a while).
    now_ = std::max(now_, target);
    std::erase_if(entries_, [](const auto& e) { return !e->alive; });
}

} // namespace t6::test
