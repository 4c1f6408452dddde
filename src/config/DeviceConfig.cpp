#include "config/DeviceConfig.h"

#include <stdexcept>

#include "common/Cp1251.h"

namespace t6 {

DeviceConfig::DeviceConfig() {
    telephones.fill("+7");
    auto defaultRows = [](Zone& z) {
        for (std::size_t r = 0; r < z.actions.size(); ++r)
            z.actions[r].output = static_cast<int>(r);
    };
    for (auto& z : wiredZones)
        defaultRows(z);
    for (auto& z : wirelessZones)
        defaultRows(z);
    // Only wireless sensor 1 starts with telephone 1 ticked.
    for (std::size_t s = 1; s < wirelessThermoSensors.size(); ++s)
        wirelessThermoSensors[s].phones = {};
    for (std::size_t k = 0; k < remoteControls.size(); ++k)
        remoteControls[k].name = ru("Пульт ") + std::to_string(k + 1);
}

Zone& DeviceConfig::zone(ZoneRef z) {
    if (z.wireless)
        return wirelessZones.at(static_cast<std::size_t>(z.number - 1));
    return wiredZones.at(static_cast<std::size_t>(z.number - 1));
}

const Zone& DeviceConfig::zone(ZoneRef z) const {
    return const_cast<DeviceConfig*>(this)->zone(z);
}

ThermoSensor& DeviceConfig::sensor(SensorRef s) {
    if (s.wireless)
        return wirelessThermoSensors.at(static_cast<std::size_t>(s.number - 1));
    return thermoSensors.at(static_cast<std::size_t>(s.number - 1));
}

const ThermoSensor& DeviceConfig::sensor(SensorRef s) const {
    return const_cast<DeviceConfig*>(this)->sensor(s);
}

} // namespace t6
