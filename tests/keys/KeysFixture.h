#pragma once
// The key panel against an in-memory port, in virtual time, with scripted
// answers, a program directory of its own, and a dictionary that marks every
// text it was asked for ("T:"), so that a test tells a translated message
// from one shown as written.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "KeyCells.h"
#include "common/Cp1251.h"
#include "config/ConfigModel.h"
#include "keys/KeyFiles.h"
#include "keys/KeyProgramming.h"
#include "support/CoreRig.h"
#include "support/FakeSerialPort.h"

namespace t6::test {

class FixedRandom : public Random {
public:
    int next(int) override { return 0; }
};

class KeysTest : public ExchangeRig<FakeSerialPort> {
protected:
    KeysTest()
        : ExchangeRig("t6-keys",
                      RigOptions().wordedBy([](const std::string& t) { return "T:" + t; })) {
        model.startUp();
        keys.setObserver([this](const KeyPanelState& s) { states.push_back(s); });
    }

    static Bytes frame(const Bytes& body) { return ExchangeController::framed(body); }
    // A translated message as the marking dictionary gives it.
    static std::string T(const char* utf8) { return "T:" + std::string(utf8); }

    // The device answers.
    void reply(const Bytes& payload) { port.inject(frame(payload)); }
    std::vector<Bytes> sent() const {
        std::vector<Bytes> out;
        for (const auto& w : port.writes)
            out.push_back(w.bytes);
        return out;
    }
    std::string logText(const char* name) {
        logs.closeFiles();
        std::ifstream f(dir / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
    const TouchKey& key(int row) const {
        return model.config().touchKeys.at(static_cast<std::size_t>(row - 1));
    }
    void setKey(int row, const char* descriptionUtf8, const std::string& code) {
        model.setTouchKey(row, TouchKey{ru(descriptionUtf8), code});
    }
    std::string caption(int row) const {
        return cp1251ToUtf8(keys.state().readCaptions.at(static_cast<std::size_t>(row - 1)));
    }
    // The panel open after its table has come.
    void openWithTable(const Bytes& table) {
        keys.openPanel();
        reply(table);
        port.writes.clear();
        clock.advance(ExchangeController::kReplyIntervalMs);
        view.notices.clear(); // a short table's own
    }

    // The same with the whole table: the records given, then empty records up
    // to the ten (a write then asks nothing about rows not read).
    void openWithWholeTable(const Bytes& records) {
        openWithTable(records + Bytes(KeyTableBytes - records.size(), '\0'));
    }

    FixedRandom random;
    ConfigModel model{prompts, random,
                      [this] { return ExchangeMode::modelContextOf(exchange.mode()); },
                      [this] { return clock.localNow(); }};
    KeyProgramming keys{exchange, model};
    std::vector<KeyPanelState> states;
};

} // namespace t6::test
