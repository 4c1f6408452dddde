#include "cli/ConfigVerify.h"

#include <algorithm>
#include <optional>

#include "config/ConfigBlock.h"
#include "config/FieldEncodings.h"
#include "device/DeviceImage.h"

namespace t6::cli {

namespace {

// Seconds of a date and time record's "dd.mm.yy;hh:mm:ss", counted on a
// calendar of its own (days from a fixed day), or nothing.
std::optional<long long> clockSeconds(const std::string& record) {
    if (record.size() < 18)
        return std::nullopt;
    auto two = [&record](std::size_t at) -> std::optional<int> {
        const char a = record[at], b = record[at + 1];
        if (a < '0' || a > '9' || b < '0' || b > '9')
            return std::nullopt;
        return (a - '0') * 10 + (b - '0');
    };
    const auto d = two(1), mo = two(4), y = two(7), h = two(10), mi = two(13), s = two(16);
    if (!d || !mo || !y || !h || !mi || !s || *mo < 1 || *mo > 12)
        return std::nullopt;
    // Days from a civil date, March counted as the first month of the year.
    long long yy = 2000 + *y - (*mo <= 2 ? 1 : 0);
    const long long era = yy / 400;
    const long long yoe = yy - era * 400;
    const long long doy = (153 * (*mo + (*mo > 2 ? -3 : 9)) + 2) / 5 + *d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long long days = era * 146097 + doe;
    return ((days * 24 + *h) * 60 + *mi) * 60 + *s;
}

bool sameClock(const std::string& sent, const std::string& read) {
    const auto a = clockSeconds(sent), b = clockSeconds(read);
    return a && b && *b >= *a && *b - *a <= 120;
}

} // namespace

bool isKeptByDevice(const std::string& fieldName) {
    // The device's clock runs on from what was written.
    return isSentToDevice(fieldName) && fieldName != "deviceDate" && fieldName != "deviceTime";
}

VerifyResult verifyWrite(const DeviceBlocks& sent, const DeviceBlocks& readBack,
                         bool clockFromComputer, const CaptionText& captions) {
    VerifyResult result;
    const std::vector<BlockPart> a = blockParts(sent);
    const std::vector<BlockPart> b = blockParts(readBack);
    // Parts are matched by name: a record the device dropped or added shows
    // with an empty value on the other side.
    auto find = [](const std::vector<BlockPart>& parts, const std::string& key) {
        return std::find_if(parts.begin(), parts.end(),
                            [&key](const BlockPart& p) { return p.key == key; });
    };
    auto add = [&result](const BlockPart& part, const std::string& written,
                         const std::string& read) {
        result.parts.push_back(
            {"block:" + part.key, part.name, bytesToHex(written), bytesToHex(read)});
    };
    for (const BlockPart& p : a) {
        const auto q = find(b, p.key);
        const std::string read = q == b.end() ? std::string() : q->bytes;
        if (p.recordType == RecordType::DateTime && (clockFromComputer || sameClock(p.bytes, read)))
            continue;
        if (read != p.bytes)
            add(p, p.bytes, read);
    }
    for (const BlockPart& q : b)
        if (find(a, q.key) == a.end())
            add(q, {}, q.bytes);

    DeviceImage written, device;
    written.load(sent);
    device.load(readBack);
    result.fields = compareFields(describeConfig(written.model()), describeConfig(device.model()),
                                  captions, isKeptByDevice);
    return result;
}

} // namespace t6::cli
