#include <gtest/gtest.h>

#include <array>

#include "common/Cp1251.h"
#include "outputs/OutputUsageRegistry.h"
#include "support/ScriptedPrompts.h"

namespace t6 {
namespace {

// The 51 output choice fields as plain positions.
class Choices : public OutputChoiceSelections {
public:
    std::array<std::optional<int>, OutputChoiceFieldCount> at{};
    int reloads = 0;
    std::optional<int> selectedPosition(int field) const override { return at[field]; }
    void selectPosition(int field, std::optional<int> p) override { at[field] = p; }
    void choiceItemsReloaded() override { ++reloads; }
};

class RegistryTest : public ::testing::Test {
protected:
    RegistryTest() { registry.attach(&choices); }

    int field(OutputUser u, int number = 0, int row = 0) {
        return outputChoiceFieldIndex(u, number, row);
    }
    std::vector<std::string> items() const {
        std::vector<std::string> out;
        for (const auto& i : registry.list().items())
            out.push_back(cp1251ToUtf8(i));
        return out;
    }
    std::string a = ru("Насос");
    std::string b = ru("Свет");
    test::ScriptedPrompts prompts;
    Choices choices;
    OutputUsageRegistry registry{prompts};
};

TEST(OutputChoiceFields, FiftyOneFieldsInTableOrderWithTheirWords) {
    const auto& f = outputChoiceFields();
    ASSERT_EQ(f.size(), 51u);
    EXPECT_EQ(f[0].controlName, "CB_sirena_out");
    EXPECT_EQ(f[1].controlName, "RG_OUT1S_1");
    EXPECT_EQ(f[4].controlName, "RG_OUT11_4");
    EXPECT_EQ(f[6].controlName, "RG_OUT22_2");
    EXPECT_EQ(f[17].controlName, "CB_td1_out");
    EXPECT_EQ(f[19].controlName, "CB_on_output_in");
    EXPECT_EQ(f[25].controlName, "CB_btd6_out");
    EXPECT_EQ(f[26].controlName, "CB_button4");
    EXPECT_EQ(f[27].controlName, "RG_OUT1S_bp_1");
    EXPECT_EQ(f[50].controlName, "RG_OUT61_bp_4");
    EXPECT_EQ(cp1251ToUtf8(f[0].userWord), "Выход сирены");
    EXPECT_EQ(cp1251ToUtf8(f[5].userWord), "выход2 ");
    EXPECT_EQ(cp1251ToUtf8(f[18].userWord), "Термодатчик2 ");
    EXPECT_EQ(cp1251ToUtf8(f[19].userWord), "Постановка_на_охрану");
    EXPECT_EQ(cp1251ToUtf8(f[20].userWord), "Беспр.термодатчик1");
    EXPECT_EQ(cp1251ToUtf8(f[50].userWord), "Беспр.вход6");
}

TEST_F(RegistryTest, SingleChannelOutputIsAppendedAndConverts) {
    registry.registerEntry("bpout_3", a, "12ab0f", 0, 1);
    EXPECT_EQ(items().size(), 5u);
    EXPECT_EQ(items()[4], "Насос");
    EXPECT_EQ(registry.codeOfChoice(a), 7);
    EXPECT_EQ(registry.choiceOfCode(7), 4);
    EXPECT_EQ(registry.find("bpout_3")->code, "12ab0") << "a code is kept as its first five";
    EXPECT_EQ(registry.outputCodeOf(4), 7);
    EXPECT_EQ(registry.outputCodeOf(2), 3);
    EXPECT_EQ(registry.outputCodeOf(std::nullopt), 0);
    EXPECT_EQ(registry.positionOfCode(0), std::nullopt);
    EXPECT_EQ(registry.positionOfCode(4), 3);
    EXPECT_EQ(registry.positionOfCode(7), 4);
}

TEST_F(RegistryTest, FourChannelOutputGivesOneItemPerChannel) {
    registry.registerEntry("bpout_2", b, "", 0, 4);
    EXPECT_EQ(items(), (std::vector<std::string>{"Сирена (OUT1)", "Выход 2(OUT2)", "Реле 1(Relay1)",
                                                 "Реле 2(Relay2)", "Свет канал1", "Свет канал2",
                                                 "Свет канал3", "Свет канал4"}));
    EXPECT_EQ(registry.codeOfChoice(OutputChoiceList::channelItem(b, 3)), 70);
    EXPECT_EQ(registry.codeOfChoice(OutputChoiceList::channelItem(b, 1)), 6);
    EXPECT_EQ(registry.choiceOfCode(70), 6);
    EXPECT_EQ(registry.choiceOfCode(6 + 96), 7);
    EXPECT_EQ(registry.codeOfChoice(b), 0) << "the bare name is no channel item";
}

TEST_F(RegistryTest, UnknownCodesAndTexts) {
    EXPECT_EQ(registry.choiceOfCode(9), 0) << "no wireless output 5: the siren's position";
    EXPECT_EQ(registry.codeOfChoice(ru("Неизвестно")), 0);
    registry.registerEntry("bpout_2", b, "", 0, 4);
    // Channel bits beyond the fourth name no item.
    EXPECT_EQ(registry.choiceOfCode(6 + 128), -1);
    EXPECT_EQ(registry.positionOfCode(6 + 128), std::nullopt);
}

TEST_F(RegistryTest, SameRegistrationChangesNothingNotEvenTheCode) {
    registry.registerEntry("bpout_1", a, "111111", 0, 1);
    registry.registerEntry("bpout_1", a, "222222", 1, 1);
    EXPECT_EQ(registry.find("bpout_1")->code, "11111");
    EXPECT_EQ(registry.find("bpout_1")->fromWindow, 0);
    EXPECT_EQ(items().size(), 5u);
}

TEST_F(RegistryTest, SwitchingChannelsKeepsChoicesByText) {
    registry.registerEntry("bpout_2", b, "", 0, 4);
    registry.registerEntry("bpout_5", a, "", 0, 1);
    const int row1 = field(OutputUser::WiredZone, 1, 1);
    const int row2 = field(OutputUser::WiredZone, 1, 2);
    const int row3 = field(OutputUser::WiredZone, 1, 3);
    choices.at[row1] = 4; // B канал1
    choices.at[row2] = 6; // B канал3
    choices.at[row3] = 8; // A, after the channels
    registry.registerEntry("bpout_2", b, "", 1, 1);
    EXPECT_EQ(items(), (std::vector<std::string>{"Сирена (OUT1)", "Выход 2(OUT2)", "Реле 1(Relay1)",
                                                 "Реле 2(Relay2)", "Свет", "Насос"}));
    EXPECT_EQ(choices.at[row1], std::nullopt) << "channel 1's text is gone too";
    EXPECT_EQ(choices.at[row2], std::nullopt) << "channel 3 is gone";
    EXPECT_EQ(choices.at[row3], 5) << "a later item keeps its item";

    registry.registerEntry("bpout_2", b, "", 1, 4);
    EXPECT_EQ(items()[4], "Свет канал1");
    EXPECT_EQ(items()[7], "Свет канал4");
    EXPECT_EQ(items()[8], "Насос");
    EXPECT_EQ(choices.at[row3], 8);
}

TEST_F(RegistryTest, RenameKeepsEveryChoiceOnItsPosition) {
    registry.registerEntry("bpout_2", b, "", 0, 4);
    const int sensor = field(OutputUser::WirelessSensor, 3);
    choices.at[sensor] = 5;
    registry.registerEntry("bpout_2", a, "", 1, 4);
    EXPECT_EQ(items()[5], "Насос канал2");
    EXPECT_EQ(choices.at[sensor], 5);
    EXPECT_EQ(registry.find("bpout_2")->previousName, b);
    EXPECT_EQ(registry.codeOfChoice(OutputChoiceList::channelItem(a, 2)), 38);
}

TEST_F(RegistryTest, ReleaseRefusedWhileChosenNamesTheUsers) {
    registry.registerEntry("bpout_1", a, "", 0, 1);
    choices.at[field(OutputUser::WiredZone, 2, 1)] = 4;
    choices.at[field(OutputUser::Button4)] = 4;
    choices.at[field(OutputUser::WiredZone, 3, 2)] = 1;
    int reticks = 0;
    EXPECT_FALSE(registry.releaseEntry([&] { ++reticks; }, "bpout_1"));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, test::ScriptedPrompts::Kind::Message);
    EXPECT_EQ(prompts.lastUtf8(), "Выход используется: выход2 Кнопка4\r\nРедактирование запрещено");
    EXPECT_EQ(reticks, 1);
    EXPECT_NE(registry.find("bpout_1"), nullptr);
    EXPECT_EQ(items().size(), 5u);
}

TEST_F(RegistryTest, ReleaseOfAnUnchosenOutputRemovesItsItems) {
    registry.registerEntry("bpout_2", b, "", 0, 4);
    registry.registerEntry("bpout_1", a, "", 0, 1);
    choices.at[field(OutputUser::WirelessZone, 6, 4)] = 8; // A, after B's channels
    EXPECT_TRUE(registry.releaseEntry({}, "bpout_2"));
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(registry.find("bpout_2"), nullptr);
    EXPECT_EQ(items().size(), 5u);
    EXPECT_EQ(choices.at[field(OutputUser::WirelessZone, 6, 4)], 4) << "kept by its text";
    EXPECT_EQ(registry.choiceOfCode(6), 0);
    EXPECT_TRUE(registry.releaseEntry({}, "bpout_9")) << "no entry: nothing to refuse";
}

TEST_F(RegistryTest, NameAndCodeQueries) {
    registry.registerEntry("bpout_2", b, "A1B2C3", 1, 1);
    EXPECT_TRUE(registry.isNameTaken("bpout_5", b));
    EXPECT_FALSE(registry.isNameTaken("bpout_2", b));
    EXPECT_FALSE(registry.isNameTaken("bpout_5", a));
    registry.registerEntry("btd1", a, "", 0, 1);
    EXPECT_FALSE(registry.isNameTaken("bpout_5", a)) << "sensors bear no output names";
    EXPECT_EQ(items().size(), 5u) << "sensors do not feed the list";
    EXPECT_TRUE(registry.isCodeTaken(77, "A1B2C"));
    EXPECT_FALSE(registry.isCodeTaken(77, "A1B2C3")) << "the stored code is five characters";
    EXPECT_TRUE(registry.isCodeTaken(1, "FFFFFF")) << "fromWindow is compared with the number";
}

TEST_F(RegistryTest, FullTableIgnoresFurtherRegistrations) {
    for (int i = 0; i < OutputUsageRegistry::Capacity; ++i)
        registry.registerEntry("btd" + std::to_string(i), a, "", 0, 1);
    registry.registerEntry("bpout_1", b, "", 0, 1);
    EXPECT_EQ(registry.find("bpout_1"), nullptr);
    EXPECT_EQ(items().size(), 4u);
    registry.resetRegistry();
    registry.registerEntry("bpout_1", b, "", 0, 1);
    EXPECT_NE(registry.find("bpout_1"), nullptr);
}

TEST_F(RegistryTest, RebuildLeavesOnlyTheFixedOutputsAndNoSelection) {
    registry.registerEntry("bpout_1", a, "", 0, 1);
    choices.at[3] = 4;
    const int reloads = choices.reloads;
    registry.rebuildChoiceList();
    EXPECT_EQ(items().size(), 4u);
    EXPECT_EQ(choices.at[3], std::nullopt);
    EXPECT_GT(choices.reloads, reloads);
    // The entry outlives the list until the registry is reset: releasing it then
    // finds no item and frees it without asking.
    EXPECT_TRUE(registry.releaseEntry({}, "bpout_1"));
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(registry.find("bpout_1"), nullptr);
}

} // namespace
} // namespace t6
