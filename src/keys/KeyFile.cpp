#include "keys/KeyFile.h"

#include <string>

namespace t6 {

namespace {

std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\r' || c == '\n')
            c = ' ';
    return text;
}

std::vector<std::string_view> splitLines(std::string_view file) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (file[i] != '\r' && file[i] != '\n')
            continue;
        lines.push_back(file.substr(start, i - start));
        if (file[i] == '\r' && i + 1 < file.size() && file[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < file.size())
        lines.push_back(file.substr(start));
    return lines;
}

// The row a "#" line names: "#1" to "#10" (one or two digits, blanks after
// them allowed), or nothing.
std::optional<int> rowOf(std::string_view line) {
    std::string_view digits = line.substr(1);
    while (!digits.empty() && static_cast<unsigned char>(digits.back()) <= ' ')
        digits.remove_suffix(1);
    if (digits.empty() || digits.size() > 2)
        return std::nullopt;
    int n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n < 1 || n > TouchKeyCount)
        return std::nullopt;
    return n;
}

} // namespace

Bytes writeKeyFile(const TouchKeys& keys) {
    Bytes file;
    for (int row = 1; row <= TouchKeyCount; ++row) {
        const TouchKey& key = keys[static_cast<std::size_t>(row - 1)];
        const std::string n = std::to_string(row);
        file += "#" + n + "\r\n";
        file += oneLine(key.description) + "\r\n";
        file += oneLine(key.code) + "\r\n";
        file += "/" + n + "\r\n";
    }
    return file;
}

KeyFileContent readKeyFile(std::string_view file) {
    KeyFileContent content;
    const std::vector<std::string_view> lines = splitLines(file);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = lines[i];
        if (line.empty() || line.front() != '#')
            continue;
        const std::optional<int> row = rowOf(line);
        if (!row || i + 2 >= lines.size()) {
            // The lines after it are read as ordinary lines.
            content.skippedLines.push_back(static_cast<int>(i + 1));
            continue;
        }
        content.rows[static_cast<std::size_t>(*row - 1)] =
            TouchKey{std::string(lines[i + 1]), std::string(lines[i + 2])};
        i += 2;
    }
    return content;
}

} // namespace t6
