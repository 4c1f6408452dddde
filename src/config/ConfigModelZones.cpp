// The model's zones and their four output rows.

#include "config/ConfigModel.h"

#include "common/Cp1251.h"
#include "config/ConfigModelHelpers.h"

namespace t6 {

using namespace model_detail;

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
    put(c_.wiredZones.at(static_cast<std::size_t>(n - 1)).inputType,
        within(type, 1, InputTypeCount), zoneField(FieldRole::ZoneInputType, wiredZone(n)));
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
    for (int r = 1; r <= ZoneActionCount; ++r)
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
    prompts_.message(usedAtArmingMessage(shownChoiceText(a.output)));
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
    if (context() == ModelContext::FillingFromDevice)
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

} // namespace t6
