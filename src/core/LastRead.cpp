#include "core/LastRead.h"

#include "config/ConfigModel.h"

namespace t6 {

void LastRead::take(const ConfigModel& model) {
    fields_ = describeConfig(model);
}

} // namespace t6
