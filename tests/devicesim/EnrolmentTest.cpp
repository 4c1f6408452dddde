// The simulated device's key table, wireless zone sensor lists and wireless
// outputs, on bytes.
#include "SimDevice.h"
#include "SimTestKit.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using t6sim::RequestOutcome;
using t6sim::SimMemory;
using t6sim::SimOptions;
using t6sim::SimOutput;
using namespace t6sim::test;

namespace {

const std::string kOK = bytes({0xFE, 0xFF, 0x4F, 0x4B, 0xFF, 0xFE});
const std::string kOk = bytes({0xFE, 0xFF, 0x4F, 0x6B, 0xFF, 0xFE});
const std::string kErr = bytes({0xFE, 0xFF, 0x45, 0x72, 0x72, 0xFF, 0xFE});

// "So", the code, the type, the action.
std::string so(const std::string& code, int type, int action) {
    return frame("So" + code + bytes({type, action}));
}

} // namespace

std::vector<Stage> t6sim::test::enrolmentStages() {
    const SimMemory demo = SimMemory::demo();
    const SimOptions o;
    return {
        {"Cn", "", frame("Cn"), demo.keyTable},
        {"Kr", "", frame("Kr"), o.keyCode},
        {"Wr", "", frame("Wr"), "OK"},
        {"Wr-data", frame("Wr"), frame(data(200, 10)), "Ok"},
        {"Pr", "", frame("Pr"), o.fobCode},
        {"Dr", "", frame("D3r"), zeros(84)},
        {"Ps", "", frame("Ps"), o.sensorCode},
        {"Wd", "", frame("Wd2"), "OK"},
        {"Wd-data", frame("Wd2"), frame(data(84, 11)), "Ok"},
        {"Rtd", "", frame("Rtd"), o.thermoCode},
        {"So", "", so(bytes({0xA1, 0xB2, 0xC3}), 2, 0), "Ok"},
        {"Ur", "", frame("Ur"), std::nullopt},
        {"Uk", "", frame("Uk"), std::nullopt},
        {"Us", "", frame("Us"), std::nullopt},
        {"Utd", "", frame("Utd"), std::nullopt},
    };
}

TEST(KeyTable, ReadWriteAndReadBack) {
    Harness h;
    // FE FF 43 6E FF FE: the table as the device holds it, the demo keys first.
    const std::string cn = h.ask(bytes({0xFE, 0xFF, 0x43, 0x6E, 0xFF, 0xFE}));
    ASSERT_EQ(cn.size(), 204u);
    EXPECT_EQ(cn.substr(0, 22),
              bytes({0xFE, 0xFF, 0xC8, 0xE2, 0xE0, 0xED, 0xEE, 0xE2, 0x20, 0xC8, 0x2E,
                     0x00, 0x00, 0x00, 0x01, 0x2F, 0x8A, 0x6C, 0x0D, 0x00, 0x00, 0xE3}));
    EXPECT_EQ(cn.substr(62), zeros(140) + bytes({0xFF, 0xFE}));

    // Ready, then the table: stored whole, 00 and FE FF included.
    const std::string table = data(200, 3);
    EXPECT_EQ(h.ask(bytes({0xFE, 0xFF, 0x57, 0x72, 0xFF, 0xFE})), kOK);
    EXPECT_TRUE(h.device.awaitingData());
    EXPECT_EQ(h.ask(frame(table)), kOk);
    EXPECT_EQ(h.device.memory().keyTable, table);
    EXPECT_EQ(h.ask(frame("Cn")), frame(table));

    // Nothing else was touched.
    SimMemory expected = SimMemory::demo();
    expected.keyTable = table;
    EXPECT_TRUE(h.device.memory() == expected);

    std::vector<std::string> stages;
    for (const auto& r : h.device.requestLog()) {
        stages.push_back(r.command);
    }
    EXPECT_EQ(stages, (std::vector<std::string>{"Cn", "Wr", "Wr-data", "Cn"}));
}

