#include "ExchangeFixture.h"

namespace t6::test {
namespace {

class LogsTest : public ExchangeFixture {};

TEST_F(LogsTest, LinesEndInCrLfAndHexLinesAreLowercasePairs) {
    logs.protocol(ru("<<< поиск порта: ") + "T7");
    logs.hexBytes(ru("<< чтение основных данных"), "T7" + bytesOf({0x00, 0xFF}));
    logs.hexBytes("empty", "");
    logs.closeFiles();
    EXPECT_EQ(fileText("protokol.log"), ru("<<< поиск порта: T7\r\n"));
    EXPECT_EQ(fileText("protokol_FF.log"),
              ru("<< чтение основных данных\r\n") + "543700ff\r\nempty\r\n\r\n");
}

TEST_F(LogsTest, TheMemoIsSavedWholeAtTheEndReplacingTheLastRun) {
    {
        std::FILE* f = std::fopen((dir / "log.log").string().c_str(), "wb");
        std::fputs("an older run with more lines\r\nline\r\nline\r\n", f);
        std::fclose(f);
    }
    logs.memo(ru("входная строка: T7"));
    logs.memo(bytesOf({0x00, 0x0D, 0x0A, 0xFF}));
    EXPECT_EQ(fileText("log.log").substr(0, 5), "an ol"); // nothing before the end
    ASSERT_TRUE(logs.saveMemo());
    EXPECT_EQ(fileText("log.log"),
              ru("входная строка: T7\r\n") + bytesOf({0, 13, 10, 255, 13, 10}));
}

TEST_F(LogsTest, EveryStartRewritesBothFiles) {
    logs.protocol("first run");
    logs.hex("first run");
    logs.createFiles();
    logs.protocol("second run");
    logs.closeFiles();
    EXPECT_EQ(fileText("protokol.log"), "second run\r\n");
    EXPECT_EQ(fileText("protokol_FF.log"), "");
}

TEST_F(LogsTest, AFileThatCannotBeCreatedIsReportedAndLaterLinesGoNowhere) {
    logs.closeFiles();
    std::filesystem::remove(dir / "protokol.log");
    std::filesystem::remove(dir / "protokol_FF.log");
    std::filesystem::create_directory(dir / "protokol.log"); // a directory in the way
    const ExchangeLogs::Created created = logs.createFiles();
    EXPECT_FALSE(created);
    EXPECT_EQ(created.failure.fault, FileFault::CannotCreate);
    EXPECT_EQ(created.path, (dir / "protokol.log").string());
    EXPECT_FALSE(logs.protocolOpen());
    EXPECT_FALSE(logs.hexOpen());
    logs.protocol("goes nowhere");
    logs.hex("goes nowhere");
    EXPECT_FALSE(std::filesystem::exists(dir / "protokol_FF.log"));
}

TEST_F(LogsTest, AMemoThatCannotBeSavedSaysSo) {
    std::filesystem::create_directory(dir / "log.log");
    logs.memo("x");
    EXPECT_FALSE(logs.saveMemo());
}

} // namespace
} // namespace t6::test
