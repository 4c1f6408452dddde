#include "ui/BoundWidgets.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QVBoxLayout>
#include <QtMath>
#include <algorithm>

#include "common/TextNumbers.h"
#include "ui/Cp1251Validator.h"
#include "ui/ModelView.h"
#include "ui/TextConv.h"
#include "ui/WholeTextTip.h"
#include "ui/WindowTranslator.h"

namespace t6 {

// ---- Bound ----

Bound::Bound(ModelView& view, FieldId id, LookPart lookPart)
    : view_(view), model_(view.model()), id_(id), lookPart_(lookPart) {}

void Bound::showState() {
    const bool on = enabledWhen_ ? enabledWhen_() : model_.isEnabled(id_);
    if (static_cast<int>(on) != shownEnabled_) {
        shownEnabled_ = on;
        applyEnabled(on);
    }
    const Look look = model_.look(id_);
    if (static_cast<int>(look) != shownLook_) {
        // A control that never had a colour of its own keeps its palette untouched.
        if (shownLook_ >= 0 || look != Look::Plain)
            wearLook(widget(), look, lookPart_);
        shownLook_ = static_cast<int>(look);
    }
}

void Bound::applyEnabled(bool on) {
    widget()->setEnabled(on);
}

void Bound::edit(const std::function<void(ConfigModel&)>& f) {
    view_.edit([this, &f] { f(model_); });
    showValue();
}

void Bound::left(Qt::FocusReason reason) {
    // Switching to another program, opening the control's own list or the menu
    // is not leaving the control; nor is losing the focus because a render
    // disabled it.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
        reason == Qt::MenuBarFocusReason || view_.rendering())
        return;
    view_.edit([this] { model_.leaveField(id_); });
}

// ---- Tick box ----

BoundCheckBox::BoundCheckBox(ModelView& view, FieldId id, QWidget* parent)
    : QCheckBox(qs(fieldDescription(id).caption), parent), Bound(view, id, LookPart::Text) {
    setObjectName(QString::fromStdString(description().controlName));
    // Every change of the state is the user's (a click, the space bar, a
    // shortcut, an accessibility action) unless the program is showing a value.
    connect(this, &QCheckBox::toggled, this, [this](bool on) {
        if (!showing())
            edit([this, on](ConfigModel& m) { m.setFlag(id_, on); });
    });
}

void BoundCheckBox::showValue() {
    Showing s(*this);
    const bool on = model_.flag(id_);
    if (isChecked() != on)
        setChecked(on);
}

void BoundCheckBox::setWordWrap(bool on) {
    wrap_ = on;
    QSizePolicy p = sizePolicy();
    p.setHeightForWidth(on);
    if (on)
        p.setHorizontalPolicy(QSizePolicy::Preferred);
    setSizePolicy(p);
    updateGeometry();
}

int BoundCheckBox::indicatorSpace() const {
    return style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this) +
           style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, this) + 2;
}

bool BoundCheckBox::hasHeightForWidth() const {
    return wrap_ || QCheckBox::hasHeightForWidth();
}

int BoundCheckBox::heightForWidth(int width) const {
    if (!wrap_)
        return QCheckBox::heightForWidth(width);
    const QRect r = fontMetrics().boundingRect(
        QRect(0, 0, std::max(1, width - indicatorSpace()), 10000), Qt::TextWordWrap, text());
    // The text starts where paintEvent puts the first line, beside the indicator.
    const int lineTop = (QCheckBox::sizeHint().height() - fontMetrics().height()) / 2;
    return std::max(lineTop + r.height() + 1, QCheckBox::sizeHint().height());
}

QSize BoundCheckBox::sizeHint() const {
    if (!wrap_)
        return QCheckBox::sizeHint();
    const QSize one = QCheckBox::sizeHint();
    return {one.width(), heightForWidth(one.width())};
}

QSize BoundCheckBox::minimumSizeHint() const {
    if (!wrap_)
        return QCheckBox::minimumSizeHint();
    int longest = 0;
    for (const QString& word : text().split(u' ', Qt::SkipEmptyParts))
        longest = std::max(longest, fontMetrics().horizontalAdvance(word));
    const int w = indicatorSpace() + longest;
    return {w, heightForWidth(w)};
}

