#include "ui/ElidedLabel.h"

namespace t6 {

void ElidedLabel::setFullText(const QString& text, Qt::TextElideMode mode) {
    full_ = text;
    mode_ = mode;
    showFitting();
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    showFitting();
}

void ElidedLabel::showFitting() {
    const int room = contentsRect().width() - 2 * margin();
    const QString shown = fontMetrics().elidedText(full_, mode_, qMax(room, 0));
    setText(shown);
    setToolTip(shown == full_ ? QString() : full_);
    setAccessibleName(full_);
}

} // namespace t6
