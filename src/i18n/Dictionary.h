#pragma once
// The translation dictionary "trans.dic" beside the program: an INI file in
// Windows-1251 whose sections translate the window's captions ("Rus", "Eng") and
// the messages ("Rus1", "Eng1"). The file comes with the program; the program
// only adds to it the keys it looked up and did not find, with empty values, so
// that the file collects the texts still to be translated.
//
// Keys. A key is the source text with every "&" removed (accelerator marks take
// no part). An INI line cannot hold a line break, so each line break of the
// source text (CR LF, a lone CR or a lone LF) is written in the key as the two
// characters backslash and "n": the message "Строка 1\r\nСтрока 2" has the key
// "Строка 1\nСтрока 2" (with a real backslash). In a value, each backslash-"n"
// pair is given back as CR LF. A source text holding a backslash-"n" pair of its
// own therefore shares its key with the same text broken there.
//
// Letter case of keys and the blanks around keys and values do not matter, as in
// any INI file. A key that an INI line cannot hold (one holding "=", or starting
// with "[" or ";") is never found and never written: its text is shown untranslated.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/FileAccess.h"
#include "common/Prompts.h"
#include "i18n/IniFile.h"

namespace t6 {

inline constexpr const char* kDictionaryFileName = "trans.dic";

// The dictionary's path in the program directory.
std::filesystem::path dictionaryPathIn(const std::filesystem::path& programDir);

// The key of a source text: without "&", line breaks as backslash-"n".
std::string dictionaryKey(const std::string& source);
// The text a value stands for: backslash-"n" pairs as CR LF.
std::string dictionaryValueText(const std::string& value);

class Dictionary {
public:
    explicit Dictionary(std::filesystem::path file);

    // The full path of the file.
    const std::filesystem::path& path() const { return path_; }

    // The dictionary installed with the program, read instead while nothing is
    // at the path: a folder without a dictionary of its own still translates.
    // It is only ever read. Keys still to be translated then go into a new file
    // at the path, which starts as a copy of the installed dictionary.
    void setDefaultFile(std::filesystem::path file);

    // Whether anything exists at the path now (a file, or a folder or pipe in
    // its place), or the installed dictionary stands in for it.
    bool exists() const;
    // Whether the file could be read the last time it was looked at (reads it
    // now when it changed). A missing file counts as readable: it is an empty
    // dictionary.
    bool readable();

    // The text to use for a source text in a section. An empty source gives an
    // empty text and no lookup. A non-empty value is the result. Otherwise the key
    // is added to the section with an empty value (creating the section and the
    // file when needed) and the result is the source text itself, "&" included:
    // a text is never replaced by nothing.
    std::string lookup(const std::string& section, const std::string& source);

    // Between beginBatch() and the matching endBatch() the keys added are kept in
    // memory and written once, at the end (a whole window is translated with one
    // write). Batches may nest; the outermost end writes.
    void beginBatch();
    void endBatch();

    class Batch {
    public:
        explicit Batch(Dictionary& d) : d_(d) { d_.beginBatch(); }
        ~Batch() { d_.endBatch(); }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        Dictionary& d_;
    };

    // Writes the keys added and not yet written. True when nothing is left to write.
    bool flush();
    // Why the last read or write of the file failed; empty when it succeeded.
    // A failure never stops a lookup: the text is still given, the keys stay in
    // memory and the next write tries again. A file that exists but cannot be read
    // is never written over, nor is one the user may not write: its missing keys
    // are then simply not added. When a file that was read becomes unreadable,
    // what was read from it goes on translating.
    const FileFailure& lastFailure() const { return failure_; }

    // True once for each time the file is found unreadable: the user is told
    // once, not before every message.
    bool takeUnreadableNotice();
    // How many times the file has been written, for tests and diagnostics.
    int writeCount() const { return writes_; }

private:
    struct Stamp {
        bool exists = false;
        std::uintmax_t size = 0;
        std::filesystem::file_time_type modified{};
        bool operator==(const Stamp&) const = default;
    };
    Stamp currentStamp() const;
    void refresh();

    bool defaultReadable() const;

    std::filesystem::path path_;
    std::filesystem::path default_;
    IniFile doc_;
    bool loaded_ = false;
    bool readable_ = true; // false when the file exists but could not be read
    std::vector<std::pair<std::string, std::string>> pending_; // added, not yet written
    Stamp stamp_;
    int batchDepth_ = 0;
    bool checkedInBatch_ = false;
    int writes_ = 0;
    FileFailure failure_;
    bool unreadableTold_ = false;
};

// The section of the messages for a language letter: "Eng1" for 'E', "Rus1" otherwise.
std::string sectionForMessages(char languageLetter);
// The section of the window captions for a language letter: "Eng" for 'E', "Rus" otherwise.
std::string sectionForWindow(char languageLetter);

// "No exists" followed by the full path of the file, as the user is told when the
// dictionary file is missing.
std::string noDictionaryText(const Dictionary& dict);

// Before a translation: when the dictionary file is missing the user is told so
// ("No exists" and the path, every time; the lookup then creates the file); when
// something is at its place that cannot be read, the user is told once, with the
// reason, in the language of the messages as far as the dictionary still can say it.
void checkDictionaryFile(Dictionary& dict, char languageLetter, Prompts& prompts);

// The text to show for a message: the file is checked first (checkDictionaryFile),
// then the message is looked up in the section of the language.
std::string TranslateText(Dictionary& dict, const std::string& text, char languageLetter,
                          Prompts& prompts);

} // namespace t6
