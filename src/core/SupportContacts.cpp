#include "core/SupportContacts.h"

#include "common/FileAccess.h"

namespace t6 {

namespace {

constexpr std::size_t kMaxValue = 200;

bool isUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        const std::size_t n = c < 0x80             ? 1
                              : (c & 0xE0) == 0xC0 ? 2
                              : (c & 0xF0) == 0xE0 ? 3
                              : (c & 0xF8) == 0xF0 ? 4
                                                   : 0;
        if (n == 0 || i + n > s.size() || (n == 2 && c < 0xC2))
            return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += n;
    }
    return true;
}

std::string_view trimmed(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

// At most kMaxValue characters, never cutting one in two.
std::string limited(std::string_view v) {
    std::size_t chars = 0;
    std::size_t i = 0;
    for (; i < v.size(); ++i) {
        if ((static_cast<unsigned char>(v[i]) & 0xC0) == 0x80)
            continue;
        if (chars++ == kMaxValue)
            break;
    }
    return std::string(v.substr(0, i));
}

bool isWebAddress(std::string_view v) {
    for (std::string_view scheme : {"http://", "https://"})
        if (v.size() > scheme.size() && v.substr(0, scheme.size()) == scheme)
            return v.find_first_of(" \t\"<>\\") == std::string_view::npos;
    return false;
}

} // namespace

SupportContacts parseSupportContacts(std::string_view text) {
    SupportContacts c;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        line = trimmed(line);
        const std::size_t eq = line.find('=');
        if (line.empty() || line.front() == '#' || eq == std::string_view::npos || !isUtf8(line))
            continue;
        bool control = false;
        for (char ch : line)
            control = control || static_cast<unsigned char>(ch) < 0x20 || ch == 0x7F;
        if (control)
            continue;
        const std::string_view key = trimmed(line.substr(0, eq));
        const std::string value = limited(trimmed(line.substr(eq + 1)));
        if (key == "name")
            c.name = value;
        else if (key == "phone")
            c.phone = value;
        else if (key == "email")
            c.email = value;
        else if (key == "web" && isWebAddress(value))
            c.web = value;
    }
    return c;
}

std::vector<std::filesystem::path> supportContactFiles(const std::filesystem::path& dataFolder) {
    std::vector<std::filesystem::path> files{"/etc/torvel6/support.txt"};
    if (!dataFolder.empty())
        files.push_back(dataFolder / "support.txt");
    return files;
}

SupportContacts readSupportContacts(const std::vector<std::filesystem::path>& files) {
    for (const std::filesystem::path& file : files) {
        const FileRead read = readRegularFile(file.string(), kMaxSupportFileBytes);
        if (read.failure)
            continue;
        SupportContacts c = parseSupportContacts(read.bytes);
        if (!c.empty())
            return c;
    }
    return {};
}

} // namespace t6
