#include "common/Bytes.h"

namespace t6 {

Bytes bytesOf(std::initializer_list<int> values) {
    Bytes out;
    out.reserve(values.size());
    for (int v : values)
        out.push_back(static_cast<char>(static_cast<unsigned char>(v)));
    return out;
}

std::string hexForm(std::string_view bytes) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 0x0F]);
    }
    return out;
}

} // namespace t6
