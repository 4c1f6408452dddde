#include "common/Cp1251.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace t6 {
namespace {

// Bytes 80 to FF. 98 is undefined in the code page and kept as U+0098.
constexpr char16_t kHigh[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

} // namespace

char32_t cp1251ToUnicode(unsigned char byte) {
    return byte < 0x80 ? char32_t(byte) : char32_t(kHigh[byte - 0x80]);
}

std::optional<unsigned char> unicodeToCp1251(char32_t ch) {
    if (ch < 0x80)
        return static_cast<unsigned char>(ch);
    // Cyrillic А..я is one block in both tables.
    if (ch >= 0x0410 && ch <= 0x044F)
        return static_cast<unsigned char>(0xC0 + (ch - 0x0410));
    for (std::size_t i = 0; i < std::size(kHigh); ++i)
        if (kHigh[i] == ch)
            return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

std::string cp1251ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes)
        appendUtf8(out, cp1251ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

std::optional<std::string> utf8ToCp1251(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        auto b0 = static_cast<unsigned char>(s[i]);
        char32_t cp;
        std::size_t len;
        if (b0 < 0x80) {
            cp = b0;
            len = 1;
        } else if ((b0 & 0xE0) == 0xC0) {
            cp = b0 & 0x1F;
            len = 2;
        } else if ((b0 & 0xF0) == 0xE0) {
            cp = b0 & 0x0F;
            len = 3;
        } else if ((b0 & 0xF8) == 0xF0) {
            cp = b0 & 0x07;
            len = 4;
        } else {
            return std::nullopt;
        }
        if (i + len > s.size())
            return std::nullopt;
        for (std::size_t k = 1; k < len; ++k) {
            auto b = static_cast<unsigned char>(s[i + k]);
            if ((b & 0xC0) != 0x80)
                return std::nullopt;
            cp = (cp << 6) | (b & 0x3F);
        }
        // Overlong forms are not valid UTF-8.
        if ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000))
            return std::nullopt;
        auto byte = unicodeToCp1251(cp);
        if (!byte)
            return std::nullopt;
        out.push_back(static_cast<char>(*byte));
        i += len;
    }
    return out;
}

std::string ru(std::string_view utf8) {
    auto r = utf8ToCp1251(utf8);
    if (!r)
        throw std::logic_error("system text is not Windows-1251: " + std::string(utf8));
    return *r;
}

std::string cp1251Lower(std::string_view bytes) {
    std::string out(bytes);
    for (char& c : out) {
        auto b = static_cast<unsigned char>(c);
        if (b >= 'A' && b <= 'Z')
            b = static_cast<unsigned char>(b + 0x20);
        else if (b >= 0xC0 && b <= 0xDF) // А..Я
            b = static_cast<unsigned char>(b + 0x20);
        else if (b == 0xA8) // Ё
            b = 0xB8;
        else if (b == 0x80) // Ђ
            b = 0x90;
        else if (b == 0x81) // Ѓ
            b = 0x83;
        else if (b == 0x8A || b == 0x8C || b == 0x8D || b == 0x8E || b == 0x8F) // Љ Њ Ќ Ћ Џ
            b = static_cast<unsigned char>(b + 0x10);
        else if (b == 0xA1) // Ў
            b = 0xA2;
        else if (b == 0xA3) // Ј
            b = 0xBC;
        else if (b == 0xA5) // Ґ
            b = 0xB4;
        else if (b == 0xAA) // Є
            b = 0xBA;
        else if (b == 0xAF) // Ї
            b = 0xBF;
        else if (b == 0xB2) // І
            b = 0xB3;
        else if (b == 0xBD) // Ѕ
            b = 0xBE;
        c = static_cast<char>(b);
    }
    return out;
}

std::string platformNameText(std::string_view name) {
    if (auto whole = utf8ToCp1251(name))
        return *whole;
    std::string out;
    std::size_t i = 0;
    while (i < name.size()) {
        const auto b = static_cast<unsigned char>(name[i]);
        std::size_t len = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : 4;
        len = std::min(len, name.size() - i);
        if (auto one = utf8ToCp1251(name.substr(i, len))) {
            out += *one;
            i += len;
            continue;
        }
        out += '?';
        ++i;
        while (i < name.size() && (static_cast<unsigned char>(name[i]) & 0xC0) == 0x80)
            ++i;
    }
    return out;
}

} // namespace t6
