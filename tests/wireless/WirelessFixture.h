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
#include "support/CoreRig.h"
#include "support/ModelDriver.h"
#include "support/SimulatedPort.h"
#include "wireless/WirelessEnrolment.h"

namespace t6::test {

class WirelessTest : public ExchangeRig<SimulatedPort>, protected ModelDriver {
protected:
    WirelessTest() : ExchangeRig("t6-wireless") {
        model.startUp();
        for (const char* c : {"Pr", "Uk", "Ps", "Us", "Rtd", "Ur", "Utd"})
            quiet(c);
        for (const char* c : {"D", "Wd", "So"})
            port.device().handlePrefix(c, [](const std::string&) { return std::nullopt; });
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

    StepRandom random;
    ConfigModel model{prompts, random,
                      [this] { return ExchangeMode::modelContextOf(exchange.mode()); },
                      [this] { return clock.localNow(); }};
    WirelessEnrolment wireless{exchange, model};
};

} // namespace t6::test
