#pragma once
// Small text rules the model's files share.

#include <optional>
#include <string>

namespace t6::model_detail {

// The text without blanks and control characters at both ends.
inline std::string trimmed(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return s.substr(b, e - b);
}

// A value outside lo..hi is no value.
inline std::optional<int> within(std::optional<int> v, int lo, int hi) {
    if (v && (*v < lo || *v > hi))
        return std::nullopt;
    return v;
}

} // namespace t6::model_detail
