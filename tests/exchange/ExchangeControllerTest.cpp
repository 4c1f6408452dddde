#include "ExchangeFixture.h"

namespace t6::test {
namespace {

class ControllerTest : public ExchangeFixture {};

TEST_F(ControllerTest, StartsIdleWithTheClosedPortOfCom1InTheStatusBar) {
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    EXPECT_TRUE(exchange.connectedPort().empty());
    EXPECT_EQ(u8(view.portState), "Закрыт (Com=COM1)");
    EXPECT_TRUE(exchange.clockTimer().isActive());
    EXPECT_TRUE(exchange.closeTimer().isActive());
    EXPECT_FALSE(exchange.replyTimer().isActive());
    EXPECT_FALSE(exchange.searchTimer().isActive());
    // The first tick of CloseTimer only stops it.
    clock.advance(1000);
    EXPECT_FALSE(exchange.closeTimer().isActive());
    EXPECT_EQ(view.clockTicks, 1);
}

TEST_F(ControllerTest, AReplyInIdleModeIsOnlyNotedInTheMemo) {
    bool called = false;
    exchange.registerHandler(ExchangeMode::IdleAfterOperation,
                             [&](const Bytes&) { called = true; });
    port.open();
    port.inject(bytesOf({0xFE, 0xFF, 'O', 'K', 0xFF, 0xFE}));
    ASSERT_EQ(logs.memoLines().size(), 1u);
    EXPECT_EQ(u8(logs.memoLines()[0]), "входная строка: OK");
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    EXPECT_TRUE(port.writes.empty());
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_FALSE(called);
}

TEST_F(ControllerTest, CloseTimerClosesThePortOneSecondAfterAnOperationEnded) {
    port.open();
    exchange.setMode(ExchangeMode::IdleAfterOperation);
    exchange.closeTimer().start();
    clock.advance(999);
    EXPECT_TRUE(port.isOpen());
    clock.advance(1);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    EXPECT_FALSE(exchange.closeTimer().isActive());
    EXPECT_EQ(u8(view.portState), "Закрыт (Com=COM1)");
}

TEST_F(ControllerTest, CloseTimerInAnotherModeOnlyStopsItself) {
    port.open();
    exchange.setMode(ExchangeMode::ReadAllKeys);
    exchange.closeTimer().start();
    clock.advance(1000);
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(exchange.mode(), ExchangeMode::ReadAllKeys);
    EXPECT_FALSE(exchange.closeTimer().isActive());
}

TEST_F(ControllerTest, BeginOperationOpensPurgesAndSetsTheMode) {
    exchange.setConnectedPort("ttyUSB0");
    ASSERT_TRUE(exchange.beginOperation(ExchangeMode::ReadBlock, "none"));
    EXPECT_EQ(port.portName(), "ttyUSB0");
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.purges, 1);
    EXPECT_EQ(exchange.mode(), ExchangeMode::ReadBlock);
    EXPECT_TRUE(exchange.replyTimer().isActive());
    EXPECT_FALSE(exchange.closeTimer().isActive());
    EXPECT_EQ(u8(view.portState), "Открыт (Com=ttyUSB0)");
}

TEST_F(ControllerTest, BeginOperationWithoutAPortShowsTheNoConnectionText) {
    exchange.replyTimer().start();
    EXPECT_FALSE(exchange.beginOperation(ExchangeMode::ReadBlock, ru("нет")));
    EXPECT_EQ(prompts.lastUtf8(), "нет");
    EXPECT_EQ(prompts.shown.back().kind, ScriptedPrompts::Kind::Message);
    EXPECT_FALSE(exchange.replyTimer().isActive());
    EXPECT_FALSE(exchange.closeTimer().isActive());
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);

    exchange.setConnectedPort("ttyUSB9");
    port.unopenable.insert("ttyUSB9");
    EXPECT_FALSE(exchange.beginOperation(ExchangeMode::ReadBlock, ru("нет")));
    EXPECT_EQ(prompts.textsUtf8(), (std::vector<std::string>{"нет", "нет"}));
    EXPECT_EQ(port.purges, 0);
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
}

// The ReplyTimer rows that ask with a Yes box.
struct BoxRow {
    ExchangeModeValue mode;
    const char* text;
};

class ReplyTimerBoxTest : public ControllerTest, public ::testing::WithParamInterface<BoxRow> {};

