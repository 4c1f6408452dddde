#include "config/ThermoRecords.h"

#include "common/Cp1251.h"
#include "config/ConfigModel.h"
#include "config/FieldEncodings.h"
#include "config/PhoneMask.h"

namespace t6 {

namespace {

std::string maskGroup(SensorRef s) {
    return (s.wireless ? "btd" : "td") + std::to_string(s.number);
}

// Decodes one sensor whose nine bytes follow position base. False when the
// block ends first (the fields read until then keep their new values).
bool decodeSensor(ConfigModel& m, SensorRef s, std::string_view block, std::size_t base) {
    std::optional<unsigned char> b;
    auto at = [&](std::size_t offset) { return (b = byteAt(block, base + offset)).has_value(); };

    if (!at(1))
        return false;
    m.setSensorActive(s, *b == '1');
    if (!at(2))
        return false;
    m.setLowAlarm(s, temperatureFromByte(*b));
    if (!at(3))
        return false;
    m.setHighAlarm(s, temperatureFromByte(*b));
    if (!at(4))
        return false;
    const bool thermostat = *b == '1';
    // The sensor's own output is in place before its thermostat goes on: the
    // arming check that runs then looks at it, not at what the reset left
    // (which would be refused, with a message, for an output the device does
    // not use there).
    if (thermostat && !m.config().sensor(s).thermostat)
        if (const auto code = byteAt(block, base + 8))
            m.setSensorOutput(s, m.registry().positionOfCode(*code));
    m.setThermostat(s, thermostat);
    // With the thermostat off its three bytes are not looked at.
    if (m.config().sensor(s).thermostat) {
        if (!at(5))
            return false;
        m.setEconomyTemp(s, temperatureFromByte(*b));
        if (!at(6))
            return false;
        m.setComfortTemp(s, temperatureFromByte(*b));
        if (!at(7))
            return false;
        m.setAutoAfterDisarm(s, *b != '0');
    }
    if (!at(8))
        return false;
    m.setSensorOutput(s, m.registry().positionOfCode(*b));
    if (!at(9))
        return false;
    // A wired sensor's telephones were all cleared by the reset before the read,
    // and a clear bit leaves them as they are; a wireless sensor's follow the bits.
    const PhoneFlags phones = phonesOfMask(*b);
    for (int t = 1; t <= TelephoneCount; ++t) {
        const bool on = phones[static_cast<std::size_t>(t - 1)];
        if (on || s.wireless)
            m.setSensorPhone(s, t, on);
    }
    return true;
}

Bytes joined(const std::vector<Bytes>& pieces) {
    Bytes r;
    for (const Bytes& piece : pieces)
        r += piece;
    return r;
}

} // namespace

Bytes encodeSensorBytes(const ConfigModel& m, SensorRef s) {
    const ThermoSensor& t = m.config().sensor(s);
    Bytes r = "011011000";
    if (!t.active)
        return r;
    r[0] = '1';
    r[1] = static_cast<char>(temperatureByte(t.lowAlarm));
    r[2] = static_cast<char>(temperatureByte(t.highAlarm));
    if (t.thermostat) {
        r[3] = '1';
        r[4] = static_cast<char>(temperatureByte(t.economyTemp));
        r[5] = static_cast<char>(temperatureByte(t.comfortTemp));
        r[6] = flagChar(t.autoAfterDisarm);
        r[7] = static_cast<char>(m.registry().outputCodeOf(t.output) & 0xFF);
    } else {
        r[7] = '\0';
    }
    // The device's records never carry the file's activation bit.
    r[8] = tel_parameters_all(m.config(), maskGroup(s), ModelContext::Exchanging).front();
    return r;
}

std::vector<Bytes> thermoRecordPieces(const ConfigModel& m) {
    Bytes first(1, '#');
    first += encodeSensorBytes(m, wiredSensor(1));
    return {first, encodeSensorBytes(m, wiredSensor(2)) + "\r"};
}

std::vector<Bytes> wirelessThermoRecordPieces(const ConfigModel& m) {
    std::vector<Bytes> pieces;
    for (int n = 1; n <= WirelessSensorCount; ++n) {
        Bytes piece = n == 1 ? Bytes(1, '&') : Bytes();
        piece += encodeSensorBytes(m, wirelessSensor(n));
        pieces.push_back(std::move(piece));
    }
    pieces.back() += "\r";
    return pieces;
}

Bytes encodeThermoRecord(const ConfigModel& m) {
    return joined(thermoRecordPieces(m));
}

Bytes encodeWirelessThermoRecord(const ConfigModel& m) {
    return joined(wirelessThermoRecordPieces(m));
}

RecordEnd decodeThermoRecord(ConfigModel& m, std::string_view block, std::size_t p, BlockLog& log) {
    for (int n = 1; n <= WiredSensorCount; ++n) {
        const std::size_t base = p + SensorByteCount * static_cast<std::size_t>(n - 1);
        const std::string_view bytes =
            base + 1 < block.size() ? block.substr(base + 1, SensorByteCount) : std::string_view();
        log.hex(ru("<< чтение ,темпер.датчика") + std::to_string(n));
        log.hex(bytesToHex(bytes));
        log.protocol(ru("<<< чтение темпер.датчика") + std::to_string(n) + std::string(bytes));
        if (!decodeSensor(m, wiredSensor(n), block, base))
            return std::nullopt;
    }
    return p + WiredSensorCount * SensorByteCount;
}

RecordEnd decodeWirelessThermoRecord(ConfigModel& m, std::string_view block, std::size_t p,
                                     BlockLog&) {
    for (int n = 1; n <= WirelessSensorCount; ++n)
        if (!decodeSensor(m, wirelessSensor(n), block,
                          p + SensorByteCount * static_cast<std::size_t>(n - 1)))
            return std::nullopt;
    return p + WirelessSensorCount * SensorByteCount;
}

} // namespace t6
