#pragma once
// What the scenario tests of the device operations share: a view recording
// what the status bar would show, and a random generator counting up.

#include <string>
#include <vector>

#include "common/Random.h"
#include "exchange/ExchangeView.h"

namespace t6::test {

// The status bar of the window: the activities, the passing notices and the port state.
struct ActivityView : ExchangeView {
    std::vector<Activity> activities;
    std::vector<std::string> notices;
    std::string portState;
    void showActivity(const Activity& a) override { activities.push_back(a); }
    void showNotice(const std::string& t) override { notices.push_back(t); }
    void showPortState(const std::string& t) override { portState = t; }
    const Activity& last() const {
        static const Activity none;
        return activities.empty() ? none : activities.back();
    }
};

// Counts up from 1.
class StepRandom : public Random {
public:
    int next(int range) override { return range > 0 ? ++n_ % range : 0; }

private:
    int n_ = 0;
};

} // namespace t6::test
