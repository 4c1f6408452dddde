// The command line of torvel6-devicesim: its options and their help text.
#pragma once

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "SimDevice.h"

namespace t6sim {

struct ProgramOptions {
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

} // namespace t6sim
