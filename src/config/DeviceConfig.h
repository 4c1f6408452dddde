#pragma once
// Everything the configurator reads from the device, edits, writes back and
// keeps in a configuration file. Texts are Windows-1251; an output choice is a
// position in the OutputChoiceList (or none). A default-constructed
// DeviceConfig holds the values the window is designed with. How many zones,
// sensors, outputs, remote controls and keys there are, and how long the texts
// may be, is named once in common/DeviceDimensions.h.

#include <array>
#include <optional>
#include <string>

#include "common/DeviceDimensions.h"

namespace t6 {

// Telephones 1 to 5 notified by a zone, a sensor or an option group.
using PhoneFlags = std::array<bool, TelephoneCount>;

// Wired zone input types, in the order of the type list.
enum InputType : int {
    HighLevel = 1,
    NormallyClosed = 2,
    NormallyOpen = 3,
    NormallyClosedEol = 4,
    SmokeTwoWire = 5,
};

// The type of a wireless output; FourChannelRelay has four channels.
enum WirelessOutputType : int {
    WirelessRelay = 0,
    WirelessSiren = 1,
    WirelessSocket = 2,
    FourChannelRelay = 3,
};

struct ZoneOutputAction {
    bool enabled = false;
    bool alwaysOn = false;
    int minutes = 0; // 0 to 500 as typed; the device may send more
    int seconds = 1; // 0 to 59
    std::optional<int> output;
};

// The fields wired and wireless zones share.
struct Zone {
    bool active = false;
    std::string message; // at most ZoneMessageLength bytes as typed
    bool control24h = false;
    bool outputsEnabled = false; // follows active
    std::array<ZoneOutputAction, ZoneActionCount> actions{};
    PhoneFlags phones{true, false, false, false, false};
    bool entryDelay = false;
};

struct WiredZone : Zone {
    std::optional<int> inputType; // 1 to 5
};

struct WirelessZone : Zone {};

struct ThermoSensor {
    bool active = false;
    int lowAlarm = 1;
    int highAlarm = 1;
    bool thermostat = false;
    int economyTemp = 1;
    int comfortTemp = 1;
    bool autoAfterDisarm = false;
    std::optional<int> output = 0;
    PhoneFlags phones{true, false, false, false, false};
};

struct WirelessThermoSensor : ThermoSensor {
    std::string name; // at most NameLength bytes
    std::string code; // at most 6 hexadecimal digits
};

struct WirelessOutput {
    bool used = false;
    int type = WirelessRelay;
    std::string name; // at most NameLength bytes
    std::string code; // 6 hexadecimal digits or empty
};

struct RemoteControl {
    std::string name;
    std::string code;
};

struct TouchKey {
    std::string description;
    std::string code;
};

// A wired zone (1 to 4) or a wireless zone (1 to 6).
struct ZoneRef {
    bool wireless = false;
    int number = 1;
    bool operator==(const ZoneRef&) const = default;
};
constexpr ZoneRef wiredZone(int n) {
    return {false, n};
}
constexpr ZoneRef wirelessZone(int n) {
    return {true, n};
}

// A wired temperature sensor (1, 2) or a wireless one (1 to 6).
struct SensorRef {
    bool wireless = false;
    int number = 1;
    bool operator==(const SensorRef&) const = default;
};
constexpr SensorRef wiredSensor(int n) {
    return {false, n};
}
constexpr SensorRef wirelessSensor(int n) {
    return {true, n};
}

struct DeviceConfig {
    DeviceConfig();

    std::array<std::string, TelephoneCount> telephones;
    std::string deviceDate; // "dd.mm.yy"
    std::string deviceTime; // "hh:mm:ss"
    bool clockFromPc = true;
    int armingDelay = 0;
    int disarmingDelay = 0;
    std::optional<int> armingMethod = 2; // 0 high, 1 low, 2 Touch Memory or pulse
    PhoneFlags smsOnArming{};
    PhoneFlags smsOnDisarming{};
    bool supplyVoltageReport = true;
    PhoneFlags supplyVoltagePhones{true, false, false, false, false};
    bool externalUps = false;
    bool timeInSms = true;
    bool armingBeep = false;
    bool alarmSms = true;
    bool alarmCall = true;
    bool statusSmsOnCall = true;
    bool micAndSpeakerOnCall = true;
    int microphoneVolume = 1;
    int speakerVolume = 9;
    std::optional<int> armedIndicator = 0; // 0 LED, 1 external indicator
    bool armingOutputOn = false;
    std::optional<int> armingOutput = 0;
    bool button4On = false;
    std::optional<int> button4Output = 0;
    bool button4Toggle = false;
    int button4Seconds = 1;
    // Carried only by the configuration file: the message language (0 or 1)
    // and the hidden siren output choice.
    std::optional<int> messageLanguage = 0;
    std::optional<int> sirenOutput = 0;

    std::array<WiredZone, WiredZoneCount> wiredZones;
    std::array<WirelessZone, WirelessZoneCount> wirelessZones;
    std::array<ThermoSensor, WiredSensorCount> thermoSensors;
    std::array<WirelessThermoSensor, WirelessSensorCount> wirelessThermoSensors;
    std::array<WirelessOutput, WirelessOutputCount> wirelessOutputs;
    std::array<RemoteControl, RemoteControlCount> remoteControls;
    std::array<TouchKey, TouchKeyCount> touchKeys;

    Zone& zone(ZoneRef z);
    const Zone& zone(ZoneRef z) const;
    ThermoSensor& sensor(SensorRef s);
    const ThermoSensor& sensor(SensorRef s) const;
    ZoneOutputAction& action(ZoneRef z, int row) { return zone(z).actions.at(row - 1); }
    const ZoneOutputAction& action(ZoneRef z, int row) const { return zone(z).actions.at(row - 1); }
};

} // namespace t6
