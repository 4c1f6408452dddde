// The key panel with the device: the table read when the panel opens, one
// key read at the reader (and cancelled), the table written, the panel
// closed, and every missing or wrong answer.

#include "KeysFixture.h"
#include "exchange/SignalLevel.h"
#include "keys/KeyTable.h"

namespace t6::test {
namespace {

const Bytes kIdentity = bytesOf({0x01, 0xA2, 0xB3, 0xC4, 0xD5, 0xE6, 0xF7, 0x08});

Bytes record(const std::string& description, const Bytes& identity) {
    return description + Bytes(12 - description.size(), '\0') + identity +
           Bytes(8 - identity.size(), '\0');
}

TEST_F(KeysTest, OpeningThePanelReadsTheTableIntoItsRows) {
    setKey(1, "старый", "1111");
    setKey(3, "третий", "3333");
    keys.openPanel();
    EXPECT_EQ(sent(), (std::vector<Bytes>{bytesOf({0xFE, 0xFF, 0x43, 0x6E, 0xFF, 0xFE})}));
    EXPECT_EQ(exchange.mode(), ExchangeMode::ReadAllKeys);
    EXPECT_TRUE(exchange.replyTimerActive());
    EXPECT_EQ(port.purges, 1);
    EXPECT_TRUE(keys.state().shown);
    EXPECT_TRUE(keys.state().enabled);
    EXPECT_FALSE(keys.state().otherPanelsEnabled);
    EXPECT_TRUE(keys.state().closeEnabled);
    EXPECT_EQ(caption(1), "Читать Ключ");
    EXPECT_EQ(cp1251ToUtf8(key(1).description), "старый") << "the rows keep their contents";

    // 40 bytes: rows 1 and 2; rows 3 to 10 keep what they held.
    const Bytes table = record(ru("Дверь"), kIdentity) + record("", "");
    reply(table);
    EXPECT_EQ(cells(key(1)), (KeyCells{ru("Дверь"), "01a2b3c4d5e6f708"}));
    EXPECT_EQ(cells(key(2)), (KeyCells{"", "0000000000000000"}));
    EXPECT_EQ(cells(key(3)), (KeyCells{ru("третий"), "3333"}));
    // Those rows are not the device's: marked, and the read is not whole.
    for (int row = 1; row <= 10; ++row)
        EXPECT_EQ(model.keyNotRead(row), row >= 3) << row;
    ASSERT_TRUE(keys.tableOutcome());
    EXPECT_EQ(keys.tableOutcome()->kind, Outcome::Kind::Incomplete);
    EXPECT_EQ(cp1251ToUtf8(keys.tableOutcome()->details.at(0)),
              "T:строки таблицы ключей не прочитаны: 3-10");
    EXPECT_FALSE(states.empty());
    EXPECT_EQ(view.notices, (std::vector<std::string>{ru("T:Таблица ключей прочитана не "
                                                         "полностью; байт в ответе прибора (из "
                                                         "200): 40")}))
        << "the rows the reply does not reach are told of";

    // The mode stays; the reply timer ends the exchange without another word.
    EXPECT_EQ(exchange.mode(), ExchangeMode::ReadAllKeys);
    clock.advance(ExchangeController::kReplyIntervalMs);
    EXPECT_EQ(view.notices.size(), 1u);
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    clock.advance(ExchangeController::kCloseIntervalMs);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_TRUE(keys.state().shown) << "the panel stays open";

    const std::string protocol = logText("protokol.log");
    EXPECT_NE(protocol.find(ru("<<< чтение ключей(все): ") + table + "\r\n"), std::string::npos);
}

TEST_F(KeysTest, ATableThatDoesNotComeIsToldAtTheTimeOutAWholeOneNotAtAll) {
    keys.openPanel();
    clock.advance(ExchangeController::kReplyIntervalMs);
    EXPECT_EQ(view.notices, (std::vector<std::string>{
                                ru("T:Таблица ключей не прочитана: прибор не ответил за 10 с.")}));
    EXPECT_TRUE(prompts.shown.empty()) << "no box: the status bar says it";
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    ASSERT_TRUE(keys.tableOutcome());
    EXPECT_EQ(keys.tableOutcome()->kind, Outcome::Kind::NoAnswer);
    for (int row = 1; row <= 10; ++row)
        EXPECT_TRUE(model.keyNotRead(row)) << row;

    view.notices.clear();
    Bytes whole;
    for (int row = 1; row <= 10; ++row)
        whole += record("k" + std::to_string(row), kIdentity);
    ASSERT_EQ(whole.size(), 200u);
    keys.openPanel();
    reply(whole);
    clock.advance(ExchangeController::kReplyIntervalMs);
    EXPECT_TRUE(view.notices.empty());
    EXPECT_EQ(cells(key(10)), (KeyCells{"k10", "01a2b3c4d5e6f708"}));
    ASSERT_TRUE(keys.tableOutcome());
    EXPECT_TRUE(keys.tableOutcome()->completed());
    for (int row = 1; row <= 10; ++row)
        EXPECT_FALSE(model.keyNotRead(row)) << row;
}

TEST_F(KeysTest, ATableNeverReadWholeIsWrittenOnlyAfterAQuestion) {
    // 52 bytes: rows 1 and 2 whole, row 3 its description alone.
    openWithTable(record("one", kIdentity) + record("two", kIdentity) + Bytes("three") +
                  Bytes(7, '\0'));
    EXPECT_FALSE(model.keyNotRead(2));
    EXPECT_TRUE(model.keyNotRead(3)) << "a row without its code is not the device's";
    // The user gives row 10 its key: it is no longer unread.
    setKey(10, "гость", "0102");
    EXPECT_FALSE(model.keyNotRead(10));

    prompts.answers = {false};
    keys.save();
    EXPECT_EQ(prompts.textsUtf8(),
              std::vector<std::string>{
                  T("Таблица ключей прочитана из прибора не полностью; не прочитаны строки:") +
                  " 3, 4, 5, 6, 7, 8, 9.\r\n" + T("Всё равно записать таблицу в прибор?")});
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Question);
    EXPECT_TRUE(port.writes.empty()) << "No sends nothing";
    ASSERT_TRUE(keys.saveOutcome());
    EXPECT_EQ(keys.saveOutcome()->kind, Outcome::Kind::Cancelled);

