// Writing the configuration file: the sections in their fixed order, built
// in memory from the model.

#include <algorithm>
#include <cstdint>
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

constexpr std::size_t NameBytes = NameLength;
constexpr std::size_t CodeBytes = CodeLength / 2;

// A character of a half-typed code counts as 0, so that the line keeps its length.
int hexValue(char c) {
    return std::max(hexDigit(c), 0);
}

// The three code bytes of a wireless output: its hexadecimal digits taken in
// pairs, padded with 0x00. The line keeps its 14 bytes whatever the code holds.
std::string codeBytes(const std::string& code) {
    std::string out;
    for (std::size_t i = 0; i < code.size() && out.size() < CodeBytes; i += 2) {
        int hi = hexValue(code[i]);
        int lo = i + 1 < code.size() ? hexValue(code[i + 1]) : 0;
        out.push_back(static_cast<char>(hi * 16 + lo));
    }
    return padRight(out, '\0', CodeBytes);
}

std::string sectionTag(int n) {
    std::string tag = n < 10 ? "#0" : "#";
    tag += std::to_string(n);
    return tag;
}

class Writer {
public:
    Writer(const ConfigModel& model, const LocalTime& now)
        : m_(model), c_(model.config()), reg_(model.registry()), now_(now) {
        out_.reserve(4096);
        planOutputList();
    }

    Bytes take() {
        outputs();
        for (int n = 1; n <= WiredZoneCount; ++n)
            zone(wiredZone(n));
        for (int n = 1; n <= WirelessZoneCount; ++n)
            zone(wirelessZone(n));
        wiredSensors();
        general();
        remoteControls();
        wirelessSensors();
        open(102);
        close(102);
        line("@message");
        line(ru("Дата сеанса:") + shortDateText(now_));
        line(ru("Время сеанса:") + longTimeText(now_));
        return std::move(out_);
    }

private:
    // A text line. The format has no way to hold a line break inside a text
    // line: the pair CR LF would end it there, so each such pair is written as
    // two blanks. A lone CR or LF reads back as it was and is kept.
    void line(std::string_view text) {
        for (std::size_t at; (at = text.find("\r\n")) != std::string_view::npos;) {
            out_ += text.substr(0, at);
            out_ += "  ";
            text.remove_prefix(at + 2);
        }
        rawLine(text);
    }
    // A line of raw bytes, which the reader takes by its length: written as it is.
    void rawLine(std::string_view bytes) {
        out_ += bytes;
        out_ += "\r\n";
    }
    void flag(bool on) { line(std::string(1, flagChar(on))); }
    void flags(const PhoneFlags& f) {
        std::string s;
        for (bool on : f)
            s.push_back(flagChar(on));
        line(s);
    }
    void open(int n) { line(sectionTag(n)); }
    void close(int n) { line("//" + sectionTag(n)); }
    void text(FieldRole role, int unit = 0, bool wireless = false) {
        line(m_.text(fieldIdOf(role, unit, 0, wireless)));
    }
    std::string mask(const std::string& group) const {
        return tel_parameters_all(c_, group, ModelContext::SavingFile);
    }
    int code(std::optional<int> position) const { return reg_.outputCodeOf(position) & 0xFF; }
    void rawByte(int value) { rawLine(std::string(1, static_cast<char>(value))); }

    void planOutputList();
    int filePosition(std::optional<int> position) const;
    void outputs();
    void zone(ZoneRef z);
    void wiredSensors();
    void sensor(const ThermoSensor& s, SensorRef ref);
    void general();
    void remoteControls();
    void wirelessSensors();

    const ConfigModel& m_;
    const DeviceConfig& c_;
    const OutputUsageRegistry& reg_;
    LocalTime now_;
    SilentPrompts silent_;
    // The output list as the reader of this file will build it: the used
    // wireless outputs registered in their numbers' order.
    OutputUsageRegistry fileList_{silent_};
    Bytes out_;
};

std::string outputName(const WirelessOutput& o) {
    // The name as the reader takes it from the line: ten bytes at most, up to a 0x00.
    std::string name = o.name.substr(0, NameBytes);
    return name.substr(0, name.find('\0'));
}

void Writer::planOutputList() {
    int n = 0;
    for (const WirelessOutput& o : c_.wirelessOutputs) {
        ++n;
        if (o.used)
            fileList_.registerEntry("bpout_" + std::to_string(n), outputName(o), o.code, 0,
                                    o.type == FourChannelRelay ? RelayChannelCount : 1);
    }
}

// A sensor's output travels as a list position, and the reader builds its
// list in the outputs' numbers' order, whatever order they were added in
// here: the position written is the one the same output will have there.
int Writer::filePosition(std::optional<int> position) const {
    if (!position || *position < 0)
        return -1;
    if (*position < OutputChoiceList::FixedCount)
        return *position;
    const int outputCode = reg_.outputCodeOf(position);
    if (outputCode <= OutputChoiceList::FixedCount)
        return *position;
    // An output the file does not list as used cannot be chosen after reading.
    const int p = fileList_.choiceOfCode(outputCode);
    return p >= OutputChoiceList::FixedCount ? p : -1;
}

void Writer::outputs() {
    open(0);
    for (const WirelessOutput& o : c_.wirelessOutputs) {
        std::string l;
        l.push_back(o.used ? static_cast<char>('1' + o.type) : '0');
        l += padRight(o.name.substr(0, NameBytes), '\0', NameBytes);
        l += codeBytes(o.code);
        rawLine(l);
    }
    close(1);
}

