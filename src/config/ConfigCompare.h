#pragma once
// The configuration field by field, for reading and for comparing: every
// field of the model under its model name (for example
// "wiredZones[1].actions[2].minutes"), with its caption as the window shows
// it (the panel, the row and the control, in Russian) and its value as text.
// The window, the command line and the configuration sheet all use this one
// description, so that a field is named and shown the same everywhere.

#include <string>
#include <vector>

namespace t6 {

class ConfigModel;

// One field: texts are Windows-1251.
struct FieldValue {
    std::string name;    // the model name, ASCII
    std::string caption; // where the window shows it: panel, row, control
    std::string value;   // as the window shows it (a list's item, "1"/"0" for a box)
};

// Every field, in the order of the window's panels, the ten access keys last.
std::vector<FieldValue> describeConfig(const ConfigModel& model);

// A field whose values differ.
struct FieldDifference {
    std::string name;
    std::string caption;
    std::string before; // the value in the first configuration
    std::string after;  // the value in the second
};

// The fields of the two configurations that differ, in the order of
// describeConfig.
std::vector<FieldDifference> compareConfigs(const ConfigModel& before, const ConfigModel& after);

} // namespace t6
