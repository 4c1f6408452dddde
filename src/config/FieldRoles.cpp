#include "config/FieldRoles.h"

#include <array>
#include <cstddef>

#include "config/FieldRoleAccess.h"

namespace t6 {

namespace {

using namespace field_access;

// ---- Enabled states ----

bool clockTyped(const DeviceConfig& c, const FieldDescription&) {
    return !c.clockFromPc;
}
bool voltageReported(const DeviceConfig& c, const FieldDescription&) {
    return c.supplyVoltageReport;
}
bool armingOutputOn(const DeviceConfig& c, const FieldDescription&) {
    return c.armingOutputOn;
}
bool button4On(const DeviceConfig& c, const FieldDescription&) {
    return c.button4On;
}
bool button4Timed(const DeviceConfig& c, const FieldDescription&) {
    return c.button4On && !c.button4Toggle;
}
bool zoneActive(const DeviceConfig& c, const FieldDescription& d) {
    return c.zone(d.zone()).active;
}
bool outputsArea(const DeviceConfig& c, const FieldDescription& d) {
    return c.zone(d.zone()).outputsEnabled;
}
bool rowTicked(const DeviceConfig& c, const FieldDescription& d) {
    return c.zone(d.zone()).outputsEnabled && c.action(d.zone(), d.sub).enabled;
}
bool rowTimed(const DeviceConfig& c, const FieldDescription& d) {
    const auto& a = c.action(d.zone(), d.sub);
    return c.zone(d.zone()).outputsEnabled && a.enabled && !a.alwaysOn;
}
bool sensorActive(const DeviceConfig& c, const FieldDescription& d) {
    return c.sensor(d.sensor()).active;
}
bool thermostatOn(const DeviceConfig& c, const FieldDescription& d) {
    const auto& s = c.sensor(d.sensor());
    return s.active && s.thermostat;
}
bool comfortKept(const DeviceConfig& c, const FieldDescription& d) {
    const auto& s = c.sensor(d.sensor());
    return s.active && s.thermostat && s.autoAfterDisarm;
}
bool outputUsed(const DeviceConfig& c, const FieldDescription& d) {
    return c.wirelessOutputs.at(at(d.unit)).used;
}

// ---- Looks ----

Look clockLook(const DeviceConfig& c, const FieldDescription&) {
    return c.clockFromPc ? Look::InfoBackground : Look::Window;
}
Look button4SecondsLook(const DeviceConfig& c, const FieldDescription&) {
    return c.button4Toggle ? Look::Grey : Look::Window;
}
Look zoneActiveLook(const DeviceConfig& c, const FieldDescription& d) {
    return c.zone(d.zone()).active ? Look::TextGreen : Look::TextRed;
}
Look zoneFieldLook(const DeviceConfig& c, const FieldDescription& d) {
    return c.zone(d.zone()).active ? Look::Window : Look::ActiveBorder;
}
// The row's tick decides the colour; "always on" only disables the editors.
Look rowTimeLook(const DeviceConfig& c, const FieldDescription& d) {
    return c.action(d.zone(), d.sub).enabled ? Look::Window : Look::ActiveBorder;
}
// A temperature editor is coloured as it is enabled.
Look temperatureLook(const DeviceConfig& c, const FieldDescription& d) {
    return fieldRole(d.role).enabled(c, d) ? Look::Window : Look::InactiveBorder;
}

// ---- The table ----

constexpr std::array<FieldRoleRow, FieldRoleCount> rows = {{
    // The general settings.
    {.role = FieldRole::Telephone,
     .access = {.text = [](const DeviceConfig& c, const FieldDescription& d) -> const std::string& {
                    return c.telephones.at(at(d.unit));
                },
                .setText =
                    [](ConfigModel& m, const FieldDescription& d, const std::string& text) {
                        // The user's text: tidied as a paste is, then the telephone rules.
                        const auto t =
                            ConfigModel::userTelephone(text, m.config().telephones.at(at(d.unit)));
                        if (!t)
                            return false;
                        m.setTelephone(d.unit, *t);
                        return true;
                    }},
     .words = {.member = "telephones", .numbering = FieldNumbering::ByUnit}},
    {.role = FieldRole::DeviceDate,
     .access = generalText<&DeviceConfig::deviceDate, &ConfigModel::setDeviceDate>(),
     .enabled = clockTyped,
     .look = clockLook,
     .words = {.member = "deviceDate"}},
    {.role = FieldRole::DeviceTime,
     .access = generalText<&DeviceConfig::deviceTime, &ConfigModel::setDeviceTime>(),
     .enabled = clockTyped,
     .look = clockLook,
     .words = {.member = "deviceTime"}},
    {.role = FieldRole::ClockFromPc,
     .access = generalFlag<&DeviceConfig::clockFromPc, &ConfigModel::setClockFromPc>(),
     .words = {.member = "clockFromPc"}},
    {.role = FieldRole::ArmingDelay,
     .access =
         generalNumber<&DeviceConfig::armingDelay, &ConfigModel::setArmingDelay>(EmptyEditor::Zero),
     .words = {.member = "armingDelay"}},
    {.role = FieldRole::DisarmingDelay,
     .access = generalNumber<&DeviceConfig::disarmingDelay, &ConfigModel::setDisarmingDelay>(
         EmptyEditor::Zero),
     .words = {.member = "disarmingDelay"}},
    {.role = FieldRole::ArmingMethod,
     .access = generalChoice<&DeviceConfig::armingMethod, &ConfigModel::setArmingMethod>(),
     .words = {.member = "armingMethod"}},
    {.role = FieldRole::SmsOnArming,
     .access = generalPhone<&DeviceConfig::smsOnArming, &ConfigModel::setSmsOnArming>(),
     .words = {.member = "smsOnArming", .numbering = FieldNumbering::TelephoneBox}},
    {.role = FieldRole::SmsOnDisarming,
     .access = generalPhone<&DeviceConfig::smsOnDisarming, &ConfigModel::setSmsOnDisarming>(),
     .words = {.member = "smsOnDisarming", .numbering = FieldNumbering::TelephoneBox}},
    {.role = FieldRole::SupplyVoltageReport,
     .access =
         generalFlag<&DeviceConfig::supplyVoltageReport, &ConfigModel::setSupplyVoltageReport>(),
     .words = {.member = "supplyVoltageReport"}},
    {.role = FieldRole::SupplyVoltagePhone,
     .access =
         generalPhone<&DeviceConfig::supplyVoltagePhones, &ConfigModel::setSupplyVoltagePhone>(),
     .enabled = voltageReported,
     .words = {.member = "supplyVoltagePhones", .numbering = FieldNumbering::TelephoneBox}},
    {.role = FieldRole::ExternalUps,
     .access = generalFlag<&DeviceConfig::externalUps, &ConfigModel::setExternalUps>(),
     .enabled = voltageReported,
     .words = {.member = "externalUps"}},
    {.role = FieldRole::TimeInSms,
     .access = generalFlag<&DeviceConfig::timeInSms, &ConfigModel::setTimeInSms>(),
     .words = {.member = "timeInSms"}},
    {.role = FieldRole::ArmingBeep,
     .access = generalFlag<&DeviceConfig::armingBeep, &ConfigModel::setArmingBeep>(),
     .words = {.member = "armingBeep"}},
    {.role = FieldRole::AlarmSms,
     .access = generalFlag<&DeviceConfig::alarmSms, &ConfigModel::setAlarmSms>(),
     .words = {.member = "alarmSms"}},
    {.role = FieldRole::AlarmCall,
     .access = generalFlag<&DeviceConfig::alarmCall, &ConfigModel::setAlarmCall>(),
     .words = {.member = "alarmCall"}},
    {.role = FieldRole::StatusSmsOnCall,
     .access = generalFlag<&DeviceConfig::statusSmsOnCall, &ConfigModel::setStatusSmsOnCall>(),
     .words = {.member = "statusSmsOnCall"}},
    {.role = FieldRole::MicAndSpeakerOnCall,
     .access =
         generalFlag<&DeviceConfig::micAndSpeakerOnCall, &ConfigModel::setMicAndSpeakerOnCall>(),
     .words = {.member = "micAndSpeakerOnCall"}},
    {.role = FieldRole::MicrophoneVolume,
     .access = generalNumber<&DeviceConfig::microphoneVolume, &ConfigModel::setMicrophoneVolume>(
         EmptyEditor::Zero),
     .words = {.member = "microphoneVolume"}},
    {.role = FieldRole::SpeakerVolume,
     .access = generalNumber<&DeviceConfig::speakerVolume, &ConfigModel::setSpeakerVolume>(
         EmptyEditor::Zero),
     .words = {.member = "speakerVolume"}},
    {.role = FieldRole::ArmedIndicator,
     .access = generalChoice<&DeviceConfig::armedIndicator, &ConfigModel::setArmedIndicator>(),
     .words = {.member = "armedIndicator"}},
    {.role = FieldRole::ArmingOutputOn,
     .access = generalFlag<&DeviceConfig::armingOutputOn, &ConfigModel::setArmingOutputOn>(),
     .words = {.member = "armingOutputOn"}},
    // The output choices of arming and of button 4 share their tick box's text:
    // their captions end in the word for an output.
    {.role = FieldRole::ArmingOutput,
     .access = generalChoiceChosen<&DeviceConfig::armingOutput, &ConfigModel::setArmingOutput,
                                   &ConfigModel::chooseArmingOutput>(),
     .enabled = armingOutputOn,
     .words = {.member = "armingOutput", .after = "Выход"}},
    {.role = FieldRole::Button4On,
     .access = generalFlag<&DeviceConfig::button4On, &ConfigModel::setButton4On>(),
     .words = {.member = "button4On"}},
    {.role = FieldRole::Button4Output,
     .access = generalChoiceChosen<&DeviceConfig::button4Output, &ConfigModel::setButton4Output,
                                   &ConfigModel::chooseButton4Output>(),
     .enabled = button4On,
     .words = {.member = "button4Output", .after = "Выход"}},
    {.role = FieldRole::Button4Toggle,
     .access = generalFlag<&DeviceConfig::button4Toggle, &ConfigModel::setButton4Toggle>(),
     .enabled = button4On,
     .words = {.member = "button4Toggle"}},
    {.role = FieldRole::Button4Seconds,
     .access = generalNumber<&DeviceConfig::button4Seconds, &ConfigModel::setButton4Seconds>(
         EmptyEditor::Refused),
     .enabled = button4Timed,
     .look = button4SecondsLook,
     .words = {.member = "button4Seconds"}},
    {.role = FieldRole::MessageLanguage,
     .access = generalChoice<&DeviceConfig::messageLanguage, &ConfigModel::setMessageLanguage>(),
     .words = {.member = "messageLanguage"}},
    {.role = FieldRole::SirenOutput,
     .access = generalChoice<&DeviceConfig::sirenOutput, &ConfigModel::setSirenOutput>(),
     .words = {.member = "sirenOutput"}},
    // A zone's entry delay sits with the delays.
    {.role = FieldRole::EntryDelay,
     .access = zoneFlag<&Zone::entryDelay, &ConfigModel::setEntryDelay>(),
     .words = {.member = ".entryDelay",
               .owner = FieldOwner::Zone,
               .heading = "Время задержки: 0-250(c)"}},

    // The zones and their action rows.
    {.role = FieldRole::ZoneActive,
     .access = zoneFlag<&Zone::active, &ConfigModel::setZoneActive>(),
     .look = zoneActiveLook,
     .words = {.member = ".active", .owner = FieldOwner::Zone}},
    {.role = FieldRole::ZoneMessage,
     .access = {
         .text = [](const DeviceConfig& c, const FieldDescription& d) -> const std::string& {
             return c.zone(d.zone()).message;
         },
         .setText =
             [](ConfigModel& m, const FieldDescription& d, const std::string& text) {
                 m.setZoneMessage(d.zone(), text);
                 return true;
             }},
     .enabled = zoneActive,
     .look = zoneFieldLook,
     .words = {.member = ".message", .owner = FieldOwner::Zone}},
    // The type is kept from 1, the list's positions from 0.
    {.role = FieldRole::ZoneInputType,
     .access = {
         .choice = [](const DeviceConfig& c, const FieldDescription& d) -> std::optional<int> {
             const auto t = c.wiredZones.at(at(d.unit)).inputType;
             return t ? std::optional<int>(*t - 1) : std::nullopt;
         },
         .setChoice =
             [](ConfigModel& m, const FieldDescription& d, std::optional<int> position) {
                 m.setZoneInputType(d.unit,
                                    position ? std::optional<int>(*position + 1) : std::nullopt);
             }},
     .enabled = zoneActive,
     .look = zoneFieldLook,
     .words = {.member = ".inputType", .owner = FieldOwner::Zone}},
    {.role = FieldRole::ZoneControl24h,
     .access = zoneFlag<&Zone::control24h, &ConfigModel::setZoneControl24h>(),
     .enabled = zoneActive,
     .words = {.member = ".control24h", .owner = FieldOwner::Zone}},
    {.role = FieldRole::ZoneOutputsEnabled,
     .access = zoneFlag<&Zone::outputsEnabled, &ConfigModel::setZoneOutputsEnabled>(),
     .enabled = zoneActive,
     .words = {.member = ".outputsEnabled", .owner = FieldOwner::Zone}},
    {.role = FieldRole::ZonePhone,
     .access = {
         .flag = [](const DeviceConfig& c,
                    const FieldDescription& d) { return c.zone(d.zone()).phones.at(at(d.sub)); },
         .setFlag = [](ConfigModel& m, const FieldDescription& d,
                       bool on) { m.setZonePhone(d.zone(), d.sub, on); }},
     .enabled = zoneActive,
     .words = {.member = ".phones",
               .owner = FieldOwner::Zone,
               .numbering = FieldNumbering::TelephoneBox}},
    {.role = FieldRole::RowEnabled,
     .access = rowFlag<&ZoneOutputAction::enabled, &ConfigModel::setRowEnabled>(),
     .enabled = outputsArea,
     .words = {.member = ".enabled", .owner = FieldOwner::Zone, .numbering = FieldNumbering::Row}},
    {.role = FieldRole::RowAlwaysOn,
     .access = rowFlag<&ZoneOutputAction::alwaysOn, &ConfigModel::setRowAlwaysOn>(),
     .enabled = rowTicked,
     .words = {.member = ".alwaysOn", .owner = FieldOwner::Zone, .numbering = FieldNumbering::Row}},
    {.role = FieldRole::RowMinutes,
     .access = rowTime<&ZoneOutputAction::minutes, &ConfigModel::setRowMinutes,
                       &ConfigModel::leaveRowMinutes>(),
     .enabled = rowTimed,
     .look = rowTimeLook,
     .words = {.member = ".minutes",
               .owner = FieldOwner::Zone,
               .numbering = FieldNumbering::Row,
               .control = "Минуты"}},
    {.role = FieldRole::RowSeconds,
     .access = rowTime<&ZoneOutputAction::seconds, &ConfigModel::setRowSeconds,
                       &ConfigModel::leaveRowSeconds>(),
     .enabled = rowTimed,
     .look = rowTimeLook,
     .words = {.member = ".seconds",
               .owner = FieldOwner::Zone,
               .numbering = FieldNumbering::Row,
               .control = "Секунды"}},
    {.role = FieldRole::RowOutput,
     .access = {
         .choice = [](const DeviceConfig& c,
                      const FieldDescription& d) { return c.action(d.zone(), d.sub).output; },
         .setChoice = [](ConfigModel& m, const FieldDescription& d,
                         std::optional<int> p) { m.setRowOutput(d.zone(), d.sub, p); },
         .chooseItem = [](ConfigModel& m, const FieldDescription& d,
                          std::optional<int> p) { m.chooseRowOutput(d.zone(), d.sub, p); },
         .leave = [](ConfigModel& m,
                     const FieldDescription& d) { m.leaveRowOutput(d.zone(), d.sub); }},
     .enabled = rowTicked,
     .words = {.member = ".output",
               .owner = FieldOwner::Zone,
               .numbering = FieldNumbering::Row,
               .control = "Выход"}},

    // The temperature sensors.
    {.role = FieldRole::SensorActive,
     .access = sensorFlag<&ThermoSensor::active, &ConfigModel::setSensorActive>(),
     .words = {.member = ".active", .owner = FieldOwner::Sensor}},
    {.role = FieldRole::SensorLowAlarm,
     .access = sensorNumber<&ThermoSensor::lowAlarm, &ConfigModel::setLowAlarm>(),
     .enabled = sensorActive,
     .look = temperatureLook,
     .words = {.member = ".lowAlarm", .owner = FieldOwner::Sensor}},
    {.role = FieldRole::SensorHighAlarm,
     .access = sensorNumber<&ThermoSensor::highAlarm, &ConfigModel::setHighAlarm>(),
     .enabled = sensorActive,
     .look = temperatureLook,
     .words = {.member = ".highAlarm", .owner = FieldOwner::Sensor}},
    {.role = FieldRole::SensorThermostat,
     .access = sensorFlag<&ThermoSensor::thermostat, &ConfigModel::setThermostat>(),
     .enabled = sensorActive,
     .words = {.member = ".thermostat", .owner = FieldOwner::Sensor}},
    {.role = FieldRole::SensorEconomy,
     .access = sensorNumber<&ThermoSensor::economyTemp, &ConfigModel::setEconomyTemp>(),
     .enabled = thermostatOn,
     .look = temperatureLook,
     .words = {.member = ".economyTemp", .owner = FieldOwner::Sensor}},
    {.role = FieldRole::SensorComfort,
     .access = sensorNumber<&ThermoSensor::comfortTemp, &ConfigModel::setComfortTemp>(),
     .enabled = comfortKept,
     .look = temperatureLook,
     .words = {.member = ".comfortTemp", .owner = FieldOwner::Sensor}},
    {.role = FieldRole::SensorAuto,
     .access = sensorFlag<&ThermoSensor::autoAfterDisarm, &ConfigModel::setAutoAfterDisarm>(),
     .enabled = thermostatOn,
     .words = {.member = ".autoAfterDisarm", .owner = FieldOwner::Sensor}},
    {.role = FieldRole::SensorOutput,
     .access = {.choice = [](const DeviceConfig& c,
                             const FieldDescription& d) { return c.sensor(d.sensor()).output; },
                .setChoice = [](ConfigModel& m, const FieldDescription& d,
                                std::optional<int> p) { m.setSensorOutput(d.sensor(), p); },
                .chooseItem = [](ConfigModel& m, const FieldDescription& d,
                                 std::optional<int> p) { m.chooseSensorOutput(d.sensor(), p); }},
     .enabled = thermostatOn,
     .words = {.member = ".output", .owner = FieldOwner::Sensor}},
    {.role = FieldRole::SensorPhone,
     .access = {.flag =
                    [](const DeviceConfig& c, const FieldDescription& d) {
                        return c.sensor(d.sensor()).phones.at(at(d.sub));
                    },
                .setFlag = [](ConfigModel& m, const FieldDescription& d,
                              bool on) { m.setSensorPhone(d.sensor(), d.sub, on); }},
     .enabled = sensorActive,
     .words = {.member = ".phones",
               .owner = FieldOwner::Sensor,
               .numbering = FieldNumbering::TelephoneBox}},
    {.role = FieldRole::SensorName,
     .access = unitText<&DeviceConfig::wirelessThermoSensors, &WirelessThermoSensor::name,
                        &ConfigModel::setSensorName>(),
     .enabled = sensorActive,
     .words = {.member = ".name", .owner = FieldOwner::Sensor}},
    {.role = FieldRole::SensorCode,
     .access = unitText<&DeviceConfig::wirelessThermoSensors, &WirelessThermoSensor::code,
                        &ConfigModel::setSensorCode>(),
     .words = {.member = ".code", .owner = FieldOwner::Sensor}},

    // The wireless outputs and the remote controls.
    {.role = FieldRole::OutputUsed,
     .access = {
         .flag = [](const DeviceConfig& c,
                    const FieldDescription& d) { return c.wirelessOutputs.at(at(d.unit)).used; },
         .setFlag = [](ConfigModel& m, const FieldDescription& d,
                       bool on) { m.setOutputUsed(d.unit, on); }},
     .words = {.member = ".used", .owner = FieldOwner::WirelessOutput}},
    {.role = FieldRole::OutputType,
     .access = {
         .choice = [](const DeviceConfig& c, const FieldDescription& d) -> std::optional<int> {
             return c.wirelessOutputs.at(at(d.unit)).type;
         },
         .setChoice = [](ConfigModel& m, const FieldDescription& d,
                         std::optional<int> p) { m.setOutputType(d.unit, p.value_or(-1)); },
         .chooseItem = [](ConfigModel& m, const FieldDescription& d,
                          std::optional<int> p) { m.chooseOutputType(d.unit, p.value_or(-1)); }},
     .enabled = outputUsed,
     .words = {.member = ".type", .owner = FieldOwner::WirelessOutput}},
    {.role = FieldRole::OutputName,
     .access =
         withLeave(unitText<&DeviceConfig::wirelessOutputs, &WirelessOutput::name,
                            &ConfigModel::setOutputName>(),
                   [](ConfigModel& m, const FieldDescription& d) { m.leaveOutputName(d.unit); }),
     .enabled = outputUsed,
     .words = {.member = ".name", .owner = FieldOwner::WirelessOutput}},
    {.role = FieldRole::OutputCode,
     .access = unitText<&DeviceConfig::wirelessOutputs, &WirelessOutput::code,
                        &ConfigModel::setOutputCode>(),
     .enabled = outputUsed,
     .words = {.member = ".code", .owner = FieldOwner::WirelessOutput}},
    {.role = FieldRole::RemoteName,
     .access = unitText<&DeviceConfig::remoteControls, &RemoteControl::name,
                        &ConfigModel::setRemoteName>(),
     .words = {.member = ".name", .owner = FieldOwner::RemoteControl, .unitWord = "Пульт"}},
    {.role = FieldRole::RemoteCode,
     .access = unitText<&DeviceConfig::remoteControls, &RemoteControl::code,
                        &ConfigModel::setRemoteCode>(),
     .words = {.member = ".code", .owner = FieldOwner::RemoteControl, .unitWord = "Пульт"}},
}};

constexpr bool everyRoleInItsPlace() {
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (static_cast<std::size_t>(rows[i].role) != i)
            return false;
    return true;
}
static_assert(everyRoleInItsPlace(), "one row per role, in the order of FieldRole");

// The lists of the owners, wired and wireless.
struct OwnerList {
    const char* wired;
    const char* wireless;
};
constexpr std::array<OwnerList, 5> owners = {{
    {"", ""},
    {"wiredZones", "wirelessZones"},
    {"thermoSensors", "wirelessThermoSensors"},
    {"wirelessOutputs", "wirelessOutputs"},
    {"remoteControls", "remoteControls"},
}};
static_assert(owners.size() == static_cast<std::size_t>(FieldOwner::RemoteControl) + 1);

std::string indexed(const std::string& member, int n) {
    return member + "[" + std::to_string(n) + "]";
}

} // namespace

const FieldRoleRow& fieldRole(FieldRole role) {
    return rows.at(static_cast<std::size_t>(role));
}

std::string fieldMemberName(const FieldDescription& d) {
    const FieldWords& w = fieldRole(d.role).words;
    std::string name;
    if (w.owner != FieldOwner::General) {
        const OwnerList& list = owners[static_cast<std::size_t>(w.owner)];
        name = indexed(d.wireless ? list.wireless : list.wired, d.unit);
    }
    if (w.numbering == FieldNumbering::Row)
        name = indexed(name + ".actions", d.sub);
    name += w.member;
    if (w.numbering == FieldNumbering::ByUnit)
        name = indexed(name, d.unit);
    else if (w.numbering == FieldNumbering::TelephoneBox)
        name = indexed(name, d.sub);
    return name;
}

} // namespace t6