TEST(KeyTable, TableOfTheWrongLengthIsRefusedAndNotStored) {
    for (std::size_t size : {std::size_t{199}, std::size_t{201}, std::size_t{20}, std::size_t{0}}) {
        Harness h;
        EXPECT_EQ(h.ask(frame("Wr")), kOK);
        EXPECT_EQ(h.ask(frame(data(size, 4))), kErr) << size;
        EXPECT_EQ(h.device.memory().keyTable, SimMemory::demo().keyTable) << size;
        EXPECT_FALSE(h.device.awaitingData());
        EXPECT_EQ(h.ask(frame("Cn")), frame(SimMemory::demo().keyTable)) << size;
    }
}

TEST(SensorLists, EachZoneIsReadAndWrittenOnItsOwn) {
    Harness h;
    // FE FF 44 31 72 FF FE: zone 1's list, two named sensors.
    EXPECT_EQ(h.ask(bytes({0xFE, 0xFF, 0x44, 0x31, 0x72, 0xFF, 0xFE})),
              bytes({0xFE, 0xFF, 0xCF, 0xF0, 0xE8, 0xF5, 0xEE, 0xE6, 0xE0, 0xFF,
                     0x00, 0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0xD1, 0xEF, 0xE0, 0xEB,
                     0xFC, 0xED, 0xFF, 0x00, 0x00, 0x00, 0x5E, 0x6F, 0x70, 0x81}) +
                  zeros(56) + bytes({0xFF, 0xFE}));
    // FE FF 44 34 72 FF FE: zone 4 has none.
    EXPECT_EQ(h.ask(bytes({0xFE, 0xFF, 0x44, 0x34, 0x72, 0xFF, 0xFE})), frame(zeros(84)));

    // FE FF 57 64 34 FF FE: ready for zone 4, then its list.
    const std::string list = data(84, 5);
    EXPECT_EQ(h.ask(bytes({0xFE, 0xFF, 0x57, 0x64, 0x34, 0xFF, 0xFE})), kOK);
    EXPECT_EQ(h.ask(frame(list)), kOk);
    EXPECT_EQ(h.ask(frame("D4r")), frame(list));
    // Zone 6 too, and the other zones keep their lists.
    EXPECT_EQ(h.ask(frame("Wd6")), kOK);
    EXPECT_EQ(h.ask(frame(data(84, 6))), kOk);
    SimMemory expected = SimMemory::demo();
    expected.sensorLists[3] = list;
    expected.sensorLists[5] = data(84, 6);
    EXPECT_TRUE(h.device.memory() == expected);

    EXPECT_EQ(h.device.requestLog()[0].command, "Dr");
    EXPECT_EQ(h.device.requestLog()[2].command, "Wd");
    EXPECT_EQ(h.device.requestLog()[3].command, "Wd-data");
}

TEST(SensorLists, WrongZoneOrLengthIsNotTaken) {
    Harness h;
    // No zone 0 or 7, no zone at all, and nothing but the digit and "r".
    for (const char* request : {"D0r", "D7r", "Dr", "D1", "D1rr", "D12r", "Wd0", "Wd7", "Wd12"}) {
        EXPECT_EQ(h.ask(frame(request)), "") << request;
        EXPECT_FALSE(h.device.awaitingData()) << request;
    }
    // "Wd" alone is a prefix without a zone: not a request the device knows.
    EXPECT_EQ(h.ask(frame("Wd")), "");
    EXPECT_EQ(h.device.unknownCount(), 1u);

    for (std::size_t size : {std::size_t{83}, std::size_t{85}, std::size_t{0}}) {
        EXPECT_EQ(h.ask(frame("Wd1")), kOK);
        EXPECT_EQ(h.ask(frame(data(size, 7))), kErr) << size;
    }
    EXPECT_TRUE(h.device.memory() == SimMemory::demo());
}

