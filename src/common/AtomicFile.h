#pragma once
// Files are never half-written: the content goes to a temporary file beside the
// target, which is renamed into place only when it is complete.

#include <string>
#include <string_view>

namespace t6 {

// Writes the whole content; returns an empty text on success, else the reason
// (the previous file, if any, is then left as it was).
std::string writeFileAtomically(const std::string& path, std::string_view content);

} // namespace t6
