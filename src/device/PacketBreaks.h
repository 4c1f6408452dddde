#pragma once
// The end of a packet on the line is the byte pair FF FE, and nothing in a
// packet can stand for it: a block whose bytes hold that pair would end early
// on the device, which would take the rest for noise and the cut block for
// the whole. Two neighbouring bytes of the window's values can make the pair
// (a threshold of -1 beside one of -2, the letters "яю" in a name, a code
// holding ff fe), so a write looks for it in every block before anything is
// sent, and names the fields whose bytes make it.

#include <vector>

#include "config/FieldDescription.h"

namespace t6 {

class ConfigModel;

// The fields (in the order of the blocks) whose bytes put FF FE inside the
// configuration block, the remote controls, the names and codes of the
// wireless temperature sensors or the wireless outputs; empty when none do.
std::vector<FieldId> packetBreakingFields(const ConfigModel& model);

} // namespace t6