    prompts.answers = {true};
    keys.save();
    EXPECT_EQ(sent(), std::vector<Bytes>{frame("Wr")}) << "Yes writes";
    reply("OK");
    reply("Ok");
    ASSERT_TRUE(keys.saveOutcome());
    EXPECT_TRUE(keys.saveOutcome()->completed());
}

TEST_F(KeysTest, ATableCutShortByALostPortIsNotRead) {
    keys.openPanel();
    port.unplug();
    ASSERT_TRUE(keys.tableOutcome());
    EXPECT_EQ(keys.tableOutcome()->kind, Outcome::Kind::PortLost);
    EXPECT_TRUE(model.keyNotRead(1));
    EXPECT_TRUE(model.keyNotRead(10));
}

TEST_F(KeysTest, APortThatGoesAwayEndsTheKeyWaitAtOnceInOneBox) {
    openWithTable(record("one", kIdentity));
    keys.readKey(2);
    ASSERT_TRUE(exchange.canCancel());
    port.unplug();
    EXPECT_FALSE(exchange.canCancel()) << "no Отмена is left to a wait that cannot end";
    EXPECT_EQ(keys.pendingRead(), 0);
    EXPECT_EQ(caption(2), "Читать Ключ");
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Error);
    EXPECT_TRUE(view.last().text.empty()) << "the wait is gone from the status bar";
}

TEST_F(KeysTest, WithoutTheDeviceThePanelStaysClosed) {
    exchange.setConnectedPort("");
    keys.openPanel();
    exchange.setConnectedPort("COM1");
    port.unopenable.insert("COM1");
    keys.openPanel();
    EXPECT_EQ(prompts.textsUtf8(),
              (std::vector<std::string>{T("Нет соединения с устройством. Проверьте подключение"),
                                        T("Нет соединения с устройством. Проверьте подключение")}));
    EXPECT_TRUE(port.writes.empty());
    EXPECT_FALSE(keys.state().shown);
    EXPECT_TRUE(keys.state().otherPanelsEnabled);
}

