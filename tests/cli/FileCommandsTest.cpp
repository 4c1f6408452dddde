#include "cli/FileCommands.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sstream>

#include "cli/CommandContext.h"
#include "common/PathTraps.h"
#include "config/ConfigCompare.h"
#include "files/FilesFixture.h"

namespace t6::test {
namespace {

using cli::Exit::Differs;
using cli::Exit::FileError;
using cli::Exit::Ok;

class FileCommandsTest : public ::testing::Test {
protected:
    // Writes a file into the test's directory; its path.
    std::string file(const std::string& name, const Bytes& bytes) {
        const std::string path = dir / name;
        writeFile(path, bytes);
        return path;
    }
    std::vector<std::string> outLines() const { return split(out.str()); }
    std::vector<std::string> errLines() const { return split(err.str()); }
    static std::vector<std::string> split(const std::string& text) {
        std::vector<std::string> v;
        std::istringstream in(text);
        for (std::string l; std::getline(in, l);)
            v.push_back(l);
        return v;
    }
    int show(const std::string& path, bool json = false) {
        return cli::showCommand(context, path, json);
    }
    int diff(const std::string& a, const std::string& b) { return cli::diffCommand(context, a, b); }

    FilesDir dir;
    std::ostringstream out;
    std::ostringstream err;
    // One message in English, so that a test sees the translation used.
    cli::CommandContext context{out, err, dir.path().string(), [](const std::string& t) {
                                    return t == ru("Файл не найден") ? "File not found" : t;
                                }};
};

// A small file: telephone 1 and the low-level arming method.
const Bytes smallFile = withTrailer(lines({"#11", "79161234567", "//#11", "#20", "L", "//#20"}));

// Wired zone 1 active with the message given (Windows-1251 bytes) and wired
// zone 2 with an input type the reader reports.
Bytes zonesFile(const Bytes& message) {
    Bytes zeros;
    for (int i = 0; i < 12; ++i)
        zeros += "0\r\n";
    return withTrailer(lines({"#01"}) + message + "\r\n" + lines({"2", "1", "0"}) + zeros +
                       rawLine({0x01}) + lines({"//#01", "#02", "", "7", "1", "0"}) + zeros +
                       rawLine({0x02}) + lines({"//#02"}));
}

TEST_F(FileCommandsTest, ShowWritesEveryFieldOnItsLine) {
    const std::string path = file("small.cfg", smallFile);
    ASSERT_EQ(show(path), Ok);
    EXPECT_EQ(err.str(), "");
    const auto got = outLines();
    ASSERT_EQ(got.size(), fieldDescriptions().size() + 20);
    const std::vector<std::string> head = {
        "telephones[1]\tСписок телефонов для оповещения, Номер 1 --\t+79161234567",
        "telephones[2]\tСписок телефонов для оповещения, Номер 2 --\t+7",
        "telephones[3]\tСписок телефонов для оповещения, Номер 3 --\t+7",
        "telephones[4]\tСписок телефонов для оповещения, Номер 4 --\t+7",
        "telephones[5]\tСписок телефонов для оповещения, Номер 5 --\t+7",
        "deviceDate\tСписок телефонов для оповещения, Дата\t",
        "deviceTime\tСписок телефонов для оповещения, Время\t",
        "clockFromPc\tСписок телефонов для оповещения, Дата и время. Синхронизация с ПК\t1",
        "armingDelay\tВремя задержки: 0-250(c), Постановка -\t0",
        "disarmingDelay\tВремя задержки: 0-250(c), Снятие -\t0",
        "armingMethod\tСпособ\tНизкий",
        "smsOnArming[1]\tОтправлять SMS при постановке, Телефон 1\t0",
    };
    EXPECT_EQ(std::vector<std::string>(got.begin(), got.begin() + 12), head);
    auto line = [&](const std::string& control) {
        return got.at(static_cast<std::size_t>(*findField(control)));
    };
    EXPECT_EQ(line("CheckBox_in1"), "wiredZones[1].active\tЗона 1, Активировать\t0");
    EXPECT_EQ(line("RG_OUT11_4"), "wiredZones[1].actions[4].output\tЗона 1, Строка 4, Выход\t"
                                  "Реле 2(Relay2)");
    EXPECT_EQ(line("SE_min_td2"), "thermoSensors[2].lowAlarm\tТермодатчик 2, Min\t1");
    EXPECT_EQ(line("RP_Name_3"), "remoteControls[3].name\tРадиопульты, Пульт 3, Название\tПульт 3");
    EXPECT_EQ(got.back(), "touchKeys[10].code\tКлюч 10, КодКлюча\t");
}

TEST_F(FileCommandsTest, ShowKeepsAFieldWithLineBreaksOnOneLineAndReportsToStandardError) {
    const std::string path = file("zones.cfg", zonesFile(ru("Окно \"А\"\\\nэт.\t2")));
    ASSERT_EQ(show(path), Ok);
    const auto got = outLines();
    ASSERT_EQ(got.size(), fieldDescriptions().size() + 20);
    EXPECT_EQ(got.at(static_cast<std::size_t>(*findField("Edit1"))),
              "wiredZones[1].message\tЗона 1, Сообщение\tОкно \"А\"\\\\\\nэт.\\t2");
    EXPECT_EQ(got.at(static_cast<std::size_t>(*findField("CBox_IN1"))),
              "wiredZones[1].inputType\tЗона 1, Тип входа\tНормально замкнутый (НЗ)");
    // The report of the load, named by the file.
    EXPECT_EQ(errLines(),
              (std::vector<std::string>{"torvel6: " + path + ": #2 Уровень Активации :=7"}));
}

TEST_F(FileCommandsTest, ShowRefreshesThePanelsAsTheWindowsLoadDoes) {
    // Sensor 1 active, keeping no temperature but regulating after disarming:
    // the window's load clears the regulation once the file is read.
    const std::string path =
        file("sensor.cfg", withTrailer(lines({"#23"}) + rawLine({0x81}) +
                                       lines({"10", "40", "0", "0", "5", "22", "1", "0", "0", "0",
                                              "0", "0", "0", "0", "0", "//#23"})));
    ASSERT_EQ(show(path), Ok);
    const auto got = outLines();
    auto line = [&](const std::string& control) {
        return got.at(static_cast<std::size_t>(*findField(control)));
    };
    EXPECT_EQ(line("CheckBox_td1"), "thermoSensors[1].active\tТермодатчик 1, Активировать\t1");
    EXPECT_EQ(line("SE_max_td11"), "thermoSensors[1].comfortTemp\tТермодатчик 1, Комфорт\t22");
    EXPECT_EQ(line("CheckBox_td1_auto"),
              "thermoSensors[1].autoAfterDisarm\tТермодатчик 1, Авторегулировка температуры после "
              "снятия с охраны\t0");
}

TEST_F(FileCommandsTest, JsonIsOneObjectInTheFieldsOrderWithEscapedTexts) {
    // A CR LF inside a message ends its line in a file: the bare LF is what a file can hold.
    const std::string path = file("zones.cfg", zonesFile(ru("Окно \"А\"\nэт.2")));
    ASSERT_EQ(show(path, true), Ok);
    const std::string text = out.str();
    EXPECT_NE(text.find(R"("value": "Окно \"А\"\nэт.2")"), std::string::npos) << text;
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');

    const auto doc = nlohmann::ordered_json::parse(text);
    std::vector<std::string> keys;
    for (const auto& [k, v] : doc.items())
        keys.push_back(k);
    EXPECT_EQ(keys, (std::vector<std::string>{"file", "fields"}));
    EXPECT_EQ(doc["file"], path);

    // The same fields, in the same order, as the text form shows.
    out.str({});
    ASSERT_EQ(show(path), Ok);
    const auto shown = outLines();
    ASSERT_EQ(doc["fields"].size(), shown.size());
    std::size_t i = 0;
    for (const auto& [name, field] : doc["fields"].items()) {
        const std::string line = shown[i++];
        EXPECT_EQ(line.substr(0, line.find('\t')), name);
        std::vector<std::string> fieldKeys;
        for (const auto& [k, v] : field.items())
            fieldKeys.push_back(k);
        EXPECT_EQ(fieldKeys, (std::vector<std::string>{"caption", "value"})) << name;
    }
    EXPECT_EQ(doc["fields"]["wiredZones[1].message"]["value"], "Окно \"А\"\nэт.2");
    EXPECT_EQ(doc["fields"]["wiredZones[1].message"]["caption"], "Зона 1, Сообщение");
    EXPECT_EQ(doc["fields"]["armingMethod"]["value"], "");
    EXPECT_EQ(doc["fields"]["telephones[3]"]["value"], "+7");
}

TEST_F(FileCommandsTest, JsonEscapesControlBytesAndKeepsAnOddFileName) {
    // A remote control's name holds a control byte and the code page's undefined byte.
    Bytes remotes;
    remotes += "#100\r\n";
    remotes += std::string("A\x1B[31m\x98", 7) + "\r\n1\r\n";
    for (int k = 2; k <= 10; ++k)
        remotes += "\r\n\r\n";
    remotes += rawLine({0}) + lines({"1", "0", "//#100"});
    const std::string path = dir / "name-\xFF.cfg";
    writeFile(path, withTrailer(remotes));
    ASSERT_EQ(show(path, true), Ok);
    const std::string text = out.str();
    EXPECT_EQ(text.find('\x1B'), std::string::npos);
    EXPECT_EQ(text.find("\xC2\x98"), std::string::npos);
    EXPECT_NE(text.find(R"("value": "A\u001b[31m\u0098")"), std::string::npos) << text;
    const auto doc = nlohmann::ordered_json::parse(text);
    EXPECT_EQ(doc["fields"]["remoteControls[1].name"]["value"], "A\x1B[31m\xC2\x98");
    EXPECT_EQ(doc["file"], dir / "name-\xEF\xBF\xBD.cfg");

    out.str({});
    ASSERT_EQ(show(path), Ok);
    EXPECT_EQ(outLines().at(static_cast<std::size_t>(*findField("RP_Name_1"))),
              "remoteControls[1].name\tРадиопульты, Пульт 1, Название\tA\\x1B[31m\\x98");
}

TEST_F(FileCommandsTest, FilesThatCannotBeShownExitWithTheirMessage) {
    const std::string missing = dir / "missing.cfg";
    EXPECT_EQ(show(missing), FileError);
    // The path stays on the line of what is said of it.
    EXPECT_EQ(err.str(), "torvel6: File not found: " + missing + "\n");

    err.str({});
    EXPECT_EQ(show(dir.path().string()), FileError);
    EXPECT_EQ(errLines(),
              (std::vector<std::string>{"torvel6: Ошибка чтения файла: " + dir.path().string(),
                                        "torvel6: Это папка, а не файл"}));

    err.str({});
    const std::string shortFlags = file(
        "short.cfg", withTrailer(lines({"#11", "7", "//#11", "#21", "11111", "101", "//#21"})));
    EXPECT_EQ(show(shortFlags), FileError);
    EXPECT_EQ(errLines(),
              (std::vector<std::string>{
                  "torvel6: Файл конфигурации не загружен: ошибка формата: " + shortFlags,
                  "torvel6: Строка 6 (раздел #21): строка флагов короче, чем нужно"}));

    err.str({});
    const std::string text = file("notes.txt", "just some notes\r\n");
    EXPECT_EQ(diff(file("small.cfg", smallFile), text), FileError);
    EXPECT_EQ(errLines(), (std::vector<std::string>{
                              "torvel6: Файл конфигурации не загружен: ошибка формата: " + text,
                              "torvel6: в файле нет ни одного раздела конфигурации"}));
    EXPECT_EQ(out.str(), "");
}

TEST_F(FileCommandsTest, AFifoIsRefusedAtOnce) {
    Fifo fifo(dir.path() / "pipe.cfg");
    ASSERT_TRUE(fifo.made());
    int code = -1;
    const double seconds = secondsTaken([&] { code = show(fifo.str()); });
    EXPECT_EQ(code, FileError);
    EXPECT_LT(seconds, 1.0);
    EXPECT_FALSE(fifo.rescued());
    ASSERT_EQ(errLines().size(), 2u);
    EXPECT_EQ(errLines()[0], "torvel6: Ошибка чтения файла: " + fifo.str());
    EXPECT_EQ(out.str(), "");

    err.str({});
    code = -1;
    const std::string good = file("small.cfg", smallFile);
    EXPECT_LT(secondsTaken([&] { code = diff(good, fifo.str()); }), 1.0);
    EXPECT_EQ(code, FileError);
    EXPECT_FALSE(fifo.rescued());
}

TEST_F(FileCommandsTest, DiffListsTheDifferingFieldsWithBothValues) {
    const std::string a = file("a.cfg", smallFile);
    const std::string b = file("b.cfg", withTrailer(lines({"#11", "79160000000", "//#11", "#20",
                                                           "H", "//#20", "#38", "1", "//#38"})));
    EXPECT_EQ(diff(a, a), Ok);
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(err.str(), "");

    EXPECT_EQ(diff(a, b), Differs);
    EXPECT_EQ(outLines(),
              (std::vector<std::string>{
                  "telephones[1]\tСписок телефонов для оповещения, Номер 1 --\t+79161234567\t"
                  "+79160000000",
                  "armingMethod\tСпособ\tНизкий\tВысокий",
                  "armingBeep\tЗвуковой сигнал при постановке/снятии\t0\t1",
              }));
    EXPECT_EQ(err.str(), "");

    out.str({});
    const std::string z1 = file("z1.cfg", zonesFile(ru("Окно")));
    const std::string z2 = file("z2.cfg", zonesFile(ru("Окно\nдвор")));
    EXPECT_EQ(diff(z1, z2), Differs);
    EXPECT_EQ(outLines(), (std::vector<std::string>{
                              "wiredZones[1].message\tЗона 1, Сообщение\tОкно\tОкно\\nдвор"}));
    // Each file's report, named by its file.
    EXPECT_EQ(errLines(),
              (std::vector<std::string>{"torvel6: " + z1 + ": #2 Уровень Активации :=7",
                                        "torvel6: " + z2 + ": #2 Уровень Активации :=7"}));
}

TEST_F(FileCommandsTest, ASavedConfigurationShowsWhatTheFileCarries) {
    ScriptedPrompts prompts;
    CountingRandom random;
    ConfigModel model{prompts, random, [] { return ModelContext::Editing; },
                      [] { return LocalTime{}; }};
    model.startUpChoices();
    model.startUpPanels();
    model.setOutputType(3, WirelessSocket);
    model.setOutputCode(3, "12AB34");
    model.setOutputName(3, ru("Котёл"));
    model.setOutputUsed(3, true);
    model.leaveOutputName(3);
    model.setZoneActive(wirelessZone(2), true);
    model.setZoneMessage(wirelessZone(2), ru("Гараж"));
    model.setRowEnabled(wirelessZone(2), 1, true);
    model.setRowMinutes(wirelessZone(2), 1, 2);
    model.setRowOutput(wirelessZone(2), 1, 4);
    model.setSensorActive(wirelessSensor(4), true);
    model.setSensorName(4, ru("Подвал"));
    model.setSensorCode(4, "ABC123");
    model.setArmingMethod(0);
    model.setArmedIndicator(1);
    ASSERT_TRUE(prompts.shown.empty());

    const std::string path = file("saved.cfg", saveConfigFile(model, LocalTime{}));
    ASSERT_EQ(show(path), Ok);
    const auto shown = outLines();
    const auto held = describeConfig(model);
    ASSERT_EQ(shown.size(), held.size());
    std::vector<std::string> differing;
    for (std::size_t i = 0; i < held.size(); ++i) {
        const FieldValue& f = held[i];
        if (shown[i] != f.name + "\t" + cp1251ToUtf8(f.caption) + "\t" + cp1251ToUtf8(f.value))
            differing.push_back(f.name);
    }
    // Only what a file does not carry: the clock's box (a load turns it off),
    // the output choices of arming and button 4 while they are off, the
    // hidden siren output, the telephones of sensors that are off, and the
    // letter case of a code.
    EXPECT_EQ(differing,
              (std::vector<std::string>{"clockFromPc", "armingOutput", "sirenOutput",
                                        "thermoSensors[1].phones[1]", "thermoSensors[2].phones[1]",
                                        "button4Output", "wirelessThermoSensors[1].phones[1]",
                                        "wirelessOutputs[3].code"}));
    EXPECT_EQ(outLines().at(static_cast<std::size_t>(*findField("RG_OUT2S_bp_1"))),
              "wirelessZones[2].actions[1].output\tБеспроводная Зона2, Строка 1, Выход\tКотёл");
}

} // namespace
} // namespace t6::test
