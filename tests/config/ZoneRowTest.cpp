#include "ModelFixture.h"

namespace t6::test {
namespace {

class ZoneRowTest : public ModelTest {
protected:
    ZoneRowTest() {
        for (int z = 1; z <= 4; ++z)
            tick("CheckBox_in" + std::to_string(z));
        tick("CheckBox_bp4");
        view.clear();
    }
    static constexpr int Relay1 = 2;
};

TEST_F(ZoneRowTest, UntickingRowFourForgetsItsTimeExceptInWiredZoneThree) {
    for (const char* zone : {"1", "3"}) {
        const std::string z = zone;
        tick("RG_OUT" + z + "1");
        type("Edit_OUT" + z + "1m", "12");
        type("Edit_OUT" + z + "1s", "30");
        tick("RG_OUT" + z + "2");
        type("Edit_OUT" + z + "2m", "12");
        tick("RG_OUT" + z + "1", false);
        tick("RG_OUT" + z + "2", false);
    }
    EXPECT_EQ(number("Edit_OUT11m"), 0);
    EXPECT_EQ(number("Edit_OUT11s"), 1);
    EXPECT_EQ(number("Edit_OUT31m"), 12);
    EXPECT_EQ(number("Edit_OUT31s"), 30);
    EXPECT_EQ(number("Edit_OUT12m"), 12) << "rows 1 to 3 keep their time";
    EXPECT_EQ(number("Edit_OUT32m"), 12);
    EXPECT_EQ(model.look(id("Edit_OUT11m")), Look::ActiveBorder);
}

TEST_F(ZoneRowTest, SameOutputInTwoRowsUnticksTheRowLeft) {
    tick("RG_OUT13");
    choose("RG_OUT13_3", Relay1); // already its own default
    tick("RG_OUT12");
    choose("RG_OUT12_2", Relay1);
    leave("RG_OUT12_2");
    EXPECT_EQ(messages(),
              std::vector<std::string>{"Нельзя использовать одинаковые выходы на одном входе"});
    EXPECT_FALSE(flag("RG_OUT12"));
    EXPECT_TRUE(flag("RG_OUT13"));
}

TEST_F(ZoneRowTest, WiredZoneTwoKeepsTheRowAndTheFocusOnItsChoice) {
    tick("RG_OUT23");
    tick("RG_OUT22");
    choose("RG_OUT22_2", Relay1);
    view.clear();
    leave("RG_OUT22_2");
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(flag("RG_OUT22"));
    EXPECT_EQ(view.focus, std::vector<std::string>{"RG_OUT22_2"});
}

TEST_F(ZoneRowTest, NoChoiceMeetsAnUntickedRowOnLeaving) {
    tick("RG_OUT4S");
    choose("RG_OUT4S_1", std::nullopt);
    leave("RG_OUT4S_1");
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_FALSE(flag("RG_OUT4S"));
}

TEST_F(ZoneRowTest, RowsFromTheThirtySecondEntryOnAreNotCompared) {
    for (int n = 1; n <= 14; ++n) {
        model.setOutputType(n, FourChannelRelay);
        tick("cb_bout" + std::to_string(n));
        type("b_out" + std::to_string(n) + "_name", "R" + std::to_string(n));
        leave("b_out" + std::to_string(n) + "_name");
    }
    ASSERT_EQ(model.choiceList().size(), 60);
    tick("RG_OUT4S_bp");
    tick("RG_OUT42_bp");
    choose("RG_OUT4S_bp_1", 31);
    choose("RG_OUT42_bp_2", 31);
    prompts.clear();
    leave("RG_OUT42_bp_2");
    EXPECT_TRUE(prompts.shown.empty());
    choose("RG_OUT4S_bp_1", 30);
    choose("RG_OUT42_bp_2", 30);
    leave("RG_OUT42_bp_2");
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_FALSE(flag("RG_OUT42_bp"));
}

TEST_F(ZoneRowTest, SameOutputCheckIsSkippedWhileReading) {
    tick("RG_OUT13");
    tick("RG_OUT12");
    choose("RG_OUT12_2", Relay1);
    for (auto m : {ExchangeMode::ReadBlock, ExchangeMode::ReadOutputs}) {
        mode = m;
        leave("RG_OUT12_2");
    }
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_TRUE(flag("RG_OUT12"));
}

TEST_F(ZoneRowTest, TickingARowFocusesItsChoiceInWiredZoneOneAndWirelessZones) {
    tick("RG_OUT12");
    tick("RG_OUT42_bp");
    tick("RG_OUT22");
    EXPECT_EQ(view.focus, (std::vector<std::string>{"RG_OUT12_2", "RG_OUT42_bp_2"}));
    view.clear();
    mode = ExchangeMode::LoadingFile;
    tick("RG_OUT13");
    EXPECT_TRUE(view.focus.empty()) << "no focus moves while a file is loaded";
    EXPECT_TRUE(enabled("RG_OUT13_3"));
}

TEST_F(ZoneRowTest, ArmingOutputCannotBeChosenForARow) {
    model.setArmingOutput(Relay1);
    tick("Check_on_output_in");
    tick("RG_OUT4S_bp");
    choose("RG_OUT4S_bp_1", Relay1);
    EXPECT_EQ(messages(), std::vector<std::string>{
                              "Устройство Реле 1(Relay1) используется при постановке на охрану. "
                              "\r\n Выберете другое устройство."});
    EXPECT_EQ(choice("RG_OUT4S_bp_1"), std::nullopt);

    // Ticking a row that already holds the arming output is refused the same way.
    prompts.clear();
    model.setRowOutput(wiredZone(2), 3, Relay1);
    tick("RG_OUT23");
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(choice("RG_OUT23_3"), std::nullopt);

    prompts.clear();
    tick("Check_on_output_in", false);
    choose("RG_OUT4S_bp_1", Relay1);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(choice("RG_OUT4S_bp_1"), Relay1);
}

TEST_F(ZoneRowTest, AlwaysOnGreysOnlyItsOwnRowsTime) {
    tick("RG_OUT42_bp");
    tick("RG_OUT43_bp");
    tick("CheckBox412_bp");
    EXPECT_FALSE(enabled("Edit_OUT42m_bp"));
    EXPECT_FALSE(enabled("Edit_OUT42s_bp"));
    EXPECT_TRUE(enabled("Edit_OUT43m_bp"));
    EXPECT_TRUE(enabled("RG_OUT42_bp_2"));
    tick("CheckBox412_bp", false);
    EXPECT_TRUE(enabled("Edit_OUT42m_bp"));
}

TEST_F(ZoneRowTest, EmptiedTimeEditorsBecomeZeroOnLeavingAndCountAsZeroMeanwhile) {
    tick("RG_OUT42_bp");
    type("Edit_OUT42m_bp", "12");
    type("Edit_OUT42s_bp", "40");
    type("Edit_OUT42m_bp", "");
    type("Edit_OUT42s_bp", "");
    EXPECT_EQ(text("Edit_OUT42m_bp"), "");
    EXPECT_EQ(text("Edit_OUT42s_bp"), "");
    // What a write would take from the row while the editors are still empty.
    EXPECT_EQ(model.config().wirelessZones[3].actions[1].minutes, 0);
    EXPECT_EQ(model.config().wirelessZones[3].actions[1].seconds, 0);
    leave("Edit_OUT42m_bp");
    leave("Edit_OUT42s_bp");
    EXPECT_EQ(text("Edit_OUT42m_bp"), "0");
    EXPECT_EQ(text("Edit_OUT42s_bp"), "0");
    EXPECT_TRUE(view.wasChanged("Edit_OUT42s_bp"));
}

} // namespace
} // namespace t6::test
