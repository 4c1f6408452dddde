#include "config/ConfigModel.h"

#include <algorithm>
#include <cstdio>

#include "common/Cp1251.h"
#include "config/ConfigModelHelpers.h"
#include "config/FieldEncodings.h"
#include "config/PhoneMask.h"

namespace t6 {

using namespace model_detail;

ConfigModel::ConfigModel(Prompts& prompts, Random& random, std::function<ModelContext()> context,
                         std::function<LocalTime()> localNow)
    : prompts_(prompts), random_(random), context_(std::move(context)),
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

ModelContext ConfigModel::context() const {
    return context_ ? context_() : ModelContext::Editing;
}

// ---- Change notification ----

void ConfigModel::focus(const std::string& controlName) {
    focusRequests_.push_back(controlName);
}

void ConfigModel::flush() {
    const bool items = itemsChanged_;
    const bool state = stateChanged_;
    const bool page = firstPageRequested_;
    itemsChanged_ = stateChanged_ = firstPageRequested_ = false;
    if (!observer_) {
        // Nobody to tell: no list of the changes is made.
        changed_.clear();
        focusRequests_.clear();
        return;
    }
    std::vector<FieldId> ids = changed_.take();
    std::vector<std::string> focusTo = std::move(focusRequests_);
    focusRequests_.clear();
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

std::string ConfigModel::shownChoiceText(std::optional<int> position) const {
    const std::string item = choiceText(position);
    return shownItemText_ && position ? shownItemText_(*position, item) : item;
}

OutputUses ConfigModel::uses() const {
    OutputUses u;
    auto zone = [](const Zone& z) {
        ZoneUse rows;
        for (std::size_t r = 0; r < rows.size(); ++r)
            rows[r] = {z.actions[r].enabled, z.actions[r].output};
        return rows;
    };
    auto sensor = [](const ThermoSensor& s) { return SensorUse{s.active, s.thermostat, s.output}; };
    for (std::size_t i = 0; i < u.wiredZones.size(); ++i)
        u.wiredZones[i] = zone(c_.wiredZones[i]);
    for (std::size_t i = 0; i < u.wiredSensors.size(); ++i)
        u.wiredSensors[i] = sensor(c_.thermoSensors[i]);
    for (std::size_t i = 0; i < u.wirelessSensors.size(); ++i)
        u.wirelessSensors[i] = sensor(c_.wirelessThermoSensors[i]);
    u.button4On = c_.button4On;
    u.button4Output = c_.button4Output;
    for (std::size_t i = 0; i < u.wirelessZones.size(); ++i)
        u.wirelessZones[i] = zone(c_.wirelessZones[i]);
    return u;
}

std::string ConfigModel::tel_parameters_all(const std::string& group) const {
    return t6::tel_parameters_all(c_, group, context());
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
    for (int n = 1; n <= WirelessOutputCount; ++n) {
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
    for (int n = 1; n <= WiredZoneCount; ++n)
        zoneActivated(wiredZone(n));
    for (int n = 1; n <= WirelessZoneCount; ++n)
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
        for (int r = 1; r <= ZoneActionCount; ++r) {
            setRowEnabled(z, r, false);
            setRowAlwaysOn(z, r, false);
            setRowMinutes(z, r, 0);
            setRowSeconds(z, r, 1);
        }
    };
    for (int n = 1; n <= WiredZoneCount; ++n)
        resetZone(wiredZone(n));

    for (int t = 1; t <= TelephoneCount; ++t)
        setTelephone(t, "+7");
    setDeviceDate({});
    setDeviceTime({});
    setArmingMethod(std::nullopt);
    for (int t = 1; t <= TelephoneCount; ++t) {
        setSmsOnArming(t, false);
        setSmsOnDisarming(t, false);
    }
    setArmingBeep(false);
    setSupplyVoltageReport(false);
    // The report may already have been off with telephones ticked (a file can
    // hold that); after the reset they are off all the same.
    for (int t = 1; t <= TelephoneCount; ++t)
        setSupplyVoltagePhone(t, false);
    setExternalUps(false);
    setTimeInSms(false);
    setMicAndSpeakerOnCall(false);
    setStatusSmsOnCall(false);
    setArmingOutput(0);
    setButton4Output(0);
    setAlarmSms(false);
    setAlarmCall(false);
    setArmedIndicator(std::nullopt);

    for (int n = 1; n <= WiredSensorCount; ++n) {
        const SensorRef s = wiredSensor(n);
        setSensorActive(s, false);
        setThermostat(s, false);
        setAutoAfterDisarm(s, false);
        setLowAlarm(s, 0);
        setHighAlarm(s, 0);
        setEconomyTemp(s, 0);
        setComfortTemp(s, 0);
        setSensorOutput(s, 0);
        for (int t = 1; t <= TelephoneCount; ++t)
            setSensorPhone(s, t, false);
    }

    setText(fieldIdOf(FieldRole::ArmingDelay), {});
    setText(fieldIdOf(FieldRole::DisarmingDelay), {});

    for (int n = 1; n <= WirelessZoneCount; ++n)
        resetZone(wirelessZone(n));

    registry_.rebuildChoiceList();
    for (int n = 1; n <= WiredZoneCount; ++n)
        for (int r = 1; r <= ZoneActionCount; ++r)
            setRowOutput(wiredZone(n), r, r - 1);
    for (int n = 1; n <= WirelessZoneCount; ++n)
        for (int r = 1; r <= ZoneActionCount; ++r)
            setRowOutput(wirelessZone(n), r, r - 1);
    for (int n = 1; n <= WiredSensorCount; ++n)
        setSensorOutput(wiredSensor(n), 0);
    for (int n = 1; n <= WirelessSensorCount; ++n)
        setSensorOutput(wirelessSensor(n), 0);
    setArmingOutput(0);
    setButton4Output(0);

    for (int n = 1; n <= WirelessOutputCount; ++n)
        setOutputUsed(n, false);
    for (int n = 1; n <= WirelessOutputCount; ++n) {
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

} // namespace t6
