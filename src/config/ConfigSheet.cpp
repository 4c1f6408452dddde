#include "config/ConfigSheet.h"

#include <cstddef>
#include <cstdio>

#include "common/Cp1251.h"
#include "config/FieldDescription.h"

namespace t6 {

namespace {

// A radio code learned: not empty, and not the zeros of an empty slot.
bool learned(const std::string& code) {
    return code.find_first_not_of('0') != std::string::npos;
}

std::string twoDigits(int n) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return buf;
}

// Builds the sheet from the raw values (to decide) and the worded ones (to show).
class SheetBuilder {
public:
    SheetBuilder(const std::vector<FieldValue>& described, const CaptionText& text)
        : raw_(described), shown_(wordedFields(described, text)), text_(text) {}

    // A text the program words itself.
    std::string tr(const std::string& russian) const {
        return text_ ? text_(russian, TextSource::Program) : russian;
    }
    // A caption the window shows.
    std::string win(const std::string& russian) const {
        return text_ ? text_(russian, TextSource::Window) : russian;
    }

    bool valid() const { return raw_.size() == fieldDescriptions().size() + 2 * TouchKeyCount; }

    const std::string& raw(FieldId id) const { return raw_[static_cast<std::size_t>(id)].value; }
    const std::string& shown(FieldId id) const {
        return shown_[static_cast<std::size_t>(id)].value;
    }
    bool on(FieldId id) const { return raw(id) == "1"; }
    std::string caption(FieldId id) const { return win(fieldDescription(id).caption); }
    std::string group(FieldId id) const { return win(fieldDescription(id).group); }
    const std::string& keyValue(int key, int part) const {
        return raw_[fieldDescriptions().size() + 2 * static_cast<std::size_t>(key - 1) +
                    static_cast<std::size_t>(part)]
            .value;
    }

    // "Телефоны: 1, 3", or "нет".
    std::string phones(FieldRole role, int unit, bool wireless) const {
        std::string list;
        for (int t = 1; t <= TelephoneCount; ++t) {
            if (!on(fieldIdOf(role, unit, t, wireless)))
                continue;
            if (!list.empty())
                list += ", ";
            list += std::to_string(t);
        }
        return tr(ru("Телефоны")) + ": " + (list.empty() ? tr(ru("нет")) : list);
    }

    SheetSection telephones() const {
        const FieldId first = fieldIdOf(FieldRole::Telephone, 1);
        SheetSection s{group(first), {}};
        for (int t = 1; t <= TelephoneCount; ++t) {
            const FieldId id = fieldIdOf(FieldRole::Telephone, t);
            const std::string& number = raw(id);
            // "+7" alone is the field as it starts: no number entered.
            if (number.size() <= 2)
                continue;
            s.lines.push_back(caption(id) + " " + number);
        }
        if (s.lines.empty())
            s.lines.push_back(tr(ru("Телефоны не заданы.")));
        return s;
    }

    void zone(int z, bool wireless, std::vector<SheetSection>& out) const {
        const FieldId active = fieldIdOf(FieldRole::ZoneActive, z, 0, wireless);
        if (!on(active))
            return;
        SheetSection s{group(active), {}};
        const FieldId message = fieldIdOf(FieldRole::ZoneMessage, z, 0, wireless);
        s.lines.push_back(caption(message) + ": " + raw(message));
        if (!wireless) {
            const FieldId type = fieldIdOf(FieldRole::ZoneInputType, z);
            s.lines.push_back(caption(type) + ": " + shown(type));
        }
        const FieldId delay = fieldIdOf(FieldRole::EntryDelay, z, 0, wireless);
        s.lines.push_back(tr(ru("Задержка на вход")) + ": " + shown(delay));
        const FieldId control = fieldIdOf(FieldRole::ZoneControl24h, z, 0, wireless);
        if (on(control))
            s.lines.push_back(caption(control));
        bool anyOutput = false;
        for (int r = 1; r <= ZoneActionCount; ++r) {
            if (!on(fieldIdOf(FieldRole::RowEnabled, z, r, wireless)))
                continue;
            anyOutput = true;
            std::string line = tr(ru("Выход")) + ": " +
                               shown(fieldIdOf(FieldRole::RowOutput, z, r, wireless)) + " \x97 ";
            const FieldId always = fieldIdOf(FieldRole::RowAlwaysOn, z, r, wireless);
            if (on(always))
                line += caption(always);
            else
                line += raw(fieldIdOf(FieldRole::RowMinutes, z, r, wireless)) + " " +
                        tr(ru("мин")) + " " +
                        raw(fieldIdOf(FieldRole::RowSeconds, z, r, wireless)) + " " + tr(ru("с"));
            s.lines.push_back(std::move(line));
        }
        if (!anyOutput)
            s.lines.push_back(tr(ru("Выходы")) + ": " + tr(ru("нет")));
        s.lines.push_back(phones(FieldRole::ZonePhone, z, wireless));
        out.push_back(std::move(s));
    }