TEST_P(ReplyTimerBoxTest, AsksThenFinishesOnYesAndClosesASecondLater) {
    exchange.setConnectedPort("COM1");
    ASSERT_TRUE(exchange.beginOperation(GetParam().mode, "none"));
    clock.advance(9999);
    EXPECT_TRUE(prompts.shown.empty());
    clock.advance(1);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Confirm);
    EXPECT_EQ(prompts.lastUtf8(), GetParam().text);
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_FALSE(exchange.replyTimer().isActive());
    EXPECT_TRUE(port.isOpen());
    clock.advance(1000);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReplyTimerBoxTest,
    ::testing::Values(BoxRow{ExchangeMode::ReadBlock,
                             "Превышен период ожидания ответа устройства."},
                      BoxRow{ExchangeMode::WriteBlock,
                             "НЕТ ответа о окончании записи в устройство основной конфигурации"},
                      BoxRow{301, "НЕТ ответа о окончании записи в устройство радиоприборов (301)"},
                      BoxRow{304, "НЕТ ответа о окончании записи в устройство радиоприборов (304)"},
                      BoxRow{306, "НЕТ ответа о окончании записи в устройство радиоприборов (306)"},
                      BoxRow{ExchangeMode::KeysReady, "НЕТ ответа о готовности к чтению ключей"},
                      BoxRow{ExchangeMode::SignalLevel, "НЕТ ответа о уровне сигнала."}));

TEST_F(ControllerTest, ABoxClosedWithoutYesLeavesThePortOpenUntilTheNextTick) {
    exchange.setConnectedPort("COM1");
    ASSERT_TRUE(exchange.beginOperation(ExchangeMode::ReadBlock, "none"));
    prompts.answers = {false};
    clock.advance(10000);
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_TRUE(exchange.replyTimer().isActive());
    EXPECT_FALSE(exchange.closeTimer().isActive());
    clock.advance(5000);
    EXPECT_TRUE(port.isOpen());
    // The next tick meets mode 11 and finishes silently.
    clock.advance(5000);
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_FALSE(exchange.replyTimer().isActive());
    clock.advance(1000);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(ControllerTest, TheNoReplyBoxKeepsThePortOpenUntilItIsAnswered) {
    exchange.setConnectedPort("COM1");
    ASSERT_TRUE(exchange.beginOperation(ExchangeMode::ReadBlock, "none"));
    // The user leaves the box up for 12 seconds before pressing Yes. The
    // reply timer does not fire again while its own box is up (Qt never
    // re-enters a timer), and the closing timer only starts on Yes.
    bool openDuringTheBox = false;
    ExchangeModeValue modeDuringTheBox = -1;
    bool boxUp = false;
    prompts.whileShown = [&](const ScriptedPrompts::Shown&) {
        if (boxUp)
            return;
        boxUp = true;
        clock.advance(12000);
        openDuringTheBox = port.isOpen();
        modeDuringTheBox = exchange.mode();
    };
    clock.advance(10000);
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(openDuringTheBox);
    EXPECT_EQ(modeDuringTheBox, ExchangeMode::IdleAfterOperation);
    EXPECT_TRUE(port.isOpen()) << "answered just now";
    EXPECT_FALSE(exchange.replyTimer().isActive());
    clock.advance(1000);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    EXPECT_EQ(prompts.shown.size(), 1u);
}

TEST_F(ControllerTest, HooksOfKeysAndSignalRunOnlyAfterYes) {
    int ran = 0;
    exchange.setTimeoutHook(ExchangeMode::SignalLevel, [&] { ++ran; });
    exchange.setConnectedPort("COM1");
    ASSERT_TRUE(exchange.beginOperation(ExchangeMode::SignalLevel, "none"));
    prompts.answers = {false};
    clock.advance(10000);
    EXPECT_EQ(ran, 0);
    ASSERT_TRUE(exchange.beginOperation(ExchangeMode::SignalLevel, "none"));
    clock.advance(10000);
    EXPECT_EQ(ran, 1);
}

TEST_F(ControllerTest, NoReplyInModesWithoutARowFinishesSilently) {
    exchange.setConnectedPort("COM1");
    for (ExchangeModeValue m : {ExchangeMode::SensorsReady, ExchangeMode::Identify, 8, 20, 22}) {
        ASSERT_TRUE(exchange.beginOperation(m, "none"));
        clock.advance(10000);
        EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation) << m;
        EXPECT_TRUE(port.isOpen());
        clock.advance(1000);
        EXPECT_FALSE(port.isOpen()) << m;
    }
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ControllerTest, NoReplyWhileLearningARemoteSendsTheStopRequest) {
    int captions = 0;
    exchange.setTimeoutHook(ExchangeMode::ReadRemote, [&] { ++captions; });
    exchange.setConnectedPort("COM1");
    ASSERT_TRUE(exchange.beginOperation(ExchangeMode::ReadRemote, "none"));
    clock.advance(10000);
    EXPECT_EQ(captions, 1);
    ASSERT_EQ(port.writes.size(), 1u);
    EXPECT_EQ(port.writes[0].bytes, bytesOf({0xFE, 0xFF, 'U', 'k', 0xFF, 0xFE}));
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    // One time-out ends it: the port closes a second later, no second tick.
    EXPECT_FALSE(exchange.replyTimer().isActive());
    clock.advance(1000);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    clock.advance(20000);
    EXPECT_EQ(port.writes.size(), 1u);
}

