#include "ExchangeFixture.h"

namespace t6::test {
namespace {

class ConnectionTest : public ExchangeFixture {
protected:
    Connection connection{exchange};
    const Bytes tt = bytesOf({0xFE, 0xFF, 0x54, 0x74, 0xFF, 0xFE});

    // Probes seen so far: the port of each identification request.
    std::vector<std::string> probes() const {
        std::vector<std::string> out;
        for (const auto& w : port.writes)
            if (w.bytes == tt)
                out.push_back(w.port);
        return out;
    }
};

TEST_F(ConnectionTest, TheSearchProbesEachPortAtTwelveHundredMillisecondSteps) {
    port.ports = {"COM1", "COM10", "COM3"};
    port.autoReply[tt] = {};
    connection.connect();
    EXPECT_EQ(exchange.mode(), ExchangeMode::Identify);
    EXPECT_TRUE(exchange.connectedPort().empty());
    EXPECT_TRUE(probes().empty()); // the first probe comes at the first tick
    clock.advance(1200);
    EXPECT_EQ(probes(), (std::vector<std::string>{"COM1"}));
    EXPECT_TRUE(port.isOpen());
    clock.advance(1200);
    EXPECT_EQ(probes(), (std::vector<std::string>{"COM1", "COM10"}));
    clock.advance(1199);
    EXPECT_EQ(probes().size(), 2u);
    // COM3 answers with the right type.
    port.autoReply[tt] = frame("T7 2.05");
    clock.advance(1);
    EXPECT_EQ(probes(), (std::vector<std::string>{"COM1", "COM10", "COM3"}));
    EXPECT_EQ(exchange.connectedPort(), "COM3");
    EXPECT_FALSE(exchange.searching());
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Confirm);
    EXPECT_EQ(prompts.lastUtf8(), "соединение установлено.");
    EXPECT_EQ(u8(view.connection), "соединен с COM3  2.05");
    EXPECT_EQ(u8(view.connectedCaption), "Соединен");
    // Yes: the port closes one second later.
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    clock.advance(1000);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    // Each probed port was closed before the next one opened.
    EXPECT_EQ(port.opened, (std::vector<std::string>{"COM1", "COM10", "COM3"}));
}

TEST_F(ConnectionTest, TheLogsHoldTheReply) {
    port.autoReply[tt] = frame("T7 2.05");
    connection.connect();
    clock.advance(1200);
    logs.closeFiles();
    EXPECT_EQ(u8(fileText("protokol.log")), "<<< поиск порта: T7 2.05\r\n");
    ASSERT_EQ(logs.memoLines().size(), 1u);
    EXPECT_EQ(u8(logs.memoLines()[0]), "входная строка: T7 2.05");
}

TEST_F(ConnectionTest, AReplyOfExactlyT7LeavesOneTrailingBlank) {
    port.ports = {"COM3"};
    port.autoReply[tt] = frame("T7");
    connection.connect();
    clock.advance(1200);
    EXPECT_EQ(u8(view.connection), "соединен с COM3 ");
}

TEST_F(ConnectionTest, AnyTextAfterT7IsAcceptedAndClosingTheBoxKeepsThePortOpen) {
    port.autoReply[tt] = frame("T7xyz");
    prompts.answers = {false};
    connection.connect();
    clock.advance(1200);
    EXPECT_EQ(exchange.connectedPort(), "COM1");
    EXPECT_EQ(exchange.mode(), ExchangeMode::Identify);
    EXPECT_EQ(u8(view.connection), "соединен с COM1 xyz");
    clock.advance(5000);
    EXPECT_TRUE(port.isOpen());
}

struct Refusal {
    const char* reply;
    const char* text;
};

class RefusalTest : public ConnectionTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(RefusalTest, OtherDeviceTypesAreRefusedWithTheirConfigurator) {
    port.autoReply[tt] = frame(ru(GetParam().reply));
    connection.connect();
    clock.advance(1200);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Information);
    EXPECT_EQ(prompts.lastUtf8(), GetParam().text);
    EXPECT_TRUE(exchange.connectedPort().empty());
    EXPECT_FALSE(exchange.searching());
    // The port is given up a second later, free for the other configurator,
    // and the program is idle again.
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    clock.advance(1000);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    EXPECT_FALSE(exchange.closeTimerActive());
    EXPECT_TRUE(view.connectedCaption.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Replies, RefusalTest,
    ::testing::Values(
        Refusal{"On", "Вам нужно использовать конфигуратор \"ТОРВЕЛ-ЛК v2\"\r\nсоединение НЕ "
                      "установлено."},
        Refusal{"V3", "Используйте конфигуратор \"ТОРВЕЛ-ЛКv\"\r\nсоединение НЕ установлено."},
        Refusal{"T3", "Используйте конфигуратор \"ТОРВЕЛ-ЛКТv3\"\r\nсоединение НЕ установлено."},
        Refusal{"V5", "Используйте конфигуратор \"ТОРВЕЛ-ЛКv5\"\r\nсоединение НЕ установлено."},
        Refusal{"T5", "Используйте конфигуратор \"ТОРВЕЛ-ЛКTv5\"\r\nсоединение НЕ установлено."},
        Refusal{"T6", "Используйте конфигуратор \"УМНЫЙ ТОРВЕЛ-4\"\r\nсоединение НЕ установлено."},
        Refusal{" T7 2.05", "Версия и тип прибора не определены\r\nсоединение НЕ установлено."},
        Refusal{"T6 ", "Версия и тип прибора не определены\r\nсоединение НЕ установлено."},
        Refusal{"t7", "Версия и тип прибора не определены\r\nсоединение НЕ установлено."},
        Refusal{"", "Версия и тип прибора не определены\r\nсоединение НЕ установлено."}));

TEST_F(ConnectionTest, ASearchWithoutAnswerEndsTwelveHundredMillisecondsAfterTheLastProbe) {
    port.ports = {"COM1", "COM2"};
    connection.connect();
    clock.advance(2400);
    EXPECT_EQ(probes().size(), 2u);
    EXPECT_TRUE(prompts.shown.empty());
    clock.advance(1200);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Message);
    EXPECT_EQ(prompts.lastUtf8(), "Ошибка связи(нет ответа). Проверьте подключено ли устройство.");
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(exchange.searching());
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle) << "the editing rules hold again";
    EXPECT_TRUE(view.connection.empty());
}

