// The simulated device's default content, byte for byte: these are the bytes
// a configuration read brings when the device has not been written to.
#include "SimDevice.h"
#include "SimMemory.h"
#include "SimTestKit.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

using t6sim::SimMemory;

using namespace t6sim::test;

TEST(DeviceMemory, DemoConfigurationBlockHoldsItsRecordsInOrder) {
    const std::string expected =
        bytes({0x99, 0x99}) +
        // Wired zone 1 "Входная дверь": normally closed, active, no 24-hour
        // control; row 4 relay 2 for 60 s, row 1 siren for 180 s; telephones 1, 2.
        bytes({0x01, 0xC2, 0xF5, 0xEE, 0xE4, 0xED, 0xE0, 0xFF, 0x20, 0xE4, 0xE2,
               0xE5, 0xF0, 0xFC, 0x0D, 0x32, 0x31, 0x30, 0x00, 0x3C, 0x04, 0x00,
               0xB4, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03}) +
        // Wired zone 2 "Окно кухни": normally open, no actions, telephone 1.
        bytes({0x02, 0xCE, 0xEA, 0xED, 0xEE, 0x20, 0xEA, 0xF3, 0xF5, 0xED, 0xE8, 0x0D, 0x33, 0x31,
               0x30}) +
        zeros(12) + bytes({0x01}) +
        // Wired zone 4 "Пожар": smoke detector, 24-hour control; row 1 siren
        // always on, row 2 channel 2 of wireless output 3 for 30 s.
        bytes({0x04, 0xCF, 0xEE, 0xE6, 0xE0, 0xF0, 0x0D, 0x35, 0x31, 0x31, 0x00, 0x00,
               0x00, 0xFF, 0xDC, 0x01, 0x00, 0x1E, 0x27, 0x00, 0x00, 0x00, 0x07}) +
        // Wireless zone 1 "Датчик движения": row 1 wireless output 1 for 10 s.
        bytes({0x05, 0xC4, 0xE0, 0xF2, 0xF7, 0xE8, 0xEA, 0x20, 0xE4, 0xE2, 0xE8,
               0xE6, 0xE5, 0xED, 0xE8, 0xFF, 0x0D, 0x30, 0x31, 0x30, 0x00, 0x00,
               0x00, 0x00, 0x0A, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}) +
        bytes({0x11}) + "79161234567/79031112233/7/7/7/" + bytes({0x0D}) + // telephones
        bytes({0x1A}) + "12340000" + bytes({0x0D}) +                       // password and PIN
        bytes({0x1C}) + "09.12.25;10:20:30" + bytes({0x0D}) +              // date and time
        bytes({0x21, 0x31, 0x01, 0x01, 0x31, 0x01, 0x30, 0x31, 0x30, 0x31, 0x08, 0x31, 0x31, 0x31,
               0x05, 0x07, 0x03, 0x0A, 0x0D}) + // options
        bytes({0x24, 0x1E, 0x14, 0x31, 0x30, 0x30, 0x30, 0x31, 0x30, 0x30, 0x30, 0x30, 0x30,
               0x0D}) +       // delays
        bytes({0x25, 0x30}) + // reserved
        bytes({0x23, 0x31, 0x05, 0x1E, 0x31, 0x0A, 0x15, 0x31, 0x04, 0x01, 0x31,
               0xF6, 0x28, 0x30, 0x31, 0x31, 0x30, 0x00, 0x02, 0x0D}) + // wired temperature sensors
        bytes({0x26, 0x31, 0x0F, 0x23, 0x30, 0x31, 0x31, 0x30, 0x00, 0x01}) +
        "011011000011011000011011000011011000011011000" + bytes({0x0D}); // wireless ones

    EXPECT_EQ(SimMemory::demo().configBlock, expected);
}

