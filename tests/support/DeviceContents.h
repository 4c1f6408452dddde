#pragma once
// Random contents of a device as bytes, in the form the configurator writes
// them. Built from the layout of the blocks alone and sharing no code with the
// configurator's encoders and decoders, so that a misunderstanding of a field
// cannot hide on both sides of a test.
//
// The contents are valid: what a write of the configurator could have left in
// the device, so that its read, its file and its write must give them back
// byte for byte. Within that everything varies: names and messages with
// Cyrillic letters, blanks at the ends and control bytes; used and unused
// wireless outputs of every type, four-channel ones chosen by their channels;
// zone rows of every kind; active and inactive temperature sensors (inactive
// wireless ones still named and coded); every option value. No block holds
// the byte pair FF FE, which would end its packet on the line.

#include <cstdint>

#include "SimMemory.h"

namespace t6::test {

// The wireless outputs, the configuration block, the remote controls and the
// wireless temperature sensors' names and codes are random; every other member
// is what SimMemory::demo() gives. The same seed always gives the same bytes.
t6sim::SimMemory randomDeviceContents(std::uint32_t seed);

} // namespace t6::test
