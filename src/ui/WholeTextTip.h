#pragma once
// An edit field, a spin editor or a closed list keeps its text as
// it is (the user edits it), but while the text does not fit the control its
// tooltip shows the text whole, under the control's own hint when it has one,
// and assistive technology reads it whole as the control's description, after
// a description given elsewhere. While the text fits, nothing is added. The
// control's tooltip property stays its own hint: the language switch
// translates that property, and a user's text is no caption.

#include <QObject>
#include <QSize>
#include <QString>

class QLineEdit;
class QWidget;

namespace t6 {

// The text a control shows and the room it is shown in.
struct ShownText {
    QString text;
    QSize room; // where the text is drawn
    QSize need; // what the text takes there
    bool cut() const { return need.width() > room.width() || need.height() > room.height(); }
};

class WholeTextTip : public QObject {
    Q_OBJECT
public:
    // Follows an edit field (QLineEdit), a spin editor (QAbstractSpinBox) or a
    // list box (QComboBox) from now on; other widgets are left alone. A closed
    // list whose text breaks into lines says so by its height for width.
    static void follow(QWidget* control);
    // What the control shows now: its text, its room and the text's need.
    static ShownText shown(const QWidget* control);
    // The tooltip the control shows when hovered: its own hint, and its text
    // whole while it is cut.
    static QString tipOf(const QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit WholeTextTip(QWidget* control);
    // Puts the description in step with the text and the room.
    void update();

    QWidget* control_;
    QLineEdit* inner_ = nullptr; // a spin editor's edit field
    QString given_;              // the description some other part gave the control
    QString ours_;               // the description as this tip last set it
};

} // namespace t6
