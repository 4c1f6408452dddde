// Attaching a wireless output and switching it on and off: the "So" request
// as bytes, the modes, the answer, the box, and the codes that are refused.

#include "WirelessFixture.h"

namespace t6::test {
namespace {

class WirelessOutputSwitchTest : public WirelessTest {
protected:
    WirelessOutputSwitch& outputs = wireless.outputs();
    void SetUp() override { useOutput(3, WirelessSocket, "Розетка", "1A2B3C"); }
};

TEST_F(WirelessOutputSwitchTest, AttachSendsCodeTypeAndActionAndTheAnswerIsConfirmed) {
    answerPrefix("So", "Ok");
    outputs.attach(3);
    ASSERT_EQ(written(), (std::vector<Bytes>{bytesOf(
                             {0xFE, 0xFF, 0x53, 0x6F, 0x1A, 0x2B, 0x3C, 0x03, 0x00, 0xFF, 0xFE})}));
    EXPECT_EQ(exchange.mode(), ExchangeMode::OutputOn);
    EXPECT_TRUE(exchange.replyTimerActive());
    EXPECT_EQ(outputs.pendingOutputNumber(), 3);
    run();
    ASSERT_EQ(prompts.textsUtf8(), std::vector<std::string>{"Радиовыход 3 включен."});
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Confirm);
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_FALSE(exchange.replyTimerActive());
    EXPECT_TRUE(exchange.closeTimerActive());
    run(1000);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(hasLine(fileText("protokol.log"), "<<< ответ о записи: Ok"));
}

TEST_F(WirelessOutputSwitchTest, OnAndOffDifferInActionByteModeAndText) {
    answerPrefix("So", " OK\r\n");
    outputs.switchOn(3);
    EXPECT_EQ(lastBody(), bytesOf({0x53, 0x6F, 0x1A, 0x2B, 0x3C, 0x03, 0x01}));
    EXPECT_EQ(exchange.mode(), ExchangeMode::OutputOn);
    run();
    outputs.switchOff(3);
    EXPECT_EQ(lastBody(), bytesOf({0x53, 0x6F, 0x1A, 0x2B, 0x3C, 0x03, 0x02}));
    EXPECT_EQ(exchange.mode(), ExchangeMode::OutputOff);
    run();
    EXPECT_EQ(prompts.textsUtf8(),
              (std::vector<std::string>{"Радиовыход 3 включен.", "Радиовыход 3 отключен."}));

    // The type byte is the type's position + 1; a short code is padded.
    useOutput(9, FourChannelRelay, "Реле", "1a2b");
    outputs.switchOff(9);
    EXPECT_EQ(lastBody(), bytesOf({0x53, 0x6F, 0x1A, 0x2B, 0x00, 0x04, 0x02}));
}

TEST_F(WirelessOutputSwitchTest, AnotherAnswerIsOnlyLoggedAndTheTimeOutEndsTheExchange) {
    answerPrefix("So", "Err");
    outputs.switchOff(3);
    run();
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(exchange.mode(), ExchangeMode::OutputOff);
    run(10000);
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_TRUE(prompts.shown.empty()) << "silently";
    run(1000);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(hasLine(fileText("protokol.log"), "<<< ответ о записи: Err"));
}

TEST_F(WirelessOutputSwitchTest, ABoxClosedWithoutYesLeavesThePortOpen) {
    answerPrefix("So", "OK");
    prompts.answers = {false};
    outputs.attach(3);
    run(5000);
    EXPECT_EQ(prompts.textsUtf8().size(), 1u);
    EXPECT_EQ(exchange.mode(), ExchangeMode::OutputOn);
    EXPECT_FALSE(exchange.replyTimerActive());
    EXPECT_TRUE(port.isOpen());
}

TEST_F(WirelessOutputSwitchTest, ACodeThatCannotBeSentIsRefusedBeforeAnything) {
    exchange.setTranslate([](const std::string& t) { return "[T]" + t; });
    // A learning waits; the refusal must not abandon it.
    wireless.remotes().press(1);
    port.writes.clear();
    model.setOutputCode(5, "12345");
    outputs.attach(4); // never used: no code
    outputs.switchOn(5);
    outputs.switchOff(5);
    EXPECT_TRUE(port.writes.empty());
    EXPECT_EQ(prompts.textsUtf8(),
              std::vector<std::string>(3, "[T]Радиовыход не может быть привязан или проверен: его "
                                          "код должен состоять из 2, 4 или 6 шестнадцатеричных "
                                          "цифр."));
    EXPECT_EQ(exchange.mode(), ExchangeMode::ReadRemote);
    EXPECT_TRUE(exchange.replyTimerActive());
    EXPECT_TRUE(exchange.canCancel());
    EXPECT_EQ(outputs.pendingOutputNumber(), 0);
}

TEST_F(WirelessOutputSwitchTest, WithoutADeviceNothingIsSent) {
    exchange.setConnectedPort("");
    outputs.attach(3);
    EXPECT_EQ(prompts.textsUtf8(),
              std::vector<std::string>{"Нет соединения с устройством. Необходимо проверить "
                                       "подключение"});
    EXPECT_TRUE(port.writes.empty());
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
}

} // namespace
} // namespace t6::test
