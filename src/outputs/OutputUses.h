#pragma once
// The rules that keep the use of outputs free of conflicts: one zone may not
// use an output in two rows, and the output switched on at arming may not be
// used by anything else at the same time. The checks read a snapshot of the
// choices (OutputUses) and say what to do; the configuration model applies it.

#include <array>
#include <optional>
#include <string>

#include "common/DeviceDimensions.h"

namespace t6 {

struct RowUse {
    bool ticked = false;       // the row's tick box
    std::optional<int> output; // the position its choice selects
};
using ZoneUse = std::array<RowUse, ZoneActionCount>; // rows 1 to 4

struct SensorUse {
    bool active = false;
    bool thermostat = false;
    std::optional<int> output;
};

// Every choice that the arming rule counts as a user of an output.
struct OutputUses {
    std::array<ZoneUse, WiredZoneCount> wiredZones{};
    std::array<SensorUse, WiredSensorCount> wiredSensors{};
    std::array<SensorUse, WirelessSensorCount> wirelessSensors{};
    bool button4On = false;
    std::optional<int> button4Output;
    std::array<ZoneUse, WirelessZoneCount> wirelessZones{};
};

// The users of the output at a position, as the arming rule counts them: wired
// zones 1 to 4 (a ticked row selecting it), wired sensors 1 and 2 and wireless
// sensors 1 to 6 (active, keeping the temperature, selecting it), button 4
// (ticked, selecting it), wireless zones 1 to 6; each word followed by "\r\n".
std::string armingUsers(const OutputUses& uses, int position);

// The refusal of an arming output that the users already hold.
std::string armingRefusalMessage(const std::string& users);

// Whether a choice takes the output switched on at arming: both select the same
// position and the arming output is in use. No choice never collides.
bool collidesWithArming(std::optional<int> choice, std::optional<int> armingOutput,
                        bool armingInUse);

// The refusal of a choice that takes the arming output; choiceText is what the
// refused choice shows.
std::string usedAtArmingMessage(const std::string& choiceText);

// The same-output check of a zone's row (0 to 3) as its choice is left: the
// row's value (position + 1, 0 for no choice) against the other rows' values
// (position + 1 when ticked, 0 otherwise); only values up to 31 take part.
bool repeatsOutputInZone(const ZoneUse& zone, int row);

std::string sameOutputMessage();

// After the same-output message, wired zone 2 keeps the row ticked and puts
// the focus back on its choice; every other zone unticks the row.
bool keepsRowAfterSameOutput(bool wireless, int zone);

// Unticking row 4 resets its time to 0 minutes 1 second, except in wired zone 3.
bool resetsTimeOnUntick(bool wireless, int zone, int row);

// Ticking a row moves the focus to its choice in wired zone 1 and the wireless zones.
bool focusesChoiceOnTick(bool wireless, int zone);

} // namespace t6
