#include "core/TarWriter.h"

#include <algorithm>
#include <cstdio>

namespace t6 {

namespace {

constexpr std::size_t kBlock = 512;

// A number as octal digits filling width - 1 bytes, then a NUL.
void putOctal(char* field, std::size_t width, std::uint64_t value) {
    for (std::size_t i = width - 1; i-- > 0;) {
        field[i] = static_cast<char>('0' + (value & 7u));
        value >>= 3;
    }
    field[width - 1] = '\0';
}

void putText(char* field, std::size_t width, std::string_view text) {
    std::copy_n(text.data(), std::min(width, text.size()), field);
}

} // namespace

void TarWriter::add(std::string_view name, std::string_view content, std::int64_t mtime) {
    char header[kBlock] = {};
    putText(header, 100, name);
    putOctal(header + 100, 8, 0644);
    putOctal(header + 108, 8, 0);
    putOctal(header + 116, 8, 0);
    putOctal(header + 124, 12, content.size());
    putOctal(header + 136, 12, static_cast<std::uint64_t>(std::max<std::int64_t>(mtime, 0)));
    header[156] = '0';
    putText(header + 257, 6, std::string_view("ustar\0", 6));
    putText(header + 263, 2, "00");
    // The checksum counts its own field as eight blanks.
    std::fill_n(header + 148, 8, ' ');
    unsigned sum = 0;
    for (char c : header)
        sum += static_cast<unsigned char>(c);
    putOctal(header + 148, 7, sum);
    header[155] = ' ';
    archive_.append(header, kBlock);
    archive_.append(content);
    archive_.append((kBlock - content.size() % kBlock) % kBlock, '\0');
}

Bytes TarWriter::finish() const {
    return archive_ + Bytes(2 * kBlock, '\0');
}

} // namespace t6
