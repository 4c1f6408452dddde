#pragma once
// A small reader and writer of Windows INI files holding Windows-1251 text, with
// the rules of the Windows profile functions, for the translation dictionary.
//
// Why our own and not a library: the Windows profile functions ignore letter case
// in section names and keys for Cyrillic letters as well as Latin ones ("ОТМЕНА"
// finds "отмена"), which a byte-wise ASCII fold does not do; and the dictionary is
// a file supplied with the program that the program only adds keys to, so adding
// a missing key must leave every other byte of that file as it was (no reordering,
// no re-quoting, no new line ends, comments kept), which a parse-and-rewrite
// library does not promise.
//
// Reading:
// - a section starts at a line "[name]" (blanks before "[" allowed, the name is the
//   text up to the first "]", blanks around it ignored); lines before the first
//   section belong to none;
// - an entry is a line with an "=": the key is the text before the first "=", the
//   value the text after it, both without the blanks (spaces and tabs) around them;
//   a value enclosed in a pair of double or single quotes is given without them;
// - lines without "=", blank lines and comment lines (first non-blank character
//   ";") are kept but take no part in lookups;
// - section names and keys are compared with letter case ignored (Windows-1251
//   Latin and Cyrillic letters); when a section name appears more than once only
//   its first section is used, and within it the first matching entry wins;
// - lines end in CR LF or LF.
//
// Writing changes only what it must: the value of an existing entry is replaced in
// place; a missing entry is inserted after the last entry line of its section (or
// right after the section's header); a missing section is added at the end of the
// file. Lines written end in CR LF.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/FileAccess.h"

namespace t6 {

class IniFile {
public:
    enum class SetResult {
        Changed,   // the bytes changed
        Unchanged, // the entry already held exactly this value
        Refused,   // the section, key or value cannot be written as an INI line
    };

    // An empty document.
    IniFile();
    // A document parsed from the bytes of a file. Never fails: every byte sequence
    // is a document, and bytes() gives the same bytes back.
    explicit IniFile(std::string_view bytes);

    // The largest file read: a dictionary is some tens of kilobytes.
    static constexpr std::size_t kMaxFileBytes = 8u << 20;

    // Reads a file. A missing file is an empty document. Nothing when something
    // exists at the path but cannot be read (a folder, a pipe, a device, a file
    // without the right to read it or larger than kMaxFileBytes); the reason
    // then goes to *failure. Never waits for a pipe's writer.
    static std::optional<IniFile> read(const std::filesystem::path& file,
                                       FileFailure* failure = nullptr);

    // Writes the document to a file, creating it when missing. The bytes go to a
    // temporary file beside it first, which then replaces the file, so a failed
    // write leaves the old file as it was; a file the user may not write (or
    // whose folder is write-protected) is not replaced at all. False with the
    // reason in *failure when nothing was written.
    bool write(const std::filesystem::path& file, FileFailure* failure = nullptr) const;

    // The value of a key, or nothing when the section or the key is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Sets the value of a key, adding the entry (and the section) when missing.
    // Refused when the section name is empty or holds "]", when the key is empty,
    // starts with "[" or ";" or holds "=", or when any of them holds a line break.
    SetResult setValue(std::string_view section, std::string_view key, std::string_view value);

    // The whole document as file bytes.
    std::string bytes() const;

    // Whether a key can be stored (and so ever be found again).
    static bool isStorableKey(std::string_view key);

private:
    struct Line {
        std::string text;           // with its line end, if it has one
        std::size_t valueBegin = 0; // the value's bytes within text, without blanks
        std::size_t valueEnd = 0;
    };
    struct Section {
        bool hasHeader = false;  // false for the lines before the first section
        std::vector<Line> lines; // lines[0] is the header line when hasHeader
        std::unordered_map<std::string, std::size_t> keys; // lowered key -> first entry line
        std::size_t lastEntry = 0; // index of the last entry line, 0 when there is none
    };

    void addLine(std::string text);
    static void indexEntry(Section& section, std::size_t lineIndex, std::string lowerKey);
    static void ensureLineEnd(Line& line);

    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> sectionIndex_; // lowered name -> first section
};

} // namespace t6
