#include "BlockFixture.h"
#include "config/GeneralRecords.h"
#include "config/ZoneRecords.h"

namespace t6::test {
namespace {

class ConfigBlockTest : public BlockTest {
protected:
    // A model with every kind of record in use; the messages hold record types.
    void populate() {
        model.registry().registerEntry("bpout_1", "R", "aabbcc", 0, 1);
        for (int n : {1, 3}) {
            const ZoneRef z = wiredZone(n);
            model.setZoneActive(z, true);
            model.setZoneMessage(z, "!$#\x11\x1C&%" + std::to_string(n));
            model.setRowEnabled(z, 2, true);
            model.setRowMinutes(z, 2, 0);
            model.setRowSeconds(z, 2, 13); // 00 0D: a terminator byte among the actions
            model.setRowOutput(z, 2, 4);
        }
        model.setZoneActive(wirelessZone(2), true);
        model.setZoneMessage(wirelessZone(2), ru("Гараж"));
        model.setTelephone(1, "+79161234567");
        model.setDeviceDate("05.03.24");
        model.setDeviceTime("09:05:07");
        model.setArmingMethod(1);
        model.setArmedIndicator(1);
        model.setSpeakerVolume(4);
        model.setArmingDelay(30);
        model.setSensorActive(wiredSensor(2), true);
        model.setThermostat(wiredSensor(2), true);
        model.setSensorOutput(wiredSensor(2), 4);
        model.setSensorActive(wirelessSensor(6), true);
        model.setLowAlarm(wirelessSensor(6), -20);
    }
};

TEST_F(ConfigBlockTest, AWrittenBlockReadsBackToTheSameBytes) {
    populate();
    const Bytes block = encodeConfigBlock(model);
    ASSERT_EQ(block.substr(0, 3), bytesOf({0x99, 0x99, 0x01}));
    reset();
    model.registry().registerEntry("bpout_1", "R", "aabbcc", 0, 1);
    const ConfigBlockScan r = scan(block);
    EXPECT_TRUE(r.complete);
    EXPECT_EQ(encodeConfigBlock(model), block);
    EXPECT_EQ(c().wiredZones[0].message, "!$#\x11\x1C&%1") << "types inside a text are text";
    EXPECT_TRUE(log.memoLines.empty());

    EXPECT_EQ(log.hexLines[0], ru("<< чтение основных данных"));
    EXPECT_EQ(log.hexLines[1], hexForm(block));
    EXPECT_EQ(log.protocolLines[0], ru("<<< чтение основных данных: ") + block);
    // Zones 1 and 3, wireless zone 2, telephones, date and time, two thermo sensors.
    std::vector<std::string> heads;
    for (const auto& l : RecordingBlockLog::utf8(log.hexLines))
        if (l.rfind("<<", 0) == 0)
            heads.push_back(l);
    EXPECT_EQ(heads, (std::vector<std::string>{
                         "<< чтение основных данных", "<< чтение входа1", "<< чтение входа3",
                         "<< чтение ,беспр.входа2", "<< чтение телефоны", "<< чтение Date & Time",
                         "<< чтение ,темпер.датчика1", "<< чтение ,темпер.датчика2"}));
}

TEST_F(ConfigBlockTest, OnlyTheRecordsInTheBlockChangeTheModel) {
    model.setArmingDelay(9);
    const auto before = configBlockPieces(model);
    Bytes records = "\x11"
                    "1/2/3/4/5/\r";
    records += bytesOf({0x24, 0x05, 0x06, '1', '0', '0', '0', '0', '0', '0', '0', '0', '0', 0x0D});
    EXPECT_TRUE(scanRecords(records).complete);
    const auto after = configBlockPieces(model);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
        const bool read = after[i].kind == ConfigBlockPiece::Kind::Telephones ||
                          after[i].kind == ConfigBlockPiece::Kind::Delays;
        EXPECT_EQ(after[i].bytes == before[i].bytes, !read) << i;
    }
    EXPECT_EQ(c().telephones[4], "+5");
    EXPECT_EQ(c().armingDelay, 5);

