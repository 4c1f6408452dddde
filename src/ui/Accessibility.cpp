#include "ui/Accessibility.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QApplication>
#include <QComboBox>
#include <QHash>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>
#include <algorithm>

namespace t6 {

namespace {

constexpr char kWindowProperty[] = "t6AccessibleWindow";

// The list of a box lives in a popup frame of the box's own. The frame is
// recognised by its class, so that nothing here makes the box build its list
// (it may be building it when it is asked).
QComboBox* boxOfList(const QObject* view) {
    const QObject* frame = view->parent();
    if (!frame || qstrcmp(frame->metaObject()->className(), "QComboBoxPrivateContainer") != 0)
        return nullptr;
    return qobject_cast<QComboBox*>(frame->parent());
}

// The box's list when the box has built it; nullptr otherwise.
QAbstractItemView* builtList(const QComboBox* box) {
    for (QObject* frame : box->children())
        if (qstrcmp(frame->metaObject()->className(), "QComboBoxPrivateContainer") == 0)
            for (QObject* c : frame->children())
                if (auto* view = qobject_cast<QAbstractItemView*>(c))
                    return view;
    return nullptr;
}

QModelIndex itemIndex(const QComboBox* box, int row) {
    return box->model()->index(row, box->modelColumn(), box->rootModelIndex());
}

// One choice of a list box. It reads the box whenever it is asked, so it
// never holds a stale text or state.
class ComboItem : public QAccessibleInterface {
public:
    ComboItem(QComboBox* box, QAbstractItemView* list, int row)
        : box_(box), list_(list), row_(row) {}
    const QAbstractItemView* list() const { return list_; }
    int row() const { return row_; }

    bool isValid() const override { return box_ && list_ && row_ < box_->count(); }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return list_ ? QAccessible::queryAccessibleInterface(list_.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text t) const override {
        if (!isValid())
            return {};
        const QModelIndex index = itemIndex(box_, row_);
        if (t == QAccessible::Name) {
            const QString s = index.data(Qt::AccessibleTextRole).toString();
            return s.isEmpty() ? box_->itemText(row_) : s;
        }
        if (t == QAccessible::Description)
            return index.data(Qt::AccessibleDescriptionRole).toString();
        return {};
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid() || !list_->isVisible())
            return {};
        const QRect r = list_->visualRect(itemIndex(box_, row_));
        return {list_->viewport()->mapToGlobal(r.topLeft()), r.size()};
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        const QModelIndex index = itemIndex(box_, row_);
        const bool open = list_->isVisible();
        s.selectable = true;
        s.focusable = true;
        s.invisible = !open;
        s.disabled = !(index.flags() & Qt::ItemIsEnabled);
        // The list open, the item the user moves to; closed, the box's choice.
        const QItemSelectionModel* selection = list_->selectionModel();
        s.selected =
            open ? selection && selection->isSelected(index) : row_ == box_->currentIndex();
        s.focused = open && list_->hasFocus() && list_->currentIndex() == index;
        return s;
    }

private:
    QPointer<QComboBox> box_;
    QPointer<QAbstractItemView> list_;
    int row_;
};

// The list of a list box: one item per choice. Its parent is the box, not
// the popup frame it is shown in.
class ComboList : public QAccessibleWidget {
public:
    ComboList(QAbstractItemView* list, QComboBox* box)
        : QAccessibleWidget(list, QAccessible::List), box_(box) {}
    ~ComboList() override {
        for (QAccessible::Id id : std::as_const(items_))
            QAccessible::deleteAccessibleInterface(id);
    }

