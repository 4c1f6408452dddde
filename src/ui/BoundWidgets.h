#pragma once
// The family of bound controls. Each is built from its field's description
// (name, caption, range, length), writes the user's edit through the model's
// mutation layer and shows the field again when the model says it changed,
// with a guard so that showing a value is never taken for an edit. Whether a
// control is usable is a predicate of the model (enabledWhen), evaluated at
// every render; the default is the model's own isEnabled() of the field.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QSpinBox>
#include <functional>
#include <vector>

#include "config/ConfigModel.h"
#include "ui/Looks.h"

class QRadioButton;

namespace t6 {

class ModelView;

class Bound {
public:
    Bound(ModelView& view, FieldId id, LookPart lookPart);
    virtual ~Bound() = default;
    Bound(const Bound&) = delete;
    Bound& operator=(const Bound&) = delete;

    FieldId field() const { return id_; }
    const FieldDescription& description() const { return fieldDescription(id_); }
    virtual QWidget* widget() = 0;

    // Shows the field's current value.
    virtual void showValue() = 0;
    // Shows the items again (output choices only).
    virtual void showItems() {}
    // Enabled state and colour; touches the widget only when they changed.
    void showState();
    void enabledWhen(std::function<bool()> predicate) { enabledWhen_ = std::move(predicate); }

protected:
    // While set, changes of the widget are the program's, not the user's.
    class Showing {
    public:
        explicit Showing(Bound& b) : b_(b) { ++b_.showing_; }
        ~Showing() { --b_.showing_; }
        Showing(const Showing&) = delete;
        Showing& operator=(const Showing&) = delete;

    private:
        Bound& b_;
    };
    bool showing() const { return showing_ > 0; }
    // Runs the user's edit through the model, then shows the field again (a
    // refused edit leaves the old value on screen).
    void edit(const std::function<void(ConfigModel&)>& f);
    // The keyboard focus left the control for another one of the window.
    void left(Qt::FocusReason reason);
    virtual void applyEnabled(bool on);

    ModelView& view_;
    ConfigModel& model_;
    const FieldId id_;

private:
    std::function<bool()> enabledWhen_;
    LookPart lookPart_;
    int showing_ = 0;
    int shownEnabled_ = -1;
    int shownLook_ = -1;
};

class BoundCheckBox : public QCheckBox, public Bound {
    Q_OBJECT
public:
    BoundCheckBox(ModelView& view, FieldId id, QWidget* parent);
    QWidget* widget() override { return this; }
    void showValue() override;
    // A long caption breaks into lines in a narrow panel; the caption itself
    // stays one text (it is also the key of its translation).
    void setWordWrap(bool on);
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    int indicatorSpace() const;
    bool wrap_ = false;
};

class BoundSpinBox : public QSpinBox, public Bound {
    Q_OBJECT
public:
    BoundSpinBox(ModelView& view, FieldId id, QWidget* parent);
    QWidget* widget() override { return this; }
    void showValue() override;

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    bool holdEmpty_ = false;
};

class BoundLineEdit : public QLineEdit, public Bound {
    Q_OBJECT
public:
    BoundLineEdit(ModelView& view, FieldId id, QWidget* parent);
    QWidget* widget() override { return this; }
    void showValue() override;
    // Read-only instead of disabled while the model says it is not usable
    // (the date and time following the computer's clock stay readable).
    void setReadOnlyWhenDisabled(bool on) { readOnlyWhenDisabled_ = on; }
    bool telephone() const;

signals:
    // A typed, pasted or otherwise set text was refused; the field shows its
    // value as it was.
    void inputRefused();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void applyEnabled(bool on) override;

private:
    // An edit the validator or the model refused: the field tells why.
    void refused();
    bool readOnlyWhenDisabled_ = false;
};

class BoundComboBox : public QComboBox, public Bound {
    Q_OBJECT
public:
    BoundComboBox(ModelView& view, FieldId id, QWidget* parent);
    QWidget* widget() override { return this; }
    void showValue() override;
    void showItems() override;
    void showPopup() override;
    // A long item breaks into lines in a narrow panel: the closed box is as
    // tall as the longest item needs at its width.
    void setWordWrap(bool on);
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    // Whatever its items, the closed box asks for room for this many letters.
    static constexpr int kMinimumLetters = 4;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Where the selected item's text is drawn in a box of this size.
    QRect textRoom(QSize size) const;
    bool wrap_ = false;
};

// A radio group: its title and one radio button per item.
class BoundRadioGroup : public QGroupBox, public Bound {
    Q_OBJECT
public:
    BoundRadioGroup(ModelView& view, FieldId id, QWidget* parent);
    QWidget* widget() override { return this; }
    void showValue() override;
    const std::vector<QRadioButton*>& buttons() const { return buttons_; }

private:
    std::vector<QRadioButton*> buttons_;
};

} // namespace t6
