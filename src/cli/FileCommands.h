#pragma once
// The commands of the command-line program that read configuration files
// only: "show" (a file field by field, as text or as one JSON object) and
// "diff" (the fields two files hold differently).

#include <iosfwd>
#include <string>

namespace t6::cli {

struct CommandContext;

// "torvel6 show FILE [--json]": exit 0, or the exit code of a file that
// cannot be read or is not a configuration.
int showCommand(CommandContext& context, const std::string& file, bool json);

// "torvel6 diff FILE1 FILE2": exit 0 when they hold the same configuration,
// 1 when any field differs, another code when a file cannot be read.
int diffCommand(CommandContext& context, const std::string& first, const std::string& second);

} // namespace t6::cli
