#include "FilesFixture.h"

#include "config/PhoneMask.h"

namespace t6::test {
namespace {

constexpr int Out2 = 1;
constexpr int Relay1 = 2;
constexpr int Relay2 = 3;

class ConfigFileWriterTest : public FilesTest {};

TEST_F(ConfigFileWriterTest, TheWholeFileOfAResetConfiguration) {
    model.resetConfig();
    Bytes expected = "#00\r\n";
    for (int n = 1; n <= 16; ++n)
        expected += "0" + std::string(13, '\0') + "\r\n";
    expected += lines({"//#01"});
    for (int t = 1; t <= 5; ++t)
        expected += lines({"#1" + std::to_string(t), "7", "//#1" + std::to_string(t)});
    expected +=
        lines({"#20",   "",           "//#20", "#21",   "00000", "00000", "//#21", "#36", "0",
               "0",     "0000000000", "//#36", "#28",   "",      "",      "//#28", "#37", "0",
               "//#37", "#38",        "0",     "//#38", "#39",   "0",     "0",     "0"});
    expected += rawLine({0x00});
    expected += lines({"//#39", "#41", "0",     "00000", "//#41", "#42",   "0",   "//#42",
                       "#43",   "0",   "//#43", "#44",   "0",     "//#44", "#45", "0",
                       "//#45", "#99", "1",     "9",     "//#99", "#100"});
    for (int k = 1; k <= 10; ++k)
        expected += lines({"Пульт " + std::to_string(k), ""});
    expected += rawLine({0x00});
    expected += lines({"1", "0", "//#100", "#101"});
    for (int n = 1; n <= 6; ++n)
        expected += lines({"0", "0", "0", "0", "0", "0", "0", "0", "", ""});
    expected += lines(
        {"//#101", "#102", "//#102", "@message", "Дата сеанса:09.12.26", "Время сеанса:10:20:30"});
    EXPECT_EQ(hexForm(saved()), hexForm(expected));
}

TEST_F(ConfigFileWriterTest, WirelessOutputLinesHoldFourteenBytes) {
    useOutput(1, WirelessSiren, "Сирена", "0A1B2C");
    useOutput(3, FourChannelRelay, "Реле LR4", "FFFEFD");
    model.setOutputName(4, ru("Имя_из_11сим")); // longer than the field takes
    model.setOutputCode(4, "0D0A1A");
    const Bytes s = sectionOf(saved(), "#00", "//#01");
    std::vector<Bytes> expected(16, "0" + std::string(13, '\0') + "\r\n");
    expected[0] = "2" + ru("Сирена") + std::string(4, '\0') + bytesOf({0x0A, 0x1B, 0x2C}) + "\r\n";
    expected[2] =
        "4" + ru("Реле LR4") + std::string(2, '\0') + bytesOf({0xFF, 0xFE, 0xFD}) + "\r\n";
    expected[3] = "0" + ru("Имя_из_11с") + bytesOf({0x0D, 0x0A, 0x1A}) + "\r\n";
    Bytes all;
    for (const auto& l : expected)
        all += l;
    EXPECT_EQ(hexForm(s), hexForm(all));
}

TEST_F(ConfigFileWriterTest, ZoneSectionsAndTheirActionNumbers) {
    tick("CheckBox_in2");
    type("Edit2", "Окно");
    model.setZoneInputType(2, NormallyOpen);
    tick("CB_ctrl_24_2");
    const ZoneRef z = wiredZone(2);
    model.setRowEnabled(z, 4, true); // always on, relay 2
    model.setRowAlwaysOn(z, 4, true);
    model.setRowMinutes(z, 4, 7);
    model.chooseRowOutput(z, 4, Relay2);
    model.setRowEnabled(z, 1, true); // 1 min 30 s on OUT2
    model.setRowMinutes(z, 1, 1);
    model.setRowSeconds(z, 1, 30);
    model.chooseRowOutput(z, 1, Out2);
    model.setRowEnabled(z, 2, true); // 0 min 0 s on relay 1
    model.setRowSeconds(z, 2, 0);
    model.chooseRowOutput(z, 2, Relay1);
    model.setRowEnabled(z, 3, true); // 500 min 59 s: 30059 = 117 * 256 + 107
    model.setRowMinutes(z, 3, 500);
    model.setRowSeconds(z, 3, 59);
    model.setZonePhone(z, 1, false);
    model.setZonePhone(z, 2, true);
    model.setZonePhone(z, 4, true); // the mask is 0x0A, a line feed
    const Bytes f = saved();
    EXPECT_EQ(hexForm(sectionOf(f, "#02", "//#02")),
              hexForm(lines({"Окно", "3", "1", "1", "255", "220", "4", "0", "90", "2", "0", "0",
                             "3", "117", "107", "3"}) +
                      rawLine({0x0A})));
    EXPECT_FALSE(hasSection(f, "#01"));
    EXPECT_FALSE(hasSection(f, "#05"));

    // Outputs not in use give twelve zeros.
    model.setZoneOutputsEnabled(z, false);
    EXPECT_EQ(sectionOf(saved(), "#02", "//#02"), lines({"Окно", "3", "1", "1", "0", "0", "0", "0",
                                                         "0", "0", "0", "0", "0", "0", "0", "0"}) +
                                                      rawLine({0x0A}));
}

TEST_F(ConfigFileWriterTest, MessagesAreCutAtTwentyFiveForZoneOneOnly) {
    const std::string text45(45, 'x');
    for (const char* box : {"CheckBox_in1", "CheckBox_in3", "CheckBox_bp6"})
        tick(box);
    model.setZoneMessage(wiredZone(1), text45);
    model.setZoneMessage(wiredZone(3), text45);
    model.setZoneMessage(wirelessZone(6), text45);
    model.setZonePhone(wirelessZone(6), 5, true);
    const Bytes f = saved();
    EXPECT_EQ(sectionOf(f, "#01", "//#01").substr(0, 28), std::string(25, 'x') + "\r\n1");
    EXPECT_EQ(sectionOf(f, "#03", "//#03").substr(0, 43), std::string(40, 'x') + "\r\n1");
    EXPECT_EQ(sectionOf(f, "#10", "//#10"), std::string(40, 'x') + "\r\n" +
                                                lines({"0", "1", "0", "0", "0", "0", "0", "0", "0",
                                                       "0", "0", "0", "0", "0", "0"}) +
                                                rawLine({0x11}));
}

TEST_F(ConfigFileWriterTest, WiredSensorsWithSensorOneInactive) {
    EXPECT_FALSE(hasSection(saved(), "#23")) << "no active wired sensor, no section";
    const SensorRef s = wiredSensor(2);
    tick("CheckBox_td2");
    model.setLowAlarm(s, -10);
    model.setHighAlarm(s, 40);
    tick("CheckBox_td21");
    model.chooseSensorOutput(s, Relay1);
    model.setEconomyTemp(s, 5);
    model.setComfortTemp(s, 22);
    tick("CheckBox_td2_auto");
    model.setSensorPhone(s, 1, true);
    model.setSensorPhone(s, 3, true);
    tick("CheckBox_td1", false);
    EXPECT_EQ(hexForm(sectionOf(saved(), "#23", "//#23")),
              hexForm(lines({"0", "0", "0", "0", "0", "0", "0", "0"}) + rawLine({0x85}) +
                      lines({"-10", "40", "1", "2", "5", "22", "1"})));

    // No output chosen is written as -1; the mask holds no telephone but the activation.
    model.setSensorOutput(s, std::nullopt);
    for (int t = 1; t <= 5; ++t)
        model.setSensorPhone(s, t, false);
    EXPECT_EQ(hexForm(sectionOf(saved(), "#23", "//#23").substr(24)),
              hexForm(rawLine({0x80}) + lines({"-10", "40", "1", "-1", "5", "22", "1"})));
    // The activation bit comes from building the mask as a file is saved: the
    // same builder outside that mode leaves it clear.
    model.setSensorPhone(s, 3, true);
    EXPECT_EQ(hexForm(tel_parameters_all(model.config(), "td2", ModelContext::Editing)), "04");
    EXPECT_EQ(hexForm(sectionOf(saved(), "#23", "//#23").substr(24, 1)), "84");
}

TEST_F(ConfigFileWriterTest, WirelessSensorsWriteNameAndCodeActiveOrNot) {
    const SensorRef s = wirelessSensor(2);
    model.setSensorName(1, ru("Спальня"));
    model.setSensorCode(1, "abc123");
    tick("CheckBox_btd2");
    model.setSensorName(2, ru("Кухня"));
    model.setSensorCode(2, "0d0a1a");
    model.setLowAlarm(s, -55);
    model.setHighAlarm(s, 125);
    model.setSensorPhone(s, 5, true);
    const Bytes sect = sectionOf(saved(), "#101", "//#101");
    // An inactive sensor keeps its name and code: the device holds them.
    const Bytes inactive = lines({"0", "0", "0", "0", "0", "0", "0", "0", "Спальня", "abc123"});
    EXPECT_EQ(sect.substr(0, inactive.size()), inactive);
    const Bytes active =
        rawLine({0x90}) + lines({"-55", "125", "0", "0", "1", "1", "0", "Кухня", "0d0a1a"});
    EXPECT_EQ(hexForm(sect.substr(inactive.size(), active.size())), hexForm(active));
}

TEST_F(ConfigFileWriterTest, GeneralSections) {
    type("ME_tel2", "+79161234567");
    model.setArmingMethod(0);
    model.setSmsOnArming(2, true);
    model.setSmsOnDisarming(5, true);
    model.setArmingDelay(120);
    tick("CheckBox_in4");
    tick("CheckBox_bp1");
    model.setEntryDelay(wiredZone(4), true);
    model.setEntryDelay(wirelessZone(1), true);
    model.setDeviceDate("01.02.26");
    model.setDeviceTime("7:08:09");
    model.setArmedIndicator(1);
    tick("CheckBox_Audio");
    tick("CB_vnesh_IBP");
    model.setSupplyVoltagePhone(3, true);
    tick("CB_Time_SMS", false);
    model.setMessageLanguage(1);
    model.setSpeakerVolume(10);
    const Bytes f = saved();
    EXPECT_EQ(sectionOf(f, "#12", "//#12"), lines({"79161234567"}));
    EXPECT_EQ(sectionOf(f, "#20", "//#20"), lines({"H"}));
    EXPECT_EQ(sectionOf(f, "#21", "//#21"), lines({"01000", "00001"}));
    EXPECT_EQ(sectionOf(f, "#36", "//#36"), lines({"120", "0", "0001100000"}));
    EXPECT_EQ(sectionOf(f, "#28", "//#28"), lines({"01.02.26", "7:08:09"}));
    EXPECT_EQ(sectionOf(f, "#37", "//#37"), lines({"2"}));
    EXPECT_EQ(sectionOf(f, "#38", "//#38"), lines({"1"}));
    EXPECT_EQ(sectionOf(f, "#41", "//#41"), lines({"1", "10100"}));
    EXPECT_EQ(sectionOf(f, "#42", "//#42"), lines({"0"}));
    EXPECT_EQ(sectionOf(f, "#43", "//#43"), lines({"1"}));
    EXPECT_EQ(sectionOf(f, "#45", "//#45"), lines({"1"}));
    EXPECT_EQ(sectionOf(f, "#99", "//#99"), lines({"1", "10"}));
    EXPECT_EQ(sectionOf(f, "#102", "//#102"), "");

    // No selection is written as a value the reader leaves alone.
    model.setArmingMethod(std::nullopt);
    model.setArmedIndicator(std::nullopt);
    model.setMessageLanguage(std::nullopt);
    const Bytes g = saved();
    EXPECT_EQ(sectionOf(g, "#20", "//#20"), lines({""}));
    EXPECT_EQ(sectionOf(g, "#37", "//#37"), lines({"0"}));
    EXPECT_EQ(sectionOf(g, "#45", "//#45"), lines({"0"}));
}

TEST_F(ConfigFileWriterTest, ArmingAndButtonOutputsAreRawCodes) {
    for (int n = 1; n <= 9; ++n)
        useOutput(n, WirelessRelay, "W" + std::to_string(n), "00000" + std::to_string(n));
    const int output6 = 4 + 5, output9 = 4 + 8; // list positions
    model.setArmingOutput(output6);
    tick("Check_on_output_in");
    model.setButton4Output(output9);
    tick("Check_button4");
    model.setRemoteCode(1, "a1b2c3");
    const Bytes f = saved();
    EXPECT_EQ(hexForm(sectionOf(f, "#39", "//#39")),
              hexForm(lines({"0", "1", "1"}) + rawLine({0x0A})));
    const Bytes remotes = sectionOf(f, "#100", "//#100");
    EXPECT_EQ(remotes.substr(0, ru("Пульт 1").size() + 10), lines({"Пульт 1", "a1b2c3"}));
    EXPECT_EQ(hexForm(remotes.substr(remotes.size() - 9)),
              hexForm(rawLine({0x0D}) + lines({"1", "0"})));

    tick("Check_button4", false);
    const Bytes off = sectionOf(saved(), "#100", "//#100");
    EXPECT_EQ(hexForm(off.substr(off.size() - 9)), hexForm(rawLine({0x00}) + lines({"1", "0"})));
}

TEST_F(ConfigFileWriterTest, TwoSavesDifferOnlyInTheTrailer) {
    tick("CheckBox_in4");
    const Bytes first = saved();
    clock.advance(3'723'000); // 1 h 2 min 3 s
    const Bytes second = saved();
    const std::size_t trailer = first.find("@message\r\n");
    ASSERT_NE(trailer, Bytes::npos);
    EXPECT_EQ(first.substr(0, trailer), second.substr(0, trailer));
    EXPECT_EQ(cp1251ToUtf8(second.substr(trailer)),
              "@message\r\nДата сеанса:09.12.26\r\nВремя сеанса:11:22:33\r\n");
}

// The reader builds its output list from the used outputs in their numbers'
// order, so a sensor's output position is written as it will be there.
TEST_F(ConfigFileWriterTest, SensorOutputPositionIsTheOneTheReaderWillSee) {
    useOutput(3, WirelessRelay, "Третий", "000003");
    useOutput(1, FourChannelRelay, "Первый", "000001");
    ASSERT_EQ(model.choiceList().items().size(), 9u);
    EXPECT_EQ(shownChoice("CB_td1_out"), "Сирена (OUT1)");
    tick("CheckBox_td1");
    tick("CheckBox_td11");
    model.chooseSensorOutput(wiredSensor(1), 6); // "Первый канал2" here, position 5 after loading
    ASSERT_EQ(shownChoice("CB_td1_out"), "Первый канал2");
    tick("CheckBox_btd1");
    model.chooseSensorOutput(wirelessSensor(1), 4); // "Третий" here, position 8 after loading
    const Bytes f = saved();
    EXPECT_EQ(sectionOf(f, "#23", "//#23").substr(12, 3), "5\r\n");
    EXPECT_EQ(sectionOf(f, "#101", "//#101").substr(12, 3), "8\r\n");

    ASSERT_FALSE(load(f).error);
    EXPECT_EQ(shownChoice("CB_td1_out"), "Первый канал2");
    EXPECT_EQ(shownChoice("CB_btd1_out"), "Третий");
}

} // namespace
} // namespace t6::test
