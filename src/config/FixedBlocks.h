#pragma once
// The three fixed-size blocks the device exchanges besides the configuration
// block: the sixteen wireless outputs (224 bytes, 14 per output: the state
// and type digit, the name, the code), the ten remote controls (130 bytes) and
// the names and codes of the six wireless temperature sensors (78 bytes), the
// last two 13 bytes per entry: the name, the code.
//
// A name travels as 10 bytes padded with 0x00 and is read up to its first
// 0x00; a longer name is sent cut to 10 bytes, since it would shift every
// later entry. A code travels as 3 bytes, shown as lower-case hexadecimal
// digits; an empty code goes as three 0x00 bytes.

#include <cstddef>
#include <string_view>
#include <vector>

#include "common/Bytes.h"
#include "common/DeviceDimensions.h"
#include "config/BlockLog.h"

namespace t6 {

class ConfigModel;

inline constexpr std::size_t DeviceNameBytes = NameLength;
inline constexpr std::size_t DeviceCodeBytes = CodeLength / 2;
// An entry of the remote controls or the sensors: the name, the code.
inline constexpr std::size_t NamedEntryBytes = DeviceNameBytes + DeviceCodeBytes;
// An entry of the outputs: the state and type digit, the name, the code.
inline constexpr std::size_t OutputEntryBytes = 1 + NamedEntryBytes;

inline constexpr std::size_t WirelessOutputsBlockBytes = WirelessOutputCount * OutputEntryBytes;
inline constexpr std::size_t RemoteControlsBlockBytes = RemoteControlCount * NamedEntryBytes;
inline constexpr std::size_t ThermoNamesBlockBytes = WirelessSensorCount * NamedEntryBytes;

// Whether a code can be sent: empty, or 2, 4 or 6 hexadecimal digits of either
// case. Any other code would be sent wrong, so a block holding one is refused
// before anything goes out.
bool isSendableCode(std::string_view code);

// A block built for sending, or the entries (from 1) whose codes cannot be
// sent; then bytes is empty.
struct FixedBlockEncoding {
    Bytes bytes;
    std::vector<int> refusedEntries;
    bool ok() const { return refusedEntries.empty(); }
};

// Reply bodies: a body shorter than its block changes nothing (false); of a
// longer one the first bytes are the block.
//
// The wireless outputs: the block to the logs, then per output its code, its
// name and by its digit: "0" not used, "1" to "4" used with that type (which
// registers it and puts it among the output choices, four channels for "4"),
// anything else leaves type and use as they were. Setting the used flag runs
// its rule, which gives an output without a code a new one.
bool decodeWirelessOutputsBlock(ConfigModel& model, std::string_view body, BlockLog& log);
FixedBlockEncoding encodeWirelessOutputsBlock(const ConfigModel& model);

bool decodeRemoteControlsBlock(ConfigModel& model, std::string_view body);
FixedBlockEncoding encodeRemoteControlsBlock(const ConfigModel& model);

// Reading also registers each sensor ("btd1" to "btd6") with its name and code.
bool decodeThermoNamesBlock(ConfigModel& model, std::string_view body);
FixedBlockEncoding encodeThermoNamesBlock(const ConfigModel& model);

} // namespace t6
