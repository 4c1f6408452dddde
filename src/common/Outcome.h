#pragma once
// What became of an operation, as a value. Every operation (identify, the
// signal level, the read and the write of the configuration, the key table,
// an enrolment, a file load or save) says so when it ends; the window turns
// it into its boxes, the command line into its exit code and messages.
// Nothing decides from the text of a message.
//
// Only Completed means done. A result that is not whole is never written to
// a file and never reported as done.

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace t6 {

struct Outcome {
    enum class Kind {
        Completed,   // done, whole
        Incomplete,  // the device's (or the file's) answer was not whole: details say what is
                     // missing
        NoAnswer,    // the device did not answer in time
        WrongAnswer, // the device answered otherwise than the protocol says
        Refused,     // refused before or instead of sending: details say why
        Cancelled,   // the user cancelled, or another operation cut it short
        PortLost,    // the port went away or failed during the exchange
        FileFailed,  // a file could not be read or written
    };

    Kind kind = Kind::Completed;
    // What is missing (Incomplete), the reasons (Refused), or what the user
    // was told otherwise; Windows-1251, in the language of the messages.
    std::vector<std::string> details;

    bool completed() const { return kind == Kind::Completed; }

    static Outcome make(Kind kind, std::vector<std::string> details = {}) {
        return Outcome{kind, std::move(details)};
    }
    static Outcome done() { return Outcome{}; }
};

// The outcome of an operation that waits for the device: nothing while it
// waits, then what became of it. Only the first end of a wait counts (a
// time-out after a cancel does not overwrite it).
class OutcomeSlot {
public:
    // The request has gone out.
    void begin() {
        waiting_ = true;
        value_.reset();
    }
    // The wait ends; nothing when none runs.
    void end(Outcome outcome) {
        if (!waiting_)
            return;
        waiting_ = false;
        value_ = std::move(outcome);
    }
    // The operation ends before anything was sent (refused).
    void refuse(std::vector<std::string> reasons = {}) {
        waiting_ = false;
        value_ = Outcome::make(Outcome::Kind::Refused, std::move(reasons));
    }
    bool waiting() const { return waiting_; }
    const std::optional<Outcome>& value() const { return value_; }

private:
    bool waiting_ = false;
    std::optional<Outcome> value_;
};

// The name of a kind, for logs and tests ("completed", "incomplete", ...).
const char* outcomeKindName(Outcome::Kind kind);

} // namespace t6
