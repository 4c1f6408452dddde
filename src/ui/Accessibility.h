#pragma once
// What assistive technology (a screen reader) meets in the window beyond the
// toolkit's own interfaces:
//
// - A list box is announced by its name, the place it sits in ("Зона 1, Тип
//   входа"), and its choice is its value: the box's text and the Value text
//   give what it shows, and its list, a child of the box, holds one item per
//   choice with the chosen one (or, while the list is open, the highlighted
//   one) selected. The toolkit's own interface of this version answers the
//   name with the chosen item instead.
// - A window of its own beside the main one is announced as a window (a
//   plain widget would be a "filler" of no kind).
//
// The key table's cells have an interface of their own (KeyGrid).

#include <QAccessible>
#include <QAccessibleTextInterface>
#include <QString>

class QObject;
class QWidget;

namespace t6 {

// Installs the program's accessible interfaces. Once for the program: later
// calls do nothing. Controls made before it keep the toolkit's interfaces.
void installAccessibility();

// The widget, a window of the program's own, is announced as a window.
void announceAsWindow(QWidget* window);

// Drops the interface made for the object before the program's applied (as
// when assistive technology listens while the object is being built), unless
// it is already the right one; the next look-up makes the program's.
template <typename Wanted> void renewAccessible(QObject* object) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    if (iface && !dynamic_cast<Wanted*>(iface))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}

// The text interface of something read and not typed into (a list box's
// choice, a cell of a table): the whole text, no caret and no selection.
class ReadOnlyText : public QAccessibleTextInterface {
public:
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override { return static_cast<int>(shownText().size()); }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

protected:
    virtual QString shownText() const = 0;
};

} // namespace t6
