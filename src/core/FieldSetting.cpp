#include "core/FieldSetting.h"

#include "common/Cp1251.h"
#include "common/TextNumbers.h"
#include "config/ConfigCompare.h"
#include "config/ConfigModel.h"

namespace t6 {

namespace {

using Kind = SettingResult::Kind;

// The item a list shows at a position, as describeConfig gives its value.
std::string itemAt(const ConfigModel& model, const FieldDescription& d, int position) {
    if (d.outputChoice)
        return model.registry().choiceText(position).value_or(std::string());
    const std::vector<std::string> items = model.items(d.id);
    return position >= 0 && static_cast<std::size_t>(position) < items.size()
               ? items[static_cast<std::size_t>(position)]
               : std::string();
}

// The position of a list's item, as the user would pick it.
std::optional<int> positionOf(const ConfigModel& model, const FieldDescription& d,
                              const std::string& text) {
    const std::vector<std::string> items = model.items(d.id);
    if (items.empty()) {
        // A group without items of its own (the message language) is its position.
        const auto n = parseInteger(text);
        if (!n || *n < d.minimum || *n > d.maximum)
            return std::nullopt;
        return static_cast<int>(*n);
    }
    for (std::size_t i = 0; i < items.size(); ++i)
        if (!text.empty() && (items[i] == text || itemAt(model, d, static_cast<int>(i)) == text))
            return static_cast<int>(i);
    return std::nullopt;
}

// Runs the editor's steps; false when the editor would not take the value.
Kind edit(ConfigModel& model, const FieldDescription& d, const std::string& value) {
    switch (d.kind) {
    case FieldKind::Check:
        if (value != "1" && value != "0")
            return Kind::BadValue;
        model.setFlag(d.id, value == "1");
        return Kind::Done;
    case FieldKind::Spin: {
        const auto n = parseInteger(value);
        if (!n || value.empty() || value.find_first_not_of("0123456789") != std::string::npos)
            return Kind::BadValue;
        if (*n < d.minimum || *n > d.maximum)
            return Kind::OutOfRange;
        if (!model.setText(d.id, value))
            return Kind::BadValue;
        model.leaveField(d.id);
        return Kind::Done;
    }
    case FieldKind::Text:
        // What the editor lets the user type: no more bytes than it holds.
        if (d.maxLength > 0 && value.size() > static_cast<std::size_t>(d.maxLength))
            return Kind::OutOfRange;
        if (!model.setText(d.id, value))
            return Kind::BadValue;
        model.leaveField(d.id);
        return Kind::Done;
    case FieldKind::Choice:
    case FieldKind::Radio: {
        const std::optional<int> position = positionOf(model, d, value);
        if (!position)
            return Kind::BadValue;
        model.chooseItem(d.id, position);
        model.leaveField(d.id);
        return Kind::Done;
    }
    }
    return Kind::BadValue;
}

} // namespace

std::optional<FieldSetting> parseFieldSetting(const std::string& word) {
    const std::size_t eq = word.find('=');
    if (eq == std::string::npos || eq == 0)
        return std::nullopt;
    return FieldSetting{word.substr(0, eq), word.substr(eq + 1)};
}

std::optional<FieldId> fieldOfModelName(const std::string& name) {
    for (const FieldDescription& d : fieldDescriptions())
        if (fieldModelName(d.id) == name)
            return d.id;
    return std::nullopt;
}

BoxWatch watchBoxes(const SettingPrompts& prompts) {
    return {[&prompts] { return prompts.boxes.size(); },
            [&prompts](std::size_t i) { return prompts.boxes.at(i); }};
}

SettingResult applyFieldSetting(ConfigModel& model, const BoxWatch& boxes,
                                const FieldSetting& setting) {
    SettingResult result;
    result.field = fieldOfModelName(setting.name);
    if (!result.field) {
        result.kind = Kind::UnknownName;
        return result;
    }
    const FieldDescription& d = fieldDescription(*result.field);
    if (!d.userEditable || d.hidden) {
        result.kind = Kind::NotEditable;
        return result;
    }
    if (!model.isEnabled(d.id)) {
        result.kind = Kind::Disabled;
        return result;
    }
    const std::optional<std::string> value = utf8ToCp1251(setting.value);
    if (!value) {
        // The device and the files hold Windows-1251 only.
        result.kind = Kind::BadValue;
        return result;
    }
    const std::size_t shown = boxes.count();
    result.kind = edit(model, d, *value);
    if (result.kind == Kind::Done && boxes.count() > shown) {
        result.kind = Kind::Refused;
        result.box = boxes.text(shown);
    }
    return result;
}

std::string settingRefusalText(const std::function<std::string(const std::string&)>& translate,
                               const SettingResult& r, const FieldSetting& setting) {
    auto tr = [&translate](const char* utf8) { return translate(ru(utf8)); };
    const std::string name = platformNameText(setting.name);
    const std::string value = platformNameText(setting.value);
    const std::string caption = r.field ? " (" + fieldCaption(*r.field) + ")" : std::string();
    switch (r.kind) {
    case Kind::Done:
        return {};
    case Kind::UnknownName:
        return tr("Нет такого поля:") + " " + name;
    case Kind::NotEditable:
        return tr("Это поле не изменяется в окне:") + " " + name + caption;
    case Kind::Disabled:
        return tr("Поле сейчас недоступно в окне:") + " " + name + caption;
    case Kind::BadValue:
        return tr("Значение не подходит полю") + " " + name + caption + ": " + value;
    case Kind::OutOfRange: {
        const FieldDescription& d = fieldDescription(*r.field);
        const std::string bounds =
            d.kind == FieldKind::Spin ? std::to_string(d.minimum) + ".." + std::to_string(d.maximum)
                                      : tr("байт не больше") + " " + std::to_string(d.maxLength);
        return tr("Значение вне пределов поля") + " " + name + caption + " (" + bounds +
               "): " + value;
    }
    case Kind::Refused:
        return translate(r.box);
    }
    return {};
}

} // namespace t6
