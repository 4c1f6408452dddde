// The simulated device's side of the configuration read and write, on bytes.
#include "SimDevice.h"
#include "SimTestKit.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

using t6sim::SimDevice;
using t6sim::SimMemory;
using t6sim::SimOptions;
using namespace t6sim::test;

namespace {

// A short configuration block: the mark, five unfilled telephones and delays.
const std::string kBlock = bytes({0x99, 0x99, 0x11}) + "7/7/7/7/7/" +
                           bytes({0x0D, 0x24, 0x05, 0x0A}) + "0000000000" + bytes({0x0D});

const std::string kOK = bytes({0xFE, 0xFF, 0x4F, 0x4B, 0xFF, 0xFE});
const std::string kOk = bytes({0xFE, 0xFF, 0x4F, 0x6B, 0xFF, 0xFE});
const std::string kCOK = bytes({0xFE, 0xFF, 0x43, 0x4F, 0x4B, 0xFF, 0xFE});
const std::string kErr = bytes({0xFE, 0xFF, 0x45, 0x72, 0x72, 0xFF, 0xFE});

} // namespace

TEST(ConfigurationChain, ReadRequestsBringTheBlocksAsHeld) {
    Harness h;
    const std::string ro = h.ask(frame("Ro"));
    ASSERT_EQ(ro.size(), 228u);
    EXPECT_EQ(ro.substr(0, 16), bytes({0xFE, 0xFF, 0x31, 0xD1, 0xE2, 0xE5, 0xF2, 0, 0, 0, 0, 0, 0,
                                       0x1A, 0x2B, 0x3C}));
    EXPECT_EQ(ro.substr(ro.size() - 4), bytes({0x00, 0x00, 0xFF, 0xFE}));

    const std::string pt = h.ask(frame("Pt"));
    EXPECT_EQ(pt.substr(0, 6), bytes({0xFE, 0xFF, 0x99, 0x99, 0x01, 0xC2}));
    EXPECT_EQ(pt.substr(pt.size() - 5), bytes({0x30, 0x30, 0x0D, 0xFF, 0xFE}));
    EXPECT_EQ(pt, frame(SimMemory::demo().configBlock));

    const std::string pn = h.ask(frame("Pn"));
    ASSERT_EQ(pn.size(), 134u);
    EXPECT_EQ(pn.substr(0, 6), bytes({0xFE, 0xFF, 0xCF, 0xE0, 0xEF, 0xE0}));

    const std::string ltd = h.ask(frame("Ltd"));
    ASSERT_EQ(ltd.size(), 82u);
    EXPECT_EQ(ltd.substr(0, 17), bytes({0xFE, 0xFF, 0xC3, 0xEE, 0xF1, 0xF2, 0xE8, 0xED, 0xE0, 0xFF,
                                        0x00, 0x00, 0x33, 0x44, 0x55, 0x00, 0x00}));

    // Whatever the memory holds is what a read brings.
    h.device.memory().thermoNames = data(78, 1);
    h.device.memory().configBlock = kBlock;
    EXPECT_EQ(h.ask(frame("Ltd")), frame(data(78, 1)));
    EXPECT_EQ(h.ask(frame("Pt")), frame(kBlock));

    const auto& log = h.device.requestLog();
    ASSERT_EQ(log.size(), 6u);
    EXPECT_EQ(log[0].command, "Ro");
    EXPECT_EQ(log[3].command, "Ltd");
    EXPECT_EQ(h.device.unknownCount(), 0u);
}

