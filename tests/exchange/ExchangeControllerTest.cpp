#include "ExchangeFixture.h"

namespace t6::test {
namespace {

class ControllerTest : public ExchangeFixture {
protected:
    // An operation's start and its first step.
    void begin(ExchangeController::Step step) {
        ASSERT_TRUE(exchange.beginOperation("none"));
        exchange.request(std::move(step));
    }
};

TEST_F(ControllerTest, StartsIdleWithTheClosedPortOfCom1InTheStatusBar) {
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    EXPECT_TRUE(exchange.connectedPort().empty());
    EXPECT_EQ(u8(view.portState), "Закрыт (Com=COM1)");
    EXPECT_TRUE(exchange.clockRunning());
    EXPECT_TRUE(exchange.closeTimerActive());
    EXPECT_FALSE(exchange.replyTimerActive());
    EXPECT_FALSE(exchange.searching());
    // The first tick of CloseTimer only stops it.
    clock.advance(1000);
    EXPECT_FALSE(exchange.closeTimerActive());
    EXPECT_EQ(view.clockTicks, 1);
}

TEST_F(ControllerTest, AReplyOutsideAStepIsOnlyNotedInTheMemo) {
    bool called = false;
    port.open();
    exchange.setMode(ExchangeMode::IdleAfterOperation);
    port.inject(bytesOf({0xFE, 0xFF, 'O', 'K', 0xFF, 0xFE}));
    ASSERT_EQ(logs.memoLines().size(), 1u);
    EXPECT_EQ(u8(logs.memoLines()[0]), "входная строка: OK");
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_TRUE(port.writes.empty());
    EXPECT_TRUE(prompts.shown.empty());

    // A step's replies reach it only while the controller is in its mode.
    exchange.setConnectedPort("COM1");
    begin({.mode = ExchangeMode::ReadBlock, .onReply = [&](const Bytes&) { called = true; }});
    exchange.setMode(ExchangeMode::IdleAfterOperation);
    port.inject(frame("late"));
    EXPECT_FALSE(called);
    exchange.setMode(ExchangeMode::ReadBlock);
    port.inject(frame("in time"));
    EXPECT_TRUE(called);
}

TEST_F(ControllerTest, CloseTimerClosesThePortOneSecondAfterAnOperationEnded) {
    port.open();
    exchange.setMode(ExchangeMode::IdleAfterOperation);
    exchange.closeLater();
    clock.advance(999);
    EXPECT_TRUE(port.isOpen());
    clock.advance(1);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    EXPECT_FALSE(exchange.closeTimerActive());
    EXPECT_EQ(u8(view.portState), "Закрыт (Com=COM1)");
}

TEST_F(ControllerTest, CloseTimerInAnotherModeOnlyStopsItself) {
    port.open();
    exchange.setMode(ExchangeMode::ReadAllKeys);
    exchange.closeLater();
    clock.advance(1000);
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(exchange.mode(), ExchangeMode::ReadAllKeys);
    EXPECT_FALSE(exchange.closeTimerActive());
}

TEST_F(ControllerTest, AStepPurgesSetsItsModeSendsItsRequestAndStartsTheReplyTimer) {
    exchange.setConnectedPort("ttyUSB0");
    ASSERT_TRUE(exchange.beginOperation("none"));
    EXPECT_EQ(port.portName(), "ttyUSB0");
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.purges, 0) << "the step purges, not the opening";
    exchange.request({.mode = ExchangeMode::SignalLevel, .request = Bytes("Sg")});
    EXPECT_EQ(port.purges, 1);
    EXPECT_EQ(exchange.mode(), ExchangeMode::SignalLevel);
    ASSERT_EQ(port.writes.size(), 1u);
    EXPECT_EQ(port.writes[0].bytes, bytesOf({0xFE, 0xFF, 'S', 'g', 0xFF, 0xFE}));
    EXPECT_TRUE(exchange.replyTimerActive());
    EXPECT_FALSE(exchange.closeTimerActive());
    EXPECT_EQ(u8(view.portState), "Открыт (Com=ttyUSB0)");

