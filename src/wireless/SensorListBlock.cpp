#include "wireless/SensorListBlock.h"

#include "config/FieldEncodings.h"
#include "wireless/ReplyText.h"

namespace t6 {

std::optional<SensorList> decodeSensorListBlock(std::string_view reply) {
    if (reply.size() < SensorListBlockBytes)
        return std::nullopt;
    SensorList list;
    for (std::size_t k = 0; k < list.size(); ++k) {
        const std::string_view slot = reply.substr(k * SensorSlotBytes, SensorSlotBytes);
        list[k].name = trimBlanks(slot.substr(0, SensorNameBytes));
        list[k].code = bytesToHex(slot.substr(SensorNameBytes, SensorCodeBytes));
    }
    return list;
}

bool isSendableSensorCode(std::string_view code) {
    return code.size() <= 2 * SensorCodeBytes && hexToBytes(code).has_value();
}

SensorListEncoding encodeSensorListBlock(const SensorList& list) {
    SensorListEncoding e;
    for (std::size_t k = 0; k < list.size(); ++k) {
        const SensorSlot& s = list[k];
        const std::optional<Bytes> code = hexToBytes(s.code);
        if (!code || code->size() > SensorCodeBytes) {
            e.refusedRows.push_back(static_cast<int>(k) + 1);
            continue;
        }
        e.bytes += padRight(s.name.substr(0, SensorNameBytes), '\0', SensorNameBytes);
        e.bytes += padRight(*code, '\0', SensorCodeBytes);
    }
    if (!e.ok())
        e.bytes.clear();
    return e;
}

} // namespace t6
