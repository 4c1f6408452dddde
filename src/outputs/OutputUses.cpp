#include "outputs/OutputUses.h"

#include "common/Cp1251.h"
#include "outputs/OutputChoiceField.h"

namespace t6 {

namespace {

bool zoneSelects(const ZoneUse& zone, int position) {
    for (const auto& r : zone)
        if (r.ticked && r.output == position)
            return true;
    return false;
}

bool sensorSelects(const SensorUse& s, int position) {
    return s.active && s.thermostat && s.output == position;
}

} // namespace

std::string armingUsers(const OutputUses& uses, int position) {
    static const std::string lineBreak = "\r\n";
    std::string text;
    for (int z = 0; z < WiredZoneCount; ++z)
        if (zoneSelects(uses.wiredZones[z], position))
            text += outputUserWord(OutputUser::WiredZone, z + 1) + lineBreak;
    for (int s = 0; s < WiredSensorCount; ++s)
        if (sensorSelects(uses.wiredSensors[s], position))
            text += outputUserWord(OutputUser::WiredSensor, s + 1) + lineBreak;
    for (int s = 0; s < WirelessSensorCount; ++s)
        if (sensorSelects(uses.wirelessSensors[s], position))
            text += outputUserWord(OutputUser::WirelessSensor, s + 1) + lineBreak;
    if (uses.button4On && uses.button4Output == position)
        text += outputUserWord(OutputUser::Button4, 0) + lineBreak;
    for (int z = 0; z < WirelessZoneCount; ++z)
        if (zoneSelects(uses.wirelessZones[z], position))
            text += outputUserWord(OutputUser::WirelessZone, z + 1) + lineBreak;
    return text;
}

std::string armingRefusalMessage(const std::string& users) {
    return ru("Выход используется: \r\n") + users + "\r\n" + ru("Выбор запрещен");
}

bool collidesWithArming(std::optional<int> choice, std::optional<int> armingOutput,
                        bool armingInUse) {
    return armingInUse && choice.has_value() && choice == armingOutput;
}

std::string usedAtArmingMessage(const std::string& choiceText) {
    return ru("Устройство ") + choiceText + ru(" используется при постановке на охрану. ") +
           "\r\n" + ru(" Выберете другое устройство.");
}

bool repeatsOutputInZone(const ZoneUse& zone, int row) {
    auto value = [](std::optional<int> p) { return p && *p >= 0 ? *p + 1 : 0; };
    const int v = value(zone[static_cast<std::size_t>(row)].output);
    if (v > 31)
        return false;
    for (int r = 0; r < ZoneActionCount; ++r) {
        if (r == row)
            continue;
        const auto& other = zone[static_cast<std::size_t>(r)];
        if ((other.ticked ? value(other.output) : 0) == v)
            return true;
    }
    return false;
}

std::string sameOutputMessage() {
    return ru("Нельзя использовать одинаковые выходы на одном входе");
}

bool keepsRowAfterSameOutput(bool wireless, int zone) {
    return !wireless && zone == 2;
}

bool resetsTimeOnUntick(bool wireless, int zone, int row) {
    return row == 4 && (wireless || zone != 3);
}

bool focusesChoiceOnTick(bool wireless, int zone) {
    return wireless || zone == 1;
}

} // namespace t6
