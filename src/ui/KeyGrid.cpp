#include "ui/KeyGrid.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include "common/Cp1251.h"
#include "config/ConfigModel.h"
#include "keys/KeyProgramming.h"
#include "ui/Accessibility.h"
#include "ui/Cp1251Validator.h"
#include "ui/TextConv.h"

namespace t6 {

namespace {

// Item data of a row not read, and the words painted into its empty cells.
constexpr int NotReadRole = Qt::UserRole + 1;
constexpr int NotReadTextRole = Qt::UserRole + 2;

// The cells take only what Windows-1251 can hold, and their typing follows
// the grid's key filter.
class KeyCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* w = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* e = qobject_cast<QLineEdit*>(w)) {
            // The line typed into is heard under the cell's name.
            e->setAccessibleName(index.data(Qt::AccessibleTextRole).toString());
            e->setValidator(new Cp1251Validator(e));
            e->setProperty("t6KeyColumn", index.column());
            e->installEventFilter(const_cast<KeyCellDelegate*>(this));
        }
        return w;
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            auto* e = qobject_cast<QLineEdit*>(watched);
            auto* key = static_cast<QKeyEvent*>(event);
            // Only characters are filtered; Delete and the arrows always pass.
            const QString t = key->text();
            const bool backspace = key->key() == Qt::Key_Backspace;
            const bool character = !t.isEmpty() && t[0].isPrint();
            if (e && (backspace || character) &&
                !KeyProgramming::acceptsCellKey(e->property("t6KeyColumn").toInt(),
                                                static_cast<std::size_t>(e->text().size()),
                                                backspace ? '\b' : 'x'))
                return true;
        }
        return QStyledItemDelegate::eventFilter(watched, event);
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyledItemDelegate::paint(painter, option, index);
        // An empty cell of a row not read says so, without holding the words.
        if (!index.data(NotReadRole).toBool() || !index.data(Qt::DisplayRole).toString().isEmpty())
            return;
        painter->save();
        QFont font = option.font;
        font.setItalic(true);
        painter->setFont(font);
        painter->setPen(option.palette.color(QPalette::Disabled, QPalette::Text));
        painter->drawText(option.rect.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft,
                          index.data(NotReadTextRole).toString());
        painter->restore();
    }
};

// What a cell shows: its text, or in an empty cell of a row not read the
// words painted there.
QString cellText(const QModelIndex& index) {
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty() && index.data(NotReadRole).toBool())
        return index.data(NotReadTextRole).toString();
    return text;
}

