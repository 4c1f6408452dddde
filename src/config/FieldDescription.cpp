#include "config/FieldDescription.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <unordered_map>

#include "common/Cp1251.h"

namespace t6 {

const std::vector<std::string>& inputTypeItems() {
    static const std::vector<std::string> items = {
        ru("По высокому уровню"), ru("Нормально замкнутый (НЗ)"), ru("Нормально разомкнутый (НРЗ)"),
        ru("НЗ с оконечным резистором"), ru("Дымовой 2-х проводный датчик")};
    return items;
}

const std::vector<std::string>& armingMethodItems() {
    static const std::vector<std::string> items = {ru("Высокий"), ru("Низкий"),
                                                   ru("Touch Memory/Импульс")};
    return items;
}

const std::vector<std::string>& armedIndicatorItems() {
    static const std::vector<std::string> items = {ru("Светодиод(LED)"), ru("Внешн. извещатель")};
    return items;
}

const std::vector<std::string>& outputTypeItems() {
    static const std::vector<std::string> items = {
        ru("Беспроводное реле"), ru("Беспроводная сирена"), ru("Беспроводная розетка"),
        ru("Беспроводное реле LR-4")};
    return items;
}

namespace {

// The fields by member: one slot per role, side (wired or wireless), unit and
// sub-number, which stay small. The model asks this at every write of a
// field, so it is a plain index instead of a hash lookup.
class MemberIndex {
public:
    void build(const std::vector<FieldDescription>& fields) {
        for (const auto& d : fields) {
            roles_ = std::max(roles_, static_cast<int>(d.role) + 1);
            units_ = std::max(units_, d.unit + 1);
            subs_ = std::max(subs_, d.sub + 1);
        }
        ids_.assign(static_cast<std::size_t>(roles_ * 2 * units_ * subs_), -1);
        for (const auto& d : fields) {
            FieldId& slot = ids_[*slotOf(d.role, d.unit, d.sub, d.wireless)];
            if (slot != -1)
                throw std::logic_error("duplicate member of " + d.controlName);
            slot = d.id;
        }
    }

    FieldId find(FieldRole role, int unit, int sub, bool wireless) const {
        const auto at = slotOf(role, unit, sub, wireless);
        return at ? ids_[*at] : -1;
    }

private:
    std::optional<std::size_t> slotOf(FieldRole role, int unit, int sub, bool wireless) const {
        const int r = static_cast<int>(role);
        if (r < 0 || r >= roles_ || unit < 0 || unit >= units_ || sub < 0 || sub >= subs_)
            return std::nullopt;
        return static_cast<std::size_t>(((r * 2 + (wireless ? 1 : 0)) * units_ + unit) * subs_ +
                                        sub);
    }

    int roles_ = 0, units_ = 0, subs_ = 0;
    std::vector<FieldId> ids_;
};

struct Table {
    std::vector<FieldDescription> fields;
    std::unordered_map<std::string, FieldId> byName;
    MemberIndex byMember;
};

class Builder {
public:
    std::vector<FieldDescription> fields;

