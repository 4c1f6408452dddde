// Reading the configuration from the simulated device: the four exchanges,
// the backup first, the window filled, the logs, and every way a read can
// fail to complete, after which the window is what it was before the read.

#include "DeviceFixture.h"
#include "exchange/SignalLevel.h"

namespace t6::test {
namespace {

class ReadChainTest : public DeviceTest {
protected:
    // The window as the user left it before the read: zone 3 in use.
    void userWindow() {
        tick("CheckBox_in3");
        type("Edit3", "Гараж");
        model.setTelephone(5, "+74950001122");
    }
    void expectUserWindow() {
        EXPECT_TRUE(flag("CheckBox_in3"));
        EXPECT_EQ(text("Edit3"), "Гараж");
        EXPECT_EQ(text("ME_tel5"), "+74950001122");
        EXPECT_FALSE(flag("CheckBox_in1")) << "nothing of the device is left";
    }
};

TEST_F(ReadChainTest, FillsTheWindowFromTheFourBlocks) {
    userWindow();
    read.readConfiguration();
    EXPECT_FALSE(read.outcome()) << "no outcome while the read runs";
    EXPECT_TRUE(std::filesystem::exists(dir / "save.000")) << "the backup comes first";
    EXPECT_FALSE(flag("CheckBox4")) << "the date and time stop following the computer";
    EXPECT_EQ(exchange.mode(), ExchangeMode::ReadOutputs);
    EXPECT_FALSE(exchange.replyTimerActive()) << "no time limit for the outputs";
    EXPECT_TRUE(view.last().cancellable);
    run(500);

    EXPECT_EQ(requests(), (std::vector<std::string>{"Ro", "Pt", "Pn", "Ltd"}));
    ASSERT_EQ(prompts.textsUtf8(), std::vector<std::string>{"Процесс чтения завершился. Все OK."});
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Confirm);
    EXPECT_FALSE(read.running());
    EXPECT_FALSE(read.incomplete());
    EXPECT_TRUE(view.last().text.empty()) << "the port state is shown again";
    ASSERT_TRUE(read.outcome());
    EXPECT_TRUE(read.outcome()->completed());

    // The device's configuration, nothing of the window's.
    EXPECT_FALSE(flag("CheckBox_in3"));
    EXPECT_TRUE(flag("CheckBox_in1"));
    EXPECT_EQ(text("Edit1"), "Входная дверь");
    EXPECT_EQ(choice("CBox_IN1"), 1) << "normally closed";
    EXPECT_EQ(text("ME_tel1"), "+79161234567");
    EXPECT_EQ(text("ME_tel5"), "+7");
    EXPECT_EQ(text("Edit_Date"), "09.12.25");
    EXPECT_EQ(text("Edit_time"), "10:20:30");
    EXPECT_EQ(number("SE_inp"), 30);
    EXPECT_TRUE(flag("cb_bout3"));
    EXPECT_EQ(text("b_out3_name"), "Ворота");
    EXPECT_EQ(text("b_out3_kod"), "12ab0f");
    EXPECT_EQ(model.choiceList().size(), 4 + 1 + 4 + 1)
        << "OUT1..Relay2, Свет, 4 channels, Обогрев";
    EXPECT_EQ(shownChoice("RG_OUT42_2"), "Ворота канал2");
    EXPECT_EQ(text("RP_Name_1"), "Папа");
    EXPECT_EQ(text("RP_KOd_1"), "0a1b2c");
    EXPECT_EQ(text("RP_Name_3"), "Брелок Оли") << "ten bytes without 00 are taken whole";
    EXPECT_EQ(text("BTD_name1"), "Гостиная");
    EXPECT_EQ(text("BTD_kod1"), "334455");
    ASSERT_NE(model.registry().find("btd1"), nullptr);

    // Yes: the port closes one second later.
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    run(1000);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);

