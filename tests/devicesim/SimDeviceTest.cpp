#include "SimDevice.h"
#include "SimTestKit.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

using t6sim::RequestOutcome;
using t6sim::SimDevice;
using t6sim::SimOptions;
using namespace t6sim::test;

namespace {

const std::string kTt = bytes({0xFE, 0xFF, 0x54, 0x74, 0xFF, 0xFE});
const std::string kSg = bytes({0xFE, 0xFF, 0x53, 0x67, 0xFF, 0xFE});
const std::string kT7Reply =
    bytes({0xFE, 0xFF, 0x54, 0x37, 0x20, 0x32, 0x2E, 0x30, 0x35, 0xFF, 0xFE});
const std::string kCsqReply = bytes(
    {0xFE, 0xFF, 0x2B, 0x43, 0x53, 0x51, 0x3A, 0x20, 0x31, 0x37, 0x2C, 0x39, 0x39, 0xFF, 0xFE});

} // namespace

TEST(SimDevice, AnswersIdentificationAndSignalLevelWithTheirBytes) {
    Harness h;
    h.device.feed(kTt);
    ASSERT_EQ(h.chunks.size(), 1u);
    EXPECT_EQ(h.chunks[0], kT7Reply);

    h.device.feed(kSg);
    ASSERT_EQ(h.chunks.size(), 2u);
    EXPECT_EQ(h.chunks[1], kCsqReply);

    ASSERT_EQ(h.device.requestLog().size(), 2u);
    const auto& first = h.device.requestLog()[0];
    EXPECT_EQ(first.serial, 1u);
    EXPECT_EQ(first.payload, "Tt");
    EXPECT_EQ(first.command, "Tt");
    EXPECT_EQ(first.outcome, RequestOutcome::Answered);
    EXPECT_EQ(h.device.requestLog()[1].payload, "Sg");
    EXPECT_FALSE(h.device.insideRequest());
    EXPECT_EQ(h.device.pendingBytes(), 0u);
}

TEST(SimDevice, IdentificationAndSignalTextsAreTakenAsGiven) {
    const std::pair<std::string, std::string> cases[] = {
        {"T6", bytes({0xFE, 0xFF, 0x54, 0x36, 0xFF, 0xFE})},
        {"On", bytes({0xFE, 0xFF, 0x4F, 0x6E, 0xFF, 0xFE})},
        {" T7", bytes({0xFE, 0xFF, 0x20, 0x54, 0x37, 0xFF, 0xFE})},
        {"T7", bytes({0xFE, 0xFF, 0x54, 0x37, 0xFF, 0xFE})},
        {"", bytes({0xFE, 0xFF, 0xFF, 0xFE})},
        // Bytes above 7F (a Windows-1251 version text) pass through untouched.
        {"T7 \xE2\x31", bytes({0xFE, 0xFF, 0x54, 0x37, 0x20, 0xE2, 0x31, 0xFF, 0xFE})},
    };
    for (const auto& [type, expected] : cases) {
        SimOptions o;
        o.typeReply = type;
        Harness h(o);
        h.device.feed(kTt);
        EXPECT_EQ(h.all(), expected) << "type \"" << type << "\"";
    }

    Harness h;
    h.device.options().csqReply = "+CSQ: 99,99";
    h.device.feed(kSg);
    EXPECT_EQ(h.all(), bytes({0xFE, 0xFF, 0x2B, 0x43, 0x53, 0x51, 0x3A, 0x20, 0x39, 0x39, 0x2C,
                              0x39, 0x39, 0xFF, 0xFE}));
    // A change between requests applies to the next reply.
    h.chunks.clear();
    h.device.options().typeReply = "V5";
    h.device.feed(kTt);
    EXPECT_EQ(h.all(), bytes({0xFE, 0xFF, 0x56, 0x35, 0xFF, 0xFE}));
}

TEST(SimDevice, FramesRequestsAcrossFeedsAndWithinOne) {
    {
        Harness h; // split inside the payload
        h.device.feed(bytes({0xFE, 0xFF, 0x54}));
        EXPECT_TRUE(h.chunks.empty());
        EXPECT_TRUE(h.device.insideRequest());
        EXPECT_EQ(h.device.pendingBytes(), 3u);
        h.device.feed(bytes({0x74, 0xFF, 0xFE}));
        ASSERT_EQ(h.chunks.size(), 1u);
        EXPECT_EQ(h.chunks[0], kT7Reply);
    }
    {
        Harness h; // split between the two bytes of the start and of the stop string
        h.device.feed(bytes({0xFE}));
        h.device.feed(bytes({0xFF, 0x54, 0x74, 0xFF}));
        EXPECT_TRUE(h.chunks.empty());
        h.device.feed(bytes({0xFE}));
        EXPECT_EQ(h.all(), kT7Reply);
    }
    {
        Harness h; // two requests in one feed, answered in order
        h.device.feed(kSg + kTt);
        ASSERT_EQ(h.chunks.size(), 2u);
        EXPECT_EQ(h.chunks[0], kCsqReply);
        EXPECT_EQ(h.chunks[1], kT7Reply);
    }
}

