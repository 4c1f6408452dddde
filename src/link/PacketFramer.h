#pragma once
// Turns the received byte stream into packets. Every packet starts with the
// start string (FE FF) and ends with the stop string (FF FE); the bytes between
// them are the payload handed to the packet handler. Standard C++ only.

#include <cstddef>
#include <exception>
#include <functional>
#include <string_view>

#include "common/Bytes.h"

namespace t6 {

class PacketFramer {
public:
    // Held bytes reaching this size at the end of a pass are dropped: a reply
    // always stays shorter from its start string to its stop string.
    static constexpr std::size_t MaxBufferSize = 1024;

    using PacketHandler = std::function<void(const Bytes& payload)>;
    using ErrorHandler = std::function<void(const std::exception& error)>;

    PacketFramer();

    // The framing strings; FE FF and FF FE unless set otherwise. An empty string
    // is refused with std::invalid_argument. Meant to be set before bytes arrive.
    void setStartString(Bytes start);
    void setStopString(Bytes stop);
    const Bytes& startString() const { return start_; }
    const Bytes& stopString() const { return stop_; }

    // Called once per complete packet, in arrival order, with the payload.
    void setOnPacket(PacketHandler handler) { onPacket_ = std::move(handler); }

    // Called with what the packet handler threw; framing of the bytes that
    // follow goes on afterwards. Without an error handler the error is dropped.
    // Anything thrown that is not a std::exception arrives as a std::runtime_error.
    void setOnError(ErrorHandler handler) { onError_ = std::move(handler); }

    // Appends received bytes and delivers every packet they complete. A feed
    // made while the packet handler runs (a modal box inside it runs a nested
    // event loop) only appends: the running pass frames those bytes once the
    // handler returns, in order.
    void feed(std::string_view chunk);

    // Drops the bytes held so far, a packet begun and not finished among them:
    // what arrives from now on is framed on its own. Safe inside the packet
    // handler; the bytes fed after the call are kept.
    void reset();

    // The bytes received and neither delivered nor dropped yet.
    Bytes buffer() const { return buf_.substr(head_); }
    std::size_t heldBytes() const { return buf_.size() - head_; }
    // True while a start string has been found and its stop string is awaited.
    bool inPacket() const { return inPacket_; }

private:
    void runPass();
    void endPass();
    void deliver(const Bytes& payload);

    Bytes start_;
    Bytes stop_;
    PacketHandler onPacket_;
    ErrorHandler onError_;

    // The held bytes are buf_[head_, end): delivered packets are skipped by
    // moving head_ and cut off once at the end of the pass.
    Bytes buf_;
    std::size_t head_ = 0;
    // Where the search for the string awaited next resumes: everything before it
    // has been searched already, so a packet arriving in many chunks costs one
    // pass over its bytes.
    std::size_t scanFrom_ = 0;
    bool inPacket_ = false;
    bool running_ = false;
};

} // namespace t6
