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
            expectNext(stage, [this, size, slot](const std::string& data) {
                if (data.size() != size) {
                    return std::optional<std::string>(kWrongLengthReply);
                }
                memory_.*slot = data;
                return std::optional<std::string>("Ok");
            });
            return std::optional<std::string>("OK");
        });
    };
    fixedBlockWrite("Wp", "Wp-data", kRemoteControlsSize, &SimMemory::remoteControls);
    fixedBlockWrite("Wtd", "Wtd-data", kThermoNamesSize, &SimMemory::thermoNames);
    fixedBlockWrite("Wo", "Wo-data", kWirelessOutputsSize, &SimMemory::wirelessOutputs);
}

void SimDevice::handle(std::string command, Handler handler) {
    exact_[std::move(command)] = std::move(handler);
}

void SimDevice::handlePrefix(std::string prefix, Handler handler) {
    prefixes_[std::move(prefix)] = std::move(handler);
}

void SimDevice::handleLeading(std::string lead, std::string name, Handler handler) {
    leading_[std::move(lead)] = {std::move(name), std::move(handler)};
}

void SimDevice::expectNext(std::string name, Handler handler) {
    next_.emplace(std::move(name), std::move(handler));
}

void SimDevice::feed(std::string_view bytes) {
    if (bytes.empty()) {
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
        for (const auto& [prefix, h] : prefixes_) {
            if (payload.size() > prefix.size() && payload.starts_with(prefix) &&
                prefix.size() >= command.size()) {
                command = prefix;
                handler = h;
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
    // place of the right one does not change what the handler did.
    std::optional<std::string> reply = handler(payload);
    if (const auto it = options_.replies.find(command); it != options_.replies.end()) {
        reply = it->second;
    }
    std::optional<std::size_t> cut = options_.truncateAfter;
    if (const auto it = options_.truncateReplies.find(command);
        it != options_.truncateReplies.end()) {
        cut = it->second;
    }
    record(std::move(payload), std::move(command),
           reply ? RequestOutcome::Answered : RequestOutcome::NoReply);
    if (reply) {
        sendPacket(*reply, cut);
    }
}

void SimDevice::record(std::string payload, std::string command, RequestOutcome outcome) {
    if (log_.size() == kLogCapacity) {
        log_.pop_front();
    }
    log_.push_back(RequestRecord{++serial_, std::move(payload), std::move(command), outcome});
}

void SimDevice::sendReply(std::string_view payload) {
    sendPacket(payload, options_.truncateAfter);
}

void SimDevice::sendPacket(std::string_view payload, std::optional<std::size_t> cut) {
    std::string packet;
    packet.reserve(kPacketStart.size() + payload.size() + kPacketStop.size());
    packet.append(kPacketStart).append(payload).append(kPacketStop);

    if (cut) {
        // Never the whole stop string: the reply stays unfinished.
        packet.resize(std::min(*cut, packet.size() - kPacketStop.size()));
    }

    std::string out;
    if (options_.noise) {
        out = options_.noiseBytes;
    }
    out += packet;

    if (!sink_ || out.empty()) {
        return;
    }
    if (options_.splitChunk == 0) {
        sink_(out);
        return;
    }
    for (std::size_t at = 0; at < out.size(); at += options_.splitChunk) {
        sink_(out.substr(at, options_.splitChunk));
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
