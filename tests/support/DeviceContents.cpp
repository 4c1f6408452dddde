#include "support/DeviceContents.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace t6::test {
namespace {

using Bytes = std::string;

constexpr std::string_view kPacketEnd{"\xFF\xFE", 2};
// " канал": the word that names the channels of a four-channel output.
constexpr std::string_view kChannelWord{"\x20\xEA\xE0\xED\xE0\xEB", 6};
// "канал" alone, which a name may hold as long as no blank stands before it.
constexpr std::string_view kChannelStem{"\xEA\xE0\xED\xE0\xEB", 5};
constexpr std::size_t kNameWidth = 10;
constexpr int kWirelessOutputs = 16;
constexpr int kAlwaysOn = 65500;
constexpr int kLongestDuration = 500 * 60 + 59;

char byteOf(int value) {
    return static_cast<char>(static_cast<unsigned char>(value));
}

// Whether piece, appended to what is already there, would put FF FE anywhere.
bool endsPacket(const Bytes& before, const Bytes& piece) {
    Bytes joined = before.empty() ? Bytes{} : Bytes(1, before.back());
    joined += piece;
    return joined.find(kPacketEnd) != Bytes::npos;
}

// Random numbers drawn the same way by every standard library: the raw output
// of std::mt19937 is fixed by the standard, its distributions are not.
class Dice {
public:
    explicit Dice(std::uint32_t seed) : rng_(seed) {}

    int between(int lo, int hi) {
        const std::uint64_t span = static_cast<std::uint64_t>(hi - lo) + 1;
        const std::uint64_t bucket = (std::uint64_t{1} << 32) / span;
        for (;;) {
            const std::uint64_t r = rng_();
            if (r < bucket * span)
                return lo + static_cast<int>(r / bucket);
        }
    }
    bool chance(int percent) { return between(0, 99) < percent; }
    char flag(int percentOn = 50) { return chance(percentOn) ? '1' : '0'; }
    template <typename T> const T& oneOf(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(between(0, static_cast<int>(items.size()) - 1))];
    }

private:
    std::mt19937 rng_;
};

// One byte of a name or message: mostly Cyrillic letters, then Latin text,
// blanks, the upper half of the code page and control bytes.
char textByte(Dice& d) {
    const int k = d.between(0, 99);
    if (k < 45)
        return byteOf(d.between(0xC0, 0xFF));
    if (k < 68)
        return byteOf(d.between(0x21, 0x7E));
    if (k < 78)
        return ' ';
    if (k < 90)
        return byteOf(d.between(0x80, 0xBF));
    if (d.chance(50))
        return d.oneOf(std::vector<char>{'\t', '\n', '\r', '\x1A'});
    return byteOf(d.between(0x01, 0x1F));
}

// A length from lo to hi, the two ends more often than the rest.
int lengthBetween(Dice& d, int lo, int hi) {
    const int k = d.between(0, 99);
    if (k < 15)
        return lo;
    if (k < 30)
        return hi;
    return d.between(lo, hi);
}

// A text without 0x00 and without the pair CR LF; without any CR at all when
// it must end at the next CR (a zone message).
Bytes text(Dice& d, int minLength, int maxLength, bool crAllowed) {
    for (;;) {
        const int length = lengthBetween(d, minLength, maxLength);
        Bytes s;
        while (static_cast<int>(s.size()) < length) {
            const char c = textByte(d);
            if (c != '\r' || crAllowed)
                s += c;
        }
        if (length >= 2 && d.chance(20))
            s.front() = ' ';
        if (length >= 2 && d.chance(20))
            s.back() = ' ';
        if (s.find("\r\n") == Bytes::npos)
            return s;
    }
}

Bytes paddedName(const Bytes& name) {
    return name + Bytes(kNameWidth - name.size(), '\0');
}

