#include "ui/KeyGrid.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include "common/Cp1251.h"
#include "config/ConfigModel.h"
#include "keys/KeyProgramming.h"
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

} // namespace

KeyGrid::KeyGrid(QTableWidget* grid, ConfigModel& model, Translate translate)
    : QObject(grid), grid_(grid), model_(model), translate_(std::move(translate)) {
    grid_->setItemDelegate(new KeyCellDelegate(grid_));
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
    for (int r = 1; r <= 10 && notRead.isEmpty(); ++r) {
        if (model_.keyNotRead(r)) {
            notRead = tr("не прочитано");
            notReadTip = tr(
                "Строка не прочитана из прибора: показано прежнее содержимое, а не ключ прибора.");
        }
    }
    for (int r = 1; r <= 10; ++r) {
        const TouchKey& k = keys[static_cast<std::size_t>(r - 1)];
        set(r, 0, QString::number(r));
        set(r, kDescriptionColumn, qs(k.description));
        set(r, kCodeColumn, qs(k.code));
        const bool unread = model_.keyNotRead(r);
        for (int c = 0; c <= kCodeColumn; ++c) {
            QTableWidgetItem* item = grid_->item(r, c);
            if (!item || item->data(NotReadRole).toBool() == unread)
                continue;
            QFont font = item->font();
            font.setItalic(unread);
            item->setFont(font);
            item->setData(NotReadRole, unread);
            item->setData(NotReadTextRole, unread ? notRead : QString());
            item->setData(Qt::ForegroundRole,
                          unread
                              ? QVariant(grid_->palette().color(QPalette::Disabled, QPalette::Text))
                              : QVariant());
            item->setToolTip(unread ? notReadTip : QString());
            item->setData(Qt::AccessibleDescriptionRole, unread ? notReadTip : QVariant());
        }
    }
    --showing_;
}

void KeyGrid::cellChanged(QTableWidgetItem* item) {
    const int r = item->row();
    const int c = item->column();
    if (r < 1 || r > 10 || (c != kDescriptionColumn && c != kCodeColumn))
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