TEST_F(ControllerTest, NoSensorListTellsTheUserAndClosesTheNotice) {
    int hooks = 0;
    exchange.setTimeoutHook(ExchangeMode::ReadSensorList, [&] {
        ++hooks;
        EXPECT_TRUE(prompts.shown.empty()); // the notice goes before the box
    });
    exchange.setConnectedPort("COM1");
    ASSERT_TRUE(exchange.beginOperation(ExchangeMode::ReadSensorList, "none"));
    clock.advance(10000);
    EXPECT_EQ(hooks, 1);
    EXPECT_EQ(prompts.lastUtf8(), "Нет ответа от прибора.");
    EXPECT_EQ(prompts.shown.back().kind, ScriptedPrompts::Kind::Message);
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    clock.advance(1000);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(ControllerTest, NoSensorReplyEndsTheLearningWithOneStopRequest) {
    exchange.setConnectedPort("COM1");
    ASSERT_TRUE(exchange.beginOperation(ExchangeMode::ReadSensor, "none"));
    clock.advance(10000);
    EXPECT_EQ(sentBodies(), (std::vector<Bytes>{"Uk"}));
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_FALSE(exchange.replyTimer().isActive());
    clock.advance(1000);
    EXPECT_FALSE(port.isOpen());
    clock.advance(30000);
    EXPECT_EQ(sentBodies(), (std::vector<Bytes>{"Uk"})) << "no \"Uk\" every 10 s for ever";
}

TEST_F(ControllerTest, NoThermoCodeSendsItsStopRequest) {
    exchange.setConnectedPort("COM1");
    ASSERT_TRUE(exchange.beginOperation(ExchangeMode::ReadThermoCode, "none"));
    clock.advance(10000);
    EXPECT_EQ(sentBodies(), (std::vector<Bytes>{"Utd"}));
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    clock.advance(1000);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(ControllerTest, AWriteFailureInATimerTickIsShownInTheErrorBox) {
    exchange.setConnectedPort("COM1");
    ASSERT_TRUE(exchange.beginOperation(ExchangeMode::ReadThermoCode, "none"));
    port.writeFails = true;
    clock.advance(10000);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Error);
    EXPECT_EQ(prompts.lastUtf8(), "WriteFile function failed (win error code: 5)");
    // The steps before the failing call stay as they were.
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_TRUE(exchange.closeTimer().isActive());
}

TEST_F(ControllerTest, AnErrorInsideAReplyHandlerIsShownAndReceivingGoesOn) {
    std::vector<Bytes> handled;
    exchange.registerHandler(ExchangeMode::ReadBlock, [&](const Bytes& p) {
        handled.push_back(p);
        if (p == "A")
            throw PortError("PurgeComm function failed (win error code: 5)");
    });
    exchange.setMode(ExchangeMode::ReadBlock);
    port.open();
    port.inject(frame("A") + frame("B"));
    EXPECT_EQ(handled, (std::vector<Bytes>{"A", "B"}));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Error);
    EXPECT_EQ(prompts.lastUtf8(), "PurgeComm function failed (win error code: 5)");
}

