#include "keys/KeyTable.h"

#include "common/Cp1251.h"
#include "config/FieldEncodings.h"

namespace t6 {

namespace {

bool isTrimmed(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isTrimmed(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isTrimmed(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string description(std::string_view field) {
    return std::string(trimmed(stripControlChars(field)));
}

} // namespace

std::vector<DecodedKeyRow> decodeKeyTable(std::string_view reply) {
    std::vector<DecodedKeyRow> rows;
    for (int row = 1; row <= TouchKeyCount; ++row) {
        const std::size_t at = static_cast<std::size_t>(row - 1) * KeyRecordBytes;
        if (reply.size() < at + KeyDescriptionBytes)
            break;
        const std::string_view record = reply.substr(at, KeyRecordBytes);
        DecodedKeyRow r;
        r.row = row;
        r.description = description(record.substr(0, KeyDescriptionBytes));
        if (record.size() == KeyRecordBytes)
            r.code = std::string(trimmed(bytesToHex(record.substr(KeyDescriptionBytes))));
        rows.push_back(std::move(r));
    }
    return rows;
}

std::string decodeKeyIdentity(std::string_view reply) {
    return std::string(trimmed(bytesToHex(reply.substr(0, KeyIdentityBytes))));
}

std::string_view trimmedKeyCode(std::string_view code) {
    return trimmed(code);
}

std::optional<KeyTableFault> checkKeyTable(const TouchKeys& keys) {
    using K = KeyTableFault::Kind;
    for (int row = 1; row <= TouchKeyCount; ++row) {
        const TouchKey& key = keys[static_cast<std::size_t>(row - 1)];
        const std::string_view code = trimmedKeyCode(key.code);
        for (char c : code)
            if (hexDigit(c) < 0)
                return KeyTableFault{row, K::BadCharacter};
        if (code.size() % 2 != 0)
            return KeyTableFault{row, K::OddDigits};
        if (code.size() > 2 * KeyIdentityBytes)
            return KeyTableFault{row, K::TooManyDigits};
        if (key.description.size() > KeyDescriptionBytes)
            return KeyTableFault{row, K::LongDescription};
    }
    return std::nullopt;
}

std::string keyTableFaultText(const KeyTableFault& fault,
                              const std::function<std::string(const std::string&)>& tr) {
    auto translate = [&tr](const std::string& text) { return tr ? tr(text) : text; };
    const std::string row = std::to_string(fault.row);
    using K = KeyTableFault::Kind;
    switch (fault.kind) {
    case K::BadCharacter: {
        // The dictionary holds this text whole, one entry per row.
        const std::string text = ru("Код Ключа №") + row + ru(" содержит недопустимые символы");
        return translate(text);
    }
    case K::OddDigits:
        return translate(ru("Ключ")) + " " + row + ": " +
               translate(ru("в коде нечётное число цифр (каждый байт ключа записывается двумя "
                            "цифрами). В прибор ничего не отправлено."));
    case K::TooManyDigits:
        return translate(ru("Ключ")) + " " + row + ": " +
               translate(ru("в коде больше 16 цифр (ключ хранит 8 байт). В прибор ничего не "
                            "отправлено."));
    case K::LongDescription:
        return translate(ru("Ключ")) + " " + row + ": " +
               translate(ru("описание длиннее 12 символов (прибор хранит 12). В прибор ничего "
                            "не отправлено."));
    }
    return {};
}

std::optional<Bytes> encodeKeyTable(const TouchKeys& keys) {
    if (checkKeyTable(keys))
        return std::nullopt;
    Bytes block;
    block.reserve(KeyTableBytes);
    for (const TouchKey& key : keys) {
        block += padRight(key.description, '\0', KeyDescriptionBytes);
        const std::optional<Bytes> identity = hexToBytes(trimmedKeyCode(key.code));
        if (!identity)
            return std::nullopt;
        block += padRight(*identity, '\0', KeyIdentityBytes);
    }
    return block;
}

} // namespace t6
