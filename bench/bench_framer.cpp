// Throughput of the packet framer on the traffic it sees: short replies back
// to back, a configuration block arriving in small chunks, and line noise.

#include <benchmark/benchmark.h>

#include <random>

#include "link/PacketFramer.h"

namespace {

using t6::Bytes;
using t6::bytesOf;
using t6::PacketFramer;

Bytes framed(const Bytes& payload) {
    return bytesOf({0xFE, 0xFF}) + payload + bytesOf({0xFF, 0xFE});
}

// Runs the framer over `chunks` once per iteration.
void run(benchmark::State& state, const std::vector<Bytes>& chunks, std::size_t expected) {
    std::size_t bytes = 0;
    for (const Bytes& c : chunks)
        bytes += c.size();
    std::size_t packets = 0;
    for (auto _ : state) {
        PacketFramer framer;
        framer.setOnPacket([&](const Bytes& p) {
            benchmark::DoNotOptimize(p.data());
            ++packets;
        });
        for (const Bytes& c : chunks)
            framer.feed(c);
        benchmark::DoNotOptimize(framer.inPacket());
    }
    if (packets != expected * state.iterations())
        state.SkipWithError("unexpected packet count");
    state.SetBytesProcessed(static_cast<int64_t>(bytes) * state.iterations());
    state.counters["packets"] = benchmark::Counter(double(packets), benchmark::Counter::kIsRate);
}

// 1000 short replies ("OK", "T7" with a version, a signal level), one chunk each
// or several in one chunk.
void BM_SmallReplies(benchmark::State& state) {
    const Bytes replies[] = {framed("OK"), framed("Ok"), framed("T7v1.1"), framed("COK"),
                             framed(bytesOf({0x53, 0x12}))};
    const int perChunk = static_cast<int>(state.range(0));
    std::vector<Bytes> chunks;
    Bytes chunk;
    for (int i = 0; i < 1000; ++i) {
        chunk += replies[i % 5];
        if ((i + 1) % perChunk == 0) {
            chunks.push_back(chunk);
            chunk.clear();
        }
    }
    run(state, chunks, 1000);
}
BENCHMARK(BM_SmallReplies)->Arg(1)->Arg(8);

// A 900-byte configuration block in chunks of 32 bytes, as a line at 38400
// baud hands it over, repeated 100 times.
void BM_ConfigBlockIn32ByteChunks(benchmark::State& state) {
    std::mt19937 random(1);
    Bytes payload;
    while (payload.size() < 896) {
        char c = static_cast<char>(random() % 256);
        if (c == '\xFE' && !payload.empty() && payload.back() == '\xFF')
            continue;
        payload += c;
    }
    if (payload.back() == '\xFF')
        payload.back() = 0x30;
    const Bytes packet = framed(payload);
    std::vector<Bytes> chunks;
    for (int n = 0; n < 100; ++n)
        for (std::size_t at = 0; at < packet.size(); at += 32)
            chunks.push_back(packet.substr(at, 32));
    run(state, chunks, 100);
}
BENCHMARK(BM_ConfigBlockIn32ByteChunks);

// 64 KiB of bytes without a start string, in chunks of 64: held and dropped at 1024.
void BM_Noise(benchmark::State& state) {
    std::mt19937 random(2);
    std::vector<Bytes> chunks;
    for (int n = 0; n < 1024; ++n) {
        Bytes c;
        for (int i = 0; i < 64; ++i) {
            char b = static_cast<char>(random() % 256);
            if (b == '\xFE')
                b = 0x20; // no start string at all
            c += b;
        }
        chunks.push_back(c);
    }
    run(state, chunks, 0);
}
BENCHMARK(BM_Noise);

} // namespace
