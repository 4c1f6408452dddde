#pragma once
// Plain words after a port failure: which port failed and why, in the system's
// reason worded in the language of the messages, and what the user can do
// about it. They follow the program's own message in the same box.
//
// A port this user may not open: what its owner, group and mode bits and the
// user's groups say (the group to join, a new login for a membership newer
// than the session, the mode to change, or nobody but the owner). A port
// another program holds: named as busy, with the program when the system
// tells. A port that does not exist: the ports that do. Services known to take
// serial adapters (ModemManager probes them, brltty claims CH340 adapters so
// that their port disappears): how to keep them from this adapter only, never
// to remove them.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/SerialPort.h"

namespace t6 {

// A port that failed to open, and why.
struct PortTrouble {
    std::string port;
    PortFault fault = PortFault::Other;
    int code = 0;       // the system's error number; 0 when unknown
    std::string detail; // the program holding the port (Busy)
    PortAccess access;  // why this user may not open it (NoPermission)
};
PortTrouble troubleOf(const std::string& port, const PortError& error);

// What went wrong, as the caller saw it.
struct PortSituation {
    std::vector<PortTrouble> troubles; // ports that failed to open
    std::vector<PortDetails> adapters; // the system's ports with their details
    // The names of the system's ports, when the caller asked for them.
    std::optional<std::vector<std::string>> systemPorts;
    bool noPorts = false;  // the system listed no port at all
    bool noAnswer = false; // the ports that opened gave no answer
};

using AdviceTranslate = std::function<std::string(const std::string&)>;
using ProgramCheck = std::function<bool(const std::string& name)>;

// The system's reason for an error number, in the language of the messages.
std::string systemReasonText(int code, const AdviceTranslate& translate);

// The advice, lines joined by CR LF; empty when there is nothing to add.
std::string portAdvice(const PortSituation& situation, const AdviceTranslate& translate,
                       const ProgramCheck& running);

// The udev rule keeping ModemManager from one USB adapter.
std::string modemManagerRule(int vendorId, int productId);

} // namespace t6