// One part of the grid as assistive technology meets it: a cell, or one of
// the grid's own headers, which are hidden (the grid's first row holds the
// headings the user sees). The parts are numbered as the grid numbers them
// when it reports the focus, its headers first: place (0, 0) is their
// corner, row 0 the column headers, column 0 the row headers, and the cell of
// row r and column c is at place (r + 1, c + 1). A part reads the grid
// whenever it is asked, so it never holds a stale text or state.
class KeyGridPart : public QAccessibleInterface,
                    public QAccessibleTableCellInterface,
                    public ReadOnlyText {
public:
    KeyGridPart(QTableWidget* grid, int placeRow, int placeColumn)
        : grid_(grid), placeRow_(placeRow), placeColumn_(placeColumn) {}

    const QTableWidget* grid() const { return grid_; }
    int placeRow() const { return placeRow_; }
    int placeColumn() const { return placeColumn_; }

    bool isValid() const override {
        return grid_ && placeRow_ <= grid_->rowCount() && placeColumn_ <= grid_->columnCount();
    }
    QObject* object() const override { return nullptr; }
    void* interface_cast(QAccessible::InterfaceType t) override {
        if (!isCell())
            return nullptr;
        if (t == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        if (t == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return nullptr;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return table(); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    // The name is the cell's place ("Описание 3"); the value, the text and
    // the text interface give what it shows; a row not read says so in the
    // description.
    using ReadOnlyText::text;
    QString text(QAccessible::Text t) const override {
        if (!isValid())
            return {};
        if (!isCell())
            return t == QAccessible::Name ? heading() : QString();
        const QModelIndex i = index();
        switch (t) {
        case QAccessible::Name: {
            const QString place = i.data(Qt::AccessibleTextRole).toString();
            return place.isEmpty() ? i.data(Qt::DisplayRole).toString() : place;
        }
        case QAccessible::Value:
            return cellText(i);
        case QAccessible::Description:
            return i.data(Qt::AccessibleDescriptionRole).toString();
        default:
            return {};
        }
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid() || !isCell() || !grid_->isVisible())
            return {};
        const QRect r = grid_->visualRect(index());
        return {grid_->viewport()->mapToGlobal(r.topLeft()), r.size()};
    }
    QAccessible::Role role() const override {
        if (placeRow_ == 0 && placeColumn_ == 0)
            return QAccessible::Pane;
        if (placeRow_ == 0)
            return QAccessible::ColumnHeader;
        if (placeColumn_ == 0)
            return QAccessible::RowHeader;
        return QAccessible::Cell;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        if (!isCell()) {
            s.invisible = headerHidden();
            return s;
        }
        const QModelIndex i = index();
        const Qt::ItemFlags flags = i.flags();
        s.focusable = true;
        s.selectable = flags.testFlag(Qt::ItemIsSelectable);
        s.selected = isSelected();
        s.focused = grid_->hasFocus() && grid_->currentIndex() == i;
        s.editable = flags.testFlag(Qt::ItemIsEditable);
        s.readOnly = !s.editable;
        s.disabled = !flags.testFlag(Qt::ItemIsEnabled) || !grid_->isEnabled();
        s.invisible =
            !grid_->isVisible() || !grid_->viewport()->rect().intersects(grid_->visualRect(i));
        return s;
    }

    // QAccessibleTableCellInterface. The first row and column of the grid
    // head the others' rows and columns.
    bool isSelected() const override {
        return isValid() && grid_->selectionModel() && grid_->selectionModel()->isSelected(index());
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override {
        return rowIndex() > 0 ? QList<QAccessibleInterface*>{cell(0, columnIndex())}
                              : QList<QAccessibleInterface*>{};
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override {
        return rowIndex() > 0 && columnIndex() > 0
                   ? QList<QAccessibleInterface*>{cell(rowIndex(), 0)}
                   : QList<QAccessibleInterface*>{};
    }
    int columnIndex() const override { return placeColumn_ - 1; }
    int rowIndex() const override { return placeRow_ - 1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override {
        return grid_ ? QAccessible::queryAccessibleInterface(grid_.data()) : nullptr;
    }

protected:
    QString shownText() const override { return isValid() ? cellText(index()) : QString(); }

private:
    bool isCell() const { return placeRow_ > 0 && placeColumn_ > 0; }
    QModelIndex index() const { return grid_->model()->index(rowIndex(), columnIndex()); }
    QAccessibleInterface* cell(int row, int column) const {
        QAccessibleInterface* t = table();
        return t && t->tableInterface() ? t->tableInterface()->cellAt(row, column) : nullptr;
    }
    bool headerHidden() const {
        const bool columns = grid_->horizontalHeader()->isHidden();
        const bool rows = grid_->verticalHeader()->isHidden();
        return placeRow_ == 0 ? columns || (placeColumn_ == 0 && rows) : rows;
    }
    QString heading() const {
        if (placeRow_ == 0 && placeColumn_ == 0)
            return {};
        return placeRow_ == 0
                   ? grid_->model()->headerData(placeColumn_ - 1, Qt::Horizontal).toString()
                   : grid_->model()->headerData(placeRow_ - 1, Qt::Vertical).toString();
    }

    QPointer<QTableWidget> grid_;
    int placeRow_;
    int placeColumn_;
};

// The grid as a table of parts (see KeyGridPart for their places).
class KeyGridTable : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit KeyGridTable(QTableWidget* grid) : QAccessibleWidget(grid, QAccessible::Table) {}
    ~KeyGridTable() override { dropParts(); }

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    int childCount() const override { return (rowCount() + 1) * (columnCount() + 1); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (auto it = parts_.constFind(index); it != parts_.constEnd())
            return QAccessible::accessibleInterface(*it);
        const int width = columnCount() + 1;
        auto* part = new KeyGridPart(grid(), index / width, index % width);
        parts_.insert(index, QAccessible::registerAccessibleInterface(part));
        return part;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const auto* part = dynamic_cast<const KeyGridPart*>(child);
        if (!part || part->grid() != grid())
            return -1;
        return part->placeRow() * (columnCount() + 1) + part->placeColumn();
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QModelIndex i = grid()->indexAt(grid()->viewport()->mapFromGlobal(QPoint(x, y)));
        return i.isValid() ? cellAt(i.row(), i.column()) : nullptr;
    }
    QAccessibleInterface* focusChild() const override {
        const QModelIndex i = grid()->currentIndex();
        return i.isValid() ? cellAt(i.row(), i.column()) : nullptr;
    }

    // QAccessibleTableInterface.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
            return nullptr;
        return child((row + 1) * (columnCount() + 1) + column + 1);
    }
    int selectedCellCount() const override { return static_cast<int>(selected().size()); }
    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> cells;
        for (const QModelIndex& i : selected())
            cells << cellAt(i.row(), i.column());
        return cells;
    }
    QString columnDescription(int column) const override {
        return grid()->model()->index(0, column).data().toString();
    }
    QString rowDescription(int row) const override {
        return grid()->model()->index(row, 0).data().toString();
    }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return grid()->columnCount(); }
    int rowCount() const override { return grid()->rowCount(); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    // The parts read the grid when asked; only a change of its shape renumbers them.
    void modelChange(QAccessibleTableModelChangeEvent* event) override {
        if (event->modelChangeType() != QAccessibleTableModelChangeEvent::DataChanged)
            dropParts();
    }

private:
    QTableWidget* grid() const { return static_cast<QTableWidget*>(widget()); }
    QModelIndexList selected() const {
        return grid()->selectionModel() ? grid()->selectionModel()->selectedIndexes()
                                        : QModelIndexList{};
    }
    void dropParts() {
        for (QAccessible::Id id : std::as_const(parts_))
            QAccessible::deleteAccessibleInterface(id);
        parts_.clear();
    }

    mutable QHash<int, QAccessible::Id> parts_;
};

// The key grid's interface: asked for the grid's own class, before the toolkit's.
QAccessibleInterface* keyGridInterface(const QString& className, QObject* object) {
    auto* grid = qobject_cast<QTableWidget*>(object);
    if (!grid || className != QLatin1String(object->metaObject()->className()) ||
        !grid->findChild<KeyGrid*>(QString(), Qt::FindDirectChildrenOnly))
        return nullptr;
    return new KeyGridTable(grid);
}

} // namespace

KeyGrid::KeyGrid(QTableWidget* grid, ConfigModel& model, Translate translate)
    : QObject(grid), grid_(grid), model_(model), translate_(std::move(translate)) {
    grid_->setItemDelegate(new KeyCellDelegate(grid_));
    QAccessible::installFactory(keyGridInterface);
    renewAccessible<KeyGridTable>(grid_);
    // Every change of a cell, typed or pasted or set by assistive technology.
    connect(grid_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (showing_ == 0)
            cellChanged(item);
    });
    showKeys();
}

