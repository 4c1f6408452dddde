// Reading the configuration file. The whole file is taken apart into its
// sections first, and every line a section needs is checked on the way; only
// a file that reads to its end goes into the model, so a malformed one never
// leaves the window half-loaded.

#include <algorithm>
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
#include "files/ConfigFileParse.h"

namespace t6 {

namespace {

// ---- Putting the sections into the model ----

// Reads the sections into the model through its setters, and notes what the
// file gives each field, so that a value the window does not take as given
// (a rule refused it, it is out of range) can be told afterwards.
class Loader {
public:
    Loader(ConfigModel& model, ConfigFileLoad& result)
        : m_(model), reg_(model.registry()), report_(result.reportLines),
          values_(result.fileValues) {}

    void section(const FileSection& s) {
        const auto& l = s.lines;
        const int n = s.number;
        if (n == 0)
            outputs(l);
        else if (n <= ZoneCount)
            zone(n, l);
        else if (n < FirstTelephoneSection + TelephoneCount)
            telephone(n - FirstTelephoneSection + 1, l[0]);
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
    // A number or text field set from its text, as the file writes it.
    void setText(FieldRole role, std::string_view text, int unit = 0, bool wireless = false) {
        const FieldId id = fieldIdOf(role, unit, 0, wireless);
        const bool number = fieldDescription(id).kind == FieldKind::Spin;
        values_.push_back({id,
                           number ? FileValue::Kind::Number : FileValue::Kind::Text,
                           false,
                           std::string(text),
                           {}});
        m_.setText(id, std::string(text));
    }
    void expectFlag(FieldId id, bool on) {
        values_.push_back({id, FileValue::Kind::Flag, on, {}, {}});
    }
    void expectText(FieldId id, std::string text) {
        values_.push_back({id, FileValue::Kind::Text, false, std::move(text), {}});
    }
    void expectChoice(FieldId id, std::optional<int> position) {
        values_.push_back({id, FileValue::Kind::Choice, false, {}, position});
    }
    // What the model holds now, noted as what the file gave (the rows, which
    // the twelve action bytes set through a rule shared with the device).
    void expectAsNow(FieldId id) {
        const FieldDescription& d = fieldDescription(id);
        switch (d.kind) {
        case FieldKind::Check:
            expectFlag(id, m_.flag(id));
            break;
        case FieldKind::Spin:
            values_.push_back({id, FileValue::Kind::Number, false, m_.text(id), {}});
            break;
        case FieldKind::Text:
            expectText(id, m_.text(id));
            break;
        case FieldKind::Choice:
        case FieldKind::Radio:
            expectChoice(id, m_.choice(id));
            break;
        }
    }
    void telephone(int n, std::string_view line) {
        const std::string number = phoneFromDevice(line);
        expectText(fieldIdOf(FieldRole::Telephone, n), number);
        m_.setTelephone(n, number);
    }
    std::optional<int> listPosition(std::string_view line) const {
        const auto p = fileDecimal(line);
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
    // The byte of an output switched on at arming or by button 4: 0 none.
    void outputByte(unsigned b, FieldRole onRole, FieldRole outputRole);

    ConfigModel& m_;
    OutputUsageRegistry& reg_;
    std::vector<std::string>& report_;
    std::vector<FileValue>& values_;
};

void Loader::outputs(const std::vector<std::string_view>& lines) {
    for (int n = 1; n <= WirelessOutputCount; ++n) {
        std::string_view l = lines[static_cast<std::size_t>(n - 1)];
        // The code first: "000000" is no code, and a used output without one
        // is given a new one as it is marked used.
        const std::string code = bytesToHex(l.size() > 11 ? l.substr(11, 3) : std::string_view());
        m_.setOutputCode(n, code);
        if (code != "000000")
            expectText(fieldIdOf(FieldRole::OutputCode, n), code);
        std::string_view name = l.substr(1, 10);
        m_.setOutputName(n, std::string(name.substr(0, name.find('\0'))));
        expectText(fieldIdOf(FieldRole::OutputName, n),
                   std::string(name.substr(0, name.find('\0'))));
        const char type = l[0];
        if (type == '0') {
            m_.setOutputUsed(n, false);
            expectFlag(fieldIdOf(FieldRole::OutputUsed, n), false);
        } else if (type >= '1' && type <= '4') {
            m_.setOutputType(n, type - '1');
            m_.setOutputUsed(n, true);
            expectFlag(fieldIdOf(FieldRole::OutputUsed, n), true);
            expectChoice(fieldIdOf(FieldRole::OutputType, n), type - '1');
            const WirelessOutput& o = m_.config().wirelessOutputs[static_cast<std::size_t>(n - 1)];
            reg_.registerEntry("bpout_" + std::to_string(n), o.name, o.code, 0,
                               type == '4' ? RelayChannelCount : 1);
        }
    }
}

void Loader::zone(int n, const std::vector<std::string_view>& l) {
    const ZoneRef z = n <= WiredZoneCount ? wiredZone(n) : wirelessZone(n - WiredZoneCount);
    std::string tag = "#";
    tag += std::to_string(n);
    const bool active = is(l[2], '1');
    auto field = [&z](FieldRole role, int sub = 0) {
        return fieldIdOf(role, z.number, sub, z.wireless);
    };
    m_.setZoneMessage(z, std::string(l[0]));
    // An inactive zone is not sent to the device: only its state counts.
    if (active)
        expectText(field(FieldRole::ZoneMessage), std::string(l[0]));
    expectFlag(field(FieldRole::ZoneActive), active);
    if (!z.wireless) {
        if (l[1].size() == 1 && l[1][0] >= '1' && l[1][0] <= '5') {
            m_.setZoneInputType(n, l[1][0] - '0');
            if (active)
                expectChoice(field(FieldRole::ZoneInputType), l[1][0] - '1');
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
    if (is(l[3], '1') || is(l[3], '0')) {
        m_.setZoneControl24h(z, is(l[3], '1'));
        if (active)
            expectFlag(field(FieldRole::ZoneControl24h), is(l[3], '1'));
    } else {
        report_.push_back(tag + ru("Уровень Активации :=") + std::string(l[3]));
    }
    rows(z, l);
    if (active) {
        for (int r = 1; r <= ZoneActionCount; ++r) {
            const FieldId enabled = field(FieldRole::RowEnabled, r);
            expectAsNow(enabled);
            if (!m_.flag(enabled))
                continue;
            for (FieldRole role : {FieldRole::RowAlwaysOn, FieldRole::RowMinutes,
                                   FieldRole::RowSeconds, FieldRole::RowOutput})
                expectAsNow(field(role, r));
        }
    }
    const PhoneFlags phones = phonesOfMask(static_cast<PhoneMask>(byteOf(l[16])));
    for (int t = 1; t <= TelephoneCount; ++t) {
        m_.setZonePhone(z, t, phones[static_cast<std::size_t>(t - 1)]);
        if (active)
            expectFlag(field(FieldRole::ZonePhone, t), phones[static_cast<std::size_t>(t - 1)]);
    }
}

// The twelve action bytes, one decimal line each, go to the rows by the rule
// the device's zone records share.
void Loader::rows(ZoneRef z, const std::vector<std::string_view>& l) {
    ZoneActionBytes b{};
    for (std::size_t i = 0; i < b.size(); ++i)
        b[i] = static_cast<std::uint8_t>(static_cast<unsigned>(*fileDecimal(l[4 + i])) & 0xFFu);
    applyZoneActionBytes(m_, z, b);
}

// Eight lines of a temperature sensor. An active sensor's mask always carries
// its activation in bit 7; the single "0" of a sensor saved inactive carries
// neither an activation nor a telephone.
void Loader::sensor(SensorRef s, std::span<const std::string_view> l) {
    const unsigned mask = byteOf(l[0]);
    const bool active = (mask & 0x80u) != 0;
    auto field = [&s](FieldRole role, int sub = 0) {
        return fieldIdOf(role, s.number, sub, s.wireless);
    };
    const std::size_t noted = values_.size();
    m_.setSensorActive(s, active);
    expectFlag(field(FieldRole::SensorActive), active);
    const PhoneFlags phones = phonesOfMask(static_cast<PhoneMask>(active ? mask : 0u));
    for (int t = 1; t <= TelephoneCount; ++t) {
        const bool on = phones[static_cast<std::size_t>(t - 1)];
        // A wired sensor's telephones were cleared by the reset and are only ticked here.
        if (on || s.wireless)
            m_.setSensorPhone(s, t, on);
        expectFlag(field(FieldRole::SensorPhone, t), on);
    }
    setText(FieldRole::SensorLowAlarm, l[1], s.number, s.wireless);
    setText(FieldRole::SensorHighAlarm, l[2], s.number, s.wireless);
    m_.setThermostat(s, is(l[3], '1'));
    expectFlag(field(FieldRole::SensorThermostat), is(l[3], '1'));
    m_.setSensorOutput(s, listPosition(l[4]));
    setText(FieldRole::SensorEconomy, l[5], s.number, s.wireless);
    setText(FieldRole::SensorComfort, l[6], s.number, s.wireless);
    m_.setAutoAfterDisarm(s, is(l[7], '1'));
    expectFlag(field(FieldRole::SensorAuto), is(l[7], '1'));
    if (is(l[3], '1'))
        expectChoice(field(FieldRole::SensorOutput), listPosition(l[4]));
    // The eight lines of an inactive sensor are a filler the device never gets.
    if (!active)
        values_.resize(noted + 1);
}

void Loader::wiredSensors(const std::vector<std::string_view>& l) {
    for (int n = 1; n <= WiredSensorCount; ++n)
        sensor(wiredSensor(n),
               std::span(l).subspan(static_cast<std::size_t>(SensorLineCount * (n - 1)),
                                    SensorLineCount));
}

void Loader::wirelessSensors(const std::vector<std::string_view>& l) {
    for (int n = 1; n <= WirelessSensorCount; ++n) {
        const auto part = std::span(l).subspan(
            static_cast<std::size_t>(WirelessSensorLineCount * (n - 1)), WirelessSensorLineCount);
        sensor(wirelessSensor(n), part.first(SensorLineCount));
        const std::string name(part[SensorLineCount]), code(part[SensorLineCount + 1]);
        m_.setSensorName(n, name);
        m_.setSensorCode(n, code);
        expectText(fieldIdOf(FieldRole::SensorName, n, 0, true), name);
        expectText(fieldIdOf(FieldRole::SensorCode, n, 0, true), code);
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
        expectChoice(fieldIdOf(FieldRole::ArmingMethod),
                     at != std::string_view::npos ? std::optional<int>(static_cast<int>(at))
                                                  : std::nullopt);
        if (at != std::string_view::npos) {
            m_.setArmingMethod(static_cast<int>(at));
        } else {
            m_.setArmingMethod(std::nullopt);
            report_.push_back(ru("#20 - Ошибка формата\r\nКод Активации =") + std::string(l[0]));
        }
        break;
    }
    case 21:
        for (int k = 1; k <= TelephoneCount; ++k) {
            const bool in = l[0][static_cast<std::size_t>(k - 1)] == '1';
            const bool out = l[1][static_cast<std::size_t>(k - 1)] == '1';
            m_.setSmsOnArming(k, in);
            m_.setSmsOnDisarming(k, out);
            expectFlag(fieldIdOf(FieldRole::SmsOnArming, 0, k), in);
            expectFlag(fieldIdOf(FieldRole::SmsOnDisarming, 0, k), out);
        }
        break;
    case 36:
        setText(FieldRole::ArmingDelay, l[0]);
        setText(FieldRole::DisarmingDelay, l[1]);
        for (int k = 1; k <= ZoneCount; ++k) {
            const ZoneRef z = k <= WiredZoneCount ? wiredZone(k) : wirelessZone(k - WiredZoneCount);
            const bool on = l[2][static_cast<std::size_t>(k - 1)] == '1';
            m_.setEntryDelay(z, on);
            expectFlag(fieldIdOf(FieldRole::EntryDelay, z.number, 0, z.wireless), on);
        }
        break;
    case 28:
        m_.setClockFromPc(false);
        m_.setDeviceDate(std::string(l[0]));
        m_.setDeviceTime(std::string(l[1]));
        expectText(fieldIdOf(FieldRole::DeviceDate), std::string(l[0]));
        expectText(fieldIdOf(FieldRole::DeviceTime), std::string(l[1]));
        break;
    case 37:
        if (is(l[0], '1') || is(l[0], '2')) {
            m_.setArmedIndicator(l[0][0] - '1');
            expectChoice(fieldIdOf(FieldRole::ArmedIndicator), l[0][0] - '1');
        }
        break;
    case 38:
        if (auto on = onOff(l[0])) {
            m_.setArmingBeep(*on);
            expectFlag(fieldIdOf(FieldRole::ArmingBeep), *on);
        }
        break;
    case 39: {
        if (auto on = onOff(l[0])) {
            m_.setExternalUps(*on);
            expectFlag(fieldIdOf(FieldRole::ExternalUps), *on);
        }
        if (auto on = onOff(l[1])) {
            m_.setMicAndSpeakerOnCall(*on);
            expectFlag(fieldIdOf(FieldRole::MicAndSpeakerOnCall), *on);
        }
        if (auto on = onOff(l[2])) {
            m_.setStatusSmsOnCall(*on);
            expectFlag(fieldIdOf(FieldRole::StatusSmsOnCall), *on);
        }
        outputByte(byteOf(l[3]), FieldRole::ArmingOutputOn, FieldRole::ArmingOutput);
        break;
    }
    case 41:
        if (auto on = firstOnOff(l[0])) {
            m_.setSupplyVoltageReport(*on);
            expectFlag(fieldIdOf(FieldRole::SupplyVoltageReport), *on);
        }
        for (int k = 1; k <= TelephoneCount; ++k) {
            const bool on = l[1][static_cast<std::size_t>(k - 1)] == '1';
            m_.setSupplyVoltagePhone(k, on);
            expectFlag(fieldIdOf(FieldRole::SupplyVoltagePhone, 0, k), on);
        }
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
            expectFlag(fieldIdOf(n == 42   ? FieldRole::TimeInSms
                                 : n == 43 ? FieldRole::AlarmSms
                                           : FieldRole::AlarmCall),
                       *on);
        }
        break;
    case 45:
        if (auto on = firstOnOff(l[0])) {
            m_.setMessageLanguage(*on ? 1 : 0);
            expectChoice(fieldIdOf(FieldRole::MessageLanguage), *on ? 1 : 0);
        }
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
    for (int k = 1; k <= RemoteControlCount; ++k) {
        const std::string name(l[static_cast<std::size_t>(2 * k - 2)]);
        const std::string code(l[static_cast<std::size_t>(2 * k - 1)]);
        m_.setRemoteName(k, name);
        m_.setRemoteCode(k, code);
        expectText(fieldIdOf(FieldRole::RemoteName, k), name);
        expectText(fieldIdOf(FieldRole::RemoteCode, k), code);
    }
    // Button 4 after the remote controls: its output byte, its time, its toggle.
    const std::size_t button = 2 * RemoteControlCount;
    outputByte(byteOf(l[button]), FieldRole::Button4On, FieldRole::Button4Output);
    setText(FieldRole::Button4Seconds, l[button + 1]);
    m_.setButton4Toggle(is(l[button + 2], '1'));
    expectFlag(fieldIdOf(FieldRole::Button4Toggle), is(l[button + 2], '1'));
}

void Loader::outputByte(unsigned b, FieldRole onRole, FieldRole outputRole) {
    const bool arming = onRole == FieldRole::ArmingOutputOn;
    const std::optional<int> position =
        b == 0 ? std::nullopt : reg_.positionOfCode(static_cast<int>(b));
    // Off first and then no output; or the output first and then on, so that
    // the arming check of the tick box sees the output it is to switch on.
    auto on = [&](bool v) { arming ? m_.setArmingOutputOn(v) : m_.setButton4On(v); };
    auto output = [&](std::optional<int> p) {
        arming ? m_.setArmingOutput(p) : m_.setButton4Output(p);
    };
    if (b == 0) {
        on(false);
        output(std::nullopt);
    } else {
        output(position);
        on(true);
    }
    expectFlag(fieldIdOf(onRole), b != 0);
    if (b != 0)
        expectChoice(fieldIdOf(outputRole), position);
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
    case ConfigFileFault::NotWindows1251:
        return ru("текст в кодировке UTF-8, а не Windows-1251: файл сохранён заново другой "
                  "программой");
    case ConfigFileFault::WrongWidth:
        return ru("строка байтов не той длины: файл изменён или сохранён в другой кодировке");
    }
    return {};
}

ConfigFileLoad loadConfigFile(std::string_view bytes, ConfigModel& model) {
    ConfigFileLoad result;
    ParsedFile parsed = parseConfigFile(bytes);
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
    for (const FileSection& s : parsed.sections) {
        if (s.number != 101)
            continue;
        for (int n = 1; n <= WirelessSensorCount; ++n) {
            model.setThermostat(wirelessSensor(n), false);
            model.setSensorActive(wirelessSensor(n), false);
        }
        break;
    }
    Loader loader(model, result);
    for (const FileSection& s : parsed.sections)
        loader.section(s);
    // Sections every file of this format holds: without one, its fields keep
    // the values of the reset, which a write would send.
    for (int n :
         {0, 11, 12, 13, 14, 15, 20, 21, 36, 28, 37, 38, 39, 41, 42, 43, 44, 45, 99, 100, 101}) {
        const bool present = std::any_of(parsed.sections.begin(), parsed.sections.end(),
                                         [n](const FileSection& s) { return s.number == n; });
        if (!present)
            result.missingSections.push_back(n);
    }
    return result;
}

} // namespace t6
