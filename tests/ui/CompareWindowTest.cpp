// The comparison of the window with the device and with a file, and the
// configuration sheet, as an installer uses them with the simulated device.

#include <QClipboard>
#include <QGuiApplication>
#include <QTreeWidget>
#include <sys/stat.h>

#include "SimWindowFixture.h"
#include "core/ConfigComparison.h"
#include "ui/CompareWindow.h"

namespace t6::test {
namespace {

class CompareWindowTest : public SimWindowTest {
protected:
    void read() {
        child<QAction>("N10")->trigger();
        clock.advance(500);
        ASSERT_EQ(prompts.lastUtf8(), "Процесс чтения завершился. Все OK.");
    }
    // The rows of a comparison window: caption, window, device or file.
    static std::vector<std::vector<std::string>> rows(CompareWindow* w) {
        std::vector<std::vector<std::string>> out;
        if (!w)
            return out;
        for (int i = 0; i < w->list()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* r = w->list()->topLevelItem(i);
            out.push_back(
                {r->text(0).toStdString(), r->text(1).toStdString(), r->text(2).toStdString()});
        }
        return out;
    }
    static std::string headers(CompareWindow* w) {
        const QTreeWidgetItem* h = w->list()->headerItem();
        return (h->text(0) + "|" + h->text(1) + "|" + h->text(2)).toStdString();
    }
};

TEST_F(CompareWindowTest, ListsExactlyTheFieldsChangedSinceTheReadUntilTheNextRead) {
    child<QAction>("N_CompareDevice")->trigger();
    EXPECT_EQ(prompts.lastUtf8(),
              "Сравнивать не с чем: в этом сеансе настройки из прибора ещё не считаны.");
    EXPECT_EQ(window->deviceComparison() ? window->deviceComparison()->isVisible() : false, false);

    read();
    child<QLineEdit>("Edit1")->setText(u("Парадная дверь"));
    child<QCheckBox>("CB_Time_SMS")->click();
    child<QAction>("N_CompareDevice")->trigger();
    CompareWindow* w = window->deviceComparison();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowModality(), Qt::NonModal);
    EXPECT_EQ(headers(w), "Поле|В окне|В приборе");
    EXPECT_EQ(rows(w), (std::vector<std::vector<std::string>>{
                           {"Добавить время в SMS сообщение", "нет", "да"},
                           {"Зона 1, Сообщение", "Парадная дверь", "Входная дверь"}}));
    EXPECT_EQ(w->summary()->text(), u("Различий: 2"));

    // Copy puts the list on the clipboard, a line a field.
    w->findChild<QPushButton*>("CompareCopy")->click();
    const QString copied = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(copied.contains(u("Зона 1, Сообщение\tПарадная дверь\tВходная дверь\n")))
        << copied.toStdString();
    EXPECT_TRUE(copied.contains(u("Поле\tВ окне\tВ приборе\n"))) << copied.toStdString();

