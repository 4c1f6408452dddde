// The model's telephones, date and time, and the general options.

#include "config/ConfigModel.h"

#include "common/Cp1251.h"
#include "config/ConfigModelHelpers.h"
#include "config/FieldEncodings.h"

namespace t6 {

using namespace model_detail;

// ---- Telephones, date and time ----

std::string ConfigModel::telephoneTextRule(std::string_view text) {
    // A telephone always begins with "+": without one in front, every "+" goes
    // and one is put in front.
    if (!text.empty() && text.front() == '+')
        return std::string(text);
    std::string t = "+";
    for (char ch : text)
        if (ch != '+')
            t.push_back(ch);
    return t;
}

std::optional<std::string> ConfigModel::userTelephone(std::string_view text,
                                                      std::string_view held) {
    std::string t = telephoneTextRule(telephoneFromPaste(text));
    if (!acceptsTelephoneText(t, held))
        return std::nullopt;
    return t;
}

void ConfigModel::setTelephone(int n, const std::string& text) {
    Batch batch(*this);
    put(c_.telephones.at(static_cast<std::size_t>(n - 1)), telephoneTextRule(text),
        fieldIdOf(FieldRole::Telephone, n));
}

bool ConfigModel::acceptsTelephoneKey(int n, char key) const {
    const std::string& t = c_.telephones.at(static_cast<std::size_t>(n - 1));
    if (key == '\b')
        return t != "+";
    const bool allowed = (key >= '0' && key <= '9') || key == '%' || key == '\'';
    return allowed && t.size() <= 15;
}

bool ConfigModel::acceptsTelephoneText(std::string_view text, std::string_view held) {
    auto dialable = [](char ch) { return (ch >= '0' && ch <= '9') || ch == '%' || ch == '\''; };
    auto wellFormed = [&dialable](std::string_view t) {
        if (!t.empty() && t.front() == '+')
            t.remove_prefix(1);
        return t.size() <= 15 && std::all_of(t.begin(), t.end(), dialable);
    };
    if (wellFormed(text))
        return true;
    return text.size() < held.size() && !wellFormed(held) &&
           std::all_of(text.begin(), text.end(),
                       [&dialable](char ch) { return dialable(ch) || ch == '+' || ch == ' '; });
}

std::string ConfigModel::telephoneFromPaste(std::string_view text) {
    std::string out;
    for (char ch : text)
        if (ch != ' ' && ch != '-' && ch != '(' && ch != ')')
            out.push_back(ch);
    return out;
}

bool ConfigModel::Analize_Empty_Telephon(int n, bool ticking) {
    if (!editing() || !ticking)
        return true;
    const std::string& t = c_.telephones.at(static_cast<std::size_t>(n - 1));
    const bool entered = !t.empty() && t != "+7" + std::string(13, ' ') && trimmed(t) != "+";
    if (entered)
        return true;
    prompts_.message(ru("Не введен ") + std::to_string(n) + ru(" номер телефона"));
    return false;
}

void ConfigModel::setDeviceDate(const std::string& text) {
    Batch batch(*this);
    put(c_.deviceDate, text, fieldIdOf(FieldRole::DeviceDate));
}

void ConfigModel::setDeviceTime(const std::string& text) {
    Batch batch(*this);
    put(c_.deviceTime, text, fieldIdOf(FieldRole::DeviceTime));
}

void ConfigModel::setClockFromPc(bool on) {
    Batch batch(*this);
    const bool changed = c_.clockFromPc != on;
    put(c_.clockFromPc, on, fieldIdOf(FieldRole::ClockFromPc));
    if (changed && on)
        put(c_.deviceDate, shortDateText(localNow_ ? localNow_() : LocalTime{}),
            fieldIdOf(FieldRole::DeviceDate));
}

// ---- General options ----

void ConfigModel::setArmingDelay(int seconds) {
    Batch batch(*this);
    put(c_.armingDelay, seconds, fieldIdOf(FieldRole::ArmingDelay));
}

void ConfigModel::setDisarmingDelay(int seconds) {
    Batch batch(*this);
    put(c_.disarmingDelay, seconds, fieldIdOf(FieldRole::DisarmingDelay));
}

void ConfigModel::setArmingMethod(std::optional<int> method) {
    Batch batch(*this);
    put(c_.armingMethod, within(method, 0, 2), fieldIdOf(FieldRole::ArmingMethod));
}

void ConfigModel::setSmsOnArming(int phone, bool on) {
    setPhoneFlag(c_.smsOnArming, phone, on, fieldIdOf(FieldRole::SmsOnArming, 0, phone), true);
}

void ConfigModel::setSmsOnDisarming(int phone, bool on) {
    setPhoneFlag(c_.smsOnDisarming, phone, on, fieldIdOf(FieldRole::SmsOnDisarming, 0, phone),
                 true);
}

void ConfigModel::setSupplyVoltageReport(bool on) {
    Batch batch(*this);
    const bool changed = c_.supplyVoltageReport != on;
    put(c_.supplyVoltageReport, on, fieldIdOf(FieldRole::SupplyVoltageReport));
    if (changed && !on)
        for (int t = 1; t <= TelephoneCount; ++t)
            setSupplyVoltagePhone(t, false);
}

void ConfigModel::setSupplyVoltagePhone(int phone, bool on) {
    setPhoneFlag(c_.supplyVoltagePhones, phone, on,
                 fieldIdOf(FieldRole::SupplyVoltagePhone, 0, phone), true);
}

void ConfigModel::setExternalUps(bool on) {
    setPlainFlag(c_.externalUps, on, fieldIdOf(FieldRole::ExternalUps));
}
void ConfigModel::setTimeInSms(bool on) {
    setPlainFlag(c_.timeInSms, on, fieldIdOf(FieldRole::TimeInSms));
}
void ConfigModel::setArmingBeep(bool on) {
    setPlainFlag(c_.armingBeep, on, fieldIdOf(FieldRole::ArmingBeep));
}
void ConfigModel::setAlarmSms(bool on) {
    setPlainFlag(c_.alarmSms, on, fieldIdOf(FieldRole::AlarmSms));
}
void ConfigModel::setAlarmCall(bool on) {
    setPlainFlag(c_.alarmCall, on, fieldIdOf(FieldRole::AlarmCall));
}
void ConfigModel::setStatusSmsOnCall(bool on) {
    setPlainFlag(c_.statusSmsOnCall, on, fieldIdOf(FieldRole::StatusSmsOnCall));
}
void ConfigModel::setMicAndSpeakerOnCall(bool on) {
    setPlainFlag(c_.micAndSpeakerOnCall, on, fieldIdOf(FieldRole::MicAndSpeakerOnCall));
}

void ConfigModel::setMicrophoneVolume(int volume) {
    Batch batch(*this);
    put(c_.microphoneVolume, volume, fieldIdOf(FieldRole::MicrophoneVolume));
}

void ConfigModel::setSpeakerVolume(int volume) {
    Batch batch(*this);
    put(c_.speakerVolume, volume, fieldIdOf(FieldRole::SpeakerVolume));
}

void ConfigModel::setArmedIndicator(std::optional<int> indicator) {
    Batch batch(*this);
    put(c_.armedIndicator, within(indicator, 0, 1), fieldIdOf(FieldRole::ArmedIndicator));
}

void ConfigModel::setMessageLanguage(std::optional<int> language) {
    Batch batch(*this);
    put(c_.messageLanguage, within(language, 0, 1), fieldIdOf(FieldRole::MessageLanguage));
}

void ConfigModel::setSirenOutput(std::optional<int> position) {
    Batch batch(*this);
    put(c_.sirenOutput, position, fieldIdOf(FieldRole::SirenOutput));
}

} // namespace t6