TEST(SimDevice, StreamGivesTheSameRepliesWhereverItIsCut) {
    // Noise with a stray stop string and a lone FE, two requests, a trailing
    // start of a third one.
    const std::string stream = bytes({0x00, 0x11, 0xFF, 0xFE, 0x55, 0xFE}) + kTt +
                               bytes({0x41, 0x42}) + kSg + bytes({0xFE, 0xFF, 0x54});
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
        Harness h;
        h.device.feed(stream.substr(0, cut));
        h.device.feed(stream.substr(cut));
        EXPECT_EQ(h.all(), kT7Reply + kCsqReply) << "cut at " << cut;
        EXPECT_EQ(h.device.requestCount(), 2u) << "cut at " << cut;
        EXPECT_TRUE(h.device.insideRequest()) << "cut at " << cut;
    }
    Harness h; // one byte at a time
    for (char c : stream) {
        h.device.feed(std::string(1, c));
    }
    EXPECT_EQ(h.all(), kT7Reply + kCsqReply);
}

TEST(SimDevice, UnknownRequestsAreIgnoredAndCounted) {
    Harness h;
    // Unknown command, a blank too many, wrong case, empty payload, and a start
    // string inside the packet (the stop is the first FF FE after the start).
    h.device.feed(bytes({0xFE, 0xFF, 0x58, 0x78, 0xFF, 0xFE}));
    h.device.feed(bytes({0xFE, 0xFF, 0x54, 0x74, 0x20, 0xFF, 0xFE}));
    h.device.feed(bytes({0xFE, 0xFF, 0x74, 0x74, 0xFF, 0xFE}));
    h.device.feed(bytes({0xFE, 0xFF, 0xFF, 0xFE}));
    h.device.feed(bytes({0xFE, 0xFF, 0xFE, 0xFF, 0x54, 0x74, 0xFF, 0xFE}));
    EXPECT_TRUE(h.chunks.empty());
    EXPECT_EQ(h.device.unknownCount(), 5u);
    ASSERT_EQ(h.device.requestLog().size(), 5u);
    EXPECT_EQ(h.device.requestLog()[3].payload, "");
    EXPECT_EQ(h.device.requestLog()[4].payload, bytes({0xFE, 0xFF, 0x54, 0x74}));
    for (const auto& r : h.device.requestLog()) {
        EXPECT_EQ(r.outcome, RequestOutcome::Unknown);
        EXPECT_TRUE(r.command.empty());
    }
    h.device.feed(kTt); // and the device goes on answering
    EXPECT_EQ(h.all(), kT7Reply);
    EXPECT_EQ(t6sim::hexBytes(bytes({0x00, 0x0F, 0xFE, 0xFF})), "00 0F FE FF");
}

TEST(SimDevice, SilentRequestGetsNothingOthersStillAnswered) {
    SimOptions o;
    o.silent = {"Tt"};
    Harness h(o);
    h.device.feed(kTt + kSg + kTt);
    ASSERT_EQ(h.chunks.size(), 1u);
    EXPECT_EQ(h.chunks[0], kCsqReply);
    const auto& log = h.device.requestLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].outcome, RequestOutcome::Silenced);
    EXPECT_EQ(log[1].outcome, RequestOutcome::Answered);
    EXPECT_EQ(log[2].outcome, RequestOutcome::Silenced);
    EXPECT_EQ(h.device.unknownCount(), 0u);
}

TEST(SimDevice, SplitSendsOneCallPerChunk) {
    SimOptions o;
    o.splitChunk = 4;
    Harness h(o);
    h.device.feed(kTt);
    const std::vector<std::string> expected = {bytes({0xFE, 0xFF, 0x54, 0x37}),
                                               bytes({0x20, 0x32, 0x2E, 0x30}),
                                               bytes({0x35, 0xFF, 0xFE})};
    EXPECT_EQ(h.chunks, expected);

    h.chunks.clear();
    h.device.options().splitChunk = 1;
    h.device.feed(kTt);
    EXPECT_EQ(h.chunks.size(), kT7Reply.size());
    EXPECT_EQ(h.all(), kT7Reply);

    h.chunks.clear();
    h.device.options().splitChunk = 100;
    h.device.feed(kTt);
    ASSERT_EQ(h.chunks.size(), 1u);
    EXPECT_EQ(h.chunks[0], kT7Reply);
}

TEST(SimDevice, TruncateNeverSendsTheStopString) {
    SimOptions o;
    o.truncateAfter = 5;
    Harness h(o);
    h.device.feed(kTt);
    EXPECT_EQ(h.all(), bytes({0xFE, 0xFF, 0x54, 0x37, 0x20}));

    // Longer than the packet: everything but the stop string.
    h.chunks.clear();
    h.device.options().truncateAfter = 100;
    h.device.feed(kTt);
    EXPECT_EQ(h.all(), kT7Reply.substr(0, kT7Reply.size() - 2));

    // Cut to nothing: the sink is not called at all.
    h.chunks.clear();
    h.device.options().truncateAfter = 0;
    h.device.feed(kTt);
    EXPECT_TRUE(h.chunks.empty());
    EXPECT_EQ(h.device.requestLog().back().outcome, RequestOutcome::Answered);
}

