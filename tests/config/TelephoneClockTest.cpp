#include "ModelFixture.h"

namespace t6::test {
namespace {

class TelephoneClockTest : public ModelTest {};

TEST_F(TelephoneClockTest, KeyFilter) {
    EXPECT_FALSE(model.acceptsTelephoneKey(1, 'a'));
    EXPECT_FALSE(model.acceptsTelephoneKey(1, '+'));
    EXPECT_TRUE(model.acceptsTelephoneKey(1, '5'));
    EXPECT_TRUE(model.acceptsTelephoneKey(1, '%'));
    EXPECT_TRUE(model.acceptsTelephoneKey(1, '\''));
    EXPECT_TRUE(model.acceptsTelephoneKey(1, '\b'));
    type("ME_tel1", "+");
    EXPECT_FALSE(model.acceptsTelephoneKey(1, '\b')) << "the lone \"+\" stays";
    type("ME_tel1", "+123456789012345");
    EXPECT_FALSE(model.acceptsTelephoneKey(1, '6')) << "a sixteenth digit is dropped";
    EXPECT_TRUE(model.acceptsTelephoneKey(1, '\b'));
    type("ME_tel1", "+12345678901234");
    EXPECT_TRUE(model.acceptsTelephoneKey(1, '5'));
}

TEST(TelephoneTextTest, WhatATypedOrPastedTextMayHold) {
    for (const char* ok :
         {"", "+", "+79123456789", "79123456789", "+123456789012345", "123456789012345", "+%'12"})
        EXPECT_TRUE(ConfigModel::acceptsTelephoneText(ok)) << ok;
    for (const char* bad : {"++79123456789", "+7+9", "7+9", "+1234567890123456", "1234567890123456",
                            "+7 916", "+7a", "+79-16"})
        EXPECT_FALSE(ConfigModel::acceptsTelephoneText(bad)) << bad;
    // The blanks of an old mask may be deleted, not added to.
    const std::string mask = "+7" + std::string(13, ' ');
    EXPECT_TRUE(ConfigModel::acceptsTelephoneText("+7" + std::string(12, ' '), mask));
    EXPECT_FALSE(ConfigModel::acceptsTelephoneText("+75" + std::string(13, ' '), mask));
    EXPECT_FALSE(ConfigModel::acceptsTelephoneText("+7a" + std::string(11, ' '), mask));
    EXPECT_FALSE(ConfigModel::acceptsTelephoneText("+7 1", "+79161234567"))
        << "a well-formed value gives no such leave";
}

TEST_F(TelephoneClockTest, TextAlwaysBeginsWithOnePlus) {
    type("ME_tel2", "5");
    EXPECT_EQ(text("ME_tel2"), "+5");
    type("ME_tel2", "79+16");
    EXPECT_EQ(text("ME_tel2"), "+7916");
    type("ME_tel2", "");
    EXPECT_EQ(text("ME_tel2"), "+");
    type("ME_tel2", "+7+9");
    EXPECT_EQ(text("ME_tel2"), "+") << "the user's text may hold one \"+\", in front";
    type("ME_tel2", "xyz");
    EXPECT_EQ(text("ME_tel2"), "+") << "nor anything but what a telephone holds";
    type("ME_tel2", "+7 (916) 123-45-67");
    EXPECT_EQ(text("ME_tel2"), "+79161234567") << "blanks, dashes and brackets go";
    model.setTelephone(2, "+7+9");
    EXPECT_EQ(text("ME_tel2"), "+7+9") << "a program's text that begins with \"+\" is left alone";
    model.setTelephone(3, "8916");
    EXPECT_EQ(text("ME_tel3"), "+8916") << "the rule runs for the program too";
}

TEST_F(TelephoneClockTest, WhatCountsAsEntered) {
    auto entered = [&](const std::string& t) {
        model.setTelephone(4, t);
        prompts.clear();
        return model.Analize_Empty_Telephon(4, true);
    };
    EXPECT_TRUE(entered("+7"));
    EXPECT_TRUE(entered("+79161234567"));
    EXPECT_FALSE(entered("+"));
    EXPECT_FALSE(entered("+7" + std::string(13, ' ')));
    EXPECT_FALSE(entered("+ \t"));
    EXPECT_EQ(messages(), std::vector<std::string>{"Не введен 4 номер телефона"});
    prompts.clear();
    EXPECT_TRUE(model.Analize_Empty_Telephon(4, false)) << "unticking is not tested";
    mode = ExchangeMode::SavingFile;
    EXPECT_TRUE(model.Analize_Empty_Telephon(4, true));
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(TelephoneClockTest, ClockFollowsThePcWhileTheBoxIsOn) {
    EXPECT_FALSE(enabled("Edit_time"));
    EXPECT_EQ(model.look(id("Edit_Date")), Look::InfoBackground);
    now.second = 8;
    model.clockTick();
    EXPECT_EQ(text("Edit_time"), "09:05:08");
    tick("CheckBox4", false);
    EXPECT_TRUE(enabled("Edit_time"));
    EXPECT_EQ(model.look(id("Edit_time")), Look::Window);
    now.second = 9;
    model.clockTick();
    EXPECT_EQ(text("Edit_time"), "09:05:08") << "frozen at the last value";
    type("Edit_Date", "01.01.25");
    now.day = 6;
    tick("CheckBox4");
    EXPECT_EQ(text("Edit_Date"), "06.03.24") << "the date is set when the box is ticked";
    EXPECT_EQ(text("Edit_time"), "09:05:08") << "the time waits for the next tick";
}

} // namespace
} // namespace t6::test
