// Feeds arbitrary bytes to the configuration block scan, on a model reset as
// a read from the device resets it. The scan must end without reading past
// the block, say where it stopped when it stopped early, and leave a model
// whose records can be written.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/Random.h"
#include "config/ConfigBlock.h"
#include "config/ConfigModel.h"

namespace {

using namespace t6;

void check(bool ok) {
    if (!ok)
        std::abort();
}

// Counts the lines, so that every head is built, and keeps none.
class CountingLog : public BlockLog {
public:
    void protocol(std::string_view line) override { bytes += line.size(); }
    void hex(std::string_view line) override { bytes += line.size(); }
    void memo(std::string_view line) override { bytes += line.size(); }
    std::size_t bytes = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view block(reinterpret_cast<const char*>(data), size);
    SilentPrompts prompts{true};
    SeededRandom random(size + 1);
    ModelContext context = ModelContext::Editing;
    ConfigModel model(
        prompts, random, [&] { return context; }, [] { return LocalTime{2026, 5, 4, 12, 30, 15}; });
    model.startUp();
    context = ModelContext::FillingFromDevice;
    model.resetConfig();

    CountingLog log;
    const ConfigBlockScan scan = scanConfigBlock(model, block, log);
    if (!scan.complete) {
        // A record is only begun at a type byte that is not the block's last byte.
        check(scan.cutRecordAt + 1 < size);
        check(static_cast<unsigned char>(block[scan.cutRecordAt]) == scan.cutRecordType);
        check(isRecordType(static_cast<unsigned char>(scan.cutRecordType)));
    }
    check(log.bytes >= 2 * size);

    context = ModelContext::Editing;
    const Bytes written = encodeConfigBlock(model);
    check(written.substr(0, 2) == ConfigBlockStart);
    return 0;
}
