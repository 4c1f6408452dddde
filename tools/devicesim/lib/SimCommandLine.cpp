#include "SimCommandLine.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <utility>

namespace t6sim {

namespace {

std::size_t parseCount(std::string_view option, std::string_view text, std::size_t min) {
    std::size_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) {
        throw UsageError{std::string(option) + " needs a whole number, not \"" + std::string(text) +
                         "\""};
    }
    if (value < min) {
        throw UsageError{std::string(option) + " must be at least " + std::to_string(min)};
    }
    return value;
}

std::chrono::milliseconds parseMilliseconds(std::string_view option, std::string_view text) {
    const auto ms = parseCount(option, text, 0);
    if (ms > 3'600'000) {
        throw UsageError{std::string(option) + " must be at most 3600000 ms"};
    }
    return std::chrono::milliseconds(ms);
}

std::chrono::milliseconds parseSeconds(std::string_view option, const std::string& text) {
    char* end = nullptr;
    errno = 0;
    const double seconds = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || errno != 0 || !(seconds > 0) ||
        seconds > 1e7) {
        throw UsageError{std::string(option) + " needs a positive number of seconds, not \"" +
                         text + "\""};
    }
    return std::chrono::milliseconds(static_cast<long long>(seconds * 1000.0 + 0.5));
}

// The stage names, one blank apart; with `indent`, in lines of at most 78
// characters that begin with it.
std::string stageList(std::string_view indent = {}) {
    std::string list;
    std::size_t lineStart = 0;
    for (const auto name : kStageNames) {
        if (!indent.empty() && list.size() - lineStart + 1 + name.size() > 78) {
            list += "\n";
            lineStart = list.size();
            list += indent;
        } else if (!list.empty()) {
            list += " ";
        } else {
            list += indent;
        }
        list += name;
    }
    return list;
}

std::string checkedStage(std::string_view option, std::string_view stage) {
    if (!isStageName(stage)) {
        throw UsageError{std::string(option) + ": \"" + std::string(stage) +
                         "\" is not a stage; the stages are " + stageList()};
    }
    return std::string(stage);
}

// "STAGE=VALUE", split at the first "=".
std::pair<std::string, std::string> stageAndValue(std::string_view option, std::string_view text) {
    const auto eq = text.find('=');
    if (eq == std::string_view::npos) {
        throw UsageError{std::string(option) + " needs STAGE=VALUE, not \"" + std::string(text) +
                         "\""};
    }
    return {checkedStage(option, text.substr(0, eq)), std::string(text.substr(eq + 1))};
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// "01C47F2A1900005D": two upper-case digits a byte, as the code options take them.
std::string hexDigits(std::string_view bytes) {
    std::string text = hexBytes(bytes);
    std::erase(text, ' ');
    return text;
}

} // namespace

std::string unescapeBytes(std::string_view text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '\\') {
            bytes += '\\';
            ++i;
            continue;
        }
        const int high = i + 3 < text.size() && text[i + 1] == 'x' ? hexDigit(text[i + 2]) : -1;
        const int low = high >= 0 ? hexDigit(text[i + 3]) : -1;
        if (low < 0) {
            throw UsageError{"\"" + std::string(text) +
                             "\": a backslash must begin \\xNN (two hexadecimal digits) or \\\\"};
        }
        bytes += static_cast<char>(high * 16 + low);
        i += 3;
    }
    return bytes;
}

std::string codeBytes(std::string_view option, std::string_view hex, std::size_t size) {
    std::string bytes;
    for (std::size_t i = 0; hex.size() == 2 * size && i < hex.size(); i += 2) {
        const int high = hexDigit(hex[i]);
        const int low = hexDigit(hex[i + 1]);
        if (high < 0 || low < 0) {
            break;
        }
        bytes += static_cast<char>(high * 16 + low);
    }
    if (bytes.size() != size) {
        throw UsageError{std::string(option) + " needs " + std::to_string(2 * size) +
                         " hexadecimal digits, not \"" + std::string(hex) + "\""};
    }
    return bytes;
}