TEST_F(ConnectionTest, APortThatDoesNotOpenIsSkippedSilently) {
    port.ports = {"COM1", "COM2"};
    port.unopenable = {"COM1"};
    port.autoReply[tt] = frame("T7 1.0");
    connection.connect();
    clock.advance(1200);
    EXPECT_TRUE(probes().empty());
    EXPECT_TRUE(prompts.shown.empty());
    clock.advance(1200);
    EXPECT_EQ(exchange.connectedPort(), "COM2");
}

TEST_F(ConnectionTest, WithoutAnyPortTheUserIsToldAndNothingStarts) {
    port.ports = {};
    connection.connect();
    EXPECT_EQ(prompts.lastUtf8(), "В системе не найдены Com-порты. Проверьте подключение");
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    EXPECT_FALSE(exchange.searching());
    port.listFails = true;
    connection.connect();
    EXPECT_EQ(prompts.shown.size(), 2u);
    EXPECT_FALSE(exchange.searching());
}

TEST_F(ConnectionTest, TheSearchRefillsThePortListAndShowsTheProbedPort) {
    port.ports = {"COM1", "ttyUSB0"};
    connection.connect();
    EXPECT_EQ(view.portList, port.ports);
    clock.advance(2400);
    EXPECT_EQ(u8(view.connection), "поиск порта: ttyUSB0");
}

TEST_F(ConnectionTest, AManualChoiceCountsAsConnectedWithoutIdentification) {
    connection.setManualMode(true);
    EXPECT_TRUE(view.manual);
    connection.setComboText("COM4");
    EXPECT_EQ(exchange.connectedPort(), "COM4");
    EXPECT_EQ(port.portName(), "COM4");
    EXPECT_TRUE(port.writes.empty());
    // Switching off keeps the port; a change in automatic mode changes nothing.
    connection.setManualMode(false);
    EXPECT_FALSE(view.manual);
    connection.setComboText("COM7");
    EXPECT_EQ(exchange.connectedPort(), "COM4");
}

TEST_F(ConnectionTest, AManualProbeAsksOnlyTheChosenPort) {
    connection.setManualMode(true);
    connection.setComboText("ttyUSB1");
    port.autoReply[tt] = frame("T7 2.05");
    connection.connect();
    EXPECT_EQ(probes(), (std::vector<std::string>{"ttyUSB1"}));
    EXPECT_EQ(port.purges, 0);
    EXPECT_FALSE(exchange.searching());
    EXPECT_EQ(u8(view.connection), "соединен с ttyUSB1  2.05");
    EXPECT_EQ(connection.version(), "2.05");
    connection.setComboText("ttyUSB2");
    EXPECT_EQ(connection.version(), "") << "another port is connected without identification";
    connection.setComboText("ttyUSB1");
    EXPECT_EQ(connection.version(), "2.05");
}

