// What a screen reader reaches through the program's own accessible
// interfaces: a list box's choice (its text, its value, the selected item
// of its list), a key cell's content, and the comparison and help windows
// as windows.

#include <QAccessible>
#include <QTableWidget>

#include "AccessibleWalk.h"
#include "WindowFixture.h"
#include "ui/CompareWindow.h"
#include "ui/HelpWindow.h"
#include "ui/KeyGrid.h"

namespace t6::test {
namespace {

QAccessibleInterface* iface(QObject* o) {
    return QAccessible::queryAccessibleInterface(o);
}

QString name(QAccessibleInterface* a) {
    return a ? a->text(QAccessible::Name) : QStringLiteral("<none>");
}

QString value(QAccessibleInterface* a) {
    return a ? a->text(QAccessible::Value) : QStringLiteral("<none>");
}

QString wholeText(QAccessibleInterface* a) {
    QAccessibleTextInterface* t = a ? a->textInterface() : nullptr;
    return t ? t->text(0, t->characterCount()) : QStringLiteral("<no text interface>");
}

// The names of the selected items of a box's list.
QStringList selectedItems(QAccessibleInterface* box) {
    QStringList names;
    QAccessibleInterface* list = box->child(0);
    for (int i = 0; list && i < list->childCount(); ++i)
        if (list->child(i)->state().selected)
            names << name(list->child(i));
    return names;
}

// Assistive technology listening: every change the window makes is told to
// it, and the interfaces are made while the window is being built.
struct Listening {
    Listening() { QAccessible::setActive(true); }
    ~Listening() { QAccessible::setActive(false); }
};

class AccessibleValuesTest : public WindowFixture {
protected:
    void SetUp() override { withShippedDictionary(); }
    QAccessibleTableInterface* keyTable() {
        QAccessibleInterface* t = iface(child<QTableWidget>("SGrid_key"));
        return t ? t->tableInterface() : nullptr;
    }
    QAccessibleInterface* keyCell(int row, int column) { return keyTable()->cellAt(row, column); }
    void showKeys() { window->findChild<KeyGrid*>()->showKeys(); }
};

TEST_F(AccessibleValuesTest, AListBoxIsNamedByItsPlaceAndItsChoiceIsItsTextValueAndSelectedItem) {
    open();
    auto* box = child<QComboBox>("CBox_IN3");
    QAccessibleInterface* a = iface(box);
    ASSERT_EQ(a->role(), QAccessible::ComboBox);
    // Nothing chosen yet: nothing to hear but the place.
    EXPECT_EQ(name(a), u("Зона 3, Тип входа"));
    EXPECT_EQ(value(a), QString());
    EXPECT_EQ(wholeText(a), QString());
    EXPECT_EQ(selectedItems(a), QStringList());

    pick(box, 2);
    EXPECT_EQ(name(a), u("Зона 3, Тип входа"));
    EXPECT_EQ(value(a), u("Нормально разомкнутый (НРЗ)"));
    EXPECT_EQ(wholeText(a), u("Нормально разомкнутый (НРЗ)"));
    EXPECT_EQ(a->textInterface()->text(10, 20), u("разомкнуты"));
    EXPECT_EQ(selectedItems(a), QStringList{u("Нормально разомкнутый (НРЗ)")});
    // The list belongs to the box (not to the popup frame it opens in) and
    // holds one item per choice.
    QAccessibleInterface* list = a->child(0);
    ASSERT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(list->parent(), a);
    EXPECT_EQ(a->indexOfChild(list), 0);
    EXPECT_EQ(name(list), name(a));
    ASSERT_EQ(list->childCount(), box->count());
    QAccessibleInterface* item = list->child(2);
    EXPECT_EQ(item->role(), QAccessible::ListItem);
    EXPECT_EQ(item->parent(), list);
    EXPECT_EQ(list->indexOfChild(item), 2);
    EXPECT_EQ(list->child(2), item) << "the same item every time";
    EXPECT_EQ(list->child(box->count()), nullptr);

    // While the list is open, the item the user moves to is the selected
    // one; closed again without a pick, the choice is.
    box->showPopup();
    ASSERT_TRUE(box->view()->isVisible());
    EXPECT_TRUE(a->state().expanded);
    box->view()->setCurrentIndex(box->model()->index(0, 0));
    EXPECT_EQ(selectedItems(a), QStringList{u("По высокому уровню")});
    EXPECT_EQ(list->focusChild(), list->child(0));
    EXPECT_FALSE(list->child(0)->state().invisible);
    box->hidePopup();
    EXPECT_TRUE(a->state().collapsed);
    EXPECT_EQ(selectedItems(a), QStringList{u("Нормально разомкнутый (НРЗ)")});
    EXPECT_TRUE(list->child(0)->state().invisible);

    window->switchToEnglish();
    EXPECT_EQ(value(a), box->currentText());
    EXPECT_EQ(selectedItems(a), QStringList{box->currentText()});
    EXPECT_NE(value(a), u("Нормально разомкнутый (НРЗ)"));
}

TEST_F(AccessibleValuesTest, ABoxNobodyNamedIsKnownByWhatItShowsAndAnEditableOneByItsLine) {
    open(); // the program's interfaces are installed with the window
    QComboBox box;
    box.addItems({u("Один"), u("Два")});
    QAccessibleInterface* a = iface(&box);
    EXPECT_EQ(name(a), u("Один"));
    box.setAccessibleName(u("Место"));
    EXPECT_EQ(name(a), u("Место"));
    EXPECT_EQ(value(a), u("Один"));
    EXPECT_EQ(a->childCount(), 1);

    box.setEditable(true);
    ASSERT_EQ(a->childCount(), 2);
    QAccessibleInterface* line = a->child(1);
    EXPECT_EQ(line->object(), box.lineEdit());
    EXPECT_EQ(a->indexOfChild(line), 1);
    EXPECT_EQ(a->focusChild(), line);
    EXPECT_TRUE(a->state().editable);
    box.lineEdit()->setText(u("Три"));
    EXPECT_EQ(value(a), u("Три"));
    EXPECT_EQ(wholeText(a), u("Три"));
    EXPECT_EQ(selectedItems(a), QStringList{u("Один")}) << "the list's item stays chosen";

    // The popup action opens the list and closes it again.
    QAccessibleActionInterface* actions = a->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::showMenuAction()));
    actions->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_TRUE(box.view()->isVisible());
    actions->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_FALSE(box.view()->isVisible());
}

