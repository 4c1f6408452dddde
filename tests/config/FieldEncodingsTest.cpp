#include <gtest/gtest.h>

#include "common/Bytes.h"
#include "config/FieldEncodings.h"

namespace t6 {
namespace {

TEST(BitStrings, MostSignificantFirstAndOnlyTheWidth) {
    EXPECT_EQ(toBitString(5, 8), "00000101");
    EXPECT_EQ(toBitString(0x80, 8), "10000000");
    EXPECT_EQ(toBitString(3, 3), "011");
    EXPECT_EQ(toBitString(0x1FF, 8), "11111111");
    EXPECT_EQ(fromBitString("00010011"), bytesOf({0x13}));
    EXPECT_EQ(fromBitString("111111111"), bytesOf({0xFF}));
    EXPECT_EQ(fromBitString(""), bytesOf({0x00}));
    EXPECT_EQ(fromBitString("1x1"), bytesOf({0x05})) << "other characters count as 0";
}

TEST(ControlChars, OnlyOneToThirtyOneGo) {
    EXPECT_EQ(stripControlChars(bytesOf({0x41, 0x01, 0x42, 0x00, 0x43, 0x0D})),
              bytesOf({0x41, 0x42, 0x00, 0x43}));
    EXPECT_EQ(stripControlChars(bytesOf({0x1F, 0x20, 0xFF})), bytesOf({0x20, 0xFF}));
}

TEST(Hex, PairsOfEitherCaseAndLowerCaseBack) {
    EXPECT_EQ(hexToBytes("0aFF10"), bytesOf({0x0A, 0xFF, 0x10}));
    EXPECT_EQ(bytesToHex(bytesOf({0x0A, 0xFF, 0x10})), "0aff10");
    EXPECT_EQ(hexToBytes(""), Bytes());
    EXPECT_EQ(bytesToHex(""), "");
    EXPECT_EQ(bytesToHex(bytesOf({0x00, 0x00, 0x00})), "000000");
}

TEST(Hex, OddLengthOrNonDigitIsAFailureNotAGuess) {
    EXPECT_EQ(hexToBytes("abc"), std::nullopt);
    EXPECT_EQ(hexToBytes("12g4"), std::nullopt);
    EXPECT_EQ(hexToBytes("12 4"), std::nullopt);
    EXPECT_EQ(hexToBytes("0x12"), std::nullopt);
}

TEST(PadRight, FillsButNeverCuts) {
    EXPECT_EQ(padRight("abc", '\0', 10), bytesOf({'a', 'b', 'c', 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(padRight("abcdefghijk", '\0', 10), "abcdefghijk");
    EXPECT_EQ(padRight("A3F1", '0', 6), "A3F100");
}

TEST(Telephones, ForTheDevice) {
    EXPECT_EQ(phoneForDevice("+79161234567"), "79161234567");
    EXPECT_EQ(phoneForDevice("+7916 1234567"), "7") << "a space is not a digit";
    EXPECT_EQ(phoneForDevice("89161234567"), "9161234567") << "the first character always goes";
    EXPECT_EQ(phoneForDevice(""), "7");
    EXPECT_EQ(phoneForDevice("+"), "7");
    EXPECT_EQ(phoneForDevice("+7"), "7");
    EXPECT_EQ(phoneForDevice("+ 79\r"), "79") << "blanks and control characters at the ends";
    EXPECT_EQ(phoneForDevice("+7%1"), "7");
}

TEST(Telephones, FromTheDevice) {
    EXPECT_EQ(phoneFromDevice("7"), "+7");
    EXPECT_EQ(phoneFromDevice("79161234567"), "+79161234567");
    EXPECT_EQ(phoneFromDevice("+7916"), "+7916");
    EXPECT_EQ(phoneFromDevice(""), "+");
}

TEST(Temperatures, TwosComplementAndTheReadBackThreshold) {
    EXPECT_EQ(temperatureByte(-55), 0xC9);
    EXPECT_EQ(temperatureFromByte(0xC9), -55);
    EXPECT_EQ(temperatureByte(125), 0x7D);
    EXPECT_EQ(temperatureFromByte(0x7D), 125);
    EXPECT_EQ(temperatureByte(-1), 0xFF);
    EXPECT_EQ(temperatureFromByte(0x7E), -130);
    EXPECT_EQ(temperatureFromByte(0x30), 48);
}

} // namespace
} // namespace t6
