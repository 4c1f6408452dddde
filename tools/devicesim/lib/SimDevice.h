// A simulated "УМНЫЙ ТОРВЕЛ-6" on the far side of the serial line.
//
// The device receives requests framed as FE FF <payload> FF FE, looks the
// payload up in its table of requests and answers with a reply framed the same
// way. Everything is bytes: the simulator knows nothing of the configurator's
// encoders, so both sides have to agree on the line itself.
//
// What it answers:
//   "Tt"  the type and version ("T7 2.05")     "Sg"  the modem's signal level
//   "Ro"  the wireless-outputs block          "Pt"  the configuration block
//   "Pn"  the remote controls                 "Ltd" the wireless sensor names
//   "Cn"  the key table                       "D1r".."D6r" a zone's sensor list
//   99 99 + records (the configuration block): stored, answered "COK"
//   "Wp", "Wtd", "Wo", "Wr", "Wd1".."Wd6": answered "OK" (ready); the next
//   packet is the remote controls (130 bytes), the sensor names (78), the
//   wireless outputs (224), the key table (200) or the zone's sensor list (84),
//   stored and answered "Ok". Data of another length is not stored and is
//   answered "Err".
//   "Kr", "Pr", "Ps", "Rtd": learning. The device listens for a key held to
//   its reader, a fob, a zone sensor or a temperature sensor and answers with
//   what it heard (8, 3, 4, 3 bytes, chosen in the options) once the learn
//   delay has passed. One learning at a time: a new one replaces the one
//   pending. "Ur", "Uk", "Us", "Utd" each end whatever learning is pending
//   and are not answered.
//   "So" + 3 code bytes + type byte + action byte: 00 pairs the output of that
//   code and type (type 01-04), 01 switches it on, 02 off; answered "Ok".
//   Switching a code that was never paired, an unknown action or type, or
//   arguments of another length get no answer: the configurator's wait for
//   the reply then runs out.
//
// The class does no I/O and keeps no time. Bytes go in through feed(); reply
// bytes come out through the sink, synchronously, from within feed(). The
// program around it (or a test) decides when they reach the line: it applies
// the reply delay and the line-rate pacing that the options ask for, and
// releases a pending learned reply (pendingLearn(), releaseLearned()) once its
// learn delay has passed.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "SimMemory.h"
#include "SimReplyShape.h"

namespace t6sim {

// One byte on an 8N1 line at 38400 baud: ten bit times, about 260 µs.
inline constexpr std::chrono::microseconds kByteTimeAtLineRate{260};

// The stages at which the device can be told to misbehave: each request it
// knows ("Dr" and "Wd" for every zone), the configuration block ("block") and
// the data packet that follows each write readiness ("Wp-data", ...). A
// learning stage's reply is the learned code; a cancel has none of its own.
inline constexpr std::array<std::string_view, 28> kStageNames{
    "Tt",       "Sg",      "Ro",      "Pt", "Pn", "Ltd", "block",   "Wp", "Wp-data", "Wtd",
    "Wtd-data", "Wo",      "Wo-data", "Cn", "Kr", "Wr",  "Wr-data", "Pr", "Dr",      "Ps",
    "Wd",       "Wd-data", "Rtd",     "So", "Ur", "Uk",  "Us",      "Utd"};

bool isStageName(std::string_view name);

// The device's answer to a data packet whose length is not the block's.
inline constexpr std::string_view kWrongLengthReply{"Err"};

// Ways the device can be told to misbehave, and the texts of its plain replies.
struct SimOptions {
    // Identification reply ("Tt"). "T7" followed by a version is the right type;
    // any other text makes the device look like another model or an unknown one.
    std::string typeReply = "T7 2.05";
    // Signal level reply ("Sg"), as the modem inside the device words it.
    std::string csqReply = "+CSQ: 17,99";

    // Requests the device ignores, as if they had never arrived: matched
    // against the stage (the table entry the request reached, see kStageNames)
    // and against the whole payload. A silenced write stage stores nothing, and
    // a silenced readiness leaves the device waiting for no data.
    std::set<std::string> silent;

    // Per stage, the reply payload sent in place of the right one ("COK " with
    // a blank, "Ok" where "OK" is due, ...). The stage is carried out as usual
    // (a block is stored, a readiness waits for its data); only the words on
    // the line differ.
    std::map<std::string, std::string, std::less<>> replies;

    // Per stage, the reply is cut after this many bytes of its packet (counted
    // from the start string), never with the stop string; overrides
    // truncateAfter for that stage.
    std::map<std::string, std::size_t, std::less<>> truncateReplies;

    // Bytes sent before every reply, as a line picking up interference would.
    bool noise = false;
    std::string noiseBytes{"\x00\x11\xFF\xFE\x55\xFE", 6};

    // When non-zero, a reply leaves the device in pieces of this many bytes:
    // the sink is called once per piece.
    std::size_t splitChunk = 0;

