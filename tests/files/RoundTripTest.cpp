// Save, load, save again: the same bytes, for many random configurations
// made the way a user makes them.

#include "FilesFixture.h"

#include <algorithm>
#include <cstdio>

namespace t6::test {
namespace {

class Generator {
public:
    Generator(ConfigModel& m, std::uint32_t seed) : m_(m), rng_(seed) {}

    void run() {
        outputs();
        for (int t = 1; t <= 5; ++t)
            m_.setTelephone(t, chance(3) ? "+7" : "+7" + digits(10));
        for (int n = 1; n <= 4; ++n)
            zone(wiredZone(n));
        for (int n = 1; n <= 6; ++n)
            zone(wirelessZone(n));
        for (int n = 1; n <= 2; ++n)
            sensor(wiredSensor(n));
        for (int n = 1; n <= 6; ++n)
            sensor(wirelessSensor(n));
        general();
    }

private:
    int upTo(int n) { return static_cast<int>(rng_() % static_cast<std::uint32_t>(n + 1)); }
    bool chance(int oneIn) { return rng_() % static_cast<std::uint32_t>(oneIn) == 0; }
    bool coin() { return chance(2); }
    std::string digits(int n) {
        std::string s;
        for (int i = 0; i < n; ++i)
            s.push_back(static_cast<char>('0' + upTo(9)));
        return s;
    }
    // Windows-1251 text without line ends; now and then a lone control byte.
    std::string text(int maxLength) {
        std::string s;
        const int n = upTo(maxLength);
        for (int i = 0; i < n; ++i) {
            int b = 0x20 + upTo(0xDF);
            if (chance(40))
                b = chance(2) ? 0x1A : 0x09;
            s.push_back(static_cast<char>(b));
        }
        return s;
    }
    // Six hexadecimal digits, now and then with the bytes CR, LF and 0x1A in them.
    std::string code() {
        static const char* special[] = {"0D", "0A", "1A", "00", "FF"};
        std::string s;
        for (int i = 0; i < 3; ++i) {
            if (chance(4)) {
                s += special[upTo(4)];
            } else {
                char buf[3];
                std::snprintf(buf, sizeof buf, "%02X", upTo(255));
                s += buf;
            }
        }
        return s == "000000" ? "000001" : s;
    }
    std::optional<int> anyOutput() {
        if (chance(12))
            return std::nullopt;
        return upTo(m_.choiceList().size() - 1);
    }

    void outputs() {
        // Taken into use in a random order, so the list is not in number order.
        std::vector<int> order(16);
        for (int i = 0; i < 16; ++i)
            order[static_cast<std::size_t>(i)] = i + 1;
        std::shuffle(order.begin(), order.end(), rng_);
        for (int n : order) {
            m_.setOutputType(n, upTo(3));
            if (coin())
                m_.setOutputCode(n, code());
            if (chance(3))
                continue;
            // Unique names of up to ten bytes, some without a letter after the number.
            m_.setOutputName(n, text(7) + "#" + std::to_string(n));
            if (chance(4))
                continue; // named but not in use
            m_.setOutputUsed(n, true);
            m_.leaveOutputName(n);
        }
    }

    void zone(ZoneRef z) {
        if (chance(3))
            return;
        m_.setZoneActive(z, true);
        m_.setZoneMessage(z, text(25));
        if (!z.wireless)
            m_.setZoneInputType(z.number, 1 + upTo(4));
        m_.setZoneControl24h(z, coin());
        for (int t = 1; t <= 5; ++t)
            m_.setZonePhone(z, t, coin());
        m_.setEntryDelay(z, coin());
        for (int r = 1; r <= 4; ++r) {
            if (coin())
                continue;
            m_.setRowEnabled(z, r, true);
            m_.chooseRowOutput(z, r, anyOutput());
            if (chance(4)) {
                m_.setRowAlwaysOn(z, r, true);
            } else {
                // An enabled row runs for at least one second.
                m_.setRowMinutes(z, r, upTo(500));
                m_.setRowSeconds(z, r, upTo(59));
                if (m_.config().action(z, r).minutes == 0 && m_.config().action(z, r).seconds == 0)
                    m_.setRowSeconds(z, r, 1);
            }
        }
    }

    int temperature() {
        const int t = upTo(180) - 55;
        return t == 0 ? 7 : t;
    }

    void sensor(SensorRef s) {
        if (s.wireless && coin()) {
            m_.setSensorName(s.number, text(10));
            m_.setSensorCode(s.number, code());
        }
        if (chance(3))
            return;
        m_.setSensorActive(s, true);
        m_.setLowAlarm(s, temperature());
        m_.setHighAlarm(s, temperature());
        for (int t = 1; t <= 5; ++t)
            m_.setSensorPhone(s, t, coin());
        if (coin()) {
            m_.setThermostat(s, true);
            m_.setEconomyTemp(s, temperature());
            m_.setComfortTemp(s, temperature());
            m_.setAutoAfterDisarm(s, coin());
        }
        m_.chooseSensorOutput(s, anyOutput());
    }

