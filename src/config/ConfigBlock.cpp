#include "config/ConfigBlock.h"

#include <algorithm>

#include "common/Cp1251.h"
#include "config/ConfigModel.h"
#include "config/FieldEncodings.h"
#include "config/GeneralRecords.h"
#include "config/ThermoRecords.h"
#include "config/ZoneRecords.h"

namespace t6 {

namespace {

using Decoder = RecordEnd (*)(ConfigModel&, std::string_view, std::size_t, BlockLog&);

Decoder decoderOf(unsigned char type) {
    if (type >= 1 && type <= ZoneCount)
        return decodeZoneRecord;
    switch (type) {
    case RecordType::Telephones:
        return decodeTelephonesRecord;
    case RecordType::Password:
        return decodePasswordRecord;
    case RecordType::DateTime:
        return decodeDateTimeRecord;
    case RecordType::Options:
        return decodeOptionsRecord;
    case RecordType::Thermo:
        return decodeThermoRecord;
    case RecordType::Delays:
        return decodeDelaysRecord;
    case RecordType::Reserved:
        return decodeReservedRecord;
    case RecordType::WirelessThermo:
        return decodeWirelessThermoRecord;
    default:
        return nullptr;
    }
}

} // namespace

bool isRecordType(unsigned char type) {
    return decoderOf(type) != nullptr;
}

RecordEnd decodeRecord(ConfigModel& m, std::string_view block, std::size_t p, BlockLog& log) {
    const auto type = byteAt(block, p);
    if (!type)
        return std::nullopt;
    const Decoder decode = decoderOf(*type);
    return decode ? decode(m, block, p, log) : RecordEnd(p);
}

ConfigBlockScan scanConfigBlock(ConfigModel& m, std::string_view block, BlockLog& log) {
    m.setArmingDelay(0);
    m.setDisarmingDelay(0);
    // The reset leaves the wireless temperature sensors as the window showed
    // them, and the block sets every one of them only after the options. Until
    // then the ones shown must not count as users of an output in the arming
    // check (which would refuse the device's arming output), so they are
    // switched off first, as the file reader does.
    for (int n = 1; n <= WirelessSensorCount; ++n) {
        m.setThermostat(wirelessSensor(n), false);
        m.setSensorActive(wirelessSensor(n), false);
    }
    log.hex(ru("<< чтение основных данных"));
    log.hex(bytesToHex(block));
    log.protocol(ru("<<< чтение основных данных: ") + std::string(block));
    return walkConfigBlock(m, block, log);
}

ConfigBlockScan walkConfigBlock(ConfigModel& m, std::string_view block, BlockLog& log,
                                const std::function<void(int, std::string_view)>& onRecord) {
    ConfigBlockScan scan;
    std::vector<int> seen;
    std::size_t i = 0;
    while (i + 1 < block.size()) {
        const auto type = static_cast<unsigned char>(block[i]);
        if (!isRecordType(type)) {
            ++i;
            continue;
        }
        const RecordEnd last = decodeRecord(m, block, i, log);
        if (!last) {
            scan.complete = false;
            scan.cutRecordType = type;
            scan.cutRecordAt = i;
            break;
        }
        seen.push_back(type);
        if (onRecord)
            onRecord(type, block.substr(i, *last + 1 - i));
        i = *last + 1;
    }
    for (int type : RequiredRecordTypes)
        if (std::find(seen.begin(), seen.end(), type) == seen.end())
            scan.missingRecords.push_back(type);
    return scan;
}

std::string recordName(int type) {
    switch (type) {
    case RecordType::Telephones:
        return ru("телефоны");
    case RecordType::DateTime:
        return ru("дата и время");
    case RecordType::Options:
        return ru("общие параметры");
    case RecordType::Delays:
        return ru("задержки");
    case RecordType::Thermo:
        return ru("термодатчики");
    case RecordType::WirelessThermo:
        return ru("беспроводные термодатчики");
    default:
        break;
    }
    return type >= 1 && type <= WiredZoneCount ? ru("вход ") + std::to_string(type)
           : type > WiredZoneCount && type <= ZoneCount
               ? ru("беспроводной вход ") + std::to_string(type - WiredZoneCount)
               : std::to_string(type);
}

std::vector<ConfigBlockPiece> configBlockPieces(const ConfigModel& m) {
    using Kind = ConfigBlockPiece::Kind;
    std::vector<ConfigBlockPiece> pieces;
    for (int n = 1; n <= ZoneCount; ++n) {
        Bytes record = encodeZoneRecord(m, n);
        if (record.empty())
            continue;
        const ZoneRef z = zoneOfRecord(n);
        pieces.push_back(
            {z.wireless ? Kind::WirelessZone : Kind::WiredZone, z.number, std::move(record)});
    }
    pieces.push_back({Kind::Telephones, 0, encodeTelephonesRecord(m)});
    pieces.push_back({Kind::DateTime, 0, encodeDateTimeRecord(m)});
    pieces.push_back({Kind::Options, 0, encodeOptionsRecord(m)});
    pieces.push_back({Kind::Delays, 0, encodeDelaysRecord(m)});
    int k = 0;
    for (Bytes& piece : thermoRecordPieces(m))
        pieces.push_back({Kind::Thermo, ++k, std::move(piece)});
    k = 0;
    for (Bytes& piece : wirelessThermoRecordPieces(m))
        pieces.push_back({Kind::WirelessThermo, ++k, std::move(piece)});
    return pieces;
}

Bytes encodeConfigBlock(const ConfigModel& m) {
    Bytes block(ConfigBlockStart);
    for (const ConfigBlockPiece& piece : configBlockPieces(m))
        block += piece.bytes;
    return block;
}

} // namespace t6
