#pragma once
// The configuration as it was last read from the device in this run, field by
// field, for the comparison of the window with the device. It is taken when a
// read of the whole configuration completes (the window then holds exactly
// what the device sent); a read that does not complete, and a write, leave it
// as it was.

#include <optional>
#include <string>
#include <vector>

#include "config/ConfigCompare.h"

namespace t6 {

class ConfigModel;

class LastRead {
public:
    bool has() const { return fields_.has_value(); }
    // Nothing before the first complete read.
    const std::optional<std::vector<FieldValue>>& fields() const { return fields_; }
    void take(const ConfigModel& model);

private:
    std::optional<std::vector<FieldValue>> fields_;
};

} // namespace t6
