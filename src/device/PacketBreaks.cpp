#include "device/PacketBreaks.h"

#include <algorithm>
#include <string_view>

#include "config/ConfigBlock.h"
#include "config/ConfigModel.h"
#include "config/FieldEncodings.h"
#include "config/FixedBlocks.h"
#include "config/ThermoRecords.h"

namespace t6 {

namespace {

// A block as it goes on the line, with the field each of its bytes comes from.
class FieldMap {
public:
    void add(std::string_view bytes, FieldId field) {
        bytes_ += bytes;
        fields_.insert(fields_.end(), bytes.size(), field);
    }
    // The fields of both bytes of every FF FE, each once, in order.
    void breaks(std::vector<FieldId>& out) const {
        for (std::size_t i = 0; i + 1 < bytes_.size(); ++i) {
            if (bytes_[i] != '\xFF' || bytes_[i + 1] != '\xFE')
                continue;
            for (FieldId f : {fields_[i], fields_[i + 1]})
                if (std::find(out.begin(), out.end(), f) == out.end())
                    out.push_back(f);
        }
    }

private:
    std::string bytes_;
    std::vector<FieldId> fields_;
};

FieldId zoneField(FieldRole role, int n) {
    return n <= WiredZoneCount ? fieldIdOf(role, n, 0, false)
                               : fieldIdOf(role, n - WiredZoneCount, 0, true);
}

// A zone record: its type byte, the message, then bytes of its own.
void zoneRecord(FieldMap& map, const Bytes& record, int recordType, const std::string& message) {
    const FieldId whole = zoneField(FieldRole::ZoneActive, recordType);
    map.add(std::string_view(record).substr(0, 1), whole);
    map.add(std::string_view(record).substr(1, message.size()),
            zoneField(FieldRole::ZoneMessage, recordType));
    map.add(std::string_view(record).substr(1 + message.size()), whole);
}

// The nine bytes of a sensor: the temperatures are values of their own.
void sensorBytes(FieldMap& map, const ConfigModel& m, SensorRef s) {
    const Bytes b = encodeSensorBytes(m, s);
    auto field = [&s](FieldRole role) { return fieldIdOf(role, s.number, 0, s.wireless); };
    static const FieldRole roles[SensorByteCount] = {
        FieldRole::SensorActive,     FieldRole::SensorLowAlarm, FieldRole::SensorHighAlarm,
        FieldRole::SensorThermostat, FieldRole::SensorEconomy,  FieldRole::SensorComfort,
        FieldRole::SensorAuto,       FieldRole::SensorOutput,   FieldRole::SensorActive};
    for (std::size_t i = 0; i < b.size() && i < SensorByteCount; ++i)
        map.add(std::string_view(b).substr(i, 1), field(roles[i]));
}

FieldMap configBlockMap(const ConfigModel& m) {
    const DeviceConfig& c = m.config();
    FieldMap map;
    map.add(ConfigBlockStart, -1);
    for (const ConfigBlockPiece& piece : configBlockPieces(m)) {
        using K = ConfigBlockPiece::Kind;
        switch (piece.kind) {
        case K::WiredZone:
            zoneRecord(map, piece.bytes, piece.number,
                       c.wiredZones.at(static_cast<std::size_t>(piece.number - 1))
                           .message.substr(0, piece.bytes.size() - 18));
            break;
        case K::WirelessZone:
            zoneRecord(map, piece.bytes, piece.number + 4,
                       c.wirelessZones.at(static_cast<std::size_t>(piece.number - 1))
                           .message.substr(0, piece.bytes.size() - 18));
            break;
        case K::DateTime: {
            // 0x1C, the date, ";", the time, 0x0D.
            const std::string_view b(piece.bytes);
            map.add(b.substr(0, 9), fieldIdOf(FieldRole::DeviceDate));
            map.add(b.substr(9), fieldIdOf(FieldRole::DeviceTime));
            break;
        }
        case K::Thermo:
        case K::WirelessThermo: {
            const bool wireless = piece.kind == K::WirelessThermo;
            const int last = wireless ? 6 : 2;
            if (piece.number == 1)
                map.add(std::string_view(piece.bytes).substr(0, 1), -1);
            sensorBytes(map, m, {wireless, piece.number});
            if (piece.number == last)
                map.add("\r", -1);
            break;
        }
        case K::Telephones:
            map.add(piece.bytes, fieldIdOf(FieldRole::Telephone, 1));
            break;
        case K::Options:
            map.add(piece.bytes, fieldIdOf(FieldRole::ArmingMethod));
            break;
        case K::Delays:
            map.add(piece.bytes, fieldIdOf(FieldRole::ArmingDelay));
            break;
        }
    }
    return map;
}

// A fixed block: per entry an optional head (the output's state digit), the
// name padded to 10 bytes, the code as 3 bytes.
template <class Entries, class Head>
FieldMap fixedBlockMap(const Entries& entries, FieldRole nameRole, FieldRole codeRole,
                       bool wireless, Head head) {
    FieldMap map;
    int k = 0;
    for (const auto& e : entries) {
        ++k;
        head(map, e, k);
        map.add(padRight(e.name.substr(0, DeviceNameBytes), '\0', DeviceNameBytes),
                fieldIdOf(nameRole, k, 0, wireless));
        map.add(padRight(hexToBytes(e.code).value_or(Bytes()), '\0', DeviceCodeBytes),
                fieldIdOf(codeRole, k, 0, wireless));
    }
    return map;
}

} // namespace

std::vector<FieldId> packetBreakingFields(const ConfigModel& m) {
    const DeviceConfig& c = m.config();
    std::vector<FieldId> out;
    configBlockMap(m).breaks(out);
    auto none = [](FieldMap&, const auto&, int) {};
    fixedBlockMap(c.remoteControls, FieldRole::RemoteName, FieldRole::RemoteCode, false, none)
        .breaks(out);
    fixedBlockMap(c.wirelessThermoSensors, FieldRole::SensorName, FieldRole::SensorCode, true, none)
        .breaks(out);
    fixedBlockMap(c.wirelessOutputs, FieldRole::OutputName, FieldRole::OutputCode, false,
                  [](FieldMap& map, const WirelessOutput& o, int k) {
                      const char digit = o.used ? static_cast<char>('1' + o.type) : '0';
                      map.add(std::string_view(&digit, 1), fieldIdOf(FieldRole::OutputUsed, k));
                  })
        .breaks(out);
    out.erase(std::remove(out.begin(), out.end(), FieldId(-1)), out.end());
    return out;
}

} // namespace t6