    // Without a purge and without a request: only the mode and the wait.
    exchange.request({.mode = ExchangeMode::WriteBlock, .purge = false});
    EXPECT_EQ(port.purges, 1);
    EXPECT_EQ(port.writes.size(), 1u);
    EXPECT_EQ(exchange.mode(), ExchangeMode::WriteBlock);
    EXPECT_TRUE(exchange.replyTimerActive());
}

TEST_F(ControllerTest, BeginOperationWithoutAPortShowsTheNoConnectionText) {
    exchange.setConnectedPort("COM1");
    begin({.mode = ExchangeMode::ReadBlock});
    exchange.setConnectedPort("");
    EXPECT_FALSE(exchange.beginOperation(ru("нет")));
    EXPECT_EQ(prompts.lastUtf8(), "нет");
    EXPECT_EQ(prompts.shown.back().kind, ScriptedPrompts::Kind::Message);
    EXPECT_FALSE(exchange.replyTimerActive());
    EXPECT_FALSE(exchange.closeTimerActive());

    exchange.setConnectedPort("ttyUSB9");
    port.unopenable.insert("ttyUSB9");
    EXPECT_FALSE(exchange.beginOperation(ru("нет")));
    EXPECT_EQ(prompts.textsUtf8(), (std::vector<std::string>{"нет", "нет"}));
    EXPECT_EQ(port.purges, 1) << "only the first step's";
}

TEST_F(ControllerTest, AStepsTimeOutIsItsOwnAndComesAfterTenSeconds) {
    exchange.setConnectedPort("COM1");
    int timeouts = 0;
    begin({.mode = ExchangeMode::KeysResult, .onTimeout = [&] {
               ++timeouts;
               EXPECT_EQ(exchange.mode(), ExchangeMode::KeysResult);
               exchange.finish();
           }});
    clock.advance(9999);
    EXPECT_EQ(timeouts, 0);
    clock.advance(1);
    EXPECT_EQ(timeouts, 1);
    EXPECT_FALSE(exchange.replyTimerActive());
    EXPECT_TRUE(prompts.shown.empty());
    clock.advance(1000);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    clock.advance(30000);
    EXPECT_EQ(timeouts, 1);
}

TEST_F(ControllerTest, AStepWithoutATimeOutOfItsOwnFinishesSilently) {
    exchange.setConnectedPort("COM1");
    for (ExchangeModeValue m : {ExchangeMode::SensorsReady, ExchangeMode::Identify,
                                ExchangeMode::KeysResult, ExchangeMode::OutputOn}) {
        begin({.mode = m});
        clock.advance(10000);
        EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation) << m;
        EXPECT_TRUE(port.isOpen());
        clock.advance(1000);
        EXPECT_FALSE(port.isOpen()) << m;
    }
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ControllerTest, ATimeOutBoxFinishesOnYesAndClosesASecondLater) {
    exchange.setConnectedPort("COM1");
    bool yes = false;
    begin(
        {.mode = ExchangeMode::ReadBlock, .onTimeout = [&] { yes = exchange.endWithBox("box"); }});
    clock.advance(10000);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Confirm);
    EXPECT_TRUE(yes);
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_FALSE(exchange.replyTimerActive());
    EXPECT_TRUE(port.isOpen());
    clock.advance(1000);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
}

TEST_F(ControllerTest, ABoxClosedWithoutYesLeavesThePortOpenUntilTheNextTick) {
    exchange.setConnectedPort("COM1");
    begin({.mode = ExchangeMode::ReadBlock, .onTimeout = [&] { exchange.endWithBox("box"); }});
    prompts.answers = {false};
    clock.advance(10000);
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_TRUE(exchange.replyTimerActive());
    EXPECT_FALSE(exchange.closeTimerActive());
    clock.advance(5000);
    EXPECT_TRUE(port.isOpen());
    // The next tick meets mode 11 and finishes silently.
    clock.advance(5000);
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_FALSE(exchange.replyTimerActive());
    clock.advance(1000);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(ControllerTest, TheNoReplyBoxKeepsThePortOpenUntilItIsAnswered) {
    exchange.setConnectedPort("COM1");
    begin({.mode = ExchangeMode::ReadBlock, .onTimeout = [&] { exchange.endWithBox("box"); }});
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
    EXPECT_FALSE(exchange.replyTimerActive());
    clock.advance(1000);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    EXPECT_EQ(prompts.shown.size(), 1u);
}

TEST_F(ControllerTest, AnUnlimitedWaitIsToldOfTenSecondsOfSilenceOnceAndGoesOn) {
    exchange.setConnectedPort("COM1");
    int silences = 0;
    std::vector<std::size_t> held;
    begin({.mode = ExchangeMode::ReadRemotes,
           .request = Bytes("Pn"),
           .wait = ExchangeController::Wait::Unlimited,
           .onSilence = [&] { ++silences; },
           .onReceiving = [&](std::size_t n) { held.push_back(n); }});
    EXPECT_FALSE(exchange.replyTimerActive());
    clock.advance(9999);
    EXPECT_EQ(silences, 0);
    clock.advance(1);
    EXPECT_EQ(silences, 1);
    clock.advance(60000);
    EXPECT_EQ(silences, 1);
    EXPECT_EQ(exchange.mode(), ExchangeMode::ReadRemotes) << "the wait goes on";
    EXPECT_TRUE(port.isOpen());
    port.inject(bytesOf({0xFE, 0xFF}) + "abc");
    EXPECT_EQ(held, (std::vector<std::size_t>{5}));

    // A reply that came stops the watch.
    begin({.mode = ExchangeMode::ReadRemotes,
           .wait = ExchangeController::Wait::Unlimited,
           .onSilence = [&] { ++silences; }});
    exchange.replyCame();
    clock.advance(20000);
    EXPECT_EQ(silences, 1);
}

TEST_F(ControllerTest, AStepAskedFromItsPredecessorsReplyTakesTheNextReply) {
    exchange.setConnectedPort("COM1");
    std::vector<std::string> events;
    begin({.mode = ExchangeMode::WriteBlock, .onReply = [&](const Bytes& r) {
               events.push_back("first " + r);
               exchange.request(
                   {.mode = ExchangeMode::RemotesReady,
                    .request = Bytes("Wp"),
                    .onReply = [&](const Bytes& r2) { events.push_back("second " + r2); }});
               events.push_back("after " + r);
           }});
    port.inject(frame("COK") + frame("OK"));
    EXPECT_EQ(events, (std::vector<std::string>{"first COK", "after COK", "second OK"}));
    EXPECT_EQ(sentBodies(), (std::vector<Bytes>{"Wp"}));
}

TEST_F(ControllerTest, AWriteFailureInATimerTickIsShownInTheErrorBox) {
    exchange.setConnectedPort("COM1");
    begin({.mode = ExchangeMode::ReadThermoCode, .onTimeout = [&] {
               exchange.finish();
               exchange.sendFramed("Utd");
           }});
    port.writeFails = true;
    clock.advance(10000);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Error);
    EXPECT_EQ(prompts.lastUtf8(), "WriteFile function failed (win error code: 5)");
    // The steps before the failing call stay as they were.
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_TRUE(exchange.closeTimerActive());
}

