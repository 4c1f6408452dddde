// A reply split in two at every byte position, one device run per reply: the
// operation completes every time exactly as with the reply in one piece. No
// time-out is waited out, so each sweep takes a moment per position.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "SimMemory.h"
#include "common/Cp1251.h"
#include "faults/FaultReport.h"
#include "faults/Scenarios.h"

namespace t6::test {
namespace {

struct Sweep {
    std::string id;
    Op op;
    std::string stage;
    std::size_t packetBytes; // start string, payload, stop string
    std::size_t from = 1;    // the first position of this part of the sweep
    std::size_t to = 0;      // the last; 0: the packet's last but one byte
};

// What a sound run of the operation shows again afresh: its result is wiped
// before each press, so that a result left by the run before cannot pass.
void wipeResult(FaultRig& rig, Op op) {
    AppCore& c = rig.core();
    switch (op) {
    case Op::Identify:
        rig.view().connection.clear();
        break;
    case Op::KeysRead:
        for (int row = 1; row <= 10; ++row)
            rig.act([&c, row] { c.model().setTouchKey(row, TouchKey{}); });
        break;
    case Op::SensorList:
        c.wireless().zoneSensors().setName(1, {});
        c.wireless().zoneSensors().setCode(2, {});
        break;
    case Op::Remote:
        rig.act([&c] { c.model().setRemoteCode(1, {}); });
        break;
    case Op::Thermo:
        rig.act([&c] { c.model().setSensorCode(1, {}); });
        break;
    default:
        break; // the read resets the window itself; the others end with a box
    }
}

std::vector<Sweep> sweeps() {
    const t6sim::SimMemory demo = t6sim::SimMemory::demo();
    auto framed = [](std::size_t payload) { return payload + 4; };
    std::vector<Sweep> list = {
        {"identify_Tt", Op::Identify, "Tt", framed(7)},
        {"signal_Sg", Op::Signal, "Sg", framed(11)},
        {"keys_read_Cn", Op::KeysRead, "Cn", framed(demo.keyTable.size())},
        {"write_block", Op::Write, "block", framed(3)},
        {"keys_write_Wr_data", Op::KeysWrite, "Wr-data", framed(2)},
        {"sensor_list_Dr", Op::SensorList, "Dr", framed(demo.sensorLists[0].size())},
        {"remote_Pr", Op::Remote, "Pr", framed(3)},
        {"thermo_Rtd", Op::Thermo, "Rtd", framed(3)},
        {"output_So", Op::Output, "So", framed(2)},
    };
    // The main block of the read, the longest reply: in four parts that run
    // side by side, each with a device of its own.
    const std::size_t block = framed(demo.configBlock.size());
    const std::size_t part = (block - 1 + 3) / 4;
    for (std::size_t from = 1, n = 1; from < block; from += part, ++n)
        list.push_back({"read_Pt_part" + std::to_string(n), Op::Read, "Pt", block, from,
                        std::min(from + part - 1, block - 1)});
    return list;
}

void PrintTo(const Sweep& s, std::ostream* os) {
    *os << s.id;
}

class SplitSweep : public ::testing::TestWithParam<Sweep> {};

TEST_P(SplitSweep, EveryPositionCompletesAsInOnePiece) {
    const Sweep& s = GetParam();
    const OpInfo& op = opInfo(s.op);
    const std::size_t to = s.to ? s.to : s.packetBytes - 1;
    FaultRig rig("sweep-" + s.id);
    ASSERT_TRUE(rig.startDevice({"--split-sweep",
                                 QString::fromStdString(s.stage) + "=" + QString::number(s.from),
                                 "--learn-delay", "0"}));
    rig.startCore();
    ASSERT_TRUE(op.prepare(rig));

    std::vector<std::string> faults;
    int slowest = 0;
    Steady::time_point lastPress;
    for (std::size_t at = s.from; at <= to; ++at) {
        wipeResult(rig, s.op);
        rig.clearTold();
        lastPress = Steady::now();
        rig.act([&rig, &op] { op.press(rig.core()); });
        const bool done = runUntil(
            [&] { return op.success.empty() ? op.resultShown(rig) : !rig.told().empty(); }, 3000);
        slowest = std::max(slowest,
                           static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                Steady::now() - lastPress)
                                                .count()));
        const auto told = rig.told();
        const bool right =
            done && op.resultShown(rig) &&
            (op.success.empty() ? told.empty() : told.size() == 1 && told[0].text == op.success);
        if (!right)
            faults.push_back("after byte " + std::to_string(at) + ": " +
                             (told.empty() ? std::string("nothing told") : oneLine(told[0].text)));
    }
    // The last run ends like any other.
    const bool idle = runUntil([&rig] { return rig.idle(); }, op.timeoutMs(rig) + 1500);
    const int msToIdle = static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - lastPress).count());

    ReportLine line{"split_" + s.id, op.name, s.stage, "split", {}, {}, faults.empty() && idle, {}};
    if (idle)
        line.msToIdle = msToIdle;
    line.told.push_back({"box", faults.empty()
                                    ? (op.success.empty() ? "(the result shown)" : op.success) +
                                          std::string(" at every position")
                                    : faults.front()});
    line.note = "positions " + std::to_string(s.from) + " to " + std::to_string(to) + " of " +
                std::to_string(s.packetBytes) + " bytes, slowest " + std::to_string(slowest) +
                " ms to the result";
    report(line);
    EXPECT_TRUE(faults.empty()) << ::testing::PrintToString(faults);
    EXPECT_TRUE(idle) << "not idle after the last run";
}

std::string sweepName(const ::testing::TestParamInfo<Sweep>& info) {
    return info.param.id;
}

INSTANTIATE_TEST_SUITE_P(Replies, SplitSweep, ::testing::ValuesIn(sweeps()), sweepName);

} // namespace
} // namespace t6::test
