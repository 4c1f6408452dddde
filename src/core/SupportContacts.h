#pragma once
// Whom to ask for help: the support contacts of whoever distributed this copy
// of the program. A distributor that offers support installs a small text
// file; without one the program has no contacts to show.
//
// The file: UTF-8 lines "key=value"; the keys are name (who gives the
// support), phone, email and web (an http:// or https:// address). Blank
// lines, lines starting with "#" and unknown keys are skipped, as is a line
// that is not UTF-8 text. A value is taken without blanks at its ends and at
// most 200 characters long. "/etc/torvel6/support.txt" is read when it is
// there, else "support.txt" in the installed data folder. Only a regular
// file of at most 4 KiB is read: a pipe or a device is never opened.

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace t6 {

struct SupportContacts {
    std::string name; // UTF-8, all four
    std::string phone;
    std::string email;
    std::string web;
    bool empty() const { return name.empty() && phone.empty() && email.empty() && web.empty(); }
    bool operator==(const SupportContacts&) const = default;
};

inline constexpr std::size_t kMaxSupportFileBytes = 4096;

SupportContacts parseSupportContacts(std::string_view text);

// The files looked for, in order: the system's settings folder, then the
// installed data folder.
std::vector<std::filesystem::path> supportContactFiles(const std::filesystem::path& dataFolder);

// The contacts of the first of files that can be read and names any; empty
// when none does.
SupportContacts readSupportContacts(const std::vector<std::filesystem::path>& files);

} // namespace t6