void BoundCheckBox::paintEvent(QPaintEvent* event) {
    if (!wrap_) {
        QCheckBox::paintEvent(event);
        return;
    }
    QStylePainter p(this);
    QStyleOptionButton opt;
    initStyleOption(&opt);
    const QString caption = opt.text;
    opt.text.clear();
    // The indicator at the top, beside the first line.
    const int h = QCheckBox::sizeHint().height();
    opt.rect.setHeight(h);
    p.drawControl(QStyle::CE_CheckBox, opt);
    const QRect textRect(indicatorSpace(), 1, width() - indicatorSpace(), height() - 1);
    const int lineTop = (h - fontMetrics().height()) / 2;
    p.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    p.drawText(textRect.adjusted(0, lineTop - 1, 0, 0),
               Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, caption);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = textRect.adjusted(-1, lineTop - 2, 0, 0);
        p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

bool BoundCheckBox::hitButton(const QPoint& pos) const {
    return wrap_ ? rect().contains(pos) : QCheckBox::hitButton(pos);
}

// ---- Spin editor ----

BoundSpinBox::BoundSpinBox(ModelView& view, FieldId id, QWidget* parent)
    : QSpinBox(parent), Bound(view, id, LookPart::Field) {
    const FieldDescription& d = description();
    setObjectName(QString::fromStdString(d.controlName));
    setRange(d.minimum, d.maximum);
    if (d.role == FieldRole::RowMinutes || d.role == FieldRole::RowSeconds)
        setButtonSymbols(QAbstractSpinBox::NoButtons);
    // Typed numbers reach the model as they are typed; an emptied editor too,
    // since the model decides what an empty editor means.
    connect(this, &QSpinBox::valueChanged, this, [this](int v) {
        if (!showing())
            edit([this, v](ConfigModel& m) { m.setNumber(id_, v); });
    });
    connect(lineEdit(), &QLineEdit::textChanged, this, [this](const QString& t) {
        if (showing())
            return;
        if (t.isEmpty()) {
            // An editor whose field takes no empty text stays empty while the
            // user types on; it shows its value again when it is left.
            holdEmpty_ = true;
            bool taken = true;
            edit([this, &taken](ConfigModel& m) { taken = m.setText(id_, {}); });
            if (taken) {
                holdEmpty_ = false;
                showValue();
            }
            return;
        }
        holdEmpty_ = false;
        // The same number typed again after emptying changes no value, so the
        // editor would not report it.
        auto v = parseInteger(t.toStdString());
        if (v && *v == value() && model_.text(id_).empty())
            edit([this, &t](ConfigModel& m) { m.setText(id_, t.toStdString()); });
    });
    // A value too wide for the editor is shown whole in its tooltip.
    WholeTextTip::follow(this);
}

void BoundSpinBox::showValue() {
    if (holdEmpty_ && lineEdit()->text().isEmpty())
        return;
    Showing s(*this);
    const std::string text = model_.text(id_);
    if (text.empty())
        return; // the user has emptied the editor; it stays empty until left
    const int v = model_.number(id_);
    // A value from the device or a file outside the typing range is still shown as it is.
    const FieldDescription& d = description();
    const int lo = std::min(d.minimum, v), hi = std::max(d.maximum, v);
    if (minimum() != lo || maximum() != hi)
        setRange(lo, hi);
    if (value() != v)
        setValue(v);
    const QString shown = QString::number(v);
    if (lineEdit()->text() != shown)
        lineEdit()->setText(shown);
}

void BoundSpinBox::focusOutEvent(QFocusEvent* event) {
    holdEmpty_ = false;
    QSpinBox::focusOutEvent(event);
    left(event->reason());
    showValue();
}

// ---- Edit field ----

BoundLineEdit::BoundLineEdit(ModelView& view, FieldId id, QWidget* parent)
    : QLineEdit(parent), Bound(view, id, LookPart::Field) {
    const FieldDescription& d = description();
    setObjectName(QString::fromStdString(d.controlName));
    // The length limits hold for the user's input only: a text set by the
    // program is shown whole, and the model keeps it whole.
    auto current = [this] { return qs(model_.text(id_)); };
    if (telephone())
        setValidator(new TelephoneValidator(current, this));
    else
        setValidator(new FieldValidator(d.maxLength, current, this));
    setReadOnly(!d.userEditable);
    // Typing and pasting pass the validator first; a text set another way (an
    // accessibility action, a program driving the window) is checked by the
    // same validator here, and the model has the last word.
    connect(this, &QLineEdit::textChanged, this, [this](const QString& t) {
        if (showing())
            return;
        QString text = t;
        int pos = cursorPosition();
        auto bytes = fromQs(text);
        if (!bytes || (validator() && validator()->validate(text, pos) == QValidator::Invalid)) {
            showValue();
            refused();
            return;
        }
        bool taken = true;
        edit([this, &bytes, &taken](ConfigModel& m) { taken = m.setText(id_, *bytes); });
        if (!taken)
            refused();
    });
    // A paste the validator refused whole.
    connect(this, &QLineEdit::inputRejected, this, [this] {
        if (!showing())
            refused();
    });
    // A text longer than the field is shown whole in its tooltip.
    WholeTextTip::follow(this);
}

bool BoundLineEdit::telephone() const {
    return description().role == FieldRole::Telephone;
}

void BoundLineEdit::refused() {
    // Never silent: the window tells why nothing changed.
    emit inputRefused();
}

void BoundLineEdit::showValue() {
    Showing s(*this);
    const QString shown = qs(model_.text(id_));
    const QString now = text();
    if (now == shown)
        return;
    // The caret keeps its place from the end, so that a "+" put in front by
    // the telephone rule leaves it after the character just typed.
    const int fromEnd = static_cast<int>(now.size()) - cursorPosition();
    setText(shown);
    setCursorPosition(
        std::clamp(static_cast<int>(shown.size()) - fromEnd, 0, static_cast<int>(shown.size())));
}

void BoundLineEdit::keyPressEvent(QKeyEvent* event) {
    if (telephone() && !isReadOnly()) {
        const int n = description().unit;
        if (event->key() == Qt::Key_Backspace) {
            if (!model_.acceptsTelephoneKey(n, '\b')) {
                event->accept();
                return;
            }
        } else {
            const QString t = event->text();
            if (!t.isEmpty() && t.at(0).isPrint()) {
                for (QChar c : t) {
                    if (c.unicode() >= 128 ||
                        !model_.acceptsTelephoneKey(n, static_cast<char>(c.unicode()))) {
                        event->accept();
                        return;
                    }
                }
            }
        }
    }
    QLineEdit::keyPressEvent(event);
}

void BoundLineEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    left(event->reason());
}

