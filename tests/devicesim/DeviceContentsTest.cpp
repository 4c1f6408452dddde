// The generator of random device contents, checked against the layout of the
// blocks by a walker of its own: every block well formed, in the writer's
// order, free of the packet end FF FE, and every variation the round trip
// needs turning up somewhere over a few hundred seeds.
#include "support/DeviceContents.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using t6::test::randomDeviceContents;
using t6sim::SimMemory;

namespace {

constexpr std::uint32_t kSeeds = 300;

int at(const std::string& s, std::size_t i) {
    return static_cast<unsigned char>(s.at(i));
}

struct Slot {
    int time = 0; // 0 off, 65500 always on, otherwise seconds
    int output = 0;
};

struct ZoneRecord {
    int type = 0;
    std::string message;
    std::string flags; // input type, activation, 24-hour control
    std::array<Slot, 4> slots;
    int phones = 0;
};

struct Walked {
    std::vector<ZoneRecord> zones;
    std::vector<std::string> telephones;
    std::string dateTime, options, delays;
    std::vector<std::string> sensors; // two wired, then six wireless
};

// Walks the configuration block record by record in the order the
// configurator writes it; throws at the first byte that does not fit.
Walked walk(const std::string& b) {
    std::size_t i = 2;
    auto fixed = [&](int type, std::size_t length) {
        if (i >= b.size() || at(b, i) != type)
            throw std::runtime_error("record " + std::to_string(type) + " missing at " +
                                     std::to_string(i));
        if (i + length > b.size() || b[i + length - 1] != '\r')
            throw std::runtime_error("record " + std::to_string(type) + " of a wrong length");
        i += length;
        return b.substr(i - length + 1, length - 2);
    };
    if (b.compare(0, 2, "\x99\x99") != 0)
        throw std::runtime_error("no 99 99 mark");
    Walked w;
    while (i < b.size() && at(b, i) >= 1 && at(b, i) <= 10) {
        ZoneRecord z;
        z.type = at(b, i);
        if (!w.zones.empty() && z.type <= w.zones.back().type)
            throw std::runtime_error("zone records out of order");
        const std::size_t cr = b.find('\r', i + 1);
        if (cr == std::string::npos || cr + 17 > b.size())
            throw std::runtime_error("zone record cut short");
        z.message = b.substr(i + 1, cr - i - 1);
        z.flags = b.substr(cr + 1, 3);
        for (std::size_t s = 0; s < 4; ++s) {
            const std::size_t p = cr + 4 + 3 * s;
            z.slots[s] = {at(b, p) * 256 + at(b, p + 1), at(b, p + 2)};
        }
        z.phones = at(b, cr + 16);
        w.zones.push_back(z);
        i = cr + 17;
    }
    if (i >= b.size() || b[i] != '\x11')
        throw std::runtime_error("no telephones record");
    for (++i; i < b.size() && b[i] != '\r';) {
        const std::size_t slash = b.find('/', i);
        if (slash == std::string::npos)
            throw std::runtime_error("telephone without its slash");
        w.telephones.push_back(b.substr(i, slash - i));
        i = slash + 1;
    }
    ++i;
    w.dateTime = fixed(0x1C, 19);
    w.options = fixed(0x21, 19);
    w.delays = fixed(0x24, 14);
    const std::string wired = fixed(0x23, 20);
    const std::string wireless = fixed(0x26, 56);
    for (std::size_t k = 0; k < 2; ++k)
        w.sensors.push_back(wired.substr(9 * k, 9));
    for (std::size_t k = 0; k < 6; ++k)
        w.sensors.push_back(wireless.substr(9 * k, 9));
    if (i != b.size())
        throw std::runtime_error("bytes after the last record");
    return w;
}

Walked walkOrFail(const SimMemory& m, std::uint32_t seed) {
    try {
        return walk(m.configBlock);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "seed " << seed << ": " << e.what();
        return {};
    }
}

// The output codes a setting may name: the fixed outputs and the used
// wireless ones, a four-channel output by each of its channels.
std::set<int> namedOutputs(const std::string& outputs) {
    std::set<int> codes{1, 2, 3, 4};
    for (int n = 1; n <= 16; ++n) {
        const char type = outputs[14 * static_cast<std::size_t>(n - 1)];
        for (int k = 0; k < (type == '4' ? 4 : 1) && type != '0'; ++k)
            codes.insert(n + 4 + 32 * k);
    }
    return codes;
}

std::string nameIn(const std::string& block, std::size_t offset) {
    const std::string field = block.substr(offset, 10);
    return field.substr(0, field.find('\0'));
}

int temperature(const std::string& s, std::size_t i) {
    const int v = at(s, i);
    return v < 126 ? v : v - 256;
}

bool goodTemperature(const std::string& s, std::size_t i) {
    const int t = temperature(s, i);
    return t >= -55 && t <= 125 && t != 0;
}

bool flag(char c) {
    return c == '0' || c == '1';
}

bool digitsOnly(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

} // namespace

TEST(DeviceContents, SameSeedGivesSameBytesOtherSeedsOtherBytes) {
    EXPECT_EQ(randomDeviceContents(7), randomDeviceContents(7));
    EXPECT_NE(randomDeviceContents(7), randomDeviceContents(8));
    EXPECT_NE(randomDeviceContents(0).configBlock, randomDeviceContents(1).configBlock);
}

TEST(DeviceContents, BlocksHaveTheirSizesNamesAndNoPacketEnd) {
    const SimMemory demo = SimMemory::demo();
    for (std::uint32_t seed = 0; seed < kSeeds; ++seed) {
        const SimMemory m = randomDeviceContents(seed);
        SCOPED_TRACE("seed " + std::to_string(seed));
        ASSERT_EQ(m.wirelessOutputs.size(), t6sim::kWirelessOutputsSize);
        ASSERT_EQ(m.remoteControls.size(), t6sim::kRemoteControlsSize);
        ASSERT_EQ(m.thermoNames.size(), t6sim::kThermoNamesSize);
        EXPECT_EQ(m.keyTable, demo.keyTable);
        EXPECT_EQ(m.sensorLists, demo.sensorLists);
        EXPECT_EQ(m.attachedOutputs, demo.attachedOutputs);
        for (const std::string* block :
             {&m.wirelessOutputs, &m.configBlock, &m.remoteControls, &m.thermoNames})
            EXPECT_EQ(block->find("\xFF\xFE"), std::string::npos);

        // Names end at their first 0x00, only 0x00 follows, and no CR LF.
        auto checkName = [](const std::string& block, std::size_t offset) {
            const std::string name = nameIn(block, offset);
            EXPECT_EQ(block.substr(offset + name.size(), 10 - name.size()),
                      std::string(10 - name.size(), '\0'));
            EXPECT_EQ(name.find("\r\n"), std::string::npos);
        };
        std::set<std::string> usedNames;
        for (std::size_t e = 0; e < 224; e += 14) {
            const char type = m.wirelessOutputs[e];
            ASSERT_TRUE(type >= '0' && type <= '4');
            checkName(m.wirelessOutputs, e + 1);
            if (type == '0')
                continue;
            const std::string name = nameIn(m.wirelessOutputs, e + 1);
            EXPECT_FALSE(name.empty());
            EXPECT_TRUE(usedNames.insert(name).second) << "two used outputs named " << name;
            EXPECT_EQ(name.find("\x20\xEA\xE0\xED\xE0\xEB"), std::string::npos);
            EXPECT_NE(m.wirelessOutputs.substr(e + 11, 3), std::string(3, '\0'));
        }
        for (std::size_t e = 0; e < 130; e += 13)
            checkName(m.remoteControls, e);
        for (std::size_t e = 0; e < 78; e += 13)
            checkName(m.thermoNames, e);
    }
}

TEST(DeviceContents, ConfigBlockHoldsValidRecordsInTheWritersOrder) {
    for (std::uint32_t seed = 0; seed < kSeeds; ++seed) {
        const SimMemory m = randomDeviceContents(seed);
        SCOPED_TRACE("seed " + std::to_string(seed));
        const Walked w = walkOrFail(m, seed);
        if (w.sensors.empty())
            continue;
        const std::set<int> outputs = namedOutputs(m.wirelessOutputs);
        const int arming = at(w.options, 9);
        auto named = [&](int code) { return code == 0 || outputs.count(code) == 1; };
        EXPECT_TRUE(arming == 0 || outputs.count(arming) == 1);

        for (const ZoneRecord& z : w.zones) {
            EXPECT_TRUE(z.message.size() >= 1 && z.message.size() <= 25);
            EXPECT_EQ(z.message.find('\0'), std::string::npos);
            EXPECT_TRUE(z.type <= 4 ? z.flags[0] >= '1' && z.flags[0] <= '5' : z.flags[0] == '0');
            EXPECT_EQ(z.flags[1], '1');
            EXPECT_TRUE(flag(z.flags[2]));
            std::set<int> taken;
            for (const Slot& s : z.slots) {
                EXPECT_TRUE(s.time == 0 || s.time == 65500 || s.time <= 500 * 60 + 59);
                if (s.time == 0) {
                    EXPECT_EQ(s.output, 0);
                    continue;
                }
                EXPECT_TRUE(named(s.output)) << s.output;
                EXPECT_TRUE(s.output == 0 || s.output != arming);
                EXPECT_TRUE(s.output == 0 || taken.insert(s.output).second);
            }
            EXPECT_LE(z.phones, 0x1F);
        }

        ASSERT_EQ(w.telephones.size(), 5u);
        for (const std::string& t : w.telephones)
            EXPECT_TRUE(t == "7" || (t.size() >= 7 && t.size() <= 15 && digitsOnly(t))) << t;

        const std::string& dt = w.dateTime;
        EXPECT_TRUE(dt[2] == '.' && dt[5] == '.' && dt[8] == ';' && dt[11] == ':' && dt[14] == ':');
        const int day = std::stoi(dt.substr(0, 2));
        const int month = std::stoi(dt.substr(3, 2));
        EXPECT_TRUE(month >= 1 && month <= 12 && day >= 1 && day <= 31);
        EXPECT_LE(std::stoi(dt.substr(9, 2)), 23);

        const std::string& o = w.options;
        EXPECT_TRUE(o[0] >= '1' && o[0] <= '3');
        EXPECT_TRUE(at(o, 1) <= 0x1F && at(o, 2) <= 0x1F && at(o, 4) <= 0x1F);
        for (std::size_t f : {3, 5, 6, 7, 8, 10, 11})
            EXPECT_TRUE(flag(o[f])) << "options byte " << f + 1;
        EXPECT_TRUE(o[5] == '0' || o[4] != 0) << "external supply without the report";
        EXPECT_TRUE(o[12] == '1' || o[12] == '2');
        EXPECT_TRUE(at(o, 13) <= 10 && at(o, 14) <= 10);
        EXPECT_TRUE(named(at(o, 15)));
        EXPECT_TRUE(at(o, 15) == 0 || at(o, 15) != arming);
        EXPECT_TRUE(at(o, 16) == 0xFC || (at(o, 16) >= 1 && at(o, 16) <= 251));

        EXPECT_TRUE(at(w.delays, 0) <= 250 && at(w.delays, 1) <= 250);
        for (std::size_t f = 2; f < 12; ++f)
            EXPECT_TRUE(flag(w.delays[f]));

        for (std::size_t k = 0; k < 8; ++k) {
            const std::string& s = w.sensors[k];
            if (s[0] != '1') {
                EXPECT_EQ(s, "011011000");
                continue;
            }
            EXPECT_TRUE(goodTemperature(s, 1) && goodTemperature(s, 2));
            if (s[3] == '1') {
                EXPECT_TRUE(goodTemperature(s, 4) && goodTemperature(s, 5) && flag(s[6]));
                EXPECT_TRUE(named(at(s, 7)));
                EXPECT_TRUE(at(s, 7) == 0 || at(s, 7) != arming);
            } else {
                EXPECT_EQ(s.substr(3, 5), std::string("0110\0", 5));
            }
            EXPECT_LE(at(s, 8), 0x1F);
            if (k >= 2) { // an active wireless sensor has its code
                EXPECT_NE(m.thermoNames.substr(13 * (k - 2) + 10, 3), std::string(3, '\0'));
            }
        }
    }
}

TEST(DeviceContents, EveryVariationOccursOverTheSeeds) {
    std::map<std::string, int> seen;
    auto see = [&](const std::string& what, bool happened) { seen[what] += happened ? 1 : 0; };
    // Each of the values a one-character field may take, so that one never
    // seen is reported as well.
    auto seeEach = [&](const std::string& what, const std::string& values, char actual) {
        for (char v : values)
            see(what + v, actual == v);
    };
    for (std::uint32_t seed = 0; seed < kSeeds; ++seed) {
        const SimMemory m = randomDeviceContents(seed);
        const Walked w = walkOrFail(m, seed);
        if (w.sensors.empty())
            continue;
        for (std::size_t e = 0; e < 224; e += 14) {
            const char type = m.wirelessOutputs[e];
            const std::string name = nameIn(m.wirelessOutputs, e + 1);
            seeEach("output type ", "01234", type);
            see("used output named with ten bytes", type != '0' && name.size() == 10);
            see("unused output with a name and a code",
                type == '0' && !name.empty() &&
                    m.wirelessOutputs.substr(e + 11, 3) != std::string(3, '\0'));
            see("unused output without a code",
                type == '0' && m.wirelessOutputs.substr(e + 11, 3) == std::string(3, '\0'));
            see("name with Cyrillic",
                std::any_of(name.begin(), name.end(), [](char c) { return (c & 0xC0) == 0xC0; }));
            see("name with a control byte",
                std::any_of(name.begin(), name.end(), [](char c) { return c > 0 && c < 0x20; }));
            see("name with a lone CR", name.find('\r') != std::string::npos);
            see("name with a blank at an end",
                !name.empty() && (name[0] == ' ' || name.back() == ' '));
        }
        const int arming = at(w.options, 9);
        auto seeOutput = [&](const std::string& where, int code) {
            see(where + " on no output", code == 0);
            see(where + " on a fixed output", code >= 1 && code <= 4);
            see(where + " on a single-channel wireless output", code >= 5 && code < 32);
            see(where + " on a channel 2 to 4", code >= 32);
        };
        for (const ZoneRecord& z : w.zones) {
            seeEach("wired zone of input type ", "12345", z.type <= 4 ? z.flags[0] : ' ');
            see("wireless zone", z.type > 4);
            seeEach("24-hour control ", "01", z.flags[2]);
            see("message of 1 byte", z.message.size() == 1);
            see("message of 25 bytes", z.message.size() == 25);
            see("message with a blank at its end", z.message.back() == ' ');
            see("message with a line feed", z.message.find('\n') != std::string::npos);
            bool allZero = true;
            for (const Slot& s : z.slots) {
                allZero = allZero && s.time == 0 && s.output == 0;
                see("row always on", s.time == 65500);
                see("row of 500 min 59 s", s.time == 500 * 60 + 59);
                see("row timed", s.time > 0 && s.time < 65500);
                if (s.time != 0)
                    seeOutput("row", s.output);
            }
            see("zone without actions", allZero);
            see("zone with a row off among others",
                !allZero && std::any_of(z.slots.begin(), z.slots.end(),
                                        [](const Slot& s) { return s.time == 0; }));
        }
        see("unfilled telephone", w.telephones[0] == "7");
        see("telephone of 15 digits", w.telephones[1].size() == 15);
        seeEach("arming method ", "123", w.options[0]);
        seeEach("armed indicator ", "12", w.options[12]);
        see("external supply", w.options[5] == '1');
        see("no supply-voltage report", w.options[4] == 0);
        seeOutput("arming", arming);
        seeOutput("button 4", at(w.options, 15));
        see("button 4 toggles", at(w.options, 16) == 0xFC);
        see("button 4 for 251 s", at(w.options, 16) == 251);
        for (std::size_t k = 0; k < 8; ++k) {
            const std::string& s = w.sensors[k];
            const std::string kind = k < 2 ? "wired sensor" : "wireless sensor";
            see(kind + " inactive", s[0] == '0');
            see(kind + " without thermostat", s[0] == '1' && s[3] == '0');
            see(kind + " with thermostat", s[0] == '1' && s[3] == '1');
            if (s[0] == '1' && s[3] == '1') {
                seeOutput(kind, at(s, 7));
                // A reset puts every sensor's output on the siren, so the sensors
                // must not be taken for users of a siren switched at arming.
                see(kind + " regulating while the siren is switched at arming", arming == 1);
                seeEach("auto regulation ", "01", s[6]);
            }
            if (s[0] == '1') {
                see("temperature -55", temperature(s, 1) == -55);
                see("temperature 125", temperature(s, 2) == 125);
                see("temperature -1", at(s, 1) == 0xFF || at(s, 2) == 0xFF);
                see("temperature -2", at(s, 1) == 0xFE || at(s, 2) == 0xFE);
            }
            if (k >= 2) {
                const std::size_t e = 13 * (k - 2);
                see("inactive wireless sensor named and coded",
                    s[0] == '0' && !nameIn(m.thermoNames, e).empty() &&
                        m.thermoNames.substr(e + 10, 3) != std::string(3, '\0'));
            }
        }
        see("remote control without a name", m.remoteControls[0] == '\0');
        see("remote control without a code",
            m.remoteControls.substr(10, 3) == std::string(3, '\0'));
    }
    for (const auto& [what, count] : seen)
        EXPECT_GT(count, 0) << what;
}
