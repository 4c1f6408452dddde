// The configuration sheet's content: what it lists of a configuration, in
// which words, and what it keeps back (the key codes but their last digits).

#include "config/ConfigSheet.h"

#include <algorithm>

#include "ModelFixture.h"

namespace t6::test {
namespace {

class SheetTest : public ModelTest {
protected:
    SheetTest() {
        model.resetConfig();
        model.setTelephone(1, "+79161234567");
        model.setZoneActive({false, 1}, true);
        model.setZoneMessage({false, 1}, ru("Входная дверь"));
        model.setZoneInputType(1, 2);
        model.setEntryDelay({false, 1}, true);
        model.setZonePhone({false, 1}, 2, true);
        model.setRowEnabled({false, 1}, 1, true);
        model.setRowMinutes({false, 1}, 1, 3);
        model.setRowSeconds({false, 1}, 1, 5);
        model.setRowEnabled({false, 1}, 2, true);
        model.setRowAlwaysOn({false, 1}, 2, true);
        // An inactive zone keeps its message out of the sheet.
        model.setZoneMessage({false, 3}, ru("Гараж"));
        model.setZoneActive({true, 2}, true);
        model.setZoneMessage({true, 2}, ru("Балкон"));
        model.setSensorActive({false, 2}, true);
        model.setLowAlarm({false, 2}, -10);
        model.setHighAlarm({false, 2}, 40);
        model.setRemoteName(1, ru("Папа"));
        model.setRemoteCode(1, "0a1b2c");
        model.setRemoteName(2, ru("Пустой"));
        model.setRemoteCode(2, "000000");
        model.setTouchKey(1, {ru("Охрана"), "01a2b3c4d5e6f708"});
        model.setTouchKey(4, {"", "0102030405069999"});
        model.setTouchKey(5, {ru("Короткий"), "12ab"});
    }

    ConfigSheet sheet(const CaptionText& text = {}) {
        return makeConfigSheet(describeConfig(model), SheetInfo{{2025, 3, 7, 10, 0, 0}, "2.05"},
                               text);
    }
    // Every text of the sheet, UTF-8, one a line.
    static std::string all(const ConfigSheet& s) {
        std::string out = cp1251ToUtf8(s.title) + "\n";
        for (const auto& h : s.heading)
            out += cp1251ToUtf8(h) + "\n";
        for (const auto& section : s.sections) {
            out += "# " + cp1251ToUtf8(section.title) + "\n";
            for (const auto& l : section.lines)
                out += cp1251ToUtf8(l) + "\n";
        }
        return out;
    }
    static const SheetSection* section(const ConfigSheet& s, const char* utf8Title) {
        for (const auto& section : s.sections)
            if (cp1251ToUtf8(section.title) == utf8Title)
                return &section;
        return nullptr;
    }
    static std::vector<std::string> linesOf(const SheetSection* s) {
        std::vector<std::string> v;
        if (s)
            for (const auto& l : s->lines)
                v.push_back(cp1251ToUtf8(l));
        return v;
    }
};

TEST_F(SheetTest, ListsTheActiveZonesWithTheirSettingsAndLeavesTheOthersOut) {
    const ConfigSheet s = sheet();
    EXPECT_EQ(cp1251ToUtf8(s.title), "Лист настроек: Умный Торвел-6");
    EXPECT_EQ(s.heading,
              (std::vector<std::string>{ru("Дата: 07.03.2025"), ru("Версия прибора: 2.05")}));
    EXPECT_EQ(linesOf(section(s, "Список телефонов для оповещения")),
              (std::vector<std::string>{"Номер 1 -- +79161234567"}));
    EXPECT_EQ(
        linesOf(section(s, "Зона 1")),
        (std::vector<std::string>{"Сообщение: Входная дверь", "Тип входа: Нормально замкнутый (НЗ)",
                                  "Задержка на вход: да", "Выход: Сирена (OUT1) — 3 мин 5 с",
                                  "Выход: Выход 2(OUT2) — Вкл. всегда", "Телефоны: 1, 2"}));
    EXPECT_EQ(linesOf(section(s, "Беспроводная Зона2")),
              (std::vector<std::string>{"Сообщение: Балкон", "Задержка на вход: нет", "Выходы: нет",
                                        "Телефоны: 1"}));
    EXPECT_EQ(linesOf(section(s, "Термодатчик 2")),
              (std::vector<std::string>{"Пороги тревоги: Min -10, Max 40 °C",
                                        "Поддержание температуры: нет", "Телефоны: нет"}));
    const std::string text = all(s);
    EXPECT_EQ(text.find("Гараж"), std::string::npos) << text;
    EXPECT_EQ(section(s, "Зона 3"), nullptr);
    EXPECT_EQ(section(s, "Термодатчик 1"), nullptr);
    // Only a remote control with a learned code is in use.
    EXPECT_EQ(linesOf(section(s, "Радиопульты")), (std::vector<std::string>{"1. Папа"}));
    EXPECT_EQ(linesOf(section(s, "Беспроводные выходы")), (std::vector<std::string>{"нет"}));
}

TEST_F(SheetTest, ShowsKeysByTheirLastFourDigitsOnly) {
    const ConfigSheet s = sheet();
    EXPECT_EQ(
        linesOf(section(s, "Ключи Touch Memory")),
        (std::vector<std::string>{"1. Охрана — …f708", "4. без описания — …9999", "5. Короткий — …",
                                  "Коды ключей показаны только последними четырьмя цифрами."}));
    const std::string text = all(s);
    for (const char* code : {"01a2b3c4d5e6f708", "0102030405069999", "12ab"})
        EXPECT_EQ(text.find(code), std::string::npos) << code;
    EXPECT_EQ(keyCodeEnding("abcde"), ru("…bcde"));
    EXPECT_EQ(keyCodeEnding("abcd"), ru("…"));
    EXPECT_EQ(keyCodeEnding(""), ru("…"));
}

TEST_F(SheetTest, SpeaksTheGivenLanguageAndLeavesOutTheVersionWithoutADevice) {
    // Window captions and the program's words are told apart.
    const CaptionText text = [](const std::string& t, TextSource source) {
        return (source == TextSource::Window ? "W:" : "P:") + t;
    };
    const ConfigSheet s =
        makeConfigSheet(describeConfig(model), SheetInfo{{2025, 12, 31}, ""}, text);
    EXPECT_EQ(cp1251ToUtf8(s.title), "P:Лист настроек: W:Умный Торвел-6");
    EXPECT_EQ(s.heading, std::vector<std::string>{ru("W:Дата: 31.12.2025")});
    EXPECT_EQ(linesOf(section(s, "W:Зона 1")).at(2), "P:Задержка на вход: P:да");
    EXPECT_EQ(linesOf(section(s, "W:Зона 1")).at(1), "W:Тип входа: W:Нормально замкнутый (НЗ)");
    // What the user typed or the device gave is never looked up.
    EXPECT_EQ(linesOf(section(s, "W:Зона 1")).at(0), "W:Сообщение: Входная дверь");
}

TEST_F(SheetTest, AListOfAnotherShapeGivesOnlyTheHeading) {
    std::vector<FieldValue> fields = describeConfig(model);
    fields.pop_back();
    const ConfigSheet s = makeConfigSheet(fields, SheetInfo{}, {});
    EXPECT_EQ(s.heading.size(), 1u);
    EXPECT_TRUE(s.sections.empty());
}

} // namespace
} // namespace t6::test