TEST(SimDevice, NoiseComesFirstAndCombinesWithTruncateAndSplit) {
    SimOptions o;
    o.noise = true;
    o.noiseBytes = bytes({0x00, 0x11});
    Harness h(o);
    h.device.feed(kTt);
    EXPECT_EQ(h.all(), bytes({0x00, 0x11}) + kT7Reply);

    // The cut counts from the start string, the noise is not part of it.
    h.chunks.clear();
    h.device.options().truncateAfter = 3;
    h.device.options().splitChunk = 2;
    h.device.feed(kTt);
    const std::vector<std::string> expected = {bytes({0x00, 0x11}), bytes({0xFE, 0xFF}),
                                               bytes({0x54})};
    EXPECT_EQ(h.chunks, expected);

    // The default noise holds no start string, so a reader drops all of it.
    const std::string noise = SimOptions{}.noiseBytes;
    EXPECT_FALSE(noise.empty());
    EXPECT_EQ((noise + kT7Reply).find(t6sim::kPacketStart), noise.size());
}

TEST(SimDevice, OverlongRequestIsDroppedAndTheDeviceRecovers) {
    Harness h;
    h.device.feed(bytes({0xFE, 0xFF}));
    h.device.feed(std::string(SimDevice::kMaxRequestBytes, 'A'));
    EXPECT_EQ(h.device.droppedRequestCount(), 1u);
    EXPECT_FALSE(h.device.insideRequest());
    EXPECT_EQ(h.device.pendingBytes(), 0u);
    h.device.feed(bytes({0x41, 0xFF, 0xFE}) + kTt); // the tail of the dropped one is noise
    EXPECT_EQ(h.all(), kT7Reply);
    EXPECT_EQ(h.device.requestCount(), 1u);

    // Noise without any start string is never held, however much of it comes.
    h.device.feed(std::string(100000, '\x00'));
    EXPECT_EQ(h.device.pendingBytes(), 0u);
}

TEST(SimDevice, TableTakesExactPrefixAndNextRequestEntries) {
    Harness h;
    std::vector<std::string> seen;
    h.device.handlePrefix("D", [&](const std::string& p) {
        seen.push_back("D:" + p);
        return std::optional<std::string>("short");
    });
    h.device.handlePrefix("Dx", [&](const std::string& p) {
        seen.push_back("Dx:" + p);
        return std::optional<std::string>();
    });
    h.device.handle("Tt", [](const std::string&) { return std::optional<std::string>("T7 9"); });

    auto frame = [](const std::string& p) { return "\xFE\xFF" + p + "\xFF\xFE"; };
    h.device.feed(frame("D1r") + frame("Dx5") + frame("D") + frame("Tt"));
    EXPECT_EQ(seen, (std::vector<std::string>{"D:D1r", "Dx:Dx5"}));
    EXPECT_EQ(h.all(), frame("short") + frame("T7 9"));
    const auto& log = h.device.requestLog();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[1].command, "Dx");
    EXPECT_EQ(log[1].outcome, RequestOutcome::NoReply);
    EXPECT_EQ(log[2].outcome, RequestOutcome::Unknown); // a prefix alone has no arguments

    // "Ready" then data: the next payload goes to the waiting handler whatever
    // it holds, and after it the table applies again.
    h.chunks.clear();
    h.device.handle("Wp", [&](const std::string&) {
        h.device.expectNext("Wp data", [](const std::string& data) {
            return std::optional<std::string>(data.size() == 2 ? "Ok" : "Err");
        });
        return std::optional<std::string>("OK");
    });
    h.device.feed(frame("Wp") + frame("Tt") + frame("Tt"));
    EXPECT_EQ(h.all(), frame("OK") + frame("Ok") + frame("T7 9"));
    EXPECT_EQ(log[5].command, "Wp data");

    // A waiting handler can be silenced by its name.
    h.chunks.clear();
    h.device.options().silent = {"Wp data"};
    h.device.feed(frame("Wp") + frame("xy") + frame("Tt"));
    EXPECT_EQ(h.all(), frame("OK") + frame("T7 9"));
}

TEST(SimDevice, RequestLogKeepsTheLatestRecords) {
    Harness h;
    const std::size_t extra = 10;
    for (std::size_t i = 0; i < SimDevice::kLogCapacity + extra; ++i) {
        h.device.feed(kSg);
    }
    EXPECT_EQ(h.device.requestLog().size(), SimDevice::kLogCapacity);
    EXPECT_EQ(h.device.requestLog().front().serial, extra + 1);
    EXPECT_EQ(h.device.requestLog().back().serial, SimDevice::kLogCapacity + extra);
    EXPECT_EQ(h.device.requestCount(), SimDevice::kLogCapacity + extra);
}
