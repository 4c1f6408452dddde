// Setting fields by name under the window's rules: each refusal with the
// window's own words, and every field taking back the value it shows.

#include <gtest/gtest.h>

#include "common/Cp1251.h"
#include "common/Random.h"
#include "config/ConfigCompare.h"
#include "config/ConfigModel.h"
#include "core/FieldSetting.h"
#include "outputs/OutputUses.h"

namespace t6::test {
namespace {

using Kind = SettingResult::Kind;

class FieldSettingTest : public ::testing::Test {
protected:
    FieldSettingTest() {
        model.startUpChoices();
        model.startUpPanels();
    }
    static std::string nameOf(FieldRole role, int unit = 0, int sub = 0, bool wireless = false) {
        return fieldModelName(fieldIdOf(role, unit, sub, wireless));
    }
    SettingResult set(const std::string& name, const std::string& value) {
        return applyFieldSetting(model, watchBoxes(prompts), {name, value});
    }
    void setAll(const std::vector<std::pair<std::string, std::string>>& settings) {
        for (const auto& [name, value] : settings)
            ASSERT_EQ(set(name, value).kind, Kind::Done) << name << "=" << value;
    }
    std::string value(const std::string& name) {
        for (const FieldValue& f : describeConfig(model))
            if (f.name == name)
                return f.value;
        return "?";
    }

