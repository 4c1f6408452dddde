#pragma once
// The zone records of the configuration block. Wired zones 1 to 4 travel as
// record types 0x01 to 0x04, wireless zones 1 to 6 as 0x05 to 0x0A, in one
// layout: the type, the message, 0x0D, the input type digit ("0" for a
// wireless zone), the activation and 24-hour flags, the twelve action bytes
// and the telephone mask; 18 bytes plus the message.

#include <string_view>

#include "common/Bytes.h"
#include "config/BlockLog.h"
#include "config/DeviceConfig.h"
#include "config/RecordBytes.h"

namespace t6 {

class ConfigModel;

// The longest message the device takes; a longer one is sent cut.
inline constexpr std::size_t ZoneMessageBytes = ZoneMessageLength;

// The zone of a record type 1 to 10.
constexpr ZoneRef zoneOfRecord(int recordType) {
    return recordType <= WiredZoneCount ? wiredZone(recordType)
                                        : wirelessZone(recordType - WiredZoneCount);
}
// The record type of a zone.
constexpr int recordOfZone(ZoneRef z) {
    return z.wireless ? z.number + WiredZoneCount : z.number;
}

// The record of zone 1 to 10 (its record type), or an empty text when the zone
// is not active: an inactive zone is not sent at all. A 0x0D in the message
// (a file may bring one) goes as a blank, since it would end the text early.
Bytes encodeZoneRecord(const ConfigModel& model, int zoneNumber);

// Decodes the zone record whose type byte is at p into the model, logging its
// heads, its bytes and its format errors. The message is taken whole, whatever
// its length. Answers the position of the telephone mask byte, or nothing when
// the block ends first (the fields read until then keep their new values).
RecordEnd decodeZoneRecord(ConfigModel& model, std::string_view block, std::size_t p,
                           BlockLog& log);

} // namespace t6
