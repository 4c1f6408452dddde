#include "i18n/IniFile.h"

#include "common/AtomicFile.h"
#include "common/Cp1251.h"

namespace t6 {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

bool hasLineBreak(std::string_view s) {
    return s.find('\r') != std::string_view::npos || s.find('\n') != std::string_view::npos;
}

// The text of a line without its line end.
std::string_view contentOf(std::string_view text) {
    if (!text.empty() && text.back() == '\n')
        text.remove_suffix(1);
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    return text;
}

struct Parsed {
    enum Kind { Other, Header, Entry } kind = Other;
    std::string_view name; // section name or key, without blanks
    std::size_t valueBegin = 0;
    std::size_t valueEnd = 0;
};

Parsed parseLine(std::string_view text) {
    Parsed p;
    const std::string_view content = contentOf(text);
    std::size_t b = 0;
    while (b < content.size() && isBlank(content[b]))
        ++b;
    if (b == content.size() || content[b] == ';')
        return p;
    if (content[b] == '[') {
        auto close = content.find(']', b + 1);
        if (close != std::string_view::npos) {
            p.kind = Parsed::Header;
            p.name = trimmed(content.substr(b + 1, close - b - 1));
            return p;
        }
    }
    auto eq = content.find('=', b);
    if (eq == std::string_view::npos)
        return p;
    p.kind = Parsed::Entry;
    p.name = trimmed(content.substr(b, eq - b));
    std::size_t vb = eq + 1;
    std::size_t ve = content.size();
    while (vb < ve && isBlank(content[vb]))
        ++vb;
    while (ve > vb && isBlank(content[ve - 1]))
        --ve;
    p.valueBegin = vb;
    p.valueEnd = ve;
    return p;
}

std::string lowered(std::string_view s) {
    return cp1251Lower(trimmed(s));
}

} // namespace

IniFile::IniFile() {
    sections_.emplace_back();
}

IniFile::IniFile(std::string_view bytes) : IniFile() {
    std::size_t start = 0;
    while (start < bytes.size()) {
        auto nl = bytes.find('\n', start);
        std::size_t end = nl == std::string_view::npos ? bytes.size() : nl + 1;
        addLine(std::string(bytes.substr(start, end - start)));
        start = end;
    }
}

void IniFile::addLine(std::string text) {
    const Parsed p = parseLine(text);
    // p.name points into text: fold it before text is moved away.
    std::string lowerName = p.kind == Parsed::Other ? std::string() : cp1251Lower(p.name);
    if (p.kind == Parsed::Header) {
        Section s;
        s.hasHeader = true;
        sectionIndex_.emplace(std::move(lowerName), sections_.size());
        s.lines.push_back(Line{std::move(text)});
        sections_.push_back(std::move(s));
        return;
    }
    Section& s = sections_.back();
    Line line{std::move(text)};
    if (p.kind == Parsed::Entry) {
        line.valueBegin = p.valueBegin;
        line.valueEnd = p.valueEnd;
    }
    s.lines.push_back(std::move(line));
    if (p.kind == Parsed::Entry && s.hasHeader)
        indexEntry(s, s.lines.size() - 1, std::move(lowerName));
}

void IniFile::indexEntry(Section& section, std::size_t lineIndex, std::string lowerKey) {
    section.keys.emplace(std::move(lowerKey), lineIndex);
    if (lineIndex > section.lastEntry)
        section.lastEntry = lineIndex;
}

void IniFile::ensureLineEnd(Line& line) {
    if (!line.text.empty() && line.text.back() == '\n')
        return;
    if (!line.text.empty() && line.text.back() == '\r')
        line.text += '\n';
    else
        line.text += "\r\n";
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const {
    auto si = sectionIndex_.find(lowered(section));
    if (si == sectionIndex_.end())
        return std::nullopt;
    const Section& s = sections_[si->second];
    auto ki = s.keys.find(lowered(key));
    if (ki == s.keys.end())
        return std::nullopt;
    const Line& line = s.lines[ki->second];
    std::string_view v(line.text);
    v = v.substr(line.valueBegin, line.valueEnd - line.valueBegin);
    if (v.size() >= 2 && v.front() == v.back() && (v.front() == '"' || v.front() == '\''))
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

bool IniFile::isStorableKey(std::string_view key) {
    key = trimmed(key);
    return !key.empty() && key.front() != '[' && key.front() != ';' &&
           key.find('=') == std::string_view::npos && !hasLineBreak(key);
}

IniFile::SetResult IniFile::setValue(std::string_view section, std::string_view key,
                                     std::string_view value) {
    section = trimmed(section);
    key = trimmed(key);
    if (section.empty() || section.find(']') != std::string_view::npos || hasLineBreak(section) ||
        !isStorableKey(key) || hasLineBreak(value))
        return SetResult::Refused;

    std::string entryText;
    entryText.reserve(key.size() + value.size() + 3);
    entryText.append(key).append("=").append(value).append("\r\n");

    auto si = sectionIndex_.find(cp1251Lower(section));
    if (si == sectionIndex_.end()) {
        // A new section at the end of the file.
        for (auto it = sections_.rbegin(); it != sections_.rend(); ++it) {
            if (!it->lines.empty()) {
                ensureLineEnd(it->lines.back());
                break;
            }
        }
        std::string header;
        header.append("[").append(section).append("]\r\n");
        addLine(std::move(header));
        addLine(std::move(entryText));
        return SetResult::Changed;
    }

    Section& s = sections_[si->second];
    auto ki = s.keys.find(cp1251Lower(key));
    if (ki != s.keys.end()) {
        Line& line = s.lines[ki->second];
        if (std::string_view(line.text).substr(line.valueBegin, line.valueEnd - line.valueBegin) ==
            value)
            return SetResult::Unchanged;
        line.text.replace(line.valueBegin, line.valueEnd - line.valueBegin, value);
        const Parsed p = parseLine(line.text);
        line.valueBegin = p.valueBegin;
        line.valueEnd = p.valueEnd;
        return SetResult::Changed;
    }

    // A new entry after the section's last entry; every entry indexed lies before it.
    const std::size_t at = s.lastEntry == 0 ? 1 : s.lastEntry + 1;
    ensureLineEnd(s.lines[at - 1]);
    const Parsed p = parseLine(entryText);
    Line line{std::move(entryText), p.valueBegin, p.valueEnd};
    s.lines.insert(s.lines.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
    indexEntry(s, at, cp1251Lower(key));
    return SetResult::Changed;
}

std::string IniFile::bytes() const {
    std::size_t size = 0;
    for (const Section& s : sections_)
        for (const Line& l : s.lines)
            size += l.text.size();
    std::string out;
    out.reserve(size);
    for (const Section& s : sections_)
        for (const Line& l : s.lines)
            out += l.text;
    return out;
}

std::optional<IniFile> IniFile::read(const std::filesystem::path& file, FileFailure* failure) {
    FileRead r = readRegularFile(file.string(), kMaxFileBytes);
    if (r.failure.fault == FileFault::NotFound)
        return IniFile();
    if (r.failure) {
        if (failure)
            *failure = r.failure;
        return std::nullopt;
    }
    return IniFile(r.bytes);
}

bool IniFile::write(const std::filesystem::path& file, FileFailure* failure) const {
    const FileFailure f = writeFileSafely(file.string(), bytes());
    if (f && failure)
        *failure = f;
    return !f;
}

} // namespace t6
