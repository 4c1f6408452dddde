#include "SimDevice.h"

#include <algorithm>

namespace t6sim {

const char* outcomeName(RequestOutcome outcome) {
    switch (outcome) {
    case RequestOutcome::Answered:
        return "answered";
    case RequestOutcome::NoReply:
        return "no reply";
    case RequestOutcome::Silenced:
        return "silenced";
    case RequestOutcome::Unknown:
        return "unknown";
    case RequestOutcome::Learning:
        return "learning";
    }
    return "?";
}

bool isStageName(std::string_view name) {
    return std::find(kStageNames.begin(), kStageNames.end(), name) != kStageNames.end();
}

SimDevice::SimDevice(SimOptions options, Sink sink)
    : options_(std::move(options)), sink_(std::move(sink)) {
    installProtocol();
}

void SimDevice::installProtocol() {
    // Identification: the device names its type and firmware version.
    handle("Tt", [this](const std::string&) { return options_.typeReply; });
    // Signal level: the modem's own answer, passed through unchanged.
    handle("Sg", [this](const std::string&) { return options_.csqReply; });

    // Reading: each request brings one block as the device holds it.
    handle("Ro", [this](const std::string&) { return memory_.wirelessOutputs; });
    handle("Pt", [this](const std::string&) { return memory_.configBlock; });
    handle("Pn", [this](const std::string&) { return memory_.remoteControls; });
    handle("Ltd", [this](const std::string&) { return memory_.thermoNames; });

    // Writing the configuration block: the device takes it whole, whatever
    // records it holds, and confirms it.
    handleLeading(std::string(kConfigBlockMark), "block", [this](const std::string& block) {
        memory_.configBlock = block;
        return std::optional<std::string>("COK");
    });

    // Writing a fixed block: the device says it is ready, then takes the next
    // packet as the block. Only a block of the right length replaces the one held.
    auto fixedBlockWrite = [this](std::string ready, std::string stage, std::size_t size,
                                  std::string SimMemory::*slot) {
        handle(std::move(ready), [this, stage, size, slot](const std::string&) {
            return awaitBlock(stage, size, &(memory_.*slot));
        });
    };
    fixedBlockWrite("Wp", "Wp-data", kRemoteControlsSize, &SimMemory::remoteControls);
    fixedBlockWrite("Wtd", "Wtd-data", kThermoNamesSize, &SimMemory::thermoNames);
    fixedBlockWrite("Wo", "Wo-data", kWirelessOutputsSize, &SimMemory::wirelessOutputs);
    fixedBlockWrite("Wr", "Wr-data", kKeyTableSize, &SimMemory::keyTable);

    installEnrolment();
}

namespace {

// The zone of "D" + n + "r" or "Wd" + n: the digit 1 to 6 at `at`, the
// payload ending after it (or after `tail`).
std::optional<std::size_t> zoneOf(const std::string& payload, std::size_t at,
                                  std::string_view tail = {}) {
    if (payload.size() != at + 1 + tail.size() || payload.compare(at + 1, tail.size(), tail) != 0) {
        return std::nullopt;
    }
    const char digit = payload[at];
    if (digit < '1' || digit > static_cast<char>('0' + kWirelessZones)) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(digit - '1');
}

constexpr std::string_view kDone{"Ok"};

} // namespace

void SimDevice::installEnrolment() {
    // Keys: the whole table.
    handle("Cn", [this](const std::string&) { return memory_.keyTable; });

    // A zone's sensor list, and its write: ready, then the list.
    handlePrefix(
        "D",
        [this](const std::string& payload) -> std::optional<std::string> {
            const auto zone = zoneOf(payload, 1, "r");
            if (!zone) {
                return std::nullopt;
            }
            return memory_.sensorLists[*zone];
        },
        "Dr");
    handlePrefix(
        "Wd",
        [this](const std::string& payload) -> std::optional<std::string> {
            const auto zone = zoneOf(payload, 2);
            if (!zone) {
                return std::nullopt;
            }
            return awaitBlock("Wd-data", kSensorListSize, &memory_.sensorLists[*zone]);
        },
        "Wd");

    // Learning: the device listens and answers with what it heard.
    for (const char* stage : {"Kr", "Pr", "Ps", "Rtd"}) {
        handle(stage, [this, stage](const std::string&) { return startLearning(stage); });
    }
    // Any of the stop requests ends any learning; none is answered.
    for (const char* stop : {"Ur", "Uk", "Us", "Utd"}) {
        handle(stop, [this](const std::string&) {
            learning_.reset();
            return std::optional<std::string>();
        });
    }

    // Wireless outputs: pairing and switching.
    handlePrefix(
        "So", [this](const std::string& payload) { return switchOutput(payload); }, "So");
}

std::optional<std::string> SimDevice::awaitBlock(std::string stage, std::size_t size,
                                                 std::string* slot) {
    expectNext(std::move(stage), [size, slot](const std::string& data) {
        if (data.size() != size) {
            return std::optional<std::string>(kWrongLengthReply);
        }
        *slot = data;
        return std::optional<std::string>(kDone);
    });
    return std::optional<std::string>("OK");
}

std::optional<std::string> SimDevice::startLearning(std::string stage) {
    if (options_.learnDelay.count() <= 0) {
        learning_.reset();
        return learnedCode(stage);
    }
    learning_ = PendingLearn{++learnTickets_, std::move(stage), options_.learnDelay};
    deferred_ = true;
    return std::nullopt;
}

const std::string& SimDevice::learnedCode(std::string_view stage) const {
    if (stage == "Kr") {
        return options_.keyCode;
    }
    if (stage == "Pr") {
        return options_.fobCode;
    }
    if (stage == "Ps") {
        return options_.sensorCode;
    }
    return options_.thermoCode;
}

bool SimDevice::releaseLearned(std::uint64_t ticket) {
    if (!learning_ || learning_->ticket != ticket) {
        return false;
    }
    const std::string stage = std::move(learning_->stage);
    learning_.reset();
    sendStageReply(stage, learnedCode(stage));
    return true;
}

bool SimDevice::releaseLearned() {
    return learning_ && releaseLearned(learning_->ticket);
}

std::optional<std::string> SimDevice::switchOutput(const std::string& payload) {
    // "So", three code bytes, the type byte, the action byte.
    if (payload.size() != 7) {
        return std::nullopt;
    }
    const std::string code = payload.substr(2, 3);
    const int type = static_cast<unsigned char>(payload[5]);
    switch (static_cast<unsigned char>(payload[6])) {
    case 0x00: {
        if (type < 1 || type > 4) {
            return std::nullopt;
        }
        // Pairing again takes the new type; the output stays as it was switched.
        memory_.attachedOutputs[code].type = type;
        return std::optional<std::string>(kDone);
    }
    case 0x01:
    case 0x02: {
        const auto it = memory_.attachedOutputs.find(code);
        if (it == memory_.attachedOutputs.end()) {
            return std::nullopt; // nothing paired with this code hears it
        }
        it->second.on = payload[6] == 0x01;
        return std::optional<std::string>(kDone);
    }
    default:
        return std::nullopt;
    }
}

void SimDevice::handle(std::string command, Handler handler) {
    exact_[std::move(command)] = std::move(handler);
}

void SimDevice::handlePrefix(std::string prefix, Handler handler, std::string name) {
    if (name.empty()) {
        name = prefix;
    }
    prefixes_[std::move(prefix)] = {std::move(name), std::move(handler)};
}

void SimDevice::handleLeading(std::string lead, std::string name, Handler handler) {
    leading_[std::move(lead)] = {std::move(name), std::move(handler)};
}

void SimDevice::expectNext(std::string name, Handler handler) {
    next_.emplace(std::move(name), std::move(handler));
}

void SimDevice::feed(std::string_view bytes) {
    if (bytes.empty() || hungUp_) {
        return;
    }
    buffer_.append(bytes);
    frameRequests();
}

void SimDevice::frameRequests() {
    for (;;) {
        if (!inPacket_) {
            const auto start = buffer_.find(kPacketStart);
            if (start == std::string::npos) {
                // Nothing but noise. Only a trailing FE can still begin a start
                // string with the next byte; the rest is of no use.
                const bool keepLast = !buffer_.empty() && buffer_.back() == kPacketStart[0];
                buffer_.erase(0, keepLast ? buffer_.size() - 1 : buffer_.size());
                return;
            }
            buffer_.erase(0, start);
            inPacket_ = true;
        }
        // The stop string is looked for after the start string, so FE FF FE
        // does not end the packet at once.
        const auto stop = buffer_.find(kPacketStop, kPacketStart.size());
        if (stop == std::string::npos) {
            if (buffer_.size() > kMaxRequestBytes) {
                buffer_.clear();
                inPacket_ = false;
                ++dropped_;
            }
            return;
        }
        std::string payload = buffer_.substr(kPacketStart.size(), stop - kPacketStart.size());
        buffer_.erase(0, stop + kPacketStop.size());
        inPacket_ = false;
        dispatch(std::move(payload));
    }
}

bool SimDevice::isSilent(const std::string& command, const std::string& payload) const {
    return options_.silent.contains(command) || options_.silent.contains(payload);
}

void SimDevice::dispatch(std::string payload) {
    std::string command;
    Handler handler;

    if (next_) {
        command = std::move(next_->first);
        handler = std::move(next_->second);
        next_.reset();
    } else if (auto it = exact_.find(payload); it != exact_.end()) {
        command = it->first;
        handler = it->second;
    } else if (auto lead =
                   std::find_if(leading_.begin(), leading_.end(),
                                [&](const auto& e) { return payload.starts_with(e.first); });
               lead != leading_.end()) {
        command = lead->second.first;
        handler = lead->second.second;
    } else {
        // The longest prefix that the payload starts with and goes beyond.
        std::size_t longest = 0;
        for (const auto& [prefix, entry] : prefixes_) {
            if (payload.size() > prefix.size() && payload.starts_with(prefix) &&
                prefix.size() >= longest) {
                longest = prefix.size();
                command = entry.first;
                handler = entry.second;
            }
        }
    }

    if (!handler) {
        ++unknown_;
        record(std::move(payload), {}, RequestOutcome::Unknown);
        return;
    }
    if (isSilent(command, payload)) {
        record(std::move(payload), std::move(command), RequestOutcome::Silenced);
        return;
    }

    // The handler may register what comes next, so it runs before the record
    // is written and the reply goes out after it. A reply the options put in
    // place of the right one does not change what the handler did; a learning
    // reply meets the options of its stage when it is released.
    deferred_ = false;
    std::optional<std::string> reply = handler(payload);
    if (deferred_) {
        deferred_ = false;
        record(std::move(payload), std::move(command), RequestOutcome::Learning);
        return;
    }
    const bool replaced = options_.replies.contains(command);
    record(payload, command,
           reply || replaced ? RequestOutcome::Answered : RequestOutcome::NoReply);
    if (reply || replaced) {
        sendStageReply(command, reply.value_or(std::string()));
    }
}

void SimDevice::sendStageReply(const std::string& stage, const std::string& reply) {
    const auto replaced = options_.replies.find(stage);
    std::optional<std::size_t> cut = options_.truncateAfter;
    if (const auto it = options_.truncateReplies.find(stage);
        it != options_.truncateReplies.end()) {
        cut = it->second;
    }
    sendPacket(replaced != options_.replies.end() ? replaced->second : reply, cut, stage);
}

void SimDevice::record(std::string payload, std::string command, RequestOutcome outcome) {
    if (log_.size() == kLogCapacity) {
        log_.pop_front();
    }
    log_.push_back(RequestRecord{++serial_, std::move(payload), std::move(command), outcome});
}

void SimDevice::sendReply(std::string_view payload) {
    sendPacket(payload, options_.truncateAfter, {});
}

void SimDevice::sendPacket(std::string_view payload, std::optional<std::size_t> cut,
                           const std::string& stage) {
    if (hungUp_) {
        return;
    }
    ReplyShape shape;
    if (options_.noise) {
        shape.noiseBefore = options_.noiseBytes;
    }
    if (options_.noiseInside.contains(stage)) {
        shape.noiseInside = options_.noiseBytes;
    }
    shape.cut = cut;
    if (const auto it = options_.splitAt.find(stage); it != options_.splitAt.end()) {
        shape.splitAfter = it->second;
    } else if (const auto sweep = options_.splitSweep.find(stage);
               sweep != options_.splitSweep.end()) {
        shape.splitAfter = sweep->second + sweepCounts_[stage]++;
        shape.splitWraps = true;
    } else {
        shape.chunk = options_.splitChunk;
    }
    shape.twice = options_.repliedTwice.contains(stage);
    if (const auto it = options_.lateReplies.find(stage);
        it != options_.lateReplies.end() && lateSent_.insert(stage).second) {
        shape.lateBy = it->second;
    }
    if (const auto it = options_.hangUpAt.find(stage); it != options_.hangUpAt.end()) {
        shape.hangUpAfter = it->second;
    }

    for (const ReplyPiece& piece : shapeReply(payload, shape)) {
        hungUp_ = hungUp_ || piece.hangUpAfter;
        if (pieceSink_) {
            pieceSink_(piece);
        } else if (sink_ && !piece.bytes.empty()) {
            sink_(piece.bytes);
        }
    }
}

std::string hexBytes(std::string_view bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (unsigned char byte : bytes) {
        if (!text.empty()) {
            text += ' ';
        }
        text += digits[byte >> 4];
        text += digits[byte & 0x0F];
    }
    return text;
}

} // namespace t6sim
