// The model's wired and wireless temperature sensors.

#include "config/ConfigModel.h"

#include "config/ConfigModelHelpers.h"

namespace t6 {

using namespace model_detail;

// ---- Temperature sensors ----

void ConfigModel::setSensorActive(SensorRef s, bool on) {
    Batch batch(*this);
    put(c_.sensor(s).active, on, sensorField(FieldRole::SensorActive, s));
    stateChanged_ = true;
}

// None of the four temperatures may be 0: a 0 becomes 1 at once.
void ConfigModel::temperature(int& slot, int celsius, FieldId id) {
    Batch batch(*this);
    put(slot, celsius == 0 ? 1 : celsius, id);
}

void ConfigModel::setLowAlarm(SensorRef s, int celsius) {
    temperature(c_.sensor(s).lowAlarm, celsius, sensorField(FieldRole::SensorLowAlarm, s));
}
void ConfigModel::setHighAlarm(SensorRef s, int celsius) {
    temperature(c_.sensor(s).highAlarm, celsius, sensorField(FieldRole::SensorHighAlarm, s));
}
void ConfigModel::setEconomyTemp(SensorRef s, int celsius) {
    temperature(c_.sensor(s).economyTemp, celsius, sensorField(FieldRole::SensorEconomy, s));
}
void ConfigModel::setComfortTemp(SensorRef s, int celsius) {
    temperature(c_.sensor(s).comfortTemp, celsius, sensorField(FieldRole::SensorComfort, s));
}

// Keeping the temperature switched off also ends the automatic regulation;
// switched on, a wired sensor's output may not be the arming output.
void ConfigModel::setThermostat(SensorRef s, bool on) {
    Batch batch(*this);
    ThermoSensor& sensor = c_.sensor(s);
    const bool changed = sensor.thermostat != on;
    put(sensor.thermostat, on, sensorField(FieldRole::SensorThermostat, s));
    stateChanged_ = true;
    if (!changed)
        return;
    if (on) {
        if (!s.wireless)
            sensorCheck(s);
    } else {
        setAutoAfterDisarm(s, false);
    }
}

void ConfigModel::setAutoAfterDisarm(SensorRef s, bool on) {
    setPlainFlag(c_.sensor(s).autoAfterDisarm, on, sensorField(FieldRole::SensorAuto, s));
}

void ConfigModel::setSensorOutput(SensorRef s, std::optional<int> position) {
    Batch batch(*this);
    put(c_.sensor(s).output, position, sensorField(FieldRole::SensorOutput, s));
}

void ConfigModel::chooseSensorOutput(SensorRef s, std::optional<int> position) {
    Batch batch(*this);
    setSensorOutput(s, position);
    sensorCheck(s);
}

// A sensor's output may not be the arming output while that is in use.
void ConfigModel::sensorCheck(SensorRef s) {
    ThermoSensor& sensor = c_.sensor(s);
    if (!collidesWithArming(sensor.output, c_.armingOutput, c_.armingOutputOn))
        return;
    prompts_.message(usedAtArmingMessage(shownChoiceText(sensor.output)));
    put(sensor.output, std::optional<int>(), sensorField(FieldRole::SensorOutput, s));
}

void ConfigModel::setSensorPhone(SensorRef s, int phone, bool on) {
    // Only the wireless sensors' telephone boxes ask whether the telephone is entered.
    setPhoneFlag(c_.sensor(s).phones, phone, on, sensorField(FieldRole::SensorPhone, s, phone),
                 s.wireless);
}

void ConfigModel::setSensorName(int n, const std::string& name) {
    Batch batch(*this);
    put(c_.wirelessThermoSensors.at(static_cast<std::size_t>(n - 1)).name, name,
        sensorField(FieldRole::SensorName, wirelessSensor(n)));
}

void ConfigModel::setSensorCode(int n, const std::string& code) {
    Batch batch(*this);
    put(c_.wirelessThermoSensors.at(static_cast<std::size_t>(n - 1)).code, code,
        sensorField(FieldRole::SensorCode, wirelessSensor(n)));
}

} // namespace t6