    void sensor(int n, bool wireless, std::vector<SheetSection>& out) const {
        const FieldId active = fieldIdOf(FieldRole::SensorActive, n, 0, wireless);
        if (!on(active))
            return;
        SheetSection s{group(active), {}};
        if (wireless) {
            const std::string& name = raw(fieldIdOf(FieldRole::SensorName, n, 0, true));
            if (!name.empty())
                s.title += " (" + name + ")";
        }
        const FieldId low = fieldIdOf(FieldRole::SensorLowAlarm, n, 0, wireless);
        const FieldId high = fieldIdOf(FieldRole::SensorHighAlarm, n, 0, wireless);
        s.lines.push_back(tr(ru("Пороги тревоги")) + ": " + caption(low) + " " + raw(low) + ", " +
                          caption(high) + " " + raw(high) + " " + ru("°C"));
        const FieldId thermostat = fieldIdOf(FieldRole::SensorThermostat, n, 0, wireless);
        std::string keep = caption(thermostat) + ": ";
        if (on(thermostat)) {
            const FieldId economy = fieldIdOf(FieldRole::SensorEconomy, n, 0, wireless);
            const FieldId comfort = fieldIdOf(FieldRole::SensorComfort, n, 0, wireless);
            const FieldId output = fieldIdOf(FieldRole::SensorOutput, n, 0, wireless);
            const FieldId autoRegulation = fieldIdOf(FieldRole::SensorAuto, n, 0, wireless);
            keep += caption(economy) + " " + raw(economy) + " " + ru("°C");
            if (on(autoRegulation))
                keep += ", " + caption(comfort) + " " + raw(comfort) + " " + ru("°C");
            keep += ", " + tr(ru("Выход")) + ": " + shown(output);
            s.lines.push_back(std::move(keep));
            if (on(autoRegulation))
                s.lines.push_back(caption(autoRegulation));
        } else {
            s.lines.push_back(keep + tr(ru("нет")));
        }
        s.lines.push_back(phones(FieldRole::SensorPhone, n, wireless));
        out.push_back(std::move(s));
    }

    SheetSection wirelessOutputs() const {
        SheetSection s{win(ru("Беспроводные выходы")), {}};
        for (int n = 1; n <= WirelessOutputCount; ++n) {
            if (!on(fieldIdOf(FieldRole::OutputUsed, n)))
                continue;
            s.lines.push_back(std::to_string(n) + ". " +
                              named(raw(fieldIdOf(FieldRole::OutputName, n))) + " \x97 " +
                              shown(fieldIdOf(FieldRole::OutputType, n)));
        }
        if (s.lines.empty())
            s.lines.push_back(tr(ru("нет")));
        return s;
    }

    SheetSection remotes() const {
        SheetSection s{win(ru("Радиопульты")), {}};
        // A remote control is in use once it has learned its code.
        for (int k = 1; k <= RemoteControlCount; ++k)
            if (learned(raw(fieldIdOf(FieldRole::RemoteCode, k))))
                s.lines.push_back(std::to_string(k) + ". " +
                                  named(raw(fieldIdOf(FieldRole::RemoteName, k))));
        if (s.lines.empty())
            s.lines.push_back(tr(ru("нет")));
        return s;
    }

    SheetSection wirelessSensors() const {
        SheetSection s{win(ru("Беспроводные датчики температуры")), {}};
        for (int n = 1; n <= WirelessSensorCount; ++n)
            if (learned(raw(fieldIdOf(FieldRole::SensorCode, n, 0, true))))
                s.lines.push_back(std::to_string(n) + ". " +
                                  named(raw(fieldIdOf(FieldRole::SensorName, n, 0, true))));
        if (s.lines.empty())
            s.lines.push_back(tr(ru("нет")));
        return s;
    }

    SheetSection keys() const {
        SheetSection s{tr(ru("Ключи Touch Memory")), {}};
        for (int k = 1; k <= TouchKeyCount; ++k) {
            const std::string& code = keyValue(k, 1);
            if (code.empty())
                continue;
            const std::string& description = keyValue(k, 0);
            s.lines.push_back(std::to_string(k) + ". " +
                              (description.empty() ? tr(ru("без описания")) : description) +
                              " \x97 " + keyCodeEnding(code));
        }
        if (s.lines.empty())
            s.lines.push_back(tr(ru("нет")));
        else
            s.lines.push_back(tr(ru("Коды ключей показаны только последними четырьмя цифрами.")));
        return s;
    }

private:
    std::string named(const std::string& name) const {
        return name.empty() ? tr(ru("без названия")) : name;
    }

    const std::vector<FieldValue>& raw_;
    std::vector<FieldValue> shown_;
    const CaptionText& text_;
};

} // namespace

std::string keyCodeEnding(const std::string& code) {
    constexpr std::size_t shown = 4;
    if (code.size() <= shown)
        return ru("…");
    return ru("…") + code.substr(code.size() - shown);
}

ConfigSheet makeConfigSheet(const std::vector<FieldValue>& described, const SheetInfo& info,
                            const CaptionText& text) {
    const SheetBuilder b(described, text);
    ConfigSheet sheet;
    sheet.title = b.tr(ru("Лист настроек")) + ": " + b.win(ru("Умный Торвел-6"));
    sheet.heading.push_back(b.win(ru("Дата")) + ": " + twoDigits(info.date.day) + "." +
                            twoDigits(info.date.month) + "." + std::to_string(info.date.year));
    if (!info.deviceVersion.empty())
        sheet.heading.push_back(b.tr(ru("Версия прибора:")) + " " + info.deviceVersion);
    if (!b.valid())
        return sheet;
    sheet.sections.push_back(b.telephones());
    for (int z = 1; z <= WiredZoneCount; ++z)
        b.zone(z, false, sheet.sections);
    for (int z = 1; z <= WirelessZoneCount; ++z)
        b.zone(z, true, sheet.sections);
    for (int n = 1; n <= WiredSensorCount; ++n)
        b.sensor(n, false, sheet.sections);
    for (int n = 1; n <= WirelessSensorCount; ++n)
        b.sensor(n, true, sheet.sections);
    sheet.sections.push_back(b.wirelessOutputs());
    sheet.sections.push_back(b.remotes());
    sheet.sections.push_back(b.wirelessSensors());
    sheet.sections.push_back(b.keys());
    return sheet;
}

} // namespace t6
