#pragma once
// The device's key table: ten records of 20 bytes, one per Touch Memory key,
// each a description of 12 bytes and an identity of 8 bytes, both padded at
// the end with 00 bytes. The window shows an identity as hexadecimal digits
// (small letters, two per byte) and takes it back in either case.
//
// Before anything is sent the whole table is checked: a code the block could
// not carry exactly (a character that is not a hexadecimal digit, an odd
// number of digits, more than 16) or a description longer than its 12 bytes
// stops the write with a message naming the row, instead of a record cut or
// shifted on the device.

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Bytes.h"
#include "config/DeviceConfig.h"

namespace t6 {

using TouchKeys = std::array<TouchKey, TouchKeyCount>;

inline constexpr std::size_t KeyRecordBytes = 20;
inline constexpr std::size_t KeyDescriptionBytes = 12;
inline constexpr std::size_t KeyIdentityBytes = 8;
inline constexpr std::size_t KeyTableBytes = TouchKeyCount * KeyRecordBytes;

// One row filled from the device's table. A trailing piece of a record (12
// bytes or more, fewer than 20) brings the description alone.
struct DecodedKeyRow {
    int row = 1; // 1-10
    std::string description;
    std::optional<std::string> code;
    bool operator==(const DecodedKeyRow&) const = default;
};

// The reply to "Cn": consecutive records from the start, the k-th for row k.
// Descriptions lose every byte 01-1F, then blanks and control bytes at both
// ends; codes are 16 small hexadecimal digits. Records past the tenth are
// not kept.
std::vector<DecodedKeyRow> decodeKeyTable(std::string_view reply);

// The reply to "Kr": the identity of the key held to the reader, its first
// eight bytes as small hexadecimal digits.
std::string decodeKeyIdentity(std::string_view reply);

// A code as the check and the encoder read it: blanks and control characters
// at both ends removed.
std::string_view trimmedKeyCode(std::string_view code);

// Why the table may not be sent, for the first row that breaks a rule (rows
// in order; within a row the rules in this order).
struct KeyTableFault {
    enum class Kind {
        BadCharacter,    // a character other than 0-9, A-F, a-f in the code
        OddDigits,       // half a byte
        TooManyDigits,   // more than the 16 digits of an identity
        LongDescription, // more than the record's 12 bytes
    };
    int row = 1;
    Kind kind = Kind::BadCharacter;
    bool operator==(const KeyTableFault&) const = default;
};

std::optional<KeyTableFault> checkKeyTable(const TouchKeys& keys);

// The message for a fault, its words through translate (none shows them as written).
std::string keyTableFaultText(const KeyTableFault& fault,
                              const std::function<std::string(const std::string&)>& translate);

// The 200-byte block for the device, or nothing when checkKeyTable refuses
// the table (nothing half-built is ever sent).
std::optional<Bytes> encodeKeyTable(const TouchKeys& keys);

} // namespace t6
