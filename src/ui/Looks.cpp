#include "ui/Looks.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace t6 {

QColor colourOf(Look look) {
    const QPalette system = QApplication::palette();
    switch (look) {
    case Look::Plain:
        return {};
    case Look::Window:
        return system.color(QPalette::Base);
    case Look::ActiveBorder:
        return QColor(180, 180, 180);
    case Look::InactiveBorder:
        return QColor(244, 247, 252);
    case Look::InfoBackground:
        return system.color(QPalette::ToolTipBase);
    case Look::ActiveGreen:
        return QColor(192, 220, 192);
    case Look::InactiveGrey:
        return QColor(160, 160, 164);
    case Look::Grey:
        return QColor(128, 128, 128);
    case Look::ButtonFace:
        return system.color(QPalette::Window);
    case Look::TextGreen:
        return QColor(0, 128, 0);
    case Look::TextRed:
        return QColor(255, 0, 0);
    }
    return {};
}

void wearLook(QWidget* w, Look look, LookPart part) {
    const QColor c = colourOf(look);
    QPalette p = w->palette();
    auto set = [&p, &c, w](QPalette::ColorRole role) {
        if (c.isValid())
            p.setColor(role, c);
        else
            p.setColor(role, w->parentWidget() ? w->parentWidget()->palette().color(role)
                                               : QApplication::palette().color(role));
    };
    switch (part) {
    case LookPart::Background:
        set(QPalette::Window);
        w->setAutoFillBackground(c.isValid());
        break;
    case LookPart::Field:
        set(QPalette::Base);
        set(QPalette::Button);
        break;
    case LookPart::Text:
        set(QPalette::WindowText);
        set(QPalette::ButtonText);
        break;
    }
    w->setPalette(p);
}

} // namespace t6
