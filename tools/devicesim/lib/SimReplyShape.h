// How one reply leaves the simulated device: the packet around its payload,
// and what the misbehaviour options make of it on the line (noise before or
// inside it, a cut, a split into pieces, a second copy, lateness, and the line
// going dead part-way).
//
// Pure: bytes in, pieces out. The program puts each piece on the line as one
// write, at the time the piece asks for.
#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace t6sim {

// One write of a reply, as the program is to put it on the line.
struct ReplyPiece {
    std::string bytes;
    // Extra wait before the piece, on top of the reply delay: a reply given late.
    std::chrono::milliseconds lateBy{0};
    // The piece leaves a short pause after the one before it, so that a
    // reader receives the two apart.
    bool pauseBefore = false;
    // Once this piece has left, the line goes dead: the adapter is pulled out.
    bool hangUpAfter = false;

    bool operator==(const ReplyPiece&) const = default;
};

// What the options ask of one reply.
struct ReplyShape {
    // Bytes sent before the packet.
    std::string noiseBefore;
    // Bytes put into the middle of the payload (after half of its bytes,
    // rounded down), as a line picking up interference while the reply runs.
    std::string noiseInside;
    // The packet (from its start string, the noise inside counted) is cut
    // after this many bytes; the stop string is never sent whole.
    std::optional<std::size_t> cut;
    // The reply leaves in two pieces, the first ending after this many bytes
    // of the packet (the noise before goes with the first piece). 0, or a
    // position at or past the packet's end, leaves it whole.
    std::optional<std::size_t> splitAfter;
    // splitAfter counts through the positions 1 to (packet bytes - 1) and
    // starts again at 1 after the last: a sweep over every position.
    bool splitWraps = false;
    // Otherwise, pieces of this many bytes (0: no such split).
    std::size_t chunk = 0;
    // The whole reply is sent a second time, a pause after the first.
    bool twice = false;
    std::chrono::milliseconds lateBy{0};
    // Only this many bytes of the packet leave (the stop string may be among
    // them), and the line goes dead after them; no second copy follows.
    std::optional<std::size_t> hangUpAfter;
};

// Start and stop strings of every packet, in both directions.
inline constexpr std::string_view kPacketStart{"\xFE\xFF", 2};
inline constexpr std::string_view kPacketStop{"\xFF\xFE", 2};

// The pieces of a reply with this payload. A reply cut to nothing gives no
// piece, unless the line goes dead: then one empty piece says so.
std::vector<ReplyPiece> shapeReply(std::string_view payload, const ReplyShape& shape);

} // namespace t6sim