// Three code bytes; the bytes that trouble a line reader or end a packet turn
// up more often than chance would have them.
Bytes code(Dice& d, bool zeroAllowed) {
    if (zeroAllowed && d.chance(20))
        return Bytes(3, '\0');
    for (;;) {
        Bytes c;
        for (int i = 0; i < 3; ++i) {
            c += d.chance(25) ? d.oneOf(std::vector<char>{'\0', '\n', '\r', '\x1A', '\xFF', '\xFE'})
                              : byteOf(d.between(0, 255));
        }
        if (zeroAllowed || c != Bytes(3, '\0'))
            return c;
    }
}

// Appends what make gives, made again until the pair FF FE is nowhere.
template <typename Make> void appendClean(Bytes& block, Make make) {
    for (;;) {
        Bytes piece = make();
        if (!endsPacket(block, piece)) {
            block += piece;
            return;
        }
    }
}

// The outputs a setting may name: the four fixed ones and the used wireless
// outputs, a four-channel one by each of its channels.
struct Outputs {
    std::vector<int> wirelessCodes;

    // An output code other than those in taken; 0 (none) only when allowed.
    int pick(Dice& d, bool noneAllowed, const std::vector<int>& taken) const {
        for (;;) {
            const int k = d.between(0, 99);
            int c = 0;
            if (noneAllowed && k < 15)
                c = 0;
            else if (k < 55 || wirelessCodes.empty())
                c = d.between(1, 4);
            else
                c = d.oneOf(wirelessCodes);
            if (c == 0 || std::find(taken.begin(), taken.end(), c) == taken.end())
                return c;
        }
    }
};

// A name of a used output: never empty, never holding " канал", never the
// name of another used output.
Bytes usedOutputName(Dice& d, const std::vector<Bytes>& usedNames) {
    for (;;) {
        Bytes name = d.chance(6) ? Bytes(kChannelStem) + byteOf(d.between('1', '4'))
                                 : text(d, 1, kNameWidth, true);
        if (name.find(kChannelWord) == Bytes::npos &&
            std::find(usedNames.begin(), usedNames.end(), name) == usedNames.end())
            return name;
    }
}

// Sixteen entries: state digit ("0" unused, "1" to "4" the type), name, code.
Bytes wirelessOutputsBlock(Dice& d, Outputs& outputs) {
    Bytes block;
    std::vector<Bytes> usedNames;
    for (int n = 1; n <= kWirelessOutputs; ++n) {
        const int type = d.chance(55) ? d.between(1, 4) : 0;
        Bytes name;
        appendClean(block, [&] {
            name = type != 0 ? usedOutputName(d, usedNames) : text(d, 0, kNameWidth, true);
            return Bytes(1, byteOf('0' + type)) + paddedName(name) + code(d, type == 0);
        });
        if (type == 0)
            continue;
        usedNames.push_back(name);
        const int channels = type == 4 ? 4 : 1;
        for (int k = 0; k < channels; ++k)
            outputs.wirelessCodes.push_back(n + 4 + 32 * k);
    }
    return block;
}

char phoneMask(Dice& d) {
    const int k = d.between(0, 99);
    if (k < 20)
        return 0;
    if (k < 30)
        return 0x1F;
    return byteOf(d.between(1, 0x1F));
}

// Seconds of a timed row, from 1 to 500 minutes 59 seconds.
int duration(Dice& d) {
    const int k = d.between(0, 99);
    if (k < 10)
        return kLongestDuration;
    if (k < 20)
        return 1;
    if (k < 50)
        return d.between(1, 59);
    if (k < 75)
        return d.between(1, 10 * 60 + 59);
    return d.between(1, kLongestDuration);
}

// The twelve action bytes, rows 4, 1, 2, 3: off (00 00 00), always on (FF DC)
// or a duration, each with its output. No two rows of the zone switch the same
// output, and none the output switched at arming.
Bytes actionSlots(Dice& d, const Outputs& outputs, int armingCode) {
    if (d.chance(25))
        return Bytes(12, '\0');
    Bytes slots;
    std::vector<int> taken;
    if (armingCode != 0)
        taken.push_back(armingCode);
    for (int slot = 0; slot < 4; ++slot) {
        const int k = d.between(0, 99);
        if (k < 25) {
            slots.append(3, '\0');
            continue;
        }
        const int output = outputs.pick(d, true, taken);
        if (output != 0)
            taken.push_back(output);
        const int time = k < 45 ? kAlwaysOn : duration(d);
        slots += byteOf(time >> 8);
        slots += byteOf(time & 0xFF);
        slots += byteOf(output);
    }
    return slots;
}

