#pragma once
// What a user learns of a control by resting the mouse on it, and what
// assistive technology reads as its description.

#include <QAccessible>
#include <QApplication>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

namespace t6::test {

// The tip that hideText() leaves on screen for a moment is taken away at once.
inline void takeTipAway() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QTipLabel"))
            w->hide();
}

// The tooltip shown now; empty when none is.
inline QString shownTip() {
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}

// The tooltip a user gets who rests the mouse on the control's middle (on the
// child there, as a spin editor's edit field, which passes it on).
inline QString hoverTip(QWidget* w) {
    const QPoint middle = w->rect().center();
    QWidget* target = w->childAt(middle) ? w->childAt(middle) : w;
    const QPoint at = target->mapFrom(w, middle);
    takeTipAway();
    // The offscreen platform complains that a tooltip window cannot be raised.
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QHelpEvent event(QEvent::ToolTip, at, target->mapToGlobal(at));
    QApplication::sendEvent(target, &event);
    const QString tip = shownTip();
    takeTipAway();
    qInstallMessageHandler(previous);
    return tip;
}

inline QString accessibleDescription(QWidget* w) {
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
    return i ? i->text(QAccessible::Description) : QString();
}

} // namespace t6::test
