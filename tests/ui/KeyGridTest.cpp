// The key table's grid and the model's keys never disagree, and typing
// follows the grid's key filter.

#include <QTableWidget>

#include "WindowFixture.h"
#include "ui/KeyGrid.h"

namespace t6::test {
namespace {

class KeyGridTest : public WindowFixture {
protected:
    void SetUp() override { open(); }
    QTableWidget* grid() { return child<QTableWidget>("SGrid_key"); }
    const TouchKey& key(int k) { return core->model().config().touchKeys[std::size_t(k - 1)]; }
};

TEST_F(KeyGridTest, ACellChangedAnyWayReachesTheModel) {
    EXPECT_EQ(grid()->item(0, 2)->text(), u("КодКлюча"));
    EXPECT_EQ(grid()->item(7, 0)->text(), u("7"));
    grid()->item(3, 1)->setText(u("Дворник"));
    grid()->item(3, 2)->setText(u("01a2b3c4d5e6f708"));
    EXPECT_EQ(cp1251ToUtf8(key(3).description), "Дворник");
    EXPECT_EQ(key(3).code, "01a2b3c4d5e6f708");
    // A text the code page cannot hold is refused and the cell shows the key again.
    grid()->item(3, 1)->setText(u("鍵"));
    EXPECT_EQ(cp1251ToUtf8(key(3).description), "Дворник");
    EXPECT_EQ(grid()->item(3, 1)->text(), u("Дворник"));
    // The headings and row numbers are no keys.
    grid()->item(0, 1)->setText(u("x"));
    EXPECT_EQ(grid()->item(0, 1)->text(), u("x")) << "shown again only with the keys";
    EXPECT_TRUE(key(1).description.empty());
}

TEST_F(KeyGridTest, TheGridShowsTheModelsKeys) {
    core->model().setTouchKey(10, {ru("Сторож"), "ffeeddccbbaa9988"});
    window->findChild<KeyGrid*>()->showKeys();
    EXPECT_EQ(grid()->item(10, 1)->text(), u("Сторож"));
    EXPECT_EQ(grid()->item(10, 2)->text(), u("ffeeddccbbaa9988"));
}

TEST_F(KeyGridTest, RowsTheTableDidNotReachAreShownAsNotReadUntilSomethingFillsThem) {
    core->model().setTouchKey(4, {ru("Старый"), "1111"});
    core->model().setKeysNotRead({4, 5});
    window->findChild<KeyGrid*>()->showKeys();
    for (int row : {4, 5}) {
        for (int column = 0; column <= 2; ++column) {
            QTableWidgetItem* item = grid()->item(row, column);
            EXPECT_TRUE(item->font().italic()) << row << column;
            EXPECT_TRUE(item->toolTip().startsWith(u("Строка не прочитана из прибора")));
            EXPECT_EQ(item->data(Qt::AccessibleDescriptionRole).toString(), item->toolTip());
        }
    }
    EXPECT_EQ(grid()->item(4, 1)->text(), u("Старый")) << "what it held, marked";
    EXPECT_TRUE(grid()->item(5, 1)->text().isEmpty()) << "the words are painted, not held";
    EXPECT_FALSE(grid()->item(6, 1)->font().italic());
    // The user fills row 5: it is the user's now.
    grid()->item(5, 2)->setText(u("0a0b"));
    EXPECT_FALSE(core->model().keyNotRead(5));
    EXPECT_FALSE(grid()->item(5, 1)->font().italic());
    EXPECT_TRUE(grid()->item(5, 1)->toolTip().isEmpty());
    EXPECT_TRUE(core->model().keyNotRead(4));
}

TEST_F(KeyGridTest, TheKeyFilterDropsCharacterKeysOfAFullCell) {
    // A description cell holding ten characters takes no more; Backspace,
    // Delete and the arrows always pass, so a full cell can be shortened.
    activate();
    auto* panel = child<QWidget>("Panel_key");
    panel->setEnabled(true);
    panel->show();
    grid()->setFocus();
    grid()->setCurrentCell(2, 1);
    grid()->editItem(grid()->item(2, 1));
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    typeInto(editor, QStringLiteral("abcdefghijkl"));
    EXPECT_EQ(editor->text(), QStringLiteral("abcdefghij"));
    press(editor, Qt::Key_Backspace, QStringLiteral("\b"));
    EXPECT_EQ(editor->text(), QStringLiteral("abcdefghi"));
    editor->setCursorPosition(0);
    press(editor, Qt::Key_Delete);
    EXPECT_EQ(editor->text(), QStringLiteral("bcdefghi"));
    // A code cell takes sixteen.
    grid()->setCurrentCell(2, 2);
    grid()->editItem(grid()->item(2, 2));
    editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    typeInto(editor, QStringLiteral("0123456789abcdef01"));
    EXPECT_EQ(editor->text(), QStringLiteral("0123456789abcdef"));
}

} // namespace
} // namespace t6::test
