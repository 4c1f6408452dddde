// The key panel against the simulated device on an in-process port: the table
// read, a key learned at the reader, the table written and read back as the
// device stored it. The device's key requests are answered by handlers the
// test registers, so the bytes on the line are the test's own.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "KeyCells.h"
#include "common/Cp1251.h"
#include "config/ConfigModel.h"
#include "keys/KeyProgramming.h"
#include "support/CoreRig.h"
#include "support/SimulatedPort.h"

namespace t6::test {
namespace {

class NoRandom : public Random {
public:
    int next(int) override { return 0; }
};

class KeysOnSimulatedDevice : public ExchangeRig<SimulatedPort> {
protected:
    KeysOnSimulatedDevice() : ExchangeRig("t6-keys-sim") {
        model.startUp();
        stored = "Entrance" + Bytes(4, '\0') + bytesOf({0x01, 0xC4, 0x7F, 0x2A, 0x19, 0, 0, 0x5D}) +
                 Bytes(180, '\0');
        auto& device = port.device();
        device.handle("Cn",
                      [this](const std::string&) { return std::optional<std::string>(stored); });
        device.handle("Kr", [](const std::string&) {
            return std::optional<std::string>(
                bytesOf({0x2B, 0x00, 0x00, 0x0C, 0x9A, 0x47, 0x01, 0xE3}));
        });
        device.handle("Ur", [](const std::string&) { return std::optional<std::string>(); });
        device.handle("Wr", [this](const std::string&) {
            port.device().expectNext("Wr-data", [this](const std::string& data) {
                if (data.size() != KeyTableBytes)
                    return std::optional<std::string>("Err");
                stored = data;
                return std::optional<std::string>("Ok");
            });
            return std::optional<std::string>("OK");
        });
    }
    std::vector<std::string> requests() {
        std::vector<std::string> out;
        for (const auto& r : port.device().requestLog())
            out.push_back(r.command.empty() ? r.payload : r.command);
        return out;
    }

    NoRandom random;
    ConfigModel model{prompts, random,
                      [this] { return ExchangeMode::modelContextOf(exchange.mode()); },
                      [this] { return clock.localNow(); }};
    KeyProgramming keys{exchange, model};
    Bytes stored;
};

TEST_F(KeysOnSimulatedDevice, WhatIsWrittenComesBackAtTheNextRead) {
    keys.openPanel();
    clock.advance(100);
    EXPECT_EQ(cells(model.config().touchKeys[0]), (KeyCells{"Entrance", "01c47f2a1900005d"}));
    EXPECT_EQ(cells(model.config().touchKeys[1]), (KeyCells{"", "0000000000000000"}));

    keys.readKey(2);
    clock.advance(100);
    EXPECT_EQ(model.config().touchKeys[1].code, "2b00000c9a4701e3");
    model.setTouchKey(2, {ru("Гараж"), model.config().touchKeys[1].code});
    model.setTouchKey(10, {"Spare", "AB"});

    keys.save();
    clock.advance(1000);
    EXPECT_EQ(prompts.lastUtf8(), "Процесс записи ключей завершился. Все OK.");
    EXPECT_EQ(stored.substr(20, 20),
              bytesOf({0xC3, 0xE0, 0xF0, 0xE0, 0xE6, 0,    0,    0,    0,    0,
                       0,    0,    0x2B, 0x00, 0x00, 0x0C, 0x9A, 0x47, 0x01, 0xE3}));
    EXPECT_EQ(stored.substr(180, 20), "Spare" + Bytes(7, '\0') + "\xAB" + Bytes(7, '\0'));
    EXPECT_FALSE(keys.state().shown);

    const auto before = cells(model.config().touchKeys);
    for (int row = 1; row <= 10; ++row)
        model.setTouchKey(row, {});
    keys.openPanel();
    clock.advance(100);
    auto expected = before;
    expected[9].second = "ab00000000000000"; // the device holds 8 bytes, shown in small letters
    EXPECT_EQ(cells(model.config().touchKeys), expected);
    EXPECT_EQ(requests(), (std::vector<std::string>{"Cn", "Kr", "Wr", "Wr-data", "Cn"}));
}

} // namespace
} // namespace t6::test