void KeyGrid::showKeys() {
    ++showing_;
    auto set = [this](int r, int c, const QString& text) {
        if (QTableWidgetItem* item = grid_->item(r, c); item && item->text() != text)
            item->setText(text);
    };
    set(0, 0, QString::fromUtf8("№ кл"));
    set(0, kDescriptionColumn, QString::fromUtf8("Описание"));
    set(0, kCodeColumn, QString::fromUtf8("КодКлюча"));
    const auto& keys = model_.config().touchKeys;
    auto tr = [this](const char* utf8) { return qs(translate_ ? translate_(ru(utf8)) : ru(utf8)); };
    // The words are looked up only when some row needs them.
    QString notRead, notReadTip;
    for (int r = 1; r <= TouchKeyCount && notRead.isEmpty(); ++r) {
        if (model_.keyNotRead(r)) {
            notRead = tr("не прочитано");
            notReadTip = tr(
                "Строка не прочитана из прибора: показано прежнее содержимое, а не ключ прибора.");
        }
    }
    for (int r = 1; r <= TouchKeyCount; ++r) {
        const TouchKey& k = keys[static_cast<std::size_t>(r - 1)];
        set(r, 0, QString::number(r));
        set(r, kDescriptionColumn, qs(k.description));
        set(r, kCodeColumn, qs(k.code));
        const bool unread = model_.keyNotRead(r);
        // The words follow the window's language, the marks only the row.
        const QString words = unread ? notRead : QString();
        const QString tip = unread ? notReadTip : QString();
        for (int c = 0; c <= kCodeColumn; ++c) {
            QTableWidgetItem* item = grid_->item(r, c);
            if (!item)
                continue;
            if (item->data(NotReadRole).toBool() != unread) {
                QFont font = item->font();
                font.setItalic(unread);
                item->setFont(font);
                item->setData(NotReadRole, unread);
                item->setData(Qt::ForegroundRole, unread ? QVariant(grid_->palette().color(
                                                               QPalette::Disabled, QPalette::Text))
                                                         : QVariant());
            }
            if (item->data(NotReadTextRole).toString() != words)
                item->setData(NotReadTextRole, words);
            if (item->toolTip() != tip) {
                item->setToolTip(tip);
                item->setData(Qt::AccessibleDescriptionRole, unread ? QVariant(tip) : QVariant());
            }
        }
    }
    --showing_;
}

void KeyGrid::cellChanged(QTableWidgetItem* item) {
    const int r = item->row();
    const int c = item->column();
    if (r < 1 || r > TouchKeyCount || (c != kDescriptionColumn && c != kCodeColumn))
        return;
    TouchKey key = model_.config().touchKeys[static_cast<std::size_t>(r - 1)];
    // A text the code page cannot hold never reaches the model; the cell shows
    // the key as it was.
    if (auto bytes = fromQs(item->text()))
        (c == kDescriptionColumn ? key.description : key.code) = *bytes;
    model_.setTouchKey(r, key);
    showKeys();
}

} // namespace t6
