#include "device/DeviceImage.h"

#include "common/Cp1251.h"
#include "config/BlockLog.h"
#include "config/ConfigBlock.h"
#include "config/FixedBlocks.h"

namespace t6 {

namespace {

std::string recordKey(int type) {
    switch (type) {
    case RecordType::Telephones:
        return "telephones";
    case RecordType::DateTime:
        return "dateTime";
    case RecordType::Options:
        return "options";
    case RecordType::Delays:
        return "delays";
    case RecordType::Thermo:
        return "thermoSensors";
    case RecordType::WirelessThermo:
        return "wirelessThermoSensors";
    default:
        break;
    }
    if (type >= 1 && type <= WiredZoneCount)
        return "wiredZones[" + std::to_string(type) + "]";
    if (type > WiredZoneCount && type <= ZoneCount)
        return "wirelessZones[" + std::to_string(type - WiredZoneCount) + "]";
    return "record[" + std::to_string(type) + "]";
}

} // namespace

void DeviceImage::load(const DeviceBlocks& blocks) {
    NullBlockLog log;
    ConfigModel& m = detached_.model();
    {
        // As a read fills the window: the outputs and the block fill the
        // fields, the names that follow come in as any other exchange.
        const ModelContextScope filling = detached_.use(ModelContext::FillingFromDevice);
        m.resetConfig();
        decodeWirelessOutputsBlock(m, blocks.outputs, log);
        scanConfigBlock(m, blocks.config, log);
    }
    const ModelContextScope exchanging = detached_.use(ModelContext::Exchanging);
    decodeRemoteControlsBlock(m, blocks.remotes);
    decodeThermoNamesBlock(m, blocks.thermoNames);
}

std::vector<BlockPart> blockParts(const DeviceBlocks& blocks) {
    std::vector<BlockPart> parts;
    // The records of the block, found as the read finds them, in a model that
    // is thrown away.
    {
        DetachedModel scratch;
        const ModelContextScope filling = scratch.use(ModelContext::FillingFromDevice);
        NullBlockLog log;
        walkConfigBlock(
            scratch.model(), blocks.config, log, [&parts](int type, std::string_view record) {
                parts.push_back({recordKey(type), recordName(type), type, std::string(record)});
            });
    }
    auto entries = [&parts](std::string_view block, std::size_t size, const char* key,
                            const char* name) {
        for (std::size_t at = 0, k = 1; at < block.size(); at += size, ++k)
            parts.push_back({std::string(key) + "[" + std::to_string(k) + "]",
                             ru(name) + " " + std::to_string(k), 0,
                             std::string(block.substr(at, size))});
    };
    entries(blocks.outputs, 1 + DeviceNameBytes + DeviceCodeBytes, "wirelessOutputs",
            "беспроводной выход");
    entries(blocks.remotes, DeviceNameBytes + DeviceCodeBytes, "remoteControls", "радиопульт");
    entries(blocks.thermoNames, DeviceNameBytes + DeviceCodeBytes, "wirelessThermoSensorNames",
            "беспроводной термодатчик");
    return parts;
}

} // namespace t6