TEST(ConfigurationChain, WholeWriteIsConfirmedStoredAndReadBack) {
    Harness h;
    // The block in the pieces the configurator writes it in: the start with
    // the mark, one write per record, the stop string.
    h.chunks.clear();
    h.device.feed(bytes({0xFE, 0xFF, 0x99, 0x99}));
    h.device.feed(kBlock.substr(2, 12));
    h.device.feed(kBlock.substr(14));
    EXPECT_TRUE(h.chunks.empty());
    EXPECT_EQ(h.ask(bytes({0xFF, 0xFE})), kCOK);
    EXPECT_EQ(h.device.memory().configBlock, kBlock);
    EXPECT_EQ(h.device.requestLog().back().command, "block");

    const std::string remotes = data(130, 2);
    const std::string names = data(78, 3);
    const std::string outputs = data(224, 4);
    EXPECT_EQ(h.ask(frame("Wp")), kOK);
    EXPECT_TRUE(h.device.awaitingData());
    EXPECT_EQ(h.ask(frame(remotes)), kOk);
    EXPECT_FALSE(h.device.awaitingData());
    EXPECT_EQ(h.ask(frame("Wtd")), kOK);
    EXPECT_EQ(h.ask(frame(names)), kOk);
    EXPECT_EQ(h.ask(frame("Wo")), kOK);
    EXPECT_EQ(h.ask(frame(outputs)), kOk);

    EXPECT_EQ(h.device.memory().remoteControls, remotes);
    EXPECT_EQ(h.device.memory().thermoNames, names);
    EXPECT_EQ(h.device.memory().wirelessOutputs, outputs);

    // The next read returns byte for byte what was written.
    EXPECT_EQ(h.ask(frame("Ro")), frame(outputs));
    EXPECT_EQ(h.ask(frame("Pt")), frame(kBlock));
    EXPECT_EQ(h.ask(frame("Pn")), frame(remotes));
    EXPECT_EQ(h.ask(frame("Ltd")), frame(names));

    std::vector<std::string> stages;
    for (const auto& r : h.device.requestLog()) {
        stages.push_back(r.command);
    }
    EXPECT_EQ(stages, (std::vector<std::string>{"block", "Wp", "Wp-data", "Wtd", "Wtd-data", "Wo",
                                                "Wo-data", "Ro", "Pt", "Pn", "Ltd"}));
}

TEST(ConfigurationChain, DataOfTheWrongLengthIsRefusedAndNotStored) {
    struct Case {
        const char* ready;
        std::size_t size;
        std::string SimMemory::*slot;
    };
    const Case cases[] = {{"Wp", 130, &SimMemory::remoteControls},
                          {"Wtd", 78, &SimMemory::thermoNames},
                          {"Wo", 224, &SimMemory::wirelessOutputs}};
    for (const auto& c : cases) {
        for (std::size_t size : {c.size - 1, c.size + 1, std::size_t{0}}) {
            Harness h;
            const std::string before = h.device.memory().*c.slot;
            EXPECT_EQ(h.ask(frame(c.ready)), kOK);
            EXPECT_EQ(h.ask(frame(data(size, 5))), kErr) << c.ready << " " << size;
            EXPECT_EQ(h.device.memory().*c.slot, before) << c.ready << " " << size;
            // One packet was the data; the next is a request again.
            EXPECT_FALSE(h.device.awaitingData());
            EXPECT_EQ(h.ask(frame("Tt")), frame("T7 2.05"));
        }
    }
    // A block is taken whatever its records; its mark alone is a block too.
    Harness h;
    EXPECT_EQ(h.ask(frame(bytes({0x99, 0x99}))), kCOK);
    EXPECT_EQ(h.device.memory().configBlock, bytes({0x99, 0x99}));
    // A single 99 is not the mark.
    EXPECT_EQ(h.ask(frame(bytes({0x99}))), "");
    EXPECT_EQ(h.device.unknownCount(), 1u);
}

std::vector<Stage> t6sim::test::chainStages() {
    const SimMemory demo = SimMemory::demo();
    return {
        {"Tt", "", frame("Tt"), "T7 2.05"},
        {"Sg", "", frame("Sg"), "+CSQ: 17,99"},
        {"Ro", "", frame("Ro"), demo.wirelessOutputs},
        {"Pt", "", frame("Pt"), demo.configBlock},
        {"Pn", "", frame("Pn"), demo.remoteControls},
        {"Ltd", "", frame("Ltd"), demo.thermoNames},
        {"block", "", frame(kBlock), "COK"},
        {"Wp", "", frame("Wp"), "OK"},
        {"Wp-data", frame("Wp"), frame(data(130, 6)), "Ok"},
        {"Wtd", "", frame("Wtd"), "OK"},
        {"Wtd-data", frame("Wtd"), frame(data(78, 7)), "Ok"},
        {"Wo", "", frame("Wo"), "OK"},
        {"Wo-data", frame("Wo"), frame(data(224, 8)), "Ok"},
    };
}

