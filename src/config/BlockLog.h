#pragma once
// Where the decoders of the device's blocks note what they read: a line of the
// text log, a line of the hexadecimal log and a line of the exchange memo. The
// decoders do no I/O themselves; the read sequence hands them the real logs.
// Lines are Windows-1251 text without their line end. A protocol line may
// begin with CR LF: the section heads of the zones are written after an empty
// line that way.

#include <string_view>

namespace t6 {

class BlockLog {
public:
    virtual ~BlockLog() = default;
    // One line of the text log ("protokol.log").
    virtual void protocol(std::string_view line) = 0;
    // One line of the hexadecimal log ("protokol_FF.log"): a head, or the hex
    // form of the bytes that belong to the head before it.
    virtual void hex(std::string_view line) = 0;
    // One line of the exchange memo: the format errors found in a record.
    virtual void memo(std::string_view line) = 0;
};

// Takes every line and keeps none.
class NullBlockLog : public BlockLog {
public:
    void protocol(std::string_view) override {}
    void hex(std::string_view) override {}
    void memo(std::string_view) override {}
};

} // namespace t6
