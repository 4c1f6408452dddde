#include "config/FieldEncodings.h"

namespace t6 {

std::string toBitString(unsigned value, int width) {
    std::string s;
    for (int i = width - 1; i >= 0; --i)
        s.push_back(i < 32 && ((value >> i) & 1u) ? '1' : '0');
    return s;
}

std::string fromBitString(std::string_view bits) {
    unsigned n = 0;
    for (char c : bits)
        n = ((n << 1) | (c == '1' ? 1u : 0u)) & 0xFFu;
    return std::string(1, static_cast<char>(n));
}

std::string stripControlChars(std::string_view text) {
    std::string out;
    for (char c : text) {
        auto b = static_cast<unsigned char>(c);
        if (b < 0x01 || b > 0x1F)
            out.push_back(c);
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

namespace {

bool isTrimmed(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

} // namespace

std::optional<Bytes> hexToBytes(std::string_view hex) {
    if (hex.size() % 2 != 0)
        return std::nullopt;
    Bytes out;
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        int hi = hexDigit(hex[i]);
        int lo = hexDigit(hex[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out.push_back(static_cast<char>(hi * 16 + lo));
    }
    return out;
}

std::string bytesToHex(std::string_view bytes) {
    return hexForm(bytes);
}

std::string padRight(std::string text, char fill, std::size_t width) {
    if (text.size() < width)
        text.append(width - text.size(), fill);
    return text;
}

std::string phoneForDevice(std::string_view phone) {
    std::string_view rest = phone.empty() ? phone : phone.substr(1);
    while (!rest.empty() && isTrimmed(rest.front()))
        rest.remove_prefix(1);
    while (!rest.empty() && isTrimmed(rest.back()))
        rest.remove_suffix(1);
    if (rest.empty())
        return "7";
    for (char c : rest)
        if (c < '0' || c > '9')
            return "7";
    return std::string(rest);
}

std::string phoneFromDevice(std::string_view phone) {
    if (!phone.empty() && phone.front() == '+')
        return std::string(phone);
    std::string text(1, '+');
    text += phone;
    return text;
}

unsigned char temperatureByte(int celsius) {
    return static_cast<unsigned char>(celsius & 0xFF);
}

int temperatureFromByte(unsigned char byte) {
    return byte < 126 ? byte : byte - 256;
}

} // namespace t6
