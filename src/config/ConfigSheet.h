#pragma once
// The configuration sheet: a readable record of how the system is set up, to
// leave with the customer. It is made from the fields of describeConfig, in
// the window's language, as titled sections of plain lines; one renderer
// draws it on paper. Access key codes appear only by their last four digits.

#include <string>
#include <vector>

#include "common/Clock.h"
#include "config/ConfigCompare.h"

namespace t6 {

struct SheetSection {
    std::string title;              // Windows-1251
    std::vector<std::string> lines; // Windows-1251
};

struct ConfigSheet {
    std::string title;
    std::vector<std::string> heading; // the date, the device's version
    std::vector<SheetSection> sections;
};

struct SheetInfo {
    LocalTime date;            // the day the sheet is made
    std::string deviceVersion; // the connected device's version text; empty: none connected
};

// The sheet of a configuration given as describeConfig gives it: the site's
// telephones, the active zones (message, input type, entry delay, outputs with
// their times, telephones), the active temperature sensors (thresholds,
// thermostat, telephones), the wireless outputs, remote controls and wireless
// temperature sensors in use by name, the access keys by description.
ConfigSheet makeConfigSheet(const std::vector<FieldValue>& described, const SheetInfo& info,
                            const CaptionText& text = {});

// A key code as the sheet shows it: "…" and its last four characters; a code
// of four characters or fewer is not shown at all ("…"), since its last four
// would be the whole code. Windows-1251.
std::string keyCodeEnding(const std::string& code);

} // namespace t6
