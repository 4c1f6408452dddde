#include <gtest/gtest.h>

#include "common/Bytes.h"
#include "config/PhoneMask.h"

namespace t6 {
namespace {

TEST(PhoneMask, BitsOfTheFiveTelephones) {
    EXPECT_EQ(phoneMaskOf({true, false, true, false, true}), 0x15);
    EXPECT_EQ(phonesOfMask(0xFF), (PhoneFlags{true, true, true, true, true}));
    EXPECT_EQ(phonesOfMask(0x30), (PhoneFlags{false, false, false, false, true}));
}

TEST(TelParametersAll, EveryGroupReadsItsOwnFlags) {
    DeviceConfig c;
    c.wiredZones[3].phones = {false, true, false, false, false};
    c.wirelessZones[5].phones = {false, false, false, false, true};
    c.smsOnArming = {true, true, false, false, false};
    c.smsOnDisarming = {false, false, true, false, false};
    c.supplyVoltagePhones = {false, false, false, true, false};
    c.thermoSensors[1].phones = {true, true, true, true, true};
    c.wirelessThermoSensors[5].phones = {false, true, false, true, false};
    const auto mode = ModelContext::Editing;
    EXPECT_EQ(tel_parameters_all(c, "inp_4", mode), bytesOf({0x02}));
    EXPECT_EQ(tel_parameters_all(c, "inp_1", mode), bytesOf({0x01}));
    EXPECT_EQ(tel_parameters_all(c, "bp_6", mode), bytesOf({0x10}));
    EXPECT_EQ(tel_parameters_all(c, "sms_in", mode), bytesOf({0x03}));
    EXPECT_EQ(tel_parameters_all(c, "sms_out", mode), bytesOf({0x04}));
    EXPECT_EQ(tel_parameters_all(c, "ctrl_volt", mode), bytesOf({0x08}));
    EXPECT_EQ(tel_parameters_all(c, "td2", mode), bytesOf({0x1F}));
    EXPECT_EQ(tel_parameters_all(c, "btd6", mode), bytesOf({0x0A}));
}

TEST(TelParametersAll, SensorsActiveFlagOnlyWhileSavingAFile) {
    DeviceConfig c;
    c.thermoSensors[0].active = true; // telephone 1 is ticked from the start
    c.wirelessThermoSensors[2].active = true;
    c.wiredZones[0].active = true;
    EXPECT_EQ(tel_parameters_all(c, "td1", ModelContext::SavingFile), bytesOf({0x81}));
    EXPECT_EQ(tel_parameters_all(c, "td1", ModelContext::Editing), bytesOf({0x01}));
    EXPECT_EQ(tel_parameters_all(c, "td1", ModelContext::Exchanging), bytesOf({0x01}));
    EXPECT_EQ(tel_parameters_all(c, "btd3", ModelContext::SavingFile), bytesOf({0x80}));
    EXPECT_EQ(tel_parameters_all(c, "inp_1", ModelContext::SavingFile), bytesOf({0x01}));
}

TEST(TelParametersAll, UnknownNamesGiveNothing) {
    DeviceConfig c;
    for (const char* name : {"inp_5", "inp_0", "bp_7", "td3", "btd", "btd7", "sms", "", "inp_11"})
        EXPECT_EQ(tel_parameters_all(c, name, ModelContext::Editing), "") << name;
}

} // namespace
} // namespace t6
