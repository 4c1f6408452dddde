#include "ModelFixture.h"

#include <set>

namespace t6::test {
namespace {

TEST(FieldTable, NamesAreUniqueAndFoundBack) {
    const auto& fields = fieldDescriptions();
    std::set<std::string> names;
    for (const auto& d : fields) {
        EXPECT_TRUE(names.insert(d.controlName).second) << d.controlName;
        EXPECT_EQ(findField(d.controlName), d.id);
        EXPECT_EQ(fieldIdOf(d.role, d.unit, d.sub, d.wireless), d.id) << d.controlName;
    }
    EXPECT_EQ(fields.size(), 549u);
    EXPECT_EQ(findField("CheckBox_in5"), std::nullopt);
}

TEST(FieldTable, AMemberWithoutAFieldIsMinusOne) {
    EXPECT_EQ(fieldIdOf(FieldRole::Telephone, 6), -1);
    EXPECT_EQ(fieldIdOf(FieldRole::Telephone, 1, 0, true), -1);
    EXPECT_EQ(fieldIdOf(FieldRole::Telephone, -1), -1);
    EXPECT_EQ(fieldIdOf(FieldRole::Telephone, 1, -1), -1);
    EXPECT_EQ(fieldIdOf(FieldRole::Telephone, 1000, 1000), -1);
    EXPECT_EQ(fieldIdOf(static_cast<FieldRole>(-1)), -1);
    EXPECT_EQ(fieldIdOf(static_cast<FieldRole>(10000), 1), -1);
}

TEST(FieldTable, ControlNamesFollowTheWindow) {
    for (const char* name : {"ME_tel5",
                             "Edit_Date",
                             "CheckBox4",
                             "SE_inp",
                             "CBox_INPUT",
                             "CB_SMS_out5",
                             "CB_Ctrl_Volt_5",
                             "CB_vnesh_IBP",
                             "RadioGroup1",
                             "RG_Lang",
                             "CB_sirena_out",
                             "CB_delay_bp6",
                             "CheckBox_in4",
                             "Edit4",
                             "CBox_IN4",
                             "CB_ctrl_24_4",
                             "CheckBox_41",
                             "RG_OUT1S",
                             "CheckBox11S",
                             "Edit_OUT1Sm",
                             "Edit_OUT1Ss",
                             "RG_OUT1S_1",
                             "RG_OUT12",
                             "CheckBox112",
                             "RG_OUT12_2",
                             "RG_OUT11",
                             "CheckBox111",
                             "Edit_OUT11s",
                             "RG_OUT11_4",
                             "CheckBox21S",
                             "RG_OUT2S_1",
                             "CB_in4_tel5",
                             "CheckBox_bp6",
                             "Edit_bp6",
                             "CB_ctrl_24_bp6",
                             "CheckBox_61bp",
                             "RG_OUT6S_bp",
                             "CheckBox61S_bp",
                             "Edit_OUT6Sm_bp",
                             "RG_OUT6S_bp_1",
                             "RG_OUT61_bp",
                             "CheckBox611_bp",
                             "Edit_OUT61s_bp",
                             "RG_OUT61_bp_4",
                             "CB_bp6_tel5",
                             "CheckBox_td2",
                             "SE_min_td2",
                             "SE_max_td2",
                             "CheckBox_td21",
                             "SE_Min_td21",
                             "SE_max_td21",
                             "CheckBox_td2_auto",
                             "CB_td2_out",
                             "CB_td2_tel5",
                             "CheckBox_btd6",
                             "SE_Min_btd61",
                             "SE_Max_btd61",
                             "CheckBox_btd6_auto",
                             "CB_btd6_out",
                             "CB_btd6_tel5",
                             "BTD_name6",
                             "BTD_kod6",
                             "cb_bout16",
                             "b_out16_name",
                             "b_out16_kod",
                             "b_out16_type",
                             "RP_Name_10",
                             "RP_KOd_10",
                             "Check_on_output_in",
                             "CB_on_output_in",
                             "Check_button4",
                             "CB_button4",
                             "SE_time_button4",
                             "CB_trigger_button4"})
        EXPECT_TRUE(findField(name).has_value()) << name;
}

TEST(FieldTable, KindsRangesAndCaptions) {
    const auto& minutes = fieldDescription(*findField("Edit_OUT32m"));
    EXPECT_EQ(minutes.kind, FieldKind::Spin);
    EXPECT_EQ(minutes.maximum, 500);
    EXPECT_EQ(minutes.maxLength, 3);
    EXPECT_EQ(minutes.zone(), wiredZone(3));
    EXPECT_EQ(minutes.sub, 2);
    const auto& low = fieldDescription(*findField("SE_min_btd3"));
    EXPECT_EQ(low.minimum, -55);
    EXPECT_EQ(low.maximum, 125);
    EXPECT_EQ(cp1251ToUtf8(low.group), "Беспроводной термодатчик 3");
    const auto& message = fieldDescription(*findField("Edit_bp2"));
    EXPECT_EQ(message.maxLength, 25);
    EXPECT_EQ(cp1251ToUtf8(message.group), "Беспроводная Зона2");
    const auto& type = fieldDescription(*findField("CBox_IN1"));
    EXPECT_EQ(type.kind, FieldKind::Choice);
    EXPECT_EQ(type.items.size(), 5u);
    EXPECT_TRUE(fieldDescription(*findField("CheckBox_11")).hidden);
    EXPECT_FALSE(fieldDescription(*findField("b_out1_kod")).userEditable);
    EXPECT_EQ(cp1251ToUtf8(fieldDescription(*findField("CB_Alarm_Ring")).caption), "Дозвон");
    EXPECT_EQ(fieldDescription(*findField("RadioGroup1")).kind, FieldKind::Radio);
}

TEST(FieldTable, TheOutputChoicesAreTheRegistrysFiftyOne) {
    std::set<std::string> described;
    for (const auto& d : fieldDescriptions())
        if (d.outputChoice)
            described.insert(d.controlName);
    std::set<std::string> registry;
    for (const auto& f : outputChoiceFields())
        registry.insert(f.controlName);
    EXPECT_EQ(described, registry);
}

class GenericFieldTest : public ModelTest {};

TEST_F(GenericFieldTest, EveryFieldReadsBackWhatWasSetThroughItsDescription) {
    mode = ExchangeMode::LoadingFile; // no guard refuses a tick
    type("ME_tel1", "+71");
    for (const auto& d : fieldDescriptions()) {
        switch (d.kind) {
        case FieldKind::Check: {
            const bool before = model.flag(d.id);
            model.setFlag(d.id, !before);
            EXPECT_EQ(model.flag(d.id), !before) << d.controlName;
            break;
        }
        case FieldKind::Spin:
            model.setNumber(d.id, d.maximum);
            EXPECT_EQ(model.number(d.id), d.maximum) << d.controlName;
            break;
        case FieldKind::Text:
            if (d.role == FieldRole::OutputCode)
                break;
            model.setText(d.id, "+12");
            EXPECT_EQ(model.text(d.id), "+12") << d.controlName;
            break;
        case FieldKind::Choice:
        case FieldKind::Radio:
            model.setChoice(d.id, 1);
            EXPECT_EQ(model.choice(d.id), 1) << d.controlName;
            break;
        }
    }
}

TEST_F(GenericFieldTest, SettingThroughTheDescriptionRunsTheNamedRule) {
    tick("CB_Ctrl_Volt", false);
    EXPECT_FALSE(model.config().supplyVoltagePhones[0]);
    model.setFlag(id("CheckBox_in4"), true);
    EXPECT_TRUE(model.config().wiredZones[3].outputsEnabled);
    EXPECT_EQ(model.config().wiredZones[3].inputType, HighLevel);
    model.setNumber(id("SE_Max_btd11"), 0);
    EXPECT_EQ(model.config().wirelessThermoSensors[0].comfortTemp, 1);
    model.setText(id("b_out9_kod"), "000000");
    EXPECT_EQ(model.config().wirelessOutputs[8].code, "");
    EXPECT_THROW(model.setFlag(id("Edit1"), true), std::logic_error);
}

TEST_F(GenericFieldTest, TheViewHearsOfTheFieldsARuleChanged) {
    tick("CheckBox_in1");
    tick("RG_OUT11");
    type("Edit_OUT11m", "5");
    view.clear();
    tick("RG_OUT11", false);
    EXPECT_EQ(view.notifications, 1);
    EXPECT_TRUE(view.wasChanged("RG_OUT11"));
    EXPECT_TRUE(view.wasChanged("Edit_OUT11m"));
    EXPECT_TRUE(view.wasChanged("Edit_OUT11s"));
    EXPECT_FALSE(view.wasChanged("Edit_OUT12m"));
}

} // namespace
} // namespace t6::test
