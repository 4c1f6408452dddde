#pragma once
// The commands of the command-line program that read configuration files
// only: "show" (a file field by field, as text or as one JSON object),
// "diff" (the fields two files hold differently) and "sheet" (the
// configuration sheet of a file, as a PDF).

#include <iosfwd>
#include <string>

#include "config/ConfigCompare.h"

namespace t6::cli {

struct CommandContext;

// "torvel6 show FILE [--json]": exit 0, or the exit code of a file that
// cannot be read or is not a configuration.
int showCommand(CommandContext& context, const std::string& file, bool json);

// "torvel6 diff FILE1 FILE2": exit 0 when they hold the same configuration,
// 1 when any field differs, another code when a file cannot be read.
int diffCommand(CommandContext& context, const std::string& first, const std::string& second);

// "torvel6 sheet FILE --out SHEET.pdf [--force]": exit 0 when the sheet is
// written; the exit code of a file error when FILE cannot be read or is no
// configuration, or when SHEET.pdf cannot be written or exists without
// --force. Needs a QGuiApplication (the fonts). text: the language of the sheet.
int sheetCommand(CommandContext& context, const std::string& file, const std::string& sheet,
                 bool replace, const CaptionText& text);

} // namespace t6::cli
