// Writing the configuration to the simulated device: the checks before
// anything is sent, the block in its pieces, the three stages with their
// readiness and result, every wrong or missing answer, and the device
// returning at the next read what was written.

#include "DeviceFixture.h"
#include "config/ConfigBlock.h"
#include "config/FixedBlocks.h"

namespace t6::test {
namespace {

class WriteChainTest : public DeviceTest {
protected:
    // A small configuration whose block is easy to spell out.
    void smallConfiguration() {
        model.resetConfig();
        model.setDeviceDate("05.03.24");
        model.setDeviceTime("9:05:07");
        model.setTelephone(1, "+79161234567");
        model.setArmingMethod(2);
        model.setArmedIndicator(0);
        tick("CheckBox_in1");
        type("Edit1", "Дверь");
    }
    std::vector<Bytes> writesToDevice() const {
        std::vector<Bytes> out;
        for (const auto& w : port.writes)
            out.push_back(w.bytes);
        return out;
    }
};

TEST_F(WriteChainTest, TheBlockGoesInItsPiecesThenTheThreeStages) {
    smallConfiguration();
    write.writeConfiguration();
    ASSERT_EQ(exchange.mode(), ExchangeMode::WriteBlock);
    EXPECT_TRUE(exchange.replyTimerActive());
    EXPECT_TRUE(write.running());

    // FE FF 99 99, one write per record, FF FE.
    const std::vector<Bytes> w = writesToDevice();
    ASSERT_EQ(w.size(), 1u + 1 + 4 + 2 + 6 + 1) << "zone 1, 4 general records, 2 + 6 sensor pieces";
    EXPECT_EQ(w[0], bytesOf({0xFE, 0xFF, 0x99, 0x99}));
    EXPECT_EQ(w[1],
              bytesOf({0x01}) + ru("Дверь") +
                  bytesOf({0x0D, 0x31, 0x31, 0x30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x01}));
    EXPECT_EQ(w[2], "\x11"
                    "79161234567/7/7/7/7/\r");
    EXPECT_EQ(w[3], "\x1C"
                    "05.03.24;09:05:07\r");
    EXPECT_EQ(w[4].substr(0, 2), "!3");
    EXPECT_EQ(w[5].substr(0, 1), "$");
    EXPECT_EQ(w[6], bytesOf({0x23, 0x30, 0x31, 0x31, 0x30, 0x31, 0x31, 0x30, 0x30, 0x30}));
    EXPECT_EQ(w[7], bytesOf({0x30, 0x31, 0x31, 0x30, 0x31, 0x31, 0x30, 0x30, 0x30, 0x0D}));
    EXPECT_EQ(w[8].substr(0, 1), "&");
    EXPECT_EQ(w[13].back(), '\r');
    EXPECT_EQ(w[14], bytesOf({0xFF, 0xFE}));

    run(500);
    EXPECT_EQ(requests(), (std::vector<std::string>{"block", "Wp", "Wp-data", "Wtd", "Wtd-data",
                                                    "Wo", "Wo-data"}));
    EXPECT_EQ(prompts.textsUtf8(), std::vector<std::string>{"Процесс записи завершился. Все OK."});
    EXPECT_FALSE(write.running());
    ASSERT_TRUE(write.outcome());
    EXPECT_TRUE(write.outcome()->completed());
    EXPECT_TRUE(view.last().text.empty());
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    run(1000);
    EXPECT_FALSE(port.isOpen());

    // The device holds exactly what the encoders give.
    const auto& memory = port.device().memory();
    EXPECT_EQ(memory.configBlock, encodeConfigBlock(model));
    EXPECT_EQ(memory.remoteControls, encodeRemoteControlsBlock(model).bytes);
    EXPECT_EQ(memory.thermoNames, encodeThermoNamesBlock(model).bytes);
    EXPECT_EQ(memory.wirelessOutputs, encodeWirelessOutputsBlock(model).bytes);
    // And the write knows what it sent.
    EXPECT_EQ(write.sent(), (DeviceBlocks{memory.wirelessOutputs, memory.configBlock,
                                          memory.remoteControls, memory.thermoNames}));

    const std::string protocol = fileText("protokol.log");
    EXPECT_NE(protocol.find(">>> запись данных итого: " + cp1251ToUtf8(w[1])), std::string::npos)
        << "the totals start with the first record, not with FE FF 99 99";
    for (const char* line :
         {"<<< ответ о записи: COK", "<<< готовность к записи радиопультов: OK",
          "<<< готовность к записи БТД: OK", "<<< готовность к записи беспроводных выходов: OK",
          "<<< результат записи бвыходов: Ok"})
        EXPECT_TRUE(hasLine(protocol, line)) << line;
    for (const char* head :
         {">>> запись радиопультов: ", ">>> запись бтд: ", ">>> запись беспроводных выходов: "})
        EXPECT_NE(protocol.find("\r\n" + std::string(head)), std::string::npos) << head;
    const std::string hex = fileText("protokol_FF.log");
    for (const char* head :
         {">>> запись данных вход1:", ">>> запись данных ТЕЛ:", ">>> запись данных время:",
          ">>> запись данных SMS:", ">>> запись данных задержка:", ">>> запись данных ТД1:",
          ">>> запись данных ТД2:", ">>> запись данных БТД1:", ">>> запись данных ТД4:",
          ">>> запись данных БТД6:"})
        EXPECT_TRUE(hasLine(hex, head)) << head;
    EXPECT_TRUE(hasLine(hex, "1c30352e30332e32343b30393a30353a30370d"));
}

TEST_F(WriteChainTest, WhatIsWrittenComesBackAtTheNextRead) {
    // The demo device's configuration, changed in the window and written back.
    read.readConfiguration();
    run(3000);
    tick("CheckBox_in3");
    type("Edit3", "Подвал");
    model.setTelephone(4, "+78005553535");
    model.setRemoteName(5, ru("Гость"));
    model.setRemoteCode(5, "a1b2c3");
    const Bytes written = savedWithoutTrailer();
    write.writeConfiguration();
    run(3000);
    ASSERT_EQ(prompts.lastUtf8(), "Процесс записи завершился. Все OK.");

    // Anything else in the window, then a read from the device.
    model.resetConfig();
    read.readConfiguration();
    run(3000);
    EXPECT_EQ(prompts.lastUtf8(), "Процесс чтения завершился. Все OK.");
    EXPECT_EQ(savedWithoutTrailer(), written);
}

TEST_F(WriteChainTest, TheChecksComeFirstAndSendNothing) {
    auto refused = [this](const std::string& expected) {
        prompts.clear();
        port.writes.clear();
        write.writeConfiguration();
        EXPECT_TRUE(port.writes.empty()) << expected;
        EXPECT_EQ(prompts.lastUtf8(), expected);
        ASSERT_TRUE(write.outcome());
        EXPECT_EQ(write.outcome()->kind, Outcome::Kind::Refused);
        EXPECT_EQ(cp1251ToUtf8(write.outcome()->details.at(0)), expected);
    };
    tick("CheckBox_in2");
    tick("CheckBox_in4");
    refused("Не введен текст сообщений на зонах:2,4,. Нажмите OK.");
    tick("CheckBox_in2", false);
    refused("Не введен текст сообщений на зоне:4,. Нажмите OK.");
    type("Edit4", "Склад");
    tick("CheckBox_in1", false); // an inactive zone without a message does not matter
    tick("CheckBox_bp6");
    refused("Не введен текст сообщений на бп.зоне:6,. Нажмите OK.");
    type("Edit_bp6", "Сарай");
    tick("CheckBox_btd2");
    tick("CheckBox_btd5");
    refused("Не заполнено поле \"КОД\" в бп.термодатчиках:2,5,. Нажмите OK.");
    model.setSensorCode(2, "0a0b0c");
    model.setSensorCode(5, "0d0e");
    model.setDeviceTime("   ");
    refused("Пустое поле времени");
    model.setDeviceTime("10:00:00");
    model.setDeviceDate("");
    refused("Пустое поле времени");
    model.setDeviceDate("5.3.24");
    refused("Дата и время должны иметь вид дд.мм.гг и чч:мм:сс.");
    model.setDeviceDate("05.03.24");
    model.setRemoteCode(3, "abc");
    model.setSensorCode(4, "zz");
    refused("Код не может быть записан в прибор: нужно 2, 4 или 6 шестнадцатеричных цифр.\r\n"
            "радиопульт 3, беспроводной термодатчик 4");
    model.setRemoteCode(3, "abcd");
    model.setSensorCode(4, "");
    exchange.setConnectedPort("");
    refused("Нет соединения с устройством. Проверьте подключение");
    exchange.setConnectedPort("COM9");
    refused("Ошибка соединения с устройством. Проверьте подключение");
    exchange.setConnectedPort("COM1");
    prompts.clear();
    write.writeConfiguration();
    run(3000);
    EXPECT_EQ(prompts.lastUtf8(), "Процесс записи завершился. Все OK.");
}

TEST_F(WriteChainTest, BytesThatWouldEndThePacketAreRefusedBeforeAnythingIsSent) {
    struct Case {
        std::function<void()> set;
        std::vector<std::string> fields;
    };
    const Case cases[] = {
        // Thresholds -1 and -2 of an active sensor: bytes FF FE side by side.
        {[this] {
             tick("CheckBox_td2");
             model.setLowAlarm(wiredSensor(2), -1);
             model.setHighAlarm(wiredSensor(2), -2);
         },
         {"Термодатчик 2, Min", "Термодатчик 2, Max"}},
        {[this] {
             tick("CheckBox_btd3");
             model.setSensorCode(3, "aabbcc");
             tick("CheckBox_btd31");
             model.setEconomyTemp(wirelessSensor(3), -1);
             model.setComfortTemp(wirelessSensor(3), -2);
         },
         {"Беспроводной термодатчик 3, Эконом", "Беспроводной термодатчик 3, Комфорт"}},
        // "яю" in a message is FF FE in Windows-1251.
        {[this] {
             tick("CheckBox_bp2");
             type("Edit_bp2", "Зона маяю");
         },
         {"Беспроводная Зона2, Сообщение"}},
        // A code ending in ff before a name beginning with "ю".
        {[this] {
             model.setRemoteCode(4, "0011ff");
             model.setRemoteName(5, ru("юг"));
         },
         {"Радиопульты, Пульт 4, Код", "Радиопульты, Пульт 5, Название"}},
        {[this] { model.setSensorCode(6, "fffe00"); }, {"Беспроводной термодатчик 6, Код"}},
    };
    for (const Case& c : cases) {
        model.resetConfig();
        model.setDeviceDate("05.03.24");
        model.setDeviceTime("10:00:00");
        for (int k = 1; k <= 10; ++k)
            model.setRemoteCode(k, "");
        for (int k = 1; k <= 6; ++k) {
            model.setSensorActive(wirelessSensor(k), false);
            model.setSensorCode(k, "");
        }
        c.set();
        prompts.clear();
        port.writes.clear();
        write.writeConfiguration();
        EXPECT_TRUE(port.writes.empty());
        std::string expected =
            "Запись невозможна: байты FF FE в этих полях прибор примет за конец пакета. "
            "Измените значения:";
        for (const std::string& f : c.fields)
            expected += "\r\n" + f;
        EXPECT_EQ(prompts.lastUtf8(), expected);
        ASSERT_TRUE(write.outcome());
        EXPECT_EQ(write.outcome()->kind, Outcome::Kind::Refused);
    }
}

TEST_F(WriteChainTest, AnAcknowledgementWithABlankIsNotCok) {
    port.device().options().replies["block"] = "COK ";
    write.writeConfiguration();
    run(1000);
    EXPECT_EQ(prompts.textsUtf8(),
              std::vector<std::string>{"Ответ об успешной записи не корректен."});
    EXPECT_EQ(requests(), std::vector<std::string>{"block"});
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_FALSE(write.running());
    ASSERT_TRUE(write.outcome());
    EXPECT_EQ(write.outcome()->kind, Outcome::Kind::WrongAnswer);
    run(1000);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(WriteChainTest, ResultsAreTrimmedReadinessIsNot) {
    port.device().options().replies["Wp-data"] = "Ok ";
    port.device().options().replies["Wo"] = "Ok";
    write.writeConfiguration();
    run(1000);
    EXPECT_EQ(requests(),
              (std::vector<std::string>{"block", "Wp", "Wp-data", "Wtd", "Wtd-data", "Wo"}));
    EXPECT_TRUE(prompts.shown.empty()) << "\"Ok\" is no readiness: the write waits on";
    EXPECT_EQ(exchange.mode(), ExchangeMode::OutputsReady);
    run(10000);
    EXPECT_EQ(prompts.lastUtf8(), "НЕТ ответа о окончании записи в устройство радиоприборов (305)");
    EXPECT_FALSE(write.running());
}

struct Stage {
    const char* silent;
    const char* box;
};

class StageWithoutAnswer : public WriteChainTest, public ::testing::WithParamInterface<Stage> {};

TEST_P(StageWithoutAnswer, EndsAfterTenSecondsWithItsBox) {
    port.device().options().silent = {GetParam().silent};
    write.writeConfiguration();
    // The stage's request leaves within the first 100 ms; its ten seconds count from there.
    run(100);
    run(9850);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_TRUE(write.running());
    run(200);
    EXPECT_EQ(prompts.textsUtf8(), std::vector<std::string>{GetParam().box});
    EXPECT_FALSE(write.running());
    ASSERT_TRUE(write.outcome());
    EXPECT_EQ(write.outcome()->kind, Outcome::Kind::NoAnswer);
    EXPECT_TRUE(view.last().text.empty());
    run(1000);
    EXPECT_FALSE(port.isOpen());
}

INSTANTIATE_TEST_SUITE_P(
    EveryStage, StageWithoutAnswer,
    ::testing::Values(
        Stage{"block", "НЕТ ответа о окончании записи в устройство основной конфигурации"},
        Stage{"Wp", "НЕТ ответа о окончании записи в устройство радиоприборов (301)"},
        Stage{"Wp-data", "НЕТ ответа о окончании записи в устройство радиоприборов (302)"},
        Stage{"Wtd", "НЕТ ответа о окончании записи в устройство радиоприборов (303)"},
        Stage{"Wtd-data", "НЕТ ответа о окончании записи в устройство радиоприборов (304)"},
        Stage{"Wo", "НЕТ ответа о окончании записи в устройство радиоприборов (305)"},
        Stage{"Wo-data", "НЕТ ответа о окончании записи в устройство радиоприборов (306)"}));

class StageWithWrongResult : public WriteChainTest, public ::testing::WithParamInterface<Stage> {};

TEST_P(StageWithWrongResult, EndsAtOnceWithItsBox) {
    port.device().options().replies[GetParam().silent] = "Er";
    write.writeConfiguration();
    run(1000);
    EXPECT_EQ(prompts.textsUtf8(), std::vector<std::string>{GetParam().box});
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_FALSE(write.running());
    ASSERT_TRUE(write.outcome());
    EXPECT_EQ(write.outcome()->kind, Outcome::Kind::WrongAnswer);
}

INSTANTIATE_TEST_SUITE_P(
    EveryResult, StageWithWrongResult,
    ::testing::Values(
        Stage{"Wp-data", "Ответ об успешной записи радиопультов не корректен."},
        Stage{"Wtd-data", "Ответ об успешной записи беспроводных термодатчиков не корректен."},
        Stage{"Wo-data", "Ответ об успешной записи беспроводных выходов не корректен."}));

TEST_F(WriteChainTest, AWriteWaitsForARunningReadAndViceVersa) {
    write.setBusyCheck([this]() -> std::optional<std::string> {
        return read.running() ? std::optional<std::string>("busy reading") : std::nullopt;
    });
    port.device().options().silent = {"Pn"};
    read.readConfiguration();
    run(2000);
    write.writeConfiguration();
    EXPECT_EQ(prompts.lastUtf8(), "busy reading");
    EXPECT_TRUE(read.running()) << "the read is not abandoned";
}

} // namespace
} // namespace t6::test
