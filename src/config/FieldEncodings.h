#pragma once
// The recurring forms of the device's records and of the configuration file:
// bit strings, hexadecimal, padded texts, telephone forms, temperature bytes.
// A "character" is one byte of Windows-1251.

#include <optional>
#include <string>
#include <string_view>

#include "common/Bytes.h"

namespace t6 {

// "1" for on, "0" for off.
constexpr char flagChar(bool on) {
    return on ? '1' : '0';
}

// w characters "0"/"1", the most significant of bits w-1 .. 0 of value first.
std::string toBitString(unsigned value, int width);

// One byte built from a text of "0"/"1" characters, first character most
// significant; any other character counts as 0, an empty text gives 0x00.
std::string fromBitString(std::string_view bits);

// The text without the bytes 01 to 1F (0x00 and every other byte stay).
std::string stripControlChars(std::string_view text);

// The value of one hexadecimal digit (either case), or -1.
int hexDigit(char c);

// Pairs of hexadecimal digits (either case) as bytes. Nothing when the text has
// an odd length or a character that is not a hexadecimal digit, so that the
// caller can stop before anything half-built is sent.
std::optional<Bytes> hexToBytes(std::string_view hex);

// Two lower-case hexadecimal digits per byte.
std::string bytesToHex(std::string_view bytes);

// The text with fill appended up to width; a longer text is never cut.
std::string padRight(std::string text, char fill, std::size_t width);

// A telephone as the device takes it: the first character (normally "+")
// dropped, blanks and control characters trimmed, digits only; "7" otherwise.
std::string phoneForDevice(std::string_view phone);

// A telephone as the window holds it: "+" put in front unless already there;
// an empty text gives "+".
std::string phoneFromDevice(std::string_view phone);

// A temperature of -55 to 125 as one byte (its low eight bits).
unsigned char temperatureByte(int celsius);
// A temperature byte read back: the value below 126, the value minus 256 otherwise.
int temperatureFromByte(unsigned char byte);

} // namespace t6
