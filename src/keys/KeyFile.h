#pragma once
// The key file: Windows-1251 text, lines ending in CR LF, four lines for each
// of the ten rows:
//
//   #N            the row number, 1 to 10
//   description
//   code          hexadecimal digits, as the table holds them
//   /N
//
// Empty cells give empty lines. Many key files hold at most 11 bytes of a
// description; this writer keeps all of it (a description read from the
// device may have 12 bytes), and the reader takes any length.
//
// Reading takes every "#N" line followed by two lines; other lines are
// passed over. A "#" line that does not name a row 1 to 10, or that the file
// ends too soon after, is not well formed: it is skipped and reported by its
// line number, and the rows it would have filled keep their contents.

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "common/Bytes.h"
#include "keys/KeyTable.h"

namespace t6 {

// The 40 lines of the ten rows. A line break inside a description or a code
// (the file cannot hold one) is written as a blank.
Bytes writeKeyFile(const TouchKeys& keys);

struct KeyFileContent {
    // The rows the file fills; the others keep their contents.
    std::array<std::optional<TouchKey>, TouchKeyCount> rows;
    // Lines (counted from 1) that were not well formed and were skipped.
    std::vector<int> skippedLines;
};

// Lines end in CR LF, LF or a lone CR. A row given twice takes the last.
KeyFileContent readKeyFile(std::string_view file);

} // namespace t6
