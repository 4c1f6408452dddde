#pragma once
// How many of each thing the device has, and how long its texts are. The
// configuration (config/DeviceConfig.h) sizes its arrays with these; layers
// below it (the outputs) read them here.

namespace t6 {

// Telephones the device calls and sends messages to.
inline constexpr int TelephoneCount = 5;

// Zones: wired inputs on the board and wireless ones learned by radio.
inline constexpr int WiredZoneCount = 4;
inline constexpr int WirelessZoneCount = 6;
// All zones, the wired ones first.
inline constexpr int ZoneCount = WiredZoneCount + WirelessZoneCount;
// Action rows of a zone, each switching an output.
inline constexpr int ZoneActionCount = 4;
// Wired zone input types, numbered from 1.
inline constexpr int InputTypeCount = 5;

// Temperature sensors: wired on the board and wireless ones learned by radio.
inline constexpr int WiredSensorCount = 2;
inline constexpr int WirelessSensorCount = 6;

// Outputs: the fixed ones on the board and the wireless ones learned by radio.
inline constexpr int WiredOutputCount = 4;
inline constexpr int WirelessOutputCount = 16;
// Channels of a four-channel wireless relay.
inline constexpr int RelayChannelCount = 4;

inline constexpr int RemoteControlCount = 10;
// Touch Memory keys the device's key table holds.
inline constexpr int TouchKeyCount = 10;

// Bytes of a zone's message and of the name of a wireless device.
inline constexpr int ZoneMessageLength = 25;
inline constexpr int NameLength = 10;
// Hexadecimal digits of a radio code (three bytes).
inline constexpr int CodeLength = 6;

} // namespace t6
