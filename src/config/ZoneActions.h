#pragma once
// The twelve action bytes of a zone, as the device's zone records and the
// configuration file carry them: four slots of a duration (two bytes, high
// first) and an output code, for the rows 4, 1, 2, 3 in that order.

#include <array>
#include <cstddef>
#include <cstdint>

#include "config/DeviceConfig.h"

namespace t6 {

class ConfigModel;

// A slot: two bytes of duration and one of output code.
inline constexpr std::size_t ZoneActionSlotBytes = 3;
using ZoneActionBytes = std::array<std::uint8_t, ZoneActionSlotBytes * ZoneActionCount>;

// The duration that means "always on" (bytes FF DC).
inline constexpr unsigned AlwaysOnDuration = 65500;

// The row that travels in slot 0 to 3: the last row first, then the others in order.
constexpr int rowOfSlot(int slot) {
    return slot == 0 ? ZoneActionCount : slot;
}

// Puts the twelve bytes into the zone's rows through the model's rules. Twelve
// zero bytes disable the four rows and change nothing else. Otherwise, slot by
// slot: a duration of 0 disables the row (its output code is ignored); FF DC
// enables it "always on" with 0 minutes and 1 second; any other duration
// enables it with that many minutes and seconds, except 65501 to 65535, which
// keep the row's time; the output code selects its list position (0: none).
// True when some byte was not zero.
bool applyZoneActionBytes(ConfigModel& model, ZoneRef zone, const ZoneActionBytes& bytes);

// The twelve bytes of a zone's rows: all zero while the zone's outputs are not
// in use; otherwise per slot 00 00 00 for a row not enabled, FF DC and the
// output code for "always on", the time in seconds and the output code else.
ZoneActionBytes zoneActionBytesOf(const ConfigModel& model, ZoneRef zone);

} // namespace t6
