// Whether the window took a configuration file as the file gives it: every
// value the reader asked the model to take is compared with what the model
// holds once the load and its refresh are over.

#include "common/Cp1251.h"
#include "config/ConfigCompare.h"
#include "config/ConfigModel.h"
#include "files/ConfigFile.h"
#include "files/ConfigFileParse.h"

namespace t6 {

namespace {

// A choice as the window shows it: the item, the output's name, or the position.
std::string choiceText(const ConfigModel& m, FieldId id, std::optional<int> position) {
    if (!position)
        return {};
    const FieldDescription& d = fieldDescription(id);
    if (d.outputChoice)
        return m.registry().choiceText(position).value_or(std::to_string(*position));
    if (*position >= 0 && static_cast<std::size_t>(*position) < d.items.size())
        return d.items[static_cast<std::size_t>(*position)];
    return std::to_string(*position);
}

// The value the model holds, in the form of the file's value.
std::string heldText(const ConfigModel& m, const FileValue& v) {
    switch (v.kind) {
    case FileValue::Kind::Flag:
        return m.flag(v.field) ? "1" : "0";
    case FileValue::Kind::Number:
        return std::to_string(m.number(v.field));
    case FileValue::Kind::Text:
        return m.text(v.field);
    case FileValue::Kind::Choice:
        return choiceText(m, v.field, m.choice(v.field));
    }
    return {};
}

bool held(const ConfigModel& m, const FileValue& v) {
    switch (v.kind) {
    case FileValue::Kind::Flag:
        return m.flag(v.field) == v.flag;
    case FileValue::Kind::Number: {
        const auto n = fileDecimal(v.text);
        return n && m.number(v.field) == *n;
    }
    case FileValue::Kind::Text:
        return m.text(v.field) == v.text;
    case FileValue::Kind::Choice:
        return m.choice(v.field) == v.choice;
    }
    return true;
}

} // namespace

std::vector<LoadChange> loadChanges(const ConfigFileLoad& load, const ConfigModel& model) {
    std::vector<LoadChange> out;
    if (load.error)
        return out;
    // A field the file gives twice (a section repeated) counts with its last value.
    std::vector<std::size_t> last(fieldDescriptions().size(), load.fileValues.size());
    for (std::size_t i = 0; i < load.fileValues.size(); ++i)
        last[static_cast<std::size_t>(load.fileValues[i].field)] = i;
    for (std::size_t i = 0; i < load.fileValues.size(); ++i) {
        const FileValue& v = load.fileValues[i];
        if (last[static_cast<std::size_t>(v.field)] != i)
            continue;
        // A text longer than its field goes to the device cut to the field's
        // length (a message of 40 characters in a file, where the device
        // keeps 25): the window holds it, the device will not.
        const std::size_t limit = static_cast<std::size_t>(fieldDescription(v.field).maxLength);
        if (v.kind == FileValue::Kind::Text && limit > 0 && v.text.size() > limit &&
            held(model, v)) {
            out.push_back({v.field, v.text, v.text.substr(0, limit)});
            continue;
        }
        if (held(model, v))
            continue;
        std::string given;
        switch (v.kind) {
        case FileValue::Kind::Flag:
            given = v.flag ? "1" : "0";
            break;
        case FileValue::Kind::Number:
        case FileValue::Kind::Text:
            given = v.text;
            break;
        case FileValue::Kind::Choice:
            given = choiceText(model, v.field, v.choice);
            break;
        }
        out.push_back({v.field, std::move(given), heldText(model, v)});
    }
    return out;
}

std::vector<std::string> loadChangeReport(const ConfigFileLoad& load,
                                          const std::vector<LoadChange>& changes) {
    std::vector<std::string> lines;
    for (int n : load.missingSections)
        lines.push_back(ru("Нет раздела ") + configSectionTag(n) +
                        ru(": его поля оставлены как после сброса"));
    for (const LoadChange& c : changes)
        lines.push_back(ru("Значение файла не принято: ") + fieldCaption(c.field) +
                        ru(": в файле \"") + c.fileValue + ru("\", в окне \"") + c.loadedValue +
                        "\"");
    return lines;
}

} // namespace t6