TEST_F(AccessibleValuesTest, AKeyCellIsNamedByItsPlaceAndItsContentIsItsTextAndValue) {
    open();
    auto* grid = child<QTableWidget>("SGrid_key");
    ASSERT_NE(keyTable(), nullptr);
    EXPECT_EQ(keyTable()->rowCount(), 11);
    core->model().setTouchKey(3, {ru("Дворник"), "01a2b3c4d5e6f708"});
    showKeys();
    QAccessibleInterface* description = keyCell(3, 1);
    QAccessibleInterface* code = keyCell(3, 2);
    EXPECT_EQ(description->role(), QAccessible::Cell);
    EXPECT_EQ(name(description), u("Описание 3"));
    EXPECT_EQ(value(description), u("Дворник"));
    EXPECT_EQ(wholeText(description), u("Дворник"));
    EXPECT_EQ(name(code), u("КодКлюча 3"));
    EXPECT_EQ(wholeText(code), u("01a2b3c4d5e6f708"));
    EXPECT_TRUE(code->state().editable);
    // The headings and the row numbers: read only, heading the others.
    EXPECT_EQ(name(keyCell(0, 1)), u("Описание"));
    EXPECT_EQ(wholeText(keyCell(3, 0)), u("3"));
    EXPECT_EQ(name(keyCell(3, 0)), u("№ кл 3"));
    EXPECT_TRUE(keyCell(3, 0)->state().readOnly);
    EXPECT_TRUE(keyCell(0, 2)->state().readOnly);
    EXPECT_EQ(code->tableCellInterface()->columnHeaderCells(),
              QList<QAccessibleInterface*>{keyCell(0, 2)});
    EXPECT_EQ(code->tableCellInterface()->rowHeaderCells(),
              QList<QAccessibleInterface*>{keyCell(3, 0)});
    EXPECT_EQ(name(code->tableCellInterface()->table()), u("Программирование ключей"));
    // The grid tells the focus by its own numbering of its parts (its hidden
    // headings first): that number reaches the cell.
    QAccessibleInterface* table = iface(grid);
    EXPECT_EQ(table->childCount(), 12 * 4);
    EXPECT_EQ(table->indexOfChild(code), (3 + 1) * 4 + 2 + 1);
    EXPECT_EQ(table->child((3 + 1) * 4 + 2 + 1), code);
    grid->setCurrentCell(3, 2);
    EXPECT_EQ(table->focusChild(), code);

    // What the user types is heard at once, and the line typed into is
    // heard under the cell's place.
    grid->item(3, 1)->setText(u("Сторож"));
    EXPECT_EQ(value(description), u("Сторож"));
    grid->openPersistentEditor(grid->item(3, 1));
    auto* editor = grid->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(name(iface(editor)), u("Описание 3"));
    grid->closePersistentEditor(grid->item(3, 1));
}