    const std::string protocol = fileText("protokol.log");
    for (const char* head : {"<<< чтение беспроводных выходов: ", "<<< чтение основных данных: "})
        EXPECT_NE(protocol.find(head), std::string::npos) << head;
    EXPECT_TRUE(hasLine(protocol, "<<< чтение DATE & TIme"));
    EXPECT_NE(protocol.find("\r\n\r\n<<< чтение входа1\r\n"), std::string::npos);
    const std::string hex = fileText("protokol_FF.log");
    EXPECT_TRUE(hasLine(hex, "<< чтение беспроводных выходов"));
    EXPECT_TRUE(hasLine(hex, "<< чтение ,беспр.входа1"));
}

TEST_F(ReadChainTest, TheBackupHoldsTheWindowAsItWasBeforeTheRead) {
    userWindow();
    const Bytes before = savedWithoutTrailer();
    read.readConfiguration();
    run(5000);
    std::ifstream f(dir / "save.000", std::ios::binary);
    const Bytes backup(std::istreambuf_iterator<char>(f), {});
    EXPECT_EQ(backup.substr(0, before.size()), before);
}

TEST_F(ReadChainTest, ASilentDeviceIsShownAndTheReadCanBeCancelled) {
    userWindow();
    port.device().options().silent = {"Ro"};
    read.readConfiguration();
    run(9999);
    EXPECT_FALSE(view.last().alert);
    EXPECT_TRUE(prompts.shown.empty()) << "the wait has no time limit of its own";
    run(1);
    ASSERT_TRUE(view.last().alert) << "after 10 s the user is told the device is silent";
    EXPECT_NE(cp1251ToUtf8(view.last().text).find("прибор не отвечает 10 с"), std::string::npos);
    EXPECT_TRUE(view.last().cancellable);
    EXPECT_TRUE(exchange.canCancel());
    run(60000);
    EXPECT_EQ(exchange.mode(), ExchangeMode::ReadOutputs) << "still waiting";

    exchange.cancelActivity();
    EXPECT_FALSE(read.running());
    ASSERT_TRUE(read.outcome());
    EXPECT_EQ(read.outcome()->kind, Outcome::Kind::Cancelled);
    ASSERT_EQ(prompts.textsUtf8().size(), 1u);
    EXPECT_EQ(prompts.textsUtf8()[0],
              "Чтение настроек отменено.\r\nОкно восстановлено из резервной копии, сделанной "
              "перед чтением (save.000).");
    expectUserWindow();
    EXPECT_FALSE(read.incomplete());
    EXPECT_TRUE(view.last().text.empty());
    run(1000);
    EXPECT_FALSE(port.isOpen()) << "the port closes a second after the cancel";
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
}

TEST_F(ReadChainTest, NoBlockWithinTenSecondsPutsTheWindowBack) {
    userWindow();
    port.device().options().silent = {"Pt"};
    read.readConfiguration();
    run(1000);
    EXPECT_TRUE(exchange.replyTimerActive()) << "\"Pt\" has a time limit";
    run(9500);
    const auto texts = prompts.textsUtf8();
    ASSERT_EQ(texts.size(), 1u) << "one box tells the time-out and what became of the window";
    EXPECT_EQ(texts[0], "Превышен период ожидания ответа устройства.\r\nЧтение настроек не "
                        "завершено: прибор не прислал основной блок. Окно восстановлено из "
                        "резервной копии, сделанной перед чтением (save.000).");
    expectUserWindow();
    EXPECT_FALSE(flag("cb_bout1")) << "the wireless outputs read first are gone too";
    ASSERT_TRUE(read.outcome());
    EXPECT_EQ(read.outcome()->kind, Outcome::Kind::NoAnswer);
    run(1000);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(ReadChainTest, ABlockCutInsideARecordStopsAtOnce) {
    userWindow();
    // The demo block cut in the middle of its telephones record.
    const std::string block = t6sim::SimMemory::demo().configBlock;
    const auto tel = block.find('\x11');
    ASSERT_NE(tel, std::string::npos);
    port.device().options().replies["Pt"] = block.substr(0, tel + 8);
    read.readConfiguration();
    run(300); // far less than the reply timer
    const auto texts = prompts.textsUtf8();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].substr(0, texts[0].find("\r\n")),
              "Ответ прибора неполный: блок настроек оборвался внутри записи.");
    EXPECT_EQ(requests(), (std::vector<std::string>{"Ro", "Pt"})) << "no \"Pn\" follows";
    expectUserWindow();
    ASSERT_TRUE(read.outcome());
    EXPECT_EQ(read.outcome()->kind, Outcome::Kind::Incomplete);
    EXPECT_NE(fileText("protokol.log").find("<<< чтение входа1"), std::string::npos)
        << "the zones before the cut were read and logged";
    run(1000);
    EXPECT_FALSE(port.isOpen());
    run(20000);
    EXPECT_EQ(prompts.shown.size(), 1u) << "no time-out box follows";
}