ProgramOptions parseArguments(int argc, const char* const* argv) {
    ProgramOptions result;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::optional<std::string> inlineValue;
        if (arg.starts_with("--")) {
            if (const auto eq = arg.find('='); eq != std::string::npos) {
                inlineValue = arg.substr(eq + 1);
                arg.resize(eq);
            }
        }
        auto value = [&]() -> std::string {
            if (inlineValue) {
                return *inlineValue;
            }
            if (i + 1 >= argc) {
                throw UsageError{arg + " needs a value"};
            }
            return argv[++i];
        };
        auto noValue = [&] {
            if (inlineValue) {
                throw UsageError{arg + " takes no value"};
            }
        };

        if (arg == "--help" || arg == "-h") {
            noValue();
            result.help = true;
        } else if (arg == "--type") {
            result.sim.typeReply = value();
        } else if (arg == "--csq") {
            result.sim.csqReply = value();
        } else if (arg == "--silent") {
            result.sim.silent.insert(checkedStage(arg, value()));
        } else if (arg == "--reply") {
            auto [stage, text] = stageAndValue(arg, value());
            result.sim.replies[stage] = unescapeBytes(text);
        } else if (arg == "--truncate-reply") {
            auto [stage, count] = stageAndValue(arg, value());
            result.sim.truncateReplies[stage] = parseCount(arg, count, 0);
        } else if (arg == "--noise") {
            noValue();
            result.sim.noise = true;
        } else if (arg == "--noise-inside") {
            result.sim.noiseInside.insert(checkedStage(arg, value()));
        } else if (arg == "--noise-bytes") {
            result.sim.noiseBytes = unescapeBytes(value());
            if (result.sim.noiseBytes.empty()) {
                throw UsageError{"--noise-bytes needs at least one byte"};
            }
        } else if (arg == "--split") {
            result.sim.splitChunk = parseCount(arg, value(), 1);
        } else if (arg == "--split-at") {
            auto [stage, count] = stageAndValue(arg, value());
            result.sim.splitAt[stage] = parseCount(arg, count, 1);
        } else if (arg == "--split-sweep") {
            auto [stage, count] = stageAndValue(arg, value());
            result.sim.splitSweep[stage] = parseCount(arg, count, 1);
        } else if (arg == "--reply-twice") {
            result.sim.repliedTwice.insert(checkedStage(arg, value()));
        } else if (arg == "--late-reply") {
            auto [stage, ms] = stageAndValue(arg, value());
            result.sim.lateReplies[stage] = parseMilliseconds(arg, ms);
        } else if (arg == "--die-at") {
            auto [stage, count] = stageAndValue(arg, value());
            result.sim.hangUpAt[stage] = parseCount(arg, count, 0);
        } else if (arg == "--truncate") {
            result.sim.truncateAfter = parseCount(arg, value(), 0);
        } else if (arg == "--delay") {
            result.sim.replyDelay = parseMilliseconds(arg, value());
        } else if (arg == "--learn-delay") {
            result.sim.learnDelay = parseMilliseconds(arg, value());
        } else if (arg == "--key-code") {
            result.sim.keyCode = codeBytes(arg, value(), 8);
        } else if (arg == "--fob-code") {
            result.sim.fobCode = codeBytes(arg, value(), 3);
        } else if (arg == "--sensor-code") {
            result.sim.sensorCode = codeBytes(arg, value(), 4);
        } else if (arg == "--thermo-code") {
            result.sim.thermoCode = codeBytes(arg, value(), 3);
        } else if (arg == "--pace") {
            noValue();
            result.sim.pace = true;
        } else if (arg == "--verbose" || arg == "-v") {
            noValue();
            result.verbose = true;
        } else if (arg == "--link") {
            result.link = value();
            if (result.link.empty()) {
                throw UsageError{"--link needs a path"};
            }
        } else if (arg == "--exit-after") {
            result.exitAfter = parseSeconds(arg, value());
        } else {
            throw UsageError{"unknown option \"" + std::string(argv[i]) + "\""};
        }
    }
    return result;
}

