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

SimDevice::SimDevice(SimOptions options, Sink sink)
    : options_(std::move(options)), sink_(std::move(sink)) {
    // Identification: the device names its type and firmware version.
    handle("Tt", [this](const std::string&) { return options_.typeReply; });
    // Signal level: the modem's own answer, passed through unchanged.
    handle("Sg", [this](const std::string&) { return options_.csqReply; });
}

void SimDevice::handle(std::string command, Handler handler) {
    exact_[std::move(command)] = std::move(handler);
}

void SimDevice::handlePrefix(std::string prefix, Handler handler) {
    prefixes_[std::move(prefix)] = std::move(handler);
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
    // is written and the reply goes out after it.
    std::optional<std::string> reply = handler(payload);
    record(std::move(payload), std::move(command),
           reply ? RequestOutcome::Answered : RequestOutcome::NoReply);
    if (reply) {
        sendReply(*reply);
    }
}

void SimDevice::record(std::string payload, std::string command, RequestOutcome outcome) {
    if (log_.size() == kLogCapacity) {
        log_.pop_front();
    }
    log_.push_back(RequestRecord{++serial_, std::move(payload), std::move(command), outcome});
}

void SimDevice::sendReply(std::string_view payload) {
    std::string packet;
    packet.reserve(kPacketStart.size() + payload.size() + kPacketStop.size());
    packet.append(kPacketStart).append(payload).append(kPacketStop);

    if (options_.truncateAfter) {
        // Never the whole stop string: the reply stays unfinished.
        const std::size_t keep =
            std::min(*options_.truncateAfter, packet.size() - kPacketStop.size());
        packet.resize(keep);
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