    FieldDescription& add(std::string name, FieldKind kind, FieldRole role, std::string caption,
                          std::string group, int unit = 0, int sub = 0, bool wireless = false) {
        FieldDescription d;
        d.id = static_cast<FieldId>(fields.size());
        d.controlName = std::move(name);
        d.kind = kind;
        d.role = role;
        d.caption = std::move(caption);
        d.group = std::move(group);
        d.unit = unit;
        d.sub = sub;
        d.wireless = wireless;
        fields.push_back(std::move(d));
        return fields.back();
    }
    FieldDescription& check(std::string name, FieldRole role, std::string caption,
                            std::string group, int unit = 0, int sub = 0, bool wireless = false) {
        return add(std::move(name), FieldKind::Check, role, std::move(caption), std::move(group),
                   unit, sub, wireless);
    }
    FieldDescription& spin(std::string name, FieldRole role, std::string caption, std::string group,
                           int lo, int hi, int unit = 0, int sub = 0, bool wireless = false) {
        auto& d = add(std::move(name), FieldKind::Spin, role, std::move(caption), std::move(group),
                      unit, sub, wireless);
        d.minimum = lo;
        d.maximum = hi;
        d.maxLength = static_cast<int>(std::to_string(hi).size()) + (lo < 0 ? 1 : 0);
        return d;
    }
    FieldDescription& text(std::string name, FieldRole role, std::string caption, std::string group,
                           int maxLength, int unit = 0, int sub = 0, bool wireless = false) {
        auto& d = add(std::move(name), FieldKind::Text, role, std::move(caption), std::move(group),
                      unit, sub, wireless);
        d.maxLength = maxLength;
        return d;
    }
    FieldDescription& choice(std::string name, FieldRole role, std::string caption,
                             std::string group, const std::vector<std::string>& items, int unit = 0,
                             int sub = 0, bool wireless = false,
                             FieldKind kind = FieldKind::Choice) {
        auto& d = add(std::move(name), kind, role, std::move(caption), std::move(group), unit, sub,
                      wireless);
        d.items = items;
        d.maximum = static_cast<int>(items.size()) - 1;
        return d;
    }
    FieldDescription& output(std::string name, FieldRole role, std::string caption,
                             std::string group, int unit = 0, int sub = 0, bool wireless = false) {
        auto& d = add(std::move(name), FieldKind::Choice, role, std::move(caption),
                      std::move(group), unit, sub, wireless);
        d.outputChoice = true;
        return d;
    }
    void phones(const std::string& prefix, FieldRole role, const std::string& group, int unit,
                bool wireless, const std::string& suffix = "") {
        for (int t = 1; t <= TelephoneCount; ++t)
            check(prefix + std::to_string(t) + suffix, role, std::to_string(t), group, unit, t,
                  wireless);
    }
};

std::string num(int n) {
    return std::to_string(n);
}

void addGeneral(Builder& b) {
    const std::string phonesGroup = ru("Список телефонов для оповещения");
    for (int t = 1; t <= TelephoneCount; ++t)
        b.text("ME_tel" + num(t), FieldRole::Telephone, ru("Номер ") + num(t) + " --", phonesGroup,
               0, t);
    b.text("Edit_Date", FieldRole::DeviceDate, ru("Дата"), phonesGroup, 8);
    b.text("Edit_time", FieldRole::DeviceTime, ru("Время"), phonesGroup, 8);
    b.check("CheckBox4", FieldRole::ClockFromPc, ru("Дата и время. Синхронизация с ПК"),
            phonesGroup);

    const std::string delays = ru("Время задержки: 0-250(c)");
    b.spin("SE_inp", FieldRole::ArmingDelay, ru("Постановка -"), delays, 0, 250);
    b.spin("SE_out", FieldRole::DisarmingDelay, ru("Снятие -"), delays, 0, 250);
    b.choice("CBox_INPUT", FieldRole::ArmingMethod, ru("Способ"), {}, armingMethodItems());
    b.phones("CB_SMS_in", FieldRole::SmsOnArming, ru("Отправлять SMS при постановке"), 0, false);
    b.phones("CB_SMS_out", FieldRole::SmsOnDisarming, ru("Отправлять SMS при снятии"), 0, false);
    const std::string volt = ru("Контроль напряжения питания отправить");
    b.check("CB_Ctrl_Volt", FieldRole::SupplyVoltageReport, volt, {});
    b.phones("CB_Ctrl_Volt_", FieldRole::SupplyVoltagePhone, volt, 0, false);
    b.check("CB_vnesh_IBP", FieldRole::ExternalUps, ru("Внешний ИБП"), {});
    b.check("CB_Time_SMS", FieldRole::TimeInSms, ru("Добавить время в SMS сообщение"), {});
    b.check("CheckBox_Audio", FieldRole::ArmingBeep, ru("Звуковой сигнал при постановке/снятии"),
            {});
    const std::string alarm = ru("При тревоге :");
    b.check("CB_Alarm_SMS", FieldRole::AlarmSms, "SMS", alarm);
    b.check("CB_Alarm_Ring", FieldRole::AlarmCall, ru("Дозвон"), alarm);
    const std::string call = ru("Действие при входящем звонке");
    b.check("CB_sms_sost", FieldRole::StatusSmsOnCall, ru("Выслать SMS состояния"), call);
    b.check("CB_mic_dinam", FieldRole::MicAndSpeakerOnCall, ru("Включить микрофон и динамик"),
            call);
    const std::string volume = ru("Громкость:");
    b.spin("SE_volume_microfon", FieldRole::MicrophoneVolume, ru("Микрофон"), volume, 0, 10);
    b.spin("SE_Volume_dinamik", FieldRole::SpeakerVolume, ru("Динамики"), volume, 0, 10);
    b.choice("RadioGroup1", FieldRole::ArmedIndicator, ru("Выход состояния охраны"), {},
             armedIndicatorItems(), 0, 0, false, FieldKind::Radio);
    const std::string arming = ru("При постановке на охрану включить");
    b.check("Check_on_output_in", FieldRole::ArmingOutputOn, arming, {});
    b.output("CB_on_output_in", FieldRole::ArmingOutput, arming, {});
    for (int z = 1; z <= WiredZoneCount; ++z)
        b.check("CB_delay" + num(z), FieldRole::EntryDelay, num(z), ru("для проводных:"), z, 0,
                false);
    for (int z = 1; z <= WirelessZoneCount; ++z)
        b.check("CB_delay_bp" + num(z), FieldRole::EntryDelay, num(z), ru("для беспроводных:"), z,
                0, true);
    // Carried only by the configuration file.
    auto& lang = b.choice("RG_Lang", FieldRole::MessageLanguage, ru("Язык сообщений"), {}, {}, 0, 0,
                          false, FieldKind::Radio);
    lang.maximum = 1;
    lang.hidden = true;
    b.output("CB_sirena_out", FieldRole::SirenOutput, ru("Выход сирены"), {}).hidden = true;
}

// The five controls of each action row; rows 1, 2, 3 carry their own digit
// after the zone number ("S" for row 1), row 4 carries "1".
void addRows(Builder& b, int z, bool wireless, const std::string& group) {
    static const char* middle[] = {"S", "2", "3", "1"};
    static_assert(std::size(middle) == ZoneActionCount);
    const std::string bp = wireless ? "_bp" : "";
    for (int r = 1; r <= ZoneActionCount; ++r) {
        const std::string m = middle[r - 1];
        const std::string zm = num(z) + m;
        b.check("RG_OUT" + zm + bp, FieldRole::RowEnabled, {}, group, z, r, wireless);
        b.check("CheckBox" + num(z) + "1" + m + bp, FieldRole::RowAlwaysOn, ru("Вкл. всегда"),
                group, z, r, wireless);
        auto& minutes = b.spin("Edit_OUT" + zm + "m" + bp, FieldRole::RowMinutes, {}, group, 0, 500,
                               z, r, wireless);
        minutes.maxLength = 3;
        auto& seconds = b.spin("Edit_OUT" + zm + "s" + bp, FieldRole::RowSeconds, {}, group, 0, 59,
                               z, r, wireless);
        seconds.maxLength = 2;
        b.output("RG_OUT" + zm + bp + "_" + num(r), FieldRole::RowOutput, {}, group, z, r,
                 wireless);
    }
}

void addWiredZone(Builder& b, int z) {
    const std::string group = ru("Зона ") + num(z);
    b.check("CheckBox_in" + num(z), FieldRole::ZoneActive, ru("Активировать"), group, z);
    b.text("Edit" + num(z), FieldRole::ZoneMessage, ru("Сообщение"), group, ZoneMessageLength, z);
    b.choice("CBox_IN" + num(z), FieldRole::ZoneInputType, ru("Тип входа"), group, inputTypeItems(),
             z);
    b.check("CB_ctrl_24_" + num(z), FieldRole::ZoneControl24h, ru("Контроль 24 часа"), group, z);
    b.check("CheckBox_" + num(z) + "1", FieldRole::ZoneOutputsEnabled, ru("Задействовать выходы"),
            group, z)
        .hidden = true;
    addRows(b, z, false, group);
    b.phones("CB_in" + num(z) + "_tel", FieldRole::ZonePhone, group, z, false);
}

void addWirelessZone(Builder& b, int z) {
    const std::string group = ru("Беспроводная Зона") + num(z);
    b.check("CheckBox_bp" + num(z), FieldRole::ZoneActive, ru("Активировать"), group, z, 0, true);
    b.text("Edit_bp" + num(z), FieldRole::ZoneMessage, ru("Сообщение"), group, ZoneMessageLength, z,
           0, true);
    b.check("CB_ctrl_24_bp" + num(z), FieldRole::ZoneControl24h, ru("Контроль 24часа"), group, z, 0,
            true);
    b.check("CheckBox_" + num(z) + "1bp", FieldRole::ZoneOutputsEnabled, ru("Задействовать выходы"),
            group, z, 0, true)
        .hidden = true;
    addRows(b, z, true, group);
    b.phones("CB_bp" + num(z) + "_tel", FieldRole::ZonePhone, group, z, true);
}

void addSensor(Builder& b, int s, bool wireless) {
    const std::string d = num(s);
    const std::string t = wireless ? "btd" + d : "td" + d;
    const std::string group =
        wireless ? ru("Беспроводной термодатчик ") + d : ru("Термодатчик ") + d;
    b.check("CheckBox_" + t, FieldRole::SensorActive, ru("Активировать"), group, s, 0, wireless);
    b.spin("SE_min_" + t, FieldRole::SensorLowAlarm, "Min", group, -55, 125, s, 0, wireless);
    b.spin("SE_max_" + t, FieldRole::SensorHighAlarm, "Max", group, -55, 125, s, 0, wireless);
    b.check("CheckBox_" + t + "1", FieldRole::SensorThermostat, ru("Поддержание температуры"),
            group, s, 0, wireless);
    b.spin("SE_Min_" + t + "1", FieldRole::SensorEconomy, ru("Эконом"), group, -55, 125, s, 0,
           wireless);
    b.spin((wireless ? "SE_Max_" : "SE_max_") + t + "1", FieldRole::SensorComfort, ru("Комфорт"),
           group, -55, 125, s, 0, wireless);
    b.check("CheckBox_" + t + "_auto", FieldRole::SensorAuto,
            ru("Авторегулировка температуры после снятия с охраны"), group, s, 0, wireless);
    b.output("CB_" + t + "_out", FieldRole::SensorOutput, ru("Применить для выхода:"), group, s, 0,
             wireless);
    b.phones("CB_" + t + "_tel", FieldRole::SensorPhone, group, s, wireless);
    if (wireless) {
        b.text("BTD_name" + d, FieldRole::SensorName, ru("Название"), group, NameLength, s, 0,
               true);
        b.text("BTD_kod" + d, FieldRole::SensorCode, ru("Код"), group, CodeLength, s, 0, true);
    }
}

void addWirelessOutput(Builder& b, int n) {
    const std::string d = num(n);
    const std::string group = ru("Беспроводной выход ") + d;
    b.check("cb_bout" + d, FieldRole::OutputUsed, group, group, n);
    b.text("b_out" + d + "_name", FieldRole::OutputName, ru("Название"), group, NameLength, n);
    b.text("b_out" + d + "_kod", FieldRole::OutputCode, ru("Адрес (Код)"), group, CodeLength, n)
        .userEditable = false;
    b.choice("b_out" + d + "_type", FieldRole::OutputType, ru("Тип Выхода"), group,
             outputTypeItems(), n);
}

void addRemotes(Builder& b) {
    const std::string group = ru("Радиопульты");
    for (int k = 1; k <= RemoteControlCount; ++k) {
        b.text("RP_Name_" + num(k), FieldRole::RemoteName, ru("Название"), group, NameLength, k);
        b.text("RP_KOd_" + num(k), FieldRole::RemoteCode, ru("Код"), group, CodeLength, k);
    }
    const std::string button = ru("При нажатии кнопки 4");
    b.check("Check_button4", FieldRole::Button4On, ru("Включить"), button);
    b.output("CB_button4", FieldRole::Button4Output, ru("Включить"), button);
    b.spin("SE_time_button4", FieldRole::Button4Seconds, ru("на время"), button, 1, 251);
    b.check("CB_trigger_button4", FieldRole::Button4Toggle, ru("переключатель"), button);
}

Table buildTable() {
    Builder b;
    addGeneral(b);
    for (int z = 1; z <= WiredZoneCount; ++z)
        addWiredZone(b, z);
    for (int s = 1; s <= WiredSensorCount; ++s)
        addSensor(b, s, false);
    for (int z = 1; z <= WirelessZoneCount; ++z)
        addWirelessZone(b, z);
    addRemotes(b);
    for (int s = 1; s <= WirelessSensorCount; ++s)
        addSensor(b, s, true);
    for (int n = 1; n <= WirelessOutputCount; ++n)
        addWirelessOutput(b, n);

    Table t;
    t.fields = std::move(b.fields);
    for (const auto& d : t.fields)
        if (!t.byName.emplace(d.controlName, d.id).second)
            throw std::logic_error("duplicate control name " + d.controlName);
    t.byMember.build(t.fields);
    return t;
}

const Table& table() {
    static const Table t = buildTable();
    return t;
}

} // namespace

const std::vector<FieldDescription>& fieldDescriptions() {
    return table().fields;
}

const FieldDescription& fieldDescription(FieldId id) {
    return table().fields.at(static_cast<std::size_t>(id));
}

std::optional<FieldId> findField(std::string_view controlName) {
    const auto& m = table().byName;
    auto it = m.find(std::string(controlName));
    if (it == m.end())
        return std::nullopt;
    return it->second;
}

FieldId fieldIdOf(FieldRole role, int unit, int sub, bool wireless) {
    return table().byMember.find(role, unit, sub, wireless);
}

} // namespace t6
