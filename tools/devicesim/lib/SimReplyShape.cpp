#include "SimReplyShape.h"

#include <algorithm>

namespace t6sim {

namespace {

// The positions a sweep counts through: 1 to size - 1.
std::size_t sweptPosition(std::size_t count, std::size_t packetSize) {
    if (packetSize < 2 || count == 0) {
        return 0;
    }
    return 1 + (count - 1) % (packetSize - 1);
}

} // namespace

std::vector<ReplyPiece> shapeReply(std::string_view payload, const ReplyShape& shape) {
    std::string packet;
    packet.reserve(kPacketStart.size() + payload.size() + shape.noiseInside.size() +
                   kPacketStop.size());
    const std::size_t half = payload.size() / 2;
    packet.append(kPacketStart)
        .append(payload.substr(0, half))
        .append(shape.noiseInside)
        .append(payload.substr(half))
        .append(kPacketStop);

    if (shape.cut) {
        // Never the whole stop string: the reply stays unfinished.
        packet.resize(std::min(*shape.cut, packet.size() - kPacketStop.size()));
    }
    const bool hangUp = shape.hangUpAfter.has_value();
    if (hangUp) {
        packet.resize(std::min(*shape.hangUpAfter, packet.size()));
    }

    const std::string out = shape.noiseBefore + packet;
    std::vector<ReplyPiece> pieces;
    auto add = [&](std::string bytes, bool pause) {
        pieces.push_back(ReplyPiece{std::move(bytes), shape.lateBy, pause, false});
    };

    std::size_t split = 0;
    if (shape.splitAfter) {
        split =
            shape.splitWraps ? sweptPosition(*shape.splitAfter, packet.size()) : *shape.splitAfter;
    }
    if (split > 0 && split < packet.size()) {
        const std::size_t at = shape.noiseBefore.size() + split;
        add(out.substr(0, at), false);
        add(out.substr(at), true);
    } else if (shape.chunk != 0) {
        for (std::size_t at = 0; at < out.size(); at += shape.chunk) {
            add(out.substr(at, shape.chunk), true);
        }
    } else if (!out.empty()) {
        add(out, false);
    }

    if (hangUp) {
        if (pieces.empty()) {
            add(std::string(), false);
        }
        pieces.back().hangUpAfter = true;
        return pieces;
    }
    if (shape.twice && !pieces.empty()) {
        const std::size_t count = pieces.size();
        for (std::size_t i = 0; i < count; ++i) {
            ReplyPiece copy = pieces[i];
            if (i == 0) {
                copy.pauseBefore = true;
            }
            pieces.push_back(std::move(copy));
        }
    }
    return pieces;
}

} // namespace t6sim
