#include "core/ConfigHistory.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <unistd.h>

#include "common/AtomicFile.h"
#include "common/FileAccess.h"
#include "common/TextNumbers.h"
#include "files/ConfigFile.h"

namespace t6 {

namespace fs = std::filesystem;

namespace {

constexpr const char* kHead = "torvel6 history 1";
constexpr const char* kSuffix = ".version";
constexpr const char* kLimitFile = "limit";
// The head of a version is a few lines; a file is never larger than this.
constexpr std::size_t kMaxHeadBytes = 4096;

std::uint64_t checksum(std::string_view bytes) {
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

std::string hex(std::uint64_t v) {
    char buf[20];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(v));
    return buf;
}

// A value on one line of the head: line breaks and other control characters
// become blanks.
std::string oneLine(std::string text) {
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = ' ';
    return text;
}

std::optional<LocalTime> parseTime(const std::string& text) {
    LocalTime t;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &t.year, &t.month, &t.day, &t.hour,
                    &t.minute, &t.second, &tail) != 6)
        return std::nullopt;
    return t;
}

std::optional<int> numberOfName(const std::string& name) {
    const std::string suffix = kSuffix;
    if (name.size() <= suffix.size() || !name.ends_with(suffix))
        return std::nullopt;
    const std::string digits = name.substr(0, name.size() - suffix.size());
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const auto n = parseInteger(digits);
    if (!n || *n < 1)
        return std::nullopt;
    return static_cast<int>(*n);
}

std::string errorText(const std::error_code& ec) {
    return ec.message();
}

} // namespace

ConfigHistory::ConfigHistory(std::string folder) : folder_(std::move(folder)) {}

std::string ConfigHistory::timeText(const LocalTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return buf;
}

std::string ConfigHistory::pathOf(int number) const {
    char name[32];
    std::snprintf(name, sizeof name, "%06d%s", number, kSuffix);
    return (fs::path(folder_) / name).string();
}

std::vector<int> ConfigHistory::numbers() const {
    std::vector<int> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        if (const auto n = numberOfName(it->path().filename().string()))
            found.push_back(*n);
    }
    std::sort(found.begin(), found.end());
    return found;
}

std::optional<HistoryVersion> ConfigHistory::readEntry(const std::string& path,
                                                       std::string* why) const {
    auto damaged = [why](const char* what) -> std::optional<HistoryVersion> {
        if (why)
            *why = what;
        return std::nullopt;
    };
    const FileRead read = readRegularFile(path, kMaxConfigFileBytes + kMaxHeadBytes);
    if (read.failure)
        return damaged(read.failure.fault == FileFault::NotFound ? "missing" : "unreadable");
    const std::string& bytes = read.bytes;
    const std::size_t split = bytes.find("\n\n");
    if (split == std::string::npos || split > kMaxHeadBytes)
        return damaged("no head");
    HistoryVersion v;
    std::optional<std::size_t> size;
    std::string sum;
    bool headOk = false;
    std::size_t at = 0;
    while (at <= split) {
        const std::size_t end = bytes.find('\n', at);
        const std::string line = bytes.substr(at, end - at);
        at = end + 1;
        if (!headOk) {
            if (line != kHead)
                return damaged("no head");
            headOk = true;
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            return damaged("bad head line");
        const std::string key = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        if (key == "time") {
            const auto t = parseTime(value);
            if (!t)
                return damaged("bad time");
            v.entry.time = *t;
        } else if (key == "operation") {
            v.entry.operation = value;
        } else if (key == "device") {
            v.entry.device = value;
        } else if (key == "port") {
            v.entry.port = value;
        } else if (key == "site") {
            v.entry.site = value;
        } else if (key == "content") {
            v.entry.content = value;
        } else if (key == "size") {
            const auto n = parseInteger(value);
            if (!n || *n < 0)
                return damaged("bad size");
            size = static_cast<std::size_t>(*n);
        } else if (key == "checksum") {
            sum = value;
        }
    }
    v.config = bytes.substr(split + 2);
    if (!size || *size != v.config.size() || sum != hex(checksum(v.config)))
        return damaged("cut short or changed");
    if (v.entry.operation != "read" && v.entry.operation != "write")
        return damaged("bad operation");
    return v;
}

std::optional<HistoryVersion> ConfigHistory::version(int number, std::string* why) const {
    auto v = readEntry(pathOf(number), why);
    if (v)
        v->entry.number = number;
    return v;
}

HistoryList ConfigHistory::list() const {
    HistoryList result;
    const std::vector<int> all = numbers();
    result.entries.reserve(all.size());
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        if (auto v = version(*it))
            result.entries.push_back(std::move(v->entry));
        else
            result.damaged.push_back(fs::path(pathOf(*it)).filename().string());
    }
    return result;
}

