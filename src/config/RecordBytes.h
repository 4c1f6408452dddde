#pragma once
// What every decoder of a received block shares: the byte at a position, read
// only when it exists, and the answer of a record decoder.

#include <cstddef>
#include <optional>
#include <string_view>

namespace t6 {

// The position of the last byte a record decoder consumed, or nothing when the
// record is cut short by the end of the block (nothing past the end is read).
using RecordEnd = std::optional<std::size_t>;

// The byte at position i of the block, or nothing past its end.
inline std::optional<unsigned char> byteAt(std::string_view block, std::size_t i) {
    if (i >= block.size())
        return std::nullopt;
    return static_cast<unsigned char>(block[i]);
}

} // namespace t6
