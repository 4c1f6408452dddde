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
//   99 99 + records (the configuration block): stored, answered "COK"
//   "Wp", "Wtd", "Wo": answered "OK" (ready); the next packet is the remote
//   controls (130 bytes), the sensor names (78) or the wireless outputs (224),
//   stored and answered "Ok". Data of another length is not stored and is
//   answered "Err".
//
// The class does no I/O and keeps no time. Bytes go in through feed(); reply
// bytes come out through the sink, synchronously, from within feed(). The
// program around it (or a test) decides when they reach the line: it applies
// the reply delay and the line-rate pacing that the options ask for.
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

namespace t6sim {

// Start and stop strings of every packet, in both directions.
inline constexpr std::string_view kPacketStart{"\xFE\xFF", 2};
inline constexpr std::string_view kPacketStop{"\xFF\xFE", 2};

// One byte on an 8N1 line at 38400 baud: ten bit times, about 260 µs.
inline constexpr std::chrono::microseconds kByteTimeAtLineRate{260};

// The stages at which the device can be told to misbehave: each request it
// answers, the configuration block ("block") and the data packet that follows
// each write readiness ("Wp-data", "Wtd-data", "Wo-data").
inline constexpr std::array<std::string_view, 13> kStageNames{
    "Tt", "Sg",      "Ro",  "Pt",       "Pn", "Ltd",    "block",
    "Wp", "Wp-data", "Wtd", "Wtd-data", "Wo", "Wo-data"};

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

    // Extra delay before every reply. The device only reports it.
    std::chrono::milliseconds replyDelay{0};

    // Whether the reply bytes should leave at the real line rate. The device
    // only reports it.
    bool pace = false;
};

// What became of one request.
enum class RequestOutcome {
    Answered, // a reply was sent
    NoReply,  // the request was understood; the device has nothing to say
    Silenced, // the options told the device to keep quiet
    Unknown,  // no entry of the table matches; ignored
};

const char* outcomeName(RequestOutcome outcome);

struct RequestRecord {
    std::uint64_t serial = 0; // 1 for the first request since construction
    std::string payload;      // bytes between the start and the stop string
    std::string command;      // table entry that took it; empty when unknown
    RequestOutcome outcome = RequestOutcome::Unknown;
};

class SimDevice {
public:
    using Sink = std::function<void(const std::string& bytes)>;
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

    void setSink(Sink sink) { sink_ = std::move(sink); }

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
    // replaces its handler.
    void handle(std::string command, Handler handler);
    void handlePrefix(std::string prefix, Handler handler);
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

private:
    void installProtocol();
    void frameRequests();
    void dispatch(std::string payload);
    void sendPacket(std::string_view payload, std::optional<std::size_t> cut);
    void record(std::string payload, std::string command, RequestOutcome outcome);
    bool isSilent(const std::string& command, const std::string& payload) const;

    SimOptions options_;
    Sink sink_;
    SimMemory memory_ = SimMemory::demo();

    std::map<std::string, Handler, std::less<>> exact_;
    std::map<std::string, Handler, std::less<>> prefixes_;
    std::map<std::string, std::pair<std::string, Handler>, std::less<>> leading_;
    std::optional<std::pair<std::string, Handler>> next_;

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
