#pragma once
// The help texts of "torvel6" and its commands.

#include <string>

namespace t6::cli {

// The help of a command ("read", "keys write", "keys" for both key
// commands), or of the program when command is empty.
std::string helpText(const std::string& command);

} // namespace t6::cli