TEST_F(KeysTest, OneKeyIsAwaitedWithoutLimitThenFillsItsCode) {
    openWithTable(record("one", kIdentity));
    setKey(4, "Гость", "");
    keys.readKey(4);
    EXPECT_EQ(sent(), (std::vector<Bytes>{bytesOf({0xFE, 0xFF, 0x4B, 0x72, 0xFF, 0xFE})}));
    EXPECT_EQ(exchange.mode(), ExchangeMode::ReadOneKey);
    EXPECT_FALSE(exchange.replyTimerActive());
    EXPECT_EQ(caption(4), "Отмена");
    EXPECT_EQ(caption(3), "Читать Ключ");
    EXPECT_EQ(keys.pendingRead(), 4);
    EXPECT_EQ(cp1251ToUtf8(view.last().text),
              T("Ожидание ключа") + " 4: " + T("приложите ключ к считывателю"));
    EXPECT_TRUE(view.last().cancellable);
    EXPECT_TRUE(exchange.canCancel());

    clock.advance(60000);
    EXPECT_EQ(exchange.mode(), ExchangeMode::ReadOneKey) << "no time limit";
    EXPECT_TRUE(prompts.shown.empty());

    reply(kIdentity + "\x99");
    EXPECT_EQ(cells(key(4)), (KeyCells{ru("Гость"), "01a2b3c4d5e6f708"}));
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_EQ(caption(4), "Читать Ключ");
    EXPECT_TRUE(keys.state().readEnabled[3]);
    EXPECT_TRUE(keys.state().enabled);
    EXPECT_EQ(keys.pendingRead(), 0);
    EXPECT_TRUE(view.last().text.empty()) << "the wait is over";
    EXPECT_FALSE(exchange.canCancel());
    clock.advance(ExchangeController::kCloseIntervalMs);
    EXPECT_FALSE(port.isOpen());

    const std::string protocol = logText("protokol.log");
    EXPECT_NE(protocol.find(ru("<<< чтение ключа: ") + kIdentity + "\x99\r\n"), std::string::npos);
}

TEST_F(KeysTest, ASecondPressOrTheStatusBarCancelsTheRead) {
    openWithTable(record("one", kIdentity));
    keys.readKey(2);
    keys.readKey(2);
    EXPECT_EQ(sent(), (std::vector<Bytes>{frame("Kr"), frame("Ur")}));
    EXPECT_EQ(caption(2), "Читать Ключ");
    EXPECT_TRUE(view.last().text.empty());
    // Whatever the device says to the cancel is not taken as a key.
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    reply("OK");
    EXPECT_EQ(key(2).code, "");
    clock.advance(ExchangeController::kCloseIntervalMs);
    EXPECT_FALSE(port.isOpen());

    port.writes.clear();
    keys.readKey(9);
    exchange.cancelActivity();
    EXPECT_EQ(sent(), (std::vector<Bytes>{frame("Kr"), frame("Ur")}));
    EXPECT_EQ(caption(9), "Читать Ключ");
    EXPECT_FALSE(exchange.canCancel());
}

TEST_F(KeysTest, AnotherReadOrOperationEndsTheWait) {
    openWithTable(record("one", kIdentity));
    keys.readKey(5);
    keys.readKey(7);
    EXPECT_EQ(sent(), (std::vector<Bytes>{frame("Kr"), frame("Kr")}));
    EXPECT_EQ(caption(5), "Читать Ключ") << "one key is awaited at a time";
    EXPECT_EQ(caption(7), "Отмена");
    reply(kIdentity);
    EXPECT_EQ(key(7).code, "01a2b3c4d5e6f708");
    EXPECT_EQ(key(5).code, "");

    keys.readKey(6);
    ASSERT_TRUE(exchange.beginOperation("x"));
    EXPECT_EQ(caption(6), "Читать Ключ");
    EXPECT_EQ(keys.pendingRead(), 0);
    EXPECT_TRUE(view.last().text.empty());
    EXPECT_FALSE(exchange.canCancel());
}

TEST_F(KeysTest, AKeyReadWithoutTheDeviceSaysTheConnectionMustBeVerified) {
    openWithTable(record("one", kIdentity));
    exchange.setConnectedPort("");
    keys.readKey(1);
    EXPECT_EQ(prompts.lastUtf8(),
              T("Нет соединения с устройством. Необходимо проверить подключение"));
    EXPECT_TRUE(port.writes.empty());
    EXPECT_EQ(caption(1), "Читать Ключ");
}

