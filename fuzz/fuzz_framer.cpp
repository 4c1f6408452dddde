// Feeds arbitrary bytes to the packet framer in chunks whose sizes come from
// the input itself, and checks it against a plain model of the framing pass:
// the same payloads, the same held bytes, never 1024 held bytes after a feed,
// never a stop string inside a payload.
//
// The same stream then goes to fresh framers in chunks of 1 byte, of 7 bytes
// and as one whole chunk: how the bytes arrive must not change what comes
// out, so all of them give the same payloads and hold the same bytes at the
// end. That holds while no feed reaches the 1024-byte limit: where the held
// bytes are dropped depends on where a chunk ends. A stream fed byte by byte
// holds the most at every point, so when it never comes near the limit, no
// coarser chunking does either.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "link/PacketFramer.h"

namespace {

using t6::Bytes;

// The framing pass written as plainly as possible.
struct Model {
    Bytes buf;
    bool inPacket = false;
    std::vector<Bytes> packets;

    void feed(std::string_view chunk) {
        static const Bytes start("\xFE\xFF", 2);
        static const Bytes stop("\xFF\xFE", 2);
        buf.append(chunk);
        for (;;) {
            if (!inPacket) {
                std::size_t at = buf.find(start);
                if (at == Bytes::npos)
                    break;
                buf.erase(0, at);
                inPacket = true;
            }
            std::size_t end = buf.find(stop, 2);
            if (end == Bytes::npos)
                break;
            packets.push_back(buf.substr(2, end - 2));
            buf.erase(0, end + 2);
            inPacket = false;
        }
        if (buf.size() >= 1024) {
            buf.clear();
            inPacket = false;
        }
    }
};

void check(bool ok) {
    if (!ok)
        std::abort();
}

// What a framer gave for a whole stream.
struct Outcome {
    std::vector<Bytes> packets;
    Bytes held;
    bool inPacket = false;
    bool nearLimit = false; // some feed could have reached the limit

    bool operator==(const Outcome& o) const {
        return packets == o.packets && held == o.held && inPacket == o.inPacket;
    }
};

// Feeds the stream to a fresh framer in chunks of `step` bytes (0: one chunk).
Outcome feedInChunks(std::string_view stream, std::size_t step) {
    Outcome out;
    t6::PacketFramer framer;
    framer.setOnPacket([&](const Bytes& p) { out.packets.push_back(p); });
    if (step == 0)
        step = stream.size();
    while (!stream.empty()) {
        std::string_view chunk = stream.substr(0, step);
        stream.remove_prefix(chunk.size());
        if (framer.heldBytes() + chunk.size() >= t6::PacketFramer::MaxBufferSize)
            out.nearLimit = true;
        framer.feed(chunk);
    }
    out.held = framer.buffer();
    out.inPacket = framer.inPacket();
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    // The first byte seeds the chunk sizes (1 to 64 bytes); the rest is the stream.
    std::uint32_t state = data[0] * 2654435761u + 1;
    const std::string_view whole(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string_view stream = whole;

    t6::PacketFramer framer;
    std::vector<Bytes> packets;
    framer.setOnPacket([&](const Bytes& p) {
        check(p.find("\xFF\xFE") == Bytes::npos);
        packets.push_back(p);
    });
    Model model;

    while (!stream.empty()) {
        state = state * 1103515245u + 12345u;
        std::size_t n = 1 + (state >> 16) % 64;
        std::string_view chunk = stream.substr(0, n);
        stream.remove_prefix(chunk.size());
        framer.feed(chunk);
        model.feed(chunk);
        check(framer.buffer().size() < t6::PacketFramer::MaxBufferSize);
        check(framer.buffer() == model.buf);
        check(framer.inPacket() == model.inPacket);
        check(packets == model.packets);
    }

    const Outcome single = feedInChunks(whole, 1);
    if (single.nearLimit)
        return 0;
    check(feedInChunks(whole, 7) == single);
    check(feedInChunks(whole, 0) == single);
    // The chunks of the first pass, sized by the input, are one more way.
    check(packets == single.packets && framer.buffer() == single.held &&
          framer.inPacket() == single.inPacket);
    return 0;
}
