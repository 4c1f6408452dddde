#pragma once
// The support report: one tar archive with what whoever supports the program
// needs to see what happened: the three exchange logs, the backup file
// "save.000", the configuration in the window, the port list and the
// program's version. Telephones and key codes are hidden unless the user
// keeps them (core/SupportMasking.h says how). A file that cannot be read is
// left out and named, with the reason, in the archive's "about.txt"; it is no
// failure.

#include <array>
#include <string>
#include <vector>

#include "common/Bytes.h"
#include "common/Clock.h"
#include "common/DeviceDimensions.h"
#include "common/FileAccess.h"
#include "common/Prompts.h"

namespace t6 {

class AppCore;

// The files a report takes from the program folder are read up to this size.
inline constexpr std::size_t kMaxReportedFileBytes = 64u << 20;

struct SupportReportInput {
    std::string programName;            // with its version
    std::string programFolder;          // where the logs and save.000 lie
    std::vector<std::string> memoLines; // this run's memo so far
    Bytes configuration;                // the window's configuration as a file holds it
    std::array<std::string, TelephoneCount> telephones; // as the window shows them
    std::array<std::string, TouchKeyCount> keyCodes;    // the key table's codes
    std::vector<std::string> ports;                     // one line each, UTF-8
    std::string device; // the device's version; empty when none answered
    LocalTime now;
    bool keepPrivate = false; // telephones and key codes as they are
};

// The archive's members, in its order, under the folder "torvel6-support/",
// when every file could be read.
std::vector<std::string> supportReportMembers();

Bytes makeSupportReport(const SupportReportInput& in);

// What the report takes from a run: everything but the port lines and the
// user's choice. The configuration is written as a save writes it.
SupportReportInput supportReportInput(AppCore& core);

// The save dialog, proposing "torvel6-support-YYYYMMDD-HHMM.tar".
FileDialogRequest supportReportDialog(const LocalTime& now);

} // namespace t6
