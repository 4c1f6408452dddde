#pragma once
// Byte strings. The device, the files and the dictionary all speak single-byte
// Windows-1251, so a text of the core is a std::string holding those bytes.

#include <initializer_list>
#include <string>
#include <string_view>

namespace t6 {

using Bytes = std::string;

// Builds a byte string from byte values, for literal vectors: bytesOf({0xFE, 0xFF}).
Bytes bytesOf(std::initializer_list<int> values);

// Each byte as two lowercase hexadecimal digits, no separators: 4F 6B gives "4f6b".
std::string hexForm(std::string_view bytes);

} // namespace t6
