#include "link/PortList.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace t6 {

namespace {

unsigned char asciiLower(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Case-insensitive order; names equal but for case fall back to byte order so
// that the result does not depend on the order the system listed them in.
bool textLess(std::string_view a, std::string_view b) {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char ca = asciiLower(static_cast<unsigned char>(a[i]));
        unsigned char cb = asciiLower(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

} // namespace

std::vector<std::string> sortPortNames(std::vector<std::string> names) {
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return textLess(a, b); });
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

namespace {

std::vector<std::string> pathsOf(const char* value) {
    std::vector<std::string> paths;
    if (!value)
        return paths;
    std::string_view rest(value);
    for (;;) {
        std::size_t colon = rest.find(':');
        std::string_view item = rest.substr(0, colon);
        if (!item.empty())
            paths.emplace_back(item);
        if (colon == std::string_view::npos)
            break;
        rest.remove_prefix(colon + 1);
    }
    return paths;
}

} // namespace

std::vector<std::string> extraPortsFromEnvironment() {
    return pathsOf(std::getenv("TORVEL6_EXTRA_PORTS"));
}

bool onlyListedPorts() {
    return std::getenv("TORVEL6_PORTS") != nullptr;
}

std::vector<std::string> listedPortsFromEnvironment() {
    return pathsOf(std::getenv("TORVEL6_PORTS"));
}

} // namespace t6
