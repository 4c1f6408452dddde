// The support report: a tar archive any tar program reads, holding the logs,
// the backup, the configuration in the window, the version and the ports,
// with telephones and key codes hidden wherever the logs and files hold them
// unless the user keeps them; and the distributor's support contacts.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "common/Bytes.h"
#include "common/Cp1251.h"
#include "core/AppCore.h"
#include "core/ProgramInfo.h"
#include "core/SupportContacts.h"
#include "core/SupportMasking.h"
#include "core/SupportReport.h"
#include "core/TarWriter.h"
#include "support/DeviceContents.h"
#include "support/ManualClock.h"
#include "support/OperationTestKit.h"
#include "support/ScriptedPrompts.h"
#include "support/SimulatedPort.h"

namespace t6::test {
namespace {

namespace fs = std::filesystem;

// The members of a tar archive by name, read back by the layout alone; a
// header with a wrong checksum fails the test.
std::map<std::string, Bytes> untar(const Bytes& tar) {
    std::map<std::string, Bytes> members;
    for (std::size_t at = 0; at + 512 <= tar.size();) {
        const std::string_view h(tar.data() + at, 512);
        if (h.find_first_not_of('\0') == std::string_view::npos)
            break;
        unsigned sum = 0;
        for (std::size_t i = 0; i < 512; ++i)
            sum += (i >= 148 && i < 156) ? ' ' : static_cast<unsigned char>(h[i]);
        EXPECT_EQ(std::stoul(std::string(h.substr(148, 6)), nullptr, 8), sum);
        EXPECT_EQ(h.substr(257, 6), std::string_view("ustar\0", 6));
        const std::string name(h.substr(0, h.find('\0')));
        const std::size_t size = std::stoul(std::string(h.substr(124, 11)), nullptr, 8);
        members[name] = tar.substr(at + 512, size);
        at += 512 + (size + 511) / 512 * 512;
    }
    return members;
}

class TempFolder {
public:
    TempFolder() {
        path = fs::temp_directory_path() /
               ("t6-support-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
    void write(const char* name, const Bytes& bytes) const {
        std::ofstream(path / name, std::ios::binary) << bytes;
    }
    fs::path path;
};

TEST(SupportMaskingTest, EveryDigitButTheLastTwoBecomesX) {
    const std::pair<const char*, const char*> cases[] = {
        {"79161234567", "XXXXXXXXX67"}, {"7", "7"}, {"12", "12"}, {"123", "X23"}, {"", ""},
        {"7916%12'345", "XXXX%XX'X45"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(maskDigits(in), out) << in;
}

TEST(SupportMaskingTest, TelephonesAreHiddenInTheRecordAsTextAsHexAndInTheFile) {
    const Bytes record = "\x11"
                         "79161234567/7/8495%1234'/\r";
    const Bytes hidden = "\x11"
                         "XXXXXXXXX67/7/XXXX%XX34'/\r";
    const Bytes text = ru("<<< чтение основных данных: ") + "\x99\x99" + record + "$\x01\r\r\n";
    const Bytes hex = ru("<< чтение телефоны") + "\r\n" + hexForm(record) + "\r\n";
    const Bytes file = "#11\r\n79161234567\r\n//#11\r\n#12\r\n7\r\n//#12\r\n#13\r\n"
                       "74951112233\r\n//#13\r\n";
    SupportMasker m;
    m.findInTextLog(text);
    m.findInHexLog(hex);
    m.findInConfigFile(file);
    EXPECT_EQ(m.maskTextLog(text),
              ru("<<< чтение основных данных: ") + "\x99\x99" + hidden + "$\x01\r\r\n");
    EXPECT_EQ(m.maskHexLog(hex), ru("<< чтение телефоны") + "\r\n" + hexForm(hidden) + "\r\n");
    EXPECT_EQ(m.maskConfigFile(file), "#11\r\nXXXXXXXXX67\r\n//#11\r\n#12\r\n7\r\n//#12\r\n"
                                      "#13\r\nXXXXXXXXX33\r\n//#13\r\n");
    // A number found in one file is hidden wherever else it stands.
    EXPECT_EQ(m.maskTextLog("call 74951112233 or " + hexForm("74951112233")),
              "call XXXXXXXXX33 or " + hexForm("XXXXXXXXX33"));
}

TEST(SupportMaskingTest, KeyCodesAreHiddenEvenWhenTheirBytesHoldALineEnd) {
    // Two keys: the second's identity holds CR LF, which a line reader would
    // take for the end of the logged table.
    Bytes table(40, '\0');
    table.replace(0, 4, "door");
    table.replace(12, 8, Bytes("\x01\xA2\xB3\xC4\xD5\xE6\xF7\x08", 8));
    table.replace(32, 8, Bytes("\x01\x0D\x0A\x33\x44\x55\x66\x77", 8));
    const Bytes single("\x01\xC4\x7F\x2A\x19\x00\x00\x5D", 8);
    const Bytes text = ru("<<< чтение ключей(все): ") + table + "\r\n" + ru("<<< чтение ключа: ") +
                       single + "\r\n";
    SupportMasker m;
    m.setReceivedPayloads({"OK", table, single});
    m.findInTextLog(text);
    Bytes want = table;
    want.replace(12, 7, "XXXXXXX");
    want.replace(32, 7, "XXXXXXX");
    EXPECT_EQ(m.maskTextLog(text), ru("<<< чтение ключей(все): ") + want + "\r\n" +
                                       ru("<<< чтение ключа: ") + "XXXXXXX]" + "\r\n");
    // The code as the key table shows it, in either case.
    EXPECT_EQ(m.maskTextLog("01a2b3c4d5e6f708 01A2B3C4D5E6F708"),
              "XXXXXXXXXXXXXX08 XXXXXXXXXXXXXX08");
}

TEST(SupportMaskingTest, TheMemoOfAnEarlierRunGivesItsKeysByTheirShape) {
    Bytes table(200, '\0');
    table.replace(12, 8, Bytes("\x01\x02\x03\x04\x05\x06\x07\x08", 8));
    const Bytes single("\x01\xC4\x7F\x2A\x19\x00\x00\x5D", 8);
    const std::string in = ru("входная строка: ");
    const Bytes memo = in + "OK\r\n" + in + table + "\r\n" + in + single + "\r\n" + in +
                       "Ready 12\r\n" + in + "T6 v2.05\r\n";
    SupportMasker m;
    m.findInMemo(memo);
    EXPECT_EQ(m.keyIdentities().size(), 2u);
    const Bytes masked = m.maskTextLog(memo);
    EXPECT_EQ(masked.find(table.substr(12, 8)), Bytes::npos);
    EXPECT_EQ(masked.find(single), Bytes::npos);
    EXPECT_NE(masked.find(in + "T6 v2.05\r\n"), Bytes::npos);
}

TEST(SupportReportTest, TheArchiveHoldsEveryFileAndNamesTheMissingOnes) {
    TempFolder folder;
    folder.write("protokol.log", ru("<<< поиск порта: T6 2.05") + "\r\n");
    fs::create_directory(folder.path / "log.log");
    ASSERT_EQ(::mkfifo((folder.path / "save.000").c_str(), 0600), 0);
    SupportReportInput in;
    in.programName = "torvel6-configurator 9.8.7";
    in.programFolder = folder.path.string();
    in.memoLines = {ru("входная строка: T6 2.05")};
    in.configuration = "#00\r\n";
    in.ports = {"/dev/ttyUSB0: FTDI FT232R (0403:6001) [connected]"};
    in.now = {2026, 3, 14, 15, 30, 2};
    const std::map<std::string, Bytes> m = untar(makeSupportReport(in));
    std::vector<std::string> names;
    for (const auto& [name, bytes] : m)
        names.push_back(name);
    std::vector<std::string> want;
    for (const std::string& name : supportReportMembers())
        if (name != "torvel6-support/protokol_FF.log" && name != "torvel6-support/log.log" &&
            name != "torvel6-support/save.000")
            want.push_back(name);
    std::sort(want.begin(), want.end());
    EXPECT_EQ(names, want);
    EXPECT_EQ(m.at("torvel6-support/protokol.log"), ru("<<< поиск порта: T6 2.05") + "\r\n");
    EXPECT_EQ(m.at("torvel6-support/log-this-run.log"), ru("входная строка: T6 2.05") + "\r\n");
    EXPECT_EQ(m.at("torvel6-support/current.cfg"), "#00\r\n");
    EXPECT_EQ(m.at("torvel6-support/ports.txt"),
              "/dev/ttyUSB0: FTDI FT232R (0403:6001) [connected]\n");
    const std::string& about = m.at("torvel6-support/about.txt");
    for (const char* line :
         {"torvel6-configurator 9.8.7\nCopyright 2026 Torvel. All rights reserved.\n",
          "Report made 14.03.2026 15:30:02", "Device: none identified in this run\n",
          "\nLeft out, as they could not be read:\n  protokol_FF.log: not there\n"
          "  log.log: a folder, not a file\n"
          "  save.000: not a regular file (a pipe or a device)\n"})
        EXPECT_NE(about.find(line), std::string::npos) << line << "\n---\n" << about;
}

TEST(SupportReportTest, TheSystemsTarListsTheMembers) {
    if (std::system("tar --version > /dev/null 2>&1") != 0)
        GTEST_SKIP() << "no tar program";
    TempFolder folder;
    TarWriter tar;
    tar.add("a/one.txt", "one\n", 1700000000);
    tar.add("a/empty", "", 1700000000);
    tar.add("a/block", Bytes(512, 'x'), 1700000000);
    folder.write("t.tar", tar.finish());
    const std::string cmd = "tar -tvf '" + (folder.path / "t.tar").string() + "' > '" +
                            (folder.path / "list").string() + "' 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    std::ifstream list(folder.path / "list");
    const std::string text(std::istreambuf_iterator<char>(list), {});
    for (const char* line : {" 4 ", "a/one.txt", "a/empty", " 512 ", "a/block"})
        EXPECT_NE(text.find(line), std::string::npos) << text;
}

TEST(SupportContactsTest, TheFileGivesItsKeysAndRefusesWhatItShouldNot) {
    const struct {
        const char* text;
        SupportContacts want;
    } cases[] = {
        {"name=ООО Ромашка\nphone= +7 495 123-45-67 \nemail=help@romashka.ru\n"
         "web=https://romashka.ru/help\n",
         {"ООО Ромашка", "+7 495 123-45-67", "help@romashka.ru", "https://romashka.ru/help"}},
        {"# comment\n\r\nphone=1\r\nother=2\nno equals sign\n", {"", "1", "", ""}},
        {"web=file:///etc/passwd\nweb2=x\n", {}},
        {"web=javascript:alert(1)\n", {}},
        {"web=https://a b\n", {}},
        {"name=\xC0\xE1\xE2\nphone=2\n", {"", "2", "", ""}},
        {"name=a\x01"
         "b\nemail=c\n",
         {"", "", "c", ""}},
        {"\xFF\xFE\x00garbage", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseSupportContacts(c.text), c.want) << c.text;
    // A value is cut at 200 characters, never inside one.
    std::string cyrillic;
    for (int i = 0; i < 300; ++i)
        cyrillic += "\xD1\x8F";
    EXPECT_EQ(parseSupportContacts("name=" + cyrillic).name, cyrillic.substr(0, 400));
}

TEST(SupportContactsTest, TheFirstReadableFileWinsAndPipesAndHugeFilesAreSkipped) {
    TempFolder folder;
    const fs::path fifo = folder.path / "fifo.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    folder.write("huge.txt", "phone=1\n" + std::string(kMaxSupportFileBytes, '#'));
    folder.write("empty.txt", "# nothing here\n");
    folder.write("good.txt", "phone=2\n");
    folder.write("later.txt", "phone=3\n");
    const std::vector<fs::path> files = {folder.path / "missing.txt", fifo,
                                         folder.path / "huge.txt",    folder.path / "empty.txt",
                                         folder.path / "good.txt",    folder.path / "later.txt"};
    EXPECT_EQ(readSupportContacts(files).phone, "2");
    EXPECT_TRUE(readSupportContacts({fifo, folder.path / "missing.txt"}).empty());
    EXPECT_EQ(
        supportContactFiles("/usr/share/torvel6"),
        (std::vector<fs::path>{"/etc/torvel6/support.txt", "/usr/share/torvel6/support.txt"}));
}

// Random configurations and key tables read from the simulated device in two
// runs (the first one's memo left in "log.log"): no telephone and no key code
// of either is in any member of the report, as bytes, as text or as hex
// digits; with the tick, every one of this run's is still there.
class SupportReportPropertyTest : public ::testing::Test {
protected:
    struct Run {
        explicit Run(const fs::path& dir) : core(port, clock, prompts, dir.string()) {
            core.logs().createFiles();
            core.exchange().setView(&view);
            core.exchange().start();
            core.model().startUp();
            core.exchange().setConnectedPort("COM1");
        }
        ManualClock clock;
        SimulatedPort port{clock};
        ScriptedPrompts prompts;
        ActivityView view;
        AppCore core;
    };

    // Reads one random device: its configuration, its key table and a key held to the reader.
    void readDevice(Run& run, std::uint32_t seed) {
        t6sim::SimMemory contents = randomDeviceContents(seed);
        std::mt19937 random(seed);
        auto byte = [&random] { return static_cast<char>(random() % 0xFE); };
        contents.keyTable.assign(200, '\0');
        for (std::size_t k = 0; k < 10; ++k) {
            Bytes id(8, '\0');
            for (char& c : id)
                c = byte();
            contents.keyTable.replace(20 * k, 3, "key");
            contents.keyTable.replace(20 * k + 12, 8, id);
            keys.push_back(id);
        }
        // A key read alone starts, as every key does, with its family code 01.
        Bytes single(8, '\x01');
        for (std::size_t i = 1; i < single.size(); ++i)
            single[i] = byte();
        keys.push_back(single);
        run.port.device().memory() = contents;
        run.port.device().options().keyCode = single;
        run.core.configRead().readConfiguration();
        run.clock.advance(3000);
        for (const std::string& t : run.core.model().config().telephones)
            if (t.size() > 10) // shorter digits might stand anywhere by chance
                telephones.push_back(t.substr(1));
        run.core.keys().openPanel();
        run.clock.advance(2000);
        run.core.keys().readKey(1);
        run.clock.advance(2000);
        run.core.keys().closePanel();
        run.clock.advance(12000);
    }

    static std::vector<std::string> formsOf(const Bytes& value) {
        std::string upper = hexForm(value);
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        return {value, hexForm(value), upper};
    }

    std::vector<std::string> telephones;
    std::vector<Bytes> keys;
};

TEST_F(SupportReportPropertyTest, NoTelephoneOrKeyCodeIsLeftUnlessKept) {
    TempFolder folder;
    {
        Run first(folder.path);
        for (std::uint32_t seed = 1; seed <= 5; ++seed)
            readDevice(first, seed);
        ASSERT_TRUE(first.core.logs().saveMemo());
        first.core.logs().closeFiles();
    }
    const std::size_t firstTelephones = telephones.size();
    const std::size_t firstKeys = keys.size();
    Run second(folder.path);
    for (std::uint32_t seed = 6; seed <= 12; ++seed)
        readDevice(second, seed);
    second.core.files().setAutoBackupPending(true);
    second.core.files().saveConfiguration();
    ASSERT_GT(telephones.size(), 15u);

    const std::map<std::string, Bytes> hidden =
        untar(makeSupportReport(supportReportInput(second.core)));
    ASSERT_EQ(hidden.size(), supportReportMembers().size());
    for (const auto& [name, bytes] : hidden) {
        for (const std::string& t : telephones)
            for (const std::string& form : formsOf(t))
                EXPECT_EQ(bytes.find(form), Bytes::npos) << name << ": telephone " << t;
        for (const Bytes& k : keys)
            for (const std::string& form : formsOf(k))
                EXPECT_EQ(bytes.find(form), Bytes::npos) << name << ": key " << hexForm(k);
    }

    SupportReportInput in = supportReportInput(second.core);
    in.keepPrivate = true;
    const std::map<std::string, Bytes> kept = untar(makeSupportReport(in));
    const Bytes& protocol = kept.at("torvel6-support/protokol.log");
    const Bytes& hex = kept.at("torvel6-support/protokol_FF.log");
    for (std::size_t i = firstTelephones; i < telephones.size(); ++i) {
        EXPECT_NE(protocol.find(telephones[i]), Bytes::npos) << telephones[i];
        EXPECT_NE(hex.find(hexForm(telephones[i])), Bytes::npos) << telephones[i];
    }
    for (std::size_t i = firstKeys; i < keys.size(); ++i)
        EXPECT_NE(protocol.find(keys[i]), Bytes::npos) << hexForm(keys[i]);
    const Bytes& lastRun = kept.at("torvel6-support/log.log");
    for (std::size_t i = 0; i < firstKeys; ++i)
        EXPECT_NE(lastRun.find(keys[i]), Bytes::npos) << hexForm(keys[i]);
}

TEST(ProgramInfoTest, TheLicenceIsTheOneThePackageStates) {
    std::ifstream f(fs::path(T6_SOURCE_DIR) / "packaging" / "debian" / "copyright");
    const std::string text(std::istreambuf_iterator<char>(f), {});
    EXPECT_NE(text.find(kProgramLicence), std::string::npos);
    EXPECT_FALSE(programVersion().empty());
}

} // namespace
} // namespace t6::test
