#include "SimMemory.h"

#include <initializer_list>
#include <stdexcept>

namespace t6sim {

namespace {

std::string raw(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) {
        s += static_cast<char>(v);
    }
    return s;
}

std::string zeros(std::size_t n) {
    return std::string(n, '\0');
}

// A text padded with 00 bytes to the width of its field.
std::string padded(std::string_view utf8, std::size_t width) {
    std::string text = win1251(utf8);
    if (text.size() > width) {
        throw std::invalid_argument("a device text is longer than its field");
    }
    text.resize(width, '\0');
    return text;
}

// A name padded with 00 bytes to the ten bytes every name field has.
std::string name10(std::string_view utf8) {
    return padded(utf8, 10);
}

// One entry of the remote-control or sensor-name block: name, then code.
std::string namedCode(std::string_view utf8, std::initializer_list<int> code) {
    return name10(utf8) + raw(code);
}

// One entry of the wireless-outputs block: state digit, name, code.
std::string wirelessOutput(char state, std::string_view utf8, std::initializer_list<int> code) {
    std::string entry(1, state);
    entry += name10(utf8);
    entry += raw(code);
    return entry;
}

// A zone record: type byte, message, 0D, three flag characters (input type or
// "0", active, 24-hour control), four action slots (rows 4, 1, 2, 3, each two
// duration bytes and an output code), phone mask.
std::string zone(int type, std::string_view message, std::string_view flags,
                 std::initializer_list<int> slots, int phoneMask) {
    return raw({type}) + win1251(message) + "\r" + std::string(flags) + raw(slots) +
           raw({phoneMask});
}

std::string demoConfigBlock() {
    std::string block(kConfigBlockMark);

    // Wired zone 1: normally closed, row 4 relay 2 for 1 min, row 1 siren for
    // 3 min, telephones 1 and 2.
    block += zone(0x01, "Входная дверь", "210",
                  {0x00, 0x3C, 0x04, 0x00, 0xB4, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, 0x03);
    // Wired zone 2: normally open, no output actions, telephone 1.
    block += zone(0x02, "Окно кухни", "310", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0x01);
    // Wired zone 3 is not in use, so the device holds no record for it.
    // Wired zone 4: two-wire smoke detector under 24-hour control, row 1 siren
    // always on, row 2 channel 2 of wireless output 3 for 30 s, telephones 1-3.
    block += zone(0x04, "Пожар", "511",
                  {0x00, 0x00, 0x00, 0xFF, 0xDC, 0x01, 0x00, 0x1E, 0x27, 0x00, 0x00, 0x00}, 0x07);
    // Wireless zone 1: row 1 wireless output 1 for 10 s, telephone 1.
    block += zone(0x05, "Датчик движения", "010",
                  {0x00, 0x00, 0x00, 0x00, 0x0A, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, 0x01);

    // Telephones: two numbers, the other three unfilled.
    block += "\x11"
             "79161234567/79031112233/7/7/7/\r";
    // SMS password and PIN, which only the device sends.
    block += "\x1A"
             "12340000\r";
    block += "\x1C"
             "09.12.25;10:20:30\r";
    // Options: arming by high level; SMS on arming and disarming to telephone
    // 1; beep; supply voltage report to telephone 1; no external UPS; time in
    // SMS; no microphone and speaker on call; status SMS; wireless output 4
    // (a socket no zone uses) on at arming; alarm SMS and call; LED indicator;
    // volumes 5 and 7; remote button 4 switches relay 1 for 10 s.
    block += raw({0x21, 0x31, 0x01, 0x01, 0x31, 0x01, 0x30, 0x31, 0x30, 0x31, 0x08, 0x31, 0x31,
                  0x31, 0x05, 0x07, 0x03, 0x0A, 0x0D});
    // Delays: 30 s to arm, 20 s to disarm; entry delay on wired zone 1 and
    // wireless zone 1.
    block +=
        raw({0x24, 0x1E, 0x14, 0x31, 0x30, 0x30, 0x30, 0x31, 0x30, 0x30, 0x30, 0x30, 0x30, 0x0D});
    // The reserved record the device sends: type and one byte.
    block += raw({0x25, 0x30});
    // Wired sensor 1: alarm below 5 or above 30 °C, thermostat between 10 and
    // 21 °C on relay 2 with regulation after disarming, telephone 1. Sensor 2:
    // alarm below -10 or above 40 °C, no thermostat, telephone 2.
    block += raw({0x23, 0x31, 0x05, 0x1E, 0x31, 0x0A, 0x15, 0x31, 0x04, 0x01,
                  0x31, 0xF6, 0x28, 0x30, 0x31, 0x31, 0x30, 0x00, 0x02, 0x0D});
    // Wireless sensor 1: alarm below 15 or above 35 °C, no thermostat,
    // telephone 1. Sensors 2 to 6 are not in use.
    block += raw({0x26, 0x31, 0x0F, 0x23, 0x30, 0x31, 0x31, 0x30, 0x00, 0x01});
    for (int sensor = 2; sensor <= 6; ++sensor) {
        block += "011011000";
    }
    block += "\r";
    return block;
}

std::string demoWirelessOutputs() {
    std::string block;
    block += wirelessOutput('1', "Свет", {0x1A, 0x2B, 0x3C});
    block += wirelessOutput('0', "", {0x00, 0x00, 0x00});
    block += wirelessOutput('4', "Ворота", {0x12, 0xAB, 0x0F});
    block += wirelessOutput('3', "Обогрев", {0x21, 0x43, 0x65});
    for (int k = 5; k <= 16; ++k) {
        block += wirelessOutput('0', "", {0x00, 0x00, 0x00});
    }
    return block;
}

std::string demoRemoteControls() {
    std::string block;
    block += namedCode("Папа", {0x0A, 0x1B, 0x2C});
    block += namedCode("Мама", {0x0D, 0x0E, 0x0F});
    block += namedCode("Брелок Оли", {0x3D, 0x4E, 0x5F}); // ten bytes, no 00 after it
    block += zeros(7 * 13);
    return block;
}

std::string demoThermoNames() {
    return namedCode("Гостиная", {0x33, 0x44, 0x55}) + zeros(5 * 13);
}

// Three keys of the household, each a description of 12 bytes and the
// 8-byte identity of a contact key (family byte 01 first).
std::string demoKeyTable() {
    std::string block;
    block += padded("Иванов И.", 12) + raw({0x01, 0x2F, 0x8A, 0x6C, 0x0D, 0x00, 0x00, 0xE3});
    block += padded("Петрова А.", 12) + raw({0x01, 0x77, 0x3B, 0x91, 0x4E, 0x00, 0x00, 0x1A});
    block += padded("Сторож", 12) + raw({0x01, 0xB0, 0x5C, 0x2E, 0x88, 0x00, 0x00, 0xC6});
    block += zeros(7 * 20);
    return block;
}

// Wireless zone 1 has two sensors; the other zones have none.
std::array<std::string, kWirelessZones> demoSensorLists() {
    std::array<std::string, kWirelessZones> lists;
    lists[0] = name10("Прихожая") + raw({0x1A, 0x2B, 0x3C, 0x4D}) + name10("Спальня") +
               raw({0x5E, 0x6F, 0x70, 0x81}) + zeros(4 * 14);
    for (std::size_t zone = 1; zone < kWirelessZones; ++zone) {
        lists[zone] = zeros(kSensorListSize);
    }
    return lists;
}

} // namespace

SimMemory SimMemory::demo() {
    SimMemory memory;
    memory.wirelessOutputs = demoWirelessOutputs();
    memory.configBlock = demoConfigBlock();
    memory.remoteControls = demoRemoteControls();
    memory.thermoNames = demoThermoNames();
    memory.keyTable = demoKeyTable();
    memory.sensorLists = demoSensorLists();
    // The outputs of the wireless-outputs block are paired, by the type their
    // state digit gives, and switched off.
    memory.attachedOutputs = {{raw({0x1A, 0x2B, 0x3C}), SimOutput{1, false}},
                              {raw({0x12, 0xAB, 0x0F}), SimOutput{4, false}},
                              {raw({0x21, 0x43, 0x65}), SimOutput{3, false}}};
    return memory;
}

std::string win1251(std::string_view utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out += static_cast<char>(lead);
            continue;
        }
        if ((lead & 0xE0) != 0xC0 || i + 1 >= utf8.size()) {
            throw std::invalid_argument("win1251: not a Russian letter");
        }
        const auto next = static_cast<unsigned char>(utf8[++i]);
        const unsigned code = ((lead & 0x1Fu) << 6) | (next & 0x3Fu);
        if (code >= 0x410 && code <= 0x44F) { // А to я
            out += static_cast<char>(0xC0 + (code - 0x410));
        } else if (code == 0x401) { // Ё
            out += '\xA8';
        } else if (code == 0x451) { // ё
            out += '\xB8';
        } else {
            throw std::invalid_argument("win1251: not a Russian letter");
        }
    }
    return out;
}

} // namespace t6sim
