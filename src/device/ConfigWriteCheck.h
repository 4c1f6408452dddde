#pragma once
// What must hold before the configuration goes to the device. The first
// failure is told and nothing is sent.

#include <functional>
#include <optional>
#include <string>

#include "config/ConfigCompare.h"

namespace t6 {

class ConfigModel;

struct WriteRefusal {
    std::string text;
    // false: the text is shown as written (the empty time field).
    bool translated = true;
};

// In this order: active wired zones without a message, active wireless zones
// without a message, active wireless temperature sensors without a code, an
// empty time or date, then codes the device's blocks cannot carry (remote
// controls, wireless temperature sensors, wireless outputs), then values whose
// bytes would end a packet early (named by their captions). translate gives
// the dictionary's text of a fixed part, captions the captions' (Russian
// without one).
std::optional<WriteRefusal>
checkBeforeWrite(const ConfigModel& model,
                 const std::function<std::string(const std::string&)>& translate,
                 const CaptionText& captions = {});

} // namespace t6
