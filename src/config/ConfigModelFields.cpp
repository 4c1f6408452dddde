// Field access through the descriptions: every generic read goes to the member
// the description names, every generic write to the named method of the model
// that carries the field's rule.

#include <stdexcept>

#include "common/TextNumbers.h"
#include "config/ConfigModel.h"

namespace t6 {

namespace {

[[noreturn]] void wrongKind(const FieldDescription& d, const char* what) {
    throw std::logic_error(d.controlName + " is not " + what);
}

std::size_t at(int n) {
    return static_cast<std::size_t>(n - 1);
}

} // namespace

bool ConfigModel::flag(FieldId id) const {
    const FieldDescription& d = fieldDescription(id);
    switch (d.role) {
    case FieldRole::ClockFromPc:
        return c_.clockFromPc;
    case FieldRole::SmsOnArming:
        return c_.smsOnArming.at(at(d.sub));
    case FieldRole::SmsOnDisarming:
        return c_.smsOnDisarming.at(at(d.sub));
    case FieldRole::SupplyVoltageReport:
        return c_.supplyVoltageReport;
    case FieldRole::SupplyVoltagePhone:
        return c_.supplyVoltagePhones.at(at(d.sub));
    case FieldRole::ExternalUps:
        return c_.externalUps;
    case FieldRole::TimeInSms:
        return c_.timeInSms;
    case FieldRole::ArmingBeep:
        return c_.armingBeep;
    case FieldRole::AlarmSms:
        return c_.alarmSms;
    case FieldRole::AlarmCall:
        return c_.alarmCall;
    case FieldRole::StatusSmsOnCall:
        return c_.statusSmsOnCall;
    case FieldRole::MicAndSpeakerOnCall:
        return c_.micAndSpeakerOnCall;
    case FieldRole::ArmingOutputOn:
        return c_.armingOutputOn;
    case FieldRole::Button4On:
        return c_.button4On;
    case FieldRole::Button4Toggle:
        return c_.button4Toggle;
    case FieldRole::EntryDelay:
        return c_.zone(d.zone()).entryDelay;
    case FieldRole::ZoneActive:
        return c_.zone(d.zone()).active;
    case FieldRole::ZoneControl24h:
        return c_.zone(d.zone()).control24h;
    case FieldRole::ZoneOutputsEnabled:
        return c_.zone(d.zone()).outputsEnabled;
    case FieldRole::ZonePhone:
        return c_.zone(d.zone()).phones.at(at(d.sub));
    case FieldRole::RowEnabled:
        return c_.action(d.zone(), d.sub).enabled;
    case FieldRole::RowAlwaysOn:
        return c_.action(d.zone(), d.sub).alwaysOn;
    case FieldRole::SensorActive:
        return c_.sensor(d.sensor()).active;
    case FieldRole::SensorThermostat:
        return c_.sensor(d.sensor()).thermostat;
    case FieldRole::SensorAuto:
        return c_.sensor(d.sensor()).autoAfterDisarm;
    case FieldRole::SensorPhone:
        return c_.sensor(d.sensor()).phones.at(at(d.sub));
    case FieldRole::OutputUsed:
        return c_.wirelessOutputs.at(at(d.unit)).used;
    default:
        wrongKind(d, "a tick box");
    }
}

int ConfigModel::number(FieldId id) const {
    const FieldDescription& d = fieldDescription(id);
    switch (d.role) {
    case FieldRole::ArmingDelay:
        return c_.armingDelay;
    case FieldRole::DisarmingDelay:
        return c_.disarmingDelay;
    case FieldRole::MicrophoneVolume:
        return c_.microphoneVolume;
    case FieldRole::SpeakerVolume:
        return c_.speakerVolume;
    case FieldRole::Button4Seconds:
        return c_.button4Seconds;
    case FieldRole::RowMinutes:
        return c_.action(d.zone(), d.sub).minutes;
    case FieldRole::RowSeconds:
        return c_.action(d.zone(), d.sub).seconds;
    case FieldRole::SensorLowAlarm:
        return c_.sensor(d.sensor()).lowAlarm;
    case FieldRole::SensorHighAlarm:
        return c_.sensor(d.sensor()).highAlarm;
    case FieldRole::SensorEconomy:
        return c_.sensor(d.sensor()).economyTemp;
    case FieldRole::SensorComfort:
        return c_.sensor(d.sensor()).comfortTemp;
    default:
        wrongKind(d, "a number");
    }
}

std::string ConfigModel::text(FieldId id) const {
    const FieldDescription& d = fieldDescription(id);
    if (d.kind == FieldKind::Spin)
        return emptyEditors_.count(id) ? std::string() : std::to_string(number(id));
    switch (d.role) {
    case FieldRole::Telephone:
        return c_.telephones.at(at(d.unit));
    case FieldRole::DeviceDate:
        return c_.deviceDate;
    case FieldRole::DeviceTime:
        return c_.deviceTime;
    case FieldRole::ZoneMessage:
        return c_.zone(d.zone()).message;
    case FieldRole::SensorName:
        return c_.wirelessThermoSensors.at(at(d.unit)).name;
    case FieldRole::SensorCode:
        return c_.wirelessThermoSensors.at(at(d.unit)).code;
    case FieldRole::OutputName:
        return c_.wirelessOutputs.at(at(d.unit)).name;
    case FieldRole::OutputCode:
        return c_.wirelessOutputs.at(at(d.unit)).code;
    case FieldRole::RemoteName:
        return c_.remoteControls.at(at(d.unit)).name;
    case FieldRole::RemoteCode:
        return c_.remoteControls.at(at(d.unit)).code;
    default:
        wrongKind(d, "a text");
    }
}

std::optional<int> ConfigModel::choice(FieldId id) const {
    const FieldDescription& d = fieldDescription(id);
    switch (d.role) {
    case FieldRole::ArmingMethod:
        return c_.armingMethod;
    case FieldRole::ArmedIndicator:
        return c_.armedIndicator;
    case FieldRole::MessageLanguage:
        return c_.messageLanguage;
    case FieldRole::SirenOutput:
        return c_.sirenOutput;
    case FieldRole::ArmingOutput:
        return c_.armingOutput;
    case FieldRole::Button4Output:
        return c_.button4Output;
    case FieldRole::ZoneInputType: {
        auto t = c_.wiredZones.at(at(d.unit)).inputType;
        return t ? std::optional<int>(*t - 1) : std::nullopt;
    }
    case FieldRole::RowOutput:
        return c_.action(d.zone(), d.sub).output;
    case FieldRole::SensorOutput:
        return c_.sensor(d.sensor()).output;
    case FieldRole::OutputType:
        return c_.wirelessOutputs.at(at(d.unit)).type;
    default:
        wrongKind(d, "a choice");
    }
}

std::vector<std::string> ConfigModel::items(FieldId id) const {
    const FieldDescription& d = fieldDescription(id);
    if (d.outputChoice)
        return registry_.shownItems();
    return d.items;
}

void ConfigModel::setFlag(FieldId id, bool on) {
    const FieldDescription& d = fieldDescription(id);
    switch (d.role) {
    case FieldRole::ClockFromPc:
        return setClockFromPc(on);
    case FieldRole::SmsOnArming:
        return setSmsOnArming(d.sub, on);
    case FieldRole::SmsOnDisarming:
        return setSmsOnDisarming(d.sub, on);
    case FieldRole::SupplyVoltageReport:
        return setSupplyVoltageReport(on);
    case FieldRole::SupplyVoltagePhone:
        return setSupplyVoltagePhone(d.sub, on);
    case FieldRole::ExternalUps:
        return setExternalUps(on);
    case FieldRole::TimeInSms:
        return setTimeInSms(on);
    case FieldRole::ArmingBeep:
        return setArmingBeep(on);
    case FieldRole::AlarmSms:
        return setAlarmSms(on);
    case FieldRole::AlarmCall:
        return setAlarmCall(on);
    case FieldRole::StatusSmsOnCall:
        return setStatusSmsOnCall(on);
    case FieldRole::MicAndSpeakerOnCall:
        return setMicAndSpeakerOnCall(on);
    case FieldRole::ArmingOutputOn:
        return setArmingOutputOn(on);
    case FieldRole::Button4On:
        return setButton4On(on);
    case FieldRole::Button4Toggle:
        return setButton4Toggle(on);
    case FieldRole::EntryDelay:
        return setEntryDelay(d.zone(), on);
    case FieldRole::ZoneActive:
        return setZoneActive(d.zone(), on);
    case FieldRole::ZoneControl24h:
        return setZoneControl24h(d.zone(), on);
    case FieldRole::ZoneOutputsEnabled:
        return setZoneOutputsEnabled(d.zone(), on);
    case FieldRole::ZonePhone:
        return setZonePhone(d.zone(), d.sub, on);
    case FieldRole::RowEnabled:
        return setRowEnabled(d.zone(), d.sub, on);
    case FieldRole::RowAlwaysOn:
        return setRowAlwaysOn(d.zone(), d.sub, on);
    case FieldRole::SensorActive:
        return setSensorActive(d.sensor(), on);
    case FieldRole::SensorThermostat:
        return setThermostat(d.sensor(), on);
    case FieldRole::SensorAuto:
        return setAutoAfterDisarm(d.sensor(), on);
    case FieldRole::SensorPhone:
        return setSensorPhone(d.sensor(), d.sub, on);
    case FieldRole::OutputUsed:
        return setOutputUsed(d.unit, on);
    default:
        wrongKind(d, "a tick box");
    }
}

void ConfigModel::setNumber(FieldId id, int value) {
    const FieldDescription& d = fieldDescription(id);
    switch (d.role) {
    case FieldRole::ArmingDelay:
        return setArmingDelay(value);
    case FieldRole::DisarmingDelay:
        return setDisarmingDelay(value);
    case FieldRole::MicrophoneVolume:
        return setMicrophoneVolume(value);
    case FieldRole::SpeakerVolume:
        return setSpeakerVolume(value);
    case FieldRole::Button4Seconds:
        return setButton4Seconds(value);
    case FieldRole::RowMinutes:
        return setRowMinutes(d.zone(), d.sub, value);
    case FieldRole::RowSeconds:
        return setRowSeconds(d.zone(), d.sub, value);
    case FieldRole::SensorLowAlarm:
        return setLowAlarm(d.sensor(), value);
    case FieldRole::SensorHighAlarm:
        return setHighAlarm(d.sensor(), value);
    case FieldRole::SensorEconomy:
        return setEconomyTemp(d.sensor(), value);
    case FieldRole::SensorComfort:
        return setComfortTemp(d.sensor(), value);
    default:
        wrongKind(d, "a number");
    }
}

bool ConfigModel::setText(FieldId id, const std::string& text) {
    const FieldDescription& d = fieldDescription(id);
    if (d.kind == FieldKind::Spin) {
        Batch batch(*this);
        if (text.empty()) {
            switch (d.role) {
            case FieldRole::ArmingDelay:
            case FieldRole::DisarmingDelay:
            case FieldRole::MicrophoneVolume:
            case FieldRole::SpeakerVolume:
                // These editors never stay empty: they show 0 at once.
                setNumber(id, 0);
                return true;
            case FieldRole::RowMinutes:
            case FieldRole::RowSeconds:
                // Empty until the editor is left; it counts as 0 meanwhile.
                setNumber(id, 0);
                emptyEditors_.insert(id);
                return true;
            default:
                touch(id);
                return false;
            }
        }
        auto v = parseInteger(text);
        // A number outside the editor's range would reach the device as some
        // other byte: it is refused as a text that is no number is.
        if (!v || *v < d.minimum || *v > d.maximum) {
            touch(id);
            return false;
        }
        setNumber(id, *v);
        return true;
    }
    switch (d.role) {
    case FieldRole::Telephone: {
        // The user's text: tidied as a paste is, then the telephone rules.
        const auto t = userTelephone(text, c_.telephones.at(static_cast<std::size_t>(d.unit - 1)));
        if (!t) {
            touch(id);
            return false;
        }
        setTelephone(d.unit, *t);
        return true;
    }
    case FieldRole::DeviceDate:
        setDeviceDate(text);
        return true;
    case FieldRole::DeviceTime:
        setDeviceTime(text);
        return true;
    case FieldRole::ZoneMessage:
        setZoneMessage(d.zone(), text);
        return true;
    case FieldRole::SensorName:
        setSensorName(d.unit, text);
        return true;
    case FieldRole::SensorCode:
        setSensorCode(d.unit, text);
        return true;
    case FieldRole::OutputName:
        setOutputName(d.unit, text);
        return true;
    case FieldRole::OutputCode:
        setOutputCode(d.unit, text);
        return true;
    case FieldRole::RemoteName:
        setRemoteName(d.unit, text);
        return true;
    case FieldRole::RemoteCode:
        setRemoteCode(d.unit, text);
        return true;
    default:
        wrongKind(d, "a text");
    }
}

void ConfigModel::setChoice(FieldId id, std::optional<int> position) {
    const FieldDescription& d = fieldDescription(id);
    switch (d.role) {
    case FieldRole::ArmingMethod:
        return setArmingMethod(position);
    case FieldRole::ArmedIndicator:
        return setArmedIndicator(position);
    case FieldRole::MessageLanguage:
        return setMessageLanguage(position);
    case FieldRole::SirenOutput:
        return setSirenOutput(position);
    case FieldRole::ArmingOutput:
        return setArmingOutput(position);
    case FieldRole::Button4Output:
        return setButton4Output(position);
    case FieldRole::ZoneInputType:
        return setZoneInputType(d.unit,
                                position ? std::optional<int>(*position + 1) : std::nullopt);
    case FieldRole::RowOutput:
        return setRowOutput(d.zone(), d.sub, position);
    case FieldRole::SensorOutput:
        return setSensorOutput(d.sensor(), position);
    case FieldRole::OutputType:
        return setOutputType(d.unit, position.value_or(-1));
    default:
        wrongKind(d, "a choice");
    }
}

void ConfigModel::chooseItem(FieldId id, std::optional<int> position) {
    const FieldDescription& d = fieldDescription(id);
    switch (d.role) {
    case FieldRole::ArmingOutput:
        return chooseArmingOutput(position);
    case FieldRole::Button4Output:
        return chooseButton4Output(position);
    case FieldRole::RowOutput:
        return chooseRowOutput(d.zone(), d.sub, position);
    case FieldRole::SensorOutput:
        return chooseSensorOutput(d.sensor(), position);
    case FieldRole::OutputType:
        return chooseOutputType(d.unit, position.value_or(-1));
    default:
        return setChoice(id, position);
    }
}

void ConfigModel::leaveField(FieldId id) {
    const FieldDescription& d = fieldDescription(id);
    switch (d.role) {
    case FieldRole::RowMinutes:
        return leaveRowMinutes(d.zone(), d.sub);
    case FieldRole::RowSeconds:
        return leaveRowSeconds(d.zone(), d.sub);
    case FieldRole::RowOutput:
        return leaveRowOutput(d.zone(), d.sub);
    case FieldRole::OutputName:
        return leaveOutputName(d.unit);
    default:
        return;
    }
}

// ---- Enabled states and looks ----

bool ConfigModel::isEnabled(FieldId id) const {
    const FieldDescription& d = fieldDescription(id);
    switch (d.role) {
    case FieldRole::DeviceDate:
    case FieldRole::DeviceTime:
        return !c_.clockFromPc;
    case FieldRole::SupplyVoltagePhone:
    case FieldRole::ExternalUps:
        return c_.supplyVoltageReport;
    case FieldRole::ArmingOutput:
        return c_.armingOutputOn;
    case FieldRole::Button4Output:
    case FieldRole::Button4Toggle:
        return c_.button4On;
    case FieldRole::Button4Seconds:
        return c_.button4On && !c_.button4Toggle;
    case FieldRole::ZoneMessage:
    case FieldRole::ZoneInputType:
    case FieldRole::ZoneControl24h:
    case FieldRole::ZoneOutputsEnabled:
    case FieldRole::ZonePhone:
        return c_.zone(d.zone()).active;
    case FieldRole::RowEnabled:
        return c_.zone(d.zone()).outputsEnabled;
    case FieldRole::RowAlwaysOn:
    case FieldRole::RowOutput:
        return c_.zone(d.zone()).outputsEnabled && c_.action(d.zone(), d.sub).enabled;
    case FieldRole::RowMinutes:
    case FieldRole::RowSeconds: {
        const auto& a = c_.action(d.zone(), d.sub);
        return c_.zone(d.zone()).outputsEnabled && a.enabled && !a.alwaysOn;
    }
    case FieldRole::SensorLowAlarm:
    case FieldRole::SensorHighAlarm:
    case FieldRole::SensorThermostat:
    case FieldRole::SensorPhone:
    case FieldRole::SensorName:
        return c_.sensor(d.sensor()).active;
    case FieldRole::SensorEconomy:
    case FieldRole::SensorAuto:
    case FieldRole::SensorOutput: {
        const auto& s = c_.sensor(d.sensor());
        return s.active && s.thermostat;
    }
    case FieldRole::SensorComfort: {
        const auto& s = c_.sensor(d.sensor());
        return s.active && s.thermostat && s.autoAfterDisarm;
    }
    case FieldRole::OutputName:
    case FieldRole::OutputType:
    case FieldRole::OutputCode:
        return c_.wirelessOutputs.at(at(d.unit)).used;
    default:
        return true;
    }
}

Look ConfigModel::look(FieldId id) const {
    const FieldDescription& d = fieldDescription(id);
    switch (d.role) {
    case FieldRole::DeviceDate:
    case FieldRole::DeviceTime:
        return c_.clockFromPc ? Look::InfoBackground : Look::Window;
    case FieldRole::Button4Seconds:
        return c_.button4Toggle ? Look::Grey : Look::Window;
    case FieldRole::ZoneActive:
        return c_.zone(d.zone()).active ? Look::TextGreen : Look::TextRed;
    case FieldRole::ZoneMessage:
    case FieldRole::ZoneInputType:
        return c_.zone(d.zone()).active ? Look::Window : Look::ActiveBorder;
    case FieldRole::RowMinutes:
    case FieldRole::RowSeconds:
        // The row's tick decides the colour; "always on" only disables the editors.
        return c_.action(d.zone(), d.sub).enabled ? Look::Window : Look::ActiveBorder;
    case FieldRole::SensorLowAlarm:
    case FieldRole::SensorHighAlarm:
    case FieldRole::SensorEconomy:
    case FieldRole::SensorComfort:
        return isEnabled(id) ? Look::Window : Look::InactiveBorder;
    default:
        return Look::Plain;
    }
}

Look ConfigModel::zonePanelLook(ZoneRef z) const {
    return c_.zone(z).active ? Look::ActiveGreen : Look::InactiveGrey;
}

bool ConfigModel::actionAreaEnabled(ZoneRef z) const {
    return c_.zone(z).outputsEnabled;
}

Look ConfigModel::actionAreaLook(ZoneRef z) const {
    return c_.zone(z).outputsEnabled ? Look::ActiveGreen : Look::InactiveGrey;
}

bool ConfigModel::sensorsButtonEnabled(int n) const {
    return c_.zone(wirelessZone(n)).active;
}

Look ConfigModel::sensorPanelLook(SensorRef s) const {
    return c_.sensor(s).active ? Look::ActiveGreen : Look::InactiveGrey;
}

bool ConfigModel::sensorReadButtonEnabled(int n) const {
    return c_.sensor(wirelessSensor(n)).active;
}

bool ConfigModel::outputPanelEnabled(int n) const {
    return c_.wirelessOutputs.at(at(n)).used;
}

Look ConfigModel::outputPanelLook(int n) const {
    return outputPanelEnabled(n) ? Look::ButtonFace : Look::Grey;
}

bool ConfigModel::attachButtonEnabled(int n) const {
    // The attach button sits inside the output's panel.
    return outputPanelEnabled(n) && attachEnabled_.at(at(n));
}

bool ConfigModel::testButtonsEnabled(int n) const {
    return testEnabled_.at(at(n));
}

} // namespace t6
