// The command line of torvel6-devicesim: its options and their help text.
#pragma once

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "SimDevice.h"

namespace t6sim {

// The program's learn delay unless --learn-delay says otherwise: long enough
// for a person to see the configurator wait for the key or the sensor.
inline constexpr std::chrono::milliseconds kProgramLearnDelay{1500};

struct ProgramOptions {
    ProgramOptions() { sim.learnDelay = kProgramLearnDelay; }

    SimOptions sim;
    std::optional<std::chrono::milliseconds> exitAfter;
    bool verbose = false;
    std::string link;
    bool help = false;
};

// A mistake on the command line, worded for the user.
struct UsageError {
    std::string text;
};

// Throws UsageError.
ProgramOptions parseArguments(int argc, const char* const* argv);

void printUsage(std::FILE* to, const char* program);

// The bytes of a reply text given on the command line: "\xNN" (two
// hexadecimal digits) is the byte NN, "\\" a backslash; every other character
// stands for itself. Throws UsageError on any other backslash sequence.
std::string unescapeBytes(std::string_view text);

// The bytes of a code given as exactly 2 × `size` hexadecimal digits, first
// pair first. Throws UsageError, naming `option`, on anything else.
std::string codeBytes(std::string_view option, std::string_view hex, std::size_t size);

} // namespace t6sim
