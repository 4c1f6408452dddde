// The simulated device learning a key, a fob, a zone sensor and a temperature
// sensor: the learned code, the learn delay and the cancels.
#include "SimDevice.h"
#include "SimTestKit.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

using t6sim::RequestOutcome;
using t6sim::SimOptions;
using namespace t6sim::test;
using namespace std::chrono_literals;

namespace {

const std::string kOK = bytes({0xFE, 0xFF, 0x4F, 0x4B, 0xFF, 0xFE});

SimOptions withLearnDelay(std::chrono::milliseconds delay) {
    SimOptions o;
    o.learnDelay = delay;
    return o;
}

} // namespace

TEST(Learning, WithoutDelayEachLearningAnswersItsCodeAtOnce) {
    Harness h;
    // FE FF 4B 72 FF FE: the identity of the key held to the reader.
    EXPECT_EQ(h.ask(bytes({0xFE, 0xFF, 0x4B, 0x72, 0xFF, 0xFE})),
              bytes({0xFE, 0xFF, 0x01, 0xC4, 0x7F, 0x2A, 0x19, 0x00, 0x00, 0x5D, 0xFF, 0xFE}));
    // FE FF 50 72 FF FE: a fob.
    EXPECT_EQ(h.ask(bytes({0xFE, 0xFF, 0x50, 0x72, 0xFF, 0xFE})),
              bytes({0xFE, 0xFF, 0x5A, 0x6B, 0x7C, 0xFF, 0xFE}));
    // FE FF 50 73 FF FE: a zone sensor.
    EXPECT_EQ(h.ask(bytes({0xFE, 0xFF, 0x50, 0x73, 0xFF, 0xFE})),
              bytes({0xFE, 0xFF, 0x7E, 0x21, 0xC3, 0x05, 0xFF, 0xFE}));
    // FE FF 52 74 64 FF FE: a temperature sensor.
    EXPECT_EQ(h.ask(bytes({0xFE, 0xFF, 0x52, 0x74, 0x64, 0xFF, 0xFE})),
              bytes({0xFE, 0xFF, 0x66, 0x77, 0x88, 0xFF, 0xFE}));
    EXPECT_FALSE(h.device.pendingLearn().has_value());

    // The codes are the test's choice.
    h.device.options().keyCode = bytes({0x01, 0xA2, 0xB3, 0xC4, 0xD5, 0xE6, 0xF7, 0x08});
    h.device.options().sensorCode = bytes({0x12, 0xAB, 0x00, 0xFF});
    EXPECT_EQ(h.ask(frame("Kr")),
              bytes({0xFE, 0xFF, 0x01, 0xA2, 0xB3, 0xC4, 0xD5, 0xE6, 0xF7, 0x08, 0xFF, 0xFE}));
    EXPECT_EQ(h.ask(frame("Ps")), bytes({0xFE, 0xFF, 0x12, 0xAB, 0x00, 0xFF, 0xFF, 0xFE}));
    for (const auto& r : h.device.requestLog()) {
        EXPECT_EQ(r.outcome, RequestOutcome::Answered) << r.command;
    }
}

TEST(Learning, WithADelayTheCodeWaitsForItsRelease) {
    Harness h(withLearnDelay(1500ms));
    EXPECT_EQ(h.ask(frame("Kr")), "");
    EXPECT_EQ(h.device.requestLog().back().outcome, RequestOutcome::Learning);
    ASSERT_TRUE(h.device.pendingLearn().has_value());
    const auto learning = *h.device.pendingLearn();
    EXPECT_EQ(learning.stage, "Kr");
    EXPECT_EQ(learning.delay, 1500ms);

    // Other requests are answered meanwhile; the learning goes on.
    EXPECT_EQ(h.ask(frame("Tt")), frame("T7 2.05"));
    ASSERT_TRUE(h.device.pendingLearn().has_value());
    EXPECT_EQ(h.device.pendingLearn()->ticket, learning.ticket);

    // What the device hears is taken when the code is due.
    h.device.options().keyCode = bytes({0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08});
    h.chunks.clear();
    EXPECT_TRUE(h.device.releaseLearned(learning.ticket));
    EXPECT_EQ(h.all(),
              bytes({0xFE, 0xFF, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0xFF, 0xFE}));
    // Once only.
    h.chunks.clear();
    EXPECT_FALSE(h.device.releaseLearned(learning.ticket));
    EXPECT_FALSE(h.device.releaseLearned());
    EXPECT_TRUE(h.chunks.empty());
    EXPECT_FALSE(h.device.pendingLearn().has_value());
}

