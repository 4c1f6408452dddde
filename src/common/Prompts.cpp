#include "common/Prompts.h"

namespace t6 {

std::string errorBoxText(const std::string& text) {
    if (!text.empty() && static_cast<unsigned char>(text.back()) <= '.')
        return text;
    return text + ".";
}

} // namespace t6