TEST_F(KeysTest, SavingSendsReadinessThenTheWholeTableAndClosesThePanel) {
    openWithWholeTable(record("one", kIdentity));
    model.setTouchKey(1, {ru("Дверь"), "01A2B3C4D5E6F708"});
    model.setTouchKey(2, {"", ""});
    model.setTouchKey(3, {"Hall", " c4d5 "});
    const int waits = clock.waits();
    const auto start = clock.nowMs();
    keys.save();
    EXPECT_EQ(clock.waits(), waits + 1);
    EXPECT_EQ(clock.nowMs() - start, 1000);
    EXPECT_EQ(sent(), (std::vector<Bytes>{bytesOf({0xFE, 0xFF, 0x57, 0x72, 0xFF, 0xFE})}));
    EXPECT_EQ(exchange.mode(), ExchangeMode::KeysReady);
    EXPECT_TRUE(exchange.replyTimerActive());
    EXPECT_FALSE(keys.state().closeEnabled);
    EXPECT_TRUE(keys.saving());

    reply("OK");
    EXPECT_EQ(clock.waits(), waits + 3) << "100 ms before and after the table is built";
    EXPECT_EQ(clock.nowMs() - start, 1200);
    ASSERT_EQ(sent().size(), 2u);
    const Bytes expected =
        bytesOf({0xFE, 0xFF}) + bytesOf({0xC4, 0xE2, 0xE5, 0xF0, 0xFC, 0, 0, 0, 0, 0, 0, 0}) +
        kIdentity + Bytes(20, '\0') + "Hall" + Bytes(8, '\0') + bytesOf({0xC4, 0xD5}) +
        Bytes(6, '\0') + Bytes(140, '\0') + bytesOf({0xFF, 0xFE});
    EXPECT_EQ(sent()[1], expected);
    EXPECT_EQ(exchange.mode(), ExchangeMode::KeysResult);
    EXPECT_TRUE(exchange.replyTimerActive());

    reply("Ok");
    EXPECT_EQ(prompts.textsUtf8(),
              std::vector<std::string>{"Процесс записи ключей завершился. Все OK."});
    EXPECT_EQ(prompts.shown.back().kind, ScriptedPrompts::Kind::Confirm);
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_FALSE(keys.state().shown);
    EXPECT_FALSE(keys.state().enabled);
    EXPECT_TRUE(keys.state().otherPanelsEnabled);
    EXPECT_TRUE(keys.state().closeEnabled);
    EXPECT_FALSE(keys.saving());
    ASSERT_TRUE(keys.saveOutcome());
    EXPECT_TRUE(keys.saveOutcome()->completed());
    clock.advance(ExchangeController::kCloseIntervalMs);
    EXPECT_FALSE(port.isOpen());
    clock.advance(20000);
    EXPECT_TRUE(view.notices.empty());
    EXPECT_EQ(prompts.shown.size(), 1u);

    const std::string protocol = logText("protokol.log");
    EXPECT_NE(protocol.find(ru("<<< результат записи ключей в прибор: OK\r\n")), std::string::npos);
    EXPECT_NE(protocol.find(ru("<<< ответ о записи: Ok\r\n")), std::string::npos);
}

TEST_F(KeysTest, ADoneBoxClosedWithoutYesStillClosesThePanelButNotThePort) {
    openWithTable(record("one", kIdentity));
    keys.save();
    reply("OK");
    prompts.answers.push_back(false);
    reply("Ok");
    EXPECT_FALSE(keys.state().shown);
    EXPECT_TRUE(keys.state().otherPanelsEnabled);
    clock.advance(ExchangeController::kCloseIntervalMs);
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
}

TEST_F(KeysTest, WrongAnswersEndTheSaveWithTheirBoxes) {
    openWithWholeTable(record("one", kIdentity));
    keys.save();
    reply("Ok"); // readiness is "OK" exactly
    EXPECT_EQ(prompts.lastUtf8(), "Ответ о готовности к сохранению ключей некорректен.");
    EXPECT_EQ(sent().size(), 1u) << "the table is not sent";
    ASSERT_TRUE(keys.saveOutcome());
    EXPECT_EQ(keys.saveOutcome()->kind, Outcome::Kind::WrongAnswer);
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_TRUE(keys.state().closeEnabled);
    EXPECT_TRUE(keys.state().shown);
    clock.advance(ExchangeController::kCloseIntervalMs);
    EXPECT_FALSE(port.isOpen());

    prompts.clear();
    port.writes.clear();
    keys.save();
    reply("OK");
    reply("OK"); // the result is "Ok" exactly
    EXPECT_EQ(prompts.textsUtf8(),
              std::vector<std::string>{"Ответ об успешной записи ключей не корректен."});
    EXPECT_EQ(sent().size(), 2u);
    EXPECT_TRUE(keys.state().shown) << "the panel stays open";
    EXPECT_TRUE(keys.state().closeEnabled);
    EXPECT_FALSE(keys.saving());
}

