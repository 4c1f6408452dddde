#pragma once
// Plain words after a port failure: what the user can do about it. They come
// after the program's own message, which stays as it is, and follow the
// language of the messages.
//
// A port this user may not open: the group to join and the command for it. A
// port another program holds: named as busy, with the program when the system
// tells. Services known to take serial adapters (ModemManager probes them,
// brltty claims CH340 adapters so that their port disappears): how to keep
// them from this adapter only, never to remove them.

#include <functional>
#include <string>
#include <vector>

#include "link/SerialPort.h"

namespace t6 {

// A port that failed to open, and why.
struct PortTrouble {
    std::string port;
    PortFault fault = PortFault::Other;
    std::string detail; // the group to join, or the program holding the port
};

// What went wrong, as the caller saw it.
struct PortSituation {
    std::vector<PortTrouble> troubles; // ports that failed to open
    std::vector<PortDetails> adapters; // the system's ports with their details
    bool noPorts = false;              // the system listed no port at all
    bool noAnswer = false;             // the ports that opened gave no answer
};

using AdviceTranslate = std::function<std::string(const std::string&)>;
using ProgramCheck = std::function<bool(const std::string& name)>;

// The advice, lines joined by CR LF; empty when there is nothing to add.
std::string portAdvice(const PortSituation& situation, const AdviceTranslate& translate,
                       const ProgramCheck& running);

// The udev rule keeping ModemManager from one USB adapter.
std::string modemManagerRule(int vendorId, int productId);

} // namespace t6