TEST_F(AccessibleValuesTest, ARowNotReadSaysSoInEitherLanguage) {
    open();
    core->model().setTouchKey(4, {ru("Старый"), "1111"});
    core->model().setKeysNotRead({4, 5});
    showKeys();
    const QString why = u("Строка не прочитана из прибора");
    EXPECT_EQ(value(keyCell(5, 1)), u("не прочитано")) << "the words painted in the empty cell";
    EXPECT_EQ(wholeText(keyCell(5, 2)), u("не прочитано"));
    EXPECT_TRUE(keyCell(5, 1)->text(QAccessible::Description).startsWith(why));
    EXPECT_EQ(value(keyCell(4, 1)), u("Старый")) << "what it held";
    EXPECT_TRUE(keyCell(4, 1)->text(QAccessible::Description).startsWith(why));
    EXPECT_TRUE(keyCell(6, 1)->text(QAccessible::Description).isEmpty());

    window->switchToEnglish();
    EXPECT_EQ(value(keyCell(5, 1)), QStringLiteral("not read"));
    EXPECT_TRUE(keyCell(4, 1)
                    ->text(QAccessible::Description)
                    .startsWith(QStringLiteral("This row was not read")))
        << keyCell(4, 1)->text(QAccessible::Description).toStdString();
}

TEST_F(AccessibleValuesTest, TheComparisonAndHelpWindowsAreWindowsOfTheProgram) {
    open();
    QAccessibleInterface* program = iface(qApp);
    window->setGuideFolder(QStringLiteral(T6_SOURCE_DIR "/docs/guide"));
    window->showHelp();
    ASSERT_NE(window->helpWindow(), nullptr);
    QAccessibleInterface* help = iface(window->helpWindow());
    EXPECT_EQ(help->role(), QAccessible::Window);
    EXPECT_EQ(name(help), u("Справка"));
    EXPECT_EQ(help->parent(), program);
    EXPECT_GE(program->indexOfChild(help), 0) << "among the program's windows";

    auto* compare = new CompareWindow(window.get(), *core, CompareWindow::Against::File, [] {
        Comparison c;
        c.done = true;
        return c;
    });
    ASSERT_TRUE(compare->refresh());
    compare->show();
    QAccessibleInterface* a = iface(compare);
    EXPECT_EQ(a->role(), QAccessible::Window);
    EXPECT_EQ(name(a), u("Сравнение с файлом"));
    EXPECT_EQ(a->parent(), program);
    EXPECT_GE(program->indexOfChild(a), 0);
    // What they show is in them as before.
    QStringList parts;
    for (const Met& m : walkAccessible(compare))
        parts << m.who;
    EXPECT_TRUE(parts.contains(QStringLiteral("CompareList (QTreeWidget)"))) << parts.size();
    EXPECT_TRUE(parts.contains(QStringLiteral("CompareClose (QPushButton)")));
    EXPECT_EQ(iface(window.get())->role(), QAccessible::Window);
}

TEST_F(AccessibleValuesTest, InterfacesMadeWhileAssistiveTechnologyListensAreTheProgramsOwn) {
    Listening listening;
    open();
    window->buildAllParts();
    EXPECT_EQ(name(iface(child<QWidget>("CBox_IN3"))), u("Зона 3, Тип входа"));
    ASSERT_NE(keyTable(), nullptr);
    EXPECT_EQ(name(keyCell(1, 1)), u("Описание 1"));
    EXPECT_NE(keyCell(1, 1)->textInterface(), nullptr);
    pick(child<QComboBox>("CBox_IN3"), 1);
    EXPECT_EQ(wholeText(iface(child<QWidget>("CBox_IN3"))), u("Нормально замкнутый (НЗ)"));

    // A grid whose interface was made before it became the key grid.
    auto* grid = new QTableWidget(11, 3, window.get());
    for (int r = 0; r < 11; ++r)
        for (int c = 0; c < 3; ++c)
            grid->setItem(r, c, new QTableWidgetItem);
    ASSERT_NE(iface(grid), nullptr);
    new KeyGrid(grid, core->model());
    ASSERT_NE(iface(grid)->tableInterface(), nullptr);
    EXPECT_EQ(wholeText(iface(grid)->tableInterface()->cellAt(0, 1)), u("Описание"));
}

} // namespace
} // namespace t6::test
