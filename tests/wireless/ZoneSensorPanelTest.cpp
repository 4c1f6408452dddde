// The sensor panel of a wireless zone: opening reads the zone's list,
// learning a sensor, writing the list in two steps, closing, and every way
// these exchanges fail.

#include "WirelessFixture.h"

namespace t6::test {
namespace {

class ZoneSensorPanelTest : public WirelessTest {
protected:
    ZoneSensorPanel& panel = wireless.zoneSensors();
    const ZoneSensorPanel::State& state() { return panel.state(); }
    std::string caption(int k) { return u8(panel.caption(k)); }

    // A list whose first slot holds a four-letter name and 12 AB 00 FF.
    static Bytes deviceList() {
        Bytes b = ru("Окно") + "      " + bytesOf({0x12, 0xAB, 0x00, 0xFF});
        b += Bytes("Door\0\0\0\0\0\0", 10) + bytesOf({0x01, 0x02, 0x03, 0x04});
        b += Bytes(4 * SensorSlotBytes, '\0');
        return b;
    }
    // The panel opened on zone n with its list read.
    void openWithList(int n) {
        answerPrefix("D", deviceList());
        panel.open(n);
        run();
        port.writes.clear();
    }
    // "Wd" answered with ready; the list that follows answered with result.
    void deviceTakesList(const Bytes& ready, const Bytes& result) {
        port.device().handlePrefix("Wd", [this, ready, result](const std::string&) {
            port.device().expectNext("Wd-data", [this, result](const std::string& list) {
                listReceived = list;
                return std::optional<std::string>(result);
            });
            return std::optional<std::string>(ready);
        });
    }
    Bytes listReceived;
};

TEST_F(ZoneSensorPanelTest, OpeningZone4AsksForItsListWithThePanelWaiting) {
    int told = 0;
    panel.setObserver([&told] { ++told; });
    const auto t0 = clock.nowMs();
    panel.open(4);
    ASSERT_EQ(written(), (std::vector<Bytes>{bytesOf({0xFE, 0xFF, 0x44, 0x34, 0x72, 0xFF, 0xFE})}));
    EXPECT_EQ(clock.nowMs() - t0, 20) << "10 ms, purge, 10 ms";
    EXPECT_EQ(port.purges, 1);
    EXPECT_EQ(exchange.mode(), ExchangeMode::ReadSensorList);
    EXPECT_TRUE(exchange.replyTimerActive());
    EXPECT_TRUE(state().shown);
    EXPECT_FALSE(state().enabled);
    EXPECT_TRUE(state().noticeShown);
    EXPECT_FALSE(state().tabsEnabled);
    EXPECT_EQ(state().zone, 4);
    EXPECT_EQ(u8(panel.title()), "Датчики. Зона4");
    EXPECT_GE(told, 1);

    // An open port is closed first, and 100 ms pass before it opens again.
    answerPrefix("D", deviceList());
    run();
    ASSERT_TRUE(port.isOpen());
    const auto t1 = clock.nowMs();
    panel.open(2);
    EXPECT_EQ(clock.nowMs() - t1, 120);
    EXPECT_EQ(port.opened.size(), 2u);
    EXPECT_EQ(lastBody(), "D2r");
}

TEST_F(ZoneSensorPanelTest, TheListFillsTheRowsAndGivesThePanelBack) {
    panel.setName(6, "old");
    answerPrefix("D", deviceList() + "extra");
    panel.open(1);
    run();
    EXPECT_EQ(u8(state().rows[0].name), "Окно");
    EXPECT_EQ(state().rows[0].code, "12ab00ff");
    EXPECT_EQ(state().rows[1], (SensorSlot{"Door", "01020304"}));
    EXPECT_EQ(state().rows[5], (SensorSlot{"", "00000000"}));
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_FALSE(exchange.replyTimerActive());
    EXPECT_TRUE(exchange.closeTimerActive());
    EXPECT_TRUE(state().enabled);
    EXPECT_FALSE(state().noticeShown);
    EXPECT_FALSE(state().tabsEnabled) << "until the panel closes";
    EXPECT_TRUE(prompts.shown.empty());
    const std::string protocol = fileText("protokol.log");
    EXPECT_NE(protocol.find("<<< ответ от беспроводных датчиках: Окно      "), std::string::npos);
}

TEST_F(ZoneSensorPanelTest, AShortListEmptiesTheRowsAndTheWaitGoesOnUntilTheTimeOut) {
    exchange.setTranslate([](const std::string& t) { return "[T]" + t; });
    panel.setName(1, "kept?");
    panel.setCode(1, "abcd");
    answerPrefix("D", deviceList().substr(0, 83));
    panel.open(3);
    run(100);
    EXPECT_EQ(state().rows, SensorList{});
    EXPECT_EQ(exchange.mode(), ExchangeMode::ReadSensorList);
    EXPECT_TRUE(exchange.replyTimerActive());
    EXPECT_FALSE(state().enabled);
    EXPECT_TRUE(state().noticeShown);

    run(9900);
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_EQ(prompts.textsUtf8(), std::vector<std::string>{"[T]Нет ответа от прибора."});
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Message);
    EXPECT_TRUE(state().enabled);
    EXPECT_FALSE(state().noticeShown);
    EXPECT_TRUE(state().shown);
    run(1000);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(ZoneSensorPanelTest, LearningASensorPutsItsCodeIntoTheRow) {
    openWithList(2);
    panel.pressRead(3);
    EXPECT_EQ(written(), (std::vector<Bytes>{bytesOf({0xFE, 0xFF, 0x50, 0x73, 0xFF, 0xFE})}));
    EXPECT_EQ(exchange.mode(), ExchangeMode::ReadSensor);
    EXPECT_EQ(state().currentRow, 3);
    EXPECT_EQ(caption(3), "Отмена");
    EXPECT_EQ(u8(view.last().text), "Ожидание датчика: приведите датчик в действие");
    EXPECT_TRUE(view.last().cancellable);

    deviceSays(bytesOf({0x7E, 0x21, 0xC3, 0x05, 0x99}));
    EXPECT_EQ(state().rows[2].code, "7e21c305") << "the first four bytes";
    EXPECT_EQ(caption(3), "Читать");
    EXPECT_EQ(lastBody(), "Uk");
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_TRUE(exchange.closeTimerActive());
    EXPECT_TRUE(view.last().text.empty());
    EXPECT_EQ(u8(state().rows[0].name), "Окно") << "the other rows stay";
}

TEST_F(ZoneSensorPanelTest, PressingTwiceSendsPsThenUsAndTheAnswerToUsIsNoCode) {
    openWithList(5);
    panel.pressRead(2);
    panel.pressRead(2);
    EXPECT_EQ(bodies(), (std::vector<Bytes>{"Ps", "Us"}));
    EXPECT_EQ(caption(2), "Читать");
    EXPECT_EQ(exchange.mode(), ExchangeMode::ReadSensor);
    EXPECT_TRUE(view.last().text.empty());
    deviceSays("Ok");
    EXPECT_EQ(state().rows[1].code, "01020304");
    EXPECT_EQ(lastBody(), "Uk");

    // The window's "Отмена" of the wait sends "Us" too.
    port.writes.clear();
    panel.pressRead(4);
    exchange.cancelActivity();
    EXPECT_EQ(bodies(), (std::vector<Bytes>{"Ps", "Us"}));
    EXPECT_EQ(caption(4), "Читать");
}

TEST_F(ZoneSensorPanelTest, NoSensorHeardEndsTheLearningOnceAndSaysSo) {
    openWithList(1);
    const std::string before = state().rows[5].code;
    panel.pressRead(6);
    run(10000);
    EXPECT_EQ(bodies(), (std::vector<Bytes>{"Ps", "Uk"}));
    EXPECT_EQ(caption(6), "Читать");
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_FALSE(exchange.canCancel());
    EXPECT_TRUE(view.last().text.empty());
    ASSERT_EQ(view.notices.size(), 1u);
    EXPECT_EQ(cp1251ToUtf8(view.notices[0]), "Датчик не услышан за 10 с: ожидание закончено.");
    EXPECT_TRUE(prompts.shown.empty());
    run(1000);
    EXPECT_FALSE(port.isOpen());
    run(30000);
    EXPECT_EQ(bodies().size(), 2u) << "no \"Uk\" every 10 s for ever";
    deviceSays("\x11\x22");
    EXPECT_EQ(state().rows[5].code, before) << "an answer after the wait is no sensor's code";
}

TEST_F(ZoneSensorPanelTest, WritingSendsWdThenTheListAndConfirms) {
    openWithList(4);
    panel.setName(1, "Kuhnj");
    panel.setCode(1, "1a2b");
    deviceTakesList("READY xxOkxx", " OK\r\n");
    panel.write();
    ASSERT_EQ(written(), (std::vector<Bytes>{bytesOf({0xFE, 0xFF, 0x57, 0x64, 0x34, 0xFF, 0xFE})}));
    EXPECT_EQ(exchange.mode(), ExchangeMode::SensorsReady);
    EXPECT_TRUE(exchange.replyTimerActive());
    run(8);
    EXPECT_EQ(exchange.mode(), ExchangeMode::SensorsResult);
    EXPECT_TRUE(exchange.replyTimerActive());
    EXPECT_FALSE(exchange.closeTimerActive());
    Bytes expected = bytesOf({'K', 'u', 'h', 'n', 'j', 0, 0, 0, 0, 0, 0x1A, 0x2B, 0, 0});
    expected += Bytes("Door\0\0\0\0\0\0", 10) + bytesOf({0x01, 0x02, 0x03, 0x04});
    expected += Bytes(56, '\0');
    EXPECT_EQ(written().back(), ExchangeController::framed(expected));
    run();
    EXPECT_EQ(listReceived, expected);

    ASSERT_EQ(prompts.textsUtf8(),
              std::vector<std::string>{"Процесс записи датчиков завершился. Все OK."});
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Confirm);
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_TRUE(exchange.closeTimerActive());
    EXPECT_FALSE(state().shown);
    EXPECT_TRUE(state().tabsEnabled);
    run(1000);
    EXPECT_FALSE(port.isOpen());
    const std::string protocol = fileText("protokol.log");
    EXPECT_TRUE(hasLine(protocol, "<<< массив датчиков БпВхода: READY xxOkxx"));
    EXPECT_TRUE(hasLine(protocol, "<<< ответ о записи:  OK\r\n"));
}

TEST_F(ZoneSensorPanelTest, TheListsResultMustBeOkAloneAndABoxClosedOtherwiseKeepsTheMode) {
    openWithList(4);
    deviceTakesList("OK", "xxOkxx");
    panel.write();
    run();
    EXPECT_TRUE(prompts.shown.empty()) << "an Ok among other characters is no result";
    EXPECT_EQ(exchange.mode(), ExchangeMode::SensorsResult);
    EXPECT_TRUE(state().shown);

    prompts.answers = {false};
    deviceSays("Ok");
    EXPECT_EQ(prompts.textsUtf8().size(), 1u);
    EXPECT_EQ(exchange.mode(), ExchangeMode::SensorsResult);
    EXPECT_FALSE(exchange.replyTimerActive());
    EXPECT_FALSE(state().shown);
    EXPECT_TRUE(state().tabsEnabled);
    EXPECT_TRUE(port.isOpen());
}

TEST_F(ZoneSensorPanelTest, AReadinessWithoutOkIsIgnoredUntilTheTimeOut) {
    openWithList(4);
    deviceTakesList("Err", "Ok");
    panel.write();
    run();
    EXPECT_EQ(exchange.mode(), ExchangeMode::SensorsReady);
    EXPECT_EQ(bodies(), (std::vector<Bytes>{"Wd4"}));
    run(10000);
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_TRUE(state().shown);
    EXPECT_TRUE(hasLine(fileText("protokol.log"), "<<< массив датчиков БпВхода: Err"));
}

TEST_F(ZoneSensorPanelTest, CodesTheDeviceCannotTakeAreRefusedBeforeAnythingIsSent) {
    exchange.setTranslate([](const std::string& t) { return "[T]" + t; });
    openWithList(6);
    panel.setCode(2, "123");
    panel.setCode(5, "1a2b3c4d5e");
    panel.write();
    EXPECT_TRUE(port.writes.empty());
    EXPECT_EQ(prompts.textsUtf8(),
              std::vector<std::string>{"[T]Датчики не записаны: код датчика должен состоять из "
                                       "чётного числа шестнадцатеричных цифр, не больше 8. "
                                       "Строки: 2, 5"});
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);