// The record of an active zone: type, message, CR, input type, "1" (active),
// 24-hour control, actions, telephones.
Bytes zoneRecord(Dice& d, int type, const Outputs& outputs, int armingCode) {
    const bool wired = type <= 4;
    Bytes r(1, byteOf(type));
    r += text(d, 1, 25, false);
    r += '\r';
    r += wired ? byteOf(d.between('1', '5')) : '0';
    r += '1';
    r += d.flag();
    r += actionSlots(d, outputs, armingCode);
    r += phoneMask(d);
    return r;
}

Bytes digits(Dice& d, int count) {
    Bytes s;
    for (int i = 0; i < count; ++i)
        s += byteOf(d.between('0', '9'));
    return s;
}

Bytes telephonesRecord(Dice& d) {
    Bytes r("\x11");
    for (int t = 0; t < 5; ++t) {
        r += d.chance(35) ? Bytes("7") : digits(d, lengthBetween(d, 7, 15));
        r += '/';
    }
    return r + '\r';
}

Bytes twoDigits(int value) {
    return Bytes{byteOf('0' + value / 10), byteOf('0' + value % 10)};
}

Bytes dateTimeRecord(Dice& d) {
    static constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int year = d.between(0, 99);
    const int month = d.between(1, 12);
    const int lastDay = kDays[static_cast<std::size_t>(month - 1)] + (month == 2 && year % 4 == 0);
    const int day = d.chance(15) ? lastDay : d.between(1, lastDay);
    const int hours = d.between(0, 23);
    const int minutes = d.between(0, 59);
    const int seconds = d.between(0, 59);
    Bytes r("\x1C");
    r += twoDigits(day) + "." + twoDigits(month) + "." + twoDigits(year) + ";";
    r += twoDigits(hours) + ":" + twoDigits(minutes) + ":" + twoDigits(seconds);
    return r + '\r';
}

int smallNumber(Dice& d, int highest) {
    const int k = d.between(0, 99);
    if (k < 15)
        return 0;
    if (k < 30)
        return highest;
    return d.between(0, highest);
}

Bytes optionsRecord(Dice& d, const Outputs& outputs, int armingCode) {
    Bytes r("!");
    r += byteOf(d.between('1', '3')); // arming method
    r += phoneMask(d);                // SMS on arming
    r += phoneMask(d);                // SMS on disarming
    r += d.flag();                    // beep on arming and disarming
    const char supplyPhones = d.chance(40) ? '\0' : byteOf(d.between(1, 0x1F));
    r += supplyPhones;
    r += supplyPhones != 0 ? d.flag() : '0'; // external supply
    r += d.flag();                           // time in SMS
    r += d.flag();                           // microphone and speaker on a call
    r += d.flag();                           // status SMS on a call
    r += byteOf(armingCode);
    r += d.flag(); // alarm SMS
    r += d.flag(); // alarm call
    r += byteOf(d.between('1', '2'));
    r += byteOf(smallNumber(d, 10)); // microphone volume
    r += byteOf(smallNumber(d, 10)); // speaker volume
    const int button4 = d.chance(40) ? 0 : outputs.pick(d, false, {armingCode});
    r += byteOf(button4);
    const int k = d.between(0, 99);
    if (k < 35)
        r += '\xFC'; // toggles
    else if (k < 45)
        r += byteOf(k < 40 ? 1 : 251);
    else
        r += byteOf(d.between(1, 251));
    return r + '\r';
}

Bytes delaysRecord(Dice& d) {
    Bytes r("$");
    r += byteOf(smallNumber(d, 250));
    r += byteOf(smallNumber(d, 250));
    for (int zone = 0; zone < 10; ++zone)
        r += d.flag();
    return r + '\r';
}