    void general() {
        m_.setDeviceDate(digits(2) + "." + digits(2) + "." + digits(2));
        m_.setDeviceTime(text(8));
        m_.setArmingDelay(upTo(250));
        m_.setDisarmingDelay(upTo(250));
        m_.setArmingMethod(chance(8) ? std::nullopt : std::optional<int>(upTo(2)));
        for (int t = 1; t <= 5; ++t) {
            m_.setSmsOnArming(t, coin());
            m_.setSmsOnDisarming(t, coin());
        }
        m_.setSupplyVoltageReport(coin());
        for (int t = 1; t <= 5; ++t)
            m_.setSupplyVoltagePhone(t, coin());
        m_.setExternalUps(coin());
        m_.setTimeInSms(coin());
        m_.setArmingBeep(coin());
        m_.setAlarmSms(coin());
        m_.setAlarmCall(coin());
        m_.setStatusSmsOnCall(coin());
        m_.setMicAndSpeakerOnCall(coin());
        m_.setMicrophoneVolume(upTo(10));
        m_.setSpeakerVolume(upTo(10));
        m_.setArmedIndicator(chance(8) ? std::nullopt : std::optional<int>(upTo(1)));
        m_.setMessageLanguage(chance(8) ? std::nullopt : std::optional<int>(upTo(1)));
        for (int k = 1; k <= 10; ++k) {
            m_.setRemoteName(k, text(10));
            m_.setRemoteCode(k, coin() ? code() : "");
        }
        // The user's way: choose, then tick, so that the checks run.
        m_.chooseArmingOutput(anyOutput());
        m_.setArmingOutputOn(coin());
        m_.chooseButton4Output(anyOutput());
        m_.setButton4On(coin());
        m_.setButton4Toggle(coin());
        m_.setButton4Seconds(1 + upTo(250));
    }

    ConfigModel& m_;
    std::mt19937 rng_;
};

// Where two files part, with the bytes around it, for a readable failure.
std::string firstDifference(const Bytes& a, const Bytes& b) {
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i])
        ++i;
    const std::size_t from = a.rfind("\r\n#", i) == Bytes::npos ? 0 : a.rfind("\r\n#", i) + 2;
    return "at byte " + std::to_string(i) + ", section from " + std::to_string(from) + ":\n" +
           hexForm(a.substr(from, i - from + 24)) + "\n" + hexForm(b.substr(from, i - from + 24));
}

TEST_F(FilesTest, SaveLoadSaveGivesTheSameBytes) {
    // The file is loaded into a second window that held something else.
    ScriptedPrompts otherPrompts;
    CountingRandom otherRandom;
    ExchangeModeValue otherMode = ExchangeMode::Idle;
    ConfigModel other{otherPrompts, otherRandom,
                      [&] { return ExchangeMode::modelContextOf(otherMode); },
                      [this] { return clock.localNow(); }};
    other.startUp();
    int withUsedOutputs = 0, withActiveSensors = 0, withInactiveNamed = 0;
    for (std::uint32_t seed = 1; seed <= 1000; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        ConfigModel m{prompts, random, [] { return ModelContext::Editing; },
                      [this] { return clock.localNow(); }};
        m.startUp();
        Generator(m, seed).run();
        const Bytes first = saveConfigFile(m, clock.localNow());

        otherMode = ExchangeMode::LoadingFile;
        const ConfigFileLoad r = loadConfigFile(first, other);
        if (!r.error)
            refreshAfterLoad(other);
        otherMode = ExchangeMode::Idle;
        ASSERT_FALSE(r.error) << "line " << r.error->line;
        // A file of this program is taken whole: nothing missing, nothing refused.
        EXPECT_TRUE(r.missingSections.empty());
        for (const std::string& line : loadChangeReport(r, loadChanges(r, other)))
            ADD_FAILURE() << cp1251ToUtf8(line);
        const Bytes second = saveConfigFile(other, clock.localNow());
        ASSERT_TRUE(second == first) << firstDifference(first, second);
        // Whether a wireless sensor is active or not, the device holds its name and code.
        for (std::size_t k = 0; k < 6; ++k) {
            const WirelessThermoSensor& a = m.config().wirelessThermoSensors[k];
            const WirelessThermoSensor& b = other.config().wirelessThermoSensors[k];
            ASSERT_EQ(hexForm(b.name), hexForm(a.name)) << "sensor " << k + 1;
            ASSERT_EQ(b.code, a.code) << "sensor " << k + 1;
            withInactiveNamed += !a.active && !a.name.empty();
        }

        withUsedOutputs += m.choiceList().size() > 4;
        withActiveSensors += m.config().thermoSensors[0].active;
    }
    EXPECT_GT(withUsedOutputs, 900);
    EXPECT_GT(withActiveSensors, 500);
    EXPECT_GT(withInactiveNamed, 300);
    EXPECT_TRUE(otherPrompts.shown.empty()) << otherPrompts.lastUtf8();
}

} // namespace
} // namespace t6::test