TEST(ConfigurationChain, EveryStageCanBeSilencedReplacedOrCut) {
    auto stages = chainStages();
    const auto more = enrolmentStages();
    stages.insert(stages.end(), more.begin(), more.end());
    // Every stage the options know is tried here, and only those.
    std::vector<std::string> names;
    for (const auto& s : stages) {
        names.push_back(s.name);
    }
    EXPECT_EQ(names,
              std::vector<std::string>(t6sim::kStageNames.begin(), t6sim::kStageNames.end()));
    for (const auto& s : stages) {
        ASSERT_TRUE(t6sim::isStageName(s.name)) << s.name;
        {
            Harness h; // right reply when nothing is asked for
            h.ask(s.before);
            EXPECT_EQ(h.ask(s.packet), s.reply ? frame(*s.reply) : "") << s.name;
        }
        {
            SimOptions o;
            o.silent = {s.name};
            Harness h(o);
            h.ask(s.before);
            EXPECT_EQ(h.ask(s.packet), "") << s.name;
            EXPECT_EQ(h.device.requestLog().back().outcome, t6sim::RequestOutcome::Silenced);
            EXPECT_TRUE(h.device.memory() == SimMemory::demo()) << s.name; // nothing stored
            // A silenced readiness waits for nothing: a request is a request.
            const bool tt = s.name == "Tt";
            EXPECT_EQ(h.ask(frame(tt ? "Sg" : "Tt")), frame(tt ? "+CSQ: 17,99" : "T7 2.05"))
                << s.name;
        }
        {
            SimOptions o;
            o.replies = {{s.name, bytes({0x4F, 0x4B, 0x20, 0x00, 0xE0})}};
            Harness h(o);
            h.ask(s.before);
            EXPECT_EQ(h.ask(s.packet),
                      bytes({0xFE, 0xFF, 0x4F, 0x4B, 0x20, 0x00, 0xE0, 0xFF, 0xFE}))
                << s.name;
        }
        {
            SimOptions o;
            o.truncateReplies = {{s.name, 3}};
            Harness h(o);
            h.ask(s.before);
            EXPECT_EQ(h.ask(s.packet), s.reply ? frame(*s.reply).substr(0, 3) : "") << s.name;
        }
    }
}

TEST(ConfigurationChain, ReplacedReplyStillCarriesOutTheStage) {
    SimOptions o;
    o.replies = {{"block", "COK "}, {"Wp", "Ok"}, {"Wo-data", " Ok "}};
    Harness h(o);
    EXPECT_EQ(h.ask(frame(kBlock)), bytes({0xFE, 0xFF, 0x43, 0x4F, 0x4B, 0x20, 0xFF, 0xFE}));
    EXPECT_EQ(h.device.memory().configBlock, kBlock);
    // The wrong readiness word, but the device waits for the data all the same.
    EXPECT_EQ(h.ask(frame("Wp")), kOk);
    EXPECT_TRUE(h.device.awaitingData());
    EXPECT_EQ(h.ask(frame(data(130, 9))), kOk);
    EXPECT_EQ(h.device.memory().remoteControls, data(130, 9));
    // Other stages keep their words.
    EXPECT_EQ(h.ask(frame("Wo")), kOK);
    EXPECT_EQ(h.ask(frame(data(224, 9))), bytes({0xFE, 0xFF, 0x20, 0x4F, 0x6B, 0x20, 0xFF, 0xFE}));
    EXPECT_EQ(h.device.memory().wirelessOutputs, data(224, 9));
}

TEST(ConfigurationChain, CutReplyOfOneStageLeavesTheOthersWhole) {
    SimOptions o;
    o.truncateReplies = {{"Ro", 10}, {"Wp", 0}};
    o.truncateAfter = 4; // every other reply, but the stage's own count wins
    Harness h(o);
    EXPECT_EQ(h.ask(frame("Ro")),
              bytes({0xFE, 0xFF, 0x31, 0xD1, 0xE2, 0xE5, 0xF2, 0x00, 0x00, 0x00}));
    EXPECT_EQ(h.ask(frame("Pt")), bytes({0xFE, 0xFF, 0x99, 0x99}));
    EXPECT_EQ(h.ask(frame("Wp")), "");
    EXPECT_TRUE(h.device.awaitingData()); // the reply was lost, not the stage

    h.device.options().truncateAfter.reset();
    EXPECT_EQ(h.ask(frame(data(130, 1))), kOk);
    EXPECT_EQ(h.ask(frame("Pt")), frame(SimMemory::demo().configBlock));
    // Longer than the packet: all of it but the stop string.
    h.device.options().truncateReplies["Pn"] = 1000;
    EXPECT_EQ(h.ask(frame("Pn")), "\xFE\xFF" + data(130, 1));
}
