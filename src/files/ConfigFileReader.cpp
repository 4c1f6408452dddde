// Reading the configuration file. The whole file is taken apart into its
// sections first, and every line a section needs is checked on the way; only
// a file that reads to its end goes into the model, so a malformed one never
// leaves the window half-loaded.

#include <array>
#include <cstdint>
#include <span>
#include <utility>

#include "common/Cp1251.h"
#include "config/ConfigModel.h"
#include "config/FieldEncodings.h"
#include "config/PhoneMask.h"
#include "config/ZoneActions.h"
#include "files/ConfigFile.h"

namespace t6 {

namespace {

// What a line of a section must be.
enum class Line : std::uint8_t {
    Text,    // anything, up to the line end
    Char,    // at least one character
    Number,  // a decimal number
    Flags5,  // at least five flag characters
    Flags10, // at least ten flag characters
    Mask,    // one raw byte; may be empty
    Byte,    // one raw byte
    Output,  // the 14 raw bytes of a wireless output
};

using L = Line;

constexpr std::array<Line, 17> ZoneLines = {L::Text,   L::Text,   L::Text,   L::Text,   L::Number,
                                            L::Number, L::Number, L::Number, L::Number, L::Number,
                                            L::Number, L::Number, L::Number, L::Number, L::Number,
                                            L::Number, L::Mask};
constexpr std::array<Line, 8> SensorLines = {L::Byte,   L::Text, L::Text, L::Text,
                                             L::Number, L::Text, L::Text, L::Text};

// The lines of every section this reader knows, by section number.
std::vector<Line> layoutOf(int n) {
    auto repeat = [](std::span<const Line> part, int times, std::vector<Line> tail = {}) {
        std::vector<Line> v;
        for (int i = 0; i < times; ++i) {
            v.insert(v.end(), part.begin(), part.end());
            v.insert(v.end(), tail.begin(), tail.end());
        }
        return v;
    };
    if (n == 0)
        return std::vector<Line>(16, L::Output);
    if (n >= 1 && n <= 10)
        return {ZoneLines.begin(), ZoneLines.end()};
    if (n >= 11 && n <= 15)
        return {L::Text};
    switch (n) {
    case 20:
    case 37:
    case 38:
        return {L::Text};
    case 21:
        return {L::Flags5, L::Flags5};
    case 23:
        return repeat(SensorLines, 2);
    case 28:
    case 99:
        return {L::Text, L::Text};
    case 36:
        return {L::Text, L::Text, L::Flags10};
    case 39:
        return {L::Text, L::Text, L::Text, L::Byte};
    case 41:
        return {L::Char, L::Flags5};
    case 42:
    case 43:
    case 44:
    case 45:
        return {L::Char};
    case 100: {
        std::vector<Line> v(20, L::Text);
        v.insert(v.end(), {L::Byte, L::Text, L::Text});
        return v;
    }
    case 101:
        return repeat(SensorLines, 6, {L::Text, L::Text});
    default:
        return {};
    }
}

// A decimal number: optional blanks, an optional sign, digits, optional blanks.
std::optional<std::int32_t> decimal(std::string_view s) {
    std::size_t i = 0, e = s.size();
    while (i < e && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    while (e > i && (s[e - 1] == ' ' || s[e - 1] == '\t'))
        --e;
    bool negative = false;
    if (i < e && (s[i] == '-' || s[i] == '+'))
        negative = s[i++] == '-';
    if (i == e)
        return std::nullopt;
    std::int64_t v = 0;
    for (; i < e; ++i) {
        if (s[i] < '0' || s[i] > '9')
            return std::nullopt;
        v = v * 10 + (s[i] - '0');
        if (v > 2147483648LL)
            return std::nullopt;
    }
    v = negative ? -v : v;
    if (v > 2147483647LL)
        return std::nullopt;
    return static_cast<std::int32_t>(v);
}

// Lines of the file. A line ends at CR LF, or at LF in a file whose line ends
// were converted; which of the two is told by the end of the first line, as a
// raw byte further on may be a CR just before a converted line end. A raw line
// is taken by its length when its bytes are followed by the line end, so that
// raw CR, LF and 0x1A bytes stay in their field; otherwise it reads as a text
// line.
class LineReader {
public:
    struct Read {
        std::string_view text;
        bool ended = true; // false: the file ends in this line, before its line end
    };

    explicit LineReader(std::string_view data) : d_(data), end_(lineEndOf(data)) {}

    bool atEnd() const { return pos_ >= d_.size(); }
    // The number of the line read next, from 1.
    int nextLine() const { return line_ + 1; }

    std::optional<Read> text() {
        if (atEnd())
            return std::nullopt;
        ++line_;
        const std::size_t e = d_.find(end_, pos_);
        if (e == std::string_view::npos) {
            Read r{d_.substr(pos_), false};
            pos_ = d_.size();
            return r;
        }
        Read r{d_.substr(pos_, e - pos_), true};
        pos_ = e + end_.size();
        return r;
    }

    std::optional<Read> raw(std::size_t n) {
        if (atEnd())
            return std::nullopt;
        // A line that starts with its end is empty, whatever follows.
        if (n > 1 && d_.substr(pos_, end_.size()) == end_)
            return text();
        const std::size_t after = pos_ + n;
        if (after < d_.size() && d_.substr(after, end_.size()) == end_) {
            ++line_;
            Read r{d_.substr(pos_, n), true};
            pos_ = after + end_.size();
            return r;
        }
        return text();
    }

private:
    static std::string_view lineEndOf(std::string_view data) {
        const std::size_t lf = data.find('\n');
        return lf != std::string_view::npos && (lf == 0 || data[lf - 1] != '\r') ? "\n" : "\r\n";
    }

    std::string_view d_;
    std::string_view end_;
    std::size_t pos_ = 0;
    int line_ = 0;
};

struct Section {
    int number = 0;
    std::vector<std::string_view> lines;
};

struct Parsed {
    std::vector<Section> sections;
    std::optional<ConfigFileError> error;
};

Parsed parse(std::string_view bytes) {
    Parsed p;
    LineReader r(bytes);
    auto fail = [&p](int line, int section, ConfigFileFault f) {
        p.error = ConfigFileError{line, section, f};
        p.sections.clear();
        return std::move(p);
    };
    while (!r.atEnd()) {
        const int at = r.nextLine();
        const std::string_view l = r.text()->text;
        if (l.empty())
            return fail(at, -1, ConfigFileFault::EmptyLine);
        if (l.front() != '#')
            continue;
        auto n = decimal(l.substr(1, 3));
        if (!n)
            return fail(at, -1, ConfigFileFault::NotANumber);
        if (*n > 101)
            continue;
        const std::vector<Line> layout = layoutOf(*n);
        if (layout.empty())
            continue;
        Section s{*n, {}};
        s.lines.reserve(layout.size());
        for (Line kind : layout) {
            const int lineNo = r.nextLine();
            std::optional<LineReader::Read> read;
            switch (kind) {
            case L::Mask:
            case L::Byte:
                read = r.raw(1);
                break;
            case L::Output:
                read = r.raw(14);
                break;
            default:
                read = r.text();
                break;
            }
            // A section is whole only when its last line has its line end too.
            if (!read || !read->ended)
                return fail(lineNo, *n, ConfigFileFault::EndsTooEarly);
            const std::string_view v = read->text;
            const bool needsChar = kind == L::Char || kind == L::Byte || kind == L::Output;
            if (needsChar && v.empty())
                return fail(lineNo, *n, ConfigFileFault::EmptyLine);
            if (kind == L::Number && !decimal(v))
                return fail(lineNo, *n, ConfigFileFault::NotANumber);
            if ((kind == L::Flags5 && v.size() < 5) || (kind == L::Flags10 && v.size() < 10))
                return fail(lineNo, *n, ConfigFileFault::ShortFlagLine);
            s.lines.push_back(v);
        }
        p.sections.push_back(std::move(s));
    }
    return p;
}

// ---- Putting the sections into the model ----

class Loader {
public:
    Loader(ConfigModel& model, std::vector<std::string>& report)
        : m_(model), reg_(model.registry()), report_(report) {}

    void section(const Section& s) {
        const auto& l = s.lines;
        const int n = s.number;
        if (n == 0)
            outputs(l);
        else if (n <= 10)
            zone(n, l);
        else if (n <= 15)
            m_.setTelephone(n - 10, phoneFromDevice(l[0]));
        else if (n == 23)
            wiredSensors(l);
        else if (n == 100)
            remoteControls(l);
        else if (n == 101)
            wirelessSensors(l);
        else
            general(n, l);
    }

private:
    static bool is(std::string_view line, char c) { return line.size() == 1 && line[0] == c; }
    static unsigned byteOf(std::string_view line) {
        return line.empty() ? 0u : static_cast<unsigned char>(line[0]);
    }
    void setText(FieldRole role, std::string_view text, int unit = 0, bool wireless = false) {
        m_.setText(fieldIdOf(role, unit, 0, wireless), std::string(text));
    }
    std::optional<int> listPosition(std::string_view line) const {
        const auto p = decimal(line);
        if (!p || *p < 0 || *p >= m_.choiceList().size())
            return std::nullopt;
        return *p;
    }

    void outputs(const std::vector<std::string_view>& lines);
    void zone(int n, const std::vector<std::string_view>& lines);
    void rows(ZoneRef z, const std::vector<std::string_view>& lines);
    void sensor(SensorRef s, std::span<const std::string_view> lines);
    void wiredSensors(const std::vector<std::string_view>& lines);
    void wirelessSensors(const std::vector<std::string_view>& lines);
    void general(int n, const std::vector<std::string_view>& lines);
    void remoteControls(const std::vector<std::string_view>& lines);

    ConfigModel& m_;
    OutputUsageRegistry& reg_;
    std::vector<std::string>& report_;
};

void Loader::outputs(const std::vector<std::string_view>& lines) {
    for (int n = 1; n <= 16; ++n) {
        std::string_view l = lines[static_cast<std::size_t>(n - 1)];
        // The code first: "000000" is no code, and a used output without one
        // is given a new one as it is marked used.
        m_.setOutputCode(n, bytesToHex(l.size() > 11 ? l.substr(11, 3) : std::string_view()));
        std::string_view name = l.substr(1, 10);
        m_.setOutputName(n, std::string(name.substr(0, name.find('\0'))));
        const char type = l[0];
        if (type == '0') {
            m_.setOutputUsed(n, false);
        } else if (type >= '1' && type <= '4') {
            m_.setOutputType(n, type - '1');
            m_.setOutputUsed(n, true);
            const WirelessOutput& o = m_.config().wirelessOutputs[static_cast<std::size_t>(n - 1)];
            reg_.registerEntry("bpout_" + std::to_string(n), o.name, o.code, 0,
                               type == '4' ? 4 : 1);
        }
    }
}

void Loader::zone(int n, const std::vector<std::string_view>& l) {
    const ZoneRef z = n <= 4 ? wiredZone(n) : wirelessZone(n - 4);
    std::string tag = "#";
    tag += std::to_string(n);
    m_.setZoneMessage(z, std::string(l[0]));
    if (!z.wireless) {
        if (l[1].size() == 1 && l[1][0] >= '1' && l[1][0] <= '5') {
            m_.setZoneInputType(n, l[1][0] - '0');
        } else {
            m_.setZoneInputType(n, std::nullopt);
            report_.push_back(tag + (n == 1 ? "" : " ") + ru("Уровень Активации :=") +
                              std::string(l[1]));
        }
    }
    if (is(l[2], '1')) {
        m_.setZoneActive(z, true);
    } else {
        m_.setZoneActive(z, false);
        if (!is(l[2], '0'))
            report_.push_back(tag + ru(" Код Активации :=") + std::string(l[2]));
    }
    if (is(l[3], '1') || is(l[3], '0'))
        m_.setZoneControl24h(z, is(l[3], '1'));
    else
        report_.push_back(tag + ru("Уровень Активации :=") + std::string(l[3]));
    rows(z, l);
    const PhoneFlags phones = phonesOfMask(static_cast<PhoneMask>(byteOf(l[16])));
    for (int t = 1; t <= 5; ++t)
        m_.setZonePhone(z, t, phones[static_cast<std::size_t>(t - 1)]);
}

// The twelve action bytes, one decimal line each, go to the rows by the rule
// the device's zone records share.
void Loader::rows(ZoneRef z, const std::vector<std::string_view>& l) {
    ZoneActionBytes b{};
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] = static_cast<std::uint8_t>(static_cast<unsigned>(*decimal(l[4 + i])) & 0xFFu);
    applyZoneActionBytes(m_, z, b);
}

// Eight lines of a temperature sensor. An active sensor's mask always carries
// its activation in bit 7; the single "0" of a sensor saved inactive carries
// neither an activation nor a telephone.
void Loader::sensor(SensorRef s, std::span<const std::string_view> l) {
    const unsigned mask = byteOf(l[0]);
    const bool active = (mask & 0x80u) != 0;
    m_.setSensorActive(s, active);
    const PhoneFlags phones = phonesOfMask(static_cast<PhoneMask>(active ? mask : 0u));
    for (int t = 1; t <= 5; ++t) {
        const bool on = phones[static_cast<std::size_t>(t - 1)];
        // A wired sensor's telephones were cleared by the reset and are only ticked here.
        if (on || s.wireless)
            m_.setSensorPhone(s, t, on);
    }
    setText(FieldRole::SensorLowAlarm, l[1], s.number, s.wireless);
    setText(FieldRole::SensorHighAlarm, l[2], s.number, s.wireless);
    m_.setThermostat(s, is(l[3], '1'));
    m_.setSensorOutput(s, listPosition(l[4]));
    setText(FieldRole::SensorEconomy, l[5], s.number, s.wireless);
    setText(FieldRole::SensorComfort, l[6], s.number, s.wireless);
    m_.setAutoAfterDisarm(s, is(l[7], '1'));
}

void Loader::wiredSensors(const std::vector<std::string_view>& l) {
    for (int n = 1; n <= 2; ++n)
        sensor(wiredSensor(n), std::span(l).subspan(static_cast<std::size_t>(8 * (n - 1)), 8));
}

void Loader::wirelessSensors(const std::vector<std::string_view>& l) {
    for (int n = 1; n <= 6; ++n) {
        const auto part = std::span(l).subspan(static_cast<std::size_t>(10 * (n - 1)), 10);
        sensor(wirelessSensor(n), part.first(8));
        const std::string name(part[8]), code(part[9]);
        m_.setSensorName(n, name);
        m_.setSensorCode(n, code);
        if (!name.empty())
            reg_.registerEntry("btd" + std::to_string(n), name, code, 0, 1);
    }
}

void Loader::general(int n, const std::vector<std::string_view>& l) {
    auto onOff = [](std::string_view line) -> std::optional<bool> {
        if (is(line, '1'))
            return true;
        if (is(line, '0'))
            return false;
        return std::nullopt;
    };
    // A line read by its first character.
    auto firstOnOff = [](std::string_view line) -> std::optional<bool> {
        if (line[0] == '1')
            return true;
        if (line[0] == '0')
            return false;
        return std::nullopt;
    };
    switch (n) {
    case 20: {
        static constexpr std::string_view methods = "HLPT";
        const std::size_t at = l[0].size() == 1 ? methods.find(l[0][0]) : std::string_view::npos;
        if (at != std::string_view::npos) {
            m_.setArmingMethod(static_cast<int>(at));
        } else {
            m_.setArmingMethod(std::nullopt);
            report_.push_back(ru("#20 - Ошибка формата\r\nКод Активации =") + std::string(l[0]));
        }
        break;
    }
    case 21:
        for (int k = 1; k <= 5; ++k) {
            m_.setSmsOnArming(k, l[0][static_cast<std::size_t>(k - 1)] == '1');
            m_.setSmsOnDisarming(k, l[1][static_cast<std::size_t>(k - 1)] == '1');
        }
        break;
    case 36:
        setText(FieldRole::ArmingDelay, l[0]);
        setText(FieldRole::DisarmingDelay, l[1]);
        for (int k = 1; k <= 10; ++k)
            m_.setEntryDelay(k <= 4 ? wiredZone(k) : wirelessZone(k - 4),
                             l[2][static_cast<std::size_t>(k - 1)] == '1');
        break;
    case 28:
        m_.setClockFromPc(false);
        m_.setDeviceDate(std::string(l[0]));
        m_.setDeviceTime(std::string(l[1]));
        break;
    case 37:
        if (is(l[0], '1') || is(l[0], '2'))
            m_.setArmedIndicator(l[0][0] - '1');
        break;
    case 38:
        if (auto on = onOff(l[0]))
            m_.setArmingBeep(*on);
        break;
    case 39: {
        if (auto on = onOff(l[0]))
            m_.setExternalUps(*on);
        if (auto on = onOff(l[1]))
            m_.setMicAndSpeakerOnCall(*on);
        if (auto on = onOff(l[2]))
            m_.setStatusSmsOnCall(*on);
        const int b = static_cast<int>(byteOf(l[3]));
        if (b == 0) {
            m_.setArmingOutputOn(false);
            m_.setArmingOutput(std::nullopt);
        } else {
            m_.setArmingOutput(reg_.positionOfCode(b));
            m_.setArmingOutputOn(true);
        }
        break;
    }
    case 41:
        if (auto on = firstOnOff(l[0]))
            m_.setSupplyVoltageReport(*on);
        for (int k = 1; k <= 5; ++k)
            m_.setSupplyVoltagePhone(k, l[1][static_cast<std::size_t>(k - 1)] == '1');
        break;
    case 42:
    case 43:
    case 44:
        if (auto on = firstOnOff(l[0])) {
            if (n == 42)
                m_.setTimeInSms(*on);
            else if (n == 43)
                m_.setAlarmSms(*on);
            else
                m_.setAlarmCall(*on);
        }
        break;
    case 45:
        if (auto on = firstOnOff(l[0]))
            m_.setMessageLanguage(*on ? 1 : 0);
        break;
    case 99:
        setText(FieldRole::MicrophoneVolume, l[0]);
        setText(FieldRole::SpeakerVolume, l[1]);
        break;
    default:
        break;
    }
}

void Loader::remoteControls(const std::vector<std::string_view>& l) {
    for (int k = 1; k <= 10; ++k) {
        m_.setRemoteName(k, std::string(l[static_cast<std::size_t>(2 * k - 2)]));
        m_.setRemoteCode(k, std::string(l[static_cast<std::size_t>(2 * k - 1)]));
    }
    const int b = static_cast<int>(byteOf(l[20]));
    if (b == 0) {
        m_.setButton4On(false);
        m_.setButton4Output(std::nullopt);
    } else {
        m_.setButton4Output(reg_.positionOfCode(b));
        m_.setButton4On(true);
    }
    setText(FieldRole::Button4Seconds, l[21]);
    m_.setButton4Toggle(is(l[22], '1'));
}

} // namespace

std::string configFileFaultText(ConfigFileFault fault) {
    switch (fault) {
    case ConfigFileFault::EmptyLine:
        return ru("пустая строка");
    case ConfigFileFault::NotANumber:
        return ru("ожидается число");
    case ConfigFileFault::ShortFlagLine:
        return ru("строка флагов короче, чем нужно");
    case ConfigFileFault::EndsTooEarly:
        return ru("файл обрывается внутри раздела");
    case ConfigFileFault::NoSections:
        return ru("в файле нет ни одного раздела конфигурации");
    }
    return {};
}

ConfigFileLoad loadConfigFile(std::string_view bytes, ConfigModel& model) {
    ConfigFileLoad result;
    Parsed parsed = parse(bytes);
    if (parsed.error) {
        result.error = parsed.error;
        return result;
    }
    // Any file reads to its end when nothing in it looks like a section; one
    // that holds none of the configuration is not a configuration file.
    if (parsed.sections.empty()) {
        result.error = ConfigFileError{0, -1, ConfigFileFault::NoSections};
        return result;
    }
    model.resetConfig();
    // The reset leaves the wireless temperature sensors as they were. When the
    // file carries them, the ones the window showed must not count as users of
    // an output in the checks that run while the earlier sections are read:
    // they are switched off first, and the file then sets every one of them.
    for (const Section& s : parsed.sections) {
        if (s.number != 101)
            continue;
        for (int n = 1; n <= 6; ++n) {
            model.setThermostat(wirelessSensor(n), false);
            model.setSensorActive(wirelessSensor(n), false);
        }
        break;
    }
    Loader loader(model, result.reportLines);
    for (const Section& s : parsed.sections)
        loader.section(s);
    return result;
}

} // namespace t6
