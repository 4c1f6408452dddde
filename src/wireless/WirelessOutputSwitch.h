#pragma once
// Pairing a wireless output with the device and switching it on and off as a
// test ("Привязать", "ВКЛ", "ОТКЛ" of outputs 1 to 16). Each sends "So", the
// output's three code bytes, its type byte (type position + 1) and an action
// byte: 00 attach and 01 on (mode 22), 02 off (mode 23). The device answers
// "Ok" or "OK"; the box "Радиовыход N включен." or "... отключен." follows.
// An output whose code cannot be sent (empty, or not 2, 4 or 6 hexadecimal
// digits) is refused before anything happens.

#include <optional>
#include <string>

#include "common/Bytes.h"
#include "common/Outcome.h"
#include "exchange/ExchangeMode.h"

namespace t6 {

class ConfigModel;
class ExchangeController;

class WirelessOutputSwitch {
public:
    enum class Action : unsigned char { Attach = 0x00, On = 0x01, Off = 0x02 };

    WirelessOutputSwitch(ExchangeController& exchange, const ConfigModel& model);
    WirelessOutputSwitch(const WirelessOutputSwitch&) = delete;
    WirelessOutputSwitch& operator=(const WirelessOutputSwitch&) = delete;

    void attach(int output) { send(output, Action::Attach); }
    void switchOn(int output) { send(output, Action::On); }
    void switchOff(int output) { send(output, Action::Off); }

    // PendingOutputNumber: the output whose request waits for its answer, 0 before any.
    int pendingOutputNumber() const { return pending_; }
    // What became of the last attach or switch; nothing while it waits.
    const std::optional<Outcome>& outcome() const { return outcome_.value(); }

    // The request body for an output's code and type (0 to 3), or nothing
    // when the code cannot be sent.
    static std::optional<Bytes> request(const std::string& code, int type, Action action);

private:
    void send(int output, Action action);
    void onReply(const Bytes& reply, ExchangeModeValue mode);
    std::string tr(const char* utf8) const;

    ExchangeController& ex_;
    const ConfigModel& model_;
    OutcomeSlot outcome_;
    int pending_ = 0;
};

} // namespace t6
