// The in-process port to the simulated device, on virtual time.
#include "support/SimulatedPort.h"
#include "support/ManualClock.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

namespace t6::test {
namespace {

std::string frame(const std::string& payload) {
    return "\xFE\xFF" + payload + "\xFF\xFE";
}

struct PortHarness {
    explicit PortHarness(t6sim::SimOptions options = {}) : port(clock, std::move(options)) {
        port.setReceiver([this](const Bytes& b) { chunks.push_back(b); });
        port.open();
    }
    std::string received() const {
        std::string s;
        for (const auto& c : chunks)
            s += c;
        return s;
    }
    ManualClock clock;
    SimulatedPort port;
    std::vector<Bytes> chunks;
};

TEST(SimulatedPort, ReplyArrivesAfterTheDelayNeverInsideWrite) {
    PortHarness h;
    h.port.write(frame("Tt"));
    EXPECT_TRUE(h.chunks.empty());
    EXPECT_EQ(h.port.pendingBytes(), 11u);
    h.clock.advance(4);
    EXPECT_TRUE(h.chunks.empty());
    h.clock.advance(1);
    ASSERT_EQ(h.chunks.size(), 1u);
    EXPECT_EQ(h.chunks[0],
              bytesOf({0xFE, 0xFF, 0x54, 0x37, 0x20, 0x32, 0x2E, 0x30, 0x35, 0xFF, 0xFE}));
    EXPECT_EQ(h.port.pendingBytes(), 0u);

    // Writes are recorded as written, request pieces included.
    h.port.write(bytesOf({0xFE, 0xFF, 0x53}));
    h.port.write(bytesOf({0x67, 0xFF, 0xFE}));
    ASSERT_EQ(h.port.writes.size(), 3u);
    EXPECT_EQ(h.port.writes[1].bytes, bytesOf({0xFE, 0xFF, 0x53}));
    EXPECT_EQ(h.port.writes[1].port, "COM1");
    EXPECT_EQ(h.port.sentToDevice(), frame("Tt") + frame("Sg"));
    h.clock.advance(5);
    EXPECT_EQ(h.chunks.back(), frame("+CSQ: 17,99"));

    // Another delay, with the device's own delay on top.
    h.chunks.clear();
    h.port.replyDelayMs = 20;
    h.port.device().options().replyDelay = std::chrono::milliseconds(30);
    h.port.write(frame("Tt"));
    h.clock.advance(49);
    EXPECT_TRUE(h.chunks.empty());
    h.clock.advance(1);
    EXPECT_EQ(h.received(), frame("T7 2.05"));
}

TEST(SimulatedPort, PurgeCloseAndAnotherPortLoseTheReply) {
    PortHarness h;
    h.port.write(frame("Pt"));
    h.port.purge();
    EXPECT_EQ(h.port.purges, 1);
    h.clock.advance(100);
    EXPECT_TRUE(h.chunks.empty());

    h.port.write(frame("Pt"));
    h.port.close();
    h.clock.advance(100);
    h.port.open();
    h.clock.advance(100);
    EXPECT_TRUE(h.chunks.empty());
    h.port.close();
    EXPECT_THROW(h.port.purge(), PortError);
}

TEST(SimulatedPort, OnlyTheDevicePortAnswersAndUnknownPortsDoNotOpen) {
    PortHarness h;
    h.port.close();
    h.port.ports = {"COM1", "COM3"};
    h.port.devicePort = "COM3";
    h.port.open(); // COM1: nobody there
    h.port.write(frame("Tt"));
    h.clock.advance(50);
    EXPECT_TRUE(h.chunks.empty());
    h.port.setPortName("COM3"); // reopens on the new name
    EXPECT_TRUE(h.port.isOpen());
    h.port.write(frame("Tt"));
    h.clock.advance(5);
    EXPECT_EQ(h.received(), frame("T7 2.05"));
    EXPECT_EQ(h.port.opened, (std::vector<std::string>{"COM1", "COM1", "COM3"}));
    EXPECT_EQ(h.port.sentToDevice(), frame("Tt"));

    h.port.close();
    EXPECT_THROW(h.port.write(frame("Tt")), PortError);
    h.port.setPortName("COM7");
    EXPECT_THROW(h.port.open(), PortError);
    EXPECT_FALSE(h.port.isOpen());
}

TEST(SimulatedPort, PacedReplyIsSpreadAt260MicrosecondsAByte) {
    t6sim::SimOptions options;
    options.pace = true;
    PortHarness h(options);
    h.port.write(frame("Ro")); // 228 bytes back: 59.28 ms on the line after 5 ms
    h.clock.advance(5);
    EXPECT_TRUE(h.chunks.empty());
    h.clock.advance(1); // 1000 µs: three whole bytes
    EXPECT_EQ(h.received(), bytesOf({0xFE, 0xFF, 0x31}));
    h.clock.advance(58); // 64 ms: 226 bytes
    EXPECT_EQ(h.received().size(), 226u);
    EXPECT_GT(h.chunks.size(), 50u);
    h.clock.advance(1);
    EXPECT_EQ(h.received(), frame(h.port.device().memory().wirelessOutputs));

    // Two replies back to back share the line: the second starts once the
    // first has arrived, 5 ms + 11 bytes after the request.
    h.chunks.clear();
    h.port.write(frame("Tt") + frame("Tt"));
    h.clock.advance(5 + 3);
    EXPECT_EQ(h.received(), frame("T7 2.05"));
    h.clock.advance(2);
    EXPECT_EQ(h.received().size(), 11u + 8u);
    h.clock.advance(1);
    EXPECT_EQ(h.received(), frame("T7 2.05") + frame("T7 2.05"));
}

TEST(SimulatedPort, SplitRepliesComeAsSeparateChunks) {
    t6sim::SimOptions options;
    options.splitChunk = 4;
    PortHarness h(options);
    h.port.write(frame("Tt"));
    h.clock.advance(5);
    EXPECT_EQ(h.chunks,
              (std::vector<Bytes>{bytesOf({0xFE, 0xFF, 0x54, 0x37}),
                                  bytesOf({0x20, 0x32, 0x2E, 0x30}), bytesOf({0x35, 0xFF, 0xFE})}));
}

TEST(SimulatedPort, ReceiverMayWriteThePathOnAndIsNeverReentered) {
    ManualClock clock;
    SimulatedPort port(clock);
    int depth = 0;
    int maxDepth = 0;
    std::vector<Bytes> got;
    // A read chain driven from the receiver, with a fixed wait inside it as
    // the configurator takes between two requests.
    port.setReceiver([&](const Bytes& b) {
        ++depth;
        maxDepth = std::max(maxDepth, depth);
        got.push_back(b);
        if (got.size() == 1) {
            port.write(frame("Tt")); // answered while we wait below
            clock.wait(100);
            port.write(frame("Sg"));
        }
        --depth;
    });
    port.open();
    port.write(frame("Ltd"));
    clock.advance(5);
    EXPECT_EQ(maxDepth, 1);
    ASSERT_EQ(got.size(), 2u); // the answer to Tt, handed over after the wait
    EXPECT_EQ(got[1], frame("T7 2.05"));
    clock.advance(5);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[2], frame("+CSQ: 17,99"));
}

TEST(SimulatedPort, LearnedCodeComesAfterTheLearnDelayUnlessCancelled) {
    t6sim::SimOptions options;
    options.learnDelay = std::chrono::milliseconds(1500);
    PortHarness h(options);
    const Bytes key =
        bytesOf({0xFE, 0xFF, 0x01, 0xC4, 0x7F, 0x2A, 0x19, 0x00, 0x00, 0x5D, 0xFF, 0xFE});

    // The learn delay, then the port's 5 ms, in virtual time.
    h.port.write(frame("Kr"));
    h.clock.advance(1504);
    EXPECT_TRUE(h.chunks.empty());
    h.clock.advance(1);
    EXPECT_EQ(h.received(), key);

    // A cancel before the code is due: nothing comes, however long one waits.
    h.chunks.clear();
    h.port.write(frame("Kr"));
    h.clock.advance(1499);
    h.port.write(frame("Ur"));
    h.clock.advance(10000);
    EXPECT_TRUE(h.chunks.empty());
    EXPECT_FALSE(h.port.device().pendingLearn().has_value());

    // A new learning restarts the wait and brings only its own code; other
    // requests are answered meanwhile.
    h.port.write(frame("Pr"));
    h.clock.advance(1000);
    h.port.write(frame("Ps"));
    h.port.write(frame("Tt"));
    h.clock.advance(5);
    EXPECT_EQ(h.received(), frame("T7 2.05"));
    h.chunks.clear();
    h.clock.advance(1499);
    EXPECT_TRUE(h.chunks.empty());
    h.clock.advance(1);
    EXPECT_EQ(h.received(), bytesOf({0xFE, 0xFF, 0x7E, 0x21, 0xC3, 0x05, 0xFF, 0xFE}));

    // The device's reply delay comes on top of the learn delay.
    h.chunks.clear();
    h.port.device().options().replyDelay = std::chrono::milliseconds(100);
    h.port.device().options().learnDelay = std::chrono::milliseconds(300);
    h.port.write(frame("Rtd"));
    h.clock.advance(404);
    EXPECT_TRUE(h.chunks.empty());
    h.clock.advance(1);
    EXPECT_EQ(h.received(), bytesOf({0xFE, 0xFF, 0x66, 0x77, 0x88, 0xFF, 0xFE}));
}

TEST(SimulatedPort, LearningGoesOnWhileThePortIsClosed) {
    t6sim::SimOptions options;
    options.learnDelay = std::chrono::milliseconds(500);
    PortHarness h(options);
    // Closed and reopened before the code is due: the code arrives.
    h.port.write(frame("Pr"));
    h.port.close();
    h.clock.advance(200);
    h.port.open();
    h.port.purge();
    h.clock.advance(305);
    EXPECT_EQ(h.received(), bytesOf({0xFE, 0xFF, 0x5A, 0x6B, 0x7C, 0xFF, 0xFE}));
    // Closed when it is due: it is lost, and nothing comes later.
    h.chunks.clear();
    h.port.write(frame("Pr"));
    h.port.close();
    h.clock.advance(1000);
    h.port.open();
    h.clock.advance(1000);
    EXPECT_TRUE(h.chunks.empty());
}

TEST(SimulatedPort, UnplugClosesAndTellsTheLostHandler) {
    PortHarness h;
    int reason = 0;
    h.port.setLostHandler([&](int code) { reason = code; });
    h.port.write(frame("Tt"));
    h.port.unplug();
    EXPECT_FALSE(h.port.isOpen());
    EXPECT_EQ(reason, ENODEV);
    h.clock.advance(10);
    EXPECT_TRUE(h.chunks.empty());
}

} // namespace
} // namespace t6::test
