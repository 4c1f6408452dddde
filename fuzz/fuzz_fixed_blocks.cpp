// Feeds arbitrary bytes to the decoders of the three fixed blocks; the first
// byte chooses the block (wireless outputs, remote controls, sensor names),
// the rest is the reply body. A body shorter than its block changes nothing;
// a decoded block is written whole, and that block reads and writes again to
// the same bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "common/Random.h"
#include "config/ConfigModel.h"
#include "config/FixedBlocks.h"

namespace {

using namespace t6;

void check(bool ok) {
    if (!ok)
        std::abort();
}

// A model reset as a read resets it, in the context of the block's reply.
struct ReadModel {
    explicit ReadModel(std::size_t seed) : random(seed) {
        model.startUp();
        context = ModelContext::FillingFromDevice;
        model.resetConfig();
    }
    SilentPrompts prompts{true};
    SeededRandom random;
    ModelContext context = ModelContext::Editing;
    ConfigModel model{prompts, random, [this] { return context; },
                      [] { return LocalTime{2026, 5, 4, 12, 30, 15}; }};
};

// Decodes body as block kind into the model and writes the block back.
bool decodeAndWrite(ReadModel& m, int kind, std::string_view body, Bytes& written) {
    NullBlockLog log;
    bool decoded = false;
    FixedBlockEncoding e;
    if (kind == 0) {
        decoded = decodeWirelessOutputsBlock(m.model, body, log);
        e = encodeWirelessOutputsBlock(m.model);
    } else if (kind == 1) {
        m.context = ModelContext::Exchanging;
        decoded = decodeRemoteControlsBlock(m.model, body);
        e = encodeRemoteControlsBlock(m.model);
    } else {
        m.context = ModelContext::Exchanging;
        decoded = decodeThermoNamesBlock(m.model, body);
        e = encodeThermoNamesBlock(m.model);
    }
    // Whatever the device sent, what was read can be sent back.
    check(e.ok());
    written = e.bytes;
    return decoded;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const int kind = data[0] % 3;
    const std::string_view body(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::size_t length[] = {WirelessOutputsBlockBytes, RemoteControlsBlockBytes,
                                  ThermoNamesBlockBytes};
    const std::size_t blockBytes = length[kind];

    ReadModel first(size);
    Bytes written;
    const bool decoded = decodeAndWrite(first, kind, body, written);
    check(decoded == (body.size() >= blockBytes));
    check(written.size() == blockBytes);
    if (!decoded) {
        ReadModel untouched(size);
        Bytes before;
        decodeAndWrite(untouched, kind, {}, before);
        check(written == before);
        return 0;
    }

    // Exactly the block's bytes, so that a read past its end is caught.
    std::unique_ptr<char[]> exact(new char[blockBytes]);
    written.copy(exact.get(), blockBytes);
    ReadModel second(size);
    Bytes again;
    check(decodeAndWrite(second, kind, std::string_view(exact.get(), blockBytes), again));
    check(again == written);
    return 0;
}
