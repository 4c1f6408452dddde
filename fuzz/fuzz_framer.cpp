// Feeds arbitrary bytes to the packet framer in chunks whose sizes come from
// the input itself, and checks it against a plain model of the framing pass:
// the same payloads, the same held bytes, never 1024 held bytes after a feed,
// never a stop string inside a payload.

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    // The first byte seeds the chunk sizes (1 to 64 bytes); the rest is the stream.
    std::uint32_t state = data[0] * 2654435761u + 1;
    std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);

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
    return 0;
}