void BoundLineEdit::applyEnabled(bool on) {
    if (readOnlyWhenDisabled_)
        setReadOnly(!on || !description().userEditable);
    else
        setEnabled(on);
}

// ---- List ----

BoundComboBox::BoundComboBox(ModelView& view, FieldId id, QWidget* parent)
    : QComboBox(parent), Bound(view, id, LookPart::Field) {
    const FieldDescription& d = description();
    setObjectName(QString::fromStdString(d.controlName));
    // The width comes from the layout, not from the longest item: the output
    // list grows with the wireless outputs. The box's size hint says so
    // itself (sizeHint below): asking the list box for that policy would make
    // it build its popup list at once, and the window has seventy of them.
    if (d.outputChoice)
        // The output list holds the names of wireless outputs, which are no
        // captions; the fixed outputs are named by the view in the window's language.
        setProperty(kNoTranslate, true);
    else
        for (const auto& item : d.items)
            addItem(qs(item));
    // Every change of the current item is the user's choice (the list, the
    // keyboard, an accessibility action) unless the program is showing a value.
    connect(this, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!showing())
            edit([this, index](ConfigModel& m) {
                m.chooseItem(id_, index >= 0 ? std::optional<int>(index) : std::nullopt);
            });
    });
    // An item wider than the closed box is shown whole in its tooltip.
    WholeTextTip::follow(this);
}

void BoundComboBox::showValue() {
    Showing s(*this);
    const auto c = model_.choice(id_);
    const int index = c && *c < count() ? *c : -1;
    if (currentIndex() != index)
        setCurrentIndex(index);
}

void BoundComboBox::showItems() {
    if (!description().outputChoice)
        return;
    Showing s(*this);
    const auto items = model_.items(id_);
    bool same = count() == static_cast<int>(items.size());
    QStringList texts;
    for (std::size_t i = 0; i < items.size(); ++i) {
        texts << view_.outputItemText(static_cast<int>(i), items[i]);
        same = same && itemText(static_cast<int>(i)) == texts.back();
    }
    if (!same) {
        clear();
        addItems(texts);
    }
    showValue();
}

