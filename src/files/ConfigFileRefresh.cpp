#include "config/ConfigModel.h"
#include "files/ConfigFile.h"

namespace t6 {

std::string configSectionTag(int section) {
    std::string tag = section < 10 ? "#0" : "#";
    tag += std::to_string(section);
    return tag;
}

// After a load the reactions of these boxes run once more with their current
// state, in this order: the activation of wired zones 1 and 2, the activation
// of temperature sensor 1, the use of outputs by wired zones 1 and 2, the
// temperature keeping of sensor 1.
void refreshAfterLoad(ConfigModel& model) {
    const DeviceConfig& c = model.config();
    // The outputs-area rule runs whenever the hidden outputs box changes; set
    // off and on again it runs once with the box on.
    auto outputsArea = [&model, &c](ZoneRef z) {
        if (!c.zone(z).outputsEnabled)
            return;
        model.setZoneOutputsEnabled(z, false);
        model.setZoneOutputsEnabled(z, true);
    };
    const ZoneRef refreshed[] = {wiredZone(1), wiredZone(2)};
    for (const ZoneRef z : refreshed) {
        if (!c.zone(z).active) {
            model.setZoneOutputsEnabled(z, false);
            continue;
        }
        if (!c.wiredZones[static_cast<std::size_t>(z.number - 1)].inputType)
            model.setZoneInputType(z.number, HighLevel);
        if (c.zone(z).outputsEnabled)
            outputsArea(z);
        else
            model.setZoneOutputsEnabled(z, true);
    }
    // The activation of sensor 1 only decides what can be edited, which the
    // window takes from the model.
    for (const ZoneRef z : refreshed)
        outputsArea(z);
    const SensorRef s = wiredSensor(1);
    if (c.sensor(s).thermostat)
        model.chooseSensorOutput(s, c.sensor(s).output); // its output check
    else
        model.setAutoAfterDisarm(s, false);
}

} // namespace t6
