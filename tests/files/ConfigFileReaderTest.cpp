#include "FilesFixture.h"

#include <tuple>

namespace t6::test {
namespace {

class ConfigFileReaderTest : public FilesTest {
protected:
    static Bytes zeros(int n) {
        Bytes out;
        for (int i = 0; i < n; ++i)
            out += "0\r\n";
        return out;
    }
    // A zone section whose lines after the message are given.
    static Bytes zone(const std::string& tag, const std::string& messageUtf8,
                      std::initializer_list<std::string> typeActive24, const Bytes& numbers,
                      const Bytes& maskLine) {
        return lines({tag, messageUtf8}) + lines(typeActive24) + numbers + maskLine +
               lines({"//" + tag});
    }
    // A wired sensor's eight lines after its mask.
    static Bytes sensorTail(const std::string& low) {
        return lines({low, "40", "1", "2", "5", "22", "0"});
    }
    PhoneFlags zonePhones(ZoneRef z) const { return model.config().zone(z).phones; }
    static PhoneFlags bits(unsigned b) {
        return {(b & 1) != 0, (b & 2) != 0, (b & 4) != 0, (b & 8) != 0, (b & 16) != 0};
    }
};

TEST_F(ConfigFileReaderTest, BadZoneAndInputModeValuesAreReported) {
    const Bytes file = zone("#01", "Вход", {"x", "1", "1"}, zeros(12), rawLine({0x01})) +
                       zone("#02", "Окно", {"7", "0", "0"}, zeros(12), "\r\n") +
                       zone("#05", "Двор", {"9", "2", "?"}, zeros(12), rawLine({0x03})) +
                       lines({"#20", "Q", "//#20"});
    const ConfigFileLoad r = load(withTrailer(file));
    ASSERT_FALSE(r.error);
    EXPECT_EQ(reportUtf8(r), (std::vector<std::string>{
                                 "#1Уровень Активации :=x",
                                 "#2 Уровень Активации :=7",
                                 "#5 Код Активации :=2",
                                 "#5Уровень Активации :=?",
                                 "#20 - Ошибка формата\r\nКод Активации =Q",
                             }));
    // Zone 1 is active, and activating a zone without an input type picks the first.
    EXPECT_TRUE(flag("CheckBox_in1"));
    EXPECT_EQ(model.config().wiredZones[0].inputType, HighLevel);
    EXPECT_TRUE(flag("CB_ctrl_24_1"));
    EXPECT_EQ(text("Edit1"), "Вход");
    EXPECT_FALSE(flag("CheckBox_in2"));
    EXPECT_EQ(model.config().wiredZones[1].inputType, std::nullopt);
    EXPECT_EQ(zonePhones(wiredZone(2)), PhoneFlags{}) << "an empty mask line clears all five";
    EXPECT_FALSE(flag("CheckBox_bp1")) << "a bad activation clears it";
    EXPECT_EQ(zonePhones(wirelessZone(1)), (PhoneFlags{true, true, false, false, false}));
    EXPECT_EQ(choice("CBox_INPUT"), std::nullopt);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ConfigFileReaderTest, ActionNumbersAreDecodedLikeTheDeviceRecord) {
    // Slots in the order rows 4, 1, 2, 3; each number is taken modulo 256.
    const Bytes numbers =
        lines({"255", "220", "4", "0", "90", "2", "0", "0", "3", "256", "300", "-255"});
    const Bytes file = zone("#03", "Дверь", {"2", "1", "0"}, numbers, rawLine({0x1F})) +
                       zone("#09", "Гараж", {"0", "1", "1"}, zeros(12), rawLine({0x10}));
    ASSERT_FALSE(load(withTrailer(file)).error);
    const ZoneRef z = wiredZone(3);
    const auto& a = model.config().zone(z).actions;
    EXPECT_TRUE(a[3].enabled && a[3].alwaysOn);
    EXPECT_EQ(std::make_tuple(a[3].minutes, a[3].seconds, a[3].output),
              std::make_tuple(0, 1, std::optional<int>(3)));
    EXPECT_TRUE(a[0].enabled && !a[0].alwaysOn);
    EXPECT_EQ(std::make_tuple(a[0].minutes, a[0].seconds, a[0].output),
              std::make_tuple(1, 30, std::optional<int>(1)));
    EXPECT_FALSE(a[1].enabled) << "a zero duration disables the row, whatever its code";
    EXPECT_EQ(a[1].output, 1) << "its code is ignored";
    EXPECT_TRUE(a[2].enabled);
    EXPECT_EQ(std::make_tuple(a[2].minutes, a[2].seconds, a[2].output),
              std::make_tuple(0, 44, std::optional<int>(0)));
    EXPECT_TRUE(model.config().zone(z).outputsEnabled);
    EXPECT_EQ(model.config().wiredZones[2].inputType, NormallyClosed);
    EXPECT_EQ(zonePhones(z), (PhoneFlags{true, true, true, true, true}));

    const ZoneRef w = wirelessZone(5);
    EXPECT_TRUE(flag("CheckBox_bp5"));
    EXPECT_TRUE(flag("CB_ctrl_24_bp5"));
    for (const auto& row : model.config().zone(w).actions)
        EXPECT_FALSE(row.enabled);
    EXPECT_EQ(zonePhones(w), (PhoneFlags{false, false, false, false, true}));
}

// Every value of every raw byte stays in its own field, and the lines after
// it land where they belong.
TEST_F(ConfigFileReaderTest, EveryByteValueInEveryRawPosition) {
    for (unsigned b = 0; b < 256; ++b) {
        SCOPED_TRACE("byte " + std::to_string(b));
        const char c = static_cast<char>(b);
        const Bytes after = lines({"#20", "L", "//#20"});

        ASSERT_FALSE(
            load(withTrailer(zone("#01", "Зона", {"1", "1", "0"}, zeros(12), Bytes(1, c) + "\r\n") +
                             after))
                .error);
        EXPECT_EQ(zonePhones(wiredZone(1)), bits(b));
        EXPECT_EQ(text("Edit1"), "Зона");
        EXPECT_EQ(choice("CBox_INPUT"), 1);

        const bool active = (b & 0x80) != 0;
        ASSERT_FALSE(
            load(withTrailer(lines({"#23"}) + Bytes(1, c) + "\r\n" + sensorTail("-7") +
                             rawLine({0x82}) + sensorTail("33") + lines({"//#23"}) + after))
                .error);
        EXPECT_EQ(flag("CheckBox_td1"), active);
        EXPECT_EQ(model.config().thermoSensors[0].phones, active ? bits(b) : PhoneFlags{});
        EXPECT_EQ(number("SE_min_td1"), -7);
        EXPECT_EQ(number("SE_min_td2"), 33);
        EXPECT_EQ(choice("CBox_INPUT"), 1);

        Bytes wireless =
            lines({"#101"}) + Bytes(1, c) + "\r\n" + sensorTail("-9") + lines({"Имя", "c0de01"});
        for (int n = 2; n <= 6; ++n)
            wireless += zeros(8) + lines({"", ""});
        ASSERT_FALSE(load(withTrailer(wireless + lines({"//#101"}) + after)).error);
        EXPECT_EQ(flag("CheckBox_btd1"), active);
        EXPECT_EQ(model.config().wirelessThermoSensors[0].phones, active ? bits(b) : PhoneFlags{});
        EXPECT_EQ(number("SE_min_btd1"), -9);
        EXPECT_EQ(text("BTD_name1"), "Имя");
        EXPECT_EQ(choice("CBox_INPUT"), 1);

        // The wireless sensors keep their activation through the reset: an
        // active one regulating through the siren would refuse it at arming.
        Bytes noWireless = lines({"#101"});
        for (int n = 1; n <= 6; ++n)
            noWireless += zeros(8) + lines({"", ""});
        noWireless += lines({"//#101"});
        const std::optional<int> position =
            b == 0 ? std::nullopt : std::optional<int>(b <= 4 ? b - 1 : 0);
        ASSERT_FALSE(load(withTrailer(noWireless + lines({"#39", "1", "0", "1"}) + Bytes(1, c) +
                                      "\r\n" + lines({"//#39", "#41", "1", "10101", "//#41"})))
                         .error);
        EXPECT_EQ(flag("Check_on_output_in"), b != 0);
        EXPECT_EQ(choice("CB_on_output_in"), position);
        EXPECT_EQ(model.config().supplyVoltagePhones, (PhoneFlags{true, false, true, false, true}));

        Bytes remotes = noWireless + lines({"#100"});
        for (int k = 1; k <= 10; ++k)
            remotes += lines({"R" + std::to_string(k), ""});
        ASSERT_FALSE(
            load(withTrailer(remotes + Bytes(1, c) + "\r\n" + lines({"77", "1", "//#100"}) + after))
                .error);
        EXPECT_EQ(flag("Check_button4"), b != 0);
        EXPECT_EQ(choice("CB_button4"), position);
        EXPECT_EQ(number("SE_time_button4"), 77);
        EXPECT_TRUE(flag("CB_trigger_button4"));
        EXPECT_EQ(text("RP_Name_10"), "R10");

        // Each of the three code bytes of a wireless output takes every value.
        const Bytes code = bytesOf({static_cast<int>(b), static_cast<int>((b + 1) % 256),
                                    static_cast<int>((b + 2) % 256)});
        Bytes outputs = "#00\r\n2" + ru("Первый") + std::string(4, '\0') + code + "\r\n" + "1" +
                        ru("Второй") + std::string(4, '\0') + bytesOf({1, 2, 3}) + "\r\n";
        for (int n = 3; n <= 16; ++n)
            outputs += "0" + std::string(13, '\0') + "\r\n";
        ASSERT_FALSE(load(withTrailer(outputs + lines({"//#01"}) + after)).error);
        EXPECT_EQ(text("b_out1_kod"), hexForm(code));
        EXPECT_EQ(text("b_out1_name"), "Первый");
        EXPECT_EQ(text("b_out2_name"), "Второй");
        EXPECT_EQ(text("b_out2_kod"), "010203");
        EXPECT_EQ(choice("CBox_INPUT"), 1);

        // The writer puts them there and reads them back.
        model.setOutputCode(3, hexForm(code));
        model.setOutputName(3, "Third");
        ASSERT_FALSE(load(saved()).error);
        EXPECT_EQ(text("b_out3_kod"), hexForm(code));
        EXPECT_EQ(text("b_out3_name"), "Third");
        EXPECT_EQ(text("b_out2_name"), "Второй");
    }
}

// The raw positions of the sections the test above leaves out: the masks of
// the wireless zones, the second wired sensor's mask and the name bytes of a
// wireless output.
TEST_F(ConfigFileReaderTest, EveryByteValueInTheOtherRawPositions) {
    for (unsigned b = 0; b < 256; ++b) {
        SCOPED_TRACE("byte " + std::to_string(b));
        const char c = static_cast<char>(b);
        Bytes zones;
        for (int k = 1; k <= 6; ++k)
            zones +=
                zone(std::string(k < 6 ? "#0" : "#") + std::to_string(4 + k), "W", {"0", "1", "0"},
                     zeros(12), Bytes(1, static_cast<char>((b + k) % 256)) + "\r\n");
        const Bytes sensors = lines({"#23"}) + rawLine({0x82}) + sensorTail("-7") + Bytes(1, c) +
                              "\r\n" + sensorTail("33") + lines({"//#23"});
        Bytes name;
        for (unsigned i = 0; i < 10; ++i)
            name.push_back(static_cast<char>((b + i) % 256));
        Bytes outputs = "#00\r\n1" + name + bytesOf({1, 2, 3}) + "\r\n";
        for (int n = 2; n <= 16; ++n)
            outputs += "0" + std::string(13, '\0') + "\r\n";
        outputs += lines({"//#01"});

        ASSERT_FALSE(
            load(withTrailer(zones + sensors + outputs + lines({"#20", "L", "//#20"}))).error);
        for (int k = 1; k <= 6; ++k) {
            EXPECT_TRUE(model.config().zone(wirelessZone(k)).active) << "zone " << k;
            EXPECT_EQ(zonePhones(wirelessZone(k)), bits((b + k) % 256)) << "zone " << k;
        }
        const bool active = (b & 0x80) != 0;
        EXPECT_EQ(flag("CheckBox_td2"), active);
        EXPECT_EQ(model.config().thermoSensors[1].phones, active ? bits(b) : PhoneFlags{});
        EXPECT_EQ(model.config().thermoSensors[0].phones, bits(0x02));
        EXPECT_EQ(number("SE_min_td2"), 33);
        EXPECT_EQ(model.config().wirelessOutputs[0].name, name.substr(0, name.find('\0')));
        EXPECT_EQ(text("b_out1_kod"), "010203");
        EXPECT_EQ(choice("CBox_INPUT"), 1);
    }
}

struct Malformed {
    const char* what;
    Bytes tail; // after three good lines
    int line;
    int section;
    ConfigFileFault fault;
};

TEST_F(ConfigFileReaderTest, AMalformedFileNamesTheLineAndChangesNothing) {
    using F = ConfigFileFault;
    Bytes remotes = lines({"#100"});
    for (int k = 1; k <= 20; ++k)
        remotes += "x\r\n";
    const std::vector<Malformed> cases = {
        {"empty top-level line", "\r\n", 4, -1, F::EmptyLine},
        {"section number", lines({"#x1"}), 4, -1, F::NotANumber},
        {"bare #", lines({"#"}), 4, -1, F::NotANumber},
        {"action number", lines({"#01", "m", "1", "1", "0", "0", "zero"}), 10, 1, F::NotANumber},
        {"output position", lines({"#23", "0", "1", "1", "0", "one"}), 9, 23, F::NotANumber},
        {"short #21", lines({"#21", "0101", "00000"}), 5, 21, F::ShortFlagLine},
        {"short #36", lines({"#36", "1", "2", "000000000"}), 7, 36, F::ShortFlagLine},
        {"short #41", lines({"#41", "1", "0000"}), 6, 41, F::ShortFlagLine},
        {"empty #41", lines({"#41", "", "00000"}), 5, 41, F::EmptyLine},
        {"empty #44", lines({"#44", ""}), 5, 44, F::EmptyLine},
        {"empty #00 line", lines({"#00", ""}), 5, 0, F::EmptyLine},
        {"empty #23 mask", lines({"#23", ""}), 5, 23, F::EmptyLine},
        {"empty #101 mask", lines({"#101", ""}), 5, 101, F::EmptyLine},
        {"empty #39 byte", lines({"#39", "1", "1", "1", ""}), 8, 39, F::EmptyLine},
        {"empty #100 byte", remotes + "\r\n", 25, 100, F::EmptyLine},
        {"cut after a line", lines({"#99", "5"}), 6, 99, F::EndsTooEarly},
        {"cut inside a line", lines({"#99", "5"}) + "1", 6, 99, F::EndsTooEarly},
        {"cut after the tag", "#28", 5, 28, F::EndsTooEarly},
    };
    tick("CheckBox_in3");
    type("Edit3", "Склад");
    model.setArmedIndicator(1);
    const Bytes before = saved();
    const auto memo = logs.memoLines().size();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ConfigFileLoad r = load(lines({"#37", "2", "//#37"}) + c.tail);
        ASSERT_TRUE(r.error);
        EXPECT_EQ(r.error->line, c.line);
        EXPECT_EQ(r.error->section, c.section);
        EXPECT_EQ(r.error->fault, c.fault);
        EXPECT_TRUE(r.reportLines.empty());
        EXPECT_EQ(saved(), before);
    }
    EXPECT_EQ(logs.memoLines().size(), memo);
    EXPECT_TRUE(prompts.shown.empty());
}

// Cut anywhere inside a section, a file is refused and nothing changes; cut
// between sections it reads as a file without the sections that follow.
TEST_F(ConfigFileReaderTest, AFileCutAtAnyPoint) {
    useOutput(1, WirelessRelay, "Свет", "112233");
    tick("CheckBox_in1");
    tick("CheckBox_bp2");
    tick("CheckBox_td2");
    tick("CheckBox_btd3");
    model.setSensorName(3, "T3");
    const Bytes full = saved();
    // Where each section's lines run: from its tag to its closing line.
    std::vector<std::pair<std::size_t, std::size_t>> inside;
    std::vector<std::size_t> between;
    for (std::size_t at = 0; at < full.size();) {
        const std::size_t end = full.find("\r\n", at);
        ASSERT_NE(end, Bytes::npos) << "no raw line end in this configuration";
        if (full[at] == '#' && full.compare(at, 4, "#102") != 0) {
            between.push_back(at);
            inside.push_back({at + 1, full.find("\r\n//#", at) + 2});
        }
        at = end + 2;
    }
    Bytes before = full;
    for (std::size_t k = 0; k <= full.size(); ++k) {
        const ConfigFileLoad r = load(full.substr(0, k));
        bool cut = false;
        for (auto [from, to] : inside)
            cut = cut || (k >= from && k < to);
        if (cut) {
            ASSERT_TRUE(r.error) << "cut at " << k;
        }
        if (r.error) {
            ASSERT_EQ(saved(), before) << "cut at " << k;
            continue;
        }
        ASSERT_FALSE(load(full).error);
        before = saved();
    }
    // Cut before its first section, it holds none and is refused.
    for (std::size_t k : between)
        EXPECT_EQ(load(full.substr(0, k)).error.has_value(), k == 0) << "cut at " << k;
    EXPECT_EQ(saved(), full);
}

TEST_F(ConfigFileReaderTest, SectionsInAnyOrderAndUnknownOnesSkipped) {
    const Bytes numbers = lines({"0", "0", "0", "0", "5", "5", "0", "0", "0", "0", "0", "0"});
    const Bytes outputs = [] {
        Bytes o = "#00\r\n1A" + std::string(9, '\0') + bytesOf({0, 0, 1}) + "\r\n";
        for (int n = 2; n <= 16; ++n)
            o += "0" + std::string(13, '\0') + "\r\n";
        return o + "//#01\r\n";
    }();
    const Bytes zone1 = zone("#01", "m", {"1", "1", "0"}, numbers, rawLine({1}));
    const Bytes junk = lines({"#45", "1", "//#45", "free text", "#22", "Q", "//#22", "#150", "x",
                              "#102", "//#102", "#37", "2", "//#37", "#-3", "y"});

    // The outputs after the zones: the zone's wireless code finds no output yet.
    ASSERT_FALSE(load(withTrailer(junk + zone1 + outputs)).error);
    EXPECT_EQ(choice("RG_OUT1S_1"), 0);
    EXPECT_EQ(choice("RG_Lang"), 1);
    EXPECT_EQ(choice("RadioGroup1"), 1);
    EXPECT_TRUE(flag("cb_bout1"));

    ASSERT_FALSE(load(withTrailer(outputs + zone1 + junk)).error);
    EXPECT_EQ(shownChoice("RG_OUT1S_1"), "A");
}

TEST_F(ConfigFileReaderTest, SensorsSavedInactiveStayInactiveWithoutTelephones) {
    // Wireless sensor 3 is active in the window, with telephones, before the load.
    tick("CheckBox_btd3");
    model.setSensorPhone(wirelessSensor(3), 2, true);
    model.setSensorName(3, "Old");
    Bytes wireless = lines({"#101"});
    for (int n = 1; n <= 6; ++n) {
        if (n == 4)
            wireless += rawLine({0x81}) + sensorTail("12") + lines({"Кухня", "abc123"});
        else
            wireless += zeros(8) + lines({"", ""});
    }
    const Bytes file = lines({"#23"}) + zeros(8) + rawLine({0x81}) + sensorTail("9") +
                       lines({"//#23"}) + wireless + lines({"//#101"});
    ASSERT_FALSE(load(withTrailer(file)).error);
    EXPECT_FALSE(flag("CheckBox_td1"));
    EXPECT_FALSE(flag("CB_td1_tel5")) << "the filler \"0\" is no telephone mask";
    EXPECT_EQ(number("SE_min_td1"), 1) << "0 becomes 1";
    EXPECT_TRUE(flag("CheckBox_td2"));
    EXPECT_FALSE(flag("CheckBox_btd3"));
    EXPECT_EQ(model.config().wirelessThermoSensors[2].phones, PhoneFlags{});
    EXPECT_EQ(text("BTD_name3"), "");
    EXPECT_EQ(model.registry().find("btd3"), nullptr) << "an empty name registers nothing";
    EXPECT_TRUE(flag("CheckBox_btd4"));
    EXPECT_EQ(number("SE_min_btd4"), 12);
    ASSERT_NE(model.registry().find("btd4"), nullptr);
    EXPECT_EQ(cp1251ToUtf8(model.registry().find("btd4")->name), "Кухня");
}

// The reset keeps the wireless sensors and moves their outputs to the siren;
// the ones the window showed take no part in the arming check of the file.
TEST_F(ConfigFileReaderTest, TheWindowsWirelessSensorsDoNotRefuseTheFilesArmingOutput) {
    tick("Check_on_output_in"); // the siren
    const Bytes file = saved();
    tick("Check_on_output_in", false);
    tick("CheckBox_btd2");
    tick("CheckBox_btd21");
    model.chooseSensorOutput(wirelessSensor(2), 2); // the reset moves it to the siren
    prompts.clear();
    ASSERT_FALSE(load(file).error);
    EXPECT_TRUE(flag("Check_on_output_in"));
    EXPECT_EQ(shownChoice("CB_on_output_in"), "Сирена (OUT1)");
    EXPECT_FALSE(flag("CheckBox_btd2"));
    EXPECT_TRUE(prompts.shown.empty()) << prompts.lastUtf8();
}

TEST_F(ConfigFileReaderTest, WirelessOutputsAreRegisteredAsRead) {
    Bytes outputs = "#00\r\n";
    outputs += "4" + ru("Реле") + std::string(6, '\0') + bytesOf({0xAB, 0xCD, 0xEF}) + "\r\n";
    outputs += "1" + std::string("Lamp") + std::string(6, '\0') + bytesOf({0, 0, 0}) + "\r\n";
    outputs += "9Odd" + std::string(7, '\0') + bytesOf({1, 2, 3}) + "\r\n";
    outputs += "0Idle" + std::string(6, '\0') + bytesOf({4, 5, 6}) + "\r\n";
    outputs += "2Short" + std::string(5, '\0') + bytesOf({0, 0, 0}) + "\r\n";
    for (int n = 6; n <= 16; ++n)
        outputs += "0" + std::string(13, '\0') + "\r\n";
    ASSERT_FALSE(load(withTrailer(outputs + lines({"//#01"}))).error);
    const std::vector<std::string> items = model.items(id("CB_td1_out"));
    ASSERT_EQ(items.size(), 10u);
    EXPECT_EQ(cp1251ToUtf8(items[4]), "Реле канал1");
    EXPECT_EQ(cp1251ToUtf8(items[7]), "Реле канал4");
    EXPECT_EQ(cp1251ToUtf8(items[8]), "Lamp");
    EXPECT_EQ(cp1251ToUtf8(items[9]), "Short");
    EXPECT_EQ(text("b_out1_kod"), "abcdef");
    EXPECT_EQ(choice("b_out1_type"), FourChannelRelay);
    // "000000" is no code: a used output gets a new one, which is the one registered.
    const std::string lamp = model.config().wirelessOutputs[1].code;
    EXPECT_EQ(lamp.size(), 6u);
    EXPECT_NE(lamp, "000000");
    EXPECT_EQ(model.registry().find("bpout_2")->code, lamp.substr(0, 5));
    EXPECT_FALSE(flag("cb_bout3")) << "an unknown type byte changes nothing";
    EXPECT_EQ(text("b_out3_name"), "Odd");
    EXPECT_FALSE(flag("cb_bout4"));
    EXPECT_EQ(text("b_out4_kod"), "040506");
    EXPECT_EQ(model.registry().find("bpout_4"), nullptr);
    EXPECT_TRUE(flag("cb_bout5"));
    EXPECT_EQ(choice("b_out5_type"), WirelessSiren);
}

TEST_F(ConfigFileReaderTest, GeneralSectionsRead) {
    const Bytes file =
        lines({"#11",    "79161234567", "//#11",    "#12",     "",      "//#12", "#21",
               "10000x", "010111",      "//#21",    "#36",     "",      "250",   "1000000001",
               "//#36",  "#28",         "01.02.26", "7:08:09", "//#28", "#38",   "1",
               "//#38",  "#39",         "1",        "x",       "1"}) +
        rawLine({0x03}) + lines({"//#39", "#41", "1x", "01000", "//#41", "#42", "1abc",
                                 "//#42", "#43", "0",  "//#43", "#44",   "?",   "//#44",
                                 "#99",   "",    "7",  "//#99", "#20",   "T",   "//#20"});
    tick("CB_Alarm_Ring");
    ASSERT_FALSE(load(withTrailer(file)).error);
    EXPECT_EQ(text("ME_tel1"), "+79161234567");
    EXPECT_EQ(text("ME_tel2"), "+");
    EXPECT_EQ(model.config().smsOnArming, (PhoneFlags{true, false, false, false, false}));
    EXPECT_EQ(model.config().smsOnDisarming, (PhoneFlags{false, true, false, true, true}));
    EXPECT_EQ(number("SE_inp"), 0) << "an empty delay is 0";
    EXPECT_EQ(number("SE_out"), 250);
    EXPECT_TRUE(flag("CB_delay1"));
    EXPECT_TRUE(flag("CB_delay_bp6"));
    EXPECT_FALSE(flag("CB_delay2"));
    EXPECT_FALSE(flag("CheckBox4")) << "the date and time no longer follow the computer";
    EXPECT_EQ(text("Edit_Date"), "01.02.26");
    EXPECT_EQ(text("Edit_time"), "7:08:09");
    EXPECT_TRUE(flag("CheckBox_Audio"));
    EXPECT_TRUE(flag("CB_vnesh_IBP"));
    EXPECT_FALSE(flag("CB_mic_dinam")) << "\"x\" leaves the reset value";
    EXPECT_TRUE(flag("CB_sms_sost"));
    EXPECT_TRUE(flag("Check_on_output_in"));
    EXPECT_EQ(shownChoice("CB_on_output_in"), "Реле 1(Relay1)");
    EXPECT_TRUE(flag("CB_Ctrl_Volt")) << "#41 looks at the first character";
    EXPECT_EQ(model.config().supplyVoltagePhones, (PhoneFlags{false, true, false, false, false}));
    EXPECT_TRUE(flag("CB_Time_SMS"));
    EXPECT_FALSE(flag("CB_Alarm_SMS"));
    EXPECT_FALSE(flag("CB_Alarm_Ring")) << "the reset value stays";
    EXPECT_EQ(number("SE_volume_microfon"), 0);
    EXPECT_EQ(number("SE_Volume_dinamik"), 7);
    EXPECT_EQ(choice("CBox_INPUT"), std::nullopt) << "the list has no fourth method";
}

TEST_F(ConfigFileReaderTest, LineEndsAndControlBytesInTexts) {
    tick("CheckBox_in2");
    model.setZoneMessage(wiredZone(2), "a\nb\rc\x1A"
                                       "d\r");
    model.setRemoteName(3, std::string("x\x1Ay"));
    model.setZonePhone(wiredZone(2), 5, true); // a mask of 0x11, no line end in it
    const Bytes crlf = saved();
    ASSERT_FALSE(load(crlf).error);
    EXPECT_EQ(model.config().zone(wiredZone(2)).message, "a\nb\rc\x1A"
                                                         "d\r");
    EXPECT_EQ(saved(), crlf);

    // A file whose line ends were converted to LF reads the same, a raw CR
    // just before a line end included (the mask 0x0D of telephones 1, 3 and 4).
    model.setZoneMessage(wiredZone(2), "plain");
    for (int t : {1, 3, 4})
        model.setZonePhone(wiredZone(1), t, true);
    tick("CheckBox_in1");
    const Bytes original = saved();
    ASSERT_NE(original.find("\r\r\n"), Bytes::npos);
    Bytes lf;
    for (std::size_t at = 0; at < original.size(); ++at) {
        if (original.compare(at, 2, "\r\n") == 0)
            ++at;
        lf.push_back(original[at]);
    }
    ASSERT_FALSE(load(lf).error);
    EXPECT_EQ(saved(), original);
}

// The format cannot hold a line break inside a text line: the writer puts
// blanks for it, and the lines after it stay in their places.
TEST_F(ConfigFileReaderTest, ALineBreakInATextIsSavedAsBlanks) {
    model.setRemoteName(3, "a\r\nb");
    model.setRemoteCode(3, "12\r\n");
    model.setRemoteName(4, "next");
    tick("CheckBox_in2");
    model.setZoneMessage(wiredZone(2), "\r\nzone\r\r\n");
    tick("CheckBox_btd2");
    model.setSensorName(2, "t\r\n");
    const Bytes first = saved();
    ASSERT_FALSE(load(first).error);
    EXPECT_EQ(model.config().remoteControls[2].name, "a  b");
    EXPECT_EQ(model.config().remoteControls[2].code, "12  ");
    EXPECT_EQ(model.config().remoteControls[3].name, "next");
    EXPECT_EQ(model.config().zone(wiredZone(2)).message, "  zone\r  ");
    EXPECT_EQ(model.config().wirelessThermoSensors[1].name, "t  ");
    EXPECT_TRUE(flag("CheckBox_btd2"));
    EXPECT_EQ(saved(), first);
}

// A file that holds no section of the configuration is no configuration file:
// it is refused and the window keeps what it showed.
TEST_F(ConfigFileReaderTest, AFileWithoutSectionsIsRefused) {
    tick("CheckBox_in1");
    type("Edit1", "Вход");
    const Bytes before = saved();
    std::mt19937 gen(20260504);
    Bytes noise;
    for (int i = 0; i < 4096; ++i)
        noise.push_back(static_cast<char>(gen() & 0xFF));
    const std::vector<std::pair<const char*, Bytes>> files = {
        {"empty", ""},
        {"text", "hello world\r\n"},
        {"text without a line end", "hello world"},
        {"only the trailer", withTrailer("")},
        {"only sections this program does not know", lines({"#102", "//#102", "#22", "x"})},
        {"random bytes", noise},
    };
    for (const auto& [what, file] : files) {
        SCOPED_TRACE(what);
        const ConfigFileLoad r = load(file);
        ASSERT_TRUE(r.error);
        if (std::string_view(what) != "random bytes") {
            EXPECT_EQ(r.error->fault, ConfigFileFault::NoSections);
            EXPECT_EQ(r.error->line, 0);
        }
        EXPECT_TRUE(r.reportLines.empty());
        EXPECT_EQ(saved(), before);
    }
    EXPECT_TRUE(prompts.shown.empty());
}

} // namespace
} // namespace t6::test

namespace t6::test {
namespace {

TEST_F(ConfigFileReaderTest, SupplyVoltageTelephonesOfAnEarlierFileDoNotSurviveTheNextLoad) {
    // The first file has the report off and all five telephones ticked.
    ASSERT_FALSE(load(withTrailer(lines({"#41", "0", "11111", "//#41"}))).error);
    // The next file says nothing of the supply voltage: the reset leaves
    // every telephone off, so a write cannot send the mask 0x1F ("report on").
    ASSERT_FALSE(load(withTrailer(lines({"#42", "1", "//#42"}))).error);
    for (int t = 1; t <= 5; ++t)
        EXPECT_FALSE(flag("CB_Ctrl_Volt_" + std::to_string(t))) << t;
    EXPECT_EQ(sectionOf(saved(), "#41", "//#41"), lines({"0", "00000"}));
}

} // namespace
} // namespace t6::test
