// A load that does not take the file whole is told so, never as a success:
// a file saved again in another encoding is refused at its first bad line, a
// missing section and a value a rule refused are named in the box and the
// load report.

#include "FilesFixture.h"

namespace t6::test {
namespace {

using Kind = ScriptedPrompts::Kind;

class LoadCheckTest : public FilesTest {
protected:
    ConfigFiles files{model, exchange, logs, prompts};

    ConfigFiles::LoadResult loadFile(const Bytes& bytes) {
        const std::string path = dir / "site.cfg";
        writeFile(path, bytes);
        prompts.fileNames = {path};
        prompts.clear();
        return files.loadConfiguration();
    }
    // The rich window an installer saves: Cyrillic texts, a used output.
    Bytes richFile() {
        tick("CheckBox_in1");
        type("Edit1", "Входная дверь");
        useOutput(1, WirelessRelay, "Свет", "a1b2c3");
        return saved();
    }
    // The line number (from 1) of the first line holding `text`.
    static int lineOf(const Bytes& file, const Bytes& text) {
        const std::size_t at = file.find(text);
        return 1 + static_cast<int>(
                       std::count(file.begin(), file.begin() + static_cast<long>(at), '\n'));
    }
};

TEST_F(LoadCheckTest, AFileSavedAgainInUtf8IsRefusedAtItsFirstBadLine) {
    const Bytes file = richFile();
    const Bytes before = saved();
    struct Case {
        const char* what;
        Bytes bytes;
        int line;
    };
    // The whole file in UTF-8: its output line is wider than its 14 bytes.
    const Bytes utf8 = cp1251ToUtf8(file);
    // Only a text in UTF-8, the raw lines untouched (an editor that kept them).
    Bytes textOnly = file;
    textOnly.replace(textOnly.find(ru("Входная дверь")), ru("Входная дверь").size(),
                     cp1251ToUtf8(ru("Входная дверь")));
    const Case cases[] = {{"whole", utf8, lineOf(utf8, cp1251ToUtf8(ru("Свет")))},
                          {"text", textOnly, lineOf(textOnly, cp1251ToUtf8(ru("Входная")))}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(loadFile(c.bytes), ConfigFiles::LoadResult::Malformed);
        ASSERT_TRUE(files.outcome());
        EXPECT_EQ(files.outcome()->kind, Outcome::Kind::FileFailed);
        const std::string box = prompts.lastUtf8();
        EXPECT_NE(box.find("Строка " + std::to_string(c.line) + " "), std::string::npos) << box;
        EXPECT_NE(box.find("текст в кодировке UTF-8, а не Windows-1251"), std::string::npos) << box;
        EXPECT_EQ(saved(), before) << "the window keeps what it showed";
    }
    // A raw line cut short is refused as such, whatever the encoding.
    Bytes cut = file;
    cut.erase(cut.find(ru("Свет")) + 4, 2);
    EXPECT_EQ(loadFile(cut), ConfigFiles::LoadResult::Malformed);
    EXPECT_NE(prompts.lastUtf8().find("строка байтов не той длины"), std::string::npos);
    // Windows-1251 capitals beside "№" are valid UTF-8 by chance; the file is not.
    type("Edit1", "ВХОД№1");
    EXPECT_EQ(loadFile(saved()), ConfigFiles::LoadResult::Loaded) << prompts.lastUtf8();
}

TEST_F(LoadCheckTest, AMissingSectionIsNamedAndTheLoadIsNotASuccess) {
    type("ME_tel1", "+79161234567");
    Bytes file = saved();
    // A stray byte before a section's tag hides the section.
    file.insert(file.find("#11\r\n"), 1, '\0');
    EXPECT_EQ(loadFile(file), ConfigFiles::LoadResult::Changed);
    EXPECT_EQ(text("ME_tel1"), "+7") << "the reset's value";
    ASSERT_TRUE(files.outcome());
    EXPECT_EQ(files.outcome()->kind, Outcome::Kind::Incomplete);
    EXPECT_EQ(files.lastLoad().missingSections, std::vector<int>{11});
    ASSERT_EQ(prompts.shown.back().kind, Kind::Information);
    EXPECT_EQ(prompts.lastUtf8(), "Конфигурация считана из файла не полностью:\r\n" +
                                      (dir / "site.cfg") + "\r\nНет раздела #11");
    const std::string report = cp1251ToUtf8(readFile(files.reportPath()));
    EXPECT_NE(report.find("Нет раздела #11: его поля оставлены как после сброса\r\n"),
              std::string::npos)
        << report;
}

TEST_F(LoadCheckTest, AValueARuleRefusesIsNamedWithBothValues) {
    // Wired sensor 1 keeps its temperature on relay 1, and relay 1 is also
    // switched on at arming: the file's arming section comes after the
    // sensor's, and the arming rule refuses it there.
    tick("CheckBox_td1");
    tick("CheckBox_td11");
    model.chooseSensorOutput(wiredSensor(1), 2);
    Bytes file = saved();
    const std::string arming = "#39\r\n0\r\n1\r\n1\r\n";
    const std::size_t at = file.find(arming);
    ASSERT_NE(at, Bytes::npos);
    file[at + arming.size()] = '\x03'; // relay 1 at arming
    EXPECT_EQ(loadFile(file), ConfigFiles::LoadResult::Changed);
    EXPECT_FALSE(flag("Check_on_output_in"));
    ASSERT_EQ(files.lastLoad().changes.size(), 2u);
    const auto& on = files.lastLoad().changes[0];
    EXPECT_EQ(fieldDescription(on.field).controlName, "Check_on_output_in");
    EXPECT_EQ(on.fileValue, "1");
    EXPECT_EQ(on.loadedValue, "0");
    const auto& output = files.lastLoad().changes[1];
    EXPECT_EQ(fieldDescription(output.field).controlName, "CB_on_output_in");
    EXPECT_EQ(cp1251ToUtf8(output.fileValue), "Реле 1(Relay1)");
    const std::string box = prompts.lastUtf8();
    EXPECT_NE(box.find("При постановке на охрану включить: в файле \"1\", в окне \"0\""),
              std::string::npos)
        << box;
    // The rule's own message came first, as in the window.
    ASSERT_GE(prompts.shown.size(), 3u);
    EXPECT_NE(cp1251ToUtf8(prompts.shown[1].text).find("Выбор запрещен"), std::string::npos);
}

TEST_F(LoadCheckTest, ValuesOutOfRangeAreNamedFilesOfEarlierVersionsLoadWhole) {
    Bytes file = saved();
    const std::string delays = "#36\r\n0\r\n0\r\n";
    file.replace(file.find(delays), delays.size(), "#36\r\n300\r\n0\r\n");
    EXPECT_EQ(loadFile(file), ConfigFiles::LoadResult::Changed);
    ASSERT_EQ(files.lastLoad().changes.size(), 1u);
    EXPECT_EQ(files.lastLoad().changes[0].fileValue, "300");
    EXPECT_EQ(files.lastLoad().changes[0].loadedValue, "0") << "refused; the reset's value";

    // An inactive wireless sensor as earlier versions wrote it: eight "0" and
    // two empty lines. Nothing of it is a value, so nothing is refused.
    Bytes earlier = saved();
    const Bytes sensor = lines({"0", "0", "0", "0", "0", "0", "0", "0"});
    const std::size_t s101 = earlier.find("#101\r\n") + 6;
    ASSERT_EQ(earlier.substr(s101, sensor.size()), sensor);
    const std::size_t nameAt = s101 + sensor.size();
    earlier.replace(nameAt, earlier.find("\r\n", earlier.find("\r\n", nameAt) + 2) - nameAt,
                    "\r\n");
    EXPECT_EQ(loadFile(earlier), ConfigFiles::LoadResult::Loaded) << prompts.lastUtf8();
}

} // namespace
} // namespace t6::test
