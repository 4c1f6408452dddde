#pragma once
// The one-byte telephone mask of a zone, a sensor or an option group: bit 0 is
// telephone 1 ... bit 4 telephone 5. The temperature sensors' masks carry their
// "Активировать" flag in bit 7, and only while a configuration file is saved.

#include <cstdint>
#include <string>
#include <string_view>

#include "config/DeviceConfig.h"
#include "config/ModelContext.h"

namespace t6 {

using PhoneMask = std::uint8_t;

PhoneMask phoneMaskOf(const PhoneFlags& phones);
// Telephones 1 to 5 from bits 0 to 4; bits 5 to 7 are ignored.
PhoneFlags phonesOfMask(PhoneMask mask);

// The mask of a group as a one-byte text, or an empty text for a name that is
// not a group: "inp_1".."inp_4", "bp_1".."bp_6", "sms_in", "sms_out",
// "ctrl_volt", "td1", "td2", "btd1".."btd6". The sensors' bit 7 is set only
// in the SavingFile context.
std::string tel_parameters_all(const DeviceConfig& config, std::string_view group,
                               ModelContext context);

} // namespace t6