TEST_F(ConnectionTest, AManualProbeWithoutAnswerEndsAfterTenSecondsWithANotice) {
    connection.setManualMode(true);
    connection.setComboText("COM2");
    connection.connect();
    EXPECT_TRUE(exchange.replyTimerActive());
    clock.advance(10000);
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    clock.advance(1000);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(prompts.shown.empty()) << "no box: the status bar says it";
    EXPECT_EQ(view.notices, std::vector<std::string>{
                                ru("Прибор не ответил за 10 с: соединение не установлено.")});
    EXPECT_EQ(connection.version(), "");
}

TEST_F(ConnectionTest, AManualPortThatDoesNotOpenIsNamed) {
    connection.setManualMode(true);
    port.unopenable = {"/dev/ttyUSB7"};
    connection.setComboText("/dev/ttyUSB7");
    connection.connect();
    EXPECT_EQ(prompts.lastUtf8(), "Не удалось открыть порт: /dev/ttyUSB7");
    EXPECT_NE(exchange.mode(), ExchangeMode::Identify);
}

TEST_F(ConnectionTest, APortChosenByHandDuringTheSearchEndsIt) {
    port.ports = {"COM1", "COM2", "COM3"};
    connection.connect();
    clock.advance(1200);
    connection.setManualMode(true);
    connection.setComboText("COM9");
    clock.advance(1200); // COM2 is probed
    // Manual choice does not stop the search; it ends when the mode changes or
    // the list runs out, and then reports the chosen port.
    exchange.setMode(ExchangeMode::IdleAfterOperation);
    clock.advance(1200);
    EXPECT_EQ(prompts.lastUtf8(), "соединение установлено");
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    EXPECT_FALSE(exchange.searching());
    EXPECT_FALSE(port.isOpen());
    // The status bar names the port chosen by hand, not COM3, the last one probed.
    EXPECT_EQ(u8(view.connection), "соединен с COM9");
    EXPECT_EQ(u8(view.portState), "Закрыт (Com=COM9)");
}

TEST_F(ConnectionTest, AnAutomaticSearchForgetsTheConnectedPortAtItsStart) {
    port.ports = {"COM1", "COM2"};
    port.autoReply[tt] = frame("T7 2.05");
    connection.connect();
    clock.advance(1200);
    ASSERT_EQ(exchange.connectedPort(), "COM1");
    clock.advance(1000);
    port.autoReply.clear();
    connection.connect();
    EXPECT_EQ(exchange.connectedPort(), "") << "empty from the start of the search";
    clock.advance(3 * 1200);
    EXPECT_EQ(exchange.connectedPort(), "") << "no port answered";
    prompts.clear();
    exchange.setMode(ExchangeMode::Idle);
    ASSERT_FALSE(exchange.beginOperation("no connection"));
    EXPECT_EQ(prompts.lastUtf8(), "no connection");
}

TEST_F(ConnectionTest, APortPathIsOpenedAsTheSystemNamesItAndShownReadably) {
    // A stable adapter name with Cyrillic letters, in the platform's encoding (UTF-8).
    const std::string path = "/dev/serial/by-id/usb-Прибор_Т6-if00";
    port.ports = {path};
    port.autoReply[tt] = frame("T7 2.05");
    connection.connect();
    clock.advance(1200);
    ASSERT_EQ(port.opened, std::vector<std::string>{path}) << "opened by its own bytes";
    EXPECT_EQ(exchange.connectedPort(), path);
    EXPECT_EQ(u8(view.connection), "соединен с " + path + "  2.05");
    // A name the status bar's code page cannot hold is shown with "?", and still opened whole.
    const std::string greek = "/dev/ttyΩ0";
    connection.setManualMode(true);
    connection.setComboText(greek);
    port.unopenable = {greek};
    connection.connect();
    EXPECT_EQ(port.portName(), greek);
    EXPECT_EQ(prompts.lastUtf8(), "Не удалось открыть порт: /dev/tty?0");
}

PortError refusedError(AccessCause cause, const char* group, unsigned mode) {
    PortAccess access;
    access.cause = cause;
    access.owner = "root";
    access.group = group;
    access.mode = mode;
    return PortError("Unable to open com port (win error code: 13)", PortFault::NoPermission, 13,
                     group, access);
}