std::optional<int> ConfigHistory::resolve(const std::string& reference) const {
    if (!isReference(reference))
        return std::nullopt;
    const std::string rest = reference.substr(1);
    const std::string latest = ":latest";
    if (rest.size() > latest.size() && rest.ends_with(latest)) {
        const std::string site = rest.substr(0, rest.size() - latest.size());
        for (const HistoryEntry& e : list().entries)
            if (e.site == site)
                return e.number;
        return std::nullopt;
    }
    const auto n = parseInteger(rest);
    if (!n || *n < 1 || *n > 999999 || !version(static_cast<int>(*n)))
        return std::nullopt;
    return static_cast<int>(*n);
}

int ConfigHistory::limit() const {
    const FileRead read = readRegularFile((fs::path(folder_) / kLimitFile).string(), 64);
    if (read.failure)
        return kDefaultLimit;
    std::string text = read.bytes;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    const auto n = parseInteger(text);
    return n && *n >= 1 && *n <= kMaxLimit ? static_cast<int>(*n) : kDefaultLimit;
}

bool ConfigHistory::setLimit(int limit, std::string* why) {
    if (limit < 1 || limit > kMaxLimit) {
        if (why)
            *why = "out of range";
        return false;
    }
    std::error_code ec;
    fs::create_directories(folder_, ec);
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::replace, ec);
    const FileFailure f =
        writeFileSafely((fs::path(folder_) / kLimitFile).string(), std::to_string(limit) + "\n");
    if (f) {
        if (why)
            *why = "not written";
        return false;
    }
    return true;
}

HistoryKept ConfigHistory::keep(HistoryEntry entry, const Bytes& config, const Bytes& content) {
    HistoryKept kept;
    std::error_code ec;
    fs::create_directories(folder_, ec);
    if (ec) {
        kept.reason = errorText(ec);
        return kept;
    }
    // The versions hold telephone numbers: only their owner may look.
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::replace, ec);
    if (ec) {
        kept.reason = errorText(ec);
        return kept;
    }
    const std::vector<int> all = numbers();
    const std::string contentSum = hex(checksum(content));
    entry.site = oneLine(entry.site);
    if (!all.empty()) {
        const auto newest = version(all.back());
        if (newest && newest->entry.content == contentSum && newest->entry.site == entry.site) {
            kept.kind = HistoryKept::Kind::Same;
            kept.number = all.back();
            return kept;
        }
    }
    // The number is taken by making its file, which fails when another run
    // (the window and the command line share the folder) took it first.
    int number = all.empty() ? 1 : all.back() + 1;
    for (;; ++number) {
        const int fd =
            ::open(pathOf(number).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            ::close(fd);
            break;
        }
        if (errno != EEXIST || number >= 999999) {
            kept.reason = std::generic_category().message(errno);
            return kept;
        }
    }
    Bytes file = std::string(kHead) + "\n";
    file += "time=" + timeText(entry.time) + "\n";
    file += "operation=" + oneLine(entry.operation) + "\n";
    file += "device=" + oneLine(entry.device) + "\n";
    file += "port=" + oneLine(entry.port) + "\n";
    file += "site=" + entry.site + "\n";
    file += "content=" + contentSum + "\n";
    file += "size=" + std::to_string(config.size()) + "\n";
    file += "checksum=" + hex(checksum(config)) + "\n\n";
    file += config;
    const std::string path = pathOf(number);
    if (const FileFailure f = writeFileSafely(path, file)) {
        fs::remove(path, ec);
        kept.reason = "not written";
        return kept;
    }
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::replace,
                    ec);
    kept.kind = HistoryKept::Kind::Added;
    kept.number = number;
    // The oldest go beyond the limit.
    const int most = limit();
    const std::size_t count = all.size() + 1;
    if (count > static_cast<std::size_t>(most)) {
        const std::size_t drop = count - static_cast<std::size_t>(most);
        for (std::size_t i = 0; i < drop && i < all.size(); ++i)
            fs::remove(pathOf(all[i]), ec);
    }
    return kept;
}

} // namespace t6
