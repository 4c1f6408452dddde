#pragma once
// A plain tar archive (the POSIX "ustar" layout) of a few regular files, built
// in memory: what any tar program and archive manager unpacks.

#include <cstdint>
#include <string>
#include <string_view>

#include "common/Bytes.h"

namespace t6 {

class TarWriter {
public:
    // Adds a regular file. name: a relative path of at most 100 bytes (a
    // longer one is cut there); mtime: seconds since 1970.
    void add(std::string_view name, std::string_view content, std::int64_t mtime);
    // The archive: every file added, then the two empty blocks that end it.
    Bytes finish() const;

private:
    Bytes archive_;
};

} // namespace t6
