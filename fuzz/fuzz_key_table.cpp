// Feeds arbitrary bytes to the key table decoders, as the device's answer to
// the table request and to a single key read. Every row decoded is clean (a
// description of at most 12 bytes without control bytes or blanks at its
// ends, a code of 16 small hexadecimal digits), the table it fills can always
// be sent back, and the device's copy of it decodes to the same rows.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "keys/KeyTable.h"

namespace {

using namespace t6;

void check(bool ok) {
    if (!ok)
        std::abort();
}

bool isCleanDescription(const std::string& d) {
    if (d.size() > KeyDescriptionBytes)
        return false;
    for (char c : d) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x01 && b <= 0x1F)
            return false;
    }
    auto edge = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
    return d.empty() || (!edge(d.front()) && !edge(d.back()));
}

bool isSmallHex(std::string_view code) {
    for (char c : code)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);

    const std::vector<DecodedKeyRow> rows = decodeKeyTable(reply);
    const std::size_t whole = size / KeyRecordBytes;
    const std::size_t expected =
        std::min<std::size_t>(10, whole + (size % KeyRecordBytes >= KeyDescriptionBytes ? 1 : 0));
    check(rows.size() == expected);

    TouchKeys keys;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const DecodedKeyRow& r = rows[i];
        check(r.row == static_cast<int>(i) + 1);
        check(isCleanDescription(r.description));
        check(r.code.has_value() == (i < whole));
        if (r.code)
            check(r.code->size() == 16 && isSmallHex(*r.code));
        keys[i] = TouchKey{r.description, r.code.value_or(std::string())};
    }

    // What was read can be sent back, and reads back the same.
    check(!checkKeyTable(keys).has_value());
    const std::optional<Bytes> block = encodeKeyTable(keys);
    check(block.has_value() && block->size() == KeyTableBytes);
    const std::vector<DecodedKeyRow> again = decodeKeyTable(*block);
    check(again.size() == 10);
    for (std::size_t i = 0; i < again.size(); ++i) {
        check(again[i].description == keys[i].description);
        const std::string code = keys[i].code.empty() ? std::string(16, '0') : keys[i].code;
        check(again[i].code == code);
    }

    // A single key: its first eight bytes.
    const std::string identity = decodeKeyIdentity(reply);
    check(identity.size() == 2 * std::min<std::size_t>(size, KeyIdentityBytes));
    check(isSmallHex(identity));
    return 0;
}
