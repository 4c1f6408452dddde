#include "ModelFixture.h"

namespace t6::test {
namespace {

class WirelessOutputTest : public ModelTest {
protected:
    void useOutput(int n, const std::string& name) {
        const std::string d = std::to_string(n);
        tick("cb_bout" + d);
        type("b_out" + d + "_name", name);
        leave("b_out" + d + "_name");
    }
};

TEST_F(WirelessOutputTest, TickingWithoutACodeGeneratesOneAndFocusesTheName) {
    random.values = {999, 0x4AF0}; // the first draw is discarded
    tick("cb_bout1");
    EXPECT_EQ(text("b_out1_kod"), "4AF100") << "fewer than six digits are padded on the right";
    EXPECT_EQ(view.focus, std::vector<std::string>{"b_out1_name"});
    EXPECT_TRUE(model.attachButtonEnabled(1));
    EXPECT_TRUE(model.testButtonsEnabled(1));
    EXPECT_TRUE(enabled("b_out1_name"));
    EXPECT_EQ(model.outputPanelLook(1), Look::ButtonFace);

    tick("cb_bout1", false);
    EXPECT_FALSE(model.testButtonsEnabled(1));
    EXPECT_FALSE(model.attachButtonEnabled(1)) << "it sits in the disabled panel";
    EXPECT_EQ(model.outputPanelLook(1), Look::Grey);
    view.clear();
    tick("cb_bout1");
    EXPECT_EQ(text("b_out1_kod"), "4AF100") << "ticking again keeps the code";
    EXPECT_EQ(view.focus, std::vector<std::string>{"b_out1_name"});
}

TEST_F(WirelessOutputTest, GeneratedCodesAvoidTakenOnes) {
    useOutput(1, "A");
    ASSERT_EQ(text("b_out1_kod"), "300000");
    // 1 is taken as the number of an entry written from the window, 30000 as
    // the code output 1 is registered with; the third number is free.
    random.values = {0, 0, 0x2FFFF, 3};
    tick("cb_bout2");
    EXPECT_EQ(text("b_out2_kod"), "400000");
}

TEST_F(WirelessOutputTest, ZeroCodeIsNoCode) {
    type("b_out4_kod", "a1b2c3");
    EXPECT_TRUE(model.testButtonsEnabled(4)) << "the test buttons follow the code";
    model.setOutputCode(4, "000000");
    EXPECT_EQ(text("b_out4_kod"), "");
    EXPECT_FALSE(model.testButtonsEnabled(4));
    EXPECT_FALSE(model.attachButtonEnabled(4));
}

TEST_F(WirelessOutputTest, WhileReadingACodedOutputIsTickedWithoutFocus) {
    mode = ExchangeMode::ReadOutputs;
    model.setOutputCode(3, "12ab0f");
    model.setOutputUsed(3, true);
    EXPECT_TRUE(view.focus.empty());
    model.setOutputUsed(5, true);
    EXPECT_EQ(text("b_out5_kod").size(), 6u) << "an output without a code still gets one";
    EXPECT_EQ(view.focus, std::vector<std::string>{"b_out5_name"});
}

TEST_F(WirelessOutputTest, AGeneratedCodeHoldsNoByteThatCouldEndAPacket) {
    // FE 12 34, then 7F FE 00 ("7FFE" padded), are drawn again; 12 AB 34 is taken.
    random.values = {999, 0xFE1234 - 1, 0x7FFE - 1, 0x12AB34 - 1};
    tick("cb_bout2");
    EXPECT_EQ(text("b_out2_kod"), "12AB34");
}

TEST_F(WirelessOutputTest, LeavingTheNameRegistersItAndTypeChangesItsChannels) {
    useOutput(5, "Насос");
    EXPECT_EQ(cp1251ToUtf8(model.choiceList().items().back()), "Насос");
    view.clear();
    choose("b_out5_type", FourChannelRelay);
    EXPECT_EQ(view.focus, std::vector<std::string>{"b_out5_name"});
    leave("b_out5_name");
    ASSERT_EQ(model.choiceList().size(), 8);
    EXPECT_EQ(cp1251ToUtf8(model.choiceList().items()[7]), "Насос канал4");
    EXPECT_EQ(model.items(id("CB_button4")).size(), 8u);
    EXPECT_EQ(model.registry().find("bpout_5")->fromWindow, 1);
}

TEST_F(WirelessOutputTest, TwoOutputsMayNotBearOneName) {
    useOutput(7, "Свет");
    view.clear();
    useOutput(2, "Свет");
    EXPECT_EQ(messages(), std::vector<std::string>{"Совпадает имя выходов"});
    EXPECT_EQ(view.focus.back(), "b_out2_name");
    EXPECT_EQ(model.registry().find("bpout_2"), nullptr);
}

TEST_F(WirelessOutputTest, ANameEqualToAnItemOfTheListIsRefused) {
    // A fixed output's item.
    useOutput(2, "Реле 1(Relay1)");
    EXPECT_EQ(messages(), std::vector<std::string>{"Совпадает имя выходов"});
    EXPECT_EQ(model.registry().find("bpout_2"), nullptr);
    EXPECT_EQ(model.choiceList().size(), 4);

    // A channel item of a four-channel relay: refused, and unticking the
    // refused output later leaves the relay's channel in every choice.
    model.setOutputType(3, FourChannelRelay);
    useOutput(3, "B");
    ASSERT_EQ(model.choiceList().size(), 8);
    prompts.clear();
    useOutput(4, "B канал1");
    EXPECT_EQ(messages(), std::vector<std::string>{"Совпадает имя выходов"});
    tick("cb_bout4", false);
    EXPECT_EQ(model.choiceList().size(), 8);
    EXPECT_TRUE(model.choiceList().contains(ru("B канал1")));

    // A four-channel relay whose channels would repeat another output's name.
    prompts.clear();
    useOutput(5, "C канал2");
    ASSERT_EQ(model.choiceList().size(), 9);
    model.setOutputType(6, FourChannelRelay);
    useOutput(6, "C");
    EXPECT_EQ(messages(), std::vector<std::string>{"Совпадает имя выходов"});
    EXPECT_EQ(model.choiceList().size(), 9);

    // Renaming an output to its own name, or a relay to its own channels, is no clash.
    prompts.clear();
    leave("b_out3_name");
    leave("b_out5_name");
    EXPECT_TRUE(messages().empty());
}

TEST_F(WirelessOutputTest, AClashingNameFromAFileOrTheDeviceIsNotRegistered) {
    model.registry().registerEntry("bpout_9", ru("Сирена (OUT1)"), "123456", 0, 1);
    EXPECT_EQ(model.registry().find("bpout_9"), nullptr);
    EXPECT_EQ(model.choiceList().size(), 4);
}

TEST_F(WirelessOutputTest, AnOutputStillChosenCannotBeTakenAway) {
    useOutput(1, "Насос");
    tick("CheckBox_in2");
    choose("RG_OUT2S_1", 4);
    tick("Check_button4");
    choose("CB_button4", 4);
    prompts.clear();
    tick("cb_bout1", false);
    EXPECT_EQ(messages(), std::vector<std::string>{
                              "Выход используется: выход2 Кнопка4\r\nРедактирование запрещено"});
    EXPECT_TRUE(flag("cb_bout1")) << "ticked again";
    EXPECT_TRUE(model.testButtonsEnabled(1));
    EXPECT_EQ(model.choiceList().size(), 5);

    // Clearing the name is refused the same way.
    prompts.clear();
    type("b_out1_name", " ");
    leave("b_out1_name");
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_NE(model.registry().find("bpout_1"), nullptr);

    // Once nothing selects it, it goes, and its code no longer resolves.
    choose("RG_OUT2S_1", 0);
    choose("CB_button4", 0);
    tick("cb_bout1", false);
    EXPECT_EQ(model.choiceList().size(), 4);
    EXPECT_EQ(model.registry().choiceOfCode(5), 0);
}

TEST_F(WirelessOutputTest, RenameKeepsTheChoices) {
    useOutput(3, "Насос");
    tick("CheckBox_td2");
    tick("CheckBox_td21");
    choose("CB_td2_out", 4);
    type("b_out3_name", "Помпа");
    leave("b_out3_name");
    EXPECT_EQ(shownChoice("CB_td2_out"), "Помпа");
    EXPECT_EQ(model.registry().outputCodeOf(choice("CB_td2_out")), 7);
}

} // namespace
} // namespace t6::test
