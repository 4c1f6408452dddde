// A connection whose identification reply was cut short leaves part of a
// packet behind; the next connection, to a sound device, must not take it as
// the beginning of its own reply.
#include <gtest/gtest.h>

#include "faults/FaultReport.h"
#include "faults/Operations.h"

namespace t6::test {
namespace {

TEST(Reconnect, ACutIdentificationDoesNotSpoilTheNextConnection) {
    FaultRig rig("reconnect");
    const OpInfo& identify = opInfo(Op::Identify);
    // The reply stops after FE FF "T7 ".
    ASSERT_TRUE(rig.startDevice({"--truncate-reply", "Tt=5"}));
    rig.startCore();
    ASSERT_TRUE(identify.prepare(rig));
    rig.act([&rig, &identify] { identify.press(rig.core()); });
    ASSERT_TRUE(runUntil([&rig] { return rig.idle(); }, kReplyTimeoutMs + 2500));

    // The user plugs in a sound device under the same name and connects again.
    rig.stopDevice();
    ASSERT_TRUE(rig.startDevice({}));
    rig.clearTold();
    rig.view().connection.clear();
    const auto t0 = Steady::now();
    rig.act([&rig, &identify] { identify.press(rig.core()); });
    runUntil([&rig] { return !rig.told().empty(); }, 3000);
    const bool idle = runUntil([&rig] { return rig.idle(); }, kReplyTimeoutMs + 2500);
    const auto told = rig.told();

    const bool passed =
        idle && told.size() == 1 && told[0].text == identify.success && identify.resultShown(rig);
    ReportLine line{"reconnect_after_cut_Tt",
                    identify.name,
                    "Tt",
                    "truncated, then sound",
                    {},
                    told,
                    passed,
                    "status bar: " + rig.view().connection};
    if (idle)
        line.msToIdle = static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - t0).count());
    report(line);

    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].text, "соединение установлено.");
    EXPECT_EQ(rig.view().connection, "соединен с " + rig.pty + "  2.05");
    EXPECT_TRUE(idle);
}

} // namespace
} // namespace t6::test
