#pragma once
// What the window holds against another configuration, field by field, in
// the window's language: against the configuration last read from the device
// in this run (only the fields a write sends), or against a configuration
// file (only the fields a file holds), read into a model of its own and never
// into the window's. And the configuration sheet of what the window holds.

#include <string>
#include <vector>

#include "config/ConfigCompare.h"
#include "config/ConfigSheet.h"

namespace t6 {

class AppCore;
class Dictionary;

// Captions and values in a language ('E' English, else Russian): the window's
// captions through the dictionary's section of the window, the program's own
// words through that of the messages; Russian as written.
CaptionText captionTextIn(Dictionary& dictionary, char language);

struct Comparison {
    bool done = false; // false: `why` tells the user why nothing was compared
    std::string why;   // Windows-1251, in the language of the messages
    // before: the window; after: the device or the file.
    std::vector<FieldDifference> differences;
};

// The window against the configuration last read from the device.
Comparison compareWithLastRead(AppCore& core);

// The window against a configuration file, both as a file holds them (so a
// value no file can hold is no difference): only a regular file of at most
// kMaxConfigFileBytes is read, without waiting on a pipe or a device.
Comparison compareWithFile(AppCore& core, const std::string& path);

// The window against a version of the history, as against a file.
Comparison compareWithVersion(AppCore& core, int number);

// The sheet of the window's configuration; deviceVersion as the connected
// device gave it, empty when none is connected.
ConfigSheet windowSheet(AppCore& core, const std::string& deviceVersion);

} // namespace t6