void BoundComboBox::showPopup() {
    // The list is as wide as its longest item, even when the box is narrow.
    view()->setMinimumWidth(view()->sizeHintForColumn(0) + 8);
    QComboBox::showPopup();
}

void BoundComboBox::focusOutEvent(QFocusEvent* event) {
    QComboBox::focusOutEvent(event);
    left(event->reason());
}

void BoundComboBox::setWordWrap(bool on) {
    wrap_ = on;
    QSizePolicy p = sizePolicy();
    p.setHeightForWidth(on);
    // A list box's height is fixed to its one line otherwise.
    p.setVerticalPolicy(on ? QSizePolicy::Minimum : QSizePolicy::Fixed);
    setSizePolicy(p);
    if (on)
        setMaximumHeight(QWIDGETSIZE_MAX);
    updateGeometry();
}

bool BoundComboBox::hasHeightForWidth() const {
    return wrap_ || QComboBox::hasHeightForWidth();
}

QRect BoundComboBox::textRoom(QSize size) const {
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.rect = QRect(QPoint(0, 0), size);
    // The item's text is drawn a pixel in from either side of the field.
    return style()
        ->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this)
        .adjusted(1, 0, -1, 0);
}

QSize BoundComboBox::sizeHint() const {
    // Room for four wide letters and an icon, as a list box sized to a minimum
    // length of its contents with an icon is; the height of a line or an icon.
    const QFontMetrics fm = fontMetrics();
    const QSize icon = iconSize();
    QSize contents(kMinimumLetters * fm.horizontalAdvance(u'X') + icon.width() + 4,
                   std::max({qCeil(QFontMetricsF(fm).height()), 14, icon.height()}) + 2);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    return style()->sizeFromContents(QStyle::CT_ComboBox, &opt, contents, this);
}

QSize BoundComboBox::minimumSizeHint() const {
    return sizeHint();
}

int BoundComboBox::heightForWidth(int width) const {
    if (!wrap_)
        return QComboBox::heightForWidth(width);
    // One line: the row height the box was given, or its own.
    const int one = minimumHeight() > 0 ? minimumHeight() : sizeHint().height();
    const QRect room = textRoom({width, one});
    // Every item, so that the box keeps its height whichever is chosen.
    const QFontMetrics fm = fontMetrics();
    int lines = fm.height();
    for (int i = 0; i < count(); ++i)
        lines = std::max(lines, fm.boundingRect(QRect(0, 0, std::max(1, room.width()), 10000),
                                                Qt::TextWordWrap, itemText(i))
                                    .height());
    return std::max(one, one - room.height() + lines);
}

void BoundComboBox::paintEvent(QPaintEvent* event) {
    if (!wrap_) {
        QComboBox::paintEvent(event);
        return;
    }
    // The box and its arrow as the style draws them, the text in lines.
    QStylePainter p(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    const QString text = opt.currentText;
    opt.currentText.clear();
    p.drawComplexControl(QStyle::CC_ComboBox, opt);
    style()->drawItemText(&p, textRoom(size()), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
                          opt.palette, isEnabled(), text, QPalette::ButtonText);
}

// ---- Radio group ----

BoundRadioGroup::BoundRadioGroup(ModelView& view, FieldId id, QWidget* parent)
    : QGroupBox(qs(fieldDescription(id).caption), parent), Bound(view, id, LookPart::Background) {
    const FieldDescription& d = description();
    setObjectName(QString::fromStdString(d.controlName));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 2, 4, 2);
    column->setSpacing(0);
    for (std::size_t i = 0; i < d.items.size(); ++i) {
        auto* b = new QRadioButton(qs(d.items[i]), this);
        b->setObjectName(QStringLiteral("%1_%2").arg(objectName()).arg(i));
        column->addWidget(b);
        buttons_.push_back(b);
        // The button that becomes checked, however it became so, is the choice.
        connect(b, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on && !showing())
                edit([this, i](ConfigModel& m) { m.chooseItem(id_, static_cast<int>(i)); });
        });
    }
}

void BoundRadioGroup::showValue() {
    Showing s(*this);
    const auto c = model_.choice(id_);
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const bool on = c && *c == static_cast<int>(i);
        if (buttons_[i]->isChecked() != on) {
            // No item at all is a state of its own: the buttons let go of each other meanwhile.
            buttons_[i]->setAutoExclusive(false);
            buttons_[i]->setChecked(on);
            buttons_[i]->setAutoExclusive(true);
        }
    }
}

} // namespace t6
