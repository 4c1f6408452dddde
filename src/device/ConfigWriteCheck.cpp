#include "device/ConfigWriteCheck.h"

#include <vector>

#include "common/Cp1251.h"
#include "config/ConfigCompare.h"
#include "config/ConfigModel.h"
#include "config/FixedBlocks.h"
#include "device/PacketBreaks.h"

namespace t6 {

namespace {

std::string trimmedText(const std::string& s) {
    std::size_t b = 0, e = s.size();
    while (b < e && s[b] == ' ')
        ++b;
    while (e > b && s[e - 1] == ' ')
        --e;
    return s.substr(b, e - b);
}

// The numbers (from 1) of the zones, sensors or outputs that match.
template <class Items, class Match> std::vector<int> numbersWhere(const Items& items, Match match) {
    std::vector<int> numbers;
    int n = 0;
    for (const auto& item : items) {
        ++n;
        if (match(item))
            numbers.push_back(n);
    }
    return numbers;
}

// "...на зоне:" or "...на зонах:", each number with a comma after it, ". Нажмите OK.".
std::optional<WriteRefusal> listed(const std::vector<int>& numbers, const char* one,
                                   const char* several,
                                   const std::function<std::string(const std::string&)>& tr) {
    if (numbers.empty())
        return std::nullopt;
    std::string text = tr(ru(numbers.size() == 1 ? one : several));
    for (int n : numbers)
        text += std::to_string(n) + ",";
    text += tr(ru(". Нажмите OK."));
    return WriteRefusal{text, true};
}

} // namespace

std::optional<WriteRefusal>
checkBeforeWrite(const ConfigModel& model, const std::function<std::string(const std::string&)>& tr,
                 const CaptionText& captions) {
    const DeviceConfig& c = model.config();
    const auto noMessage = [](const Zone& z) { return z.active && z.message.empty(); };
    const std::vector<int> wired = numbersWhere(c.wiredZones, noMessage);
    const std::vector<int> wireless = numbersWhere(c.wirelessZones, noMessage);
    const std::vector<int> sensors =
        numbersWhere(c.wirelessThermoSensors,
                     [](const WirelessThermoSensor& s) { return s.active && s.code.empty(); });
    if (auto r = listed(
            wired, "Не введен текст сообщений на зоне:", "Не введен текст сообщений на зонах:", tr))
        return r;
    if (auto r = listed(wireless, "Не введен текст сообщений на бп.зоне:",
                        "Не введен текст сообщений на бп.зонах:", tr))
        return r;
    if (auto r = listed(sensors, "Не заполнено поле \"КОД\" в бп.термодатчике:",
                        "Не заполнено поле \"КОД\" в бп.термодатчиках:", tr))
        return r;
    if (trimmedText(c.deviceTime).empty() || trimmedText(c.deviceDate).empty())
        return WriteRefusal{ru("Пустое поле времени"), false};
    // The record has room for exactly "dd.mm.yy" and "hh:mm:ss" (an hour
    // without its leading zero gets one): anything else would shift it.
    const std::string& t = c.deviceTime;
    const std::size_t timeLength = t.size() > 1 && t[1] == ':' ? t.size() + 1 : t.size();
    if (c.deviceDate.size() != 8 || timeLength != 8)
        return WriteRefusal{tr(ru("Дата и время должны иметь вид дд.мм.гг и чч:мм:сс.")), true};

    // A code the blocks cannot carry would reach the device as some other code.
    std::string bad;
    auto note = [&bad, &tr](const char* what, int n) {
        bad += (bad.empty() ? "" : ", ") + tr(ru(what)) + " " + std::to_string(n);
    };
    const auto unsendable = [](const auto& item) { return !isSendableCode(item.code); };
    for (int k : numbersWhere(c.remoteControls, unsendable))
        note("радиопульт", k);
    for (int n : numbersWhere(c.wirelessThermoSensors, unsendable))
        note("беспроводной термодатчик", n);
    for (int n : numbersWhere(c.wirelessOutputs, unsendable))
        note("беспроводной выход", n);
    if (!bad.empty())
        return WriteRefusal{tr(ru("Код не может быть записан в прибор: нужно 2, 4 или 6 "
                                  "шестнадцатеричных цифр.")) +
                                "\r\n" + bad,
                            true};

    // Values whose bytes would end the packet inside a block.
    const std::vector<FieldId> breaking = packetBreakingFields(model);
    if (!breaking.empty()) {
        std::string text = tr(ru("Запись невозможна: байты FF FE в этих полях прибор примет за "
                                 "конец пакета. Измените значения:"));
        for (FieldId f : breaking)
            text += "\r\n" + fieldCaption(f, captions);
        return WriteRefusal{text, true};
    }
    return std::nullopt;
}

} // namespace t6