    // A code changed while the device gets ready: the list does not go out.
    panel.setCode(2, "");
    panel.setCode(5, "");
    prompts.clear();
    deviceTakesList("OK", "Ok");
    panel.write();
    panel.setCode(1, "xyz0");
    run();
    EXPECT_EQ(bodies(), (std::vector<Bytes>{"Wd6"}));
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_FALSE(exchange.replyTimerActive());
    ASSERT_EQ(prompts.textsUtf8().size(), 1u);
    EXPECT_NE(prompts.textsUtf8()[0].find("Строки: 1"), std::string::npos);
}

TEST_F(ZoneSensorPanelTest, ClosingHidesThePanelAndClosesThePort) {
    panel.open(2); // the list does not come
    panel.close();
    EXPECT_FALSE(state().shown);
    EXPECT_TRUE(state().tabsEnabled);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(exchange.closeTimerActive());
    EXPECT_EQ(exchange.mode(), ExchangeMode::ReadSensorList) << "the time-out ends the read";
    run(10000);
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
}

TEST_F(ZoneSensorPanelTest, ClosingWhileASensorIsLearnedStopsTheLearning) {
    openWithList(3);
    panel.pressRead(1);
    panel.close();
    EXPECT_EQ(bodies(), (std::vector<Bytes>{"Ps", "Us"}));
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_EQ(caption(1), "Читать");
    EXPECT_TRUE(view.last().text.empty());
    EXPECT_FALSE(port.isOpen());
    run(60000);
    EXPECT_TRUE(prompts.shown.empty()) << "nothing is sent to the closed port";
    EXPECT_EQ(bodies().size(), 2u);
}

TEST_F(ZoneSensorPanelTest, AnotherOperationGivesAWaitingPanelBack) {
    panel.open(5);
    ASSERT_FALSE(state().enabled);
    ASSERT_TRUE(exchange.beginOperation("x"));
    EXPECT_TRUE(state().enabled);
    EXPECT_FALSE(state().noticeShown);
    EXPECT_TRUE(state().shown);
}

TEST_F(ZoneSensorPanelTest, WithoutADeviceThePanelDoesNotOpen) {
    exchange.setConnectedPort("");
    panel.open(1);
    port.ports.clear();
    exchange.setConnectedPort("COM1");
    panel.open(1);
    EXPECT_EQ(prompts.textsUtf8(),
              std::vector<std::string>(
                  2, "Нет соединения с устройством. Необходимо проверить подключение"));
    EXPECT_TRUE(port.writes.empty());
    EXPECT_FALSE(state().shown);
    EXPECT_TRUE(state().tabsEnabled);
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
}

} // namespace
} // namespace t6::test
