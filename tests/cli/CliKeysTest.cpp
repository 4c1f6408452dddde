// "keys read" and "keys write" as processes against the simulated device.

#include "CliFixture.h"

#include "cli/CommandContext.h"

namespace t6::test {
namespace {

using namespace t6::cli;

// A reply to "Cn" of `rows` whole records (named "K" and the row, identity
// 01..08) and then `more` bytes of the next one, for --reply.
QString cutTable(int rows, int more) {
    QString reply = QStringLiteral("Cn=");
    for (int r = 1; r <= rows; ++r) {
        reply += QStringLiteral("K%1").arg(r % 10);
        for (int i = 2; i < 12; ++i)
            reply += QStringLiteral("\\x00");
        for (int i = 1; i <= 8; ++i)
            reply += QStringLiteral("\\x0%1").arg(i);
    }
    for (int i = 0; i < more; ++i)
        reply += QStringLiteral("z");
    return reply;
}

// The lines of a key file (CR LF) as UTF-8.
std::vector<std::string> keyLines(const std::string& cp1251) {
    std::vector<std::string> lines;
    std::string utf8 = cp1251ToUtf8(cp1251);
    for (std::size_t at = 0; at < utf8.size();) {
        const auto end = utf8.find("\r\n", at);
        if (end == std::string::npos)
            break;
        lines.push_back(utf8.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

TEST_F(CliTest, KeysReadSavesTheDevicesTableAndClosesThePanel) {
    Device& dev = startDevice();
    const CliRun r = run({"keys", "read", "--port", dev.port(), "--out", qpath("site")});
    ASSERT_EQ(r.code, Exit::Ok) << r.err;
    // ".key" is added to the name, as in the window.
    const std::vector<std::string> lines = keyLines(bytes("site.key"));
    ASSERT_EQ(lines.size(), 40u);
    EXPECT_EQ(lines[0], "#1");
    EXPECT_EQ(lines[3], "/1");
    EXPECT_EQ(lines[39], "/10");
    EXPECT_EQ(lines[2].size(), 16u) << lines[2];
    EXPECT_TRUE(contains(r.err, "site.key")) << r.err;
    // The panel opened with the table and closed with "Ur".
    EXPECT_EQ(dev.requests(), (std::vector<std::string>{"Cn", "Ur"}));
    EXPECT_TRUE(contains(text("protokol.log"), "<<< чтение ключей(все): "));
}

TEST_F(CliTest, KeysWriteLoadsTheFileOverTheTableAndWritesIt) {
    Device& dev = startDevice();
    // Row 3 only: the other rows keep what the device holds.
    put("three.key", "#3\r\nGate\r\n01A2B3C4D5E6F708\r\n/3\r\n");
    CliRun r = run({"keys", "write", "--port", dev.port(), "--in", qpath("three.key")});
    ASSERT_EQ(r.code, Exit::Ok) << r.err;
    EXPECT_TRUE(contains(r.err, "Процесс записи ключей завершился. Все OK.")) << r.err;
    EXPECT_EQ(dev.requests().front(), "Cn");
    EXPECT_TRUE(dev.asked("Wr"));

    r = run({"keys", "read", "--port", dev.port(), "--out", qpath("back.key")});
    ASSERT_EQ(r.code, Exit::Ok) << r.err;
    const std::vector<std::string> lines = keyLines(bytes("back.key"));
    ASSERT_EQ(lines.size(), 40u);
    EXPECT_EQ(lines[8], "#3");
    EXPECT_EQ(lines[9], "Gate");
    EXPECT_EQ(lines[10], "01a2b3c4d5e6f708");
    EXPECT_NE(lines[2], "") << "row 1 keeps the device's key";
}

TEST_F(CliTest, KeysWriteRefusesAnInvalidCodeAndSendsNoTable) {
    Device& dev = startDevice();
    put("bad.key", "#3\r\nGate\r\n01G2\r\n/3\r\n");
    const CliRun r = run({"keys", "write", "--port", dev.port(), "--in", qpath("bad.key")});
    EXPECT_EQ(r.code, Exit::DeviceError);
    EXPECT_TRUE(contains(r.err, "Код Ключа №3 содержит недопустимые символы")) << r.err;
    // Only the table read of the panel's opening.
    EXPECT_EQ(dev.requests(), std::vector<std::string>{"Cn"});
}

TEST_F(CliTest, KeysWriteWithAWrongAnswer) {
    Device& dev = startDevice({"--reply", "Wr-data=Err"});
    put("three.key", "#3\r\nGate\r\n01A2B3C4D5E6F708\r\n/3\r\n");
    const CliRun r = run({"keys", "write", "--port", dev.port(), "--in", qpath("three.key")});
    EXPECT_EQ(r.code, Exit::DeviceError);
    EXPECT_TRUE(contains(r.err, "Ответ об успешной записи ключей не корректен.")) << r.err;
}

TEST_F(CliTest, KeysWithoutAnswer) {
    Device& dev = startDevice({"--silent", "Wr"});
    put("three.key", "#3\r\nGate\r\n01A2B3C4D5E6F708\r\n/3\r\n");
    CliRun r = run({"keys", "write", "--port", dev.port(), "--in", qpath("three.key")});
    EXPECT_EQ(r.code, Exit::NoAnswer);
    EXPECT_TRUE(contains(r.err, "НЕТ ответа о готовности к чтению ключей")) << r.err;

    Device& silent = startDevice({"--silent", "Cn"});
    r = run({"keys", "read", "--port", silent.port(), "--out", qpath("site.key")});
    EXPECT_EQ(r.code, Exit::NoAnswer);
    EXPECT_TRUE(contains(r.err, "Нет ответа от прибора.")) << r.err;
    EXPECT_FALSE(exists("site.key"));
}

TEST_F(CliTest, ATableThatIsNotWholeWritesNoFileAndLeavesAGoodOneAlone) {
    put("site.key", "#1\r\nGood\r\n0102\r\n/1\r\n");
    const std::string good = bytes("site.key");
    struct Case {
        QStringList device;
        int code;
    };
    const Case cases[] = {
        {{"--reply", cutTable(2, 10)}, Exit::DeviceError}, // two and a half rows
        {{"--reply", cutTable(9, 19)}, Exit::DeviceError}, // one byte short of ten rows
        {{"--reply", cutTable(0, 2)}, Exit::DeviceError},  // two bytes: no row at all
        {{"--die-at", "Cn=60"}, Exit::DeviceError},        // the adapter pulled out
        {{"--silent", "Cn"}, Exit::NoAnswer},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.device.join(QLatin1Char(' ')).toStdString());
        Device& dev = startDevice(c.device);
        const CliRun r = run({"keys", "read", "--port", dev.port(), "--out", qpath("site.key")});
        EXPECT_EQ(r.code, c.code) << r.err;
        EXPECT_EQ(bytes("site.key"), good) << "the earlier file is untouched";
        EXPECT_FALSE(contains(r.err, "Ключи сохранены в файл")) << r.err;
    }
}

TEST_F(CliTest, KeysWriteAfterACutTableAsksAndSendsNothing) {
    // The table is cut after row 2; the file fills row 3 only: rows 4 to 10
    // would go to the device as the window shows them, never read.
    Device& dev = startDevice({"--reply", cutTable(2, 0)});
    put("three.key", "#3\r\nGate\r\n01A2B3C4D5E6F708\r\n/3\r\n");
    const CliRun r = run({"keys", "write", "--port", dev.port(), "--in", qpath("three.key")});
    EXPECT_EQ(r.code, Exit::DeviceError) << r.err;
    EXPECT_TRUE(contains(r.err, "не прочитаны строки: 4, 5, 6, 7, 8, 9, 10.")) << r.err;
    EXPECT_FALSE(dev.asked("Wr"));
}

TEST_F(CliTest, KeyFilesThatCannotBeUsedAreToldBeforeTheDevice) {
    Device& dev = startDevice();
    CliRun r = run({"keys", "write", "--port", dev.port(), "--in", qpath("missing.key")});
    EXPECT_EQ(r.code, Exit::FileError);
    EXPECT_TRUE(contains(r.err, "Файл ключей не прочитан:")) << r.err;

    std::filesystem::create_directory(dir / "folder.key");
    r = run({"keys", "read", "--port", dev.port(), "--out", qpath("folder.key")});
    EXPECT_EQ(r.code, Exit::FileError);
    EXPECT_TRUE(contains(r.err, "Ключи не сохранены в файл:")) << r.err;
    EXPECT_TRUE(dev.requests().empty());
}

} // namespace
} // namespace t6::test
