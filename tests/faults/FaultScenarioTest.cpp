// Every fault scenario of the table, each against a device program of its
// own: the operation ends within its time-out plus one second, idle, having
// told the user exactly one thing, and no file but the operation's own changed.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <set>

#include "faults/FaultReport.h"
#include "faults/Scenarios.h"

namespace t6::test {
namespace {

// What the event loop and a loaded machine may add to a bound.
constexpr int kSlackMs = 500;
// How long the idle state is watched once reached: nothing more may happen.
constexpr int kQuietMs = 1000;
// How far past its bound a run is still followed, to measure how late it ends.
constexpr int kOverrunMs = 11000;

int msSince(Steady::time_point t0) {
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - t0).count());
}

struct Outcome {
    std::optional<int> msToIdle;
    std::optional<int> cancelledAt;
    bool stayedIdle = false;
    std::vector<Told> told;
};

// Presses the button and follows the operation to its end, doing what the
// user does meanwhile.
Outcome follow(FaultRig& rig, const Scenario& s, int boundMs) {
    Outcome run;
    const OpInfo& op = opInfo(s.op);
    const auto t0 = Steady::now();
    rig.act([&rig, &op] { op.press(rig.core()); });
    const int giveUp = boundMs + kSlackMs + kOverrunMs;
    const bool watchAlert = s.user == User::CancelAtAlert;
    while (msSince(t0) < giveUp) {
        runUntil([&] { return rig.idle() || (watchAlert && rig.view().alert()); }, 20);
        if (rig.idle()) {
            run.msToIdle = msSince(t0);
            break;
        }
        const bool cancelNow =
            !run.cancelledAt &&
            ((s.user == User::CancelAtAlert && rig.view().alert()) ||
             (s.user == User::CancelAtTimeout && msSince(t0) >= kReplyTimeoutMs));
        if (cancelNow) {
            run.cancelledAt = msSince(t0);
            rig.act([&rig] { rig.core().exchange().cancelActivity(); });
        }
    }
    if (run.msToIdle) {
        // Nothing may stir any more: no late box, no port opened again.
        const std::size_t toldAtIdle = rig.told().size();
        runUntil([&] { return !rig.idle() || rig.told().size() != toldAtIdle; }, kQuietMs);
        run.stayedIdle = rig.idle();
    }
    run.told = rig.told();
    return run;
}

// The exchange before, whose reply comes late: run until it has ended.
std::vector<Told> staleExchange(FaultRig& rig, const Scenario& s, int boundMs) {
    const OpInfo& op = opInfo(s.op);
    const auto t0 = Steady::now();
    rig.act([&rig, &op] { op.press(rig.core()); });
    bool cancelled = false;
    const bool watchAlert = s.user == User::CancelAtAlert;
    while (msSince(t0) < boundMs + kSlackMs && !rig.ended()) {
        runUntil([&] { return rig.ended() || (!cancelled && watchAlert && rig.view().alert()); },
                 20);
        if (!cancelled && watchAlert && rig.view().alert()) {
            cancelled = true;
            rig.act([&rig] { rig.core().exchange().cancelActivity(); });
        }
    }
    auto told = rig.told();
    rig.clearTold();
    return told;
}

bool matches(const std::string& text, const std::string& expect) {
    static const std::string ellipsis = "…";
    const std::string line = firstLine(text);
    if (expect.size() > ellipsis.size() && expect.ends_with(ellipsis))
        return line.starts_with(expect.substr(0, expect.size() - ellipsis.size()));
    return line == expect;
}

