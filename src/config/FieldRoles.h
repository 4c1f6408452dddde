#pragma once
// What each role of a field means, in one table with one row per role: how
// the field's value is read from the configuration and written through the
// model's named rule, when its control is enabled and how it is coloured, and
// the words it is named and captioned by. Every generic use of a field (the
// window's bound controls through ConfigModel, describeConfig, the names and
// captions of comparisons and listings) takes its row from here; the rules
// themselves stay named methods of ConfigModel.

#include <optional>
#include <string>

#include "config/ConfigModel.h"
#include "config/DeviceConfig.h"
#include "config/FieldDescription.h"

namespace t6 {

// What a number editor does when the user empties it.
enum class EmptyEditor {
    Refused,       // the empty text is refused: the editor shows its value again
    Zero,          // the value becomes 0 and the editor shows it at once
    ZeroUntilLeft, // the value is 0, the editor stays empty until it is left
};

// How a field reads and writes its value. c is the configuration, d the
// field's description (unit, sub, zone(), sensor()). Only the members of the
// field's kind are set: a tick box has flag and setFlag, a number editor
// number and setNumber, a text field text and setText, a list or a radio
// group choice and setChoice.
struct FieldAccess {
    bool (*flag)(const DeviceConfig& c, const FieldDescription& d) = nullptr;
    void (*setFlag)(ConfigModel& m, const FieldDescription& d, bool on) = nullptr;
    int (*number)(const DeviceConfig& c, const FieldDescription& d) = nullptr;
    void (*setNumber)(ConfigModel& m, const FieldDescription& d, int value) = nullptr;
    EmptyEditor emptyEditor = EmptyEditor::Refused;
    const std::string& (*text)(const DeviceConfig& c, const FieldDescription& d) = nullptr;
    // False when the text can be no value of the field; nothing changed then.
    bool (*setText)(ConfigModel& m, const FieldDescription& d, const std::string& text) = nullptr;
    std::optional<int> (*choice)(const DeviceConfig& c, const FieldDescription& d) = nullptr;
    void (*setChoice)(ConfigModel& m, const FieldDescription& d,
                      std::optional<int> position) = nullptr;
    // The user's choice, where it runs checks of its own; none: setChoice.
    void (*chooseItem)(ConfigModel& m, const FieldDescription& d,
                       std::optional<int> position) = nullptr;
    // The keyboard focus leaves the control; none: nothing happens.
    void (*leave)(ConfigModel& m, const FieldDescription& d) = nullptr;
};

// Whose member a field is: a general setting, or a member of the zone,
// temperature sensor, wireless output or remote control numbered by its unit.
enum class FieldOwner { General, Zone, Sensor, WirelessOutput, RemoteControl };

// How the field's numbers show in its name and its caption.
enum class FieldNumbering {
    None,
    ByUnit,       // the member indexed by the unit: "telephones[2]"
    TelephoneBox, // a telephone's box: "smsOnArming[3]", captioned "Телефон 3"
    Row,          // in the zone's action row: ".actions[2].minutes", captioned "Строка 2"
};

// The words of a field, in UTF-8. Its caption is made of the heading, the
// group, the unit word, the row, the control and the word after it, as each
// is given.
struct FieldWords {
    const char* member = ""; // "timeInSms", ".entryDelay", "telephones"
    FieldOwner owner = FieldOwner::General;
    FieldNumbering numbering = FieldNumbering::None;
    const char* heading = nullptr;  // a caption of the window before the group
    const char* unitWord = nullptr; // a word numbered by the unit after the group: "Пульт 3"
    const char* control = nullptr;  // the program's word for the control, instead of its caption
    const char* after = nullptr;    // the program's word after the control
};

struct FieldRoleRow {
    FieldRole role = FieldRole::Telephone;
    FieldAccess access{};
    // Whether the control is enabled; none: always.
    bool (*enabled)(const DeviceConfig& c, const FieldDescription& d) = nullptr;
    // How the control is coloured; none: Look::Plain.
    Look (*look)(const DeviceConfig& c, const FieldDescription& d) = nullptr;
    FieldWords words{};
};

// The row of a role; throws std::out_of_range for a value that is no role.
const FieldRoleRow& fieldRole(FieldRole role);

// The field's name in comparisons, listings and files: its owner and its
// member, "alarmCall", "smsOnArming[3]", "wirelessZones[3].actions[2].minutes".
std::string fieldMemberName(const FieldDescription& d);

} // namespace t6
