#pragma once
// What a verification after a write compares: the configuration file that
// was written and the configuration the device gives back, both as a file
// loads them into a window that has just started (the device's through the
// file the window would save of it), field by field (the fields of
// config/ConfigCompare.h, under the same names). So a value the device
// cannot hold as the file has it (a message longer than its record) is
// found, while the forms in which the device and a file carry the same value
// (an unused sensor's code, three zero bytes or an empty field) are not told
// apart.
//
// Fields the device does not keep are left out: its clock runs on from the
// date and time written (and whether the window's clock follows the
// computer's is the window's own), the message language and the siren
// output choice live only in files, and the access keys are not part of the
// configuration the device gives back.

#include <string>
#include <vector>

#include "common/Bytes.h"
#include "common/Clock.h"
#include "config/ConfigCompare.h"

namespace t6 {
class ConfigModel;
}

namespace t6::cli {

// Whether the device keeps the field of this model name.
bool isKeptByDevice(const std::string& fieldName);

// The fields the device keeps that `readBack` holds otherwise than the
// configuration file `written` (its bytes as they were loaded).
std::vector<FieldDifference> verifyDifferences(const Bytes& written, const ConfigModel& readBack,
                                               const LocalTime& now);

} // namespace t6::cli
