#pragma once
// The enrolment exchanges against the simulated device on an in-process
// port, in virtual time, with scripted answers. Each test tells the device
// what to answer; every other request of these exchanges goes unanswered.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "common/Cp1251.h"
#include "config/ConfigModel.h"
#include "exchange/ExchangeController.h"
#include "exchange/ExchangeLogs.h"
#include "support/ManualClock.h"
#include "support/ModelDriver.h"
#include "support/OperationTestKit.h"
#include "support/ScriptedPrompts.h"
#include "support/SimulatedPort.h"
#include "wireless/WirelessEnrolment.h"

namespace t6::test {

class WirelessTest : public ::testing::Test, protected ModelDriver {
protected:
    WirelessTest() {
        dir = std::filesystem::temp_directory_path() /
              ("t6-wireless-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        logs.setDirectory(dir.string());
        logs.createFiles();
        exchange.setView(&view);
        exchange.start();
        model.startUp();
        exchange.setConnectedPort("COM1");
        for (const char* c : {"Pr", "Uk", "Ps", "Us", "Rtd", "Ur", "Utd"})
            quiet(c);
        for (const char* c : {"D", "Wd", "So"})
            port.device().handlePrefix(c, [](const std::string&) { return std::nullopt; });
    }
    ~WirelessTest() override {
        logs.closeFiles();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    ConfigModel& driven() override { return model; }

    void quiet(const std::string& command) {
        port.device().handle(command, [](const std::string&) { return std::nullopt; });
    }
    // The device answers this request with this payload.
    void answer(const std::string& command, const Bytes& reply) {
        port.device().handle(command, [reply](const std::string&) { return reply; });
    }
    void answerPrefix(const std::string& prefix, const Bytes& reply) {
        port.device().handlePrefix(prefix, [reply](const std::string&) { return reply; });
    }
    // The device sends a payload of its own accord; it arrives a little later.
    void deviceSays(const Bytes& payload) {
        port.device().sendReply(payload);
        run(10);
    }
    void run(int ms = 10) { clock.advance(ms); }

    // Every write on the line, framed as sent.
    std::vector<Bytes> written() const {
        std::vector<Bytes> out;
        for (const auto& w : port.writes)
            out.push_back(w.bytes);
        return out;
    }
    // The request bodies written, unframed, in order.
    std::vector<Bytes> bodies() const {
        std::vector<Bytes> out;
        for (const auto& w : port.writes)
            out.push_back(w.bytes.size() >= 4 ? w.bytes.substr(2, w.bytes.size() - 4) : w.bytes);
        return out;
    }
    Bytes lastBody() const {
        auto b = bodies();
        return b.empty() ? Bytes() : b.back();
    }
    std::string fileText(const char* name) {
        logs.closeFiles();
        std::ifstream f(dir / name, std::ios::binary);
        return cp1251ToUtf8(std::string(std::istreambuf_iterator<char>(f), {}));
    }
    bool hasLine(const std::string& text, const std::string& utf8Line) const {
        return text.find(utf8Line + "\r\n") != std::string::npos;
    }
    std::string u8(const std::string& cp1251) const { return cp1251ToUtf8(cp1251); }

    std::filesystem::path dir;
    ManualClock clock;
    SimulatedPort port{clock};
    ScriptedPrompts prompts;
    ExchangeLogs logs;
    ActivityView view;
    ExchangeController exchange{port, clock, prompts, logs};
    StepRandom random;
    ConfigModel model{prompts, random,
                      [this] { return ExchangeMode::modelContextOf(exchange.mode()); },
                      [this] { return clock.localNow(); }};
    WirelessEnrolment wireless{exchange, model};
};

} // namespace t6::test
