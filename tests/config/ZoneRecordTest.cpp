#include "BlockFixture.h"
#include "config/FieldEncodings.h"
#include "config/ZoneRecords.h"

namespace t6::test {
namespace {

// A zone record built by hand: type, message, 0x0D, input type, activation,
// 24-hour control, twelve action bytes, telephone mask.
Bytes zoneRecord(int type, const std::string& message, char inputType, char active, char control24h,
                 const std::array<int, 12>& actions, int mask) {
    Bytes r(1, static_cast<char>(type));
    r += message + "\r" + inputType + active + control24h;
    for (int b : actions)
        r += static_cast<char>(b);
    r += static_cast<char>(mask);
    return r;
}

constexpr std::array<int, 12> NoActions{};

class ZoneRecordTest : public BlockTest {};

TEST_F(ZoneRecordTest, WiredZoneOneTravelsAsTwentyThreeBytesAndReadsBack) {
    const ZoneRef z = wiredZone(1);
    model.setZoneActive(z, true);
    model.setZoneMessage(z, ru("Дверь"));
    model.setRowEnabled(z, 4, true);
    model.setRowMinutes(z, 4, 1);
    model.setRowSeconds(z, 4, 30);
    const Bytes record =
        bytesOf({0x01, 0xC4, 0xE2, 0xE5, 0xF0, 0xFC, 0x0D, 0x31, 0x31, 0x30, 0x00, 0x5A,
                 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01});
    ASSERT_EQ(encodeZoneRecord(model, 1), record);

    reset();
    EXPECT_EQ(decode(record), RecordEnd(22));
    const WiredZone& w = c().wiredZones[0];
    EXPECT_EQ(w.message, ru("Дверь"));
    EXPECT_EQ(w.inputType, HighLevel);
    EXPECT_TRUE(w.active);
    EXPECT_FALSE(w.control24h);
    EXPECT_TRUE(w.outputsEnabled);
    EXPECT_TRUE(w.actions[3].enabled);
    EXPECT_EQ(w.actions[3].minutes, 1);
    EXPECT_EQ(w.actions[3].seconds, 30);
    EXPECT_EQ(w.actions[3].output, 3);
    for (int r = 0; r < 3; ++r)
        EXPECT_FALSE(w.actions[static_cast<std::size_t>(r)].enabled);
    EXPECT_EQ(w.phones, (PhoneFlags{true, false, false, false, false}));

    const Bytes logged = record.substr(0, 22);
    EXPECT_EQ(log.hexLines, (std::vector<std::string>{ru("<< чтение входа1"), hexForm(logged)}));
    EXPECT_EQ(log.protocolLines, (std::vector<std::string>{ru("\r\n<<< чтение входа1"), logged}));
    EXPECT_TRUE(log.memoLines.empty());
}

TEST_F(ZoneRecordTest, WirelessZoneThreeTravelsAsTwentyTwoBytesAndReadsBack) {
    const ZoneRef z = wirelessZone(3);
    model.setZoneActive(z, true);
    model.setZoneMessage(z, ru("Окно"));
    model.setZonePhone(z, 2, true);
    Bytes record = bytesOf({0x07, 0xCE, 0xEA, 0xED, 0xEE, 0x0D, 0x30, 0x31, 0x30, 0, 0,
                            0,    0,    0,    0,    0,    0,    0,    0,    0,    0, 0x03});
    ASSERT_EQ(encodeZoneRecord(model, 7), record);

    reset();
    record[6] = '5'; // any byte after the text: a wireless zone has no input type
    EXPECT_EQ(decode(record), RecordEnd(21));
    const WirelessZone& w = c().wirelessZones[2];
    EXPECT_EQ(w.message, ru("Окно"));
    EXPECT_TRUE(w.active);
    EXPECT_EQ(w.phones, (PhoneFlags{true, true, false, false, false}));
    EXPECT_TRUE(log.memoLines.empty());
    EXPECT_EQ(RecordingBlockLog::utf8(log.hexLines).front(), "<< чтение ,беспр.входа3");
    EXPECT_EQ(RecordingBlockLog::utf8(log.protocolLines).front(), "\r\n<<< чтение беспр.входа3");
}

TEST_F(ZoneRecordTest, OnlyActiveZonesAreSentInZoneOrder) {
    model.setZoneActive(wiredZone(4), true);
    model.setZoneActive(wiredZone(2), true);
    for (int n = 1; n <= 10; ++n)
        EXPECT_EQ(encodeZoneRecord(model, n).empty(), n != 2 && n != 4) << n;
    std::vector<std::pair<ConfigBlockPiece::Kind, int>> zones;
    for (const auto& piece : configBlockPieces(model))
        if (piece.kind == ConfigBlockPiece::Kind::WiredZone ||
            piece.kind == ConfigBlockPiece::Kind::WirelessZone)
            zones.emplace_back(piece.kind, piece.number);
    EXPECT_EQ(zones,
              (std::vector<std::pair<ConfigBlockPiece::Kind, int>>{
                  {ConfigBlockPiece::Kind::WiredZone, 2}, {ConfigBlockPiece::Kind::WiredZone, 4}}));
}

TEST_F(ZoneRecordTest, MessagesAreSentCutToTwentyFiveAndReadWhole) {
    const ZoneRef z = wiredZone(2);
    model.setZoneActive(z, true);
    model.setZoneMessage(z, std::string(30, 'a'));
    EXPECT_EQ(encodeZoneRecord(model, 2).substr(1, 26), std::string(25, 'a') + "\r");
    // A line break a file brought into the text would end it early on the device.
    model.setZoneMessage(z, "ab\rc");
    EXPECT_EQ(encodeZoneRecord(model, 2).substr(1, 5), "ab c\r");

    const std::string longText(40, 'x');
    EXPECT_EQ(decode(zoneRecord(2, longText, '1', '1', '0', NoActions, 1)), RecordEnd(57));
    EXPECT_EQ(c().wiredZones[1].message, longText);
}

TEST_F(ZoneRecordTest, AlwaysOnAndZeroTimesTravelAsTheirDurations) {
    const ZoneRef z = wiredZone(1);
    model.setZoneActive(z, true);
    model.setZoneMessage(z, "m");
    model.setRowEnabled(z, 2, true);
    model.setRowAlwaysOn(z, 2, true);
    model.setRowMinutes(z, 2, 7);
    model.setRowSeconds(z, 2, 8);
    model.setRowEnabled(z, 3, true);
    model.setRowMinutes(z, 3, 0);
    model.setRowSeconds(z, 3, 0);
    const Bytes record = encodeZoneRecord(model, 1);
    // Slots: row 4, row 1, row 2, row 3.
    EXPECT_EQ(record.substr(6, 12),
              bytesOf({0, 0, 0, 0, 0, 0, 0xFF, 0xDC, 0x02, 0x00, 0x00, 0x03}));

    reset();
    model.setRowMinutes(z, 2, 7);
    decode(record);
    const auto& rows = c().wiredZones[0].actions;
    EXPECT_TRUE(rows[1].enabled);
    EXPECT_TRUE(rows[1].alwaysOn);
    EXPECT_EQ(rows[1].minutes, 0);
    EXPECT_EQ(rows[1].seconds, 1);
    EXPECT_EQ(rows[1].output, 1);
    EXPECT_FALSE(rows[2].enabled) << "an enabled row of 0:00 reads back disabled";
}

TEST_F(ZoneRecordTest, ActionSlotsDecodeTheirDurationsAndCodes) {
    const ZoneRef z = wiredZone(1);
    model.registry().registerEntry("bpout_3", "A", "123456", 0, 1);
    model.setRowAlwaysOn(z, 1, true);
    model.setRowMinutes(z, 2, 7);
    model.setRowSeconds(z, 2, 8);
    model.setRowOutput(z, 3, 1);
    // Row 4: 65499 s on code 7 (wireless output 3); row 1: 00 00 with a code;
    // row 2: 65535 keeps its time; row 3: 10 s on no output.
    decode(zoneRecord(1, "m", '1', '0', '0',
                      {0xFF, 0xDB, 7, 0x00, 0x00, 4, 0xFF, 0xFF, 9, 0x00, 0x0A, 0}, 0));
    const auto& rows = c().wiredZones[0].actions;
    EXPECT_TRUE(rows[3].enabled);
    EXPECT_EQ(rows[3].minutes, 1091);
    EXPECT_EQ(rows[3].seconds, 39);
    EXPECT_EQ(rows[3].output, 4);
    EXPECT_FALSE(rows[0].enabled);
    EXPECT_FALSE(rows[0].alwaysOn);
    EXPECT_EQ(rows[0].output, 0) << "the code of a disabled slot is ignored";
    EXPECT_TRUE(rows[1].enabled);
    EXPECT_EQ(rows[1].minutes, 7);
    EXPECT_EQ(rows[1].seconds, 8);
    EXPECT_EQ(rows[1].output, 0) << "code 9 names no known wireless output";
    EXPECT_TRUE(rows[2].enabled);
    EXPECT_EQ(rows[2].seconds, 10);
    EXPECT_EQ(rows[2].output, std::nullopt);
    EXPECT_TRUE(c().wiredZones[0].outputsEnabled) << "set by non-zero action bytes";
}

TEST_F(ZoneRecordTest, TwelveZeroActionBytesOnlyDisableTheRows) {
    const ZoneRef z = wiredZone(3);
    model.setRowEnabled(z, 1, true);
    model.setRowMinutes(z, 1, 5);
    decode(zoneRecord(3, "m", '2', '0', '0', NoActions, 0));
    EXPECT_FALSE(c().wiredZones[2].actions[0].enabled);
    EXPECT_EQ(c().wiredZones[2].actions[0].minutes, 5);
    EXPECT_FALSE(c().wiredZones[2].outputsEnabled);
}

TEST_F(ZoneRecordTest, WrongFlagBytesAreReportedAndDecodingGoesOn) {
    decode(zoneRecord(1, "m", '7', '1', '0', NoActions, 1));
    EXPECT_EQ(memo(), std::vector<std::string>{
                          "#01 - Ошибка формата передаваемых данных\r\nУровень активации =7"});
    // The activation that follows selects the first input type for a zone without one.
    EXPECT_EQ(c().wiredZones[0].inputType, HighLevel);
    EXPECT_TRUE(c().wiredZones[0].active);

    log.clear();
    decode(zoneRecord(2, "m", '9', 'x', '2', NoActions, 0));
    EXPECT_EQ(memo(), (std::vector<std::string>{
                          "#02 - Ошибка формата передаваемых данных\r\nУровень активации =9",
                          "#02 - Ошибка формата передаваемых данных\r\nКод Активации Входа=x",
                          "#02 - Ошибка формата передаваемых данных\r\nКод Контроль24=2"}));
    EXPECT_EQ(c().wiredZones[1].inputType, std::nullopt);
    EXPECT_FALSE(c().wiredZones[1].active);

    log.clear();
    model.setZoneControl24h(wirelessZone(6), true);
    decode(zoneRecord(10, "m", '0', '?', '?', NoActions, 0));
    EXPECT_EQ(memo(), (std::vector<std::string>{
                          "#01 - Ошибка формата передаваемых данных\r\nКод Активации Входа=?",
                          "#01 - Ошибка формата передаваемых данных\r\nКод Контроль24=?"}));
    EXPECT_FALSE(c().wirelessZones[5].control24h);
}

TEST_F(ZoneRecordTest, TheMaskSetsTelephonesOneToFiveOnly) {
    decode(zoneRecord(4, "m", '1', '1', '0', NoActions, 0xFF));
    EXPECT_EQ(c().wiredZones[3].phones, (PhoneFlags{true, true, true, true, true}));
    decode(zoneRecord(4, "m", '1', '1', '0', NoActions, 0xE0));
    EXPECT_EQ(c().wiredZones[3].phones, (PhoneFlags{}));
}

TEST_F(ZoneRecordTest, ACutRecordKeepsWhatWasReadAndReadsNothingPastItsEnd) {
    const Bytes record = zoneRecord(1, "abc", '3', '1', '1', {0, 0, 0, 0, 0x3C, 2}, 0x04);
    for (std::size_t n = 1; n < record.size(); ++n) {
        reset();
        EXPECT_EQ(decode(record.substr(0, n)), std::nullopt) << n;
    }
    reset();
    decode(record.substr(0, 10)); // through the 24-hour byte and two action bytes
    EXPECT_EQ(c().wiredZones[0].message, "abc");
    EXPECT_EQ(c().wiredZones[0].inputType, NormallyOpen);
    EXPECT_TRUE(c().wiredZones[0].control24h);
    EXPECT_FALSE(c().wiredZones[0].actions[0].enabled) << "the rows are not reached";
    reset();
    decode(record.substr(0, 3)); // no 0x0D: not even the message
    EXPECT_EQ(c().wiredZones[0].message, "");
}

} // namespace
} // namespace t6::test
