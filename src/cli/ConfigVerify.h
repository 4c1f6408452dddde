#pragma once
// What a verification after a write compares: the blocks the write sent and
// the blocks the device gives back at the read that follows, record by
// record of the configuration block and entry by entry of the three fixed
// blocks, byte for byte. The parts that differ are listed, and so are the
// fields in which the two differ, each with its caption (both sets of blocks
// read into models of their own as a read fills the window).
//
// The one thing the device does not keep as written is its clock, which runs
// on: the date and time are left out when the write set them from the
// computer; when it sent the file's, the device's must lie at most two
// minutes after them.

#include <string>
#include <vector>

#include "config/ConfigCompare.h"
#include "device/DeviceBlocks.h"

namespace t6::cli {

struct VerifyResult {
    // The records and entries that differ: name "block:" + the part's key
    // ("block:remoteControls[1]"), caption the part's name, the values in
    // hexadecimal.
    std::vector<FieldDifference> parts;
    // The fields that differ.
    std::vector<FieldDifference> fields;
    bool same() const { return parts.empty() && fields.empty(); }
};

// captions words the fields' captions and values (Russian without one).
VerifyResult verifyWrite(const DeviceBlocks& sent, const DeviceBlocks& readBack,
                         bool clockFromComputer, const CaptionText& captions = {});

// Whether the device keeps the field of this model name as written.
bool isKeptByDevice(const std::string& fieldName);

} // namespace t6::cli
