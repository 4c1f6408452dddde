#include "outputs/OutputChoiceField.h"

#include <iterator>

#include "common/Cp1251.h"

namespace t6 {

std::string outputUserWord(OutputUser user, int number) {
    const std::string n = std::to_string(number);
    switch (user) {
    case OutputUser::SirenOutput:
        return ru("Выход сирены");
    case OutputUser::WiredZone:
        return ru("выход") + n + " ";
    case OutputUser::WiredSensor:
        return ru("Термодатчик") + n + " ";
    case OutputUser::ArmingOutput:
        return ru("Постановка_на_охрану");
    case OutputUser::WirelessSensor:
        return ru("Беспр.термодатчик") + n;
    case OutputUser::Button4:
        return ru("Кнопка4");
    case OutputUser::WirelessZone:
        return ru("Беспр.вход") + n;
    }
    return {};
}

namespace {

// The row choices of a zone, in row order: rows 1, 2, 3 carry their own digit
// after the zone number ("S" for row 1), row 4 carries "1".
std::string rowChoiceName(int zone, int row, bool wireless) {
    static const char* middle[] = {"S", "2", "3", "1"};
    static_assert(std::size(middle) == ZoneActionCount);
    std::string name = "RG_OUT" + std::to_string(zone) + middle[row - 1];
    if (wireless)
        name += "_bp";
    return name + "_" + std::to_string(row);
}

std::vector<OutputChoiceField> buildFields() {
    std::vector<OutputChoiceField> f;
    auto add = [&](std::string name, OutputUser user, int number, int row) {
        f.push_back({std::move(name), user, number, row, outputUserWord(user, number)});
    };
    add("CB_sirena_out", OutputUser::SirenOutput, 0, 0);
    for (int z = 1; z <= WiredZoneCount; ++z)
        for (int r = 1; r <= ZoneActionCount; ++r)
            add(rowChoiceName(z, r, false), OutputUser::WiredZone, z, r);
    for (int s = 1; s <= WiredSensorCount; ++s)
        add("CB_td" + std::to_string(s) + "_out", OutputUser::WiredSensor, s, 0);
    add("CB_on_output_in", OutputUser::ArmingOutput, 0, 0);
    for (int s = 1; s <= WirelessSensorCount; ++s)
        add("CB_btd" + std::to_string(s) + "_out", OutputUser::WirelessSensor, s, 0);
    add("CB_button4", OutputUser::Button4, 0, 0);
    for (int z = 1; z <= WirelessZoneCount; ++z)
        for (int r = 1; r <= ZoneActionCount; ++r)
            add(rowChoiceName(z, r, true), OutputUser::WirelessZone, z, r);
    return f;
}

} // namespace

const std::vector<OutputChoiceField>& outputChoiceFields() {
    static const std::vector<OutputChoiceField> fields = buildFields();
    return fields;
}

int outputChoiceFieldIndex(OutputUser user, int number, int row) {
    const auto& f = outputChoiceFields();
    for (std::size_t i = 0; i < f.size(); ++i)
        if (f[i].user == user && f[i].number == number && f[i].row == row)
            return static_cast<int>(i);
    return -1;
}

} // namespace t6
