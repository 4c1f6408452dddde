#pragma once
// The sensor list of one wireless zone as the device keeps it: six slots of
// 14 bytes, 84 in all, in both directions. A slot holds a name of 10 bytes
// (Windows-1251, padded with 0x00) and the sensor's radio code of 4 bytes.
// The list is exchanged with the device directly; it is no part of the
// configuration and of no file.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Bytes.h"
#include "common/DeviceDimensions.h"

namespace t6 {

inline constexpr int SensorSlots = 6;
inline constexpr std::size_t SensorNameBytes = NameLength;
inline constexpr std::size_t SensorCodeBytes = 4;
inline constexpr std::size_t SensorSlotBytes = SensorNameBytes + SensorCodeBytes;
inline constexpr std::size_t SensorListBlockBytes = SensorSlots * SensorSlotBytes;

// One row of the sensor panel: the name as shown, the code as hexadecimal digits.
struct SensorSlot {
    std::string name;
    std::string code;
    bool operator==(const SensorSlot&) const = default;
};
using SensorList = std::array<SensorSlot, SensorSlots>;

// The device's list: nothing when the reply is shorter than the block (the
// list has not come whole); bytes after the block are ignored. A name loses
// its blanks and control characters (0x00 included) at both ends; a code
// becomes 8 lower-case hexadecimal digits.
std::optional<SensorList> decodeSensorListBlock(std::string_view reply);

// Whether a code typed into the panel can be sent: an even number of
// hexadecimal digits of either case, at most 8 (an empty code sends four 0x00).
bool isSendableSensorCode(std::string_view code);

// The block to send, or the rows (from 1) whose codes cannot be sent; then
// bytes is empty and nothing is to go out.
struct SensorListEncoding {
    Bytes bytes;
    std::vector<int> refusedRows;
    bool ok() const { return refusedRows.empty(); }
};

// Each name padded with 0x00 to 10 bytes (a longer one is cut, since it would
// shift every later slot), each code's bytes padded with 0x00 to 4.
SensorListEncoding encodeSensorListBlock(const SensorList& list);

} // namespace t6
