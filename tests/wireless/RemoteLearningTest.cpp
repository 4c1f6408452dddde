// Learning the code of a remote control: "Pr", the fob's code into the row,
// "Uk", the cancel, the time-out, and the visible wait.

#include "WirelessFixture.h"

namespace t6::test {
namespace {

class RemoteLearningTest : public WirelessTest {
protected:
    RemoteLearning& remotes = wireless.remotes();
    std::string caption(int k) { return u8(remotes.caption(k)); }
};

TEST_F(RemoteLearningTest, LearningRow3PutsTheFobsCodeIntoTheRow) {
    int told = 0;
    remotes.setObserver([&told] { ++told; });
    answer("Pr", "Zk|");
    remotes.press(3);
    ASSERT_EQ(written(), (std::vector<Bytes>{bytesOf({0xFE, 0xFF, 0x50, 0x72, 0xFF, 0xFE})}));
    EXPECT_EQ(exchange.mode(), ExchangeMode::ReadRemote);
    EXPECT_TRUE(exchange.replyTimerActive());
    EXPECT_EQ(remotes.pendingRemoteRow(), 3);
    EXPECT_EQ(caption(3), "Отмена");
    EXPECT_EQ(caption(2), "Читать");
    EXPECT_EQ(told, 1);
    EXPECT_EQ(u8(view.last().text), "Ожидание радиопульта: нажмите кнопку пульта");
    EXPECT_TRUE(view.last().cancellable);
    EXPECT_TRUE(exchange.canCancel());

    run();
    EXPECT_EQ(text("RP_KOd_3"), "5a6b7c");
    EXPECT_EQ(caption(3), "Читать");
    EXPECT_EQ(lastBody(), "Uk");
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_FALSE(exchange.replyTimerActive());
    EXPECT_TRUE(view.last().text.empty()) << "the wait is over";
    EXPECT_FALSE(exchange.canCancel());
    EXPECT_EQ(told, 2);
    EXPECT_TRUE(prompts.shown.empty());
    run(1000);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    EXPECT_TRUE(hasLine(fileText("protokol.log"), "<<< ответ от радиопультов: Zk|"));
}

TEST_F(RemoteLearningTest, CancellingSendsUkAndWhatTheDeviceSaysToItIsNoCode) {
    model.setRemoteCode(2, "112233");
    remotes.press(2);
    remotes.press(2);
    EXPECT_EQ(bodies(), (std::vector<Bytes>{"Pr", "Uk"}));
    EXPECT_EQ(caption(2), "Читать");
    EXPECT_EQ(exchange.mode(), ExchangeMode::ReadRemote);
    EXPECT_TRUE(exchange.replyTimerActive());
    EXPECT_TRUE(view.last().text.empty());

    deviceSays("OK");
    EXPECT_EQ(text("RP_KOd_2"), "112233") << "the row keeps its code";
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_EQ(lastBody(), "Uk");
    EXPECT_TRUE(hasLine(fileText("protokol.log"), "<<< ответ от радиопультов: OK"));

    // The window's "Отмена" of the wait is the row's cancel.
    port.writes.clear();
    remotes.press(4);
    exchange.cancelActivity();
    EXPECT_EQ(bodies(), (std::vector<Bytes>{"Pr", "Uk"}));
    EXPECT_EQ(caption(4), "Читать");
    EXPECT_TRUE(view.last().text.empty());
}

TEST_F(RemoteLearningTest, NoAnswerWithin10sGivesTheButtonBackAndStopsTheLearning) {
    remotes.press(5);
    run(9990);
    EXPECT_EQ(exchange.mode(), ExchangeMode::ReadRemote);
    run(10);
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_EQ(caption(5), "Читать");
    EXPECT_EQ(bodies(), (std::vector<Bytes>{"Pr", "Uk"}));
    EXPECT_TRUE(view.last().text.empty());
    EXPECT_FALSE(exchange.canCancel());
    run(12000);
    EXPECT_FALSE(port.isOpen()) << "the next tick finishes, the port closes";
    EXPECT_TRUE(prompts.shown.empty()) << "without a message";
    EXPECT_EQ(text("RP_KOd_5"), "");
}

TEST_F(RemoteLearningTest, AnotherRowAbandonsTheFirstWhoseButtonKeepsItsCancel) {
    remotes.press(1);
    remotes.press(6);
    deviceSays("\xAA\xBB\xCC");
    EXPECT_EQ(text("RP_KOd_6"), "aabbcc");
    EXPECT_EQ(text("RP_KOd_1"), "");
    EXPECT_EQ(caption(6), "Читать");
    EXPECT_EQ(caption(1), "Отмена");
    remotes.press(1);
    EXPECT_EQ(lastBody(), "Uk");
    EXPECT_EQ(caption(1), "Читать");
}

TEST_F(RemoteLearningTest, AnotherOperationEndsTheVisibleWait) {
    remotes.press(7);
    ASSERT_TRUE(exchange.canCancel());
    ASSERT_TRUE(exchange.beginOperation("x"));
    EXPECT_TRUE(view.last().text.empty());
    EXPECT_FALSE(exchange.canCancel());
    EXPECT_EQ(caption(7), "Отмена");
}

TEST_F(RemoteLearningTest, WithoutADeviceNothingIsSent) {
    exchange.setTranslate([](const std::string& t) { return "[T]" + t; });
    exchange.setConnectedPort("");
    remotes.press(1);
    port.ports.clear();
    exchange.setConnectedPort("COM1");
    remotes.press(1);
    EXPECT_EQ(prompts.textsUtf8(),
              std::vector<std::string>(
                  2, "[T]Нет соединения с устройством. Необходимо проверить подключение"));
    EXPECT_TRUE(port.writes.empty());
    EXPECT_EQ(caption(1), "Читать");
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    EXPECT_TRUE(view.activities.empty());
}

} // namespace
} // namespace t6::test