    // Both delays are 0 before any record is read.
    scanRecords("");
    EXPECT_EQ(c().armingDelay, 0);
    EXPECT_EQ(c().disarmingDelay, 0);
}

TEST_F(ConfigBlockTest, StrayAndFinalBytesAreNeverTakenForRecords) {
    // The reserved type swallows the telephones type after it; the digits and
    // the slash that follow are no types, and the delays record is read.
    EXPECT_TRUE(scanRecords("%\x11"
                            "7/\r$\x07\x08"
                            "0000000000\r")
                    .complete);
    EXPECT_EQ(c().telephones[0], "+7");
    EXPECT_EQ(c().armingDelay, 7);

    // The last byte is never a type.
    log.clear();
    EXPECT_TRUE(scanRecords("\x11").complete);
    EXPECT_TRUE(scan(bytesOf({0x0D, 0x21})).complete);
    EXPECT_EQ(log.hexLines.size(), 4u) << "only the block lines of the two scans";
}

TEST_F(ConfigBlockTest, ACutRecordStopsTheScanAndSaysWhere) {
    Bytes records = "\x11"
                    "79001112233/7/7/7/7/\r";
    const std::size_t zoneAt = 2 + records.size();
    records += "\x02"
               "abc";
    const ConfigBlockScan r = scanRecords(records);
    EXPECT_FALSE(r.complete);
    EXPECT_EQ(r.cutRecordType, 2);
    EXPECT_EQ(r.cutRecordAt, zoneAt);
    EXPECT_EQ(r.missingRecords, (std::vector<int>{0x1C, 0x21, 0x24, 0x23, 0x26}))
        << "the records after the cut are missing too";
    EXPECT_FALSE(r.whole());
    EXPECT_EQ(c().telephones[0], "+79001112233") << "what came before keeps its value";
    EXPECT_EQ(c().wiredZones[1].message, "");
}

TEST_F(ConfigBlockTest, AWiredThermostatOnItsOwnOutputIsNoCollisionWithTheArmingOutput) {
    // The siren at arming, wired sensor 1 keeping its temperature on relay 1:
    // the options come before the sensor's record, and the sensor's check
    // when its thermostat goes on must see relay 1, not the siren the reset
    // left in its choice.
    Bytes options = encodeOptionsRecord(model);
    options[10] = 1;
    const Bytes sensors = bytesOf({0x23, 0x31, 0x05, 0x28, 0x31, 0x05, 0x16, 0x30, 0x03, 0x01,
                                   0x30, 0x31, 0x31, 0x30, 0x31, 0x31, 0x30, 0x30, 0x30, 0x0D});
    EXPECT_TRUE(scanRecords(options + sensors).complete);
    EXPECT_TRUE(prompts.shown.empty()) << prompts.lastUtf8();
    EXPECT_TRUE(c().armingOutputOn);
    EXPECT_EQ(c().armingOutput, 0);
    EXPECT_TRUE(c().thermoSensors[0].thermostat);
    EXPECT_EQ(c().thermoSensors[0].output, 2) << "relay 1";
}

TEST_F(ConfigBlockTest, SensorsTheWindowShowedDoNotRefuseTheArmingOutputOfTheDevice) {
    // The reset leaves wireless sensors as they were, their outputs on the siren.
    model.setSensorActive(wirelessSensor(3), true);
    model.setThermostat(wirelessSensor(3), true);
    Bytes options = encodeOptionsRecord(model);
    options[10] = 1; // the siren at arming
    EXPECT_TRUE(scanRecords(options).complete);
    EXPECT_TRUE(c().armingOutputOn);
    EXPECT_EQ(c().armingOutput, 0);
    EXPECT_TRUE(prompts.shown.empty()) << prompts.lastUtf8();
}

// Every prefix of a full block: the scan reads nothing past its end and stops
// exactly at the record the prefix cuts, unless that is the date and time.
TEST_F(ConfigBlockTest, EveryTruncationStopsAtTheRecordItCuts) {
    populate();
    const Bytes block = encodeConfigBlock(model);
    struct Span {
        std::size_t start, last;
        bool checksItsBytes;
    };
    std::vector<Span> spans;
    std::size_t at = ConfigBlockStart.size();
    for (const auto& piece : configBlockPieces(model)) {
        using K = ConfigBlockPiece::Kind;
        const bool continues =
            (piece.kind == K::Thermo || piece.kind == K::WirelessThermo) && piece.number > 1;
        if (!continues)
            spans.push_back({at, 0, piece.kind == K::DateTime});
        at += piece.bytes.size();
        // A zone record ends in its mask and the telephones decoder consumes
        // its 0x0D; the other records end in a 0x0D the scan steps over.
        const bool ownLastByte = piece.kind == K::Telephones || piece.kind == K::WiredZone ||
                                 piece.kind == K::WirelessZone;
        spans.back().last = at - (ownLastByte ? 1 : 2);
    }
    ASSERT_EQ(at, block.size());

    for (std::size_t n = 0; n <= block.size(); ++n) {
        reset();
        model.registry().registerEntry("bpout_1", "R", "aabbcc", 0, 1);
        const ConfigBlockScan r = scan(std::string_view(block).substr(0, n));
        // Whole only with every record: at most the last record's 0x0D is lost.
        EXPECT_EQ(r.whole(), n + 1 >= block.size()) << n;
        if (n > 0 && n + 1 < block.size()) {
            EXPECT_EQ(r.missingRecords.back(), RecordType::WirelessThermo) << n;
        }
        const Span* cut = nullptr;
        for (const Span& s : spans)
            if (s.start + 1 < n && s.last >= n && !s.checksItsBytes)
                cut = &s;
        if (!cut) {
            EXPECT_TRUE(r.complete) << n;
            continue;
        }
        EXPECT_FALSE(r.complete) << n;
        EXPECT_EQ(r.cutRecordAt, cut->start) << n;
        EXPECT_EQ(r.cutRecordType, static_cast<unsigned char>(block[cut->start])) << n;
    }
    EXPECT_EQ(encodeConfigBlock(model), block);
}

} // namespace
} // namespace t6::test
