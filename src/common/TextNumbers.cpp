#include "common/TextNumbers.h"

namespace t6 {

std::optional<std::int32_t> parseInteger(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        negative = s[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < s.size() && (s[i] == '$' || s[i] == 'x' || s[i] == 'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size())
        return std::nullopt;
    std::uint64_t value = 0;
    for (; i < s.size(); ++i) {
        char c = s[i];
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return std::nullopt;
        value = value * base + d;
        if (value > 0xFFFFFFFFull)
            return std::nullopt;
    }
    if (base == 16) {
        // Hexadecimal covers the whole 32-bit pattern, as the device's tools write it.
        auto bits = static_cast<std::uint32_t>(value);
        auto v = static_cast<std::int32_t>(bits);
        return negative ? static_cast<std::int32_t>(0u - bits) : v;
    }
    if (negative) {
        if (value > 0x80000000ull)
            return std::nullopt;
        return static_cast<std::int32_t>(-static_cast<std::int64_t>(value));
    }
    if (value > 0x7FFFFFFFull)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

} // namespace t6
