// "keys read" and "keys write" as processes against the simulated device.

#include "CliFixture.h"

#include "cli/CommandContext.h"

namespace t6::test {
namespace {

using namespace t6::cli;

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
