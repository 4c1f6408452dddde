#include "config/GeneralRecords.h"

#include <functional>

#include "common/Cp1251.h"
#include "config/ConfigModel.h"
#include "config/FieldEncodings.h"
#include "config/PhoneMask.h"

namespace t6 {

namespace {

std::string formatError(const char* tag, const char* detail) {
    return tag + ru(" - Ошибка формата передаваемых данных\r\n") + ru(detail);
}

char byteChar(unsigned value) {
    return static_cast<char>(value & 0xFFu);
}

// The code of the output an option switches: 0 while the option is off.
char optionOutput(const ConfigModel& m, bool on, std::optional<int> output) {
    return byteChar(on ? static_cast<unsigned>(m.registry().outputCodeOf(output)) : 0u);
}

// An option that switches an output: 0x00 turns it off on the first output;
// any other code selects its output and turns it on.
void applyOptionOutput(ConfigModel& m, unsigned char code, const std::function<void(bool)>& setOn,
                       const std::function<void(std::optional<int>)>& setOutput) {
    if (code == 0) {
        setOn(false);
        setOutput(0);
        return;
    }
    setOutput(m.registry().positionOfCode(code));
    setOn(true);
}

// Five telephone flags from a mask: all cleared, then those whose bit is set ticked.
void applyMask(unsigned char mask, const std::function<void(int, bool)>& setPhone) {
    for (int t = 1; t <= TelephoneCount; ++t)
        setPhone(t, false);
    const PhoneFlags phones = phonesOfMask(mask);
    for (int t = 1; t <= TelephoneCount; ++t)
        if (phones[static_cast<std::size_t>(t - 1)])
            setPhone(t, true);
}

} // namespace

// ---- Telephones ----

Bytes encodeTelephonesRecord(const ConfigModel& m) {
    Bytes r(1, '\x11');
    for (const std::string& t : m.config().telephones)
        r += phoneForDevice(t) + "/";
    r += '\r';
    return r;
}

RecordEnd decodeTelephonesRecord(ConfigModel& m, std::string_view block, std::size_t p,
                                 BlockLog& log) {
    log.hex(ru("<< чтение телефоны"));
    log.protocol(ru("<<< чтение телефоны"));
    std::size_t at = p + 1;
    for (int k = 1;; ++k) {
        const auto b = byteAt(block, at);
        if (!b)
            return std::nullopt;
        if (*b == '\r')
            return at;
        const std::size_t slash = block.find('/', at);
        if (slash == std::string_view::npos)
            return std::nullopt;
        if (k <= TelephoneCount)
            m.setTelephone(k, phoneFromDevice(block.substr(at, slash - at)));
        at = slash + 1;
    }
}

// ---- SMS password and PIN ----

RecordEnd decodePasswordRecord(ConfigModel&, std::string_view block, std::size_t p, BlockLog& log) {
    log.hex(ru("<< чтение passSMS & PIN"));
    log.protocol(ru("<<< чтение passSMS & PIN"));
    const std::size_t after = p < block.size() ? block.size() - 1 - p : 0;
    if (after >= 8)
        return p + 9;
    if (after < 4) {
        log.memo(formatError("#26", "Кол-во символов в пароле SMS < 4"));
        log.memo(formatError("#26", "Кол-во цифр в PIN коде < 4"));
        return p + 1;
    }
    log.memo(formatError("#26", "Кол-во цифр в PIN коде < 4"));
    return p + 5;
}

// ---- Date and time ----

Bytes encodeDateTimeRecord(const ConfigModel& m) {
    std::string time = m.config().deviceTime;
    if (time.size() > 1 && time[1] == ':')
        time = "0" + time;
    return "\x1C" + m.config().deviceDate + ";" + time + "\r";
}

RecordEnd decodeDateTimeRecord(ConfigModel& m, std::string_view block, std::size_t p,
                               BlockLog& log) {
    log.hex(ru("<< чтение Date & Time"));
    log.protocol(ru("<<< чтение DATE & TIme"));
    if (p + 8 < block.size())
        m.setDeviceDate(std::string(block.substr(p + 1, 8)));
    if (p + 17 < block.size())
        m.setDeviceTime(std::string(block.substr(p + 10, 8)));
    return p + 17;
}

// ---- Options ----

Bytes encodeOptionsRecord(const ConfigModel& m) {
    const DeviceConfig& c = m.config();
    auto mask = [&c](const char* group) {
        return tel_parameters_all(c, group, ModelContext::Exchanging);
    };
    Bytes r = "!";
    r += byteChar('1' + static_cast<unsigned>(c.armingMethod.value_or(2)));
    r += mask("sms_in");
    r += mask("sms_out");
    r += flagChar(c.armingBeep);
    // The device takes any telephone of this mask for the report being on: a
    // report that is off goes as 0 whatever telephones the window keeps ticked.
    r += c.supplyVoltageReport ? mask("ctrl_volt") : Bytes(1, '\0');
    r += flagChar(c.externalUps);
    r += flagChar(c.timeInSms);
    r += flagChar(c.micAndSpeakerOnCall);
    r += flagChar(c.statusSmsOnCall);
    r += optionOutput(m, c.armingOutputOn, c.armingOutput);
    r += flagChar(c.alarmSms);
    r += flagChar(c.alarmCall);
    r += byteChar('1' + static_cast<unsigned>(c.armedIndicator.value_or(0)));
    r += byteChar(static_cast<unsigned>(c.microphoneVolume));
    r += byteChar(static_cast<unsigned>(c.speakerVolume));
    r += optionOutput(m, c.button4On, c.button4Output);
    r += c.button4Toggle ? '\xFC' : byteChar(static_cast<unsigned>(c.button4Seconds));
    r += '\r';
    return r;
}

RecordEnd decodeOptionsRecord(ConfigModel& m, std::string_view block, std::size_t p,
                              BlockLog& log) {
    std::optional<unsigned char> b;
    // The byte at an offset of the record; false when the block has ended.
    auto at = [&](std::size_t offset) { return (b = byteAt(block, p + offset)).has_value(); };
    // A flag character: "1" sets, "0" clears, anything else is reported.
    auto flag = [&](const std::function<void(bool)>& set, const char* tag, const char* detail) {
        if (*b == '1' || *b == '0')
            set(*b == '1');
        else
            log.memo(formatError(tag, detail));
    };
    const char* zeroOrOne = "Символ <>0 или 1";

    if (!at(1))
        return std::nullopt;
    if (*b >= '1' && *b <= '3')
        m.setArmingMethod(*b - '1');
    else
        log.memo(formatError("#33", "На входе =") + static_cast<char>(*b));

    if (!at(2))
        return std::nullopt;
    applyMask(*b, [&m](int t, bool on) { m.setSmsOnArming(t, on); });
    if (!at(3))
        return std::nullopt;
    applyMask(*b, [&m](int t, bool on) { m.setSmsOnDisarming(t, on); });

    if (!at(4))
        return std::nullopt;
    flag([&m](bool on) { m.setArmingBeep(on); }, "#38", zeroOrOne);

    if (!at(5))
        return std::nullopt;
    applyMask(*b, [&m](int t, bool on) { m.setSupplyVoltagePhone(t, on); });
    m.setSupplyVoltageReport(*b != 0);

    if (!at(6))
        return std::nullopt;
    if (*b == '1' || *b == '0')
        m.setExternalUps(*b == '1');
    else
        log.memo(formatError("#33", "На входе =") + static_cast<char>(*b));

    if (!at(7))
        return std::nullopt;
    flag([&m](bool on) { m.setTimeInSms(on); }, "#39(2)", zeroOrOne);
    if (!at(8))
        return std::nullopt;
    flag([&m](bool on) { m.setMicAndSpeakerOnCall(on); }, "#39(3)", zeroOrOne);
    if (!at(9))
        return std::nullopt;
    flag([&m](bool on) { m.setStatusSmsOnCall(on); }, "#39(4)", zeroOrOne);

    if (!at(10))
        return std::nullopt;
    applyOptionOutput(
        m, *b, [&m](bool on) { m.setArmingOutputOn(on); },
        [&m](std::optional<int> position) { m.setArmingOutput(position); });

    if (!at(11))
        return std::nullopt;
    flag([&m](bool on) { m.setAlarmSms(on); }, "#39(2)", zeroOrOne);
    if (!at(12))
        return std::nullopt;
    flag([&m](bool on) { m.setAlarmCall(on); }, "#39(2)", zeroOrOne);

    if (!at(13))
        return std::nullopt;
    if (*b == '1' || *b == '2')
        m.setArmedIndicator(*b - '1');
    else
        log.memo(formatError("#37", "Символ <>1 или 2"));

    if (!at(14))
        return std::nullopt;
    m.setMicrophoneVolume(*b);
    if (!at(15))
        return std::nullopt;
    m.setSpeakerVolume(*b);

    if (!at(16))
        return std::nullopt;
    applyOptionOutput(
        m, *b, [&m](bool on) { m.setButton4On(on); },
        [&m](std::optional<int> position) { m.setButton4Output(position); });

    if (!at(17))
        return std::nullopt;
    if (*b == 0xFC) {
        m.setButton4Toggle(true);
    } else {
        m.setButton4Seconds(*b);
        m.setButton4Toggle(false);
    }
    return p + 17;
}

// ---- Delays ----

Bytes encodeDelaysRecord(const ConfigModel& m) {
    const DeviceConfig& c = m.config();
    Bytes r = "$";
    r += byteChar(static_cast<unsigned>(c.armingDelay));
    r += byteChar(static_cast<unsigned>(c.disarmingDelay));
    for (const WiredZone& z : c.wiredZones)
        r += flagChar(z.entryDelay);
    for (const WirelessZone& z : c.wirelessZones)
        r += flagChar(z.entryDelay);
    r += '\r';
    return r;
}

RecordEnd decodeDelaysRecord(ConfigModel& m, std::string_view block, std::size_t p, BlockLog&) {
    auto b = byteAt(block, p + 1);
    if (!b)
        return std::nullopt;
    m.setArmingDelay(*b);
    if (!(b = byteAt(block, p + 2)))
        return std::nullopt;
    m.setDisarmingDelay(*b);
    for (int k = 1; k <= ZoneCount; ++k) {
        if (!(b = byteAt(block, p + 2 + static_cast<std::size_t>(k))))
            return std::nullopt;
        m.setEntryDelay(k <= WiredZoneCount ? wiredZone(k) : wirelessZone(k - WiredZoneCount),
                        *b == '1');
    }
    return p + 12;
}

RecordEnd decodeReservedRecord(ConfigModel&, std::string_view, std::size_t p, BlockLog&) {
    return p + 1;
}

} // namespace t6
