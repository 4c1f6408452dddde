#include "core/ProgramInfo.h"

namespace t6 {

std::string programVersion() {
    return T6_VERSION;
}

} // namespace t6
