#pragma once
// The commands that take fields of a configuration by name, and the history
// of the configurations the device held:
//   "get FILE NAME... [--json]"        the named fields as "show" prints them
//   "set FILE NAME=VALUE... [--out OTHER [--force]]"
//                                      the fields changed under the window's rules
//   "history [--site NAME] [--json]"   the versions kept, newest first
//   "history show N [--json]"          one version as "show" prints a file
//   "history --limit N"                how many versions are kept at most
//   "fields"                           the names of every field
// A FILE may also name a version: "@N" or "@SITE:latest".

#include <optional>
#include <string>
#include <vector>

namespace t6::cli {

struct CommandContext;

// Exit 0; 6 when the file cannot be read; 7 for a name no field has.
int getCommand(CommandContext& context, const std::string& file,
               const std::vector<std::string>& names, bool json);

// Exit 0 when every setting was taken and the file written; 7 when one was
// refused (the file is left as it was); 6 when a file cannot be read or written.
int setCommand(CommandContext& context, const std::string& file,
               const std::vector<std::string>& settings, const std::string& out, bool replace);

// "fields": every field's model name, one a line (for completion and scripts).
int fieldsCommand(CommandContext& context);

struct HistoryOptions {
    std::optional<std::string> site; // only this site's versions
    bool json = false;
    std::optional<int> limit; // set the limit instead of listing
};
int historyCommand(CommandContext& context, const HistoryOptions& options);
int historyShowCommand(CommandContext& context, const std::string& version, bool json);

} // namespace t6::cli
