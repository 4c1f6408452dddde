#pragma once
// The configuration file: the whole configuration shown in the window as
// Windows-1251 lines, each ended by CR LF, in numbered sections. A section
// opens with "#" and its number and closes with "//#" and a number; the
// writer always produces the sections in one order, the reader takes them in
// any order and skips what it does not know.
//
// Some fields are raw bytes inside a line: the telephone masks, the three code
// bytes of a wireless output, the output bytes of the arming output and of
// button 4. They may take any value, CR, LF and 0x1A included, so the reader
// knows which lines are raw and takes them by their length; every other line
// ends at CR LF (at LF in a file whose first line ends at a bare LF).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Bytes.h"
#include "common/Clock.h"
#include "config/FieldDescription.h"

namespace t6 {

class ConfigModel;

// A configuration file is a few kilobytes; anything larger is not one.
inline constexpr std::size_t kMaxConfigFileBytes = 1u << 20;

// Why a file cannot be read on.
enum class ConfigFileFault {
    EmptyLine,      // an empty line where a character is read
    NotANumber,     // a text that is not a decimal number where a number is read
    ShortFlagLine,  // fewer flag characters than the line must hold
    EndsTooEarly,   // the file ends inside a section
    NoSections,     // the file holds no section this program knows
    NotWindows1251, // its texts are in UTF-8: the file was saved again in another encoding
    WrongWidth,     // a line of raw bytes has another width than its field
};

struct ConfigFileError {
    int line = 0;     // the line of the file, from 1; 0 for the file as a whole
    int section = -1; // the section it belongs to; -1 at the top level
    ConfigFileFault fault = ConfigFileFault::EmptyLine;
};

// The reason as the user reads it (Windows-1251, to be translated).
std::string configFileFaultText(ConfigFileFault fault);

// A section as the file names it: "#07", "#12".
std::string configSectionTag(int section);

// Section 0 holds the wireless outputs, sections 1 to ZoneCount the zones (the
// wired ones first), the next ones a telephone each.
inline constexpr int FirstTelephoneSection = ZoneCount + 1;

// What the file gives a field, as the reader asked the window to take it.
struct FileValue {
    enum class Kind { Flag, Text, Number, Choice };
    FieldId field = -1;
    Kind kind = Kind::Text;
    bool flag = false;
    std::string text;          // Text; Number: the number as the file writes it
    std::optional<int> choice; // Choice: the list position, or none
};

// A value of the file that the window does not hold as the file gives it: a
// rule refused or changed it, or it is out of its field's range.
struct LoadChange {
    FieldId field = -1;
    std::string fileValue;   // Windows-1251, as the file gives it
    std::string loadedValue; // as the window holds it after the load
};

struct ConfigFileLoad {
    // The report lines for the exchange memo, in the order they arose.
    std::vector<std::string> reportLines;
    // Set when the file could not be read to its end: the model was not touched.
    std::optional<ConfigFileError> error;
    // The sections every file of this format holds that this one lacks: their
    // fields keep the values of the reset.
    std::vector<int> missingSections;
    // What the file gives each field it names, for loadChanges.
    std::vector<FileValue> fileValues;
};

// The file for what the model holds; `now` gives the trailer's date and time.
// The telephone masks are built as while a file is saved (the temperature
// sensors' masks carry their activation in bit 7).
Bytes saveConfigFile(const ConfigModel& model, const LocalTime& now);

// Reads a whole file into the model. The file is checked to its end first: a
// malformed one leaves the model exactly as it was. A sound one resets the
// model (resetConfig) and is then read section by section through the model's
// setters, so every rule attached to a field runs. The caller holds the
// exchange mode at 300003 meanwhile.
ConfigFileLoad loadConfigFile(std::string_view bytes, ConfigModel& model);

// The values the model, once loaded and refreshed, holds otherwise than the
// file gives them, in the order of the file.
std::vector<LoadChange> loadChanges(const ConfigFileLoad& load, const ConfigModel& model);

// Whether a load took the file whole: no section missing, no value changed.
inline bool loadedWhole(const ConfigFileLoad& load, const std::vector<LoadChange>& changes) {
    return !load.error && load.missingSections.empty() && changes.empty();
}

// The lines of the load report for the missing sections and the changed
// values (Windows-1251, as the memo holds them).
std::vector<std::string> loadChangeReport(const ConfigFileLoad& load,
                                          const std::vector<LoadChange>& changes);

// What follows a sound load, wherever the file is shown: the reactions of a
// few boxes run once more with their loaded state (the activation of wired
// zones 1 and 2, their use of outputs, the temperature keeping of sensor 1),
// which may change what the file held. Still in the exchange mode 300003.
void refreshAfterLoad(ConfigModel& model);

} // namespace t6
