#include "ui/WholeTextTip.h"

#include <QAbstractItemModel>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QLineEdit>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionFrame>
#include <QToolTip>

namespace t6 {

namespace {

constexpr int kUnbounded = 100000;
// An edit field keeps this many pixels free before its text.
constexpr int kLineMargin = 2;

// An edit field draws its text inside its frame and text margins, two pixels
// in. Once the text and the caret after it need more room, it scrolls the
// text into those two pixels, and further only when the text is cut.
ShownText lineShown(const QLineEdit* e) {
    QStyleOptionFrame opt;
    opt.initFrom(e);
    opt.rect = e->rect();
    opt.lineWidth =
        e->hasFrame() ? e->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, e) : 0;
    opt.midLineWidth = 0;
    opt.state |= QStyle::State_Sunken;
    if (e->isReadOnly())
        opt.state |= QStyle::State_ReadOnly;
    const QRect contents = e->style()->subElementRect(QStyle::SE_LineEditContents, &opt, e);
    const QRect line = contents.marginsRemoved(e->textMargins()).adjusted(kLineMargin, 0, 0, 0);
    const QFontMetrics fm = e->fontMetrics();
    const QString text = e->displayText();
    return {text, {line.width(), line.height()}, {fm.horizontalAdvance(text) + 1, 0}};
}

// A closed list draws its selected item in its edit field, a pixel in from
// either side; a list whose text breaks into lines fills the field's height.
ShownText listShown(const QComboBox* c) {
    if (c->isEditable() && c->lineEdit())
        return lineShown(c->lineEdit());
    QStyleOptionComboBox opt;
    opt.initFrom(c);
    opt.editable = false;
    opt.frame = c->hasFrame();
    opt.subControls = QStyle::SC_All;
    opt.currentText = c->currentText();
    const QRect field =
        c->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c);
    const QRect room = field.adjusted(1, 0, -1, 0);
    const QFontMetrics fm = c->fontMetrics();
    const bool wrap = c->hasHeightForWidth();
    const QRect need = fm.boundingRect(QRect(0, 0, wrap ? room.width() : kUnbounded, kUnbounded),
                                       Qt::AlignLeft | Qt::AlignTop | (wrap ? Qt::TextWordWrap : 0),
                                       opt.currentText);
    return {opt.currentText, room.size(), {need.width(), wrap ? need.height() : 0}};
}

} // namespace

ShownText WholeTextTip::shown(const QWidget* control) {
    if (auto* e = qobject_cast<const QLineEdit*>(control))
        return lineShown(e);
    if (auto* c = qobject_cast<const QComboBox*>(control))
        return listShown(c);
    if (auto* s = qobject_cast<const QAbstractSpinBox*>(control))
        if (auto* e = s->findChild<QLineEdit*>())
            return lineShown(e);
    return {};
}

QString WholeTextTip::tipOf(const QWidget* control) {
    const ShownText s = shown(control);
    const QString hint = control->toolTip();
    if (s.text.isEmpty() || !s.cut())
        return hint;
    return hint.isEmpty() ? s.text : hint + QLatin1Char('\n') + s.text;
}

void WholeTextTip::follow(QWidget* control) {
    if (!qobject_cast<QLineEdit*>(control) && !qobject_cast<QComboBox*>(control) &&
        !qobject_cast<QAbstractSpinBox*>(control))
        return;
    if (control->findChild<WholeTextTip*>(QString(), Qt::FindDirectChildrenOnly))
        return;
    new WholeTextTip(control);
}

WholeTextTip::WholeTextTip(QWidget* control) : QObject(control), control_(control) {
    control->installEventFilter(this);
    auto changed = [this] { update(); };
    if (auto* c = qobject_cast<QComboBox*>(control)) {
        connect(c, &QComboBox::currentTextChanged, this, changed);
        // The language switch renames the items with the box's signals blocked.
        connect(c->model(), &QAbstractItemModel::dataChanged, this, changed);
    } else if (auto* e = qobject_cast<QLineEdit*>(control)) {
        connect(e, &QLineEdit::textChanged, this, changed);
    } else if ((inner_ = control->findChild<QLineEdit*>())) {
        // A spin editor places its edit field after its own resize, and sets
        // its value's text there without the field's signal.
        inner_->installEventFilter(this);
        connect(inner_, &QLineEdit::textChanged, this, changed);
        if (auto* spin = qobject_cast<QSpinBox*>(control))
            connect(spin, &QSpinBox::textChanged, this, changed);
        else if (auto* real = qobject_cast<QDoubleSpinBox*>(control))
            connect(real, &QDoubleSpinBox::textChanged, this, changed);
    }
    update();
}

bool WholeTextTip::eventFilter(QObject* watched, QEvent* event) {
    if (watched == inner_) {
        if (event->type() == QEvent::Resize)
            update();
        return false;
    }
    if (watched != control_)
        return false;
    switch (event->type()) {
    case QEvent::ToolTip: {
        const QString tip = tipOf(control_);
        if (tip == control_->toolTip())
            return false; // the control's own tooltip, as the control shows it
        auto* help = static_cast<QHelpEvent*>(event);
        QToolTip::showText(help->globalPos(), tip, control_, control_->rect());
        return true;
    }
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::FontChange:
    case QEvent::StyleChange:
    case QEvent::ContentsRectChange:
        update();
        break;
    default:
        break;
    }
    return false;
}

void WholeTextTip::update() {
    const QString now = control_->accessibleDescription();
    // A description set elsewhere since the last update is kept and comes first.
    if (now != ours_)
        given_ = now;
    const ShownText s = shown(control_);
    QString wanted = given_;
    if (!s.text.isEmpty() && s.cut())
        wanted = given_.isEmpty() ? s.text : given_ + QLatin1Char('\n') + s.text;
    ours_ = wanted;
    if (now != wanted)
        control_->setAccessibleDescription(wanted);
}

} // namespace t6