    // When set, every reply is cut after this many bytes of its packet
    // (counted from the start string); the stop string is never sent.
    std::optional<std::size_t> truncateAfter;

    // Per stage, the reply leaves in two writes a short pause apart, the
    // first ending after this many bytes of the packet (counted from the start
    // string). Overrides splitChunk for that stage.
    std::map<std::string, std::size_t, std::less<>> splitAt;
    // Per stage, the first position of a sweep: the k-th reply of the stage
    // (k from 1) is split after byte FROM + k - 1 of its packet, and after
    // byte 1 again once the last position has had its turn. One device run
    // serves a reply split at every position.
    std::map<std::string, std::size_t, std::less<>> splitSweep;
    // Stages whose reply is sent twice, the second copy a short pause after
    // the first.
    std::set<std::string, std::less<>> repliedTwice;
    // Stages whose reply carries the noise bytes in the middle of its payload.
    std::set<std::string, std::less<>> noiseInside;
    // Per stage, a wait before the stage's first reply on top of the reply
    // delay: longer than the configurator's wait, the reply arrives as a
    // stale one during its next exchange (whose own reply waits behind it).
    // Later replies of the stage are on time. The device only reports it.
    std::map<std::string, std::chrono::milliseconds, std::less<>> lateReplies;
    // Per stage, only this many bytes of the reply's packet leave (counted
    // from the start string), and then the line goes dead: the device answers
    // nothing more, and the program ends, closing the terminal.
    std::map<std::string, std::size_t, std::less<>> hangUpAt;

    // Extra delay before every reply. The device only reports it.
    std::chrono::milliseconds replyDelay{0};

    // Whether the reply bytes should leave at the real line rate. The device
    // only reports it.
    bool pace = false;

    // Time from a learning request to its reply, before the reply delay. The
    // device only reports it; at 0 the learned code is answered at once.
    std::chrono::milliseconds learnDelay{0};

    // What the device hears when it learns, taken when the reply is due: the
    // identity of the key held to the reader ("Kr"), the code of a fob ("Pr"),
    // of a zone sensor ("Ps") and of a temperature sensor ("Rtd").
    std::string keyCode{"\x01\xC4\x7F\x2A\x19\x00\x00\x5D", 8};
    std::string fobCode{"\x5A\x6B\x7C", 3};
    std::string sensorCode{"\x7E\x21\xC3\x05", 4};
    std::string thermoCode{"\x66\x77\x88", 3};
};

// What became of one request.
enum class RequestOutcome {
    Answered, // a reply was sent
    NoReply,  // the request was understood; the device has nothing to say
    Silenced, // the options told the device to keep quiet
    Unknown,  // no entry of the table matches; ignored
    Learning, // the reply waits for the learn delay (see pendingLearn())
};

const char* outcomeName(RequestOutcome outcome);

// A learned reply the device holds until its learn delay has passed.
struct PendingLearn {
    std::uint64_t ticket = 0;           // different for every learning started
    std::string stage;                  // "Kr", "Pr", "Ps" or "Rtd"
    std::chrono::milliseconds delay{0}; // from the end of the request to the reply
};

struct RequestRecord {
    std::uint64_t serial = 0; // 1 for the first request since construction
    std::string payload;      // bytes between the start and the stop string
    std::string command;      // table entry that took it; empty when unknown
    RequestOutcome outcome = RequestOutcome::Unknown;
};

class SimDevice {
public:
    using Sink = std::function<void(const std::string& bytes)>;
    // Takes each write of a reply with its timing and the hang-up; when set,
    // it is called in place of the plain sink.
    using PieceSink = std::function<void(const ReplyPiece& piece)>;
    // A handler gets the whole payload and returns the reply payload (unframed),
    // or nothing when the device stays quiet.
    using Handler = std::function<std::optional<std::string>(const std::string& payload)>;

    // The device holds at most this many bytes of one request; a longer
    // request is dropped and counted, and the device waits for the next start.
    static constexpr std::size_t kMaxRequestBytes = 16 * 1024;
    // The request log keeps the latest this many records.
    static constexpr std::size_t kLogCapacity = 4096;

    // The device starts with the demo content of SimMemory::demo().
    explicit SimDevice(SimOptions options = {}, Sink sink = {});

    // The plain sink gets the bytes of each write only: lateness, pauses and
    // the hang-up are for a program that keeps time (see setPieceSink).
    void setSink(Sink sink) { sink_ = std::move(sink); }
    void setPieceSink(PieceSink sink) { pieceSink_ = std::move(sink); }

    // Options may be changed between feeds; the next reply follows them.
    SimOptions& options() { return options_; }
    const SimOptions& options() const { return options_; }

    // The blocks the device holds. A test may replace them before a read and
    // look at them after a write.
    SimMemory& memory() { return memory_; }
    const SimMemory& memory() const { return memory_; }