TEST(DeviceMemory, DemoFixedBlocksHaveTheirLengthsNamesAndCodes) {
    const SimMemory memory = SimMemory::demo();

    ASSERT_EQ(memory.wirelessOutputs.size(), 224u);
    // Output 1 a relay "Свет", output 2 unused, output 3 a four-channel relay
    // "Ворота", output 4 a socket "Обогрев", outputs 5 to 16 unused and empty.
    EXPECT_EQ(memory.wirelessOutputs.substr(0, 56),
              bytes({0x31, 0xD1, 0xE2, 0xE5, 0xF2}) + zeros(6) + bytes({0x1A, 0x2B, 0x3C}) +
                  bytes({0x30}) + zeros(13) + bytes({0x34, 0xC2, 0xEE, 0xF0, 0xEE, 0xF2, 0xE0}) +
                  zeros(4) + bytes({0x12, 0xAB, 0x0F}) +
                  bytes({0x33, 0xCE, 0xE1, 0xEE, 0xE3, 0xF0, 0xE5, 0xE2}) + zeros(3) +
                  bytes({0x21, 0x43, 0x65}));
    for (std::size_t k = 4; k < 16; ++k) {
        EXPECT_EQ(memory.wirelessOutputs.substr(14 * k, 14), bytes({0x30}) + zeros(13))
            << "output " << k + 1;
    }

    ASSERT_EQ(memory.remoteControls.size(), 130u);
    EXPECT_EQ(
        memory.remoteControls.substr(0, 39),
        bytes({0xCF, 0xE0, 0xEF, 0xE0}) + zeros(6) + bytes({0x0A, 0x1B, 0x2C}) +
            bytes({0xCC, 0xE0, 0xEC, 0xE0}) + zeros(6) + bytes({0x0D, 0x0E, 0x0F}) +
            // A name of ten bytes, with no 00 after it.
            bytes({0xC1, 0xF0, 0xE5, 0xEB, 0xEE, 0xEA, 0x20, 0xCE, 0xEB, 0xE8, 0x3D, 0x4E, 0x5F}));
    EXPECT_EQ(memory.remoteControls.substr(39), zeros(91));

    ASSERT_EQ(memory.thermoNames.size(), 78u);
    EXPECT_EQ(memory.thermoNames, bytes({0xC3, 0xEE, 0xF1, 0xF2, 0xE8, 0xED, 0xE0, 0xFF, 0x00, 0x00,
                                         0x33, 0x44, 0x55}) +
                                      zeros(65));
}

TEST(DeviceMemory, DemoKeysSensorsAndPairedOutputs) {
    const SimMemory memory = SimMemory::demo();

    // Three keys: a description of 12 bytes, then the identity of 8.
    EXPECT_EQ(memory.keyTable,
              bytes({0xC8, 0xE2, 0xE0, 0xED, 0xEE, 0xE2, 0x20, 0xC8, 0x2E}) +
                  zeros(3) + // Иванов И.
                  bytes({0x01, 0x2F, 0x8A, 0x6C, 0x0D, 0x00, 0x00, 0xE3}) +
                  bytes({0xCF, 0xE5, 0xF2, 0xF0, 0xEE, 0xE2, 0xE0, 0x20, 0xC0, 0x2E}) +
                  zeros(2) + // Петрова А.
                  bytes({0x01, 0x77, 0x3B, 0x91, 0x4E, 0x00, 0x00, 0x1A}) +
                  bytes({0xD1, 0xF2, 0xEE, 0xF0, 0xEE, 0xE6}) + zeros(6) + // Сторож
                  bytes({0x01, 0xB0, 0x5C, 0x2E, 0x88, 0x00, 0x00, 0xC6}) + zeros(140));

    // Zone 1 has two sensors (the reply test gives their bytes), the others none.
    ASSERT_EQ(memory.sensorLists[0].size(), 84u);
    EXPECT_EQ(memory.sensorLists[0].substr(28), zeros(56));
    for (std::size_t zone = 1; zone < 6; ++zone) {
        EXPECT_EQ(memory.sensorLists[zone], zeros(84)) << "zone " << zone + 1;
    }

    // The three outputs of the wireless-outputs block, paired by the type of
    // their state digit, and off.
    const std::map<std::string, t6sim::SimOutput> paired = {
        {bytes({0x1A, 0x2B, 0x3C}), {1, false}},
        {bytes({0x12, 0xAB, 0x0F}), {4, false}},
        {bytes({0x21, 0x43, 0x65}), {3, false}}};
    EXPECT_EQ(memory.attachedOutputs, paired);
}

TEST(DeviceMemory, NoDemoBlockCouldEndItsReplyEarly) {
    const SimMemory memory = SimMemory::demo();
    const std::string stop("\xFF\xFE", 2);
    std::vector<const std::string*> blocks = {&memory.wirelessOutputs, &memory.configBlock,
                                              &memory.remoteControls, &memory.thermoNames,
                                              &memory.keyTable};
    for (const auto& list : memory.sensorLists) {
        blocks.push_back(&list);
    }
    for (const std::string* block : blocks) {
        EXPECT_EQ(block->find(stop), std::string::npos);
    }
    // Nor any learned code the device answers by default.
    const t6sim::SimOptions o;
    for (const std::string* code : {&o.keyCode, &o.fobCode, &o.sensorCode, &o.thermoCode}) {
        EXPECT_EQ((*code + stop).find(stop), code->size());
    }
}

TEST(DeviceMemory, Win1251CoversTheRussianAlphabetAndRefusesTheRest) {
    EXPECT_EQ(t6sim::win1251("AZ az 09"), "AZ az 09");
    EXPECT_EQ(t6sim::win1251("АЯаяЁё"), bytes({0xC0, 0xDF, 0xE0, 0xFF, 0xA8, 0xB8}));
    EXPECT_THROW(t6sim::win1251("°"), std::invalid_argument);    // U+00B0
    EXPECT_THROW(t6sim::win1251("€"), std::invalid_argument);    // three bytes in UTF-8
    EXPECT_THROW(t6sim::win1251("\xD0"), std::invalid_argument); // cut sequence
}
