#pragma once
// Every configuration a read or a write completed with, kept in the program's
// folder ("history", mode 0700: the versions hold telephone numbers), so that
// an installer who comes back to a site months later can see what the device
// held and compare with it.
//
// A version is one file "NNNNNN.version": a head of "name=value" lines
// (UTF-8) with the time, the operation, the device's identification, the port
// and the site the user gave, then an empty line, then the configuration file
// exactly as a save at that time would have written it. The head carries the
// file's size and checksum: an entry that was cut short or changed is skipped
// with a notice, never read as a configuration. Numbers are never reused.
//
// A version the same as the newest one (the same configuration at the same
// site) is kept once; beyond the limit (500 unless the user sets another) the
// oldest versions go.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/Bytes.h"
#include "common/Clock.h"

namespace t6 {

struct HistoryEntry {
    int number = 0;
    LocalTime time;
    std::string operation; // "read" or "write"
    std::string device;    // the identification the device gave, as shown
    std::string port;      // the port's name (the system's bytes)
    std::string site;      // UTF-8, as the user typed it; may be empty
    std::string content;   // the checksum of the configuration written at a fixed time
};

struct HistoryVersion {
    HistoryEntry entry;
    Bytes config; // the configuration file's bytes
};

// What listing the history found: the versions, newest first, and the
// numbers of the entries that could not be read.
struct HistoryList {
    std::vector<HistoryEntry> entries;
    std::vector<std::string> damaged; // file names
};

// What became of keeping a version.
struct HistoryKept {
    enum class Kind { Added, Same, Failed } kind = Kind::Failed;
    int number = 0;     // the new version, or the newest one it equals
    std::string reason; // Failed: the system's words
};

class ConfigHistory {
public:
    static constexpr int kDefaultLimit = 500;
    static constexpr int kMaxLimit = 100000;

    // folder: the history's own folder; it is made (0700) when the first
    // version is kept.
    explicit ConfigHistory(std::string folder);

    const std::string& folder() const { return folder_; }

    // Keeps a version. content: the same configuration written with a fixed
    // time, so that two saves of the same configuration compare equal.
    HistoryKept keep(HistoryEntry entry, const Bytes& config, const Bytes& content);

    HistoryList list() const;
    // Reads one version; nothing when it is not there or is damaged (why says which).
    std::optional<HistoryVersion> version(int number, std::string* why = nullptr) const;

    // "@N" or "@SITE:latest" (the newest version of that site); nothing when
    // the text names no version that is there.
    std::optional<int> resolve(const std::string& reference) const;
    static bool isReference(const std::string& text) { return !text.empty() && text[0] == '@'; }

    // The number of versions kept at most.
    int limit() const;
    bool setLimit(int limit, std::string* why = nullptr);

    // "2026-12-10 12:40:05".
    static std::string timeText(const LocalTime& t);

private:
    std::optional<HistoryVersion> readEntry(const std::string& path, std::string* why) const;
    std::vector<int> numbers() const;
    std::string pathOf(int number) const;

    std::string folder_;
};

} // namespace t6
