#pragma once
// The configuration field by field, for reading and for comparing: every
// field of the model under its model name (for example
// "wiredZones[1].actions[2].minutes"), with its caption as the window shows
// it (the panel, the row and the control, in Russian) and its value as text.
// The window, the command line and the configuration sheet all use this one
// description, so that a field is named and shown the same everywhere.

#include <functional>
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

// The model name and the caption (Russian) of one field of the table.
const std::string& fieldModelName(int fieldId);
const std::string& fieldCaption(int fieldId);

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

// Where a text of a caption or a value comes from: the window shows it as a
// caption of a control or an item of a list, or the program puts it beside
// them (the row's number, a telephone box's number, "да" for a ticked box).
enum class TextSource { Window, Program };
// A Russian text (Windows-1251) in the language to show; none: Russian.
using CaptionText = std::function<std::string(const std::string& text, TextSource source)>;

// The caption of one field of the table in a language (Russian without a function).
std::string fieldCaption(int fieldId, const CaptionText& text);

// The fields of describeConfig as they read in a language: each part of a
// caption put through `text`, a tick box's value as "да" or "нет", a list's
// item (an input type, an arming method, a fixed output) as the window's list
// shows it. Values the user typed or the device gave stay as they are.
// Without a function, in Russian.
std::vector<FieldValue> wordedFields(const std::vector<FieldValue>& described,
                                     const CaptionText& text);

// The fields whose values differ between two lists of describeConfig, in its
// order; only those `keep` keeps (all when none), worded through `text`
// (without a function, captions and values as describeConfig gives them).
std::vector<FieldDifference>
compareFields(const std::vector<FieldValue>& before, const std::vector<FieldValue>& after,
              const CaptionText& text = {},
              const std::function<bool(const std::string&)>& keep = {});

// Whether a write to the device sends the field of this model name: the
// window's own clock choice, the file-only choices and the access keys (the
// key table has its own write) are not sent.
bool isSentToDevice(const std::string& fieldName);
// Whether a configuration file holds the field: all but the clock choice and
// the access keys, which have files of their own.
bool isHeldInFile(const std::string& fieldName);

} // namespace t6
