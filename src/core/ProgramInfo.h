#pragma once
// The program as it introduces itself: its name, its version and its licence
// as the package states them.

#include <string>

namespace t6 {

inline constexpr const char* kProgramName = "torvel6-configurator";
inline constexpr const char* kProgramLicence = "Copyright 2026 Torvel. All rights reserved.";

// The version the programs answer to --version.
std::string programVersion();

} // namespace t6
