#pragma once
// "Сравнить с сохранённой версией…": the versions of the history, newest
// first (time, site, operation, device, port); the one chosen is compared
// with the window.

#include <optional>

class QWidget;

namespace t6 {

class AppCore;

// The number of the version the user chose; nothing when the user cancelled
// or the history holds none (the user is told so).
std::optional<int> chooseVersion(QWidget* parent, AppCore& core);

} // namespace t6