TEST_F(ReadChainTest, AShortFixedBlockEndsTheReadAtOnceALongerOneIsTakenAndLogged) {
    const t6sim::SimMemory demo = t6sim::SimMemory::demo();
    struct Case {
        const char* request;
        std::string block;
        const char* name;
    };
    const Case cases[] = {{"Ro", demo.wirelessOutputs, "блок беспроводных выходов"},
                          {"Pn", demo.remoteControls, "блок радиопультов"},
                          {"Ltd", demo.thermoNames, "блок беспроводных термодатчиков"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request);
        // One byte short: nothing of the block is taken, the window comes back.
        prompts.clear();
        model.resetConfig();
        userWindow();
        port.device().options().replies[c.request] = c.block.substr(0, c.block.size() - 1);
        read.readConfiguration();
        run(300);
        ASSERT_EQ(prompts.textsUtf8().size(), 1u);
        EXPECT_EQ(prompts.textsUtf8()[0].find(
                      std::string("Ответ прибора неполный: ") + c.name + ", байт в ответе: " +
                      std::to_string(c.block.size() - 1) + " из " + std::to_string(c.block.size()) +
                      ".\r\nОкно "
                      "восстановлено"),
                  0u)
            << prompts.textsUtf8()[0];
        ASSERT_TRUE(read.outcome());
        EXPECT_EQ(read.outcome()->kind, Outcome::Kind::Incomplete);
        EXPECT_EQ(cp1251ToUtf8(read.outcome()->details.at(0)), c.name);
        expectUserWindow();
        EXPECT_EQ(requests().back(), c.request) << "nothing is asked after the short block";

        // Two bytes more: the block is taken and the rest logged.
        prompts.clear();
        port.device().options().replies[c.request] = c.block + "\x01\x02";
        read.readConfiguration();
        run(3000);
        EXPECT_EQ(prompts.textsUtf8(),
                  std::vector<std::string>{"Процесс чтения завершился. Все OK."});
        ASSERT_TRUE(read.outcome());
        EXPECT_TRUE(read.outcome()->completed());
        EXPECT_EQ(text("RP_Name_1"), "Папа");
        EXPECT_EQ(text("b_out3_kod"), "12ab0f");
        bool logged = false;
        for (const auto& line : logs.memoLines())
            logged =
                logged || cp1251ToUtf8(line).find(std::string("Ответ длиннее, чем ") + c.name) == 0;
        EXPECT_TRUE(logged);
        port.device().options().replies.erase(c.request);
    }
}

TEST_F(ReadChainTest, ABlockEndedBetweenRecordsIsIncomplete) {
    // A stray end of packet after the telephones: the records that follow
    // never arrive as part of the block.
    const std::string block = t6sim::SimMemory::demo().configBlock;
    const auto dateAt = block.find('\x1C', block.find('\x11'));
    ASSERT_NE(dateAt, std::string::npos);
    for (const std::string& reply :
         {block.substr(0, dateAt), block.substr(0, block.find('\x11'))}) {
        prompts.clear();
        userWindow();
        port.device().options().replies["Pt"] = reply;
        read.readConfiguration();
        run(300);
        ASSERT_EQ(prompts.textsUtf8().size(), 1u);
        const std::string box = prompts.textsUtf8()[0];
        EXPECT_EQ(box.find("Ответ прибора неполный: в блоке настроек нет записей: "), 0u) << box;
        EXPECT_NE(box.find("дата и время, общие параметры, задержки, термодатчики, беспроводные "
                           "термодатчики."),
                  std::string::npos)
            << box;
        ASSERT_TRUE(read.outcome());
        EXPECT_EQ(read.outcome()->kind, Outcome::Kind::Incomplete);
        EXPECT_EQ(read.outcome()->details.size(),
                  reply.find('\x11') == std::string::npos ? 6u : 5u);
        expectUserWindow();
        EXPECT_EQ(requests().back(), "Pt") << "no \"Pn\" follows";
        run(20000);
        EXPECT_EQ(prompts.shown.size(), 1u) << "no time-out box follows";
    }
}

