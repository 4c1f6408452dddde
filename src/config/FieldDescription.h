#pragma once
// One description per field of the configuration: the control that shows it,
// its kind, range and caption, and which member of DeviceConfig it is. The
// window walks the table to build and bind its controls, the file codecs to
// find fields by name; values are read and written through ConfigModel.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/DeviceConfig.h"

namespace t6 {

using FieldId = int;

enum class FieldKind {
    Check,  // a tick box: flag()
    Spin,   // a number editor: number(), text() while typed
    Text,   // a text editor: text()
    Choice, // a list: choice(), the item position or none
    Radio,  // a radio group: choice()
};

// Which member a field is. unit is the telephone, zone, sensor, wireless output
// or remote control number (from 1); sub the telephone of a group or the row.
enum class FieldRole {
    Telephone,
    DeviceDate,
    DeviceTime,
    ClockFromPc,
    ArmingDelay,
    DisarmingDelay,
    ArmingMethod,
    SmsOnArming,
    SmsOnDisarming,
    SupplyVoltageReport,
    SupplyVoltagePhone,
    ExternalUps,
    TimeInSms,
    ArmingBeep,
    AlarmSms,
    AlarmCall,
    StatusSmsOnCall,
    MicAndSpeakerOnCall,
    MicrophoneVolume,
    SpeakerVolume,
    ArmedIndicator,
    ArmingOutputOn,
    ArmingOutput,
    Button4On,
    Button4Output,
    Button4Toggle,
    Button4Seconds,
    MessageLanguage,
    SirenOutput,
    EntryDelay,
    ZoneActive,
    ZoneMessage,
    ZoneInputType,
    ZoneControl24h,
    ZoneOutputsEnabled,
    ZonePhone,
    RowEnabled,
    RowAlwaysOn,
    RowMinutes,
    RowSeconds,
    RowOutput,
    SensorActive,
    SensorLowAlarm,
    SensorHighAlarm,
    SensorThermostat,
    SensorEconomy,
    SensorComfort,
    SensorAuto,
    SensorOutput,
    SensorPhone,
    SensorName,
    SensorCode,
    OutputUsed,
    OutputType,
    OutputName,
    OutputCode,
    RemoteName,
    RemoteCode, // the last role
};
inline constexpr std::size_t FieldRoleCount = static_cast<std::size_t>(FieldRole::RemoteCode) + 1;

struct FieldDescription {
    FieldId id = -1;
    std::string controlName;
    FieldKind kind = FieldKind::Check;
    FieldRole role = FieldRole::Telephone;
    bool wireless = false; // a wireless zone or sensor
    int unit = 0;
    int sub = 0;
    std::string caption; // the control's own text or its label (Windows-1251), may be empty
    std::string group;   // the panel or group it sits in (Windows-1251)
    int minimum = 0;     // Spin: the range; Choice and Radio: 0 .. items - 1
    int maximum = 0;
    int maxLength = 0;              // Text: most bytes typed; Spin: most digits typed; 0: no limit
    std::vector<std::string> items; // the fixed items of a Choice or Radio (Windows-1251)
    bool outputChoice = false;      // a Choice whose items are the OutputChoiceList
    bool hidden = false;            // never shown
    bool userEditable = true;       // false: only the program writes it

    ZoneRef zone() const { return {wireless, unit}; }
    SensorRef sensor() const { return {wireless, unit}; }
};

// Every field, in the order of the window's panels.
const std::vector<FieldDescription>& fieldDescriptions();
const FieldDescription& fieldDescription(FieldId id);
// The field of a control name, or nothing.
std::optional<FieldId> findField(std::string_view controlName);
// The field of a member, or -1.
FieldId fieldIdOf(FieldRole role, int unit = 0, int sub = 0, bool wireless = false);

// The items of the wired zones' input type list, of the arming method, of the
// armed-state output and of a wireless output's type.
const std::vector<std::string>& inputTypeItems();
const std::vector<std::string>& armingMethodItems();
const std::vector<std::string>& armedIndicatorItems();
const std::vector<std::string>& outputTypeItems();

} // namespace t6
