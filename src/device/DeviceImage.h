#pragma once
// What a device's blocks hold, in a model of its own, filled as a read fills
// the window: reset, the wireless outputs, the configuration block, the
// remote controls, the names and codes of the wireless temperature sensors.
// Nothing is asked or shown meanwhile. Used to name the fields in which two
// sets of blocks differ (what a write sent, what the device gives back).

#include <string>
#include <string_view>
#include <vector>

#include "config/DetachedModel.h"
#include "device/DeviceBlocks.h"

namespace t6 {

class DeviceImage {
public:
    void load(const DeviceBlocks& blocks);
    const ConfigModel& model() const { return detached_.model(); }

private:
    DetachedModel detached_;
};

// One part of the device's configuration that a comparison can tell apart:
// a record of the configuration block (by its type) or an entry of a fixed
// block, with its bytes.
struct BlockPart {
    std::string key;    // ASCII, as the model names it: "telephones", "remoteControls[3]"
    std::string name;   // Windows-1251, Russian: "телефоны", "радиопульт 3"
    int recordType = 0; // the record's type byte; 0 for an entry of a fixed block
    std::string bytes;
};

// The records of a configuration block in their order (the bytes between
// records, 99 99 and the 0x0D after a record, belong to none), then the
// entries of the three fixed blocks.
std::vector<BlockPart> blockParts(const DeviceBlocks& blocks);

} // namespace t6
