#pragma once
// A controller over an in-memory port, in virtual time, with scripted answers.

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "common/Cp1251.h"
#include "exchange/Connection.h"
#include "exchange/SignalLevel.h"
#include "support/CoreRig.h"
#include "support/FakeSerialPort.h"

namespace t6::test {

struct RecordingView : ExchangeView {
    std::string portState, connection, connectedCaption;
    std::vector<std::string> portList;
    bool manual = false;
    int gauge = -1;
    std::string signalText;
    bool red = false;
    int clockTicks = 0;
    std::vector<std::string> notices;
    void showNotice(const std::string& t) override { notices.push_back(t); }
    void showPortState(const std::string& t) override { portState = t; }
    void showConnection(const std::string& t) override { connection = t; }
    void showClock(const LocalTime&) override { ++clockTicks; }
    void showConnected(const std::string& c) override { connectedCaption = c; }
    void showPortList(const std::vector<std::string>& p) override { portList = p; }
    void showManualMode(bool on) override { manual = on; }
    void showSignal(int g, const std::string& t, bool r) override {
        gauge = g;
        signalText = t;
        red = r;
    }
};

class ExchangeFixture : public ExchangeRig<FakeSerialPort, RecordingView> {
protected:
    ExchangeFixture() : ExchangeRig("t6-exchange", RigOptions().notConnected()) {
        // The services the advice looks for run only when a test says so.
        exchange.setProgramCheck(
            [this](const std::string& name) { return running.count(name) > 0; });
    }

    static Bytes frame(const Bytes& body) { return ExchangeController::framed(body); }
    std::string u8(const Bytes& b) const { return cp1251ToUtf8(b); }
    // The request bodies written, unframed, in order.
    std::vector<Bytes> sentBodies() const {
        std::vector<Bytes> out;
        for (const auto& w : port.writes)
            out.push_back(w.bytes.size() >= 4 ? w.bytes.substr(2, w.bytes.size() - 4) : w.bytes);
        return out;
    }
    std::string fileText(const char* name) const;

    std::set<std::string> running; // programs the system is said to run
};

inline std::string ExchangeFixture::fileText(const char* name) const {
    std::FILE* f = std::fopen((dir / name).string().c_str(), "rb");
    if (!f)
        return "<missing>";
    std::string s;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        s.append(buf, n);
    std::fclose(f);
    return s;
}

} // namespace t6::test