void printUsage(std::FILE* to, const char* program) {
    const SimOptions defaults;
    std::fprintf(
        to,
        "Usage: %s [options]\n"
        "A simulated device on a pseudo-terminal. The first line of output is the\n"
        "path of the terminal to open; the program then answers on it until it is\n"
        "stopped (SIGTERM, SIGINT), --exit-after has passed or --die-at has struck.\n"
        "\n"
        "The device answers Tt (type), Sg (signal level), the read requests Ro, Pt,\n"
        "Pn, Ltd with the blocks it holds, a configuration block (99 99 and records)\n"
        "with COK, and Wp, Wtd, Wo with OK; the packet after OK is the block to\n"
        "store (130, 78, 224 bytes), answered Ok, or Err when its length is wrong.\n"
        "Keys: Cn answers the key table (200 bytes); Wr answers OK and takes the\n"
        "next packet as the table. Wireless zone sensors: D1r to D6r answer the\n"
        "zone's sensor list (84 bytes); Wd1 to Wd6 answer OK and take the next\n"
        "packet as that list.\n"
        "Learning: Kr (a key held to the reader, 8 bytes), Pr (a fob, 3 bytes),\n"
        "Ps (a zone sensor, 4 bytes) and Rtd (a temperature sensor, 3 bytes) are\n"
        "answered with the code the device hears, after the learn delay; Ur, Uk,\n"
        "Us and Utd end whatever learning is pending and are not answered.\n"
        "Wireless outputs: So + 3 code bytes + type byte (01-04) + action byte\n"
        "pairs the output of that code (00), switches it on (01) or off (02),\n"
        "answered Ok; switching a code never paired gets no answer.\n"
        "It starts with a demo configuration, key table and sensor lists (its\n"
        "three wireless outputs paired) and keeps what is written until it stops.\n"
        "\n"
        "Options:\n"
        "  --type TEXT        identification reply (default \"T7 2.05\")\n"
        "  --csq TEXT         signal level reply (default \"+CSQ: 17,99\")\n"
        "  --silent STAGE     ignore the request of STAGE: no reply, nothing stored\n"
        "                     (repeatable)\n"
        "  --reply STAGE=TEXT answer STAGE with TEXT in place of the right reply;\n"
        "                     \\xNN in TEXT is the byte NN, \\\\ a backslash (repeatable)\n"
        "  --truncate-reply STAGE=N\n"
        "                     cut the reply of STAGE after N bytes, without the stop\n"
        "                     string (repeatable)\n"
        "  --noise            send noise bytes before every reply\n"
        "  --noise-inside STAGE\n"
        "                     put the noise bytes into the middle of the payload of\n"
        "                     STAGE's reply (repeatable)\n"
        "  --noise-bytes TEXT the noise bytes, escaped as in --reply (default\n"
        "                     \\x00\\x11\\xFF\\xFE\\x55\\xFE)\n"
        "  --split N          send replies in pieces of N bytes\n"
        "  --split-at STAGE=N send the reply of STAGE in two writes a short pause\n"
        "                     apart, the first ending after byte N of the packet\n"
        "                     (counted from the start string; repeatable)\n"
        "  --split-sweep STAGE=N\n"
        "                     split the k-th reply of STAGE after byte N + k - 1\n"
        "                     (k = 1, 2, ...; after the last position, 1 again): a\n"
        "                     reply split at every position in one run (repeatable)\n"
        "  --reply-twice STAGE\n"
        "                     send the reply of STAGE twice, a short pause apart\n"
        "                     (repeatable)\n"
        "  --late-reply STAGE=MS\n"
        "                     hold the first reply of STAGE back MS milliseconds\n"
        "                     more; the replies asked meanwhile wait behind it\n"
        "                     (repeatable)\n"
        "  --die-at STAGE=N   send only N bytes of the packet of STAGE's reply,\n"
        "                     then answer nothing more and exit a moment later,\n"
        "                     closing the terminal: the adapter pulled out\n"
        "  --truncate N       cut every reply after N bytes, without the stop string\n"
        "  --delay MS         wait MS milliseconds before every reply\n"
        "  --learn-delay MS   time from Kr, Pr, Ps or Rtd to the learned code, before\n"
        "                     the --delay (default %lld; 0 answers at once)\n"
        "  --key-code HEX16   identity of the key held to the reader\n"
        "                     (default %s)\n"
        "  --fob-code HEX6    code of the fob the device hears (default %s)\n"
        "  --sensor-code HEX8 code of the zone sensor it hears (default %s)\n"
        "  --thermo-code HEX6 code of the temperature sensor it hears\n"
        "                     (default %s)\n"
        "  --pace             the line at 38400 baud both ways (260 us a byte): a\n"
        "                     request counts as received only when its bytes would\n"
        "                     have arrived, and replies leave at that rate\n"
        "  --verbose          log requests and replies to stderr as hex\n"
        "  --link PATH        also make PATH a symbolic link to the terminal,\n"
        "                     removed at exit\n"
        "  --exit-after SECS  stop after SECS seconds (fractions allowed)\n"
        "  --help             show this text\n"
        "\n"
        "STAGE is one of:\n%s\n"
        "(block is the configuration block; Wp-data, Wtd-data, Wo-data, Wr-data and\n"
        "Wd-data the packet after each OK; Dr and Wd stand for every zone; a\n"
        "learning stage's reply is the learned code; Ur, Uk, Us, Utd have no reply\n"
        "unless --reply gives one.) Option values may also be given as\n"
        "--option=VALUE.\n",
        program, static_cast<long long>(kProgramLearnDelay.count()),
        hexDigits(defaults.keyCode).c_str(), hexDigits(defaults.fobCode).c_str(),
        hexDigits(defaults.sensorCode).c_str(), hexDigits(defaults.thermoCode).c_str(),
        stageList("  ").c_str());
}

} // namespace t6sim
