#include "cli/CommandContext.h"

#include <cstdio>

#include "common/Cp1251.h"
#include "config/ConfigCompare.h"

namespace t6::cli {

int exitCodeOf(const std::optional<Outcome>& outcome) {
    if (!outcome)
        return Exit::DeviceError;
    switch (outcome->kind) {
    case Outcome::Kind::Completed:
        return Exit::Ok;
    case Outcome::Kind::NoAnswer:
        return Exit::NoAnswer;
    case Outcome::Kind::FileFailed:
        return Exit::FileError;
    case Outcome::Kind::Incomplete:
    case Outcome::Kind::WrongAnswer:
    case Outcome::Kind::Refused:
    case Outcome::Kind::Cancelled:
    case Outcome::Kind::PortLost:
        break;
    }
    return Exit::DeviceError;
}

std::string terminalText(const std::string& cp1251) {
    // Line breaks become the terminal's own; a control byte (which could move
    // the cursor or recolour the terminal when a device or a file holds one)
    // and the one byte the code page leaves undefined are shown as "?".
    std::string plain;
    plain.reserve(cp1251.size());
    for (std::size_t i = 0; i < cp1251.size(); ++i) {
        const auto c = static_cast<unsigned char>(cp1251[i]);
        if (c == '\r') {
            plain += '\n';
            if (i + 1 < cp1251.size() && cp1251[i + 1] == '\n')
                ++i;
        } else if (c == '\n' || c == '\t') {
            plain += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F || c == 0x98) {
            plain += '?';
        } else {
            plain += static_cast<char>(c);
        }
    }
    return cp1251ToUtf8(plain);
}

std::string fieldLineText(const std::string& cp1251) {
    std::string out;
    out.reserve(cp1251.size());
    for (char ch : cp1251) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20 || c == 0x7F || c == 0x98) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\x%02X", c);
                out += buf;
            } else {
                out += ch;
            }
        }
    }
    return terminalText(out);
}

std::string differenceLine(const FieldDifference& d) {
    std::string line = d.name;
    line += '\t';
    line += terminalText(d.caption);
    line += '\t';
    line += fieldLineText(d.before);
    line += '\t';
    line += fieldLineText(d.after);
    line += '\n';
    return line;
}

} // namespace t6::cli