TEST_F(KeysTest, NoAnswerToReadinessShowsTheBoxThenFreesThePanels) {
    int sensorPanel = 0;
    keys.setSensorPanelEnabler([&] { ++sensorPanel; });
    openWithWholeTable(record("one", kIdentity));
    keys.save();
    clock.advance(ExchangeController::kReplyIntervalMs);
    EXPECT_EQ(prompts.textsUtf8(),
              std::vector<std::string>{"НЕТ ответа о готовности к чтению ключей"});
    ASSERT_TRUE(keys.saveOutcome());
    EXPECT_EQ(keys.saveOutcome()->kind, Outcome::Kind::NoAnswer);
    EXPECT_EQ(sensorPanel, 1);
    EXPECT_TRUE(keys.state().enabled);
    EXPECT_TRUE(keys.state().closeEnabled);
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_FALSE(exchange.replyTimerActive());
    clock.advance(ExchangeController::kCloseIntervalMs);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(sent().size(), 1u);
}

TEST_F(KeysTest, NoAnswerToTheTableIsToldAndThePanelCanBeClosed) {
    openWithWholeTable(record("one", kIdentity));
    keys.save();
    reply("OK");
    clock.advance(ExchangeController::kReplyIntervalMs + ExchangeController::kCloseIntervalMs);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(view.notices, std::vector<std::string>{
                                ru("T:Прибор не подтвердил запись ключей: ответа нет 10 с.")});
    EXPECT_TRUE(keys.state().closeEnabled);
    EXPECT_FALSE(keys.saving());
    ASSERT_TRUE(keys.saveOutcome());
    EXPECT_EQ(keys.saveOutcome()->kind, Outcome::Kind::NoAnswer);
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(KeysTest, TheSaveCheckRefusesBeforeAnythingIsSent) {
    openWithTable(record("one", kIdentity));
    auto refused = [this](const std::string& expected) {
        prompts.clear();
        keys.save();
        EXPECT_TRUE(port.writes.empty()) << expected;
        EXPECT_EQ(prompts.textsUtf8(), std::vector<std::string>{expected});
        EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
        ASSERT_TRUE(keys.saveOutcome());
        EXPECT_EQ(keys.saveOutcome()->kind, Outcome::Kind::Refused);
    };
    setKey(3, "", "01G2");
    setKey(5, "", "012");
    refused(T("Код Ключа №3 содержит недопустимые символы"));
    setKey(3, "", "01a2");
    refused(T("Ключ") + " 5: " +
            T("в коде нечётное число цифр (каждый байт ключа записывается двумя цифрами). В "
              "прибор ничего не отправлено."));
    setKey(5, "", "0102030405060708090a");
    refused(T("Ключ") + " 5: " +
            T("в коде больше 16 цифр (ключ хранит 8 байт). В прибор ничего не отправлено."));
    setKey(5, "", "");
    setKey(10, "Тринадцать 13", "");
    refused(T("Ключ") + " 10: " +
            T("описание длиннее 12 символов (прибор хранит 12). В прибор ничего не "
              "отправлено."));
    EXPECT_TRUE(keys.state().closeEnabled);
}

TEST_F(KeysTest, ASaveWithoutTheDeviceAsksForTheConnectButton) {
    openWithWholeTable(record("one", kIdentity));
    exchange.setConnectedPort("");
    keys.save();
    EXPECT_EQ(prompts.lastUtf8(), T("Нет соединения с устройством. Проверьте подключение"));
    EXPECT_TRUE(keys.state().enableConnectButton);
    EXPECT_TRUE(port.writes.empty());

    exchange.setConnectedPort("COM1");
    port.unopenable.insert("COM1");
    keys.save();
    EXPECT_EQ(prompts.shown.size(), 2u);
    EXPECT_TRUE(keys.state().enableConnectButton);
    EXPECT_TRUE(port.writes.empty());
    EXPECT_TRUE(keys.state().closeEnabled);

    port.unopenable.clear();
    keys.save();
    EXPECT_FALSE(keys.state().enableConnectButton);
    EXPECT_EQ(sent(), std::vector<Bytes>{frame("Wr")});
}

TEST_F(KeysTest, ATableEditedWhileTheDeviceGetsReadyIsNotSent) {
    openWithTable(record("one", kIdentity));
    keys.save();
    setKey(2, "", "123");
    reply("OK");
    EXPECT_EQ(sent().size(), 1u);
    EXPECT_EQ(prompts.lastUtf8(), T("Ключ") + " 2: " +
                                      T("в коде нечётное число цифр (каждый байт ключа "
                                        "записывается двумя цифрами). В прибор ничего не "
                                        "отправлено."));
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_TRUE(keys.state().closeEnabled);
    clock.advance(ExchangeController::kCloseIntervalMs);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(KeysTest, AnotherOperationCutsTheSaveShortAndSaysSo) {
    openWithTable(record("one", kIdentity));
    keys.save();
    ASSERT_TRUE(exchange.beginOperation("x"));
    EXPECT_FALSE(keys.saving());
    EXPECT_TRUE(keys.state().closeEnabled);
    EXPECT_EQ(view.notices,
              std::vector<std::string>{ru("T:Запись ключей прервана другой операцией.")});
}

TEST_F(KeysTest, ClosingThePanelStopsTheReaderAndEndsQuietly) {
    openWithTable(record("one", kIdentity));
    keys.readKey(8);
    port.writes.clear();
    keys.closePanel();
    EXPECT_EQ(sent(), (std::vector<Bytes>{bytesOf({0xFE, 0xFF, 0x55, 0x72, 0xFF, 0xFE})}));
    EXPECT_FALSE(keys.state().shown);
    EXPECT_FALSE(keys.state().enabled);
    EXPECT_TRUE(keys.state().otherPanelsEnabled);
    EXPECT_EQ(caption(8), "Читать Ключ");
    EXPECT_TRUE(view.last().text.empty());
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_TRUE(exchange.replyTimerActive());
    reply(kIdentity);
    EXPECT_EQ(key(8).code, "") << "an answer now is ignored";
    clock.advance(ExchangeController::kReplyIntervalMs + ExchangeController::kCloseIntervalMs);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(prompts.shown.empty());

    // Without the device the panel closes all the same.
    keys.openPanel();
    exchange.setConnectedPort("");
    keys.closePanel();
    EXPECT_FALSE(keys.state().shown);
    EXPECT_EQ(prompts.lastUtf8(), T("Нет соединения с устройством. Проверьте подключение"));
}

TEST_F(KeysTest, ThePanelCannotBeClosedWhileTheTableIsWritten) {
    openWithTable(record("one", kIdentity));
    keys.save();
    port.writes.clear();
    keys.closePanel();
    EXPECT_TRUE(port.writes.empty());
    EXPECT_TRUE(keys.state().shown);
    EXPECT_TRUE(keys.saving());
}

TEST_F(KeysTest, NoSignalLevelAnswerFreesTheKeyAndSensorPanels) {
    int sensorPanel = 0;
    keys.setSensorPanelEnabler([&] { ++sensorPanel; });
    SignalLevel signal(exchange);
    signal.setAfterNoAnswer([&] { keys.panelsBack(); });
    signal.refresh();
    clock.advance(ExchangeController::kReplyIntervalMs);
    EXPECT_EQ(prompts.textsUtf8(), std::vector<std::string>{"НЕТ ответа о уровне сигнала."});
    EXPECT_EQ(sensorPanel, 1);
    EXPECT_FALSE(keys.state().enabled) << "a hidden key panel stays disabled";
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    clock.advance(ExchangeController::kCloseIntervalMs);
    EXPECT_FALSE(port.isOpen());

    // Closed without Yes: the steps do not run.
    prompts.answers.push_back(false);
    signal.refresh();
    clock.advance(ExchangeController::kReplyIntervalMs);
    EXPECT_EQ(sensorPanel, 1);
}

TEST(KeyCellFilter, AFullCellTakesNoMoreCharactersButBackspace) {
    EXPECT_TRUE(KeyProgramming::acceptsCellKey(1, 9, 'a'));
    EXPECT_FALSE(KeyProgramming::acceptsCellKey(1, 10, 'a'));
    EXPECT_TRUE(KeyProgramming::acceptsCellKey(2, 15, 'F'));
    EXPECT_FALSE(KeyProgramming::acceptsCellKey(2, 16, 'F'));
    EXPECT_TRUE(KeyProgramming::acceptsCellKey(2, 16, '\b'));
    EXPECT_TRUE(KeyProgramming::acceptsCellKey(1, 30, '\b'));
}

} // namespace
} // namespace t6::test
