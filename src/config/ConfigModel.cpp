#include "config/ConfigModel.h"

#include <algorithm>
#include <cstdio>

#include "common/Cp1251.h"
#include "config/FieldEncodings.h"
#include "config/PhoneMask.h"

namespace t6 {

namespace {

std::string outputKey(int n) {
    return "bpout_" + std::to_string(n);
}

std::string trimmed(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return s.substr(b, e - b);
}

} // namespace

ConfigModel::ConfigModel(Prompts& prompts, Random& random,
                         std::function<ExchangeModeValue()> exchangeMode,
                         std::function<LocalTime()> localNow)
    : prompts_(prompts), random_(random), exchangeMode_(std::move(exchangeMode)),
      localNow_(std::move(localNow)), registry_(prompts) {
    for (const auto& f : outputChoiceFields()) {
        std::optional<int>* slot = nullptr;
        FieldId id = -1;
        switch (f.user) {
        case OutputUser::SirenOutput:
            slot = &c_.sirenOutput;
            id = fieldIdOf(FieldRole::SirenOutput);
            break;
        case OutputUser::WiredZone:
        case OutputUser::WirelessZone: {
            ZoneRef z{f.user == OutputUser::WirelessZone, f.number};
            slot = &c_.action(z, f.row).output;
            id = zoneField(FieldRole::RowOutput, z, f.row);
            break;
        }
        case OutputUser::WiredSensor:
        case OutputUser::WirelessSensor: {
            SensorRef s{f.user == OutputUser::WirelessSensor, f.number};
            slot = &c_.sensor(s).output;
            id = sensorField(FieldRole::SensorOutput, s);
            break;
        }
        case OutputUser::ArmingOutput:
            slot = &c_.armingOutput;
            id = fieldIdOf(FieldRole::ArmingOutput);
            break;
        case OutputUser::Button4:
            slot = &c_.button4Output;
            id = fieldIdOf(FieldRole::Button4Output);
            break;
        }
        choiceSlots_.emplace_back(slot, id);
    }
    registry_.attach(this);
}

ConfigModel::~ConfigModel() {
    registry_.attach(nullptr);
}

ExchangeModeValue ConfigModel::exchangeMode() const {
    return exchangeMode_ ? exchangeMode_() : ExchangeMode::Idle;
}

// ---- Change notification ----

void ConfigModel::focus(const std::string& controlName) {
    focusRequests_.push_back(controlName);
}

void ConfigModel::flush() {
    const bool items = itemsChanged_;
    const bool state = stateChanged_;
    const bool page = firstPageRequested_;
    std::vector<FieldId> ids(changed_.begin(), changed_.end());
    std::vector<std::string> focusTo = std::move(focusRequests_);
    changed_.clear();
    focusRequests_.clear();
    itemsChanged_ = stateChanged_ = firstPageRequested_ = false;
    if (!observer_)
        return;
    if (items)
        observer_->choiceItemsChanged();
    if (!ids.empty() || state || items)
        observer_->fieldsChanged(ids);
    for (const auto& f : focusTo)
        observer_->requestFocus(f);
    if (page)
        observer_->requestFirstPage();
}

// ---- The registry's view of the output choices ----

std::optional<int> ConfigModel::selectedPosition(int field) const {
    return *choiceSlots_.at(static_cast<std::size_t>(field)).first;
}

void ConfigModel::selectPosition(int field, std::optional<int> position) {
    auto& [slot, id] = choiceSlots_.at(static_cast<std::size_t>(field));
    put(*slot, position, id);
}

void ConfigModel::choiceItemsReloaded() {
    itemsChanged_ = true;
}

// ---- Helpers ----

FieldId ConfigModel::zoneField(FieldRole role, ZoneRef z, int sub) const {
    return fieldIdOf(role, z.number, sub, z.wireless);
}

FieldId ConfigModel::sensorField(FieldRole role, SensorRef s, int sub) const {
    return fieldIdOf(role, s.number, sub, s.wireless);
}

const std::string& ConfigModel::controlOf(FieldId id) const {
    return fieldDescription(id).controlName;
}

std::string ConfigModel::choiceText(std::optional<int> position) const {
    return registry_.choiceText(position).value_or(std::string());
}

OutputUses ConfigModel::uses() const {
    OutputUses u;
    auto zone = [](const Zone& z) {
        ZoneUse rows;
        for (std::size_t r = 0; r < 4; ++r)
            rows[r] = {z.actions[r].enabled, z.actions[r].output};
        return rows;
    };
    auto sensor = [](const ThermoSensor& s) { return SensorUse{s.active, s.thermostat, s.output}; };
    for (std::size_t i = 0; i < 4; ++i)
        u.wiredZones[i] = zone(c_.wiredZones[i]);
    for (std::size_t i = 0; i < 2; ++i)
        u.wiredSensors[i] = sensor(c_.thermoSensors[i]);
    for (std::size_t i = 0; i < 6; ++i)
        u.wirelessSensors[i] = sensor(c_.wirelessThermoSensors[i]);
    u.button4On = c_.button4On;
    u.button4Output = c_.button4Output;
    for (std::size_t i = 0; i < 6; ++i)
        u.wirelessZones[i] = zone(c_.wirelessZones[i]);
    return u;
}

std::string ConfigModel::tel_parameters_all(const std::string& group) const {
    return t6::tel_parameters_all(c_, group, exchangeMode());
}

void ConfigModel::setPlainFlag(bool& slot, bool on, FieldId id) {
    Batch batch(*this);
    put(slot, on, id);
}

// A telephone box: ticking a guarded one asks Analize_Empty_Telephon first.
void ConfigModel::setPhoneFlag(PhoneFlags& flags, int phone, bool on, FieldId id, bool guarded) {
    Batch batch(*this);
    bool& slot = flags.at(static_cast<std::size_t>(phone - 1));
    if (on && !slot && guarded && !Analize_Empty_Telephon(phone, true)) {
        touch(id);
        return;
    }
    put(slot, on, id);
}

// ---- Life cycle ----

void ConfigModel::startUp() {
    Batch batch(*this);
    startUpChoices();
    startUpPanels();
    clearUsageRegistry();
}

void ConfigModel::startUpChoices() {
    Batch batch(*this);
    firstPageRequested_ = true;

    // The output choices get the four fixed outputs: zone rows 1 to 4 select
    // them in order, every other choice the first.
    registry_.rebuildChoiceList();
    for (int field = 0; field < OutputChoiceFieldCount; ++field) {
        const auto& f = outputChoiceFields()[static_cast<std::size_t>(field)];
        selectPosition(field, f.row > 0 ? f.row - 1 : 0);
    }
    for (int n = 1; n <= 16; ++n) {
        outputCodeChanged(n);
        outputUsedClicked(n);
    }
    stateChanged_ = true;
}

void ConfigModel::startUpPanels() {
    Batch batch(*this);
    const LocalTime now = localNow_ ? localNow_() : LocalTime{};
    put(c_.deviceTime, longTimeText(now), fieldIdOf(FieldRole::DeviceTime));
    put(c_.deviceDate, shortDateText(now), fieldIdOf(FieldRole::DeviceDate));
    setArmedIndicator(0);

    // The activation reactions once, so that every panel matches its box.
    for (int n = 1; n <= 4; ++n)
        zoneActivated(wiredZone(n));
    for (int n = 1; n <= 6; ++n)
        zoneActivated(wirelessZone(n));
    if (c_.armingOutputOn)
        armingCheck();
    if (c_.button4On)
        buttonCheck();
    stateChanged_ = true;
}

void ConfigModel::clearUsageRegistry() {
    Batch batch(*this);
    registry_.resetRegistry();
    stateChanged_ = true;
}

void ConfigModel::resetConfig() {
    Batch batch(*this);
    firstPageRequested_ = true;

    setArmingOutputOn(false);
    setButton4On(false);

    auto resetZone = [this](ZoneRef z) {
        setZoneActive(z, false);
        setZoneControl24h(z, false);
        setZoneMessage(z, {});
        if (!z.wireless)
            setZoneInputType(z.number, std::nullopt);
        for (int r = 1; r <= 4; ++r) {
            setRowEnabled(z, r, false);
            setRowAlwaysOn(z, r, false);
            setRowMinutes(z, r, 0);
            setRowSeconds(z, r, 1);
        }
    };
    for (int n = 1; n <= 4; ++n)
        resetZone(wiredZone(n));

    for (int t = 1; t <= 5; ++t)
        setTelephone(t, "+7");
    setDeviceDate({});
    setDeviceTime({});
    setArmingMethod(std::nullopt);
    for (int t = 1; t <= 5; ++t) {
        setSmsOnArming(t, false);
        setSmsOnDisarming(t, false);
    }
    setArmingBeep(false);
    setSupplyVoltageReport(false);
    setExternalUps(false);
    setTimeInSms(false);
    setMicAndSpeakerOnCall(false);
    setStatusSmsOnCall(false);
    setArmingOutput(0);
    setButton4Output(0);
    setAlarmSms(false);
    setAlarmCall(false);
    setArmedIndicator(std::nullopt);

    for (int n = 1; n <= 2; ++n) {
        const SensorRef s = wiredSensor(n);
        setSensorActive(s, false);
        setThermostat(s, false);
        setAutoAfterDisarm(s, false);
        setLowAlarm(s, 0);
        setHighAlarm(s, 0);
        setEconomyTemp(s, 0);
        setComfortTemp(s, 0);
        setSensorOutput(s, 0);
        for (int t = 1; t <= 5; ++t)
            setSensorPhone(s, t, false);
    }

    setText(fieldIdOf(FieldRole::ArmingDelay), {});
    setText(fieldIdOf(FieldRole::DisarmingDelay), {});

    for (int n = 1; n <= 6; ++n)
        resetZone(wirelessZone(n));

    registry_.rebuildChoiceList();
    for (int n = 1; n <= 4; ++n)
        for (int r = 1; r <= 4; ++r)
            setRowOutput(wiredZone(n), r, r - 1);
    for (int n = 1; n <= 6; ++n)
        for (int r = 1; r <= 4; ++r)
            setRowOutput(wirelessZone(n), r, r - 1);
    for (int n = 1; n <= 2; ++n)
        setSensorOutput(wiredSensor(n), 0);
    for (int n = 1; n <= 6; ++n)
        setSensorOutput(wirelessSensor(n), 0);
    setArmingOutput(0);
    setButton4Output(0);

    for (int n = 1; n <= 16; ++n)
        setOutputUsed(n, false);
    for (int n = 1; n <= 16; ++n) {
        setOutputName(n, {});
        setOutputCode(n, {});
    }
    registry_.resetRegistry();
    emptyEditors_.clear();
    stateChanged_ = true;
}

void ConfigModel::clockTick() {
    Batch batch(*this);
    if (c_.clockFromPc)
        put(c_.deviceTime, longTimeText(localNow_ ? localNow_() : LocalTime{}),
            fieldIdOf(FieldRole::DeviceTime));
}

// ---- Telephones, date and time ----

void ConfigModel::setTelephone(int n, const std::string& text) {
    Batch batch(*this);
    // A telephone always begins with "+": without one in front, every "+" goes
    // and one is put in front.
    std::string t = text;
    if (t.empty() || t.front() != '+') {
        std::string digits;
        for (char ch : t)
            if (ch != '+')
                digits.push_back(ch);
        t = "+" + digits;
    }
    put(c_.telephones.at(static_cast<std::size_t>(n - 1)), t, fieldIdOf(FieldRole::Telephone, n));
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

namespace {
std::optional<int> within(std::optional<int> v, int lo, int hi) {
    if (v && (*v < lo || *v > hi))
        return std::nullopt;
    return v;
}
} // namespace

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
        for (int t = 1; t <= 5; ++t)
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

// ---- The output switched on at arming, button 4 ----

void ConfigModel::setArmingOutputOn(bool on) {
    Batch batch(*this);
    const bool changed = c_.armingOutputOn != on;
    put(c_.armingOutputOn, on, fieldIdOf(FieldRole::ArmingOutputOn));
    if (changed && on)
        armingCheck();
}

void ConfigModel::setArmingOutput(std::optional<int> position) {
    Batch batch(*this);
    put(c_.armingOutput, position, fieldIdOf(FieldRole::ArmingOutput));
}

void ConfigModel::chooseArmingOutput(std::optional<int> position) {
    Batch batch(*this);
    setArmingOutput(position);
    armingCheck();
}

// An arming output that some active function already uses is refused.
void ConfigModel::armingCheck() {
    auto p = registry_.list().indexOf(choiceText(c_.armingOutput));
    if (!c_.armingOutput || !p)
        return;
    const std::string users = armingUsers(uses(), *p);
    if (users.empty())
        return;
    prompts_.message(armingRefusalMessage(users));
    put(c_.armingOutput, std::optional<int>(), fieldIdOf(FieldRole::ArmingOutput));
    setArmingOutputOn(false);
}

void ConfigModel::setButton4On(bool on) {
    Batch batch(*this);
    const bool changed = c_.button4On != on;
    put(c_.button4On, on, fieldIdOf(FieldRole::Button4On));
    if (changed && on)
        buttonCheck();
}

void ConfigModel::setButton4Output(std::optional<int> position) {
    Batch batch(*this);
    put(c_.button4Output, position, fieldIdOf(FieldRole::Button4Output));
}

void ConfigModel::chooseButton4Output(std::optional<int> position) {
    Batch batch(*this);
    setButton4Output(position);
    buttonCheck();
}

// Button 4 may not take the arming output while the arming choice is usable.
void ConfigModel::buttonCheck() {
    const bool armingChoiceEnabled = isEnabled(fieldIdOf(FieldRole::ArmingOutput));
    if (!collidesWithArming(c_.button4Output, c_.armingOutput, armingChoiceEnabled))
        return;
    prompts_.message(usedAtArmingMessage(choiceText(c_.button4Output)));
    put(c_.button4Output, std::optional<int>(), fieldIdOf(FieldRole::Button4Output));
}

void ConfigModel::setButton4Toggle(bool on) {
    setPlainFlag(c_.button4Toggle, on, fieldIdOf(FieldRole::Button4Toggle));
}

void ConfigModel::setButton4Seconds(int seconds) {
    Batch batch(*this);
    put(c_.button4Seconds, seconds, fieldIdOf(FieldRole::Button4Seconds));
}

// ---- Zones ----

void ConfigModel::setEntryDelay(ZoneRef z, bool on) {
    Batch batch(*this);
    Zone& zone = c_.zone(z);
    const FieldId id = zoneField(FieldRole::EntryDelay, z);
    if (on && !zone.entryDelay && editing() && !zone.active) {
        const std::string n = std::to_string(z.number);
        prompts_.message(z.wireless ? ru("Не активен ") + n + ru(" беспр. вход")
                                    : ru("Не активен ") + n + ru(" вход"));
        touch(id);
        return;
    }
    put(zone.entryDelay, on, id);
}

void ConfigModel::setZoneActive(ZoneRef z, bool on) {
    Batch batch(*this);
    Zone& zone = c_.zone(z);
    const bool changed = zone.active != on;
    put(zone.active, on, zoneField(FieldRole::ZoneActive, z));
    if (changed)
        zoneActivated(z);
}

// The activation box's reaction: an active zone uses its outputs and has an
// input type; an inactive one keeps every value but its outputs flag.
void ConfigModel::zoneActivated(ZoneRef z) {
    Zone& zone = c_.zone(z);
    stateChanged_ = true;
    if (!zone.active) {
        setZoneOutputsEnabled(z, false);
        return;
    }
    put(zone.outputsEnabled, true, zoneField(FieldRole::ZoneOutputsEnabled, z));
    if (!z.wireless && !c_.wiredZones.at(static_cast<std::size_t>(z.number - 1)).inputType)
        setZoneInputType(z.number, HighLevel);
    outputsAreaRule(z);
}

void ConfigModel::setZoneMessage(ZoneRef z, const std::string& text) {
    Batch batch(*this);
    put(c_.zone(z).message, text, zoneField(FieldRole::ZoneMessage, z));
}

void ConfigModel::setZoneInputType(int n, std::optional<int> type) {
    Batch batch(*this);
    put(c_.wiredZones.at(static_cast<std::size_t>(n - 1)).inputType, within(type, 1, 5),
        zoneField(FieldRole::ZoneInputType, wiredZone(n)));
}

void ConfigModel::setZoneControl24h(ZoneRef z, bool on) {
    setPlainFlag(c_.zone(z).control24h, on, zoneField(FieldRole::ZoneControl24h, z));
}

void ConfigModel::setZoneOutputsEnabled(ZoneRef z, bool on) {
    Batch batch(*this);
    Zone& zone = c_.zone(z);
    const bool changed = zone.outputsEnabled != on;
    put(zone.outputsEnabled, on, zoneField(FieldRole::ZoneOutputsEnabled, z));
    if (changed)
        outputsAreaRule(z);
}

// The outputs flag switched on runs each row's tick rule; switched off, the
// rows keep their ticks and values (only their controls are disabled).
void ConfigModel::outputsAreaRule(ZoneRef z) {
    stateChanged_ = true;
    if (!c_.zone(z).outputsEnabled)
        return;
    for (int r = 1; r <= 4; ++r)
        rowTicked(z, r);
}

void ConfigModel::setZonePhone(ZoneRef z, int phone, bool on) {
    setPhoneFlag(c_.zone(z).phones, phone, on, zoneField(FieldRole::ZonePhone, z, phone), true);
}

void ConfigModel::setRowEnabled(ZoneRef z, int row, bool on) {
    Batch batch(*this);
    ZoneOutputAction& a = c_.action(z, row);
    const bool changed = a.enabled != on;
    put(a.enabled, on, zoneField(FieldRole::RowEnabled, z, row));
    if (changed)
        rowTicked(z, row);
}

// A row ticked: its choice may not take the arming output, and in the zones
// that do so the focus moves to the choice. Unticked: row 4 forgets its time.
void ConfigModel::rowTicked(ZoneRef z, int row) {
    ZoneOutputAction& a = c_.action(z, row);
    stateChanged_ = true;
    if (a.enabled) {
        rowArmingCheck(z, row);
        const FieldId choiceId = zoneField(FieldRole::RowOutput, z, row);
        if (focusesChoiceOnTick(z.wireless, z.number) && isEnabled(choiceId) && !filling())
            focus(controlOf(choiceId));
        return;
    }
    if (resetsTimeOnUntick(z.wireless, z.number, row)) {
        setRowMinutes(z, row, 0);
        setRowSeconds(z, row, 1);
    }
}

void ConfigModel::rowArmingCheck(ZoneRef z, int row) {
    ZoneOutputAction& a = c_.action(z, row);
    if (!collidesWithArming(a.output, c_.armingOutput, c_.armingOutputOn))
        return;
    prompts_.message(usedAtArmingMessage(choiceText(a.output)));
    put(a.output, std::optional<int>(), zoneField(FieldRole::RowOutput, z, row));
}

void ConfigModel::setRowAlwaysOn(ZoneRef z, int row, bool on) {
    setPlainFlag(c_.action(z, row).alwaysOn, on, zoneField(FieldRole::RowAlwaysOn, z, row));
}

void ConfigModel::setRowMinutes(ZoneRef z, int row, int minutes) {
    Batch batch(*this);
    const FieldId id = zoneField(FieldRole::RowMinutes, z, row);
    emptyEditors_.erase(id);
    put(c_.action(z, row).minutes, minutes, id);
}

void ConfigModel::setRowSeconds(ZoneRef z, int row, int seconds) {
    Batch batch(*this);
    const FieldId id = zoneField(FieldRole::RowSeconds, z, row);
    emptyEditors_.erase(id);
    put(c_.action(z, row).seconds, seconds, id);
}

// An emptied minutes or seconds editor counts as 0 and shows "0" once left,
// so a row is never written from an empty editor.
void ConfigModel::leaveRowMinutes(ZoneRef z, int row) {
    Batch batch(*this);
    if (emptyEditors_.count(zoneField(FieldRole::RowMinutes, z, row)))
        setRowMinutes(z, row, 0);
}

void ConfigModel::leaveRowSeconds(ZoneRef z, int row) {
    Batch batch(*this);
    if (emptyEditors_.count(zoneField(FieldRole::RowSeconds, z, row)))
        setRowSeconds(z, row, 0);
}

void ConfigModel::setRowOutput(ZoneRef z, int row, std::optional<int> position) {
    Batch batch(*this);
    put(c_.action(z, row).output, position, zoneField(FieldRole::RowOutput, z, row));
}

void ConfigModel::chooseRowOutput(ZoneRef z, int row, std::optional<int> position) {
    Batch batch(*this);
    setRowOutput(z, row, position);
    rowArmingCheck(z, row);
}

// Leaving a row's choice: one zone may not use an output in two rows.
void ConfigModel::leaveRowOutput(ZoneRef z, int row) {
    Batch batch(*this);
    const ExchangeModeValue mode = exchangeMode();
    if (mode == ExchangeMode::ReadBlock || mode == ExchangeMode::ReadOutputs)
        return;
    const OutputUses u = uses();
    const ZoneUse& zu = z.wireless ? u.wirelessZones.at(static_cast<std::size_t>(z.number - 1))
                                   : u.wiredZones.at(static_cast<std::size_t>(z.number - 1));
    if (!repeatsOutputInZone(zu, row - 1))
        return;
    prompts_.message(sameOutputMessage());
    if (keepsRowAfterSameOutput(z.wireless, z.number))
        focus(controlOf(zoneField(FieldRole::RowOutput, z, row)));
    else
        setRowEnabled(z, row, false);
}

// ---- Temperature sensors ----

void ConfigModel::setSensorActive(SensorRef s, bool on) {
    Batch batch(*this);
    put(c_.sensor(s).active, on, sensorField(FieldRole::SensorActive, s));
    stateChanged_ = true;
}

// None of the four temperatures may be 0: a 0 becomes 1 at once.
void ConfigModel::temperature(int& slot, int celsius, FieldId id) {
    Batch batch(*this);
    put(slot, celsius == 0 ? 1 : celsius, id);
}

void ConfigModel::setLowAlarm(SensorRef s, int celsius) {
    temperature(c_.sensor(s).lowAlarm, celsius, sensorField(FieldRole::SensorLowAlarm, s));
}
void ConfigModel::setHighAlarm(SensorRef s, int celsius) {
    temperature(c_.sensor(s).highAlarm, celsius, sensorField(FieldRole::SensorHighAlarm, s));
}
void ConfigModel::setEconomyTemp(SensorRef s, int celsius) {
    temperature(c_.sensor(s).economyTemp, celsius, sensorField(FieldRole::SensorEconomy, s));
}
void ConfigModel::setComfortTemp(SensorRef s, int celsius) {
    temperature(c_.sensor(s).comfortTemp, celsius, sensorField(FieldRole::SensorComfort, s));
}

// Keeping the temperature switched off also ends the automatic regulation;
// switched on, a wired sensor's output may not be the arming output.
void ConfigModel::setThermostat(SensorRef s, bool on) {
    Batch batch(*this);
    ThermoSensor& sensor = c_.sensor(s);
    const bool changed = sensor.thermostat != on;
    put(sensor.thermostat, on, sensorField(FieldRole::SensorThermostat, s));
    stateChanged_ = true;
    if (!changed)
        return;
    if (on) {
        if (!s.wireless)
            sensorCheck(s);
    } else {
        setAutoAfterDisarm(s, false);
    }
}

void ConfigModel::setAutoAfterDisarm(SensorRef s, bool on) {
    setPlainFlag(c_.sensor(s).autoAfterDisarm, on, sensorField(FieldRole::SensorAuto, s));
}

void ConfigModel::setSensorOutput(SensorRef s, std::optional<int> position) {
    Batch batch(*this);
    put(c_.sensor(s).output, position, sensorField(FieldRole::SensorOutput, s));
}

void ConfigModel::chooseSensorOutput(SensorRef s, std::optional<int> position) {
    Batch batch(*this);
    setSensorOutput(s, position);
    sensorCheck(s);
}

// A sensor's output may not be the arming output while that is in use.
void ConfigModel::sensorCheck(SensorRef s) {
    ThermoSensor& sensor = c_.sensor(s);
    if (!collidesWithArming(sensor.output, c_.armingOutput, c_.armingOutputOn))
        return;
    prompts_.message(usedAtArmingMessage(choiceText(sensor.output)));
    put(sensor.output, std::optional<int>(), sensorField(FieldRole::SensorOutput, s));
}

void ConfigModel::setSensorPhone(SensorRef s, int phone, bool on) {
    // Only the wireless sensors' telephone boxes ask whether the telephone is entered.
    setPhoneFlag(c_.sensor(s).phones, phone, on, sensorField(FieldRole::SensorPhone, s, phone),
                 s.wireless);
}

void ConfigModel::setSensorName(int n, const std::string& name) {
    Batch batch(*this);
    put(c_.wirelessThermoSensors.at(static_cast<std::size_t>(n - 1)).name, name,
        sensorField(FieldRole::SensorName, wirelessSensor(n)));
}

void ConfigModel::setSensorCode(int n, const std::string& code) {
    Batch batch(*this);
    put(c_.wirelessThermoSensors.at(static_cast<std::size_t>(n - 1)).code, code,
        sensorField(FieldRole::SensorCode, wirelessSensor(n)));
}

// ---- Wireless outputs ----

void ConfigModel::setOutputUsed(int n, bool on) {
    Batch batch(*this);
    WirelessOutput& o = c_.wirelessOutputs.at(static_cast<std::size_t>(n - 1));
    const bool changed = o.used != on;
    put(o.used, on, fieldIdOf(FieldRole::OutputUsed, n));
    if (changed)
        outputUsedClicked(n);
}

// The used box's reaction. Unticked: the output is released unless some choice
// still selects it. Ticked: an output without a code gets a new one.
void ConfigModel::outputUsedClicked(int n) {
    const std::size_t i = static_cast<std::size_t>(n - 1);
    WirelessOutput& o = c_.wirelessOutputs.at(i);
    const std::string nameControl = controlOf(fieldIdOf(FieldRole::OutputName, n));
    stateChanged_ = true;
    if (!o.used) {
        testEnabled_[i] = false;
        registry_.releaseEntry([this, n] { setOutputUsed(n, true); }, outputKey(n));
        return;
    }
    if (!trimmed(o.code).empty()) {
        testEnabled_[i] = true;
        if (!filling())
            focus(nameControl);
        return;
    }
    setOutputCode(n, generateOutputCode());
    focus(nameControl);
}

// A random code of up to six upper-case hexadecimal digits, padded with "0" on
// the right, that the registry does not report as taken.
std::string ConfigModel::generateOutputCode() {
    random_.next(16777215);
    std::string t;
    for (int attempt = 0; attempt < 100000; ++attempt) {
        const int a = 1 + random_.next(16777213);
        char buf[16];
        std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(a));
        t = buf;
        if (!registry_.isCodeTaken(a, t))
            break;
    }
    return padRight(t, '0', 6);
}

void ConfigModel::setOutputCode(int n, const std::string& code) {
    Batch batch(*this);
    WirelessOutput& o = c_.wirelessOutputs.at(static_cast<std::size_t>(n - 1));
    const bool changed = o.code != code;
    put(o.code, code, fieldIdOf(FieldRole::OutputCode, n));
    if (changed)
        outputCodeChanged(n);
}

// A code "000000" is no code; the buttons need a code.
void ConfigModel::outputCodeChanged(int n) {
    const std::size_t i = static_cast<std::size_t>(n - 1);
    WirelessOutput& o = c_.wirelessOutputs.at(i);
    if (o.code == "000000")
        put(o.code, std::string(), fieldIdOf(FieldRole::OutputCode, n));
    attachEnabled_[i] = testEnabled_[i] = !o.code.empty();
    stateChanged_ = true;
}

void ConfigModel::setOutputType(int n, int type) {
    Batch batch(*this);
    const FieldId id = fieldIdOf(FieldRole::OutputType, n);
    if (type < WirelessRelay || type > FourChannelRelay) {
        touch(id);
        return;
    }
    put(c_.wirelessOutputs.at(static_cast<std::size_t>(n - 1)).type, type, id);
}

// The user's new type is registered when the name field is left, so the
// focus goes there.
void ConfigModel::chooseOutputType(int n, int type) {
    Batch batch(*this);
    setOutputType(n, type);
    focus(controlOf(fieldIdOf(FieldRole::OutputName, n)));
}

void ConfigModel::setOutputName(int n, const std::string& name) {
    Batch batch(*this);
    put(c_.wirelessOutputs.at(static_cast<std::size_t>(n - 1)).name, name,
        fieldIdOf(FieldRole::OutputName, n));
}

// Leaving the name field registers the output under its name, or releases it
// when the name was cleared; two outputs may not bear one name.
void ConfigModel::leaveOutputName(int n) {
    Batch batch(*this);
    const WirelessOutput& o = c_.wirelessOutputs.at(static_cast<std::size_t>(n - 1));
    const std::string key = outputKey(n);
    stateChanged_ = true;
    if (trimmed(o.name).empty() && !filling()) {
        registry_.releaseEntry([this, n] { setOutputUsed(n, true); }, key);
        return;
    }
    if (registry_.isNameTaken(key, o.name)) {
        prompts_.message(ru("Совпадает имя выходов"));
        focus(controlOf(fieldIdOf(FieldRole::OutputName, n)));
        return;
    }
    registry_.registerEntry(key, o.name, o.code, 1, o.type == FourChannelRelay ? 4 : 1);
}

// ---- Remote controls and keys ----

void ConfigModel::setRemoteName(int k, const std::string& name) {
    Batch batch(*this);
    put(c_.remoteControls.at(static_cast<std::size_t>(k - 1)).name, name,
        fieldIdOf(FieldRole::RemoteName, k));
}

void ConfigModel::setRemoteCode(int k, const std::string& code) {
    Batch batch(*this);
    put(c_.remoteControls.at(static_cast<std::size_t>(k - 1)).code, code,
        fieldIdOf(FieldRole::RemoteCode, k));
}

void ConfigModel::setTouchKey(int k, const TouchKey& key) {
    c_.touchKeys.at(static_cast<std::size_t>(k - 1)) = key;
}

} // namespace t6
