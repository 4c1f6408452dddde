#pragma once
// What every command of the command-line program works with: its output and
// error streams, the language of its messages, the program directory, and the
// exit codes, which the help and the README list.

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include "common/Outcome.h"

namespace t6 {
struct FieldDifference;
}

namespace t6::cli {

namespace Exit {
inline constexpr int Ok = 0;
inline constexpr int Differs = 1;       // diff: the files differ
inline constexpr int Usage = 2;         // unknown command or option, missing argument
inline constexpr int WrongDevice = 3;   // identify: a device of another type
inline constexpr int NoAnswer = 4;      // the device did not answer
inline constexpr int VerifyDiffers = 5; // write --verify: the device holds something else
inline constexpr int FileError = 6;     // a file cannot be read or written, or is no configuration
inline constexpr int DeviceError = 7;   // a refused check, a wrong answer, no port, a port error
inline constexpr int Interrupted = 130; // Ctrl+C
} // namespace Exit

// The exit code an operation's outcome gives: done 0, no answer 4, a file
// that could not be read or written 6, anything else (an incomplete or wrong
// answer, a refusal, a lost port, a cancelled operation) 7. No outcome at all
// (the operation never said what became of it) is 7 too.
int exitCodeOf(const std::optional<Outcome>& outcome);

struct CommandContext {
    std::ostream& out;
    std::ostream& err;
    // Where the logs and the dictionary lie (the working directory).
    std::string programDir;
    // A message of the program (Windows-1251) in the chosen language (--lang).
    std::function<std::string(const std::string&)> translate;
    // Standard error is a terminal: progress lines may be shown there.
    bool errIsTerminal = false;
};

// Windows-1251 text as the terminal shows it (UTF-8). Line breaks become
// "\n"; any other control byte is shown as "?", so that nothing a device or a
// file holds can move the cursor or recolour the terminal.
std::string terminalText(const std::string& cp1251);

// A message (Windows-1251) as standard error shows it: every line begins with
// "torvel6: " and ends with "\n". A path that the message puts on a line of
// its own (a line beginning with "/" and without ": ") stays on the line of what is said of
// it: after a line ending in ":" it follows with a space ("... в файл: /a/b"),
// after any other line with ": " in place of a closing full stop ("Файл не
// найден: /a/b"); a message that begins with a path is followed by its next
// line ("/a/b: reason").
std::string errorLines(const std::string& cp1251);

// A field's value on one line of a tab-separated listing, as the terminal
// shows it: a line break, a tab or another control byte inside it is written
// as an escape ("\n", "\t", "\x1A") and a backslash as "\\".
std::string fieldLineText(const std::string& cp1251);

// One line of a listing of differing fields (diff, write --verify): the
// field's name, its caption and both values, tab-separated, ended by "\n".
std::string differenceLine(const FieldDifference& d);

} // namespace t6::cli
