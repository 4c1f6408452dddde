#include "common/Cp1251.h"

#include "common/Bytes.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cerrno>
#include <optional>
#include <string>

namespace t6 {
namespace {

// One conversion through the C library's converter; nothing when it refuses.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok())
            iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    std::optional<std::string> operator()(const std::string& in) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        std::string src = in;
        char out[64];
        char* ip = src.data();
        std::size_t il = src.size();
        char* op = out;
        std::size_t ol = sizeof out;
        if (iconv(cd_, &ip, &il, &op, &ol) == static_cast<std::size_t>(-1))
            return std::nullopt;
        return std::string(out, op);
    }

private:
    iconv_t cd_;
};

std::string utf8Of(char32_t cp) {
    std::string s;
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | (cp >> 6));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (cp >> 18));
        s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return s;
}

TEST(Cp1251, EveryByteDecodesAsIconvDecodesIt) {
    Iconv decode("UTF-8", "CP1251");
    ASSERT_TRUE(decode.ok());
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const auto expected = decode(byte);
        if (b == 0x98) {
            // Undefined in the code page: iconv refuses it, we keep it as U+0098.
            EXPECT_FALSE(expected);
            EXPECT_EQ(U'\u0098', cp1251ToUnicode(0x98));
            EXPECT_EQ("\xC2\x98", cp1251ToUtf8(byte));
            continue;
        }
        ASSERT_TRUE(expected) << b;
        EXPECT_EQ(*expected, cp1251ToUtf8(byte)) << "byte " << b;
    }
}

TEST(Cp1251, EveryByteSurvivesTheRoundTrip) {
    Iconv encode("CP1251", "UTF-8");
    ASSERT_TRUE(encode.ok());
    std::string all;
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string utf8 = cp1251ToUtf8(byte);
        EXPECT_EQ(byte, utf8ToCp1251(utf8)) << "byte " << b;
        if (b == 0x98)
            EXPECT_FALSE(encode(utf8)) << "iconv has no byte for U+0098";
        else
            EXPECT_EQ(byte, encode(utf8)) << "byte " << b;
        all += byte;
    }
    EXPECT_EQ(all, utf8ToCp1251(cp1251ToUtf8(all)));
}

TEST(Cp1251, RefusesExactlyTheCharactersIconvRefuses) {
    Iconv encode("CP1251", "UTF-8");
    ASSERT_TRUE(encode.ok());
    int held = 0;
    for (char32_t cp = 0; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        const std::string utf8 = utf8Of(cp);
        const auto ours = utf8ToCp1251(utf8);
        if (cp == 0x98) {
            EXPECT_EQ(std::string("\x98"), ours);
            continue;
        }
        const auto theirs = encode(utf8);
        ASSERT_EQ(theirs.has_value(), ours.has_value()) << "U+" << std::hex << unsigned(cp);
        if (ours) {
            EXPECT_EQ(*theirs, *ours) << "U+" << std::hex << unsigned(cp);
            ++held;
        }
    }
    EXPECT_EQ(255, held);
}

TEST(Cp1251, Utf8ToCp1251RefusesWhatItCannotHold) {
    EXPECT_EQ(std::string("\x88"), utf8ToCp1251("€"));
    EXPECT_EQ(std::string("\xCF\xF0\xE8\xE2\xE5\xF2"), utf8ToCp1251("Привет"));
    EXPECT_EQ(std::string(""), utf8ToCp1251(""));
    EXPECT_EQ(std::string("a\0b", 3), utf8ToCp1251(std::string("a\0b", 3)));
    EXPECT_FALSE(utf8ToCp1251("😀"));
    EXPECT_FALSE(utf8ToCp1251("ä"));
    EXPECT_FALSE(utf8ToCp1251("ok ä ok"));
    // Malformed UTF-8: a lone continuation byte, a cut sequence, an overlong form,
    // a bad continuation, a byte no sequence starts with, a surrogate.
    for (const char* bad : {"\x80", "\xD0", "a\xE2\x82", "\xC0\xAF", "\xE0\x80\xAF", "\xD0\x41",
                            "\xFF", "\xF8\x88\x80\x80\x80", "\xED\xA0\x80"})
        EXPECT_FALSE(utf8ToCp1251(bad)) << hexForm(bad);
    EXPECT_THROW(ru("€ и ä"), std::logic_error);
    EXPECT_EQ(std::string("\xC0\xFF"), ru("Ая"));
}

// Lower case by the Unicode rules for the letters Windows-1251 holds.
char32_t unicodeLower(char32_t u) {
    if ((u >= U'A' && u <= U'Z') || (u >= 0x0410 && u <= 0x042F))
        return u + 0x20;
    if (u >= 0x0400 && u <= 0x040F)
        return u + 0x50;
    if (u == 0x0490)
        return 0x0491;
    return u;
}

TEST(Cp1251, LowerCaseFollowsUnicodeForEveryByte) {
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        const auto expected = unicodeToCp1251(unicodeLower(cp1251ToUnicode(byte)));
        ASSERT_TRUE(expected) << b;
        EXPECT_EQ(std::string(1, static_cast<char>(*expected)),
                  cp1251Lower(std::string(1, static_cast<char>(byte))))
            << "byte " << b;
    }
    EXPECT_EQ(ru("ёлка отмена ok 12"), cp1251Lower(ru("ЁЛКА ОтМеНа OK 12")));
}

} // namespace
} // namespace t6
