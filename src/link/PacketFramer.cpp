#include "link/PacketFramer.h"

#include <algorithm>
#include <stdexcept>

namespace t6 {

namespace {

// The first position from which a later search for a string of length n must
// start again once [from, size) held no match: its last n-1 bytes may still be
// the beginning of one.
std::size_t resumePoint(std::size_t from, std::size_t size, std::size_t n) {
    std::size_t tail = n - 1;
    return std::max(from, size > tail ? size - tail : 0);
}

} // namespace

PacketFramer::PacketFramer() : start_(bytesOf({0xFE, 0xFF})), stop_(bytesOf({0xFF, 0xFE})) {}

void PacketFramer::setStartString(Bytes start) {
    if (start.empty())
        throw std::invalid_argument("PacketFramer: empty start string");
    start_ = std::move(start);
    scanFrom_ = head_;
}

void PacketFramer::setStopString(Bytes stop) {
    if (stop.empty())
        throw std::invalid_argument("PacketFramer: empty stop string");
    stop_ = std::move(stop);
    scanFrom_ = head_;
}

void PacketFramer::feed(std::string_view chunk) {
    buf_.append(chunk);
    if (running_)
        return; // the pass that is running frames these bytes after its handler
    runPass();
}

void PacketFramer::reset() {
    // A running pass resumes from head_, so it skips what was held.
    head_ = buf_.size();
    scanFrom_ = head_;
    inPacket_ = false;
    if (!running_) {
        buf_.clear();
        head_ = 0;
        scanFrom_ = 0;
    }
}

void PacketFramer::runPass() {
    // Ends the pass also when an error handler throws.
    struct PassEnd {
        PacketFramer* framer;
        ~PassEnd() { framer->endPass(); }
    } passEnd{this};
    running_ = true;

    for (;;) {
        if (!inPacket_) {
            std::size_t from = std::max(head_, scanFrom_);
            std::size_t at = buf_.find(start_, from);
            if (at == Bytes::npos) {
                // Nothing is dropped yet: a lone FE at the end may begin a start string.
                scanFrom_ = resumePoint(from, buf_.size(), start_.size());
                return;
            }
            head_ = at; // the bytes before the start string are dropped
            inPacket_ = true;
            scanFrom_ = head_ + start_.size();
        }
        // The stop string is searched for after the start string only, so the two
        // cannot share bytes.
        std::size_t from = std::max(scanFrom_, head_ + start_.size());
        std::size_t at = buf_.find(stop_, from);
        if (at == Bytes::npos) {
            scanFrom_ = resumePoint(from, buf_.size(), stop_.size());
            return;
        }
        std::size_t payloadAt = head_ + start_.size();
        Bytes payload = buf_.substr(payloadAt, at - payloadAt);
        head_ = at + stop_.size();
        inPacket_ = false;
        scanFrom_ = head_;
        deliver(payload);
    }
}

void PacketFramer::deliver(const Bytes& payload) {
    if (!onPacket_)
        return;
    try {
        onPacket_(payload);
    } catch (const std::exception& e) {
        if (onError_)
            onError_(e);
    } catch (...) {
        if (onError_)
            onError_(std::runtime_error("Unknown error"));
    }
}

void PacketFramer::endPass() {
    running_ = false;
    buf_.erase(0, head_);
    scanFrom_ -= std::min(scanFrom_, head_);
    head_ = 0;
    if (buf_.size() >= MaxBufferSize) {
        buf_.clear();
        inPacket_ = false;
        scanFrom_ = 0;
    }
}

} // namespace t6
