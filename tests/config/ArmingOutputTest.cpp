#include "ModelFixture.h"

namespace t6::test {
namespace {

constexpr int Out2 = 1;
constexpr int Relay1 = 2;

class ArmingOutputTest : public ModelTest {};

TEST_F(ArmingOutputTest, ArmingOutputUsedByATickedRowIsRefused) {
    tick("CheckBox_in3");
    tick("RG_OUT32");
    choose("RG_OUT32_2", Relay1);
    model.setArmingOutput(Relay1);
    tick("Check_on_output_in");
    EXPECT_EQ(messages(),
              std::vector<std::string>{"Выход используется: \r\nвыход3 \r\n\r\nВыбор запрещен"});
    EXPECT_EQ(choice("CB_on_output_in"), std::nullopt);
    EXPECT_FALSE(flag("Check_on_output_in"));
    EXPECT_FALSE(enabled("CB_on_output_in"));
}

TEST_F(ArmingOutputTest, AnUntickedRowDoesNotCount) {
    model.setRowOutput(wiredZone(3), 2, Relay1);
    model.setArmingOutput(Relay1);
    tick("Check_on_output_in");
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_TRUE(flag("Check_on_output_in"));
    EXPECT_TRUE(enabled("CB_on_output_in"));
}

TEST_F(ArmingOutputTest, TwoZonesGiveTwoWordsInZoneOrder) {
    model.setRowEnabled(wirelessZone(2), 3, true);
    model.setRowEnabled(wiredZone(4), 1, true);
    model.setRowOutput(wirelessZone(2), 3, 0);
    tick("Check_on_output_in"); // the siren, position 0
    EXPECT_EQ(messages(),
              std::vector<std::string>{
                  "Выход используется: \r\nвыход4 \r\nБеспр.вход2\r\n\r\nВыбор запрещен"});
}

TEST_F(ArmingOutputTest, ChoosingTheArmingOutputRunsTheCheckToo) {
    tick("Check_on_output_in");
    model.setButton4Output(Out2);
    tick("Check_button4"); // the arming output is still the siren: accepted
    ASSERT_TRUE(prompts.shown.empty());
    choose("CB_on_output_in", Out2);
    EXPECT_EQ(messages(),
              std::vector<std::string>{"Выход используется: \r\nКнопка4\r\n\r\nВыбор запрещен"});
    EXPECT_FALSE(flag("Check_on_output_in"));
}

TEST_F(ArmingOutputTest, RegulatingSensorCountsOnlyWithItsThermostatOn) {
    tick("CheckBox_td1");
    model.setSensorOutput(wiredSensor(1), Out2);
    model.setArmingOutput(Out2);
    tick("Check_on_output_in");
    EXPECT_TRUE(prompts.shown.empty()) << "keeping the temperature is off";
    tick("CheckBox_td11");
    EXPECT_EQ(
        messages(),
        std::vector<std::string>{"Устройство Выход 2(OUT2) используется при постановке на охрану. "
                                 "\r\n Выберете другое устройство."})
        << "a wired sensor's thermostat runs the sensor check";
    EXPECT_EQ(choice("CB_td1_out"), std::nullopt);
}

TEST_F(ArmingOutputTest, SensorChoiceOfTheArmingOutputIsRefused) {
    model.setArmingOutput(Out2);
    tick("Check_on_output_in");
    choose("CB_btd3_out", Out2);
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(choice("CB_btd3_out"), std::nullopt);
    choose("CB_btd3_out", Relay1);
    EXPECT_EQ(prompts.shown.size(), 1u);
    // A wireless sensor's thermostat does not check.
    model.setSensorOutput(wirelessSensor(3), Out2);
    tick("CheckBox_btd3");
    tick("CheckBox_btd31");
    EXPECT_EQ(prompts.shown.size(), 1u);
    // Without the arming output in use every choice is accepted.
    tick("Check_on_output_in", false);
    choose("CB_td2_out", Out2);
    choose("CB_button4", Out2);
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(choice("CB_td2_out"), Out2);
}

TEST_F(ArmingOutputTest, ButtonFourAndTheArmingOutput) {
    tick("Check_on_output_in");
    model.setButton4Output(0);
    tick("Check_button4");
    EXPECT_EQ(messages(), std::vector<std::string>{
                              "Устройство Сирена (OUT1) используется при постановке на охрану. "
                              "\r\n Выберете другое устройство."});
    EXPECT_EQ(choice("CB_button4"), std::nullopt);
    EXPECT_TRUE(flag("Check_button4"));
    EXPECT_TRUE(enabled("CB_button4"));
    EXPECT_TRUE(enabled("SE_time_button4"));
}

TEST_F(ArmingOutputTest, ToggleGreysTheSecondsAndKeepsThem) {
    tick("Check_button4");
    model.setNumber(id("SE_time_button4"), 30);
    tick("CB_trigger_button4");
    EXPECT_FALSE(enabled("SE_time_button4"));
    EXPECT_EQ(model.look(id("SE_time_button4")), Look::Grey);
    EXPECT_EQ(number("SE_time_button4"), 30);
    tick("CB_trigger_button4", false);
    EXPECT_TRUE(enabled("SE_time_button4"));
    EXPECT_EQ(model.look(id("SE_time_button4")), Look::Window);
    tick("Check_button4", false);
    EXPECT_FALSE(enabled("SE_time_button4"));
    EXPECT_FALSE(enabled("CB_trigger_button4"));
}

TEST_F(ArmingOutputTest, TheCheckRunsWhileAFileIsLoaded) {
    mode = ExchangeMode::LoadingFile;
    model.setRowEnabled(wiredZone(1), 1, true); // a zone section read earlier, on the siren
    model.setArmingOutput(0);
    model.setArmingOutputOn(true);
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_FALSE(model.config().armingOutputOn);
}

class ThermoPanelTest : public ModelTest {};

TEST_F(ThermoPanelTest, NoTemperatureIsEverZero) {
    for (const char* f : {"SE_min_td2", "SE_max_td1", "SE_Min_btd61", "SE_Max_btd41"}) {
        model.setNumber(id(f), 0);
        EXPECT_EQ(number(f), 1) << f;
        type(f, "0");
        EXPECT_EQ(number(f), 1) << f;
        type(f, "-10");
        EXPECT_EQ(number(f), -10) << f;
    }
}

TEST_F(ThermoPanelTest, ThermostatOffClearsAutoRegulation) {
    tick("CheckBox_btd2");
    tick("CheckBox_btd21");
    tick("CheckBox_btd2_auto");
    EXPECT_TRUE(enabled("SE_Max_btd21"));
    tick("CheckBox_btd21", false);
    EXPECT_FALSE(flag("CheckBox_btd2_auto"));
    EXPECT_FALSE(enabled("SE_Min_btd21"));
    EXPECT_FALSE(enabled("CB_btd2_out"));
}

TEST_F(ThermoPanelTest, WhichFieldsAreEditable) {
    auto editable = [&](std::vector<const char*> names) {
        std::vector<bool> out;
        for (auto n : names)
            out.push_back(enabled(n));
        return out;
    };
    const std::vector<const char*> fields = {"SE_min_td1",  "CheckBox_td11",     "CB_td1_tel3",
                                             "SE_Min_td11", "CheckBox_td1_auto", "SE_max_td11",
                                             "CB_td1_out"};
    EXPECT_EQ(editable(fields), std::vector<bool>(7, false));
    EXPECT_EQ(model.sensorPanelLook(wiredSensor(1)), Look::InactiveGrey);
    EXPECT_EQ(model.look(id("SE_min_td1")), Look::InactiveBorder);
    tick("CheckBox_td1");
    EXPECT_EQ(editable(fields), (std::vector<bool>{true, true, true, false, false, false, false}));
    EXPECT_EQ(model.sensorPanelLook(wiredSensor(1)), Look::ActiveGreen);
    tick("CheckBox_td11");
    EXPECT_EQ(editable(fields), (std::vector<bool>{true, true, true, true, true, false, true}));
    tick("CheckBox_td1_auto");
    EXPECT_TRUE(enabled("SE_max_td11"));
    tick("CheckBox_td1", false);
    EXPECT_EQ(editable(fields), std::vector<bool>(7, false));
    EXPECT_TRUE(flag("CheckBox_td11")) << "values stay";
    EXPECT_FALSE(model.sensorReadButtonEnabled(1));
    tick("CheckBox_btd1");
    EXPECT_TRUE(model.sensorReadButtonEnabled(1));
    EXPECT_TRUE(enabled("BTD_name1"));
}

TEST_F(ThermoPanelTest, OnlyWirelessSensorsAskForTheTelephone) {
    type("ME_tel2", "");
    tick("CheckBox_td1");
    tick("CheckBox_btd1");
    tick("CB_td1_tel2");
    EXPECT_TRUE(flag("CB_td1_tel2"));
    EXPECT_TRUE(prompts.shown.empty());
    tick("CB_btd1_tel2");
    EXPECT_FALSE(flag("CB_btd1_tel2"));
    EXPECT_EQ(messages(), std::vector<std::string>{"Не введен 2 номер телефона"});
}

} // namespace
} // namespace t6::test
