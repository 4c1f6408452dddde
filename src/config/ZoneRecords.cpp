#include "config/ZoneRecords.h"

#include "common/Cp1251.h"
#include "config/ConfigModel.h"
#include "config/FieldEncodings.h"
#include "config/PhoneMask.h"
#include "config/ZoneActions.h"

namespace t6 {

namespace {

std::string maskGroup(ZoneRef z) {
    return (z.wireless ? "bp_" : "inp_") + std::to_string(z.number);
}

} // namespace

Bytes encodeZoneRecord(const ConfigModel& m, int zoneNumber) {
    const ZoneRef z = zoneOfRecord(zoneNumber);
    const DeviceConfig& c = m.config();
    const Zone& zone = c.zone(z);
    if (!zone.active)
        return {};
    Bytes r(1, static_cast<char>(zoneNumber));
    std::string message = zone.message.substr(0, ZoneMessageBytes);
    for (char& ch : message)
        if (ch == '\r')
            ch = ' ';
    r += message;
    r += '\r';
    if (z.wireless) {
        r += '0';
    } else {
        const auto& type = c.wiredZones[static_cast<std::size_t>(z.number - 1)].inputType;
        r += type ? std::to_string(*type).front() : '0';
    }
    r += '1';
    r += flagChar(zone.control24h);
    const ZoneActionBytes actions = zoneActionBytesOf(m, z);
    r.append(actions.begin(), actions.end());
    // The device's records never carry the file's activation bit.
    r += tel_parameters_all(c, maskGroup(z), ModelContext::Exchanging);
    return r;
}

RecordEnd decodeZoneRecord(ConfigModel& m, std::string_view block, std::size_t p, BlockLog& log) {
    const auto typeByte = byteAt(block, p);
    if (!typeByte || *typeByte < 1 || *typeByte > ZoneCount)
        return std::nullopt;
    const ZoneRef z = zoneOfRecord(*typeByte);
    const std::string n = std::to_string(z.number);
    log.hex(ru(z.wireless ? "<< чтение ,беспр.входа" : "<< чтение входа") + n);
    log.protocol(ru(z.wireless ? "\r\n<<< чтение беспр.входа" : "\r\n<<< чтение входа") + n);

    const std::size_t cr = block.find('\r', p + 1);
    if (cr == std::string_view::npos)
        return std::nullopt;
    m.setZoneMessage(z, std::string(block.substr(p + 1, cr - p - 1)));

    // Every wireless zone reports as wired zone 1 does.
    const std::string tag = "#0" + (z.wireless ? std::string("1") : n);
    auto formatError = [&](const char* label, unsigned char received) {
        log.memo(tag + ru(" - Ошибка формата передаваемых данных\r\n") + ru(label) +
                 std::string(1, static_cast<char>(received)));
    };

    std::size_t at = cr;
    const auto inputType = byteAt(block, ++at);
    if (!inputType)
        return std::nullopt;
    // A wireless zone has no input type: its byte is neither tested nor kept.
    if (!z.wireless) {
        if (*inputType >= '1' && *inputType <= '5') {
            m.setZoneInputType(z.number, *inputType - '0');
        } else {
            m.setZoneInputType(z.number, std::nullopt);
            formatError("Уровень активации =", *inputType);
        }
    }

    const auto active = byteAt(block, ++at);
    if (!active)
        return std::nullopt;
    m.setZoneActive(z, *active == '1');
    if (*active != '1' && *active != '0')
        formatError("Код Активации Входа=", *active);

    const auto control24h = byteAt(block, ++at);
    if (!control24h)
        return std::nullopt;
    m.setZoneControl24h(z, *control24h == '1');
    if (*control24h != '1' && *control24h != '0')
        formatError("Код Контроль24=", *control24h);

    ZoneActionBytes actions{};
    if (!byteAt(block, at + actions.size()))
        return std::nullopt;
    for (std::size_t i = 0; i < actions.size(); ++i)
        actions[i] = static_cast<std::uint8_t>(block[at + 1 + i]);
    at += actions.size();
    if (applyZoneActionBytes(m, z, actions))
        m.setZoneOutputsEnabled(z, true);

    const auto mask = byteAt(block, at + 1);
    if (!mask)
        return std::nullopt;
    for (int t = 1; t <= TelephoneCount; ++t)
        m.setZonePhone(z, t, false);
    const PhoneFlags phones = phonesOfMask(*mask);
    for (int t = 1; t <= TelephoneCount; ++t)
        if (phones[static_cast<std::size_t>(t - 1)])
            m.setZonePhone(z, t, true);

    const std::string_view record = block.substr(p, at - p + 1);
    log.protocol(record);
    log.hex(bytesToHex(record));
    return at + 1;
}

} // namespace t6
