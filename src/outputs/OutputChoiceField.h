#pragma once
// The output choice fields of the window: every field that shows the
// OutputChoiceList and holds a position in it. The registry walks them in this
// order when it refills the choices and when it looks for the users of an output.

#include <optional>
#include <string>
#include <vector>

#include "common/DeviceDimensions.h"

namespace t6 {

// Who owns an output choice.
enum class OutputUser {
    SirenOutput,    // the hidden siren output choice
    WiredZone,      // an action row of wired zone 1 to 4
    WiredSensor,    // the regulation output of wired temperature sensor 1 or 2
    ArmingOutput,   // the output switched on at arming
    WirelessSensor, // the regulation output of wireless temperature sensor 1 to 6
    Button4,        // the output of remote-control button 4
    WirelessZone,   // an action row of wireless zone 1 to 6
};

struct OutputChoiceField {
    std::string controlName;
    OutputUser user;
    int number = 0; // zone or sensor number; 0 for the single choices
    int row = 0;    // action row 1 to 4 of a zone; 0 otherwise
    // The word that names the owner in the "output in use" message (Windows-1251).
    std::string userWord;
};

// Every zone row, every temperature sensor, and the three single choices.
inline constexpr int OutputChoiceFieldCount =
    (WiredZoneCount + WirelessZoneCount) * ZoneActionCount + WiredSensorCount +
    WirelessSensorCount + 3;

// The 51 fields: the siren output, wired zones 1 to 4 (rows 1 to 4 each), wired
// sensors 1 and 2, the arming output, wireless sensors 1 to 6, button 4, and
// wireless zones 1 to 6 (rows 1 to 4 each).
const std::vector<OutputChoiceField>& outputChoiceFields();

// The index of a field in that table, or -1.
int outputChoiceFieldIndex(OutputUser user, int number = 0, int row = 0);

// The user word of an owner.
std::string outputUserWord(OutputUser user, int number);

// Where the registry reads and sets the positions the choice fields select.
class OutputChoiceSelections {
public:
    virtual ~OutputChoiceSelections() = default;
    virtual std::optional<int> selectedPosition(int field) const = 0;
    // Set by program: no check runs.
    virtual void selectPosition(int field, std::optional<int> position) = 0;
    // Every output choice has been given the list's current items.
    virtual void choiceItemsReloaded() {}
};

} // namespace t6