    // The write does not stand for a read; the next read empties the list.
    child<QAction>("N9")->trigger();
    clock.advance(500);
    ASSERT_EQ(prompts.lastUtf8(), "Процесс записи завершился. Все OK.");
    w->findChild<QPushButton*>("CompareRefresh")->click();
    EXPECT_EQ(rows(w).size(), 2u);
    clock.advance(1500);
    read();
    w->findChild<QPushButton*>("CompareRefresh")->click();
    EXPECT_TRUE(rows(w).empty());
    EXPECT_EQ(w->summary()->text(), u("Различий нет."));
    EXPECT_EQ(child<QLineEdit>("Edit1")->text(), u("Парадная дверь")) << "what was written";
}

TEST_F(CompareWindowTest, FollowsTheWindowsLanguageWithTheWindowsCaptions) {
    read();
    child<QLineEdit>("Edit1")->setText(u("Дверь"));
    child<QCheckBox>("CB_Time_SMS")->click();
    child<QAction>("N_CompareDevice")->trigger();
    CompareWindow* w = window->deviceComparison();
    ASSERT_NE(w, nullptr);
    child<QAction>("menu_english")->trigger();
    EXPECT_EQ(headers(w), "Field|In the window|In the device");
    EXPECT_EQ(rows(w), (std::vector<std::vector<std::string>>{
                           {"Add the time to SMS messages", "No", "Yes"},
                           {"Zone 1, Message", "Дверь", "Входная дверь"}}));
    EXPECT_EQ(w->findChild<QPushButton*>("CompareCopy")->text(), u("Copy"));
    EXPECT_EQ(w->findChild<QPushButton*>("CompareCopy")->accessibleName(),
              u("Comparison with the device, Copy"));
    EXPECT_EQ(w->list()->accessibleName(), u("Comparison with the device, list of differences"));
    child<QAction>("menu_russian")->trigger();
    EXPECT_EQ(rows(w).back().front(), "Зона 1, Сообщение");
}

TEST_F(CompareWindowTest, ComparesWithAFileInAModelOfItsOwnAndRefusesAPipe) {
    read();
    const std::string saved = (dir / "site.cfg").string();
    prompts.fileNames.push_back(saved);
    child<QAction>("N3")->trigger();
    child<QLineEdit>("Edit_bp1")->setText(u("Коридор"));
    prompts.fileNames.push_back(saved);
    child<QAction>("N_CompareFile")->trigger();
    CompareWindow* w = window->fileComparison();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(headers(w), "Поле|В окне|В файле");
    EXPECT_EQ(rows(w), (std::vector<std::vector<std::string>>{
                           {"Беспроводная Зона1, Сообщение", "Коридор", "Датчик движения"}}));
    EXPECT_EQ(child<QLineEdit>("Edit_bp1")->text(), u("Коридор")) << "the window is not loaded";

    const std::string fifo = (dir / "pipe.cfg").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    prompts.fileNames.push_back(fifo);
    child<QAction>("N_CompareFile")->trigger();
    EXPECT_EQ(prompts.lastUtf8().rfind("Ошибка чтения файла", 0), 0u) << prompts.lastUtf8();
    EXPECT_EQ(window->fileComparison(), w) << "the open comparison keeps its file";
    EXPECT_EQ(rows(w).size(), 1u);
}

TEST_F(CompareWindowTest, TheSheetHoldsEveryActiveZoneAndNoWholeKeyCode) {
    read();
    core->model().setTouchKey(1, {ru("Охрана"), "01a2b3c4d5e6f708"});
    // The device identified on the port chosen by hand gives its version.
    core->connection().setManualMode(true);
    core->connection().setComboText("COM1");
    core->connection().connect();
    clock.advance(500);
    EXPECT_EQ(core->connection().version(), "2.05");
    const ConfigSheet sheet = windowSheet(*core, core->connection().version());
    std::string text;
    for (const auto& h : sheet.heading)
        text += cp1251ToUtf8(h) + "\n";
    for (const auto& s : sheet.sections) {
        text += cp1251ToUtf8(s.title) + "\n";
        for (const auto& l : s.lines)
            text += cp1251ToUtf8(l) + "\n";
    }
    for (const char* message : {"Входная дверь", "Окно кухни", "Пожар", "Датчик движения"})
        EXPECT_NE(text.find(message), std::string::npos) << message;
    EXPECT_NE(text.find("Версия прибора: 2.05"), std::string::npos);
    EXPECT_NE(text.find("1. Охрана — …f708"), std::string::npos) << text;
    EXPECT_EQ(text.find("01a2b3c4d5e6f708"), std::string::npos);
    EXPECT_EQ(text.find("Зона 3"), std::string::npos);

    // Through the menu: a PDF, and a pipe in its place refused without waiting.
    const std::string pdf = (dir / "sheet.pdf").string();
    prompts.fileNames.push_back(pdf);
    child<QAction>("N_Sheet")->trigger();
    EXPECT_EQ(prompts.lastUtf8(), "Лист настроек сохранён в файл:\r\n" + pdf);
    std::ifstream f(pdf, std::ios::binary);
    std::string head(5, '\0');
    f.read(head.data(), 5);
    EXPECT_EQ(head, "%PDF-");
    const std::string fifo = (dir / "pipe.pdf").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    prompts.fileNames.push_back(fifo);
    child<QAction>("N_Sheet")->trigger();
    EXPECT_EQ(prompts.lastUtf8().rfind("Лист настроек не сохранён в файл:", 0), 0u);
    struct stat st {};
    ASSERT_EQ(::stat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

} // namespace
} // namespace t6::test