// The files a run leaves changed besides its own: the exchange logs always,
// the backup taken before a read, and one new version of the history after
// a read or a write that completed (none after one that did not).
std::vector<std::string> foreignChanges(const std::map<std::string, std::string>& before,
                                        const std::map<std::string, std::string>& after, Op op,
                                        bool completed) {
    std::set<std::string> owned = {"protokol.log", "protokol_FF.log", "log.log"};
    if (op == Op::Read)
        owned.insert("save.000");
    int versions = (op == Op::Read || op == Op::Write) && completed ? 1 : 0;
    std::vector<std::string> changed;
    for (const auto& [name, sum] : after) {
        auto it = before.find(name);
        if (it == before.end() && name.starts_with("history/") && versions > 0) {
            --versions;
            continue;
        }
        if ((it == before.end() || it->second != sum) && !owned.contains(name))
            changed.push_back(name + (it == before.end() ? " (new)" : ""));
    }
    for (const auto& [name, sum] : before) {
        if (!after.contains(name) && !owned.contains(name))
            changed.push_back(name + " (gone)");
    }
    return changed;
}

class FaultScenario : public ::testing::TestWithParam<Scenario> {};

TEST_P(FaultScenario, EndsIdleInTimeWithOneMessage) {
    const Scenario& s = GetParam();
    const OpInfo& op = opInfo(s.op);
    FaultRig rig(s.id);
    ASSERT_TRUE(rig.startDevice(deviceArgs(s))) << "the device program did not start";
    rig.startCore();
    ASSERT_TRUE(op.prepare(rig)) << "the window could not be brought to the button";
    const int bound = op.timeoutMs(rig) + 1000;
    rig.clearTold();
    const auto filesBefore = rig.files();

    std::vector<Told> earlier;
    if (s.fault == Fault::Stale)
        earlier = staleExchange(rig, s, bound);
    const Outcome run = follow(rig, s, bound);
    const auto changed = foreignChanges(filesBefore, rig.files(), s.op, op.resultShown(rig));

    const bool inTime = run.msToIdle && *run.msToIdle <= bound + kSlackMs;
    bool toldRight = false;
    const bool one = run.told.size() == 1;
    if (s.expect.empty())
        toldRight = run.told.empty() && op.resultShown(rig);
    else if (s.expect == "-")
        toldRight = run.told.empty();
    else if (s.expect == "?")
        toldRight = one;
    else if (s.expect.starts_with("!"))
        toldRight = one && !matches(run.told[0].text, s.expect.substr(1));
    else
        toldRight = one && matches(run.told[0].text, s.expect);
    const bool result = !s.completes || op.resultShown(rig);
    const bool passed = inTime && run.stayedIdle && toldRight && result && changed.empty();

    std::string note = s.note;
    if (run.cancelledAt)
        note += (note.empty() ? "" : "; ") + std::string("Отмена pressed at ") +
                std::to_string(*run.cancelledAt) + " ms";
    for (const Told& t : earlier)
        note += (note.empty() ? "" : "; ") + std::string("the exchange before told: ") +
                oneLine(t.text);
    report({s.id, op.name, s.stage, faultName(s.fault), run.msToIdle, run.told, passed, note});

    ASSERT_TRUE(run.msToIdle) << "never idle: mode " << rig.core().exchange().mode() << ", port "
                              << (rig.port().isOpen() ? "open" : "closed");
    EXPECT_LE(*run.msToIdle, bound + kSlackMs) << "later than the time-out plus one second";
    EXPECT_TRUE(run.stayedIdle) << "the idle state did not last";
    EXPECT_TRUE(toldRight) << "expected to be told: "
                           << (s.expect.empty() ? "nothing (the result shown)" : s.expect)
                           << ", told " << run.told.size() << " thing(s)"
                           << (run.told.empty() ? "" : ", first: " + oneLine(run.told[0].text));
    EXPECT_TRUE(result) << "the operation did not complete as without the fault";
    EXPECT_TRUE(changed.empty()) << "files changed that the operation does not own: "
                                 << ::testing::PrintToString(changed);
}

// A scenario the program does not meet yet carries "OPEN_" in its name: it
// runs under its own label until the program is mended.
std::string scenarioName(const ::testing::TestParamInfo<Scenario>& info) {
    return (isOpenFault(info.param) ? "OPEN_" : "") + info.param.id;
}

INSTANTIATE_TEST_SUITE_P(Table, FaultScenario, ::testing::ValuesIn(scenarios()), scenarioName);

} // namespace
} // namespace t6::test
