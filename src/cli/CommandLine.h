#pragma once
// The command line of "torvel6": the commands, their options, the help texts
// and the run of one command.

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace t6::cli {

struct Invocation {
    // "ports", "identify", "read", "write", "signal", "keys read",
    // "keys write", "show", "diff"; empty with --help or --version alone.
    std::string command;
    std::string port;
    std::string in;
    std::string out;
    std::vector<std::string> files; // show: one, diff: two; get/set: the file, then the fields
    std::string workDir;            // --work-dir: the logs' folder instead of the user's
    bool verify = false;
    bool acceptChanges = false; // write: send a file the window does not take whole
    bool fileClock = false;     // write: the file's date and time, not the computer's
    bool json = false;
    bool replace = false; // read --force
    std::optional<std::string>
        site; // read, write: the site the version is kept under; history: only it
    std::vector<std::string> sets; // write --set NAME=VALUE, in the order given
    std::optional<int> limit;      // history --limit N
    bool help = false;
    bool version = false;
    char language = 'R';
};

// A mistake on the command line, in plain words (English, as the help).
struct UsageError {
    std::string text;
    std::string command; // whose help to point to; empty: the general help
};

// The arguments after the program's name. Throws UsageError.
Invocation parseCommandLine(const std::vector<std::string>& args);

// Runs the program: parses, prints help or the version, or runs the command.
// A command that talks to the device needs a QCoreApplication, which this
// makes when there is none. Gives the exit code.
int runCommandLine(int argc, char** argv, std::ostream& out, std::ostream& err);

} // namespace t6::cli
