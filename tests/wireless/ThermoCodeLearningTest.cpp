// Learning the code of a wireless temperature sensor: "Rtd", the code into
// the sensor and the registry, the cancels "Ur" and "Utd", the time-out.

#include "WirelessFixture.h"

namespace t6::test {
namespace {

class ThermoCodeLearningTest : public WirelessTest {
protected:
    ThermoCodeLearning& thermo = wireless.thermoCodes();
    std::string caption(int k) { return u8(thermo.caption(k)); }
};

TEST_F(ThermoCodeLearningTest, LearningSensor5ShowsAndRegistersItsCode) {
    model.setSensorName(5, ru("Балкон"));
    answer("Rtd", "ABC");
    thermo.press(5);
    ASSERT_EQ(written(), (std::vector<Bytes>{bytesOf({0xFE, 0xFF, 0x52, 0x74, 0x64, 0xFF, 0xFE})}));
    EXPECT_EQ(exchange.mode(), ExchangeMode::ReadThermoCode);
    EXPECT_TRUE(exchange.replyTimerActive());
    EXPECT_EQ(thermo.pendingThermoRow(), 5);
    EXPECT_EQ(caption(5), "Отмена");
    EXPECT_EQ(u8(view.last().text),
              "Ожидание беспроводного термодатчика: приведите датчик в действие");
    EXPECT_TRUE(view.last().cancellable);

    run();
    EXPECT_EQ(text("BTD_kod5"), "414243");
    const RegistryEntry* e = model.registry().find("btd5");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(u8(e->name), "Балкон");
    EXPECT_EQ(e->code, "41424") << "the registry keeps five characters";
    EXPECT_EQ(e->fromWindow, 0);
    EXPECT_EQ(e->channels, 1);
    EXPECT_EQ(model.choiceList().size(), 4u) << "a sensor is no output";
    EXPECT_EQ(caption(5), "Читать");
    EXPECT_EQ(lastBody(), "Uk");
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_TRUE(exchange.closeTimerActive());
    EXPECT_TRUE(view.last().text.empty());
    EXPECT_TRUE(hasLine(fileText("protokol.log"), "<<< ответ от радиопультов: ABC"));
}

TEST_F(ThermoCodeLearningTest, ASensorWithoutANameIsLearnedButNotRegistered) {
    answer("Rtd", "\x10\x20\x30");
    thermo.press(3);
    run();
    EXPECT_EQ(text("BTD_kod3"), "102030");
    EXPECT_EQ(model.registry().find("btd3"), nullptr);
}

TEST_F(ThermoCodeLearningTest, Sensor2IsCancelledWithUtdTheOthersWithUr) {
    for (int k = 1; k <= 6; ++k) {
        thermo.press(k);
        thermo.press(k);
        EXPECT_EQ(caption(k), "Читать");
    }
    const std::vector<Bytes> expected{"Rtd", "Ur", "Rtd", "Utd", "Rtd", "Ur",
                                      "Rtd", "Ur", "Rtd", "Ur",  "Rtd", "Ur"};
    EXPECT_EQ(bodies(), expected);
    EXPECT_EQ(exchange.mode(), ExchangeMode::ReadThermoCode) << "a cancel leaves the mode";
    EXPECT_TRUE(exchange.replyTimerActive());

    // Whatever comes after the cancel is neither the code nor registered.
    model.setSensorName(6, ru("Сарай"));
    model.setSensorCode(6, "aabbcc");
    deviceSays("Ok");
    EXPECT_EQ(text("BTD_kod6"), "aabbcc");
    EXPECT_EQ(model.registry().find("btd6"), nullptr);
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
}

TEST_F(ThermoCodeLearningTest, NoAnswerSendsUtdAndTheButtonKeepsItsCancel) {
    thermo.press(1);
    run(9990);
    EXPECT_FALSE(view.last().text.empty());
    run(10);
    EXPECT_EQ(exchange.mode(), ExchangeMode::IdleAfterOperation);
    EXPECT_EQ(bodies(), (std::vector<Bytes>{"Rtd", "Utd"}));
    EXPECT_EQ(caption(1), "Отмена");
    EXPECT_TRUE(view.last().text.empty()) << "the wait is over";
    EXPECT_FALSE(exchange.canCancel());
    EXPECT_TRUE(prompts.shown.empty());
    run(1000);
    EXPECT_FALSE(port.isOpen());

    // The next press is the cancel.
    thermo.press(1);
    EXPECT_EQ(lastBody(), "Ur");
    EXPECT_EQ(caption(1), "Читать");
}

TEST_F(ThermoCodeLearningTest, TheWaitsCancelIsTheSensorsOwn) {
    thermo.press(2);
    exchange.cancelActivity();
    EXPECT_EQ(bodies(), (std::vector<Bytes>{"Rtd", "Utd"}));
    EXPECT_EQ(caption(2), "Читать");
    EXPECT_TRUE(view.last().text.empty());
}

} // namespace
} // namespace t6::test
