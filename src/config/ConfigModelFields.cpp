// Field access through the descriptions: every generic read, write, enabled
// state and look takes the field's row of the role table, whose writes go to
// the named method of the model that carries the field's rule.

#include <stdexcept>

#include "common/TextNumbers.h"
#include "config/ConfigModel.h"
#include "config/FieldRoles.h"

namespace t6 {

namespace {

[[noreturn]] void wrongKind(const FieldDescription& d, const char* what) {
    throw std::logic_error(d.controlName + " is not " + what);
}

std::size_t at(int n) {
    return static_cast<std::size_t>(n - 1);
}

} // namespace

bool ConfigModel::flag(FieldId id) const {
    const FieldDescription& d = fieldDescription(id);
    const auto get = fieldRole(d.role).access.flag;
    if (!get)
        wrongKind(d, "a tick box");
    return get(c_, d);
}

int ConfigModel::number(FieldId id) const {
    const FieldDescription& d = fieldDescription(id);
    const auto get = fieldRole(d.role).access.number;
    if (!get)
        wrongKind(d, "a number");
    return get(c_, d);
}

std::string ConfigModel::text(FieldId id) const {
    const FieldDescription& d = fieldDescription(id);
    if (d.kind == FieldKind::Spin)
        return emptyEditors_.count(id) ? std::string() : std::to_string(number(id));
    const auto get = fieldRole(d.role).access.text;
    if (!get)
        wrongKind(d, "a text");
    return get(c_, d);
}

std::optional<int> ConfigModel::choice(FieldId id) const {
    const FieldDescription& d = fieldDescription(id);
    const auto get = fieldRole(d.role).access.choice;
    if (!get)
        wrongKind(d, "a choice");
    return get(c_, d);
}

std::vector<std::string> ConfigModel::items(FieldId id) const {
    const FieldDescription& d = fieldDescription(id);
    if (d.outputChoice)
        return registry_.shownItems();
    return d.items;
}

void ConfigModel::setFlag(FieldId id, bool on) {
    const FieldDescription& d = fieldDescription(id);
    const auto set = fieldRole(d.role).access.setFlag;
    if (!set)
        wrongKind(d, "a tick box");
    set(*this, d, on);
}

void ConfigModel::setNumber(FieldId id, int value) {
    const FieldDescription& d = fieldDescription(id);
    const auto set = fieldRole(d.role).access.setNumber;
    if (!set)
        wrongKind(d, "a number");
    set(*this, d, value);
}

bool ConfigModel::setText(FieldId id, const std::string& text) {
    const FieldDescription& d = fieldDescription(id);
    const FieldAccess& access = fieldRole(d.role).access;
    if (d.kind == FieldKind::Spin) {
        Batch batch(*this);
        if (text.empty()) {
            switch (access.emptyEditor) {
            case EmptyEditor::Zero:
                setNumber(id, 0);
                return true;
            case EmptyEditor::ZeroUntilLeft:
                setNumber(id, 0);
                emptyEditors_.insert(id);
                return true;
            case EmptyEditor::Refused:
                break;
            }
            touch(id);
            return false;
        }
        auto v = parseInteger(text);
        // A number outside the editor's range would reach the device as some
        // other byte: it is refused as a text that is no number is.
        if (!v || *v < d.minimum || *v > d.maximum) {
            touch(id);
            return false;
        }
        setNumber(id, *v);
        return true;
    }
    if (!access.setText)
        wrongKind(d, "a text");
    if (!access.setText(*this, d, text)) {
        // Refused (a text that is no telephone): the field shows its value again.
        touch(id);
        return false;
    }
    return true;
}

void ConfigModel::setChoice(FieldId id, std::optional<int> position) {
    const FieldDescription& d = fieldDescription(id);
    const auto set = fieldRole(d.role).access.setChoice;
    if (!set)
        wrongKind(d, "a choice");
    set(*this, d, position);
}

void ConfigModel::chooseItem(FieldId id, std::optional<int> position) {
    const FieldDescription& d = fieldDescription(id);
    if (const auto choose = fieldRole(d.role).access.chooseItem)
        return choose(*this, d, position);
    setChoice(id, position);
}

void ConfigModel::leaveField(FieldId id) {
    const FieldDescription& d = fieldDescription(id);
    if (const auto leave = fieldRole(d.role).access.leave)
        leave(*this, d);
}

// ---- Enabled states and looks ----

bool ConfigModel::isEnabled(FieldId id) const {
    const FieldDescription& d = fieldDescription(id);
    const auto enabled = fieldRole(d.role).enabled;
    return enabled ? enabled(c_, d) : true;
}

Look ConfigModel::look(FieldId id) const {
    const FieldDescription& d = fieldDescription(id);
    const auto look = fieldRole(d.role).look;
    return look ? look(c_, d) : Look::Plain;
}

Look ConfigModel::zonePanelLook(ZoneRef z) const {
    return c_.zone(z).active ? Look::ActiveGreen : Look::InactiveGrey;
}

bool ConfigModel::actionAreaEnabled(ZoneRef z) const {
    return c_.zone(z).outputsEnabled;
}

Look ConfigModel::actionAreaLook(ZoneRef z) const {
    return c_.zone(z).outputsEnabled ? Look::ActiveGreen : Look::InactiveGrey;
}

bool ConfigModel::sensorsButtonEnabled(int n) const {
    return c_.zone(wirelessZone(n)).active;
}

Look ConfigModel::sensorPanelLook(SensorRef s) const {
    return c_.sensor(s).active ? Look::ActiveGreen : Look::InactiveGrey;
}

bool ConfigModel::sensorReadButtonEnabled(int n) const {
    return c_.sensor(wirelessSensor(n)).active;
}

bool ConfigModel::outputPanelEnabled(int n) const {
    return c_.wirelessOutputs.at(at(n)).used;
}

Look ConfigModel::outputPanelLook(int n) const {
    return outputPanelEnabled(n) ? Look::ButtonFace : Look::Grey;
}

bool ConfigModel::attachButtonEnabled(int n) const {
    // The attach button sits inside the output's panel.
    return outputPanelEnabled(n) && attachEnabled_.at(at(n));
}

bool ConfigModel::testButtonsEnabled(int n) const {
    return testEnabled_.at(at(n));
}

} // namespace t6
