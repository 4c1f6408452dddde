// The file menu saves what the window shows and brings it back.

#include <QCheckBox>
#include <QLineEdit>

#include "WindowFixture.h"
#include "files/ConfigFile.h"
#include "i18n/Dictionary.h"
#include "i18n/IniFile.h"

namespace t6::test {
namespace {

class FileMenuTest : public WindowFixture {
protected:
    QCheckBox* box(const char* n) { return child<QCheckBox>(n); }
    QLineEdit* edit(const char* n) { return child<QLineEdit>(n); }
};

TEST_F(FileMenuTest, SaveThenLoadBringsBackWhatTheWindowShowed) {
    open();
    box("CheckBox_in2")->click();
    edit("Edit2")->selectAll();
    edit("Edit2")->insert(u("Гараж"));
    const std::string saved = (dir / "garage.cfg").string();
    prompts.fileNames = {saved};
    child<QAction>("N3")->trigger();
    ASSERT_TRUE(std::filesystem::exists(saved)) << prompts.lastUtf8();
    EXPECT_NE(file("garage.cfg").find(ru("Гараж")), std::string::npos);

    box("CheckBox_in2")->click(); // the user changes the window afterwards
    EXPECT_FALSE(box("CheckBox_in2")->isChecked());
    prompts.fileNames = {saved};
    child<QAction>("N2")->trigger();
    EXPECT_TRUE(box("CheckBox_in2")->isChecked());
    EXPECT_EQ(edit("Edit2")->text(), u("Гараж"));
    EXPECT_TRUE(edit("Edit2")->isEnabled());
    EXPECT_EQ(core->exchange().mode(), ExchangeMode::Idle);
}

TEST_F(FileMenuTest, AMalformedFileLeavesTheWindowAsItWas) {
    open();
    box("CheckBox_in1")->click();
    {
        std::ofstream f(dir / "bad.cfg", std::ios::binary);
        f << "#01\r\nmessage\r\nx\r\n";
    }
    prompts.fileNames = {(dir / "bad.cfg").string()};
    child<QAction>("N2")->trigger();
    ASSERT_FALSE(prompts.shown.empty());
    EXPECT_EQ(prompts.shown.back().kind, ScriptedPrompts::Kind::Error);
    EXPECT_NE(prompts.lastUtf8().find("bad.cfg"), std::string::npos) << prompts.lastUtf8();
    EXPECT_TRUE(box("CheckBox_in1")->isChecked());
    EXPECT_EQ(core->exchange().mode(), ExchangeMode::Idle);
}

TEST(FileMessages, EveryFaultOfAFileHasEnglish) {
    auto dic = IniFile::read(std::filesystem::path(T6_SOURCE_DIR) / "data" / "trans.dic");
    ASSERT_TRUE(dic.has_value());
    for (auto fault :
         {ConfigFileFault::EmptyLine, ConfigFileFault::NotANumber, ConfigFileFault::ShortFlagLine,
          ConfigFileFault::EndsTooEarly, ConfigFileFault::NoSections}) {
        const std::string key = dictionaryKey(configFileFaultText(fault));
        auto eng = dic->value("Eng1", key);
        EXPECT_TRUE(eng && !eng->empty()) << cp1251ToUtf8(key);
        EXPECT_TRUE(dic->value("Rus1", key).has_value()) << cp1251ToUtf8(key);
    }
}

} // namespace
} // namespace t6::test
