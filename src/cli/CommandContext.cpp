#include "cli/CommandContext.h"

#include <cstdio>
#include <vector>

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

namespace {

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            lines.emplace_back();
        } else {
            lines.back() += text[i];
        }
    }
    return lines;
}

// A line that is a path alone: one that goes on after the path ("/dev/ttyS0:
// reason") is a sentence of its own.
bool isPath(const std::string& line) {
    return !line.empty() && line[0] == '/' && line.find(": ") == std::string::npos;
}

} // namespace

std::string errorLines(const std::string& cp1251) {
    std::vector<std::string> lines = splitLines(cp1251);
    std::vector<std::string> joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string& line = lines[i];
        if (!isPath(line) || (joined.empty() && i + 1 == lines.size())) {
            joined.push_back(std::move(line));
        } else if (joined.empty()) {
            joined.push_back(line + ": " + lines[++i]);
        } else {
            std::string& before = joined.back();
            if (!before.empty() && before.back() == ':') {
                before += " ";
            } else {
                if (!before.empty() && before.back() == '.')
                    before.pop_back();
                before += ": ";
            }
            before += line;
        }
    }
    std::string out;
    for (const std::string& line : joined)
        out += "torvel6: " + terminalText(line) + "\n";
    return out;
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
