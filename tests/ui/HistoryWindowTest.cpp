// The window keeps a version after each complete read and write, under the
// site typed in the bottom bar, and compares with a version chosen from the list.

#include <QDialog>
#include <QTimer>
#include <QTreeWidget>

#include "SimWindowFixture.h"
#include "ui/CompareWindow.h"

namespace t6::test {
namespace {

class HistoryWindowTest : public SimWindowTest {
protected:
    // Opens the version list and, once it is up, notes its rows and chooses `row`.
    std::vector<QStringList> chooseFromList(int row) {
        std::vector<QStringList> rows;
        QTimer::singleShot(0, [&] {
            auto* dialog = window->findChild<QDialog*>("VersionDialog");
            ASSERT_NE(dialog, nullptr);
            auto* tree = dialog->findChild<QTreeWidget*>("Tree_Versions");
            ASSERT_NE(tree, nullptr);
            EXPECT_FALSE(tree->accessibleName().isEmpty());
            for (int i = 0; i < tree->topLevelItemCount(); ++i) {
                QStringList cells;
                for (int c = 0; c < 4; ++c)
                    cells << tree->topLevelItem(i)->text(c);
                rows.push_back(cells);
            }
            tree->setCurrentItem(tree->topLevelItem(row));
            dialog->accept();
        });
        child<QAction>("N_CompareVersion")->trigger();
        return rows;
    }
};

TEST_F(HistoryWindowTest, AReadAndAWriteAreKeptUnderTheSiteAndCompared) {
    child<QLineEdit>("Edit_Site")->setText(u("Дом 5"));
    child<QPushButton>("BitBtn2")->click();
    clock.advance(500);
    ASSERT_EQ(prompts.lastUtf8(), "Процесс чтения завершился. Все OK.");
    child<QLineEdit>("Edit1")->setText(u("Парадная дверь"));
    child<QAction>("N9")->trigger();
    clock.advance(500);
    ASSERT_EQ(prompts.lastUtf8(), "Процесс записи завершился. Все OK.");

    const HistoryList list = core->history().list();
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.entries[0].operation, "write");
    EXPECT_EQ(list.entries[1].operation, "read");
    EXPECT_EQ(list.entries[1].site, "Дом 5");
    EXPECT_EQ(list.entries[1].port, "COM1");
    const auto read = core->history().version(list.entries[1].number);
    ASSERT_TRUE(read);
    EXPECT_NE(read->config.find(ru("Входная дверь")), std::string::npos);

    // The window now holds what was written: against the read, the message differs.
    const std::vector<QStringList> rows = chooseFromList(1);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], u("@2"));
    EXPECT_EQ(rows[0][2], u("Дом 5"));
    EXPECT_EQ(rows[0][3], u("запись"));
    EXPECT_EQ(rows[1][3], u("чтение"));
    auto* compare = window->findChild<CompareWindow*>("CompareFileWindow");
    ASSERT_NE(compare, nullptr);
    bool messageDiffers = false;
    for (int i = 0; i < compare->list()->topLevelItemCount(); ++i)
        for (int c = 0; c < compare->list()->columnCount(); ++c)
            messageDiffers =
                messageDiffers || compare->list()->topLevelItem(i)->text(c) == u("Входная дверь");
    EXPECT_TRUE(messageDiffers);
}

TEST_F(HistoryWindowTest, AnEmptyHistorySaysWhenVersionsAreKept) {
    child<QAction>("N_CompareVersion")->trigger();
    EXPECT_EQ(prompts.lastUtf8(), "В истории нет версий: версия сохраняется после каждого полного "
                                  "чтения и каждой полной записи.");
    EXPECT_EQ(window->findChild<CompareWindow*>("CompareFileWindow"), nullptr);
}

} // namespace
} // namespace t6::test
