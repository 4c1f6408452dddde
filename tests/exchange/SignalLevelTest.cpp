#include "ExchangeFixture.h"

namespace t6::test {
namespace {

struct Reading {
    const char* reply;
    int gauge;
    const char* text;
    bool red;
};

class SignalApplyTest : public ::testing::TestWithParam<Reading> {};

TEST_P(SignalApplyTest, GivesTheGaugeAndText) {
    SignalReading r = SignalLevel::apply({}, GetParam().reply);
    EXPECT_EQ(r.gauge, GetParam().gauge);
    EXPECT_EQ(cp1251ToUtf8(r.text), GetParam().text);
    EXPECT_EQ(r.red, GetParam().red);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, SignalApplyTest,
    ::testing::Values(
        Reading{"+CSQ: 17,99", 54, "-79 dBm", false}, Reading{"+CSQ: 31,0", 99, "-51 dBm", false},
        Reading{"+CSQ: 00,0", 0, "-113 dBm", false}, Reading{"+CSQ: 99,99", 0, "нет связи", true},
        Reading{"+CSQ: 7,0", 0, "нет сигнала", true}, Reading{"+CSQ:17,99", 0, "нет сигнала", true},
        Reading{"+CSQ:  7,0", 22, "-99 dBm", false}, Reading{"+CSQ: 32", 100, "-49 dBm", false},
        Reading{"+CSQ: -1", 0, "-115 dBm", false}, Reading{"+CSQ:", 0, "нет сигнала", true},
        Reading{"xx+CSQ: 17", 0, "нет сигнала", true}, Reading{"OK", 0, ".", false}));

TEST(SignalApply, LaterValidReadingsKeepTheRedColour) {
    SignalReading r = SignalLevel::apply({}, "+CSQ: 7,0");
    r = SignalLevel::apply(r, "+CSQ: 20,0");
    EXPECT_EQ(r.text, "-73 dBm");
    EXPECT_EQ(r.gauge, 64);
    EXPECT_TRUE(r.red);
    // A reply without a reading leaves everything as it was.
    SignalReading same = SignalLevel::apply(r, "ERROR");
    EXPECT_EQ(same.text, r.text);
    EXPECT_EQ(same.gauge, r.gauge);
}

class SignalLevelTest : public ExchangeFixture {
protected:
    SignalLevel signal{exchange};
};

TEST_F(SignalLevelTest, TheRefreshSendsSgAndShowsTheReading) {
    exchange.setConnectedPort("ttyUSB0");
    port.autoReply[bytesOf({0xFE, 0xFF, 0x53, 0x67, 0xFF, 0xFE})] = frame("+CSQ: 17,99");
    signal.refresh();
    ASSERT_EQ(port.writes.size(), 1u);
    EXPECT_EQ(port.writes[0].bytes, bytesOf({0xFE, 0xFF, 0x53, 0x67, 0xFF, 0xFE}));
    EXPECT_EQ(port.purges, 2); // before the request, and after the reply
    EXPECT_EQ(view.gauge, 54);
    EXPECT_EQ(u8(view.signalText), "-79 dBm");
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_FALSE(exchange.replyTimerActive());
    ASSERT_EQ(logs.memoLines().size(), 2u);
    EXPECT_EQ(logs.memoLines()[0],
              ru("выходная строка: ") + bytesOf({0xFE, 0xFF}) + "Sg" + bytesOf({0xFF, 0xFE}));
    EXPECT_EQ(u8(logs.memoLines()[1]), "входная строка: +CSQ: 17,99");
    clock.advance(1000);
    EXPECT_FALSE(port.isOpen());
    // Nothing goes to the two log files for this exchange.
    logs.closeFiles();
    EXPECT_EQ(fileText("protokol.log"), "");
    EXPECT_EQ(fileText("protokol_FF.log"), "");
}

TEST_F(SignalLevelTest, AReplyWithoutAReadingStillEndsTheOperation) {
    exchange.setConnectedPort("COM1");
    port.autoReply[frame("Sg")] = frame("OK");
    signal.refresh();
    EXPECT_EQ(view.gauge, 0);
    EXPECT_EQ(u8(view.signalText), ".");
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    clock.advance(1000);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(SignalLevelTest, WithoutConnectionTheMessageIsShownAsWritten) {
    signal.refresh();
    EXPECT_EQ(prompts.lastUtf8(), "Нет соединения с устройством. Проверьте подключение");
    EXPECT_TRUE(port.writes.empty());
}

TEST_F(SignalLevelTest, ItAbandonsAReadThatWaitsAndTakesTheLateBlockAsItsReply) {
    exchange.setConnectedPort("COM1");
    ASSERT_TRUE(exchange.beginOperation("none"));
    exchange.request({.mode = ExchangeMode::ReadBlock});
    signal.refresh();
    EXPECT_EQ(exchange.mode(), ExchangeMode::SignalLevel);
    port.inject(frame("config block without a reading"));
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_EQ(u8(view.signalText), ".");
    clock.advance(20000);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(SignalLevelTest, NoReplyAsksAndClosesAfterYes) {
    exchange.setConnectedPort("COM1");
    signal.refresh();
    clock.advance(10000);
    EXPECT_EQ(prompts.lastUtf8(), "НЕТ ответа о уровне сигнала.");
    clock.advance(1000);
    EXPECT_FALSE(port.isOpen());
}

} // namespace
} // namespace t6::test
