#include "config/PhoneMask.h"

#include "config/FieldEncodings.h"

namespace t6 {

PhoneMask phoneMaskOf(const PhoneFlags& phones) {
    PhoneMask m = 0;
    for (std::size_t t = 0; t < phones.size(); ++t)
        if (phones[t])
            m = static_cast<PhoneMask>(m | (1u << t));
    return m;
}

PhoneFlags phonesOfMask(PhoneMask mask) {
    PhoneFlags p{};
    for (std::size_t t = 0; t < p.size(); ++t)
        p[t] = (mask >> t) & 1u;
    return p;
}

namespace {

// The number after a prefix, when the name is exactly prefix + one digit 1..max.
int groupNumber(std::string_view group, std::string_view prefix, int max) {
    if (group.size() != prefix.size() + 1 || group.substr(0, prefix.size()) != prefix)
        return 0;
    int n = group.back() - '0';
    return n >= 1 && n <= max ? n : 0;
}

} // namespace

std::string tel_parameters_all(const DeviceConfig& c, std::string_view group,
                               ModelContext context) {
    const PhoneFlags* phones = nullptr;
    const ThermoSensor* sensor = nullptr;
    if (int n = groupNumber(group, "inp_", WiredZoneCount))
        phones = &c.wiredZones[static_cast<std::size_t>(n - 1)].phones;
    else if (int n = groupNumber(group, "bp_", WirelessZoneCount))
        phones = &c.wirelessZones[static_cast<std::size_t>(n - 1)].phones;
    else if (group == "sms_in")
        phones = &c.smsOnArming;
    else if (group == "sms_out")
        phones = &c.smsOnDisarming;
    else if (group == "ctrl_volt")
        phones = &c.supplyVoltagePhones;
    else if (int n = groupNumber(group, "td", WiredSensorCount))
        sensor = &c.thermoSensors[static_cast<std::size_t>(n - 1)];
    else if (int n = groupNumber(group, "btd", WirelessSensorCount))
        sensor = &c.wirelessThermoSensors[static_cast<std::size_t>(n - 1)];
    if (sensor)
        phones = &sensor->phones;
    if (!phones)
        return {};

    std::string bits = "00000000";
    // Telephone 1 is the lowest bit, the last character.
    for (std::size_t t = 0; t < phones->size(); ++t)
        if ((*phones)[t])
            bits[bits.size() - 1 - t] = '1';
    if (sensor && context == ModelContext::SavingFile && sensor->active)
        bits[0] = '1';
    return fromBitString(bits);
}

} // namespace t6