TEST_F(ReadChainTest, ALateReplyOfAnotherExchangeIsLeftOutAndTheWaitGoesOn) {
    userWindow();
    // The main block again where the remote controls are awaited.
    port.device().options().replies["Pn"] = t6sim::SimMemory::demo().configBlock;
    read.readConfiguration();
    run(5000);
    EXPECT_EQ(requests(), (std::vector<std::string>{"Ro", "Pt", "Pn"})) << "no \"Ltd\" follows";
    EXPECT_TRUE(prompts.shown.empty()) << "no \"Все OK.\" for remote controls never read";
    EXPECT_EQ(exchange.mode(), ExchangeMode::ReadRemotes);
    EXPECT_EQ(cp1251ToUtf8(logs.memoLines().back()).find("Ответ не принят как блок радиопультов: "),
              0u);
    run(6000);
    ASSERT_TRUE(view.last().alert);
    EXPECT_NE(cp1251ToUtf8(view.last().text).find("ответ прибора не подходит"), std::string::npos);
    read.giveUp();
    EXPECT_EQ(prompts.textsUtf8().size(), 1u);
    ASSERT_TRUE(read.outcome());
    EXPECT_EQ(read.outcome()->kind, Outcome::Kind::WrongAnswer);
    expectUserWindow();
}

TEST_F(ReadChainTest, ABlockThatDoesNotOpenWith9999IsNoBlock) {
    userWindow();
    port.device().options().replies["Pt"] = "Err";
    read.readConfiguration();
    run(10500);
    EXPECT_EQ(requests(), (std::vector<std::string>{"Ro", "Pt"}));
    ASSERT_EQ(prompts.textsUtf8().size(), 1u);
    EXPECT_EQ(prompts.textsUtf8()[0].find("Превышен период ожидания ответа устройства.\r\n"), 0u);
    expectUserWindow();
}

TEST_F(ReadChainTest, ARepeatedReplyIsNotTakenForTheNextBlock) {
    for (const char* stage : {"Ro", "Pt", "Pn"}) {
        SCOPED_TRACE(stage);
        prompts.shown.clear();
        port.device().options().repliedTwice = {stage};
        read.readConfiguration();
        run(3000);
        EXPECT_EQ(prompts.textsUtf8(),
                  std::vector<std::string>{"Процесс чтения завершился. Все OK."});
        EXPECT_TRUE(flag("CheckBox_in1"));
        EXPECT_EQ(text("RP_Name_1"), "Папа");
        EXPECT_EQ(text("b_out3_kod"), "12ab0f");
    }
}

TEST_F(ReadChainTest, APortThatGoesAwayEndsTheReadAtOnceInOneBox) {
    userWindow();
    port.device().options().silent = {"Pn"};
    read.readConfiguration();
    run(2000);
    ASSERT_EQ(exchange.mode(), ExchangeMode::ReadRemotes);
    port.unplug();
    EXPECT_FALSE(read.running());
    ASSERT_TRUE(read.outcome());
    EXPECT_EQ(read.outcome()->kind, Outcome::Kind::PortLost);
    EXPECT_FALSE(exchange.canCancel());
    EXPECT_EQ(exchange.mode(), ExchangeMode::Idle);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Error);
    EXPECT_NE(prompts.textsUtf8()[0].find("\r\nЧтение настроек прервано: порт закрылся. Окно "
                                          "восстановлено из резервной копии"),
              std::string::npos)
        << prompts.textsUtf8()[0];
    expectUserWindow();
    EXPECT_TRUE(view.notices.empty());
    run(20000);
    EXPECT_EQ(prompts.shown.size(), 1u) << "nothing more is told later";
}