void Writer::zone(ZoneRef z) {
    const Zone& zone = c_.zone(z);
    if (!zone.active)
        return;
    const int n = z.wireless ? z.number + WiredZoneCount : z.number;
    open(n);
    // The window limits messages to 25 characters; only zone 1 is cut there.
    line(zone.message.substr(0, !z.wireless && z.number == 1 ? ZoneMessageLength : 40));
    if (z.wireless) {
        line("0");
    } else {
        const auto& type = c_.wiredZones[static_cast<std::size_t>(z.number - 1)].inputType;
        line(type ? std::string(1, static_cast<char>('0' + *type % 10)) : "0");
    }
    line("1");
    flag(zone.control24h);
    for (int slot = 0; slot < ZoneActionCount; ++slot) {
        const ZoneOutputAction& a = c_.action(z, rowOfSlot(slot));
        int hi = 0, lo = 0, out = 0;
        if (zone.outputsEnabled && a.enabled) {
            const int d =
                a.alwaysOn ? static_cast<int>(AlwaysOnDuration) : a.minutes * 60 + a.seconds;
            hi = (d >> 8) & 0xFF;
            lo = d & 0xFF;
            out = code(a.output);
        }
        line(std::to_string(hi));
        line(std::to_string(lo));
        line(std::to_string(out));
    }
    rawLine(mask((z.wireless ? "bp_" : "inp_") + std::to_string(z.number)));
    close(n);
}

void Writer::sensor(const ThermoSensor& s, SensorRef ref) {
    if (!s.active) {
        for (int i = 0; i < SensorLineCount; ++i)
            line("0");
        return;
    }
    const std::string n = std::to_string(ref.number);
    rawLine(mask((ref.wireless ? "btd" : "td") + n));
    text(FieldRole::SensorLowAlarm, ref.number, ref.wireless);
    text(FieldRole::SensorHighAlarm, ref.number, ref.wireless);
    flag(s.thermostat);
    line(std::to_string(filePosition(s.output)));
    text(FieldRole::SensorEconomy, ref.number, ref.wireless);
    text(FieldRole::SensorComfort, ref.number, ref.wireless);
    flag(s.autoAfterDisarm);
}

void Writer::wiredSensors() {
    if (std::none_of(c_.thermoSensors.begin(), c_.thermoSensors.end(),
                     [](const ThermoSensor& s) { return s.active; }))
        return;
    open(23);
    for (int n = 1; n <= WiredSensorCount; ++n)
        sensor(c_.thermoSensors[static_cast<std::size_t>(n - 1)], wiredSensor(n));
    close(23);
}

void Writer::general() {
    int section = FirstTelephoneSection;
    for (const std::string& telephone : c_.telephones) {
        open(section);
        line(phoneForDevice(telephone));
        close(section);
        ++section;
    }

    open(20);
    static constexpr char methods[] = {'H', 'L', 'P', 'T'};
    const auto& method = c_.armingMethod;
    // No method selected gives an empty line, which reads back as none.
    line(method && *method >= 0 && *method <= 3 ? std::string(1, methods[*method]) : "");
    close(20);

    open(21);
    flags(c_.smsOnArming);
    flags(c_.smsOnDisarming);
    close(21);

    open(36);
    text(FieldRole::ArmingDelay);
    text(FieldRole::DisarmingDelay);
    std::string delays;
    for (const auto& z : c_.wiredZones)
        delays.push_back(flagChar(z.entryDelay));
    for (const auto& z : c_.wirelessZones)
        delays.push_back(flagChar(z.entryDelay));
    line(delays);
    close(36);

    open(28);
    line(c_.deviceDate);
    line(c_.deviceTime);
    close(28);

    // No selection is written as a value the reader leaves alone.
    open(37);
    line(c_.armedIndicator ? std::to_string(*c_.armedIndicator + 1) : "0");
    close(37);

    open(38);
    flag(c_.armingBeep);
    close(38);

    open(39);
    flag(c_.externalUps);
    flag(c_.micAndSpeakerOnCall);
    flag(c_.statusSmsOnCall);
    rawByte(c_.armingOutputOn ? code(c_.armingOutput) : 0);
    close(39);

    open(41);
    flag(c_.supplyVoltageReport);
    flags(c_.supplyVoltagePhones);
    close(41);

    // Sections 42 to 44: one flag each.
    section = 42;
    for (bool on : {c_.timeInSms, c_.alarmSms, c_.alarmCall}) {
        open(section);
        flag(on);
        close(section);
        ++section;
    }
    // The reset leaves the language alone, so none is written as the first.
    open(45);
    line(c_.messageLanguage ? std::to_string(*c_.messageLanguage) : "0");
    close(45);

    open(99);
    text(FieldRole::MicrophoneVolume);
    text(FieldRole::SpeakerVolume);
    close(99);
}

void Writer::remoteControls() {
    open(100);
    for (const RemoteControl& r : c_.remoteControls) {
        line(r.name);
        line(r.code);
    }
    rawByte(c_.button4On ? code(c_.button4Output) : 0);
    text(FieldRole::Button4Seconds);
    flag(c_.button4Toggle);
    close(100);
}

void Writer::wirelessSensors() {
    open(101);
    for (int n = 1; n <= WirelessSensorCount; ++n) {
        const WirelessThermoSensor& s = c_.wirelessThermoSensors[static_cast<std::size_t>(n - 1)];
        sensor(s, wirelessSensor(n));
        // The name and code of an inactive sensor are the device's too: a
        // restore from this file must give them back.
        line(s.name);
        line(s.code);
    }
    close(101);
}

} // namespace

Bytes saveConfigFile(const ConfigModel& model, const LocalTime& now) {
    return Writer(model, now).take();
}

} // namespace t6
