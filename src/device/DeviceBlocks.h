#pragma once
// The four blocks that make the device's configuration, as they travel
// between the framing bytes: the wireless outputs (224 bytes), the
// configuration block (99 99 and its records), the remote controls (130) and
// the names and codes of the wireless temperature sensors (78). A write keeps
// what it sent, a read what it took, so that the two can be compared.

#include "common/Bytes.h"

namespace t6 {

struct DeviceBlocks {
    Bytes outputs;
    Bytes config;
    Bytes remotes;
    Bytes thermoNames;
    bool operator==(const DeviceBlocks&) const = default;
};

} // namespace t6
