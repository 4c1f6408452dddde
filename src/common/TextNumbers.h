#pragma once
// Whole numbers written as text, with the rules the device's texts and the
// window's fields follow.

#include <cstdint>
#include <optional>
#include <string_view>

namespace t6 {

// A whole 32-bit integer: leading blanks skipped, then an optional "-" or "+",
// then decimal digits, or hexadecimal digits after a "$", "x", "X" or "0x" mark.
// Nothing may follow the digits: "7," is not an integer, " 7" is 7.
std::optional<std::int32_t> parseInteger(std::string_view text);

} // namespace t6
