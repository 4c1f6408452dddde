#include "ModelFixture.h"

namespace t6::test {
namespace {

class ResetConfigTest : public ModelTest {};

TEST_F(ResetConfigTest, StartUpGivesEveryChoiceTheFixedOutputs) {
    EXPECT_EQ(shownChoice("RG_OUT1S_1"), "Сирена (OUT1)");
    EXPECT_EQ(shownChoice("RG_OUT41_4"), "Реле 2(Relay2)");
    EXPECT_EQ(shownChoice("RG_OUT63_bp_3"), "Реле 1(Relay1)");
    EXPECT_EQ(shownChoice("CB_btd4_out"), "Сирена (OUT1)");
    EXPECT_EQ(shownChoice("CB_sirena_out"), "Сирена (OUT1)");
    EXPECT_EQ(text("Edit_Date"), "05.03.24");
    EXPECT_EQ(text("Edit_time"), "09:05:07");
    EXPECT_EQ(choice("RadioGroup1"), 0);
    EXPECT_EQ(choice("CBox_INPUT"), 2);
    EXPECT_EQ(text("ME_tel3"), "+7");
    EXPECT_EQ(text("RP_Name_10"), "Пульт 10");
    EXPECT_TRUE(flag("CB_Ctrl_Volt_1"));
    EXPECT_TRUE(flag("CB_btd1_tel1"));
    EXPECT_FALSE(flag("CB_btd2_tel1"));
    EXPECT_FALSE(enabled("Edit1")) << "panels match their inactive boxes";
    EXPECT_FALSE(enabled("CB_on_output_in"));
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ResetConfigTest, ResetValues) {
    tick("CheckBox_in2");
    type("Edit2", "Окно");
    tick("RG_OUT22");
    type("Edit_OUT22m", "7");
    tick("CheckBox_td1");
    tick("CheckBox_td11");
    tick("CheckBox_td1_auto");
    model.setNumber(id("SE_min_td1"), 30);
    type("SE_inp", "120");
    type("ME_tel1", "+79161234567");
    tick("CB_SMS_in1");
    tick("Check_on_output_in");
    tick("Check_button4");
    view.clear();
    prompts.clear();

    model.resetConfig();

    EXPECT_FALSE(flag("CheckBox_in2"));
    EXPECT_EQ(text("Edit2"), "");
    EXPECT_EQ(choice("CBox_IN2"), std::nullopt);
    EXPECT_FALSE(flag("RG_OUT22"));
    EXPECT_EQ(number("Edit_OUT22m"), 0);
    EXPECT_EQ(number("Edit_OUT22s"), 1);
    EXPECT_FALSE(flag("CheckBox_td1"));
    EXPECT_FALSE(flag("CheckBox_td11"));
    EXPECT_FALSE(flag("CheckBox_td1_auto"));
    for (const char* t : {"SE_min_td1", "SE_max_td1", "SE_Min_td11", "SE_max_td11"})
        EXPECT_EQ(number(t), 1) << t << ": the zero rule turns the reset's 0 into 1";
    EXPECT_FALSE(flag("CB_td1_tel1"));
    EXPECT_EQ(number("SE_inp"), 0);
    EXPECT_EQ(text("SE_inp"), "0");
    EXPECT_EQ(text("ME_tel1"), "+7");
    EXPECT_EQ(text("Edit_Date"), "");
    EXPECT_EQ(text("Edit_time"), "");
    EXPECT_EQ(choice("CBox_INPUT"), std::nullopt);
    EXPECT_EQ(choice("RadioGroup1"), std::nullopt);
    EXPECT_FALSE(flag("CB_SMS_in1"));
    EXPECT_FALSE(flag("Check_on_output_in"));
    EXPECT_FALSE(flag("Check_button4"));
    EXPECT_FALSE(flag("CB_Ctrl_Volt"));
    for (int t = 1; t <= 5; ++t)
        EXPECT_FALSE(flag("CB_Ctrl_Volt_" + std::to_string(t))) << "cleared with the report";
    for (const char* f : {"CB_Time_SMS", "CB_Alarm_SMS", "CB_Alarm_Ring", "CB_sms_sost",
                          "CB_mic_dinam", "CheckBox_Audio", "CB_vnesh_IBP"})
        EXPECT_FALSE(flag(f)) << f;
    EXPECT_EQ(view.firstPage, 1);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ResetConfigTest, SupplyVoltageTelephonesAreOffEvenWhenTheReportWasOffAlready) {
    // A file may hold the report off with all five telephones ticked.
    model.setSupplyVoltageReport(false);
    for (int t = 1; t <= 5; ++t)
        model.setSupplyVoltagePhone(t, true);
    model.resetConfig();
    for (int t = 1; t <= 5; ++t)
        EXPECT_FALSE(flag("CB_Ctrl_Volt_" + std::to_string(t))) << t;
    EXPECT_EQ(static_cast<unsigned char>(model.tel_parameters_all("ctrl_volt").at(0)), 0u);
}

TEST_F(ResetConfigTest, WhatTheResetLeavesAlone) {
    tick("CB_trigger_button4");
    model.setNumber(id("SE_time_button4"), 200);
    model.setNumber(id("SE_volume_microfon"), 7);
    model.setNumber(id("SE_Volume_dinamik"), 3);
    type("RP_Name_2", "Пульт Ивана");
    type("RP_KOd_2", "a1b2c3");
    model.setChoice(id("b_out5_type"), 2);
    tick("CheckBox_bp3");
    tick("CB_delay_bp3");
    tick("CB_delay1", false);
    tick("CheckBox_btd2");
    model.setNumber(id("SE_max_btd2"), 40);
    model.setChoice(id("CB_btd2_out"), 3);
    type("BTD_name2", "Кухня");
    tick("CheckBox4", false);

    model.resetConfig();

    EXPECT_TRUE(flag("CB_trigger_button4"));
    EXPECT_EQ(number("SE_time_button4"), 200);
    EXPECT_EQ(number("SE_volume_microfon"), 7);
    EXPECT_EQ(number("SE_Volume_dinamik"), 3);
    EXPECT_EQ(text("RP_Name_2"), "Пульт Ивана");
    EXPECT_EQ(text("RP_KOd_2"), "a1b2c3");
    EXPECT_EQ(choice("b_out5_type"), 2);
    EXPECT_TRUE(flag("CB_delay_bp3")) << "entry delays survive";
    EXPECT_TRUE(flag("CheckBox_btd2"));
    EXPECT_EQ(number("SE_max_btd2"), 40);
    EXPECT_EQ(text("BTD_name2"), "Кухня");
    EXPECT_EQ(choice("CB_btd2_out"), 0) << "only a wireless sensor's output is reset";
    EXPECT_FALSE(flag("CheckBox4")) << "the clock box is the read's business";
}

TEST_F(ResetConfigTest, OnlyTheFixedOutputsRemainAndTheRegistryIsEmpty) {
    tick("cb_bout1");
    type("b_out1_name", "Насос");
    leave("b_out1_name");
    model.setChoice(id("b_out2_type"), 3);
    tick("cb_bout2");
    type("b_out2_name", "Свет");
    leave("b_out2_name");
    ASSERT_EQ(model.choiceList().size(), 9);
    model.setRowOutput(wiredZone(1), 2, 4); // a row on the wireless output
    prompts.clear();

    model.resetConfig();

    EXPECT_EQ(model.choiceList().size(), 4);
    EXPECT_EQ(model.items(id("CB_button4")).size(), 4u);
    EXPECT_EQ(choice("RG_OUT12_2"), 1);
    EXPECT_FALSE(flag("cb_bout1"));
    EXPECT_FALSE(flag("cb_bout2"));
    EXPECT_EQ(text("b_out1_name"), "");
    EXPECT_EQ(text("b_out2_kod"), "");
    for (const auto& e : model.registry().entries())
        EXPECT_TRUE(e.key.empty());
    EXPECT_TRUE(prompts.shown.empty()) << "no release is refused after the list was rebuilt";
    EXPECT_FALSE(model.testButtonsEnabled(1));
    EXPECT_FALSE(model.attachButtonEnabled(2));
}

TEST_F(ResetConfigTest, ObserverHearsOnceWithTheItemsFirst) {
    model.resetConfig();
    EXPECT_EQ(view.notifications, 1);
    EXPECT_EQ(view.itemReloads, 1);
    EXPECT_TRUE(view.wasChanged("CheckBox_in1"));
    EXPECT_TRUE(view.wasChanged("RG_OUT11_bp_4"));
}

} // namespace
} // namespace t6::test