    QAccessibleInterface* parent() const override {
        return box_ ? QAccessible::queryAccessibleInterface(box_.data()) : nullptr;
    }
    int childCount() const override { return box_ ? box_->count() : 0; }
    QAccessibleInterface* child(int index) const override {
        if (!box_ || index < 0 || index >= box_->count())
            return nullptr;
        if (auto it = items_.constFind(index); it != items_.constEnd())
            return QAccessible::accessibleInterface(*it);
        auto* item = new ComboItem(box_, list(), index);
        items_.insert(index, QAccessible::registerAccessibleInterface(item));
        return item;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* item = dynamic_cast<const ComboItem*>(child);
        return item && item->list() == list() ? item->row() : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        if (!box_ || !list()->isVisible())
            return nullptr;
        const QModelIndex index = list()->indexAt(list()->viewport()->mapFromGlobal(QPoint(x, y)));
        return index.isValid() ? child(index.row()) : nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        if (!box_ || !list()->isVisible() || !list()->currentIndex().isValid())
            return nullptr;
        return child(list()->currentIndex().row());
    }
    // The list speaks under its box's name.
    QString text(QAccessible::Text t) const override {
        QString s = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && s.isEmpty() && box_)
            if (QAccessibleInterface* b = QAccessible::queryAccessibleInterface(box_.data()))
                s = b->text(QAccessible::Name);
        return s;
    }

private:
    QAbstractItemView* list() const { return static_cast<QAbstractItemView*>(widget()); }

    QPointer<QComboBox> box_;
    mutable QHash<int, QAccessible::Id> items_;
};

// A list box as assistive technology meets it: announced by its own name, its
// choice being its value and its text. The stock interface of this Qt version
// answers the name with the chosen item on X11, so that every output list
// would be heard as the output it shows. The list and, in an editable box, the
// line typed into are its children.
class NamedComboBox : public QAccessibleWidget, public ReadOnlyText {
public:
    explicit NamedComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }

    int childCount() const override { return box()->lineEdit() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(box()->view());
        if (index == 1 && box()->lineEdit())
            return QAccessible::queryAccessibleInterface(box()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child || !child->object())
            return -1;
        if (child->object() == builtList(box()))
            return 0;
        if (box()->lineEdit() && child->object() == box()->lineEdit())
            return 1;
        return -1;
    }
    // An editable box keeps the focus for its line; events of the focus go to the line.
    QAccessibleInterface* focusChild() const override {
        return box()->lineEdit() ? child(1) : nullptr;
    }
    using ReadOnlyText::text;
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value)
            return box()->currentText();
        QString s = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && s.isEmpty())
            s = box()->currentText(); // a box nobody named is known by what it shows
        return s;
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        const QAbstractItemView* list = builtList(box());
        const bool open = list && list->isVisible();
        s.expandable = true;
        s.expanded = open;
        s.collapsed = !open;
        s.editable = box()->isEditable();
        return s;
    }
    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction())
            return;
        if (box()->view() && box()->view()->isVisible())
            box()->hidePopup();
        else
            box()->showPopup();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

protected:
    QString shownText() const override { return box()->currentText(); }

private:
    QComboBox* box() const { return static_cast<QComboBox*>(widget()); }
};

// A window of the program's own: the program is its parent, as for every window.
class WindowAccessible : public QAccessibleWidget {
public:
    explicit WindowAccessible(QWidget* w) : QAccessibleWidget(w, QAccessible::Window) {}
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(qApp);
    }
};

// Asked for each class of the object, the object's own first: the program's
// interfaces answer there, before any of the toolkit's.
QAccessibleInterface* programInterface(const QString& className, QObject* object) {
    if (!object || !object->isWidgetType() ||
        className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    if (auto* box = qobject_cast<QComboBox*>(object))
        return new NamedComboBox(box);
    if (auto* list = qobject_cast<QAbstractItemView*>(object))
        if (QComboBox* box = boxOfList(list))
            return new ComboList(list, box);
    if (object->property(kWindowProperty).toBool())
        return new WindowAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

void installAccessibility() {
    // The toolkit ignores a second install.
    QAccessible::installFactory(programInterface);
}

void announceAsWindow(QWidget* window) {
    window->setProperty(kWindowProperty, true);
    installAccessibility();
    renewAccessible<WindowAccessible>(window);
}

void ReadOnlyText::selection(int, int* startOffset, int* endOffset) const {
    *startOffset = 0;
    *endOffset = 0;
}

QString ReadOnlyText::text(int startOffset, int endOffset) const {
    const QString s = shownText();
    const int size = static_cast<int>(s.size());
    if (endOffset < 0 || endOffset > size)
        endOffset = size;
    startOffset = std::clamp(startOffset, 0, endOffset);
    return s.mid(startOffset, endOffset - startOffset);
}

QString ReadOnlyText::attributes(int offset, int* startOffset, int* endOffset) const {
    *startOffset = offset;
    *endOffset = offset;
    return {};
}

} // namespace t6
