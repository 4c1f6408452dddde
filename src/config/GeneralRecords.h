#pragma once
// The general records of the configuration block: telephones (0x11), the SMS
// password and PIN (0x1A, sent by the device only and stepped over), date and
// time (0x1C), the options (0x21 "!"), the delays (0x24 "$") and the reserved
// type 0x25 "%". Each decoder takes the block and the position of the record's
// type byte and answers the position of the last byte it consumed (or nothing
// when the block ends inside the record); each encoder returns its record.

#include <string_view>

#include "common/Bytes.h"
#include "config/BlockLog.h"
#include "config/RecordBytes.h"

namespace t6 {

class ConfigModel;

// 0x11, each telephone as digits followed by "/" ("7" for one not filled in), 0x0D.
Bytes encodeTelephonesRecord(const ConfigModel& model);
// Fields up to each "/" until a 0x0D stands where the next field would begin;
// the first five become the telephones. Answers the position of that 0x0D.
RecordEnd decodeTelephonesRecord(ConfigModel& model, std::string_view block, std::size_t p,
                                 BlockLog& log);

// Always stepped over: ten bytes when eight or more follow the type byte;
// fewer are reported in the memo and the scan goes on.
RecordEnd decodePasswordRecord(ConfigModel& model, std::string_view block, std::size_t p,
                               BlockLog& log);

// 0x1C, the date "dd.mm.yy", ";", the time "hh:mm:ss" (a one-digit hour gets
// its "0"), 0x0D.
Bytes encodeDateTimeRecord(const ConfigModel& model);
// The date and the time, each only when its eight bytes are there; the scan
// goes on after the record's place in any case.
RecordEnd decodeDateTimeRecord(ConfigModel& model, std::string_view block, std::size_t p,
                               BlockLog& log);

// The nineteen bytes of the options. A model without an arming method or an
// armed-state output (a file may leave them empty) sends the values the
// window starts with: Touch Memory or pulse ("3") and the LED ("1").
Bytes encodeOptionsRecord(const ConfigModel& model);
RecordEnd decodeOptionsRecord(ConfigModel& model, std::string_view block, std::size_t p,
                              BlockLog& log);

// "$", the arming and disarming delays as bytes, the ten entry-delay flags
// (wired zones 1 to 4, wireless zones 1 to 6), 0x0D.
Bytes encodeDelaysRecord(const ConfigModel& model);
RecordEnd decodeDelaysRecord(ConfigModel& model, std::string_view block, std::size_t p,
                             BlockLog& log);

// The reserved type: it and the byte after it are stepped over.
RecordEnd decodeReservedRecord(ConfigModel& model, std::string_view block, std::size_t p,
                               BlockLog& log);

} // namespace t6