TEST_F(ConnectionTest, ASearchWherePortsDidNotOpenTellsEachPortsReasonInItsBox) {
    port.ports = {"/dev/pts/9", "ttyS0", "ttyUSB0"};
    port.openFaults.emplace("/dev/pts/9", refusedError(AccessCause::NotInGroup, "dialout", 0660));
    PortError rootOnly = refusedError(AccessCause::OwnerOnly, "root", 0600);
    port.openFaults.emplace("ttyS0", rootOnly);
    port.openFaults.emplace("ttyUSB0", PortError("Unable to open com port (win error code: 16)",
                                                 PortFault::Busy, 16, "minicom"));
    port.details = {{"ttyUSB0", "/dev/ttyUSB0", "FTDI", "FT232R USB UART", 0x0403, 0x6001}};
    running = {"ModemManager"};
    connection.connect();
    clock.advance(4 * 1200);
    ASSERT_EQ(prompts.shown.size(), 1u);
    // The search's own words first, then in the same box each port's reason.
    const std::string box =
        "Ошибка связи(нет ответа). Проверьте подключено ли устройство.\r\n"
        "Порт /dev/pts/9: Отказано в доступе\r\n"
        "Порт могут открывать члены группы dialout. Добавьте себя в неё командой\r\n"
        "sudo usermod -aG dialout $USER\r\n"
        "затем выйдите из сеанса и войдите снова.\r\n"
        "Порт ttyS0: Отказано в доступе\r\n"
        "Права порта 0600 (владелец root, группа root) не позволяют открыть его обычному "
        "пользователю: вступление в группу не поможет.\r\n"
        "Порт ttyUSB0: Устройство или ресурс занято\r\n"
        "Порт занят другой программой: minicom\r\n"
        "Закройте эту программу и повторите попытку.\r\n"
        "Служба ModemManager может занимать USB-адаптеры последовательного порта. Чтобы "
        "она не трогала адаптер, добавьте правило udev:\r\n"
        "echo 'ATTRS{idVendor}==\"0403\", ATTRS{idProduct}==\"6001\", "
        "ENV{ID_MM_DEVICE_IGNORE}=\"1\"' | sudo tee -a /etc/udev/rules.d/70-torvel6.rules\r\n"
        "sudo udevadm control --reload-rules && sudo udevadm trigger";
    EXPECT_EQ(cp1251ToUtf8(prompts.shown[0].text), box);
    // No port was opened: nothing was asked, so nothing "did not answer".
    ASSERT_TRUE(connection.outcome().has_value());
    EXPECT_EQ(connection.outcome()->kind, Outcome::Kind::Refused);
    std::vector<std::string> details;
    for (const std::string& d : connection.outcome()->details)
        details.push_back(cp1251ToUtf8(d));
    EXPECT_EQ(details, (std::vector<std::string>{box, "/dev/pts/9: Отказано в доступе",
                                                 "ttyS0: Отказано в доступе",
                                                 "ttyUSB0: Устройство или ресурс занято"}));

    // One port opened and kept silent: that is no answer, the others' reasons still told.
    port.openFaults.erase("ttyUSB0");
    running.clear();
    prompts.clear();
    connection.connect();
    clock.advance(4 * 1200);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(connection.outcome()->kind, Outcome::Kind::NoAnswer);
    EXPECT_NE(prompts.lastUtf8().find("Порт ttyS0: Отказано в доступе"), std::string::npos);
    EXPECT_EQ(prompts.lastUtf8().find("ttyUSB0"), std::string::npos);

    // The next search starts with no faults of its own: nothing more to say.
    port.openFaults.clear();
    prompts.clear();
    connection.connect();
    clock.advance(4 * 1200);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.lastUtf8(), "Ошибка связи(нет ответа). Проверьте подключено ли устройство.");
}

