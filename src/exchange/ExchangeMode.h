#pragma once
// The exchange mode: which operation the next reply from the device answers.

#include <cstdint>

#include "config/ModelContext.h"

namespace t6 {

using ExchangeModeValue = std::int32_t;

namespace ExchangeMode {
inline constexpr ExchangeModeValue Idle = 0;        // nothing running, port normally closed
inline constexpr ExchangeModeValue Identify = 1;    // "Tt"
inline constexpr ExchangeModeValue ReadBlock = 2;   // "Pt"
inline constexpr ExchangeModeValue WriteBlock = 3;  // the configuration block
inline constexpr ExchangeModeValue ReadAllKeys = 5; // "Cn"
inline constexpr ExchangeModeValue ReadOneKey = 6;  // "Kr" / "Ur"
inline constexpr ExchangeModeValue KeysReady = 7;   // "Wr"
inline constexpr ExchangeModeValue KeysResult = 8;  // the key table
inline constexpr ExchangeModeValue IdleAfterOperation = 11;
inline constexpr ExchangeModeValue SignalLevel = 15;      // "Sg"
inline constexpr ExchangeModeValue ReadRemote = 16;       // "Pr"
inline constexpr ExchangeModeValue ReadSensorList = 17;   // "D" n "r"
inline constexpr ExchangeModeValue ReadSensor = 18;       // "Ps" / "Us"
inline constexpr ExchangeModeValue SensorsReady = 19;     // "Wd" n
inline constexpr ExchangeModeValue SensorsResult = 20;    // the sensor list
inline constexpr ExchangeModeValue ReadThermoCode = 21;   // "Rtd"
inline constexpr ExchangeModeValue OutputOn = 22;         // "So" ...
inline constexpr ExchangeModeValue OutputOff = 23;        // "So" ...
inline constexpr ExchangeModeValue ReadRemotes = 201;     // "Pn"
inline constexpr ExchangeModeValue ReadThermoNames = 202; // "Ltd"
inline constexpr ExchangeModeValue ReadOutputs = 222;     // "Ro"
inline constexpr ExchangeModeValue RemotesReady = 301;    // "Wp"
inline constexpr ExchangeModeValue RemotesResult = 302;
inline constexpr ExchangeModeValue ThermoReady = 303; // "Wtd"
inline constexpr ExchangeModeValue ThermoResult = 304;
inline constexpr ExchangeModeValue OutputsReady = 305; // "Wo"
inline constexpr ExchangeModeValue OutputsResult = 306;
inline constexpr ExchangeModeValue SavingFile = 200002;
inline constexpr ExchangeModeValue LoadingFile = 300003;

// What the configuration model is used for while the controller is in a mode:
// the reads of the wireless outputs and of the configuration block fill it, a
// file load and a file save have contexts of their own, and any other
// exchange keeps the user's warnings away until it has finished.
constexpr ModelContext modelContextOf(ExchangeModeValue m) {
    switch (m) {
    case Idle:
    case IdleAfterOperation:
        return ModelContext::Editing;
    case ReadBlock:
    case ReadOutputs:
        return ModelContext::FillingFromDevice;
    case LoadingFile:
        return ModelContext::FillingFromFile;
    case SavingFile:
        return ModelContext::SavingFile;
    default:
        return ModelContext::Exchanging;
    }
}
} // namespace ExchangeMode

} // namespace t6