TEST_F(ControllerTest, BytesArrivingWhileAHandlerHasABoxOpenAreHandledAfterItInOrder) {
    std::vector<std::string> events;
    exchange.registerHandler(ExchangeMode::ReadBlock, [&](const Bytes& p) {
        events.push_back("begin " + p);
        if (p == "first") {
            // The box is up; the device sends two more packets meanwhile.
            prompts.whileShown = [&](const ScriptedPrompts::Shown&) {
                prompts.whileShown = nullptr;
                port.inject(frame("second") + bytesOf({0xFE, 0xFF}));
                port.inject("third" + bytesOf({0xFF, 0xFE}));
            };
            prompts.confirm("box");
        }
        events.push_back("end " + p);
    });
    exchange.setMode(ExchangeMode::ReadBlock);
    port.open();
    port.inject(frame("first"));
    EXPECT_EQ(events, (std::vector<std::string>{"begin first", "end first", "begin second",
                                                "end second", "begin third", "end third"}));
}

TEST_F(ControllerTest, APortThatVanishesDuringAnOperationIsToldAndShownClosed) {
    exchange.setConnectedPort("ttyUSB0");
    ASSERT_TRUE(exchange.beginOperation(ExchangeMode::ReadBlock, "none"));
    port.unplug();
    EXPECT_EQ(u8(view.portState), "Закрыт (Com=ttyUSB0)");
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Error);
    EXPECT_EQ(prompts.lastUtf8(), "Порт больше не доступен: ttyUSB0\r\nНет такого устройства.");
    // No reply can come: the operation is over now, and its time-out says nothing more.
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    EXPECT_FALSE(exchange.replyTimer().isActive());
    EXPECT_FALSE(exchange.closeTimer().isActive());
    clock.advance(20000);
    EXPECT_EQ(prompts.shown.size(), 1u);
}

TEST_F(ControllerTest, APortThatVanishesTellsWhatBecameOfEachWaitingOperationInItsBox) {
    std::vector<ExchangeController::Interruption> told;
    exchange.addInterruptListener([&](ExchangeController::Interruption why) {
        told.push_back(why);
        return std::string("the read is undone.");
    });
    exchange.addInterruptListener([](ExchangeController::Interruption) { return std::string(); });
    exchange.setConnectedPort("ttyUSB0");
    ASSERT_TRUE(exchange.beginOperation(ExchangeMode::ReadRemotes, "none", false));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_TRUE(view.notices.size() == 1u && view.notices[0] == "the read is undone.")
        << "another operation starting: what became of the waiting one is a notice";
    bool cancelled = false;
    exchange.setCancel([&] { cancelled = true; });
    port.unplug();
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[1], ExchangeController::Interruption::PortLost);
    EXPECT_EQ(prompts.lastUtf8(),
              "Порт больше не доступен: ttyUSB0\r\nНет такого устройства\r\nthe read is undone.");
    EXPECT_FALSE(exchange.canCancel());
    EXPECT_FALSE(cancelled) << "the wait's own cancel is not run: there is no port to cancel on";
    EXPECT_EQ(view.notices.size(), 1u);

    // Between operations a vanished port is only shown closed.
    port.unplug();
    EXPECT_EQ(told.size(), 2u);
    EXPECT_EQ(prompts.shown.size(), 1u);
}

TEST_F(ControllerTest, AVanishedPortIsToldInTheWindowsLanguage) {
    // The system's reason too: no English words of the system inside a
    // Russian box, nor Russian ones inside an English box.
    exchange.setTranslate([](const std::string& t) {
        if (t == ru("Порт больше не доступен:"))
            return std::string("The port is no longer available:");
        return t == ru("Нет такого устройства") ? std::string("No such device") : t;
    });
    exchange.setConnectedPort("/dev/ttyUSB0");
    ASSERT_TRUE(exchange.beginOperation(ExchangeMode::SignalLevel, "none"));
    port.unplug();
    EXPECT_EQ(prompts.lastUtf8(),
              "The port is no longer available: /dev/ttyUSB0\r\nNo such device.");
}

TEST_F(ControllerTest, ShutdownPurgesAndClosesAnOpenPort) {
    port.open();
    exchange.shutdown();
    EXPECT_EQ(port.purges, 1);
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(exchange.clockTimer().isActive());
}

TEST(ExchangeFraming, RequestsCarryTheFrameBytes) {
    EXPECT_EQ(ExchangeController::framed("Sg"), bytesOf({0xFE, 0xFF, 0x53, 0x67, 0xFF, 0xFE}));
    EXPECT_EQ(ExchangeController::PacketPrefix, ru("юя"));
    EXPECT_EQ(ExchangeController::PacketSuffix, ru("яю"));
}

} // namespace
} // namespace t6::test