TEST_F(ControllerTest, AnErrorInsideAReplyHandlerIsShownAndReceivingGoesOn) {
    std::vector<Bytes> handled;
    port.open();
    exchange.request({.mode = ExchangeMode::ReadBlock, .onReply = [&](const Bytes& p) {
                          handled.push_back(p);
                          if (p == "A")
                              throw PortError("PurgeComm function failed (win error code: 5)");
                      }});
    port.inject(frame("A") + frame("B"));
    EXPECT_EQ(handled, (std::vector<Bytes>{"A", "B"}));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Error);
    EXPECT_EQ(prompts.lastUtf8(), "PurgeComm function failed (win error code: 5)");
}

TEST_F(ControllerTest, BytesArrivingWhileAHandlerHasABoxOpenAreHandledAfterItInOrder) {
    std::vector<std::string> events;
    port.open();
    exchange.request({.mode = ExchangeMode::ReadBlock, .onReply = [&](const Bytes& p) {
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
                      }});
    port.inject(frame("first"));
    EXPECT_EQ(events, (std::vector<std::string>{"begin first", "end first", "begin second",
                                                "end second", "begin third", "end third"}));
}

TEST_F(ControllerTest, APortThatVanishesDuringAnOperationIsToldAndShownClosed) {
    exchange.setConnectedPort("ttyUSB0");
    begin({.mode = ExchangeMode::ReadBlock});
    port.unplug();
    EXPECT_EQ(u8(view.portState), "Закрыт (Com=ttyUSB0)");
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Error);
    EXPECT_EQ(prompts.lastUtf8(), "Порт больше не доступен: ttyUSB0\r\nНет такого устройства.");
    // No reply can come: the operation is over now, and its time-out says nothing more.
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    EXPECT_FALSE(exchange.replyTimerActive());
    EXPECT_FALSE(exchange.closeTimerActive());
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
    begin({.mode = ExchangeMode::ReadRemotes, .wait = ExchangeController::Wait::Unlimited});
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
    begin({.mode = ExchangeMode::SignalLevel});
    port.unplug();
    EXPECT_EQ(prompts.lastUtf8(),
              "The port is no longer available: /dev/ttyUSB0\r\nNo such device.");
}

TEST_F(ControllerTest, ShutdownPurgesAndClosesAnOpenPort) {
    port.open();
    exchange.shutdown();
    EXPECT_EQ(port.purges, 1);
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(exchange.clockRunning());
}

TEST(ExchangeFraming, RequestsCarryTheFrameBytes) {
    EXPECT_EQ(ExchangeController::framed("Sg"), bytesOf({0xFE, 0xFF, 0x53, 0x67, 0xFF, 0xFE}));
    EXPECT_EQ(ExchangeController::PacketPrefix, ru("юя"));
    EXPECT_EQ(ExchangeController::PacketSuffix, ru("яю"));
}

} // namespace
} // namespace t6::test