TEST_F(ConnectionTest, AManualPortThatDoesNotOpenIsExplainedInTheSameBox) {
    connection.setManualMode(true);
    connection.setComboText("/dev/ttyUSB3");
    port.openFaults.emplace("/dev/ttyUSB3", refusedError(AccessCause::NotInGroup, "uucp", 0660));
    connection.connect();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.lastUtf8(), "Не удалось открыть порт: /dev/ttyUSB3\r\n"
                                  "Порт /dev/ttyUSB3: Отказано в доступе\r\n"
                                  "Порт могут открывать члены группы uucp. Добавьте себя в неё "
                                  "командой\r\n"
                                  "sudo usermod -aG uucp $USER\r\n"
                                  "затем выйдите из сеанса и войдите снова.");
    EXPECT_EQ(connection.outcome()->kind, Outcome::Kind::Refused);
    // An operation on the connected port explains the same after its own message.
    prompts.clear();
    ASSERT_FALSE(exchange.beginOperation("no connection"));
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.lastUtf8(), "no connection\r\n"
                                  "Порт /dev/ttyUSB3: Отказано в доступе\r\n"
                                  "Порт могут открывать члены группы uucp. Добавьте себя в неё "
                                  "командой\r\n"
                                  "sudo usermod -aG uucp $USER\r\n"
                                  "затем выйдите из сеанса и войдите снова.");

    // A port that is not there: said so, with the ports there are.
    port.openFaults.clear();
    port.openFaults.emplace("/dev/ttyUSB3", PortError("Unable to open com port (win error code: 2)",
                                                      PortFault::NotFound, 2));
    port.ports = {"ttyS0", "ttyUSB0"};
    prompts.clear();
    connection.connect();
    EXPECT_EQ(prompts.textsUtf8(),
              std::vector<std::string>{"Не удалось открыть порт: /dev/ttyUSB3\r\n"
                                       "Порт /dev/ttyUSB3: Нет такого файла или устройства\r\n"
                                       "Такого порта нет. Порты в системе: ttyS0, ttyUSB0"});
    EXPECT_EQ(connection.outcome()->kind, Outcome::Kind::Refused);
    // A failure the adapter knows nothing about is its message alone.
    port.openFaults.clear();
    port.unopenable = {"/dev/ttyUSB3"};
    prompts.clear();
    connection.connect();
    EXPECT_EQ(prompts.textsUtf8(),
              std::vector<std::string>{"Не удалось открыть порт: /dev/ttyUSB3"});
}

TEST_F(ConnectionTest, BrlttyIsNamedWhenNoPortIsLeft) {
    port.ports = {};
    connection.connect();
    EXPECT_EQ(prompts.textsUtf8(),
              std::vector<std::string>{"В системе не найдены Com-порты. Проверьте подключение"})
        << "no advice while brltty does not run";
    running = {"brltty"};
    prompts.clear();
    connection.connect();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(cp1251ToUtf8(prompts.shown[0].text),
              "В системе не найдены Com-порты. Проверьте подключение\r\n"
              "Служба brltty (для дисплеев Брайля) может забирать USB-адаптеры CH340, и их порт "
              "пропадает. Если дисплей Брайля к этому адаптеру не подключают, исключите адаптер "
              "из её правил:\r\n"
              "sed '/1a86\\/7523\\//s/^/#/' /usr/lib/udev/rules.d/85-brltty.rules | sudo tee "
              "/etc/udev/rules.d/85-brltty.rules\r\n"
              "sudo udevadm control --reload-rules && sudo udevadm trigger");
}

TEST_F(ConnectionTest, OpeningTheListAgainFindsANewAdapterWithoutAMessage) {
    port.ports = {"ttyS0"};
    ASSERT_TRUE(connection.fillPortList());
    port.ports = {"ttyS0", "/dev/serial/by-id/usb-FTDI_FT232R-if00-port0"};
    connection.refreshPortList();
    EXPECT_EQ(view.portList, port.ports);
    port.ports = {};
    connection.refreshPortList();
    EXPECT_TRUE(view.portList.empty());
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(ConnectionTest, AReplyCutShortIsNotGluedToTheNextConnectionsReply) {
    connection.setManualMode(true);
    connection.setComboText("COM1");
    connection.connect();
    port.inject(bytesOf({0xFE, 0xFF}) + "T7 2.0"); // the rest never comes
    clock.advance(10000 + 1000);
    EXPECT_FALSE(port.isOpen());
    port.autoReply[tt] = frame("T7 2.05");
    connection.connect();
    EXPECT_EQ(u8(view.connection), "соединен с COM1  2.05");
    // The same within a search: a port's cut reply stays with that port.
    connection.setManualMode(false);
    port.ports = {"COM1", "COM2"};
    port.autoReply.clear();
    prompts.clear();
    connection.connect();
    clock.advance(1200);
    port.inject(bytesOf({0xFE, 0xFF}) + "T7 1.");
    port.autoReply[tt] = frame("T7 2.05");
    clock.advance(1200);
    EXPECT_EQ(exchange.connectedPort(), "COM2");
    EXPECT_EQ(u8(view.connection), "соединен с COM2  2.05");
}

} // namespace
} // namespace t6::test