// A temperature from -55 to 125, never 0; -1 and -2 (FF and FE) often, so
// that the pair FF FE has to be kept out.
char temperature(Dice& d) {
    const int k = d.between(0, 99);
    int t = 0;
    if (k < 10)
        t = -55;
    else if (k < 20)
        t = 125;
    else if (k < 30)
        t = -1;
    else if (k < 40)
        t = -2;
    else if (k < 45)
        t = 1;
    else
        while (t == 0)
            t = d.between(-55, 125);
    return byteOf(t & 0xFF);
}

// Nine bytes: "011011000" when inactive; otherwise "1", the two alarm limits,
// the thermostat (on: "1", economy, comfort, auto flag, output; off: "0",
// "1", "1", "0", 00) and the telephones.
Bytes sensorBytes(Dice& d, const Outputs& outputs, int armingCode, bool& active) {
    active = !d.chance(35);
    if (!active)
        return "011011000";
    Bytes s("1");
    s += temperature(d);
    s += temperature(d);
    if (d.chance(50)) {
        s += '1';
        s += temperature(d);
        s += temperature(d);
        s += d.flag();
        s += byteOf(outputs.pick(d, true, {armingCode}));
    } else {
        s += Bytes("0110", 4) + '\0';
    }
    s += phoneMask(d);
    return s;
}

Bytes thermoRecord(Dice& d, char type, std::vector<bool>& active, const Outputs& outputs,
                   int armingCode) {
    Bytes r(1, type);
    for (std::size_t k = 0; k < active.size(); ++k) {
        bool on = false;
        appendClean(r, [&] { return sensorBytes(d, outputs, armingCode, on); });
        active[k] = on;
    }
    return r + '\r';
}

// Entries of a name padded to ten bytes and three code bytes. Where named,
// the name is not empty; where coded, the code is not 00 00 00.
Bytes namedCodes(Dice& d, const std::vector<bool>& named, const std::vector<bool>& coded) {
    Bytes block;
    for (std::size_t k = 0; k < named.size(); ++k) {
        appendClean(block, [&] {
            Bytes entry = paddedName(text(d, named[k] ? 1 : 0, kNameWidth, true));
            return entry + code(d, !coded[k]);
        });
    }
    return block;
}

} // namespace

t6sim::SimMemory randomDeviceContents(std::uint32_t seed) {
    Dice d(seed);
    t6sim::SimMemory memory = t6sim::SimMemory::demo();

    Outputs outputs;
    memory.wirelessOutputs = wirelessOutputsBlock(d, outputs);

    const int armingCode = d.chance(50) ? outputs.pick(d, false, {}) : 0;
    Bytes block(t6sim::kConfigBlockMark);
    for (int type = 1; type <= 10; ++type) {
        if (d.chance(50))
            appendClean(block, [&] { return zoneRecord(d, type, outputs, armingCode); });
    }
    appendClean(block, [&] { return telephonesRecord(d); });
    appendClean(block, [&] { return dateTimeRecord(d); });
    appendClean(block, [&] { return optionsRecord(d, outputs, armingCode); });
    appendClean(block, [&] { return delaysRecord(d); });
    std::vector<bool> wiredActive(2);
    std::vector<bool> wirelessActive(6);
    block += thermoRecord(d, '#', wiredActive, outputs, armingCode);
    block += thermoRecord(d, '&', wirelessActive, outputs, armingCode);
    memory.configBlock = block;

    const std::vector<bool> anyEntry(10, false);
    memory.remoteControls = namedCodes(d, anyEntry, anyEntry);
    // An active wireless sensor needs its code. An inactive one is mostly still
    // named and coded, as the device keeps it after it was switched off.
    std::vector<bool> named(6);
    std::vector<bool> coded(6);
    for (std::size_t k = 0; k < 6; ++k) {
        named[k] = d.chance(70);
        coded[k] = named[k] || wirelessActive[k];
    }
    memory.thermoNames = namedCodes(d, named, coded);
    return memory;
}

} // namespace t6::test