    SettingPrompts prompts;
    SeededRandom random{1};
    ConfigModel model{prompts, random, [] { return ModelContext::Editing; },
                      [] { return LocalTime{}; }};
};

TEST_F(FieldSettingTest, AZonesTelephoneThatIsNotEnteredIsRefusedWithTheWindowsBox) {
    model.setTelephone(3, "");
    setAll({{nameOf(FieldRole::ZoneActive, 1), "1"}});
    const SettingResult r = set(nameOf(FieldRole::ZonePhone, 1, 3), "1");
    EXPECT_EQ(r.kind, Kind::Refused);
    EXPECT_EQ(r.box, ru("Не введен 3 номер телефона"));
    // Once the telephone is entered the same setting is taken.
    setAll({{nameOf(FieldRole::Telephone, 3), "+79001234567"}});
    EXPECT_EQ(set(nameOf(FieldRole::ZonePhone, 1, 3), "1").kind, Kind::Done);
    EXPECT_EQ(value(nameOf(FieldRole::ZonePhone, 1, 3)), "1");
}

TEST_F(FieldSettingTest, AnOutputAlreadyUsedInTheZoneIsRefusedWithTheWindowsBox) {
    setAll({{nameOf(FieldRole::ZoneActive, 2), "1"},
            {nameOf(FieldRole::RowEnabled, 2, 1), "1"},
            {nameOf(FieldRole::RowEnabled, 2, 2), "1"}});
    // The first output row 1 may take (some are the arming output's already).
    std::string output;
    for (const std::string& item : model.items(fieldIdOf(FieldRole::RowOutput, 2, 1))) {
        if (!item.empty() &&
            set(nameOf(FieldRole::RowOutput, 2, 1), cp1251ToUtf8(item)).kind == Kind::Done) {
            output = item;
            break;
        }
        prompts.boxes.clear();
    }
    ASSERT_FALSE(output.empty());
    const SettingResult r = set(nameOf(FieldRole::RowOutput, 2, 2), cp1251ToUtf8(output));
    EXPECT_EQ(r.kind, Kind::Refused);
    EXPECT_EQ(r.box, sameOutputMessage());
}

TEST_F(FieldSettingTest, WhatTheEditorsWouldNotTakeIsRefusedBeforeTheRules) {
    const FieldDescription* fixed = nullptr;
    for (const FieldDescription& d : fieldDescriptions())
        if (!d.userEditable && !d.hidden && !fixed)
            fixed = &d;
    struct Row {
        std::string name;
        std::string value;
        Kind kind;
    };
    const std::vector<Row> rows{
        {"noSuchField", "1", Kind::UnknownName},
        {nameOf(FieldRole::ArmingDelay), "9999", Kind::OutOfRange},
        {nameOf(FieldRole::ArmingDelay), "-1", Kind::BadValue},
        {nameOf(FieldRole::ArmingDelay), "12a", Kind::BadValue},
        {nameOf(FieldRole::ArmingBeep), "2", Kind::BadValue},
        {nameOf(FieldRole::ArmingBeep), "да", Kind::BadValue},
        {nameOf(FieldRole::ArmingMethod), "no such item", Kind::BadValue},
        {nameOf(FieldRole::Telephone, 1), "12ab", Kind::BadValue},
        {nameOf(FieldRole::Telephone, 1), "☎", Kind::BadValue},
        // An inactive zone's message cannot be typed into.
        {nameOf(FieldRole::ZoneMessage, 1), "Дверь", Kind::Disabled},
    };
    for (const Row& r : rows) {
        const std::vector<FieldValue> before = describeConfig(model);
        const SettingResult result = set(r.name, r.value);
        EXPECT_EQ(result.kind, r.kind) << r.name << "=" << r.value;
        EXPECT_TRUE(prompts.boxes.empty()) << r.name;
        const std::vector<FieldValue> after = describeConfig(model);
        for (std::size_t i = 0; i < before.size(); ++i)
            EXPECT_EQ(before[i].value, after[i].value) << r.name << " changed " << after[i].name;
    }
    if (fixed) {
        EXPECT_EQ(set(fieldModelName(fixed->id), "1").kind, Kind::NotEditable);
    }
    // A message longer than the editor holds.
    setAll({{nameOf(FieldRole::ZoneActive, 1), "1"}});
    EXPECT_EQ(set(nameOf(FieldRole::ZoneMessage, 1), std::string(26, 'a')).kind, Kind::OutOfRange);
    EXPECT_EQ(set(nameOf(FieldRole::ZoneMessage, 1), std::string(25, 'a')).kind, Kind::Done);
}

TEST_F(FieldSettingTest, TheRefusalsAreWordedWithTheFieldAndItsBounds) {
    auto russian = [](const std::string& t) { return t; };
    const FieldSetting delay{nameOf(FieldRole::ArmingDelay), "9999"};
    const SettingResult r = applyFieldSetting(model, watchBoxes(prompts), delay);
    const FieldDescription& d = fieldDescription(*r.field);
    EXPECT_EQ(cp1251ToUtf8(settingRefusalText(russian, r, delay)),
              "Значение вне пределов поля " + delay.name + " (" + cp1251ToUtf8(fieldCaption(d.id)) +
                  ") (" + std::to_string(d.minimum) + ".." + std::to_string(d.maximum) + "): 9999");
    SettingResult refused;
    refused.kind = Kind::Refused;
    refused.box = ru("Не введен 3 номер телефона");
    EXPECT_EQ(settingRefusalText(russian, refused, delay), refused.box);
}

TEST_F(FieldSettingTest, EveryEnabledFieldTakesBackTheValueItShows) {
    // A configuration where most controls are enabled.
    setAll({{nameOf(FieldRole::Telephone, 1), "+79001234567"},
            {nameOf(FieldRole::ZoneActive, 1), "1"},
            {nameOf(FieldRole::RowEnabled, 1, 1), "1"},
            {nameOf(FieldRole::SensorActive, 1), "1"},
            {nameOf(FieldRole::OutputUsed, 1), "1"}});
    int tried = 0;
    for (const FieldDescription& d : fieldDescriptions()) {
        if (!d.userEditable || d.hidden || !model.isEnabled(d.id))
            continue;
        const std::string name = fieldModelName(d.id);
        const std::string shown = value(name);
        const std::vector<FieldValue> before = describeConfig(model);
        const SettingResult r = set(name, cp1251ToUtf8(shown));
        if (r.kind == Kind::BadValue && shown.empty())
            continue; // an empty list or editor: nothing the user could pick or type
        ASSERT_EQ(r.kind, Kind::Done) << name << "=" << cp1251ToUtf8(shown);
        const std::vector<FieldValue> after = describeConfig(model);
        for (std::size_t i = 0; i < before.size(); ++i)
            EXPECT_EQ(before[i].value, after[i].value) << name << " changed " << after[i].name;
        ++tried;
    }
    EXPECT_GT(tried, 100);
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST(FieldSettingWords, NameEqualsValueIsSplitAtTheFirstEquals) {
    EXPECT_EQ(parseFieldSetting("a=b=c")->value, "b=c");
    EXPECT_EQ(parseFieldSetting("a=")->value, "");
    EXPECT_FALSE(parseFieldSetting("=b"));
    EXPECT_FALSE(parseFieldSetting("ab"));
}

} // namespace
} // namespace t6::test
