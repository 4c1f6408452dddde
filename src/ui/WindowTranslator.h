#pragma once
// Translating the whole window: every caption, in creation order, replaced by
// what the dictionary gives for the caption as it is shown now. Menu items,
// buttons, check and radio boxes, panels, labels and tabs change their
// captions; edit fields, spin editors and combo boxes their hints; combo boxes
// each item, keeping the selected one. Texts the operations write later
// (status texts, the signal text) and lists of data (the output lists, the
// port list) carry the property "t6NoTranslate" and are left alone, apart from
// the hint of such a list.

#include <functional>
#include <string>

class QWidget;

namespace t6 {

// lookup: the dictionary's text for a caption (Windows-1251 in and out).
// Returns the number of texts looked up.
int translateWidgetTree(QWidget* root,
                        const std::function<std::string(const std::string&)>& lookup);

inline constexpr const char* kNoTranslate = "t6NoTranslate";

} // namespace t6
