// What the simulated device keeps: its configuration blocks, its key table
// and its wireless sensor lists, as bytes; and the wireless outputs it has been
// paired with.
//
// The device does not interpret the blocks. It answers a read with the block
// as it holds it and replaces a block when a write brings a new one, so what
// the configurator writes is exactly what it reads back.
#pragma once

#include <array>
#include <cstddef>
#include <map>
#include <string>
#include <string_view>

namespace t6sim {

// Sixteen wireless outputs of 14 bytes: state digit, name (10), code (3).
inline constexpr std::size_t kWirelessOutputsSize = 224;
// Ten remote controls of 13 bytes: name (10), code (3).
inline constexpr std::size_t kRemoteControlsSize = 130;
// Six wireless temperature sensors of 13 bytes: name (10), code (3).
inline constexpr std::size_t kThermoNamesSize = 78;
// The two bytes that open the configuration block, before its records.
inline constexpr std::string_view kConfigBlockMark{"\x99\x99", 2};
// Ten keys of 20 bytes: description (12), identity (8).
inline constexpr std::size_t kKeyTableSize = 200;
// Six sensors of one wireless zone, 14 bytes each: name (10), code (4).
inline constexpr std::size_t kSensorListSize = 84;
inline constexpr std::size_t kWirelessZones = 6;

// A wireless output the device has been paired with ("So" with action 00).
struct SimOutput {
    int type = 0;    // the type byte of the pairing, 1 to 4
    bool on = false; // switched on by action 01, off by action 02

    bool operator==(const SimOutput&) const = default;
};

struct SimMemory {
    std::string wirelessOutputs; // answer to "Ro", replaced by the data after "Wo"
    std::string configBlock;     // answer to "Pt": 99 99 then the records
    std::string remoteControls;  // answer to "Pn", replaced by the data after "Wp"
    std::string thermoNames;     // answer to "Ltd", replaced by the data after "Wtd"
    std::string keyTable;        // answer to "Cn", replaced by the data after "Wr"
    // Zone n's list (index n - 1): answer to "Dnr", replaced by the data after "Wdn".
    std::array<std::string, kWirelessZones> sensorLists;
    // Paired outputs by their three code bytes.
    std::map<std::string, SimOutput> attachedOutputs;

    // A device as an installer leaves it: three wired zones and one wireless
    // zone in use with Russian messages, two telephones, the date and time,
    // options and delays, both temperature records, three wireless outputs (one
    // of them a four-channel relay, all three paired and off), three named
    // remote controls, one named wireless temperature sensor, three named keys
    // and two named sensors in wireless zone 1. No block holds the bytes FF FE,
    // which would end the reply packet early.
    static SimMemory demo();

    bool operator==(const SimMemory&) const = default;
};

// Windows-1251 bytes of a UTF-8 text written with ASCII and Russian letters
// only (the texts the device's default content needs). Throws
// std::invalid_argument on any other character.
std::string win1251(std::string_view utf8);

} // namespace t6sim
