#pragma once
// The temperature sensor records of the configuration block: "#" (0x23) with
// the two wired sensors and "&" (0x26) with the six wireless ones, nine bytes
// per sensor, then 0x0D. The names and codes of the wireless sensors travel in
// a block of their own.
//
// The nine bytes of a sensor: "1" when active, the two alarm thresholds as
// temperature bytes, the thermostat flag, then with the thermostat on the
// economy and comfort temperatures, the auto-regulation flag and the output
// code, with it off "1", "1", "0", 0x00; last the telephone mask. An inactive
// sensor goes as "011011000" whatever it holds.

#include <string_view>
#include <vector>

#include "common/Bytes.h"
#include "config/BlockLog.h"
#include "config/DeviceConfig.h"
#include "config/RecordBytes.h"

namespace t6 {

class ConfigModel;

inline constexpr std::size_t SensorByteCount = 9;

// The nine bytes of one sensor.
Bytes encodeSensorBytes(const ConfigModel& model, SensorRef sensor);

// The records as the write sends them, one piece per write: "#" with wired
// sensor 1, then sensor 2 with the 0x0D; "&" with wireless sensor 1, sensors 2
// to 5, then sensor 6 with the 0x0D. Joined, the pieces are the record.
std::vector<Bytes> thermoRecordPieces(const ConfigModel& model);
std::vector<Bytes> wirelessThermoRecordPieces(const ConfigModel& model);
Bytes encodeThermoRecord(const ConfigModel& model);
Bytes encodeWirelessThermoRecord(const ConfigModel& model);

// Decode the record whose type byte is at p and answer the position of its
// last sensor byte (p + 18, p + 54), or nothing when the block ends first. The
// wired record logs each sensor's nine bytes under its heads; the wireless one
// logs nothing of its own. A field that is not a flag character reads as off
// (active, thermostat) or on (auto-regulation); no format error is reported.
RecordEnd decodeThermoRecord(ConfigModel& model, std::string_view block, std::size_t p,
                             BlockLog& log);
RecordEnd decodeWirelessThermoRecord(ConfigModel& model, std::string_view block, std::size_t p,
                                     BlockLog& log);

} // namespace t6
