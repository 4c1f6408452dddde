// The whole accessible tree of the window, walked as a screen reader walks
// it: every control a user operates is heard with its place and its value
// (text, choice, check state, number, a cell's content), and every control
// of the window is in the tree; in Russian and in English, after start-up
// and after a read from the device.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QMap>
#include <QProgressBar>
#include <QSpinBox>
#include <QTableWidget>
#include <iostream>

#include "AccessibleWalk.h"
#include "SimWindowFixture.h"

namespace t6::test {
namespace {

// The kinds of control, in the order their counts are printed.
enum Kind { CheckBoxes, RadioButtons, Buttons, SpinBoxes, Lines, Lists, Cells, Gauges, Kinds };
const char* const kCounted[Kinds] = {"check boxes with state", "radio buttons with state",
                                     "push buttons named",     "spin boxes with value",
                                     "line edits with text",   "combo boxes with value",
                                     "key cells with content", "progress bars with value"};

int kindOf(QAccessible::Role role) {
    switch (role) {
    case QAccessible::CheckBox:
        return CheckBoxes;
    case QAccessible::RadioButton:
        return RadioButtons;
    case QAccessible::PushButton:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
        return Buttons;
    case QAccessible::SpinBox:
        return SpinBoxes;
    case QAccessible::EditableText:
        return Lines;
    case QAccessible::ComboBox:
        return Lists;
    case QAccessible::Cell:
        return Cells;
    case QAccessible::ProgressBar:
    case QAccessible::Slider:
        return Gauges;
    default:
        return -1;
    }
}

QString wholeText(QAccessibleInterface* a) {
    QAccessibleTextInterface* t = a->textInterface();
    return t ? t->text(0, t->characterCount()) : QStringLiteral("<no text interface>");
}

// What is wrong with the value a screen reader reaches; empty when it is
// the value the control shows.
QString valueFault(Kind kind, QAccessibleInterface* a) {
    QObject* o = a->object();
    const QAccessible::State s = a->state();
    const auto differs = [](const QString& what, const QString& heard, const QString& shown) {
        return QStringLiteral("%1 \"%2\", shown \"%3\"").arg(what, heard, shown);
    };
    switch (kind) {
    case CheckBoxes:
    case RadioButtons: {
        bool checked = false;
        if (auto* b = qobject_cast<QAbstractButton*>(o))
            checked = b->isChecked();
        else if (auto* g = qobject_cast<QGroupBox*>(o))
            checked = g->isChecked();
        if (!s.checkable)
            return QStringLiteral("not checkable");
        return bool(s.checked) == checked ? QString() : QStringLiteral("check state differs");
    }
    case Buttons: {
        auto* b = qobject_cast<QAbstractButton*>(o);
        return !b || !b->isCheckable() || bool(s.checked) == b->isChecked()
                   ? QString()
                   : QStringLiteral("check state differs");
    }
    case SpinBoxes: {
        auto* spin = qobject_cast<QAbstractSpinBox*>(o);
        if (!spin || !a->valueInterface())
            return QStringLiteral("no value interface");
        if (a->text(QAccessible::Value) != spin->text())
            return differs(QStringLiteral("value"), a->text(QAccessible::Value), spin->text());
        if (auto* whole = qobject_cast<QSpinBox*>(o);
            whole && a->valueInterface()->currentValue().toInt() != whole->value())
            return QStringLiteral("number differs");
        return {};
    }
    case Lines: {
        auto* line = qobject_cast<QLineEdit*>(o);
        const QString shown = line ? line->text() : QString();
        return wholeText(a) == shown ? QString()
                                     : differs(QStringLiteral("text"), wholeText(a), shown);
    }
    case Lists: {
        auto* box = qobject_cast<QComboBox*>(o);
        if (!box)
            return QStringLiteral("no list box");
        const QString shown = box->currentText();
        if (a->text(QAccessible::Value) != shown)
            return differs(QStringLiteral("value"), a->text(QAccessible::Value), shown);
        if (wholeText(a) != shown)
            return differs(QStringLiteral("text"), wholeText(a), shown);
        // Its list: one item per choice, the chosen one (only) selected.
        QAccessibleInterface* list = a->childCount() > 0 ? a->child(0) : nullptr;
        if (!list || list->role() != QAccessible::List || list->childCount() != box->count())
            return QStringLiteral("no list of its %1 choices").arg(box->count());
        QStringList selected;
        for (int i = 0; i < list->childCount(); ++i) {
            QAccessibleInterface* item = list->child(i);
            if (!item || item->role() != QAccessible::ListItem)
                return QStringLiteral("item %1 is no list item").arg(i);
            if (item->state().selected)
                selected << item->text(QAccessible::Name);
        }
        const QString chosen =
            box->currentIndex() < 0
                ? QString()
                : box->itemData(box->currentIndex(), Qt::AccessibleTextRole).toString();
        const QStringList expected{chosen.isEmpty() ? shown : chosen};
        if (selected != (box->currentIndex() < 0 ? QStringList{} : expected))
            return differs(QStringLiteral("selected items"), selected.join(u'|'), shown);
        return {};
    }
    case Cells: {
        QAccessibleTableCellInterface* cell = a->tableCellInterface();
        auto* grid = qobject_cast<QTableWidget*>(cell ? cell->table()->object() : nullptr);
        if (!grid)
            return QStringLiteral("no cell of a table");
        const QTableWidgetItem* item = grid->item(cell->rowIndex(), cell->columnIndex());
        const QString shown = item ? item->text() : QString();
        if (a->text(QAccessible::Value) != shown)
            return differs(QStringLiteral("value"), a->text(QAccessible::Value), shown);
        return wholeText(a) == shown ? QString()
                                     : differs(QStringLiteral("text"), wholeText(a), shown);
    }
    case Gauges: {
        auto* bar = qobject_cast<QProgressBar*>(o);
        if (!bar || !a->valueInterface())
            return QStringLiteral("no value interface");
        return a->valueInterface()->currentValue().toInt() == bar->value()
                   ? QString()
                   : QStringLiteral("number differs");
    }
    case Kinds:
        break;
    }
    return {};
}

// The name must say where the control is: not empty, and not only what it
// holds (a heading cell, which holds its own name, excepted).
QString nameFault(Kind kind, QAccessibleInterface* a) {
    const QString name = a->text(QAccessible::Name).trimmed();
    if (name.isEmpty())
        return QStringLiteral("no name");
    const bool holdsText = kind == SpinBoxes || kind == Lines || kind == Lists ||
                           (kind == Cells && !a->state().readOnly);
    const QString value =
        kind == Lines || kind == Cells ? wholeText(a) : a->text(QAccessible::Value);
    if (holdsText && !value.trimmed().isEmpty() && name == value.trimmed())
        return QStringLiteral("named only by its value \"%1\"").arg(name);
    return {};
}

class AccessibleTreeTest : public SimWindowTest {
protected:
    // Walks the tree, prints the counts, and gives every fault found.
    QString census(const QString& when) {
        int met[Kinds] = {}, heard[Kinds] = {};
        QSet<QObject*> reached;
        QString faults;
        for (const Met& m : walkAccessible(window.get())) {
            const int kind = kindOf(m.iface->role());
            if (kind < 0)
                continue;
            if (m.iface->object())
                reached.insert(m.iface->object());
            ++met[kind];
            QString fault = nameFault(Kind(kind), m.iface);
            if (fault.isEmpty())
                fault = valueFault(Kind(kind), m.iface);
            if (fault.isEmpty())
                ++heard[kind];
            else
                faults += QStringLiteral("\n  %1: %2 (named \"%3\")")
                              .arg(m.who, fault, m.iface->text(QAccessible::Name));
        }
        // Every control of the window is in the tree: the spin boxes' own
        // lines are heard as the spin boxes, and the toolkit's hidden helpers
        // (the menu bar's overflow button, a table's corner) are none.
        for (QWidget* w : window->findChildren<QWidget*>()) {
            const bool control =
                qobject_cast<QAbstractButton*>(w) || qobject_cast<QAbstractSpinBox*>(w) ||
                qobject_cast<QComboBox*>(w) || qobject_cast<QProgressBar*>(w) ||
                (qobject_cast<QLineEdit*>(w) && !qobject_cast<QAbstractSpinBox*>(w->parent()));
            const bool helper = w->objectName().startsWith(QLatin1String("qt_")) ||
                                qobject_cast<QAbstractItemView*>(w->parent());
            if (control && !helper && w->window() == window.get() && !reached.contains(w))
                faults +=
                    QStringLiteral("\n  not in the tree: %1 (%2)")
                        .arg(w->objectName(), QString::fromLatin1(w->metaObject()->className()));
        }
        QStringList counts;
        for (int k = 0; k < Kinds; ++k)
            counts << QStringLiteral("%1: %2/%3")
                          .arg(QString::fromLatin1(kCounted[k]))
                          .arg(heard[k])
                          .arg(met[k]);
        std::cout << when.toStdString() << ": " << counts.join(u", ").toStdString() << std::endl;
        EXPECT_GT(met[Lists], 0) << "the walk reaches the window's controls";
        EXPECT_EQ(met[Cells], 33) << "the key table's cells";
        return faults.isEmpty() ? QString() : when + faults;
    }
};

TEST_F(AccessibleTreeTest, EveryControlIsHeardWithItsPlaceAndItsValueBeforeAndAfterARead) {
    window->buildAllParts();
    EXPECT_EQ(census(QStringLiteral("ru, after start-up")), QString());
    window->switchToEnglish();
    EXPECT_EQ(census(QStringLiteral("en, after start-up")), QString());

    window->switchToRussian();
    child<QPushButton>("BitBtn2")->click();
    clock.advance(500);
    ASSERT_EQ(prompts.lastUtf8(), "Процесс чтения завершился. Все OK.");
    ASSERT_EQ(child<QLineEdit>("Edit1")->text(), u("Входная дверь")) << "the device's settings";
    EXPECT_EQ(census(QStringLiteral("ru, after a read")), QString());
    window->switchToEnglish();
    EXPECT_EQ(census(QStringLiteral("en, after a read")), QString());
}

} // namespace
} // namespace t6::test
