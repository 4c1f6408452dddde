#pragma once
// The colours of the model's looks, and how a widget wears one: a panel fills
// its background, an editor its field, a tick box its text.

#include <QColor>

#include "config/ConfigModel.h"

class QWidget;

namespace t6 {

enum class LookPart {
    Background, // a panel: its whole area
    Field,      // an edit field, spin editor or list: where the text is
    Text,       // a tick box: its caption
};

// The colour of a look; Plain gives an invalid colour (the widget's own).
QColor colourOf(Look look);

// Gives the widget the look's colour on the part; Plain puts back its own.
void wearLook(QWidget* widget, Look look, LookPart part);

} // namespace t6
