#include "BlockFixture.h"
#include "config/FieldEncodings.h"
#include "config/ThermoRecords.h"

namespace t6::test {
namespace {

class ThermoRecordTest : public BlockTest {
protected:
    const ThermoSensor& wired(int n) const {
        return c().thermoSensors[static_cast<std::size_t>(n - 1)];
    }
    const ThermoSensor& wireless(int n) const {
        return c().wirelessThermoSensors[static_cast<std::size_t>(n - 1)];
    }
    static inline const Bytes Inactive = "011011000";
};

TEST_F(ThermoRecordTest, WiredSensorsTravelAsTwentyBytesInTwoPieces) {
    const SensorRef s = wiredSensor(1);
    model.setSensorActive(s, true);
    model.setLowAlarm(s, -10);
    model.setHighAlarm(s, 40);
    model.setThermostat(s, true);
    model.setEconomyTemp(s, 5);
    model.setComfortTemp(s, 22);
    model.setAutoAfterDisarm(s, true);
    model.setSensorOutput(s, 2);
    model.setSensorPhone(s, 1, true);
    model.setSensorPhone(s, 3, true);
    const Bytes record = bytesOf({0x23, 0x31, 0xF6, 0x28, 0x31, 0x05, 0x16, 0x31, 0x03, 0x05,
                                  0x30, 0x31, 0x31, 0x30, 0x31, 0x31, 0x30, 0x30, 0x30, 0x0D});
    ASSERT_EQ(encodeThermoRecord(model), record);
    EXPECT_EQ(thermoRecordPieces(model),
              (std::vector<Bytes>{record.substr(0, 10), record.substr(10)}));

    reset();
    EXPECT_EQ(decode(record), RecordEnd(18));
    EXPECT_TRUE(wired(1).active);
    EXPECT_EQ(wired(1).lowAlarm, -10);
    EXPECT_EQ(wired(1).highAlarm, 40);
    EXPECT_TRUE(wired(1).thermostat);
    EXPECT_EQ(wired(1).economyTemp, 5);
    EXPECT_EQ(wired(1).comfortTemp, 22);
    EXPECT_TRUE(wired(1).autoAfterDisarm);
    EXPECT_EQ(wired(1).output, 2);
    EXPECT_EQ(wired(1).phones, (PhoneFlags{true, false, true, false, false}));
    EXPECT_EQ(encodeThermoRecord(model).substr(0, 10), record.substr(0, 10));

    const Bytes one = record.substr(1, 9), two = record.substr(10, 9);
    EXPECT_EQ(log.hexLines,
              (std::vector<std::string>{ru("<< чтение ,темпер.датчика1"), hexForm(one),
                                        ru("<< чтение ,темпер.датчика2"), hexForm(two)}));
    EXPECT_EQ(log.protocolLines,
              (std::vector<std::string>{ru("<<< чтение темпер.датчика1") + one,
                                        ru("<<< чтение темпер.датчика2") + two}));
}

TEST_F(ThermoRecordTest, AnInactiveSensorReadsBackFromItsFillerBytes) {
    model.setSensorPhone(wirelessSensor(2), 1, true);
    decode("#" + Inactive + Inactive + "\r");
    decode("&" + Inactive + Inactive + Inactive + Inactive + Inactive + Inactive + "\r");
    for (const ThermoSensor* s : {&wired(2), &wireless(2)}) {
        EXPECT_FALSE(s->active);
        EXPECT_EQ(s->lowAlarm, 49);
        EXPECT_EQ(s->highAlarm, 49);
        EXPECT_FALSE(s->thermostat);
        EXPECT_EQ(s->output, 0) << "code 48 names no known wireless output";
        EXPECT_EQ(s->phones, (PhoneFlags{false, false, false, false, true}))
            << "mask 0x30 ticks telephone 5, and unticks the others of a wireless sensor";
    }
}

TEST_F(ThermoRecordTest, ThermostatOffSendsFillersAndKeepsItsValuesOnReading) {
    const SensorRef s = wirelessSensor(4);
    model.setSensorActive(s, true);
    model.setLowAlarm(s, -55);
    model.setHighAlarm(s, 125);
    model.setEconomyTemp(s, 18);
    model.setSensorPhone(s, 1, true);
    model.setSensorPhone(s, 2, true);
    EXPECT_EQ(encodeSensorBytes(model, s),
              bytesOf({0x31, 0xC9, 0x7D, 0x30, 0x31, 0x31, 0x30, 0x00, 0x03}));
    EXPECT_EQ(encodeSensorBytes(model, wirelessSensor(5)), Inactive);

    const auto pieces = wirelessThermoRecordPieces(model);
    ASSERT_EQ(pieces.size(), 6u);
    EXPECT_EQ(pieces[0], "&" + Inactive);
    EXPECT_EQ(pieces[3], encodeSensorBytes(model, s));
    EXPECT_EQ(pieces[5], Inactive + "\r");
    EXPECT_EQ(encodeWirelessThermoRecord(model).size(), 56u);

    const Bytes record = encodeWirelessThermoRecord(model);
    model.setEconomyTemp(s, 30);
    model.setSensorOutput(s, 1);
    EXPECT_EQ(decode(record), RecordEnd(54));
    EXPECT_EQ(wireless(4).lowAlarm, -55);
    EXPECT_EQ(wireless(4).highAlarm, 125);
    EXPECT_EQ(wireless(4).economyTemp, 30) << "not looked at with the thermostat off";
    EXPECT_EQ(wireless(4).output, std::nullopt);
    EXPECT_TRUE(log.hexLines.empty() && log.protocolLines.empty());
}

TEST_F(ThermoRecordTest, OddBytesReadAsTheFlagRulesSay) {
    // Active "x" is off, thermostat "1", auto "x" is on; 0x7E is -130.
    const Bytes sensor = bytesOf({'x', 0x7E, 0x01, '1', 0x02, 0x03, 'x', 0x00, 0x00});
    decode("#" + sensor + Inactive + "\r");
    EXPECT_FALSE(wired(1).active);
    EXPECT_EQ(wired(1).lowAlarm, -130);
    EXPECT_TRUE(wired(1).thermostat);
    EXPECT_EQ(wired(1).economyTemp, 2);
    EXPECT_TRUE(wired(1).autoAfterDisarm);
    EXPECT_EQ(wired(1).output, std::nullopt);
    EXPECT_TRUE(log.memoLines.empty());
}

TEST_F(ThermoRecordTest, AClearMaskBitUnticksOnlyAWirelessSensor) {
    model.setSensorPhone(wiredSensor(1), 2, true);
    model.setSensorPhone(wirelessSensor(1), 2, true);
    Bytes active = "1" + bytesOf({0x05, 0x06}) + "011" + "0" + bytesOf({0x00, 0x01});
    decode("#" + active + Inactive + "\r");
    decode("&" + active + Inactive + Inactive + Inactive + Inactive + Inactive + "\r");
    EXPECT_EQ(wired(1).phones, (PhoneFlags{true, true, false, false, false}));
    EXPECT_EQ(wireless(1).phones, (PhoneFlags{true, false, false, false, false}));
}

TEST_F(ThermoRecordTest, ACutRecordStopsWhereTheBlockEnds) {
    const Bytes record = "#" + Inactive + Inactive + "\r";
    for (std::size_t n = 1; n < 19; ++n) {
        reset();
        EXPECT_EQ(decode(record.substr(0, n)), std::nullopt) << n;
    }
    EXPECT_FALSE(wired(1).active);
    EXPECT_EQ(wired(1).lowAlarm, 49) << "sensor 1 was decoded before the cut";
    EXPECT_EQ(wired(2).lowAlarm, 49);
    EXPECT_EQ(wired(2).phones, PhoneFlags{}) << "the mask of sensor 2 was missing";
    EXPECT_EQ(RecordingBlockLog::utf8(log.protocolLines).back(),
              "<<< чтение темпер.датчика201101100")
        << "the bytes that are there";
    EXPECT_EQ(decode(record.substr(0, 19)), RecordEnd(18));
}

} // namespace
} // namespace t6::test
