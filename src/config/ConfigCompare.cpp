#include "config/ConfigCompare.h"

#include <algorithm>
#include <cstddef>
#include <utility>

#include "common/Cp1251.h"
#include "config/ConfigModel.h"
#include "config/FieldDescription.h"
#include "config/FieldRoles.h"
#include "outputs/OutputChoiceList.h"

namespace t6 {

namespace {

std::string indexed(const char* member, int n) {
    return std::string(member) + "[" + std::to_string(n) + "]";
}

// One part of a caption: a text, and the number that follows it ("Строка 2").
struct CaptionPart {
    std::string text;
    int number = 0; // none when 0
    TextSource source = TextSource::Window;
};

CaptionPart windowPart(std::string text) {
    return {std::move(text), 0, TextSource::Window};
}
CaptionPart ownPart(const char* utf8, int number = 0) {
    return {ru(utf8), number, TextSource::Program};
}

// The parts joined as the window's accessible names are: by ", ", except after
// a heading that ends in a colon ("Громкость: Микрофон").
std::string joinParts(const std::vector<CaptionPart>& parts, const CaptionText& text) {
    std::string out;
    for (const CaptionPart& p : parts) {
        if (p.text.empty())
            continue;
        std::string shown = text ? text(p.text, p.source) : p.text;
        if (p.number != 0)
            shown += " " + std::to_string(p.number);
        if (!out.empty())
            out += out.back() == ':' ? " " : ", ";
        out += shown;
    }
    return out;
}

// The panel, the row and the control. Controls whose only text is a number
// beside a heading (the telephone boxes, the zones' entry delays, the rows)
// are named by what the number stands for.
std::vector<CaptionPart> captionOf(const FieldDescription& d) {
    const FieldWords& w = fieldRole(d.role).words;
    std::vector<CaptionPart> parts;
    if (w.heading)
        parts.push_back(windowPart(ru(w.heading)));
    parts.push_back(windowPart(d.group));
    if (w.unitWord)
        parts.push_back(ownPart(w.unitWord, d.unit));
    if (w.numbering == FieldNumbering::Row)
        parts.push_back(ownPart("Строка", d.sub));
    CaptionPart control = windowPart(d.caption == d.group ? std::string() : d.caption);
    if (w.numbering == FieldNumbering::TelephoneBox)
        control = ownPart("Телефон", d.sub);
    if (w.control)
        control = ownPart(w.control);
    parts.push_back(std::move(control));
    if (w.after)
        parts.push_back(ownPart(w.after));
    return parts;
}

struct Label {
    std::string name;
    std::vector<CaptionPart> parts;
    std::string caption; // the parts in Russian
};

// Names and captions never change: they are made once, the fields first, the
// ten access keys after them.
const std::vector<Label>& labels() {
    static const std::vector<Label> table = [] {
        std::vector<Label> t;
        const auto& fields = fieldDescriptions();
        t.reserve(fields.size() + 2 * TouchKeyCount);
        auto add = [&t](std::string name, std::vector<CaptionPart> parts) {
            std::string caption = joinParts(parts, {});
            t.push_back({std::move(name), std::move(parts), std::move(caption)});
        };
        for (const FieldDescription& d : fields)
            add(fieldMemberName(d), captionOf(d));
        for (int k = 1; k <= TouchKeyCount; ++k) {
            const std::string key = indexed("touchKeys", k);
            add(key + ".description", {ownPart("Ключ", k), ownPart("Описание")});
            add(key + ".code", {ownPart("Ключ", k), ownPart("КодКлюча")});
        }
        return t;
    }();
    return table;
}

std::string itemText(const std::vector<std::string>& items, int position) {
    if (position < 0 || static_cast<std::size_t>(position) >= items.size())
        return {};
    return items[static_cast<std::size_t>(position)];
}

std::string valueOf(const ConfigModel& model, const FieldDescription& d) {
    switch (d.kind) {
    case FieldKind::Check:
        return model.flag(d.id) ? "1" : "0";
    case FieldKind::Spin:
    case FieldKind::Text:
        return model.text(d.id);
    case FieldKind::Choice:
    case FieldKind::Radio:
        break;
    }
    const std::optional<int> position = model.choice(d.id);
    if (!position)
        return {};
    if (d.outputChoice)
        return model.registry().choiceText(position).value_or(std::string());
    // A group without items of its own (the message language) is its position.
    if (d.items.empty())
        return std::to_string(*position);
    return itemText(d.items, *position);
}

} // namespace

std::vector<FieldValue> describeConfig(const ConfigModel& model) {
    const auto& fields = fieldDescriptions();
    const auto& names = labels();
    std::vector<FieldValue> out;
    out.reserve(names.size());
    for (std::size_t i = 0; i < fields.size(); ++i)
        out.push_back({names[i].name, names[i].caption, valueOf(model, fields[i])});
    const DeviceConfig& c = model.config();
    for (std::size_t k = 0; k < c.touchKeys.size(); ++k) {
        const std::size_t i = fields.size() + 2 * k;
        out.push_back({names[i].name, names[i].caption, c.touchKeys[k].description});
        out.push_back({names[i + 1].name, names[i + 1].caption, c.touchKeys[k].code});
    }
    return out;
}

const std::string& fieldModelName(int fieldId) {
    return labels().at(static_cast<std::size_t>(fieldId)).name;
}

const std::string& fieldCaption(int fieldId) {
    return labels().at(static_cast<std::size_t>(fieldId)).caption;
}

std::string fieldCaption(int fieldId, const CaptionText& text) {
    return joinParts(labels().at(static_cast<std::size_t>(fieldId)).parts, text);
}

std::vector<FieldDifference> compareConfigs(const ConfigModel& before, const ConfigModel& after) {
    return compareFields(describeConfig(before), describeConfig(after));
}

std::vector<FieldValue> wordedFields(const std::vector<FieldValue>& described,
                                     const CaptionText& text) {
    const auto& names = labels();
    if (described.size() != names.size())
        return described;
    if (!text)
        return wordedFields(described, [](const std::string& t, TextSource) { return t; });
    const auto& fields = fieldDescriptions();
    const auto& fixed = OutputChoiceList::fixedOutputs();
    auto tr = [&text](const std::string& russian) { return text(russian, TextSource::Program); };
    const std::string yes = tr(ru("да"));
    const std::string no = tr(ru("нет"));
    std::vector<FieldValue> out;
    out.reserve(described.size());
    for (std::size_t i = 0; i < described.size(); ++i) {
        FieldValue f{described[i].name, joinParts(names[i].parts, text), described[i].value};
        if (i < fields.size() && !f.value.empty()) {
            const FieldDescription& d = fields[i];
            if (d.kind == FieldKind::Check)
                f.value = f.value == "1" ? yes : no;
            else if (!d.items.empty() &&
                     std::find(d.items.begin(), d.items.end(), f.value) != d.items.end())
                f.value = text(f.value, TextSource::Window);
            else if (d.outputChoice &&
                     std::find(fixed.begin(), fixed.end(), f.value) != fixed.end())
                f.value = text(f.value, TextSource::Window);
        }
        out.push_back(std::move(f));
    }
    return out;
}

std::vector<FieldDifference> compareFields(const std::vector<FieldValue>& before,
                                           const std::vector<FieldValue>& after,
                                           const CaptionText& text,
                                           const std::function<bool(const std::string&)>& keep) {
    std::vector<std::size_t> differing;
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i)
        if (before[i].value != after[i].value && (!keep || keep(before[i].name)))
            differing.push_back(i);
    // Without a language the values stay as describeConfig gives them.
    const std::vector<FieldValue> a = text ? wordedFields(before, text) : before;
    const std::vector<FieldValue> b = text ? wordedFields(after, text) : after;
    std::vector<FieldDifference> out;
    out.reserve(differing.size());
    for (std::size_t i : differing)
        out.push_back({a[i].name, a[i].caption, a[i].value, b[i].value});
    return out;
}

bool isSentToDevice(const std::string& fieldName) {
    return fieldName != "clockFromPc" && fieldName != "messageLanguage" &&
           fieldName != "sirenOutput" && fieldName.rfind("touchKeys[", 0) != 0;
}

bool isHeldInFile(const std::string& fieldName) {
    return fieldName != "clockFromPc" && fieldName.rfind("touchKeys[", 0) != 0;
}

} // namespace t6
