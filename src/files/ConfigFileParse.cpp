// Taking the configuration file apart into its sections. Raw lines are taken
// by their length; every line a section needs is checked on the way.

#include "files/ConfigFileParse.h"

#include <array>
#include <span>
#include <utility>

namespace t6 {

namespace {

// What a line of a section must be.
enum class Line : std::uint8_t {
    Text,       // anything, up to the line end
    Char,       // at least one character
    Number,     // a decimal number
    PhoneFlags, // at least one flag character per telephone
    ZoneFlags,  // at least one flag character per zone
    Mask,       // one raw byte; may be empty
    Byte,       // one raw byte
    Output,     // the 14 raw bytes of a wireless output
};

using L = Line;

constexpr std::array<Line, 17> ZoneLines = {L::Text,   L::Text,   L::Text,   L::Text,   L::Number,
                                            L::Number, L::Number, L::Number, L::Number, L::Number,
                                            L::Number, L::Number, L::Number, L::Number, L::Number,
                                            L::Number, L::Mask};
constexpr std::array<Line, SensorLineCount> SensorLines = {L::Byte,   L::Text, L::Text, L::Text,
                                                           L::Number, L::Text, L::Text, L::Text};

// The lines of every section this reader knows, by section number.
std::vector<Line> layoutOf(int n) {
    auto repeat = [](std::span<const Line> part, int times, std::vector<Line> tail = {}) {
        std::vector<Line> v;
        for (int i = 0; i < times; ++i) {
            v.insert(v.end(), part.begin(), part.end());
            v.insert(v.end(), tail.begin(), tail.end());
        }
        return v;
    };
    if (n == 0)
        return std::vector<Line>(WirelessOutputCount, L::Output);
    if (n >= 1 && n <= ZoneCount)
        return {ZoneLines.begin(), ZoneLines.end()};
    if (n >= FirstTelephoneSection && n < FirstTelephoneSection + TelephoneCount)
        return {L::Text};
    switch (n) {
    case 20:
    case 37:
    case 38:
        return {L::Text};
    case 21:
        return {L::PhoneFlags, L::PhoneFlags};
    case 23:
        return repeat(SensorLines, WiredSensorCount);
    case 28:
    case 99:
        return {L::Text, L::Text};
    case 36:
        return {L::Text, L::Text, L::ZoneFlags};
    case 39:
        return {L::Text, L::Text, L::Text, L::Byte};
    case 41:
        return {L::Char, L::PhoneFlags};
    case 42:
    case 43:
    case 44:
    case 45:
        return {L::Char};
    case 100: {
        std::vector<Line> v(2 * RemoteControlCount, L::Text);
        v.insert(v.end(), {L::Byte, L::Text, L::Text});
        return v;
    }
    case 101:
        return repeat(SensorLines, WirelessSensorCount, {L::Text, L::Text});
    default:
        return {};
    }
}

} // namespace

std::optional<std::int32_t> fileDecimal(std::string_view s) {
    std::size_t i = 0, e = s.size();
    while (i < e && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    while (e > i && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    bool negative = false;
    if (i < e && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    if (i == e)
        return std::nullopt;
    std::int64_t v = 0;
    for (; i < e; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return std::nullopt;
        v = v * 10 + (s[i] - '0');
        if (v > 2147483648LL)
            return std::nullopt;
    }
    v = negative ? -v : v;
    if (v > 2147483647LL)
        return std::nullopt;
    return static_cast<std::int32_t>(v);
}

namespace {

// Lines of the file. A line ends at CR LF, or at LF in a file whose line ends
// were converted; which of the two is told by the end of the first line, as a
// raw byte further on may be a CR just before a converted line end. A raw line
// is taken by its length when its bytes are followed by the line end, so that
// raw CR, LF and 0x1A bytes stay in their field; otherwise it reads as a text
// line.
class LineReader {
public:
    struct Read {
        std::string_view text;
        bool ended = true; // false: the file ends in this line, before its line end
    };

    explicit LineReader(std::string_view data) : d_(data), end_(lineEndOf(data)) {}

    bool atEnd() const { return pos_ >= d_.size(); }
    // The number of the line read next, from 1.
    int nextLine() const { return line_ + 1; }

    std::optional<Read> text() {
        if (atEnd())
            return std::nullopt;
        ++line_;
        const std::size_t e = d_.find(end_, pos_);
        if (e == std::string_view::npos) {
            Read r{d_.substr(pos_), false};
            pos_ = d_.size();
            return r;
        }
        Read r{d_.substr(pos_, e - pos_), true};
        pos_ = e + end_.size();
        return r;
    }

    std::optional<Read> raw(std::size_t n) {
        if (atEnd())
            return std::nullopt;
        // A line that starts with its end is empty, whatever follows.
        if (n > 1 && d_.substr(pos_, end_.size()) == end_)
            return text();
        const std::size_t after = pos_ + n;
        if (after < d_.size() && d_.substr(after, end_.size()) == end_) {
            ++line_;
            Read r{d_.substr(pos_, n), true};
            pos_ = after + end_.size();
            return r;
        }
        return text();
    }

private:
    static std::string_view lineEndOf(std::string_view data) {
        const std::size_t lf = data.find('\n');
        return lf != std::string_view::npos && (lf == 0 || data[lf - 1] != '\r') ? "\n" : "\r\n";
    }

    std::string_view d_;
    std::string_view end_;
    std::size_t pos_ = 0;
    int line_ = 0;
};

// How a line stands to UTF-8: a Windows-1251 text of Russian words is
// nearly never valid UTF-8 (its small letters are bytes E0 to FF, which UTF-8
// only has as the lead of a sequence), while an editor that saved the file
// again in UTF-8 turned every Cyrillic letter into a two-byte sequence.
struct Utf8Look {
    bool valid = true;       // the line is valid UTF-8
    bool multiByte = false;  // and holds a sequence of two or more bytes
    int letters = 0;         // sequences that are Russian letters
    bool onlyLetters = true; // every such sequence is one
};

Utf8Look utf8Look(std::string_view s) {
    Utf8Look look;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80                 ? 1
                              : c >= 0xC2 && c <= 0xDF ? 2
                              : c >= 0xE0 && c <= 0xEF ? 3
                              : c >= 0xF0 && c <= 0xF4 ? 4
                                                       : 0;
        if (n == 0 || i + n > s.size()) {
            look.valid = false;
            return look;
        }
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
                look.valid = false;
                return look;
            }
        if (n > 1) {
            look.multiByte = true;
            // А to п, Ё (D0 90-BF, D0 81) and р to я, ё (D1 80-8F, D1 91).
            const auto t = static_cast<unsigned char>(s[i + 1]);
            const bool letter = n == 2 && ((c == 0xD0 && (t >= 0x90 || t == 0x81)) ||
                                           (c == 0xD1 && (t <= 0x8F || t == 0x91)));
            look.onlyLetters = look.onlyLetters && letter;
            look.letters += letter ? 1 : 0;
        }
        i += n;
    }
    return look;
}

// Watches the text lines of a file. A line whose only multi-byte sequences
// are two or more Russian letters in UTF-8 was saved in UTF-8 (one such pair
// may be a Windows-1251 "Р" or "С" before a sign); so was a file whose texts
// are all valid UTF-8 with a multi-byte sequence somewhere.
class EncodingWatch {
public:
    void text(std::string_view line, int lineNo, int section) {
        const Utf8Look look = utf8Look(line);
        allValid_ = allValid_ && look.valid;
        if (!look.valid || !look.multiByte)
            return;
        const ConfigFileError at{lineNo, section, ConfigFileFault::NotWindows1251};
        if (!firstAny_)
            firstAny_ = at;
        if (look.onlyLetters && look.letters >= 2 && !firstLetters_)
            firstLetters_ = at;
    }
    std::optional<ConfigFileError> fault() const { return allValid_ ? firstAny_ : firstLetters_; }

private:
    bool allValid_ = true;
    std::optional<ConfigFileError> firstAny_;
    std::optional<ConfigFileError> firstLetters_;
};

// The width of a raw line: an output line has 14 bytes, a byte line one, a
// mask line one or none.
bool hasItsWidth(Line kind, std::size_t width) {
    switch (kind) {
    case L::Output:
        return width == 14;
    case L::Byte:
        return width == 1;
    case L::Mask:
        return width <= 1;
    default:
        return true;
    }
}

} // namespace

ParsedFile parseConfigFile(std::string_view bytes) {
    ParsedFile p;
    LineReader r(bytes);
    EncodingWatch encoding;
    // A file in UTF-8 as a whole: a raw line of the wrong width is told as the
    // encoding it comes from.
    const Utf8Look whole = utf8Look(bytes);
    const bool inUtf8 = whole.valid && whole.multiByte;
    auto fail = [&p](int line, int section, ConfigFileFault f) {
        p.error = ConfigFileError{line, section, f};
        p.sections.clear();
        return std::move(p);
    };
    while (!r.atEnd()) {
        const int at = r.nextLine();
        const std::string_view l = r.text()->text;
        encoding.text(l, at, -1);
        if (l.empty())
            return fail(at, -1, ConfigFileFault::EmptyLine);
        if (l.front() != '#')
            continue;
        auto n = fileDecimal(l.substr(1, 3));
        if (!n)
            return fail(at, -1, ConfigFileFault::NotANumber);
        if (*n > 101)
            continue;
        const std::vector<Line> layout = layoutOf(*n);
        if (layout.empty())
            continue;
        FileSection s{*n, {}};
        s.lines.reserve(layout.size());
        for (Line kind : layout) {
            const int lineNo = r.nextLine();
            std::optional<LineReader::Read> read;
            const bool raw = kind == L::Mask || kind == L::Byte || kind == L::Output;
            switch (kind) {
            case L::Mask:
            case L::Byte:
                read = r.raw(1);
                break;
            case L::Output:
                read = r.raw(14);
                break;
            default:
                read = r.text();
                break;
            }
            // A section is whole only when its last line has its line end too.
            if (!read || !read->ended)
                return fail(lineNo, *n, ConfigFileFault::EndsTooEarly);
            const std::string_view v = read->text;
            if (!raw)
                encoding.text(v, lineNo, *n);
            const bool needsChar = kind == L::Char || kind == L::Byte || kind == L::Output;
            if (needsChar && v.empty())
                return fail(lineNo, *n, ConfigFileFault::EmptyLine);
            // Raw bytes stand at fixed places: a line of another width (a byte
            // of 0x80 or more saved again in UTF-8 takes two) would put its
            // fields in the wrong places.
            if (raw && !hasItsWidth(kind, v.size()))
                return fail(lineNo, *n,
                            inUtf8 ? ConfigFileFault::NotWindows1251 : ConfigFileFault::WrongWidth);
            if (kind == L::Number && !fileDecimal(v))
                return fail(lineNo, *n, ConfigFileFault::NotANumber);
            if ((kind == L::PhoneFlags && v.size() < TelephoneCount) ||
                (kind == L::ZoneFlags && v.size() < ZoneCount))
                return fail(lineNo, *n, ConfigFileFault::ShortFlagLine);
            s.lines.push_back(v);
        }
        p.sections.push_back(std::move(s));
    }
    // Texts in UTF-8 would reach the device as other letters: the file is refused
    // at its first such line, even where a raw line was read without fault.
    if (auto fault = encoding.fault())
        return fail(fault->line, fault->section, fault->fault);
    return p;
}

} // namespace t6
