#include "config/ConfigCompare.h"

#include <set>

#include "ModelFixture.h"

namespace t6::test {
namespace {

// Two started models, both reset as a read or a load leaves them.
class CompareTest : public ModelTest {
protected:
    CompareTest() {
        model.resetConfig();
        other.startUp();
        other.resetConfig();
    }

    // name -> value (UTF-8) of one model.
    static std::string valueOf(const ConfigModel& m, const std::string& name) {
        for (const FieldValue& f : describeConfig(m))
            if (f.name == name)
                return cp1251ToUtf8(f.value);
        ADD_FAILURE() << "no field " << name;
        return {};
    }

    // The only difference between model and other, as UTF-8 texts.
    std::vector<std::string> onlyDifference() {
        const auto diffs = compareConfigs(other, model);
        EXPECT_EQ(diffs.size(), 1u);
        if (diffs.size() != 1)
            return {};
        const FieldDifference& d = diffs.front();
        return {d.name, cp1251ToUtf8(d.caption), cp1251ToUtf8(d.before), cp1251ToUtf8(d.after)};
    }

    ScriptedPrompts otherPrompts;
    ScriptedRandom otherRandom;
    ConfigModel other{otherPrompts, otherRandom, [] { return ModelContext::Editing; },
                      [] { return LocalTime{}; }};
};

TEST_F(CompareTest, EveryFieldOnceInPanelOrderWithTheKeysLast) {
    const auto fields = describeConfig(model);
    const auto& descriptions = fieldDescriptions();
    ASSERT_EQ(fields.size(), descriptions.size() + 20);
    std::set<std::string> names;
    std::set<std::string> captions;
    for (const FieldValue& f : fields) {
        EXPECT_TRUE(names.insert(f.name).second) << "name twice: " << f.name;
        EXPECT_TRUE(captions.insert(f.caption).second) << "caption twice: " << f.name;
        for (char ch : f.name)
            EXPECT_TRUE(ch > ' ' && ch < 127) << f.name;
    }
    EXPECT_EQ(fields.front().name, "telephones[1]");
    EXPECT_EQ(cp1251ToUtf8(fields.front().caption), "Список телефонов для оповещения, Номер 1 --");
    EXPECT_EQ(fields[descriptions.size()].name, "touchKeys[1].description");
    EXPECT_EQ(cp1251ToUtf8(fields[descriptions.size()].caption), "Ключ 1, Описание");
    EXPECT_EQ(fields.back().name, "touchKeys[10].code");

    // Each field sits where its description does.
    auto at = [&](const std::string& control) {
        return fields.at(static_cast<size_t>(id(control)));
    };
    const std::vector<std::vector<std::string>> expected = {
        {"SE_inp", "armingDelay", "Время задержки: 0-250(c), Постановка -"},
        {"SE_volume_microfon", "microphoneVolume", "Громкость: Микрофон"},
        {"CB_SMS_in3", "smsOnArming[3]", "Отправлять SMS при постановке, Телефон 3"},
        {"CB_delay_bp2", "wirelessZones[2].entryDelay",
         "Время задержки: 0-250(c), для беспроводных: 2"},
        {"CB_on_output_in", "armingOutput", "При постановке на охрану включить, Выход"},
        {"Edit2", "wiredZones[2].message", "Зона 2, Сообщение"},
        {"CheckBox_21", "wiredZones[2].outputsEnabled", "Зона 2, Задействовать выходы"},
        {"RG_OUT11", "wiredZones[1].actions[4].enabled", "Зона 1, Строка 4"},
        {"Edit_OUT32m_bp", "wirelessZones[3].actions[2].minutes",
         "Беспроводная Зона3, Строка 2, Минуты"},
        {"RG_OUT31_bp_4", "wirelessZones[3].actions[4].output",
         "Беспроводная Зона3, Строка 4, Выход"},
        {"CB_in4_tel5", "wiredZones[4].phones[5]", "Зона 4, Телефон 5"},
        {"SE_min_td1", "thermoSensors[1].lowAlarm", "Термодатчик 1, Min"},
        {"BTD_kod6", "wirelessThermoSensors[6].code", "Беспроводной термодатчик 6, Код"},
        {"b_out16_type", "wirelessOutputs[16].type", "Беспроводной выход 16, Тип Выхода"},
        {"cb_bout2", "wirelessOutputs[2].used", "Беспроводной выход 2"},
        {"RP_Name_10", "remoteControls[10].name", "Радиопульты, Пульт 10, Название"},
        {"CB_button4", "button4Output", "При нажатии кнопки 4, Включить, Выход"},
        {"RG_Lang", "messageLanguage", "Язык сообщений"},
    };
    for (const auto& e : expected) {
        EXPECT_EQ(at(e[0]).name, e[1]) << e[0];
        EXPECT_EQ(cp1251ToUtf8(at(e[0]).caption), e[2]) << e[0];
    }
}

TEST_F(CompareTest, ValuesAsTheWindowShowsThem) {
    EXPECT_EQ(valueOf(model, "telephones[2]"), "+7");
    EXPECT_EQ(valueOf(model, "clockFromPc"), "1");
    EXPECT_EQ(valueOf(model, "alarmSms"), "0");
    EXPECT_EQ(valueOf(model, "speakerVolume"), "9");
    EXPECT_EQ(valueOf(model, "thermoSensors[2].comfortTemp"), "1");
    EXPECT_EQ(valueOf(model, "armingMethod"), "");
    EXPECT_EQ(valueOf(model, "armedIndicator"), "");
    EXPECT_EQ(valueOf(model, "messageLanguage"), "0");
    EXPECT_EQ(valueOf(model, "wiredZones[1].inputType"), "");
    EXPECT_EQ(valueOf(model, "wiredZones[3].actions[3].output"), "Реле 1(Relay1)");
    EXPECT_EQ(valueOf(model, "remoteControls[4].name"), "Пульт 4");
    EXPECT_EQ(valueOf(model, "wirelessOutputs[1].type"), "Беспроводное реле");
    EXPECT_EQ(valueOf(model, "touchKeys[3].code"), "");

    model.setArmingMethod(2);
    model.setArmedIndicator(1);
    model.setZoneInputType(4, SmokeTwoWire);
    model.setMessageLanguage(1);
    model.setRowOutput(wiredZone(2), 1, std::nullopt);
    EXPECT_EQ(valueOf(model, "armingMethod"), "Touch Memory/Импульс");
    EXPECT_EQ(valueOf(model, "armedIndicator"), "Внешн. извещатель");
    EXPECT_EQ(valueOf(model, "wiredZones[4].inputType"), "Дымовой 2-х проводный датчик");
    EXPECT_EQ(valueOf(model, "messageLanguage"), "1");
    EXPECT_EQ(valueOf(model, "wiredZones[2].actions[1].output"), "");
}

TEST_F(CompareTest, ResetModelsHoldNoDifference) {
    EXPECT_TRUE(compareConfigs(model, model).empty());
    EXPECT_TRUE(compareConfigs(model, other).empty());
    EXPECT_TRUE(compareConfigs(other, model).empty());
}

TEST_F(CompareTest, OneChangeOfEachKindIsOneDifference) {
    model.setArmingBeep(true);
    EXPECT_EQ(onlyDifference(),
              (std::vector<std::string>{"armingBeep", "Звуковой сигнал при постановке/снятии", "0",
                                        "1"}));
    model.setArmingBeep(false);

    model.setArmingDelay(30);
    EXPECT_EQ(onlyDifference(),
              (std::vector<std::string>{"armingDelay", "Время задержки: 0-250(c), Постановка -",
                                        "0", "30"}));
    model.setArmingDelay(0);

    model.setRowMinutes(wirelessZone(6), 3, 500);
    EXPECT_EQ(onlyDifference(),
              (std::vector<std::string>{"wirelessZones[6].actions[3].minutes",
                                        "Беспроводная Зона6, Строка 3, Минуты", "0", "500"}));
    model.setRowMinutes(wirelessZone(6), 3, 0);

    model.setZoneMessage(wiredZone(2), ru("Окно кухни"));
    EXPECT_EQ(onlyDifference(), (std::vector<std::string>{"wiredZones[2].message",
                                                          "Зона 2, Сообщение", "", "Окно кухни"}));
    model.setZoneMessage(wiredZone(2), {});

    model.setZoneInputType(1, NormallyOpen);
    EXPECT_EQ(onlyDifference(),
              (std::vector<std::string>{"wiredZones[1].inputType", "Зона 1, Тип входа", "",
                                        "Нормально разомкнутый (НРЗ)"}));
    model.setZoneInputType(1, std::nullopt);

    model.setArmedIndicator(0);
    EXPECT_EQ(onlyDifference(),
              (std::vector<std::string>{"armedIndicator", "Выход состояния охраны", "",
                                        "Светодиод(LED)"}));
    model.setArmedIndicator(std::nullopt);

    model.setSensorOutput(wirelessSensor(5), 3);
    EXPECT_EQ(onlyDifference(),
              (std::vector<std::string>{"wirelessThermoSensors[5].output",
                                        "Беспроводной термодатчик 5, Применить для выхода:",
                                        "Сирена (OUT1)", "Реле 2(Relay2)"}));
    model.setSensorOutput(wirelessSensor(5), 0);

    model.setTouchKey(7, {ru("Вахтёр"), "01AB"});
    const auto diffs = compareConfigs(other, model);
    ASSERT_EQ(diffs.size(), 2u);
    EXPECT_EQ(diffs[0].name, "touchKeys[7].description");
    EXPECT_EQ(cp1251ToUtf8(diffs[0].after), "Вахтёр");
    EXPECT_EQ(diffs[1].name, "touchKeys[7].code");
    EXPECT_EQ(diffs[1].before, "");
    EXPECT_EQ(diffs[1].after, "01AB");
    model.setTouchKey(7, {});
    EXPECT_TRUE(compareConfigs(other, model).empty());
}

TEST_F(CompareTest, DifferencesComeInPanelOrder) {
    model.setRemoteCode(2, "ABC123");
    model.setTelephone(5, "+79161234567");
    model.setSpeakerVolume(3);
    const auto diffs = compareConfigs(model, other);
    ASSERT_EQ(diffs.size(), 3u);
    EXPECT_EQ(diffs[0].name, "telephones[5]");
    EXPECT_EQ(diffs[0].before, "+79161234567");
    EXPECT_EQ(diffs[0].after, "+7");
    EXPECT_EQ(diffs[1].name, "speakerVolume");
    EXPECT_EQ(diffs[2].name, "remoteControls[2].code");
}

TEST_F(CompareTest, OutputChoicesNameTheWirelessOutputsByTheirItems) {
    useOutput(2, WirelessSiren, "Сирена двор", "12AB34");
    useOutput(5, FourChannelRelay, "Насосы", "0A0B0C");
    // Positions 4 on: the siren, then the four channels of the relay.
    model.setRowOutput(wiredZone(1), 2, 4);
    model.setRowOutput(wirelessZone(2), 1, 7);
    model.setSensorOutput(wiredSensor(2), 8);
    EXPECT_EQ(valueOf(model, "wiredZones[1].actions[2].output"), "Сирена двор");
    EXPECT_EQ(valueOf(model, "wirelessZones[2].actions[1].output"), "Насосы канал3");
    EXPECT_EQ(valueOf(model, "thermoSensors[2].output"), "Насосы канал4");
    EXPECT_EQ(valueOf(model, "wirelessOutputs[5].type"), "Беспроводное реле LR-4");
    EXPECT_EQ(valueOf(model, "wirelessOutputs[5].code"), "0A0B0C");

    // Against a model without the wireless outputs, the choices differ by their texts.
    std::set<std::string> differing;
    for (const FieldDifference& d : compareConfigs(other, model))
        differing.insert(d.name);
    EXPECT_TRUE(differing.count("wiredZones[1].actions[2].output"));
    EXPECT_TRUE(differing.count("wirelessOutputs[5].used"));
    EXPECT_FALSE(differing.count("wiredZones[1].actions[1].output"));
}

// Worded for a language: each caption part and each list item through the
// function as the window's caption or the program's own word; tick boxes as
// yes and no; what the user typed as it is.
TEST_F(CompareTest, DifferencesAreWordedPartByPartAndFilteredByField) {
    const CaptionText text = [](const std::string& t, TextSource source) {
        return (source == TextSource::Window ? "W:" : "P:") + t;
    };
    model.setZoneActive(wiredZone(1), true);
    model.setZoneMessage(wiredZone(1), ru("Дверь"));
    model.setZoneInputType(1, 2);
    model.setRowEnabled(wiredZone(1), 4, true);
    model.setRowOutput(wiredZone(1), 4, 0);
    model.setRemoteName(3, ru("Мама"));
    model.setTouchKey(2, {ru("Охрана"), "0102"});
    const auto diffs =
        compareFields(describeConfig(other), describeConfig(model), text, isSentToDevice);
    std::vector<std::vector<std::string>> seen;
    for (const FieldDifference& d : diffs)
        seen.push_back(
            {d.name, cp1251ToUtf8(d.caption), cp1251ToUtf8(d.before), cp1251ToUtf8(d.after)});
    EXPECT_EQ(
        seen,
        (std::vector<std::vector<std::string>>{
            {"wiredZones[1].active", "W:Зона 1, W:Активировать", "P:нет", "P:да"},
            {"wiredZones[1].message", "W:Зона 1, W:Сообщение", "", "Дверь"},
            {"wiredZones[1].inputType", "W:Зона 1, W:Тип входа", "", "W:Нормально замкнутый (НЗ)"},
            {"wiredZones[1].outputsEnabled", "W:Зона 1, W:Задействовать выходы", "P:нет", "P:да"},
            {"wiredZones[1].actions[4].enabled", "W:Зона 1, P:Строка 4", "P:нет", "P:да"},
            {"wiredZones[1].actions[4].output", "W:Зона 1, P:Строка 4, P:Выход", "W:Реле 2(Relay2)",
             "W:Сирена (OUT1)"},
            {"remoteControls[3].name", "W:Радиопульты, P:Пульт 3, W:Название", "Пульт 3", "Мама"}}))
        << "the keys are not sent with the configuration";
    // Without a function the words are the Russian ones and the values raw.
    const auto plain = compareFields(describeConfig(other), describeConfig(model));
    ASSERT_EQ(plain.size(), 9u);
    EXPECT_EQ(cp1251ToUtf8(plain[4].caption), "Зона 1, Строка 4");
    EXPECT_EQ(plain[4].after, "1");
    EXPECT_EQ(plain[7].name, "touchKeys[2].description");
    EXPECT_FALSE(isHeldInFile("touchKeys[2].code"));
    EXPECT_FALSE(isHeldInFile("clockFromPc"));
    EXPECT_TRUE(isHeldInFile("sirenOutput"));
    EXPECT_FALSE(isSentToDevice("sirenOutput"));
    EXPECT_TRUE(isSentToDevice("deviceTime"));
}

} // namespace
} // namespace t6::test
