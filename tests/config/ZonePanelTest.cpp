#include "ModelFixture.h"

namespace t6::test {
namespace {

class ZonePanelTest : public ModelTest {};

TEST_F(ZonePanelTest, ActivationSelectsTheFirstInputTypeOnlyWhenNoneIsChosen) {
    tick("CheckBox_in2");
    EXPECT_EQ(choice("CBox_IN2"), 0);
    EXPECT_EQ(shownChoice("CBox_IN2"), "По высокому уровню");
    tick("CheckBox_in2", false);
    model.setChoice(id("CBox_IN2"), 4);
    tick("CheckBox_in2");
    EXPECT_EQ(shownChoice("CBox_IN2"), "Дымовой 2-х проводный датчик");
}

TEST_F(ZonePanelTest, DeactivationKeepsEveryValueButDisablesThePanel) {
    tick("CheckBox_bp4");
    type("Edit_bp4", "Гараж");
    tick("RG_OUT42_bp");
    type("Edit_OUT42m_bp", "12");
    tick("CB_bp4_tel2", true);
    EXPECT_TRUE(flag("CheckBox_41bp"));
    EXPECT_TRUE(model.sensorsButtonEnabled(4));
    EXPECT_EQ(model.zonePanelLook(wirelessZone(4)), Look::ActiveGreen);
    EXPECT_EQ(model.look(id("CheckBox_bp4")), Look::TextGreen);

    tick("CheckBox_bp4", false);
    EXPECT_FALSE(flag("CheckBox_41bp")) << "the hidden outputs flag follows activation";
    EXPECT_EQ(text("Edit_bp4"), "Гараж");
    EXPECT_TRUE(flag("RG_OUT42_bp"));
    EXPECT_EQ(number("Edit_OUT42m_bp"), 12);
    EXPECT_TRUE(flag("CB_bp4_tel2"));
    for (const char* c : {"Edit_bp4", "CB_ctrl_24_bp4", "CB_bp4_tel1", "RG_OUT4S_bp",
                          "Edit_OUT4Sm_bp", "RG_OUT4S_bp_1"})
        EXPECT_FALSE(enabled(c)) << c;
    EXPECT_FALSE(model.sensorsButtonEnabled(4));
    EXPECT_FALSE(model.actionAreaEnabled(wirelessZone(4)));
    EXPECT_EQ(model.zonePanelLook(wirelessZone(4)), Look::InactiveGrey);
    EXPECT_EQ(model.actionAreaLook(wirelessZone(4)), Look::InactiveGrey);
    EXPECT_EQ(model.look(id("CheckBox_bp4")), Look::TextRed);
    EXPECT_EQ(model.look(id("Edit_bp4")), Look::ActiveBorder);
}

TEST_F(ZonePanelTest, ReactivationMakesTheRowsUsableAgainWithTheirValues) {
    tick("CheckBox_in3");
    tick("RG_OUT32");
    type("Edit_OUT32m", "12");
    type("Edit_OUT32s", "30");
    tick("CheckBox_in3", false);
    EXPECT_FALSE(enabled("Edit_OUT32m"));
    EXPECT_TRUE(flag("RG_OUT32")) << "rows keep their ticks";
    tick("CheckBox_in3");
    EXPECT_TRUE(enabled("Edit_OUT32m"));
    EXPECT_TRUE(enabled("RG_OUT32_2"));
    EXPECT_EQ(number("Edit_OUT32m"), 12);
    EXPECT_EQ(number("Edit_OUT32s"), 30);
    EXPECT_FALSE(enabled("RG_OUT33_3")) << "an unticked row's choice stays disabled";
    EXPECT_TRUE(enabled("RG_OUT33"));
}

TEST_F(ZonePanelTest, ActivationRunsEachRowsTickRule) {
    // Row 4 unticked: activating the zone resets its time, as unticking does.
    model.setRowMinutes(wiredZone(1), 4, 9);
    tick("CheckBox_in1");
    EXPECT_EQ(number("Edit_OUT11m"), 0);
    EXPECT_EQ(number("Edit_OUT11s"), 1);
}

TEST_F(ZonePanelTest, TelephoneGuardRefusesATelephoneNotEntered) {
    tick("CheckBox_bp2");
    type("ME_tel3", "");
    EXPECT_EQ(text("ME_tel3"), "+");
    type("ME_tel1", "+79161234567");
    view.clear();
    tick("CB_bp2_tel3");
    EXPECT_FALSE(flag("CB_bp2_tel3"));
    EXPECT_EQ(messages(), std::vector<std::string>{"Не введен 3 номер телефона"});
    EXPECT_TRUE(view.wasChanged("CB_bp2_tel3")) << "the view shows the box unticked again";

    prompts.clear();
    type("ME_tel3", "+7");
    tick("CB_bp2_tel3");
    EXPECT_TRUE(flag("CB_bp2_tel3")) << "\"+7\" counts as entered";
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ZonePanelTest, GuardsActOnlyWhileTheUserEdits) {
    type("ME_tel5", "");
    mode = ExchangeMode::ReadBlock;
    model.setZonePhone(wiredZone(1), 5, true);
    model.setSmsOnDisarming(5, true);
    model.setEntryDelay(wirelessZone(5), true);
    EXPECT_TRUE(model.config().wiredZones[0].phones[4]);
    EXPECT_TRUE(model.config().smsOnDisarming[4]);
    EXPECT_TRUE(model.config().wirelessZones[4].entryDelay);
    EXPECT_TRUE(prompts.shown.empty());

    mode = ExchangeMode::IdleAfterOperation;
    tick("CB_SMS_in5");
    tick("CB_Ctrl_Volt_5");
    EXPECT_FALSE(flag("CB_SMS_in5"));
    EXPECT_FALSE(flag("CB_Ctrl_Volt_5"));
    EXPECT_EQ(prompts.shown.size(), 2u);
    tick("CB_SMS_out5", false);
    EXPECT_FALSE(flag("CB_SMS_out5")) << "unticking is never refused";
    EXPECT_EQ(prompts.shown.size(), 2u);
}

TEST_F(ZonePanelTest, DelayGuardRefusesAnInactiveZone) {
    tick("CB_delay_bp5");
    EXPECT_FALSE(flag("CB_delay_bp5"));
    tick("CB_delay2");
    EXPECT_FALSE(flag("CB_delay2"));
    EXPECT_EQ(messages(),
              (std::vector<std::string>{"Не активен 5 беспр. вход", "Не активен 2 вход"}));
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Message);
    tick("CheckBox_in2");
    tick("CB_delay2");
    EXPECT_TRUE(flag("CB_delay2"));
}

TEST_F(ZonePanelTest, SupplyVoltageReportOwnsItsTelephones) {
    tick("CB_Ctrl_Volt_2");
    EXPECT_TRUE(flag("CB_Ctrl_Volt_1"));
    tick("CB_Ctrl_Volt", false);
    for (int t = 1; t <= 5; ++t)
        EXPECT_FALSE(flag("CB_Ctrl_Volt_" + std::to_string(t)));
    EXPECT_FALSE(enabled("CB_Ctrl_Volt_1"));
    EXPECT_FALSE(enabled("CB_vnesh_IBP"));
    tick("CB_Ctrl_Volt");
    EXPECT_FALSE(flag("CB_Ctrl_Volt_1")) << "ticking again leaves them unticked";
    EXPECT_TRUE(enabled("CB_Ctrl_Volt_1"));
}

TEST_F(ZonePanelTest, DelayAndVolumeEditorsNeverStayEmpty) {
    for (const char* e : {"SE_inp", "SE_out", "SE_volume_microfon", "SE_Volume_dinamik"}) {
        type(e, "5");
        type(e, "");
        EXPECT_EQ(text(e), "0") << e;
        EXPECT_EQ(number(e), 0) << e;
    }
    EXPECT_FALSE(model.setText(id("SE_inp"), "5x"));
    EXPECT_EQ(number("SE_inp"), 0);
}

} // namespace
} // namespace t6::test
