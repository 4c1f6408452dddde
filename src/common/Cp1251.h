#pragma once
// The one Windows-1251 codec of the program: a fixed table, independent of how
// the toolkit was built. The window converts with it when it shows or takes text,
// and system texts written as UTF-8 literals are converted with it too.

#include <optional>
#include <string>
#include <string_view>

namespace t6 {

// The Unicode character of one Windows-1251 byte. The one byte the code page
// leaves undefined, 98, maps to U+0098 so that every byte survives a round trip.
char32_t cp1251ToUnicode(unsigned char byte);

// The Windows-1251 byte of a character, or nothing when the code page cannot hold it.
std::optional<unsigned char> unicodeToCp1251(char32_t ch);

// Windows-1251 bytes to UTF-8. Never fails.
std::string cp1251ToUtf8(std::string_view bytes);

// UTF-8 to Windows-1251, or nothing when the text is not valid UTF-8 or holds a
// character Windows-1251 cannot hold (nothing is ever silently replaced).
std::optional<std::string> utf8ToCp1251(std::string_view utf8);

// A system text written as a UTF-8 literal in the source, as Windows-1251 bytes.
// A literal that cannot be converted is a programming error: std::logic_error.
std::string ru(std::string_view utf8);

// A name of the platform (a file or port path, UTF-8 on Linux) as Windows-1251
// text for a message, the status bar or a log; characters the code page cannot
// hold become "?". The name itself stays as it is for opening.
std::string platformNameText(std::string_view name);

// Letter case folding of Windows-1251 text (Latin and Cyrillic letters), used
// where letter case is ignored, as in the keys of the dictionary.
std::string cp1251Lower(std::string_view bytes);

} // namespace t6
