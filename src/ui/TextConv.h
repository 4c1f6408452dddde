#pragma once
// The window's side of the one codec: Windows-1251 bytes of the core to the
// toolkit's strings and back.

#include <QString>
#include <optional>
#include <string>

#include "common/Cp1251.h"

namespace t6 {

inline QString qs(const std::string& cp1251) {
    return QString::fromStdString(cp1251ToUtf8(cp1251));
}

// Nothing when the text holds a character Windows-1251 cannot hold.
inline std::optional<std::string> fromQs(const QString& s) {
    return utf8ToCp1251(s.toStdString());
}

// For texts known to be representable (the window's own captions).
inline std::string cpOf(const QString& s) {
    return fromQs(s).value_or(std::string());
}

} // namespace t6
