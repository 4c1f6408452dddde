#pragma once
// The configuration block: the device's main configuration as one packet body
// in both directions, 99 99 followed by self-delimiting records, each opened
// by its type byte. Reading finds the records one by one; writing lays them
// out in a fixed order, one write per record (the temperature records in
// several).

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Bytes.h"
#include "config/BlockLog.h"
#include "config/RecordBytes.h"

namespace t6 {

class ConfigModel;

// Record types besides the zones (1 to 4 wired, 5 to 10 wireless).
namespace RecordType {
inline constexpr int Telephones = 0x11;
inline constexpr int Password = 0x1A;
inline constexpr int DateTime = 0x1C;
inline constexpr int Options = 0x21;
inline constexpr int Thermo = 0x23;
inline constexpr int Delays = 0x24;
inline constexpr int Reserved = 0x25;
inline constexpr int WirelessThermo = 0x26;
} // namespace RecordType

// The two bytes that open the block.
inline constexpr std::string_view ConfigBlockStart{"\x99\x99", 2};

// True for the types a received block is decoded by.
bool isRecordType(unsigned char type);

// Decodes the record whose type byte is at p (a byte that is no record type
// is stepped over alone). Answers the position of the record's last byte, or
// nothing when the block ends inside it.
RecordEnd decodeRecord(ConfigModel& model, std::string_view block, std::size_t p, BlockLog& log);

// The records every block the device sends holds, whatever its zones: the
// telephones, the date and time, the options, the delays and both
// temperature records (the zones' records come only for active zones).
inline constexpr int RequiredRecordTypes[] = {RecordType::Telephones, RecordType::DateTime,
                                              RecordType::Options,    RecordType::Delays,
                                              RecordType::Thermo,     RecordType::WirelessThermo};

// How a scan ended: complete, or stopped by a record cut short by the end of
// the block. Fields decoded before the stop keep their new values.
struct ConfigBlockScan {
    bool complete = true;
    int cutRecordType = 0;       // the type byte of the record cut short
    std::size_t cutRecordAt = 0; // the position of that type byte, from 0
    // The required records the block lacks (a block cut between two records,
    // or ended early by a stray end of packet), in the order of
    // RequiredRecordTypes; a cut block lists those after the cut too.
    std::vector<int> missingRecords;

    // Nothing cut and nothing missing: the block is the device's whole configuration.
    bool whole() const { return complete && missingRecords.empty(); }
};

// The name of a required record as the user reads it (Windows-1251, to be translated).
std::string recordName(int type);

// Walks the records of a block as the read finds them, decoding each into
// the model: bytes between records (the 99 99, the 0x0D after a record,
// anything that is no record type) are stepped over one at a time; the last
// byte is never taken for a type. Each record decoded whole is told with its
// type and its bytes; the walk stops at a record cut short by the block's end.
ConfigBlockScan
walkConfigBlock(ConfigModel& model, std::string_view block, BlockLog& log,
                const std::function<void(int type, std::string_view record)>& onRecord = {});

// Decodes a received block into the model (which the read has just reset):
// both delays to 0, the wireless temperature sensors switched off (the reset
// leaves them as they were, and their record comes last; so they never refuse
// the arming output the options bring), the block to the logs, then record by
// record. Bytes
// between records (the 99 99, the 0x0D after a record, anything that is no
// record type) are stepped over one at a time; the last byte is never taken
// for a type. Nothing past the end of the block is ever read.
ConfigBlockScan scanConfigBlock(ConfigModel& model, std::string_view block, BlockLog& log);

// One write of the block: a record, or a piece of a temperature record.
struct ConfigBlockPiece {
    enum class Kind {
        WiredZone,    // number: the zone, 1 to 4
        WirelessZone, // number: the zone, 1 to 6
        Telephones,
        DateTime,
        Options,
        Delays,
        Thermo,         // number: the piece, 1 (with "#") and 2 (with the 0x0D)
        WirelessThermo, // number: the piece, 1 (with "&") to 6 (with the 0x0D)
    };
    Kind kind;
    int number = 0;
    Bytes bytes;
};

// The records in the order they are sent: the active wired zones, the active
// wireless zones, telephones, date and time, options, delays, the wired and
// then the wireless temperature records in their pieces. The write sends
// ConfigBlockStart before them (after the packet's start) and nothing else
// between them.
std::vector<ConfigBlockPiece> configBlockPieces(const ConfigModel& model);

// The whole block as it goes between the packet's framing: 99 99 and the pieces.
Bytes encodeConfigBlock(const ConfigModel& model);

} // namespace t6
