// How a reply leaves the device under the fault options: split at a position,
// sent twice, late, with noise inside, or cut off by the line going dead.
#include "SimDevice.h"
#include "SimReplyShape.h"
#include "SimTestKit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

using t6sim::ReplyPiece;
using t6sim::ReplyShape;
using t6sim::shapeReply;
using t6sim::SimOptions;
using namespace t6sim::test;
using namespace std::chrono_literals;

namespace {

const std::string kTt = frame("Tt");
const std::string kT7Reply = frame("T7 2.05");

std::string joined(const std::vector<ReplyPiece>& pieces) {
    std::string all;
    for (const auto& p : pieces)
        all += p.bytes;
    return all;
}

// A harness whose device hands over whole pieces.
struct PieceHarness {
    explicit PieceHarness(SimOptions options) : device(std::move(options)) {
        device.setPieceSink([this](const ReplyPiece& p) { pieces.push_back(p); });
    }
    std::vector<ReplyPiece> ask(const std::string& wire) {
        pieces.clear();
        device.feed(wire);
        return pieces;
    }
    t6sim::SimDevice device;
    std::vector<ReplyPiece> pieces;
};

} // namespace

TEST(ReplyShape, SplitAtEveryPositionRejoinsToThePacket) {
    for (std::size_t at = 1; at < kT7Reply.size(); ++at) {
        ReplyShape shape;
        shape.noiseBefore = bytes({0x00, 0x11});
        shape.splitAfter = at;
        const auto pieces = shapeReply("T7 2.05", shape);
        ASSERT_EQ(pieces.size(), 2u) << at;
        // The noise goes with the first piece; the position counts from the start string.
        EXPECT_EQ(pieces[0].bytes, bytes({0x00, 0x11}) + kT7Reply.substr(0, at)) << at;
        EXPECT_EQ(pieces[1].bytes, kT7Reply.substr(at)) << at;
        EXPECT_FALSE(pieces[0].pauseBefore);
        EXPECT_TRUE(pieces[1].pauseBefore);
    }
    // No position inside the packet: one write.
    for (std::size_t at : {std::size_t{0}, kT7Reply.size(), kT7Reply.size() + 5}) {
        ReplyShape shape;
        shape.splitAfter = at;
        const auto pieces = shapeReply("T7 2.05", shape);
        ASSERT_EQ(pieces.size(), 1u) << at;
        EXPECT_EQ(pieces[0].bytes, kT7Reply);
    }
}

TEST(ReplyShape, SweepTakesTheNextPositionWithEachReplyOfItsStage) {
    SimOptions o;
    o.splitSweep["Tt"] = 3;
    PieceHarness h(o);
    std::vector<std::size_t> firstLengths;
    for (std::size_t k = 1; k <= kT7Reply.size() - 1; ++k) {
        const auto pieces = h.ask(kTt);
        ASSERT_EQ(pieces.size(), 2u) << k;
        EXPECT_EQ(joined(pieces), kT7Reply);
        firstLengths.push_back(pieces[0].bytes.size());
    }
    // From 3 to 10 (an 11-byte packet), then 1 and 2.
    const std::vector<std::size_t> expected = {3, 4, 5, 6, 7, 8, 9, 10, 1, 2};
    EXPECT_EQ(firstLengths, expected);
    // Other stages are not swept.
    EXPECT_EQ(h.ask(frame("Sg")).size(), 1u);
}

TEST(ReplyShape, TwiceSendsTheWholeReplyAgainAfterAPause) {
    ReplyShape shape;
    shape.twice = true;
    shape.splitAfter = 4;
    shape.lateBy = 700ms;
    const auto pieces = shapeReply("OK", shape);
    ASSERT_EQ(pieces.size(), 4u);
    EXPECT_EQ(joined(pieces), frame("OK") + frame("OK"));
    EXPECT_FALSE(pieces[0].pauseBefore);
    EXPECT_TRUE(pieces[1].pauseBefore);
    EXPECT_TRUE(pieces[2].pauseBefore);
    for (const auto& p : pieces) {
        EXPECT_EQ(p.lateBy, 700ms);
        EXPECT_FALSE(p.hangUpAfter);
    }
}

TEST(ReplyShape, NoiseInsideSitsInTheMiddleOfThePayloadAndCountsForTheCut) {
    ReplyShape shape;
    shape.noiseInside = bytes({0x00, 0x55});
    EXPECT_EQ(joined(shapeReply("T7 2.05", shape)), frame("T7 " + bytes({0x00, 0x55}) + "2.05"));
    EXPECT_EQ(joined(shapeReply("", shape)), frame(bytes({0x00, 0x55})));
    shape.cut = 6;
    EXPECT_EQ(joined(shapeReply("T7 2.05", shape)), bytes({0xFE, 0xFF}) + "T7 " + bytes({0x00}));
}

TEST(ReplyShape, TheLineGoesDeadAfterTheBytesItWasGiven) {
    ReplyShape shape;
    shape.hangUpAfter = 5;
    shape.twice = true; // a dead line sends no second copy
    shape.chunk = 2;
    auto pieces = shapeReply("T7 2.05", shape);
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(joined(pieces), kT7Reply.substr(0, 5));
    EXPECT_FALSE(pieces[1].hangUpAfter);
    EXPECT_TRUE(pieces[2].hangUpAfter);

    // Nothing at all: one empty piece still carries the hang-up.
    shape.hangUpAfter = 0;
    pieces = shapeReply("T7 2.05", shape);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0], (ReplyPiece{"", 0ms, false, true}));

    // More than the packet: the whole reply, its stop string included.
    shape = ReplyShape{};
    shape.hangUpAfter = 100;
    pieces = shapeReply("T7 2.05", shape);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].bytes, kT7Reply);
    EXPECT_TRUE(pieces[0].hangUpAfter);
}

TEST(ReplyShape, StageOptionsReachOnlyTheirStageAndADeadDeviceStaysQuiet) {
    SimOptions o;
    o.lateReplies["Sg"] = 10500ms;
    o.repliedTwice.insert("Tt");
    o.noiseInside.insert("Sg");
    o.noiseBytes = bytes({0x55});
    o.hangUpAt["Ro"] = 7;
    PieceHarness h(o);

    auto pieces = h.ask(kTt);
    ASSERT_EQ(pieces.size(), 2u);
    EXPECT_EQ(joined(pieces), kT7Reply + kT7Reply);
    EXPECT_EQ(pieces[0].lateBy, 0ms);

    pieces = h.ask(frame("Sg"));
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].bytes, frame("+CSQ:" + bytes({0x55}) + " 17,99"));
    EXPECT_EQ(pieces[0].lateBy, 10500ms);
    // Only the first reply is late: the next exchange is on time.
    pieces = h.ask(frame("Sg"));
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].lateBy, 0ms);

    EXPECT_FALSE(h.device.hungUp());
    pieces = h.ask(frame("Ro"));
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_EQ(pieces[0].bytes.size(), 7u);
    EXPECT_TRUE(pieces[0].hangUpAfter);
    EXPECT_TRUE(h.device.hungUp());
    // Gone: nothing is answered or even logged any more.
    const auto requests = h.device.requestCount();
    EXPECT_TRUE(h.ask(kTt).empty());
    EXPECT_EQ(h.device.requestCount(), requests);

    // The plain sink gets the bytes of each write and nothing of the timing.
    Harness plain(o);
    EXPECT_EQ(plain.ask(kTt), kT7Reply + kT7Reply);
    EXPECT_EQ(plain.chunks.size(), 2u);
}
