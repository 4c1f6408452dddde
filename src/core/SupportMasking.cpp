#include "core/SupportMasking.h"

#include <algorithm>
#include <cctype>

#include "common/Cp1251.h"
#include "config/ConfigBlock.h"
#include "files/ConfigFile.h"
#include "keys/KeyTable.h"

namespace t6 {

namespace {

constexpr std::size_t kIdentity = KeyIdentityBytes;
constexpr std::size_t kKeyRecord = KeyRecordBytes;
constexpr std::size_t kIdentityAt = KeyDescriptionBytes;
constexpr std::size_t kKeyTable = KeyTableBytes;
// A telephone is looked for elsewhere only when it has this many digits:
// shorter numbers are not telephones and would hide unrelated digits.
constexpr std::size_t kTelephoneDigits = 5;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The characters a telephone may hold as the device and the files write it.
bool isPhoneChar(char c) {
    return isDigit(c) || c == '%' || c == '\'';
}

std::size_t digitCount(std::string_view s) {
    return static_cast<std::size_t>(std::count_if(s.begin(), s.end(), isDigit));
}

void replaceAll(Bytes& bytes, std::string_view from, std::string_view to) {
    if (from.empty())
        return;
    for (std::size_t at = bytes.find(from); at != Bytes::npos;
         at = bytes.find(from, at + to.size()))
        bytes.replace(at, from.size(), to);
}

bool isHexLine(std::string_view line) {
    return !line.empty() && line.size() % 2 == 0 &&
           std::all_of(line.begin(), line.end(),
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

int nibble(char c) {
    return isDigit(c) ? c - '0' : (std::tolower(static_cast<unsigned char>(c)) - 'a' + 10);
}

Bytes fromHex(std::string_view hex) {
    Bytes out;
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out += static_cast<char>(nibble(hex[i]) * 16 + nibble(hex[i + 1]));
    return out;
}

std::string upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

Bytes maskedIdentity(const Bytes& id) {
    return Bytes(kIdentity - 1, 'X') + id.back();
}

std::string maskedIdentityHex(const Bytes& id) {
    return std::string(2 * (kIdentity - 1), 'X') + hexForm(id.substr(kIdentity - 1));
}

// Every telephones record in bytes: hands each number's place to f.
template <typename F> void forEachRecordedTelephone(std::string_view bytes, F&& f) {
    constexpr char type = static_cast<char>(RecordType::Telephones);
    for (std::size_t p = bytes.find(type); p != std::string_view::npos;
         p = bytes.find(type, p + 1)) {
        std::size_t q = p + 1;
        while (true) {
            const std::size_t start = q;
            while (q < bytes.size() && isPhoneChar(bytes[q]))
                ++q;
            if (q >= bytes.size() || bytes[q] != '/')
                break;
            f(start, q - start);
            ++q;
            if (q < bytes.size() && bytes[q] == '\r')
                break;
        }
    }
}

// The configuration file's telephone lines: between "#11" and "//#11" to "#15" and "//#15".
template <typename F> void forEachFileTelephone(std::string_view file, F&& f) {
    for (int n = FirstTelephoneSection; n < FirstTelephoneSection + TelephoneCount; ++n) {
        const std::string open = configSectionTag(n) + "\r\n";
        const std::string close = "\r\n//" + configSectionTag(n) + "\r\n";
        for (std::size_t at = file.find(open); at != std::string_view::npos;
             at = file.find(open, at + 1)) {
            if (at != 0 && (at < 2 || file.substr(at - 2, 2) != "\r\n"))
                continue;
            const std::size_t start = at + open.size();
            const std::size_t end = file.find("\r\n", start);
            if (end != std::string_view::npos && file.compare(end, close.size(), close) == 0)
                f(start, end - start);
        }
    }
}

} // namespace

std::string maskDigits(std::string_view text) {
    std::string out(text);
    std::size_t toHide = digitCount(text);
    toHide = toHide > 2 ? toHide - 2 : 0;
    for (char& c : out)
        if (toHide > 0 && isDigit(c)) {
            c = 'X';
            --toHide;
        }
    return out;
}

void SupportMasker::addTelephone(std::string_view telephone) {
    // The window shows "+7…"; the device and the files hold it without the "+".
    if (!telephone.empty() && telephone.front() == '+')
        telephone.remove_prefix(1);
    if (digitCount(telephone) >= kTelephoneDigits)
        telephones_.emplace(telephone);
}

void SupportMasker::addKeyCode(std::string_view hexCode) {
    if (hexCode.size() % 2 != 0 || !isHexLine(hexCode))
        return;
    addIdentity(fromHex(hexCode));
}

void SupportMasker::addIdentity(std::string_view identity) {
    Bytes id(identity.substr(0, kIdentity));
    id.resize(kIdentity, '\0');
    if (id != Bytes(kIdentity, '\0'))
        keys_.insert(id);
}

void SupportMasker::setReceivedPayloads(std::vector<Bytes> payloads) {
    payloads_ = std::move(payloads);
}

void SupportMasker::findKeysAfter(const Bytes& content, std::string_view head, bool table) {
    for (std::size_t at = content.find(head); at != Bytes::npos; at = content.find(head, at + 1)) {
        const std::size_t from = at + head.size();
        // The payload as received, when the memo has it: a key's bytes may
        // hold CR LF, so the line's end does not tell where it ends.
        std::size_t length = Bytes::npos;
        for (const Bytes& p : payloads_) {
            const std::size_t end = from + p.size();
            if ((length == Bytes::npos || p.size() > length) &&
                content.compare(from, p.size(), p) == 0 &&
                (end == content.size() || content.compare(end, 2, "\r\n") == 0))
                length = p.size();
        }
        if (length == Bytes::npos) {
            const std::size_t end = content.find("\r\n", from);
            length = (end == Bytes::npos ? content.size() : end) - from;
        }
        const std::string_view payload = std::string_view(content).substr(from, length);
        if (!table) {
            addIdentity(payload);
            continue;
        }
        for (std::size_t off = kIdentityAt; off < payload.size(); off += kKeyRecord)
            addIdentity(payload.substr(off, kIdentity));
    }
}

void SupportMasker::findInTextLog(const Bytes& content) {
    forEachRecordedTelephone(content, [&](std::size_t at, std::size_t n) {
        addTelephone(std::string_view(content).substr(at, n));
    });
    findKeysAfter(content, ru("<<< чтение ключей(все): "), true);
    findKeysAfter(content, ru("<<< чтение ключа: "), false);
}

void SupportMasker::findInHexLog(const Bytes& content) {
    std::size_t from = 0;
    while (from < content.size()) {
        std::size_t end = content.find("\r\n", from);
        if (end == Bytes::npos)
            end = content.size();
        const std::string_view line = std::string_view(content).substr(from, end - from);
        if (isHexLine(line))
            findInTextLog(fromHex(line));
        from = end + 2;
    }
}

void SupportMasker::findInMemo(const Bytes& content) {
    findInTextLog(content);
    // A received payload has no name in the memo: the key table is known by
    // its length (that of no other block the device sends, and not starting
    // as the configuration block does), a single key by its eight bytes that
    // are not all printable text (a key's first byte, its family code, is 01).
    const std::string head = ru("входная строка: ");
    for (std::size_t at = content.find(head); at != Bytes::npos; at = content.find(head, at + 1)) {
        if (at != 0 && (at < 2 || content.compare(at - 2, 2, "\r\n") != 0))
            continue;
        const std::size_t from = at + head.size();
        const auto endsAt = [&](std::size_t n) {
            return from + n == content.size() ||
                   (from + n < content.size() && content.compare(from + n, 2, "\r\n") == 0);
        };
        const std::string_view rest = std::string_view(content).substr(from);
        if (endsAt(kKeyTable) && rest.substr(0, 2) != "\x99\x99") {
            for (std::size_t off = kIdentityAt; off < kKeyTable; off += kKeyRecord)
                addIdentity(rest.substr(off, kIdentity));
        } else if (endsAt(kIdentity) &&
                   std::any_of(rest.begin(), rest.begin() + kIdentity, [](char c) {
                       const auto b = static_cast<unsigned char>(c);
                       return b < 0x20 || b == 0x7F;
                   })) {
            addIdentity(rest.substr(0, kIdentity));
        }
    }
}

void SupportMasker::findInConfigFile(const Bytes& content) {
    forEachFileTelephone(content, [&](std::size_t at, std::size_t n) {
        addTelephone(std::string_view(content).substr(at, n));
    });
}

Bytes SupportMasker::maskRaw(Bytes bytes) const {
    forEachRecordedTelephone(bytes, [&](std::size_t at, std::size_t n) {
        bytes.replace(at, n, maskDigits(std::string_view(bytes).substr(at, n)));
    });
    return bytes;
}

Bytes SupportMasker::maskValues(Bytes bytes) const {
    // Longer numbers first: one may hold another.
    std::vector<std::string> phones(telephones_.begin(), telephones_.end());
    std::sort(phones.begin(), phones.end(),
              [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    for (const std::string& t : phones) {
        const std::string masked = maskDigits(t);
        replaceAll(bytes, t, masked);
        replaceAll(bytes, hexForm(t), hexForm(masked));
    }
    for (const Bytes& id : keys_) {
        replaceAll(bytes, id, maskedIdentity(id));
        replaceAll(bytes, hexForm(id), maskedIdentityHex(id));
        replaceAll(bytes, upper(hexForm(id)), maskedIdentityHex(id));
    }
    return bytes;
}

Bytes SupportMasker::maskTextLog(Bytes content) const {
    return maskValues(maskRaw(std::move(content)));
}

Bytes SupportMasker::maskHexLog(const Bytes& content) const {
    Bytes out;
    std::size_t from = 0;
    while (from < content.size()) {
        std::size_t end = content.find("\r\n", from);
        const bool ended = end != Bytes::npos;
        if (!ended)
            end = content.size();
        const std::string_view line = std::string_view(content).substr(from, end - from);
        if (isHexLine(line)) {
            const Bytes raw = fromHex(line);
            const Bytes masked = maskValues(maskRaw(raw));
            out += masked == raw ? std::string(line) : hexForm(masked);
        } else {
            out += line;
        }
        if (ended)
            out += "\r\n";
        from = end + 2;
    }
    return maskValues(std::move(out));
}

Bytes SupportMasker::maskConfigFile(Bytes content) const {
    forEachFileTelephone(content, [&](std::size_t at, std::size_t n) {
        content.replace(at, n, maskDigits(std::string_view(content).substr(at, n)));
    });
    return maskValues(std::move(content));
}

} // namespace t6
