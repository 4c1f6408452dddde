// Every enrolment says what became of it as a value: the learning of a
// remote control's or a temperature sensor's code, the zone sensor panel's
// list read, learning and write, and the wireless output's attach and switch.

#include "WirelessFixture.h"

namespace t6::test {
namespace {

using K = Outcome::Kind;

class EnrolmentOutcomeTest : public WirelessTest {
protected:
    static K kindOf(const std::optional<Outcome>& o) {
        EXPECT_TRUE(o.has_value()) << "no outcome";
        return o ? o->kind : K::Completed;
    }
};

TEST_F(EnrolmentOutcomeTest, CodeLearning) {
    RemoteLearning& remotes = wireless.remotes();
    ThermoCodeLearning& thermo = wireless.thermoCodes();
    answer("Pr", "Zk|");
    remotes.press(3);
    EXPECT_FALSE(remotes.outcome()) << "nothing while it listens";
    run();
    EXPECT_EQ(kindOf(remotes.outcome()), K::Completed);

    quiet("Pr");
    remotes.press(1);
    remotes.press(1);
    EXPECT_EQ(kindOf(remotes.outcome()), K::Cancelled);
    run(ExchangeController::kReplyIntervalMs);
    EXPECT_EQ(kindOf(remotes.outcome()), K::Cancelled) << "the time-out after it changes nothing";

    remotes.press(2);
    run(ExchangeController::kReplyIntervalMs);
    EXPECT_EQ(kindOf(remotes.outcome()), K::NoAnswer);

    // Another learning cuts the first short; a lost port ends the second.
    remotes.press(4);
    thermo.press(2);
    EXPECT_EQ(kindOf(remotes.outcome()), K::Cancelled);
    port.unplug();
    EXPECT_EQ(kindOf(thermo.outcome()), K::PortLost);

    exchange.setConnectedPort("");
    thermo.press(1);
    EXPECT_EQ(kindOf(thermo.outcome()), K::Refused);
}

TEST_F(EnrolmentOutcomeTest, ZoneSensorPanel) {
    ZoneSensorPanel& panel = wireless.zoneSensors();
    answerPrefix("D", Bytes(SensorListBlockBytes, '\0'));
    panel.open(2);
    EXPECT_FALSE(panel.listOutcome());
    run();
    EXPECT_EQ(kindOf(panel.listOutcome()), K::Completed);

    answer("Ps", bytesOf({0x01, 0x02, 0x03, 0x04}));
    panel.pressRead(1);
    run();
    EXPECT_EQ(kindOf(panel.learnOutcome()), K::Completed);
    quiet("Ps");
    panel.pressRead(2);
    run(ExchangeController::kReplyIntervalMs);
    EXPECT_EQ(kindOf(panel.learnOutcome()), K::NoAnswer);

    // The write: refused for a code the block cannot carry, unanswered, done.
    panel.setCode(3, "123");
    panel.write();
    EXPECT_EQ(kindOf(panel.writeOutcome()), K::Refused);
    panel.setCode(3, "");
    panel.write();
    run(ExchangeController::kReplyIntervalMs);
    EXPECT_EQ(kindOf(panel.writeOutcome()), K::NoAnswer);
    port.device().handlePrefix("Wd", [this](const std::string&) {
        port.device().expectNext(
            "Wd-data", [](const std::string&) { return std::optional<std::string>("Ok"); });
        return std::optional<std::string>("OK");
    });
    panel.write();
    run(100);
    EXPECT_EQ(kindOf(panel.writeOutcome()), K::Completed);

    // A list that cannot come any more.
    panel.open(3);
    port.device().handlePrefix("D", [](const std::string&) { return std::nullopt; });
    panel.open(4);
    port.unplug();
    EXPECT_EQ(kindOf(panel.listOutcome()), K::PortLost);
}

TEST_F(EnrolmentOutcomeTest, WirelessOutputSwitch) {
    WirelessOutputSwitch& outputs = wireless.outputs();
    useOutput(3, WirelessSocket, "Розетка", "1A2B3C");
    answerPrefix("So", "Ok");
    outputs.attach(3);
    EXPECT_FALSE(outputs.outcome());
    run();
    EXPECT_EQ(kindOf(outputs.outcome()), K::Completed);

    port.device().handlePrefix("So", [](const std::string&) { return std::nullopt; });
    outputs.switchOn(3);
    run(ExchangeController::kReplyIntervalMs);
    EXPECT_EQ(kindOf(outputs.outcome()), K::NoAnswer);

    model.setOutputCode(3, "12345");
    outputs.switchOff(3);
    EXPECT_EQ(kindOf(outputs.outcome()), K::Refused);
}

} // namespace
} // namespace t6::test
