#include "config/FixedBlocks.h"

#include "common/Cp1251.h"
#include "config/ConfigModel.h"
#include "config/FieldEncodings.h"

namespace t6 {

namespace {

std::string nameAt(std::string_view block, std::size_t at) {
    const std::string_view name = block.substr(at, DeviceNameBytes);
    return std::string(name.substr(0, name.find('\0')));
}

std::string codeAt(std::string_view block, std::size_t at) {
    return bytesToHex(block.substr(at, DeviceCodeBytes));
}

// Builds a block entry by entry, or collects the entries whose codes cannot be sent.
class BlockBuilder {
public:
    void entry(int number, std::string_view head, const std::string& name,
               const std::string& code) {
        if (!isSendableCode(code)) {
            result_.refusedEntries.push_back(number);
            return;
        }
        result_.bytes += head;
        result_.bytes += padRight(name.substr(0, DeviceNameBytes), '\0', DeviceNameBytes);
        result_.bytes += padRight(hexToBytes(code).value_or(Bytes()), '\0', DeviceCodeBytes);
    }
    FixedBlockEncoding take() {
        if (!result_.ok())
            result_.bytes.clear();
        return std::move(result_);
    }

private:
    FixedBlockEncoding result_;
};

} // namespace

bool isSendableCode(std::string_view code) {
    if (code.size() > 2 * DeviceCodeBytes)
        return false;
    return hexToBytes(code).has_value();
}

bool decodeWirelessOutputsBlock(ConfigModel& m, std::string_view body, BlockLog& log) {
    if (body.size() < WirelessOutputsBlockBytes)
        return false;
    log.hex(ru("<< чтение беспроводных выходов"));
    log.hex(bytesToHex(body));
    log.protocol(ru("<<< чтение беспроводных выходов: ") + std::string(body));
    for (int k = 1; k <= WirelessOutputCount; ++k) {
        const std::size_t e = OutputEntryBytes * static_cast<std::size_t>(k - 1);
        m.setOutputCode(k, codeAt(body, e + 1 + DeviceNameBytes));
        m.setOutputName(k, nameAt(body, e + 1));
        const char digit = body[e];
        if (digit == '0') {
            m.setOutputUsed(k, false);
        } else if (digit >= '1' && digit <= '4') {
            m.setOutputType(k, digit - '1');
            m.setOutputUsed(k, true);
            const WirelessOutput& o = m.config().wirelessOutputs[static_cast<std::size_t>(k - 1)];
            m.registry().registerEntry("bpout_" + std::to_string(k), o.name, o.code, 0,
                                       digit == '4' ? RelayChannelCount : 1);
        }
    }
    return true;
}

FixedBlockEncoding encodeWirelessOutputsBlock(const ConfigModel& m) {
    BlockBuilder b;
    int k = 0;
    for (const WirelessOutput& o : m.config().wirelessOutputs) {
        const char digit = o.used ? static_cast<char>('1' + o.type) : '0';
        b.entry(++k, std::string_view(&digit, 1), o.name, o.code);
    }
    return b.take();
}

bool decodeRemoteControlsBlock(ConfigModel& m, std::string_view body) {
    if (body.size() < RemoteControlsBlockBytes)
        return false;
    for (int k = 1; k <= RemoteControlCount; ++k) {
        const std::size_t e = NamedEntryBytes * static_cast<std::size_t>(k - 1);
        m.setRemoteName(k, nameAt(body, e));
        m.setRemoteCode(k, codeAt(body, e + DeviceNameBytes));
    }
    return true;
}

FixedBlockEncoding encodeRemoteControlsBlock(const ConfigModel& m) {
    BlockBuilder b;
    int k = 0;
    for (const RemoteControl& r : m.config().remoteControls)
        b.entry(++k, {}, r.name, r.code);
    return b.take();
}

bool decodeThermoNamesBlock(ConfigModel& m, std::string_view body) {
    if (body.size() < ThermoNamesBlockBytes)
        return false;
    for (int k = 1; k <= WirelessSensorCount; ++k) {
        const std::size_t e = NamedEntryBytes * static_cast<std::size_t>(k - 1);
        const std::string name = nameAt(body, e);
        const std::string code = codeAt(body, e + DeviceNameBytes);
        m.setSensorName(k, name);
        m.setSensorCode(k, code);
        m.registry().registerEntry("btd" + std::to_string(k), name, code, 0, 1);
    }
    return true;
}

FixedBlockEncoding encodeThermoNamesBlock(const ConfigModel& m) {
    BlockBuilder b;
    int k = 0;
    for (const WirelessThermoSensor& s : m.config().wirelessThermoSensors)
        b.entry(++k, {}, s.name, s.code);
    return b.take();
}

} // namespace t6
