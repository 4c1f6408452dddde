#pragma once
// The configuration the chain benchmarks send and read: as much as the device
// holds, so that a chain carries its longest blocks.

#include <cstdio>
#include <string>

#include "common/Cp1251.h"
#include "config/ConfigModel.h"

namespace t6 {

// Every zone active with a 25-character message and four timed rows, every
// temperature sensor regulating, sixteen wireless outputs and ten remote
// controls in use. No text holds the bytes FF FE, which would end a packet.
inline void richConfiguration(ConfigModel& m) {
    const char* messages[10] = {"Входная дверь подъезда 01", "Окно кухни первый этаж 02",
                                "Гараж ворота подъёмные 03", "Пожарный шлейф котельной",
                                "Датчик движения холл 0005", "Датчик движения спальн 06",
                                "Балкон второго этажа 0007", "Окно детской комнаты 0008",
                                "Калитка у забора двора 09", "Подвал у насосной станц10"};
    m.setDeviceDate("09.12.26");
    m.setDeviceTime("12:00:00");
    for (int t = 1; t <= 5; ++t)
        m.setTelephone(t, "+7916123456" + std::to_string(1000 + t));
    for (int n = 1; n <= 16; ++n) {
        char code[8];
        std::snprintf(code, sizeof code, "%02x%02x%02x", 0x10 + n, 0x20 + n, 0x30 + n);
        m.setOutputType(n, n % 4);
        m.setOutputCode(n, code);
        m.setOutputName(n, ru("Выход ") + std::to_string(n));
        m.setOutputUsed(n, true);
        m.leaveOutputName(n);
    }
    for (int z = 1; z <= 10; ++z) {
        const ZoneRef ref = z <= 4 ? wiredZone(z) : wirelessZone(z - 4);
        m.setZoneActive(ref, true);
        m.setZoneMessage(ref, ru(messages[z - 1]));
        for (int r = 1; r <= 4; ++r) {
            m.setRowEnabled(ref, r, true);
            m.setRowMinutes(ref, r, z * 7 + r);
            m.setRowSeconds(ref, r, r * 11);
            m.setRowOutput(ref, r, 4 + (z + r) % 20);
        }
        for (int t = 1; t <= 5; ++t)
            m.setZonePhone(ref, t, (z + t) % 2 == 0);
    }
    for (int s = 1; s <= 8; ++s) {
        const SensorRef ref = s <= 2 ? wiredSensor(s) : wirelessSensor(s - 2);
        m.setSensorActive(ref, true);
        m.setLowAlarm(ref, 5 + s);
        m.setHighAlarm(ref, 40 + s);
        m.setThermostat(ref, true);
        m.setEconomyTemp(ref, 15);
        m.setComfortTemp(ref, 22);
        m.setAutoAfterDisarm(ref, true);
        m.setSensorOutput(ref, 2);
        for (int t = 1; t <= 5; ++t)
            m.setSensorPhone(ref, t, t <= 2);
    }
    for (int n = 1; n <= 6; ++n) {
        m.setSensorName(n, ru("Комната ") + std::to_string(n));
        m.setSensorCode(n, "4" + std::to_string(n) + "5a6b");
    }
    for (int k = 1; k <= 10; ++k) {
        m.setRemoteName(k, ru("Пульт ") + std::to_string(k));
        m.setRemoteCode(k, "7" + std::to_string(k % 10) + "8c9d");
    }
}

} // namespace t6
