#include "PtyFixture.h"
#include "exchange/Connection.h"
#include "exchange/SignalLevel.h"

namespace t6::test {
namespace {

class DeviceOverPty : public PtyDeviceTest {
protected:
    void attach() override {
        exchange->setConnectedPort("");
        connection = std::make_unique<Connection>(*exchange);
        signal = std::make_unique<SignalLevel>(*exchange);
    }
    void detach() override {
        signal.reset();
        connection.reset();
    }
    std::unique_ptr<Connection> connection;
    std::unique_ptr<SignalLevel> signal;
};

TEST_F(DeviceOverPty, TheSearchFindsTheDeviceAndTheSignalIsRead) {
    startDevice();
    connection->connect();
    const auto ports = connection->ports();
    ASSERT_NE(std::find(ports.begin(), ports.end(), pty), ports.end());
    // Every listed port may take a probe step of 1.2 s before the device's.
    const int bound = 1200 * static_cast<int>(ports.size()) + 3000;
    ASSERT_TRUE(waitFor([this] { return !exchange->connectedPort().empty(); }, bound));
    EXPECT_EQ(exchange->connectedPort(), pty);
    EXPECT_EQ(prompts.lastUtf8(), "соединение установлено.");
    EXPECT_EQ(view.connection, "соединен с " + pty + "  2.05");
    // The port closes one second after the box was answered.
    ASSERT_TRUE(waitFor([this] { return !port.isOpen(); }, 2500));
    EXPECT_EQ(exchange->mode(), ExchangeMode::Idle);
    EXPECT_EQ(view.portState, "Закрыт (Com=" + pty + ")");

    signal->refresh();
    ASSERT_TRUE(waitFor([this] { return !view.signal.empty(); }, 3000));
    EXPECT_EQ(view.signal, "-79 dBm");
    EXPECT_EQ(signal->reading().gauge, 54);
    logs.closeFiles();
    EXPECT_EQ(fileText("protokol.log"), "<<< поиск порта: T7 2.05\r\n");
    ASSERT_EQ(logs.memoLines().size(), 3u);
    EXPECT_EQ(cp1251ToUtf8(logs.memoLines()[2]), "входная строка: +CSQ: 17,99");
}

TEST_F(DeviceOverPty, NoiseAndRepliesInPiecesStillIdentifyTheDevice) {
    startDevice({"--noise", "--split", "3"});
    connection->setManualMode(true);
    connection->setComboText(pty);
    connection->connect();
    ASSERT_TRUE(waitFor([this] { return !prompts.shown.empty(); }, 3000));
    EXPECT_EQ(prompts.lastUtf8(), "соединение установлено.");
    EXPECT_EQ(view.connection, "соединен с " + pty + "  2.05");
}

TEST_F(DeviceOverPty, ADeviceOfAnotherTypeIsRefused) {
    startDevice({"--type", "T6"});
    connection->connect();
    const int bound = 1200 * static_cast<int>(connection->ports().size()) + 3000;
    ASSERT_TRUE(waitFor([this] { return !prompts.shown.empty(); }, bound));
    EXPECT_EQ(prompts.shown.back().kind, ScriptedPrompts::Kind::Information);
    EXPECT_EQ(prompts.lastUtf8(),
              "Используйте конфигуратор \"УМНЫЙ ТОРВЕЛ-4\"\r\nсоединение НЕ установлено.");
    EXPECT_TRUE(exchange->connectedPort().empty());
}

TEST_F(DeviceOverPty, ADeviceThatGoesAwayLeavesThePortShownClosed) {
    // The port by a name of this test's own: once the device is gone, another
    // test's device may be given the same pty number, never this name.
    const std::string link = (dir / "port").string();
    startDevice({"--silent", "Sg", "--link", QString::fromStdString(link)});
    exchange->setConnectedPort(link);
    signal->refresh();
    ASSERT_TRUE(port.isOpen());
    EXPECT_EQ(view.portState, "Открыт (Com=" + link + ")");
    sim.kill();
    ASSERT_TRUE(sim.waitForFinished(2000));
    std::filesystem::remove(link); // killed, the device could not take its name away
    // The adapter sees the line vanish, closes the port and tells the controller.
    ASSERT_TRUE(waitFor([&] { return view.portState == "Закрыт (Com=" + link + ")"; }, 3000));
    EXPECT_FALSE(port.isOpen());
    ASSERT_FALSE(prompts.shown.empty());
    EXPECT_EQ(prompts.shown.back().kind, ScriptedPrompts::Kind::Error);
    // The next operation cannot open the vanished port and says so, with why,
    // in the same box.
    signal->refresh();
    EXPECT_EQ(prompts.lastUtf8().rfind("Нет соединения с устройством. Проверьте подключение\r\n"
                                       "Порт " +
                                           link +
                                           ": Нет такого файла или устройства\r\n"
                                           "Такого порта нет.",
                                       0),
              0u)
        << prompts.lastUtf8();
}

} // namespace
} // namespace t6::test
