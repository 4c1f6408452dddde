#pragma once
// The fault scenarios: an operation, the stage of its exchange where the
// device misbehaves, how it misbehaves, and how the operation is to end.

#include <QStringList>
#include <ostream>
#include <string>
#include <vector>

#include "faults/Operations.h"

namespace t6::test {

enum class Fault {
    Silent,      // no reply
    Wrong,       // another reply in place of the right one
    Truncated,   // the reply stops after some bytes, without its stop string
    Noise,       // noise bytes before every reply, so also between packets
    NoiseInside, // noise bytes in the middle of the reply's payload
    FalseStart,  // noise before every reply that holds a start string
    Stale,       // the reply comes after the time-out, during the next exchange
    Dies,        // the adapter is pulled out part-way through the reply
    Twice,       // the device answers twice
    SplitAt,     // the reply arrives in two pieces
};

const char* faultName(Fault fault);

// What the user does while the operation waits.
enum class User {
    Waits,           // nothing
    CancelAtAlert,   // "Отмена" once the status bar turns red (the device is silent)
    CancelAtTimeout, // "Отмена" after the reply time-out: the wait shows no alert
};

struct Scenario {
    std::string id; // the test's name
    Op op;
    std::string stage; // the device's stage, as its options name it
    Fault fault;
    std::string arg; // the wrong reply (escaped for the device), or a byte count
    // What the user is to be told (UTF-8): one message, compared with its
    // first line, a trailing "…" comparing the beginning only; "?" one message
    // of any words; "!" and a text: one message, but not that one. Empty:
    // nothing is told, and the operation's sound result is in the window
    // instead; "-": nothing is told, and no result is asked for.
    std::string expect;
    User user = User::Waits;
    // Why the expectation is what it is; "PROGRAM FAULT: ..." marks a row the
    // program does not meet yet.
    std::string note;
    // The operation completes as if there had been no fault.
    bool completes = false;
};

// A scenario is known by its name in the test's name.
void PrintTo(const Scenario& s, std::ostream* os);

// The device's options for the scenario's fault.
QStringList deviceArgs(const Scenario& s);

const std::vector<Scenario>& scenarios();

// A row the program does not meet yet (its note says "PROGRAM FAULT").
inline bool isOpenFault(const Scenario& s) {
    return s.note.rfind("PROGRAM FAULT", 0) == 0;
}

} // namespace t6::test
