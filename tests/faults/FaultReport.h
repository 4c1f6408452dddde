#pragma once
// One line per scenario for the table of the fault runs: printed, and
// appended to the file named by T6_FAULTS_TABLE when it is set, so that a run
// of many test processes in parallel leaves one table.
//
//   SCENARIO|<test>|<operation>|<stage>|<fault>|<ms to idle or "never">|<told>|<ok or FAIL>|<note>

#include <optional>
#include <string>
#include <vector>

#include "faults/FaultRig.h"

namespace t6::test {

struct ReportLine {
    std::string test, operation, stage, fault;
    std::optional<int> msToIdle;
    std::vector<Told> told;
    bool passed = false;
    std::string note;
};

void report(const ReportLine& line);

// A told text on one line: its line breaks shown as " / ".
std::string oneLine(const std::string& text);
// The text up to its first line break.
std::string firstLine(const std::string& text);

} // namespace t6::test
