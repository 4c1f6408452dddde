#pragma once
// Taking a configuration file apart into its sections, line by line, with
// every line a section needs checked on the way: the first step of the
// reader, which touches no model.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "common/DeviceDimensions.h"
#include "files/ConfigFile.h"

namespace t6 {

// The lines of a temperature sensor; a wireless one has its name and code after them.
inline constexpr int SensorLineCount = 8;
inline constexpr int WirelessSensorLineCount = SensorLineCount + 2;

// A decimal number: optional blanks, an optional sign, digits, optional blanks.
std::optional<std::int32_t> fileDecimal(std::string_view s);

struct FileSection {
    int number = 0;
    std::vector<std::string_view> lines; // views into the file's bytes
};

struct ParsedFile {
    std::vector<FileSection> sections;
    std::optional<ConfigFileError> error;
};

// The sections of the file in their order, or the first fault (then no sections).
ParsedFile parseConfigFile(std::string_view bytes);

} // namespace t6