    // Whether a write readiness has been answered and its data is awaited.
    bool awaitingData() const { return next_.has_value(); }

    // Bytes as the configurator wrote them, in any pieces.
    void feed(std::string_view bytes);

    // The table of requests. `command` answers a payload equal to it;
    // a prefix entry answers payloads that start with it and carry arguments
    // ("D1r", "Wd3", "So..."); the longest matching prefix wins. An exact
    // entry is preferred over any prefix entry. Registering a name again
    // replaces its handler. A prefix entry is known by `name` in the log and
    // the options, by the prefix itself when no name is given.
    void handle(std::string command, Handler handler);
    void handlePrefix(std::string prefix, Handler handler, std::string name = {});
    // Payloads that start with `lead`, the lead alone included, go to this
    // handler, which `name` stands for in the log and in the options: the
    // configuration block is known by its first two bytes. Tried after the
    // exact entries and before the prefix entries.
    void handleLeading(std::string lead, std::string name, Handler handler);

    // The next request, whatever it holds, goes to this handler (and only the
    // next): a device that has answered "ready" takes the data that follows.
    // `name` stands for it in the log and in the silent set.
    void expectNext(std::string name, Handler handler);

    // The reply delay and pacing the program has to apply.
    std::chrono::milliseconds replyDelay() const { return options_.replyDelay; }
    bool pacing() const { return options_.pace; }

    // The learning whose reply waits for its delay, if any. The program
    // notes the ticket when it first sees it and calls releaseLearned(ticket)
    // `delay` after the request; a cancel or a newer learning in between
    // makes that call do nothing.
    const std::optional<PendingLearn>& pendingLearn() const { return learning_; }
    // Sends the learned code of the pending learning (through the options of
    // its stage) when `ticket` is still the one pending. Returns whether it did.
    bool releaseLearned(std::uint64_t ticket);
    // The same for whatever learning is pending.
    bool releaseLearned();

    // Frames a payload and sends it through the misbehaviour options to the
    // sink. Handlers normally just return their reply; this is for replies the
    // device sends on its own.
    void sendReply(std::string_view payload);

    const std::deque<RequestRecord>& requestLog() const { return log_; }
    std::uint64_t requestCount() const { return serial_; }
    std::uint64_t unknownCount() const { return unknown_; }
    std::uint64_t droppedRequestCount() const { return dropped_; }
    // Bytes held: a request still waiting for its stop string.
    std::size_t pendingBytes() const { return buffer_.size(); }
    bool insideRequest() const { return inPacket_; }
    // A reply of a hangUpAt stage has gone out: the device is gone and
    // ignores whatever is fed to it.
    bool hungUp() const { return hungUp_; }

private:
    void installProtocol();
    void installEnrolment();
    // Answers a write readiness: the next packet is the block, stored in
    // `slot` when it has `size` bytes.
    std::optional<std::string> awaitBlock(std::string stage, std::size_t size, std::string* slot);
    // Starts learning for `stage`: the code now when there is no learn delay,
    // otherwise nothing yet and a pending learning.
    std::optional<std::string> startLearning(std::string stage);
    std::optional<std::string> switchOutput(const std::string& payload);
    const std::string& learnedCode(std::string_view stage) const;
    void sendStageReply(const std::string& stage, const std::string& reply);
    void frameRequests();
    void dispatch(std::string payload);
    void sendPacket(std::string_view payload, std::optional<std::size_t> cut,
                    const std::string& stage);
    void record(std::string payload, std::string command, RequestOutcome outcome);
    bool isSilent(const std::string& command, const std::string& payload) const;

    SimOptions options_;
    Sink sink_;
    PieceSink pieceSink_;
    bool hungUp_ = false;
    // Replies sent so far per stage of splitSweep.
    std::map<std::string, std::size_t, std::less<>> sweepCounts_;
    // Stages of lateReplies whose late reply has gone out.
    std::set<std::string, std::less<>> lateSent_;
    SimMemory memory_ = SimMemory::demo();

    std::map<std::string, Handler, std::less<>> exact_;
    std::map<std::string, std::pair<std::string, Handler>, std::less<>> prefixes_;
    std::map<std::string, std::pair<std::string, Handler>, std::less<>> leading_;
    std::optional<std::pair<std::string, Handler>> next_;
    std::optional<PendingLearn> learning_;
    std::uint64_t learnTickets_ = 0;
    bool deferred_ = false; // the handler just run keeps its reply for later

    std::string buffer_;
    bool inPacket_ = false;

    std::deque<RequestRecord> log_;
    std::uint64_t serial_ = 0;
    std::uint64_t unknown_ = 0;
    std::uint64_t dropped_ = 0;
};

// "FE FF 54 74 FF FE": upper-case hexadecimal, one blank between bytes.
std::string hexBytes(std::string_view bytes);

} // namespace t6sim
