// A few hundred random configurations that the window's rules allow: written
// as the device's blocks, read into a model reset as a read resets it, and
// written again, they give the same bytes.

#include <algorithm>
#include <random>

#include "BlockFixture.h"
#include "config/FixedBlocks.h"

namespace t6::test {
namespace {

struct DeviceBlocks {
    Bytes outputs, config, remotes, names;
    bool operator==(const DeviceBlocks&) const = default;
};

DeviceBlocks encodeAll(const ConfigModel& m) {
    return {encodeWirelessOutputsBlock(m).bytes, encodeConfigBlock(m),
            encodeRemoteControlsBlock(m).bytes, encodeThermoNamesBlock(m).bytes};
}

class RandomConfig {
public:
    RandomConfig(ConfigModel& model, std::uint32_t seed) : m_(model), rng_(seed) {}

    void fill() {
        outputs();
        arming_ = chance(30) ? std::optional<int>(below(m_.choiceList().size())) : std::nullopt;
        for (int n = 1; n <= 4; ++n)
            zone(wiredZone(n));
        for (int n = 1; n <= 6; ++n)
            zone(wirelessZone(n));
        general();
        for (int n = 1; n <= 2; ++n)
            sensor(wiredSensor(n));
        for (int n = 1; n <= 6; ++n) {
            sensor(wirelessSensor(n));
            m_.setSensorName(n, text(10));
            m_.setSensorCode(n, code());
        }
        for (int k = 1; k <= 10; ++k) {
            m_.setRemoteName(k, text(10));
            m_.setRemoteCode(k, code());
        }
        // Last, on an output nothing else chooses, as the arming rule requires.
        if (arming_) {
            m_.setArmingOutput(arming_);
            m_.setArmingOutputOn(true);
        }
    }

private:
    int between(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    int below(int n) { return between(0, n - 1); }
    bool chance(int percent) { return below(100) < percent; }
    bool coin() { return chance(50); }
    // Up to max bytes, without 0x00 and 0x0D.
    std::string text(int max) {
        std::string s(static_cast<std::size_t>(between(0, max)), ' ');
        for (char& ch : s)
            ch = static_cast<char>(between(0x20, 0xFF));
        return s;
    }
    // Up to max Cyrillic letters.
    std::string letters(int max) {
        std::string s(static_cast<std::size_t>(between(0, max)), ' ');
        for (char& ch : s)
            ch = static_cast<char>(between(0xC0, 0xFF));
        return s;
    }
    std::string code() {
        static const char digits[] = "0123456789abcdefABCDEF";
        std::string s(static_cast<std::size_t>(2 * between(0, 3)), '0');
        for (char& ch : s)
            ch = digits[below(22)];
        return s;
    }
    std::optional<int> output() {
        if (chance(10))
            return std::nullopt;
        int p;
        do
            p = below(m_.choiceList().size());
        while (p == arming_);
        return p;
    }
    int temperature() { return between(-55, 125); }

    void outputs() {
        std::vector<int> order;
        for (int k = 1; k <= 16; ++k) {
            m_.setOutputType(k, below(4));
            // Names are unique, as the name rule keeps them: each begins with its own letter.
            m_.setOutputName(k, static_cast<char>('A' + k - 1) + letters(9));
            const bool used = chance(40);
            std::string c = used || coin() ? code() : "";
            if (used && c.size() < 6)
                c = "a1b2c" + std::to_string(k % 10);
            m_.setOutputCode(k, c);
            if (used) {
                m_.setOutputUsed(k, true);
                order.push_back(k);
            }
        }
        // Registered in any order: positions differ from the reader's, codes do not.
        std::shuffle(order.begin(), order.end(), rng_);
        for (int k : order) {
            const WirelessOutput& o = m_.config().wirelessOutputs[static_cast<std::size_t>(k - 1)];
            m_.registry().registerEntry("bpout_" + std::to_string(k), o.name, o.code, 0,
                                        o.type == FourChannelRelay ? 4 : 1);
        }
    }

    void zone(ZoneRef z) {
        if (!chance(60))
            return;
        m_.setZoneActive(z, true);
        m_.setZoneMessage(z, text(25));
        if (!z.wireless)
            m_.setZoneInputType(z.number, between(1, 5));
        m_.setZoneControl24h(z, coin());
        for (int r = 1; r <= 4; ++r) {
            m_.setRowEnabled(z, r, coin());
            m_.setRowAlwaysOn(z, r, chance(20));
            const int minutes = between(0, 500);
            m_.setRowMinutes(z, r, minutes);
            // 0:00 is read back as a row switched off.
            m_.setRowSeconds(z, r, between(minutes == 0 ? 1 : 0, 59));
            m_.setRowOutput(z, r, output());
        }
        for (int t = 1; t <= 5; ++t)
            m_.setZonePhone(z, t, coin());
        m_.setEntryDelay(z, coin());
    }

    void general() {
        for (int t = 1; t <= 5; ++t) {
            std::string phone = "+7";
            if (coin())
                for (int i = between(1, 12); i > 0; --i)
                    phone += static_cast<char>('0' + below(10));
            m_.setTelephone(t, phone);
        }
        auto two = [this](int max) {
            const int v = between(0, max);
            return std::string(1, static_cast<char>('0' + v / 10)) +
                   static_cast<char>('0' + v % 10);
        };
        m_.setDeviceDate(two(31) + "." + two(12) + "." + two(99));
        // The computer's time format may leave out the hour's leading zero.
        std::string hour = two(23);
        if (hour[0] == '0' && coin())
            hour.erase(0, 1);
        m_.setDeviceTime(hour + ":" + two(59) + ":" + two(59));
        m_.setArmingMethod(chance(20) ? std::nullopt : std::optional<int>(below(3)));
        m_.setArmedIndicator(chance(20) ? std::nullopt : std::optional<int>(below(2)));
        for (int t = 1; t <= 5; ++t) {
            m_.setSmsOnArming(t, coin());
            m_.setSmsOnDisarming(t, coin());
        }
        m_.setSupplyVoltageReport(coin());
        if (m_.config().supplyVoltageReport)
            for (int t = 1; t <= 5; ++t)
                m_.setSupplyVoltagePhone(t, coin());
        m_.setArmingBeep(coin());
        m_.setExternalUps(coin());
        m_.setTimeInSms(coin());
        m_.setMicAndSpeakerOnCall(coin());
        m_.setStatusSmsOnCall(coin());
        m_.setAlarmSms(coin());
        m_.setAlarmCall(coin());
        m_.setMicrophoneVolume(between(0, 10));
        m_.setSpeakerVolume(between(0, 10));
        m_.setButton4Output(output());
        m_.setButton4On(coin());
        m_.setButton4Toggle(coin());
        m_.setButton4Seconds(between(1, 251));
        m_.setArmingDelay(between(0, 250));
        m_.setDisarmingDelay(between(0, 250));
    }

    void sensor(SensorRef s) {
        m_.setSensorActive(s, coin());
        m_.setLowAlarm(s, temperature());
        m_.setHighAlarm(s, temperature());
        m_.setSensorOutput(s, output());
        m_.setThermostat(s, coin());
        m_.setEconomyTemp(s, temperature());
        m_.setComfortTemp(s, temperature());
        m_.setAutoAfterDisarm(s, m_.config().sensor(s).thermostat && coin());
        for (int t = 1; t <= 5; ++t)
            m_.setSensorPhone(s, t, coin());
    }

    ConfigModel& m_;
    std::mt19937 rng_;
    std::optional<int> arming_;
};

class BlockRoundTripTest : public BlockTest {
protected:
    // The read's order and modes: outputs, configuration block, remote
    // controls, sensor names.
    void readInto(ConfigModel& target, ExchangeModeValue& targetMode, const DeviceBlocks& b) {
        NullBlockLog quiet;
        targetMode = ExchangeMode::ReadOutputs;
        target.resetConfig();
        ASSERT_TRUE(decodeWirelessOutputsBlock(target, ExactBytes(b.outputs).view(), quiet));
        targetMode = ExchangeMode::ReadBlock;
        ASSERT_TRUE(scanConfigBlock(target, ExactBytes(b.config).view(), quiet).complete);
        targetMode = ExchangeMode::ReadRemotes;
        ASSERT_TRUE(decodeRemoteControlsBlock(target, ExactBytes(b.remotes).view()));
        targetMode = ExchangeMode::ReadThermoNames;
        ASSERT_TRUE(decodeThermoNamesBlock(target, ExactBytes(b.names).view()));
        targetMode = ExchangeMode::IdleAfterOperation;
    }
};

TEST_F(BlockRoundTripTest, RandomConfigurationsReadBackToTheSameBytes) {
    ScriptedPrompts targetPrompts;
    ScriptedRandom targetRandom;
    ExchangeModeValue targetMode = ExchangeMode::Idle;
    ConfigModel target(
        targetPrompts, targetRandom, [&] { return ExchangeMode::modelContextOf(targetMode); },
        [this] { return now; });
    target.startUp();

    for (std::uint32_t seed = 1; seed <= 300; ++seed) {
        reset();
        RandomConfig(model, seed).fill();
        ASSERT_TRUE(prompts.shown.empty()) << "seed " << seed << ": " << prompts.lastUtf8();
        const DeviceBlocks written = encodeAll(model);
        ASSERT_EQ(written.outputs.size(), 224u) << seed;
        readInto(target, targetMode, written);
        const DeviceBlocks again = encodeAll(target);
        ASSERT_EQ(hexForm(again.config), hexForm(written.config)) << "seed " << seed;
        ASSERT_EQ(again, written) << "seed " << seed;
        ASSERT_TRUE(targetPrompts.shown.empty())
            << "seed " << seed << ": " << targetPrompts.lastUtf8();
    }
}

} // namespace
} // namespace t6::test