TEST_F(ReadChainTest, APortThatGoesAwayWhileTheResultBoxIsUpIsLeftAlone) {
    prompts.whileShown = [this](const ScriptedPrompts::Shown& shown) {
        if (shown.kind == ScriptedPrompts::Kind::Confirm)
            port.unplug();
    };
    read.readConfiguration();
    run(3000);
    prompts.whileShown = nullptr;
    const auto texts = prompts.textsUtf8();
    ASSERT_EQ(texts.size(), 2u) << "the result, and the port gone: no purge error after Yes";
    EXPECT_EQ(texts[0], "Процесс чтения завершился. Все OK.");
    EXPECT_EQ(texts[1].find("Порт больше не доступен:"), 0u);
    EXPECT_TRUE(flag("CheckBox_in1")) << "the read itself was whole";
    run(2000);
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(exchange.closeTimerActive());
}

TEST_F(ReadChainTest, AnotherOperationCutsTheReadShortAndTheWindowComesBack) {
    userWindow();
    SignalLevel signal(exchange);
    port.device().options().silent = {"Pn"};
    read.readConfiguration();
    run(2000);
    ASSERT_EQ(exchange.mode(), ExchangeMode::ReadRemotes);
    ASSERT_TRUE(flag("CheckBox_in1")) << "the block has been read";
    signal.refresh();
    EXPECT_FALSE(read.running());
    ASSERT_TRUE(read.outcome());
    EXPECT_EQ(read.outcome()->kind, Outcome::Kind::Cancelled);
    expectUserWindow();
    ASSERT_EQ(view.notices.size(), 1u);
    EXPECT_EQ(cp1251ToUtf8(view.notices[0]).find("Чтение настроек прервано другой операцией."), 0u);
    EXPECT_EQ(exchange.mode(), ExchangeMode::SignalLevel);
}

TEST_F(ReadChainTest, WithoutItsBackupTheReadDoesNotStart) {
    userWindow();
    std::filesystem::create_directories(dir / "save.000" / "in-the-way");
    read.readConfiguration();
    run(5000);
    EXPECT_TRUE(requests().empty());
    expectUserWindow();
    ASSERT_TRUE(read.outcome());
    EXPECT_EQ(read.outcome()->kind, Outcome::Kind::FileFailed);
    ASSERT_GE(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[0].kind, ScriptedPrompts::Kind::Error);
    EXPECT_EQ(prompts.lastUtf8(),
              "Чтение настроек не начато: без резервной копии окно не изменяется.");
    run(1000);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(ReadChainTest, AnUnreadableBackupLeavesTheReadMarkedIncomplete) {
    port.device().options().silent = {"Pn"};
    read.readConfiguration();
    run(2000);
    std::filesystem::remove(dir / "save.000");
    read.cancel();
    EXPECT_TRUE(read.incomplete());
    EXPECT_NE(prompts.lastUtf8().find("считанную не полностью"), std::string::npos);
    // The write asks first; No sends nothing.
    prompts.clear();
    prompts.answers = {false};
    const auto before = port.device().requestCount();
    write.setIncompleteRead([this] { return read.incomplete(); });
    write.writeConfiguration();
    ASSERT_FALSE(prompts.shown.empty());
    EXPECT_EQ(prompts.shown.at(0).kind, ScriptedPrompts::Kind::Question) << prompts.lastUtf8();
    EXPECT_EQ(port.device().requestCount(), before);
}

TEST_F(ReadChainTest, WithoutAConnectionNothingHappens) {
    exchange.setConnectedPort("");
    userWindow();
    read.readConfiguration();
    EXPECT_EQ(prompts.lastUtf8(), "Нет соединения с устройством. Проверьте подключение");
    ASSERT_TRUE(read.outcome());
    EXPECT_EQ(read.outcome()->kind, Outcome::Kind::Refused);
    EXPECT_FALSE(std::filesystem::exists(dir / "save.000"));
    expectUserWindow();
    exchange.setConnectedPort("COM7"); // no such port
    read.readConfiguration();
    EXPECT_EQ(prompts.shown.size(), 2u);
    EXPECT_FALSE(std::filesystem::exists(dir / "save.000"));
}

} // namespace
} // namespace t6::test
