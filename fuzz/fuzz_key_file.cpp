// Feeds arbitrary bytes to the key file reader. The lines it skips are "#"
// lines, in order; the table it fills is saved into a file that reads back to
// the same rows without a skipped line and saves to the same bytes; and the
// check before a write and the table's encoder agree on every table a file
// can bring.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "keys/KeyFile.h"
#include "keys/KeyTable.h"

namespace {

using namespace t6;

void check(bool ok) {
    if (!ok)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    const KeyFileContent content = readKeyFile(file);
    for (std::size_t i = 1; i < content.skippedLines.size(); ++i)
        check(content.skippedLines[i - 1] < content.skippedLines[i]);
    for (int line : content.skippedLines)
        check(line >= 1);

    TouchKeys keys;
    for (std::size_t i = 0; i < keys.size(); ++i)
        if (content.rows[i])
            keys[i] = *content.rows[i];

    const Bytes saved = writeKeyFile(keys);
    const KeyFileContent again = readKeyFile(saved);
    check(again.skippedLines.empty());
    TouchKeys reread;
    for (std::size_t i = 0; i < reread.size(); ++i) {
        check(again.rows[i].has_value());
        reread[i] = *again.rows[i];
        check(reread[i].description == keys[i].description && reread[i].code == keys[i].code);
    }
    check(writeKeyFile(reread) == saved);

    // The check refuses exactly the tables the encoder cannot send.
    const std::optional<Bytes> block = encodeKeyTable(keys);
    check(block.has_value() == !checkKeyTable(keys).has_value());
    if (block)
        check(block->size() == KeyTableBytes);
    return 0;
}