TEST(WirelessOutputs, PairedOutputIsSwitchedOnAndOff) {
    Harness h;
    const std::string code = bytes({0xA1, 0xB2, 0xC3});
    // Pairing a socket: FE FF 53 6F A1 B2 C3 03 00 FF FE.
    EXPECT_EQ(h.ask(bytes({0xFE, 0xFF, 0x53, 0x6F, 0xA1, 0xB2, 0xC3, 0x03, 0x00, 0xFF, 0xFE})),
              kOk);
    ASSERT_TRUE(h.device.memory().attachedOutputs.contains(code));
    EXPECT_EQ(h.device.memory().attachedOutputs.at(code), (SimOutput{3, false}));

    EXPECT_EQ(h.ask(so(code, 3, 1)), kOk);
    EXPECT_TRUE(h.device.memory().attachedOutputs.at(code).on);
    EXPECT_EQ(h.ask(so(code, 3, 2)), kOk);
    EXPECT_FALSE(h.device.memory().attachedOutputs.at(code).on);

    // Pairing again takes the new type and leaves the output as switched.
    EXPECT_EQ(h.ask(so(code, 3, 1)), kOk);
    EXPECT_EQ(h.ask(so(code, 4, 0)), kOk);
    EXPECT_EQ(h.device.memory().attachedOutputs.at(code), (SimOutput{4, true}));

    // The demo outputs are paired from the start, whatever type a switch names.
    EXPECT_EQ(h.ask(so(bytes({0x12, 0xAB, 0x0F}), 1, 1)), kOk);
    EXPECT_EQ(h.device.memory().attachedOutputs.at(bytes({0x12, 0xAB, 0x0F})),
              (SimOutput{4, true}));
    EXPECT_EQ(h.device.memory().attachedOutputs.size(), 4u);
    for (const auto& r : h.device.requestLog()) {
        EXPECT_EQ(r.command, "So");
        EXPECT_EQ(r.outcome, RequestOutcome::Answered);
    }
}

TEST(WirelessOutputs, WhatTheDeviceCannotCarryOutGetsNoAnswer) {
    Harness h;
    const std::string code = bytes({0x0F, 0xFE, 0xFF}); // FE FF inside a request is data
    const std::string cases[] = {
        so(code, 1, 1),                                 // never paired: nothing hears it
        so(code, 1, 2),                                 //
        so(code, 0, 0),                                 // no such type
        so(code, 5, 0),                                 //
        so(code, 1, 3),                                 // no such action
        frame("So" + code + bytes({0x01})),             // arguments too short
        frame("So" + code + bytes({0x01, 0x00, 0x00})), // too long
    };
    for (const auto& request : cases) {
        EXPECT_EQ(h.ask(request), "") << t6sim::hexBytes(request);
        EXPECT_EQ(h.device.requestLog().back().outcome, RequestOutcome::NoReply);
    }
    EXPECT_TRUE(h.device.memory() == SimMemory::demo());
    // Once paired the same code is heard.
    EXPECT_EQ(h.ask(so(code, 1, 0)), kOk);
    EXPECT_EQ(h.ask(so(code, 1, 1)), kOk);
    EXPECT_EQ(h.device.memory().attachedOutputs.at(code), (SimOutput{1, true}));
}

TEST(WirelessOutputs, SilencedOrAnsweredWronglyTheStageStillDecidesWhatHappens) {
    SimOptions o;
    o.silent = {"So"};
    Harness quiet(o);
    EXPECT_EQ(quiet.ask(so(bytes({0x01, 0x02, 0x03}), 1, 0)), "");
    EXPECT_TRUE(quiet.device.memory().attachedOutputs == SimMemory::demo().attachedOutputs);

    // "OK" in place of "Ok": the output is paired all the same; a switch of a
    // code never paired gets the words but switches nothing.
    Harness h;
    h.device.options().replies["So"] = "OK";
    EXPECT_EQ(h.ask(so(bytes({0x01, 0x02, 0x03}), 1, 0)), kOK);
    EXPECT_TRUE(h.device.memory().attachedOutputs.contains(bytes({0x01, 0x02, 0x03})));
    EXPECT_EQ(h.ask(so(bytes({0x07, 0x08, 0x09}), 1, 1)), kOK);
    EXPECT_FALSE(h.device.memory().attachedOutputs.contains(bytes({0x07, 0x08, 0x09})));
}
