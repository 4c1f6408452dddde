#include "BlockFixture.h"
#include "config/GeneralRecords.h"

namespace t6::test {
namespace {

class GeneralRecordTest : public BlockTest {
protected:
    // The options record with one byte replaced.
    static Bytes optionsWith(std::size_t offset, int value) {
        Bytes r = Options;
        r[offset] = static_cast<char>(value);
        return r;
    }
    static inline const Bytes Options =
        bytesOf({0x21, 0x33, 0x01, 0x03, 0x30, 0x01, 0x30, 0x31, 0x31, 0x31, 0x00, 0x31, 0x31, 0x31,
                 0x01, 0x09, 0x00, 0x01, 0x0D});
};

TEST_F(GeneralRecordTest, TelephonesTravelAsDigitsBetweenSlashes) {
    model.setTelephone(1, "+79161234567");
    const Bytes record = "\x11"
                         "79161234567/7/7/7/7/\r";
    ASSERT_EQ(encodeTelephonesRecord(model), record);

    reset();
    model.setTelephone(2, "+5555");
    EXPECT_EQ(decode(record), RecordEnd(record.size() - 1));
    EXPECT_EQ(c().telephones, (std::array<std::string, 5>{"+79161234567", "+7", "+7", "+7", "+7"}));
    EXPECT_EQ(RecordingBlockLog::utf8(log.hexLines),
              std::vector<std::string>{"<< чтение телефоны"});
    EXPECT_EQ(RecordingBlockLog::utf8(log.protocolLines),
              std::vector<std::string>{"<<< чтение телефоны"});

    // Fields after the fifth are stepped over; fewer than five change only theirs.
    reset();
    EXPECT_EQ(decode("\x11"
                     "1/2/3/4/5/6/\r"),
              RecordEnd(13));
    EXPECT_EQ(c().telephones[4], "+5");
    reset();
    EXPECT_EQ(decode("\x11"
                     "1/\r"),
              RecordEnd(3));
    EXPECT_EQ(c().telephones[1], "+7");
    EXPECT_EQ(decode("\x11"
                     "1/2"),
              std::nullopt)
        << "no slash and no 0x0D";
    EXPECT_EQ(decode("\x11"
                     "1/"),
              std::nullopt)
        << "no 0x0D";
}

TEST_F(GeneralRecordTest, ASupplyVoltageReportThatIsOffTravelsAsZero) {
    // A file can leave telephones ticked with the report off; the device would
    // read any of them as the report being on.
    model.setSupplyVoltageReport(true);
    model.setSupplyVoltagePhone(1, true);
    model.setSupplyVoltagePhone(2, true);
    EXPECT_EQ(static_cast<unsigned char>(encodeOptionsRecord(model).at(5)), 0x03u);
    model.setSupplyVoltageReport(false);
    for (int t = 1; t <= 5; ++t)
        model.setSupplyVoltagePhone(t, true);
    EXPECT_EQ(static_cast<unsigned char>(encodeOptionsRecord(model).at(5)), 0x00u);
}

TEST_F(GeneralRecordTest, DateAndTimeTravelWithATwoDigitHour) {
    model.setDeviceDate("05.03.24");
    model.setDeviceTime("9:05:07");
    const Bytes record = "\x1C"
                         "05.03.24;09:05:07\r";
    ASSERT_EQ(encodeDateTimeRecord(model), record);

    reset();
    EXPECT_EQ(decode(record), RecordEnd(17));
    EXPECT_EQ(c().deviceDate, "05.03.24");
    EXPECT_EQ(c().deviceTime, "09:05:07");
    EXPECT_EQ(RecordingBlockLog::utf8(log.hexLines),
              std::vector<std::string>{"<< чтение Date & Time"});
    EXPECT_EQ(RecordingBlockLog::utf8(log.protocolLines),
              std::vector<std::string>{"<<< чтение DATE & TIme"});

    // Missing bytes leave their field alone, and the scan goes on.
    reset();
    EXPECT_TRUE(scanRecords("\x1C"
                            "05.03.24;09:0")
                    .complete);
    EXPECT_EQ(c().deviceDate, "05.03.24");
    EXPECT_EQ(c().deviceTime, "");
}

TEST_F(GeneralRecordTest, OptionsTravelAsNineteenBytesAndReadBack) {
    model.setArmingMethod(2);
    model.setSmsOnArming(1, true);
    model.setSmsOnDisarming(1, true);
    model.setSmsOnDisarming(2, true);
    model.setSupplyVoltageReport(true);
    model.setSupplyVoltagePhone(1, true);
    model.setTimeInSms(true);
    model.setMicAndSpeakerOnCall(true);
    model.setStatusSmsOnCall(true);
    model.setAlarmSms(true);
    model.setAlarmCall(true);
    model.setArmedIndicator(0);
    model.setMicrophoneVolume(1);
    model.setSpeakerVolume(9);
    model.setButton4Seconds(1);
    ASSERT_EQ(encodeOptionsRecord(model), Options);

    reset();
    model.setButton4Toggle(true);
    EXPECT_EQ(decode(Options), RecordEnd(17));
    EXPECT_EQ(encodeOptionsRecord(model), Options);
    EXPECT_EQ(c().armingMethod, 2);
    EXPECT_EQ(c().smsOnDisarming, (PhoneFlags{true, true, false, false, false}));
    EXPECT_TRUE(c().supplyVoltageReport);
    EXPECT_FALSE(c().armingOutputOn);
    EXPECT_EQ(c().armingOutput, 0);
    EXPECT_FALSE(c().button4Toggle);
    EXPECT_EQ(c().button4Seconds, 1);
    EXPECT_TRUE(log.memoLines.empty());
    EXPECT_TRUE(log.hexLines.empty());
    EXPECT_TRUE(log.protocolLines.empty());
}

TEST_F(GeneralRecordTest, OptionsWithoutMethodOrIndicatorSendTheStartUpValues) {
    ASSERT_EQ(c().armingMethod, std::nullopt);
    ASSERT_EQ(c().armedIndicator, std::nullopt);
    const Bytes r = encodeOptionsRecord(model);
    EXPECT_EQ(r[1], '3');
    EXPECT_EQ(r[13], '1');
}

TEST_F(GeneralRecordTest, OptionOutputsAndButtonTimes) {
    model.registry().registerEntry("bpout_2", "B", "abcdef", 0, 4);
    model.setArmingOutputOn(true);
    model.setArmingOutput(OutputChoiceList::FixedCount + 2); // B канал3
    model.setButton4On(true);
    model.setButton4Output(2);
    model.setButton4Toggle(true);
    const Bytes r = encodeOptionsRecord(model);
    EXPECT_EQ(static_cast<unsigned char>(r[10]), 70u);
    EXPECT_EQ(static_cast<unsigned char>(r[16]), 3u);
    EXPECT_EQ(static_cast<unsigned char>(r[17]), 0xFCu);

    decode(optionsWith(10, 0));
    EXPECT_FALSE(c().armingOutputOn);
    EXPECT_EQ(c().armingOutput, 0);
    decode(optionsWith(10, 70));
    EXPECT_TRUE(c().armingOutputOn);
    EXPECT_EQ(c().armingOutput, OutputChoiceList::FixedCount + 2);
    decode(optionsWith(16, 4));
    EXPECT_TRUE(c().button4On);
    EXPECT_EQ(c().button4Output, 3);
    decode(optionsWith(17, 0xFC));
    EXPECT_TRUE(c().button4Toggle);
    decode(optionsWith(17, 0xFB));
    EXPECT_FALSE(c().button4Toggle);
    EXPECT_EQ(c().button4Seconds, 251);
}

TEST_F(GeneralRecordTest, SupplyVoltageByteAboveTheTelephonesStillSwitchesTheReportOn) {
    decode(optionsWith(5, 0x20));
    EXPECT_TRUE(c().supplyVoltageReport);
    EXPECT_EQ(c().supplyVoltagePhones, PhoneFlags{});
    decode(optionsWith(5, 0x00));
    EXPECT_FALSE(c().supplyVoltageReport);
}

TEST_F(GeneralRecordTest, WrongOptionBytesAreReportedAndKeepTheirFields) {
    Bytes r = Options;
    for (std::size_t offset : {1u, 4u, 6u, 7u, 8u, 9u, 11u, 12u, 13u})
        r[offset] = 'x';
    model.setAlarmSms(true);
    decode(r);
    const std::string e = "Ошибка формата передаваемых данных\r\n";
    EXPECT_EQ(memo(),
              (std::vector<std::string>{
                  "#33 - " + e + "На входе =x", "#38 - " + e + "Символ <>0 или 1",
                  "#33 - " + e + "На входе =x", "#39(2) - " + e + "Символ <>0 или 1",
                  "#39(3) - " + e + "Символ <>0 или 1", "#39(4) - " + e + "Символ <>0 или 1",
                  "#39(2) - " + e + "Символ <>0 или 1", "#39(2) - " + e + "Символ <>0 или 1",
                  "#37 - " + e + "Символ <>1 или 2"}));
    EXPECT_EQ(c().armingMethod, std::nullopt);
    EXPECT_EQ(c().armedIndicator, std::nullopt);
    EXPECT_TRUE(c().alarmSms);
    EXPECT_EQ(c().speakerVolume, 9) << "decoding went on";
}

TEST_F(GeneralRecordTest, ACutOptionsRecordKeepsWhatWasRead) {
    for (std::size_t n = 1; n < 18; ++n) {
        reset();
        EXPECT_EQ(decode(Options.substr(0, n)), std::nullopt) << n;
    }
    EXPECT_EQ(c().microphoneVolume, 1);
    EXPECT_TRUE(c().alarmCall) << "bytes up to the cut were decoded";
    EXPECT_FALSE(c().button4On);
    EXPECT_EQ(decode(Options.substr(0, 18)), RecordEnd(17)) << "the 0x0D is not needed";
}

TEST_F(GeneralRecordTest, DelaysTravelAsBytesAndFlags) {
    model.setArmingDelay(250);
    model.setDisarmingDelay(7);
    model.setZoneActive(wiredZone(2), true);
    model.setEntryDelay(wiredZone(2), true);
    model.setEntryDelay(wirelessZone(6), true);
    const Bytes record =
        bytesOf({0x24, 0xFA, 0x07, '0', '1', '0', '0', '0', '0', '0', '0', '0', '1', 0x0D});
    ASSERT_EQ(encodeDelaysRecord(model), record);

    reset();
    EXPECT_EQ(decode(record), RecordEnd(12));
    EXPECT_EQ(c().armingDelay, 250);
    EXPECT_EQ(c().disarmingDelay, 7);
    EXPECT_TRUE(c().wiredZones[1].entryDelay);
    EXPECT_FALSE(c().wiredZones[0].entryDelay);
    EXPECT_TRUE(c().wirelessZones[5].entryDelay);
    EXPECT_EQ(decode(record.substr(0, 12)), std::nullopt);
}

TEST_F(GeneralRecordTest, ThePasswordRecordIsSteppedOver) {
    // Ten bytes when eight or more follow the type, whatever they hold: the
    // telephone type inside is not a record.
    EXPECT_TRUE(scanRecords("\x1A"
                            "\x11"
                            "234"
                            "5678"
                            "\x11"
                            "\x24\xFA\x05"
                            "0000000000\r")
                    .complete);
    EXPECT_EQ(c().armingDelay, 250);
    EXPECT_EQ(c().telephones[0], "+7");
    EXPECT_TRUE(log.memoLines.empty());
    EXPECT_EQ(RecordingBlockLog::utf8(log.hexLines)[2], "<< чтение passSMS & PIN");
    EXPECT_EQ(RecordingBlockLog::utf8(log.protocolLines)[1], "<<< чтение passSMS & PIN");

    EXPECT_EQ(decode("\x1A"
                     "12345678"),
              RecordEnd(9))
        << "the closing byte may be missing";
    log.clear();
    EXPECT_EQ(decode("\x1A"
                     "1234567"),
              RecordEnd(5));
    EXPECT_EQ(memo(),
              std::vector<std::string>{
                  "#26 - Ошибка формата передаваемых данных\r\nКол-во цифр в PIN коде < 4"});
    log.clear();
    EXPECT_EQ(decode("\x1A"
                     "123"),
              RecordEnd(1));
    EXPECT_EQ(memo(),
              (std::vector<std::string>{
                  "#26 - Ошибка формата передаваемых данных\r\nКол-во символов в пароле "
                  "SMS < 4",
                  "#26 - Ошибка формата передаваемых данных\r\nКол-во цифр в PIN коде < 4"}));
}

} // namespace
} // namespace t6::test