TEST(Learning, EveryStopRequestEndsEveryLearningUnanswered) {
    for (const char* learn : {"Kr", "Pr", "Ps", "Rtd"}) {
        for (const char* stop : {"Ur", "Uk", "Us", "Utd"}) {
            Harness h(withLearnDelay(100ms));
            h.device.feed(frame(learn));
            ASSERT_TRUE(h.device.pendingLearn().has_value()) << learn;
            const auto ticket = h.device.pendingLearn()->ticket;
            h.device.feed(frame(stop));
            EXPECT_FALSE(h.device.pendingLearn().has_value()) << learn << " " << stop;
            EXPECT_FALSE(h.device.releaseLearned(ticket)) << learn << " " << stop;
            EXPECT_TRUE(h.chunks.empty()) << learn << " " << stop;
            EXPECT_EQ(h.device.requestLog().back().outcome, RequestOutcome::NoReply);
        }
    }
    // A stop request with nothing to stop is not answered either.
    Harness h;
    for (const char* stop : {"Ur", "Uk", "Us", "Utd"}) {
        EXPECT_EQ(h.ask(frame(stop)), "") << stop;
    }
}

TEST(Learning, ANewLearningReplacesThePendingOne) {
    Harness h(withLearnDelay(500ms));
    h.device.feed(frame("Pr"));
    const auto fob = h.device.pendingLearn()->ticket;
    h.device.feed(frame("Rtd"));
    ASSERT_TRUE(h.device.pendingLearn().has_value());
    EXPECT_NE(h.device.pendingLearn()->ticket, fob);
    EXPECT_EQ(h.device.pendingLearn()->stage, "Rtd");
    EXPECT_FALSE(h.device.releaseLearned(fob));
    EXPECT_TRUE(h.chunks.empty());
    EXPECT_TRUE(h.device.releaseLearned());
    EXPECT_EQ(h.all(), bytes({0xFE, 0xFF, 0x66, 0x77, 0x88, 0xFF, 0xFE}));
}

TEST(Learning, OptionsOfTheStageApplyWhenTheCodeIsReleased) {
    SimOptions o = withLearnDelay(200ms);
    o.replies["Kr"] = bytes({0x4F, 0x4B});
    o.truncateReplies["Ps"] = 4;
    o.silent = {"Pr", "Us"};
    Harness h(o);

    h.device.feed(frame("Kr"));
    EXPECT_TRUE(h.chunks.empty());
    EXPECT_TRUE(h.device.releaseLearned());
    EXPECT_EQ(h.all(), kOK);

    h.chunks.clear();
    h.device.feed(frame("Ps"));
    EXPECT_TRUE(h.device.releaseLearned());
    EXPECT_EQ(h.all(), bytes({0xFE, 0xFF, 0x7E, 0x21}));

    // A silenced learning does not start.
    h.chunks.clear();
    h.device.feed(frame("Pr"));
    EXPECT_EQ(h.device.requestLog().back().outcome, RequestOutcome::Silenced);
    EXPECT_FALSE(h.device.pendingLearn().has_value());

    // A silenced stop request leaves the learning going: the code still comes.
    h.device.feed(frame("Rtd") + frame("Us"));
    ASSERT_TRUE(h.device.pendingLearn().has_value());
    EXPECT_TRUE(h.device.releaseLearned());
    EXPECT_EQ(h.all(), bytes({0xFE, 0xFF, 0x66, 0x77, 0x88, 0xFF, 0xFE}));

    // A stop request given words of its own answers them and still stops.
    h.chunks.clear();
    h.device.options().replies["Uk"] = bytes({0x00, 0x00, 0x00});
    h.device.feed(frame("Pr"));
    h.device.options().silent.clear();
    h.device.feed(frame("Pr") + frame("Uk"));
    EXPECT_EQ(h.all(), bytes({0xFE, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0xFE}));
    EXPECT_FALSE(h.device.pendingLearn().has_value());
}
