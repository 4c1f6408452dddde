#include <gtest/gtest.h>

#include <random>
#include <stdexcept>

#include "link/PacketFramer.h"

namespace t6 {
namespace {

using Payloads = std::vector<Bytes>;

// A framer that records what it delivers and what its handler threw.
struct Recorder {
    PacketFramer framer;
    Payloads packets;
    std::vector<std::string> errors;

    Recorder() {
        framer.setOnPacket([this](const Bytes& p) { packets.push_back(p); });
        framer.setOnError([this](const std::exception& e) { errors.emplace_back(e.what()); });
    }
    void feed(std::initializer_list<int> bytes) { framer.feed(bytesOf(bytes)); }
};

TEST(PacketFramer, DeliversPayloadsOfCompleteChunks) {
    struct Case {
        const char* name;
        Bytes chunk;
        Payloads expected;
        Bytes held;
    };
    const Case cases[] = {
        {"one packet", bytesOf({0xFE, 0xFF, 0x54, 0x37, 0xFF, 0xFE}), {"T7"}, ""},
        {"noise first", bytesOf({0x00, 0x11, 0xFE, 0xFF, 0x4F, 0x6E, 0xFF, 0xFE}), {"On"}, ""},
        {"two packets",
         bytesOf({0xFE, 0xFF, 0x4F, 0x6B, 0xFF, 0xFE, 0xFE, 0xFF, 0x4F, 0x4B, 0xFF, 0xFE}),
         {"Ok", "OK"},
         ""},
        {"empty payload", bytesOf({0xFE, 0xFF, 0xFF, 0xFE}), {""}, ""},
        {"FF before the stop string",
         bytesOf({0xFE, 0xFF, 0x41, 0xFF, 0xFF, 0xFE}),
         {bytesOf({0x41, 0xFF})},
         ""},
        {"FE after the start string",
         bytesOf({0xFE, 0xFF, 0xFE, 0x41, 0xFF, 0xFE}),
         {bytesOf({0xFE, 0x41})},
         ""},
        {"FE FF inside the payload",
         bytesOf({0xFE, 0xFF, 0x31, 0xFE, 0xFF, 0x32, 0xFF, 0xFE}),
         {bytesOf({0x31, 0xFE, 0xFF, 0x32})},
         ""},
        {"null bytes kept", bytesOf({0xFE, 0xFF, 0x00, 0x00, 0xFF, 0xFE}), {Bytes(2, '\0')}, ""},
        {"tail after the stop string",
         bytesOf({0xFE, 0xFF, 0x31, 0xFF, 0xFE, 0x20, 0xFE}),
         {"1"},
         bytesOf({0x20, 0xFE})},
        {"no start string",
         bytesOf({0x4F, 0x4B, 0xFF, 0xFE}),
         {},
         bytesOf({0x4F, 0x4B, 0xFF, 0xFE})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Recorder r;
        r.framer.feed(c.chunk);
        EXPECT_EQ(r.packets, c.expected);
        EXPECT_EQ(r.framer.buffer(), c.held);
        EXPECT_FALSE(r.framer.inPacket());
    }
}

TEST(PacketFramer, PacketSplitOverChunksIsDeliveredWithItsStopString) {
    Recorder r;
    r.feed({0xFE, 0xFF, 0x43});
    EXPECT_TRUE(r.packets.empty());
    EXPECT_TRUE(r.framer.inPacket());
    r.feed({0x4F, 0x4B, 0xFF, 0xFE});
    EXPECT_EQ(r.packets, Payloads{"COK"});
    EXPECT_FALSE(r.framer.inPacket());
    EXPECT_EQ(r.framer.buffer(), "");

    // The framing strings themselves may be cut between two chunks.
    r.feed({0x00, 0xFE});
    EXPECT_FALSE(r.framer.inPacket());
    EXPECT_EQ(r.framer.buffer(), bytesOf({0x00, 0xFE}));
    r.feed({0xFF, 0x31, 0xFF});
    EXPECT_TRUE(r.framer.inPacket());
    r.feed({0xFE});
    EXPECT_EQ(r.packets, (Payloads{"COK", "1"}));
}

TEST(PacketFramer, PartialPacketIsHeldUntilItIsContinued) {
    // The framer does not belong to the port: closing and reopening the port in
    // between changes nothing, the next bytes continue the packet.
    Recorder r;
    r.feed({0x31, 0xFE, 0xFF, 0x4F, 0x6B, 0xFF, 0xFE, 0xFE, 0xFF, 0x41});
    EXPECT_EQ(r.packets, Payloads{"Ok"});
    EXPECT_EQ(r.framer.buffer(), bytesOf({0xFE, 0xFF, 0x41}));
    EXPECT_TRUE(r.framer.inPacket());
    r.feed({0x42, 0xFF, 0xFE});
    EXPECT_EQ(r.packets, (Payloads{"Ok", "AB"}));
}

TEST(PacketFramer, HeldBytesReaching1024AreDropped) {
    Recorder r;
    r.framer.feed(Bytes(1023, 'x'));
    EXPECT_EQ(r.framer.buffer().size(), 1023u);
    r.framer.feed("x");
    EXPECT_EQ(r.framer.buffer(), "");

    // A packet whose stop string does not come is dropped once 1024 bytes are held.
    r.framer.feed(bytesOf({0xFE, 0xFF}) + Bytes(1000, 'y'));
    r.framer.feed(Bytes(21, 'y'));
    EXPECT_TRUE(r.framer.inPacket());
    EXPECT_EQ(r.framer.buffer().size(), 1023u);
    r.framer.feed("y");
    EXPECT_FALSE(r.framer.inPacket());
    EXPECT_EQ(r.framer.buffer(), "");
    // Its stop string arriving afterwards delivers nothing; the next packet is fine.
    r.feed({0x7A, 0xFF, 0xFE, 0xFE, 0xFF, 0x4F, 0x4B, 0xFF, 0xFE});
    EXPECT_EQ(r.packets, Payloads{"OK"});
    EXPECT_TRUE(r.errors.empty());
}

TEST(PacketFramer, PacketOf1023BytesIsDelivered) {
    const Bytes payload(1019, 'p');
    const Bytes packet = bytesOf({0xFE, 0xFF}) + payload + bytesOf({0xFF, 0xFE});
    ASSERT_EQ(packet.size(), 1023u);
    {
        Recorder r;
        r.framer.feed(packet);
        EXPECT_EQ(r.packets, Payloads{payload});
    }
    {
        Recorder r;
        for (std::size_t at = 0; at < packet.size(); at += 32)
            r.framer.feed(std::string_view(packet).substr(at, 32));
        EXPECT_EQ(r.packets, Payloads{payload});
        EXPECT_EQ(r.framer.buffer(), "");
    }
    {
        // Three bytes more, in the same chunks: 1024 bytes are held before the
        // stop string arrives, so the packet is lost.
        const Bytes longer = bytesOf({0xFE, 0xFF}) + Bytes(1022, 'p') + bytesOf({0xFF, 0xFE});
        Recorder r;
        for (std::size_t at = 0; at < longer.size(); at += 32)
            r.framer.feed(std::string_view(longer).substr(at, 32));
        EXPECT_TRUE(r.packets.empty());
        EXPECT_FALSE(r.framer.inPacket());
    }
}

TEST(PacketFramer, ThrowingHandlerIsReportedAndFramingGoesOn) {
    Recorder r;
    int calls = 0;
    r.framer.setOnPacket([&](const Bytes& p) {
        ++calls;
        if (p == "1")
            throw std::runtime_error("bad reply");
        if (p == "2")
            throw 42;
        r.packets.push_back(p);
    });
    r.feed(
        {0xFE, 0xFF, 0x31, 0xFF, 0xFE, 0xFE, 0xFF, 0x32, 0xFF, 0xFE, 0xFE, 0xFF, 0x33, 0xFF, 0xFE});
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(r.errors, (std::vector<std::string>{"bad reply", "Unknown error"}));
    EXPECT_EQ(r.packets, Payloads{"3"});

    // The pass still ends with the size rule after a handler threw.
    r.framer.feed(bytesOf({0xFE, 0xFF, 0x31, 0xFF, 0xFE}) + Bytes(1024, 'z'));
    EXPECT_EQ(r.errors.size(), 3u);
    EXPECT_EQ(r.framer.buffer(), "");
}

TEST(PacketFramer, ThrowingErrorHandlerLeavesTheFramerUsable) {
    Recorder r;
    r.framer.setOnPacket([&](const Bytes& p) {
        if (p == "1")
            throw std::runtime_error("bad");
        r.packets.push_back(p);
    });
    r.framer.setOnError([](const std::exception&) { throw std::logic_error("error box failed"); });
    EXPECT_THROW(r.feed({0xFE, 0xFF, 0x31, 0xFF, 0xFE, 0xFE, 0xFF, 0x32, 0xFF, 0xFE}),
                 std::logic_error);
    EXPECT_FALSE(r.framer.inPacket());
    // The bytes that followed are framed by the next feed, before the new ones.
    r.feed({0xFE, 0xFF, 0x33, 0xFF, 0xFE});
    EXPECT_EQ(r.packets, (Payloads{"2", "3"}));
}

TEST(PacketFramer, FeedDuringTheHandlerIsFramedAfterItInOrder) {
    // A modal box inside the handler runs a nested event loop, and bytes arrive.
    PacketFramer framer;
    Payloads packets;
    int depth = 0;
    int maxDepth = 0;
    framer.setOnPacket([&](const Bytes& p) {
        maxDepth = std::max(maxDepth, ++depth);
        packets.push_back(p);
        if (p == "1") {
            framer.feed(bytesOf({0x42, 0xFF, 0xFE, 0xFE, 0xFF}));
            framer.feed(bytesOf({0x33, 0xFF, 0xFE}));
            EXPECT_EQ(packets, Payloads{"1"}); // nothing delivered inside the handler
        }
        --depth;
    });
    // "1", "2", then a packet "A..." the handler's bytes complete, then "3".
    framer.feed(
        bytesOf({0xFE, 0xFF, 0x31, 0xFF, 0xFE, 0xFE, 0xFF, 0x32, 0xFF, 0xFE, 0xFE, 0xFF, 0x41}));
    EXPECT_EQ(packets, (Payloads{"1", "2", "AB", "3"}));
    EXPECT_EQ(maxDepth, 1);
    EXPECT_EQ(framer.buffer(), "");
}

TEST(PacketFramer, OtherFramingStrings) {
    Recorder r;
    r.framer.setStartString("<<");
    r.framer.setStopString(">");
    r.framer.feed("x<<a>b<<<c>>");
    EXPECT_EQ(r.packets, (Payloads{"a", "<c"}));
    EXPECT_EQ(r.framer.buffer(), ">");
    EXPECT_THROW(r.framer.setStartString(""), std::invalid_argument);
    EXPECT_THROW(r.framer.setStopString(""), std::invalid_argument);
}

// Any way of cutting a stream into chunks gives the same packets as feeding it
// whole, as long as fewer than 1024 bytes are held at a time.
TEST(PacketFramer, ChunkBoundariesDoNotMatter) {
    std::mt19937 random(20240611);
    const Bytes start = bytesOf({0xFE, 0xFF});
    const Bytes stop = bytesOf({0xFF, 0xFE});
    const Bytes alphabet = bytesOf({0xFE, 0xFF, 0x00, 0x41});
    for (int round = 0; round < 200; ++round) {
        Bytes stream;
        Payloads expected;
        int count = std::uniform_int_distribution<>(0, 6)(random);
        for (int i = 0; i < count; ++i) {
            Bytes noise;
            for (int n = std::uniform_int_distribution<>(0, 3)(random); n > 0; --n)
                noise += (random() % 2) ? '\x41' : '\xFF';
            Bytes payload;
            for (int n = std::uniform_int_distribution<>(0, 40)(random); n > 0; --n) {
                char c = alphabet[random() % alphabet.size()];
                if (c == '\xFE' && !payload.empty() && payload.back() == '\xFF')
                    c = 0x41; // FF FE would end the packet
                payload += c;
            }
            if (!payload.empty() && payload.back() == '\xFF')
                payload += '\x41'; // FF followed by the stop string would end it early
            stream += noise + start + payload + stop;
            expected.push_back(payload);
        }
        Recorder r;
        for (std::size_t at = 0; at < stream.size();) {
            std::size_t n = std::uniform_int_distribution<std::size_t>(1, 9)(random);
            r.framer.feed(std::string_view(stream).substr(at, n));
            at += n;
        }
        ASSERT_EQ(r.packets, expected) << "round " << round << ": " << hexForm(stream);
    }
}

TEST(PacketFramer, AResetDropsAPacketCutShortSoThatTheNextReplyStandsAlone) {
    Recorder r;
    // A reply cut short: "T7 2.0" without its stop string.
    r.framer.feed(Bytes("\xFE\xFFT7 2.0", 8));
    EXPECT_TRUE(r.framer.inPacket());
    r.framer.reset();
    EXPECT_FALSE(r.framer.inPacket());
    EXPECT_EQ(r.framer.heldBytes(), 0u);
    r.feed({0xFE, 0xFF, 'T', '7', ' ', '2', '.', '0', '5', 0xFF, 0xFE});
    EXPECT_EQ(r.packets, Payloads{"T7 2.05"}) << "not \"\xFE\xFFT7 2.0...\"";
    // Without the reset the two glue together (what the reset is for).
    Recorder glued;
    glued.framer.feed(Bytes("\xFE\xFFT7 2.0", 8));
    glued.feed({0xFE, 0xFF, 'T', '7', ' ', '2', '.', '0', '5', 0xFF, 0xFE});
    EXPECT_EQ(glued.packets, Payloads{Bytes("T7 2.0\xFE\xFFT7 2.05", 15)});
}

TEST(PacketFramer, AResetInsideTheHandlerKeepsWhatArrivesAfterIt) {
    PacketFramer framer;
    Payloads packets;
    framer.setOnPacket([&](const Bytes& p) {
        packets.push_back(p);
        if (p == "1") {
            framer.feed(bytesOf({0xFE, 0xFF, 'x'})); // stale, cut short
            framer.reset();                          // a new operation begins
            framer.feed(bytesOf({0xFE, 0xFF, '2', 0xFF, 0xFE}));
        }
    });
    // "1", then a half packet held at the reset, dropped with it.
    framer.feed(bytesOf({0xFE, 0xFF, '1', 0xFF, 0xFE, 0xFE, 0xFF, 'h'}));
    EXPECT_EQ(packets, (Payloads{"1", "2"}));
    EXPECT_EQ(framer.heldBytes(), 0u);
    framer.feed(bytesOf({0xFE, 0xFF, '3', 0xFF, 0xFE}));
    EXPECT_EQ(packets, (Payloads{"1", "2", "3"}));
}

} // namespace
} // namespace t6
