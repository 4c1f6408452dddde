#include "WindowFixture.h"

#include <QMenu>
#include <QMenuBar>

namespace t6::test {
namespace {

class MainWindowTest : public WindowFixture {};

TEST_F(MainWindowTest, StartsWithFourTabsTheFirstSelectedAndTheStatusBarFilled) {
    clock.setLocalBase({2026, 3, 7, 9, 5, 4});
    open();
    EXPECT_EQ(window->windowTitle(), u("Конфигуратор УМНЫЙ ТОРВЕЛ-6 версия 1.1"));
    EXPECT_EQ(window->size(), QSize(1027, 704));
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_FALSE(window->windowIcon().pixmap(16, 16).isNull());
    EXPECT_FALSE(window->windowIcon().pixmap(32, 32).isNull());
    auto* tabs = child<QTabWidget>("PageControl1");
    ASSERT_EQ(tabs->count(), 4);
    EXPECT_EQ(tabs->currentIndex(), 0);
    EXPECT_EQ(tabs->tabText(0), u("Основные настройки"));
    EXPECT_EQ(tabs->tabText(3), u("Беспроводные выходы"));
    EXPECT_EQ(statusPanel(0), u("Закрыт (Com=COM1)"));
    EXPECT_EQ(statusPanel(2), u("07.03.26"));
    EXPECT_EQ(statusPanel(3), u("09:05:04"));
    clock.advance(1000);
    EXPECT_EQ(statusPanel(3), u("09:05:05"));
    EXPECT_EQ(child<QLabel>("Label_Signal")->text(), u("."));
    EXPECT_EQ(child<QProgressBar>("Gauge_Signal")->value(), 0);
    EXPECT_TRUE(prompts.shown.empty());
    // Both logs are created empty at start-up.
    EXPECT_TRUE(std::filesystem::exists(dir / "protokol.log"));
    EXPECT_TRUE(std::filesystem::exists(dir / "protokol_FF.log"));
}

TEST_F(MainWindowTest, TheMenusHoldEveryItemWithFirmwareGreyAndTheMasterMenuHidden) {
    open();
    QStringList tops;
    for (QAction* a : window->menuBar()->actions())
        if (a->isVisible())
            tops << a->text();
    EXPECT_EQ(tops, (QStringList{u("Файл"), u("Обмен с устройством"), u("О программе"),
                                 u("Выбор Языка")}));
    auto* firmware = child<QAction>("N16");
    EXPECT_TRUE(firmware->isVisible());
    EXPECT_FALSE(firmware->isEnabled());
    auto* master = child<QMenu>("N18");
    EXPECT_FALSE(master->menuAction()->isVisible());
    EXPECT_FALSE(master->menuAction()->isEnabled());
    QStringList device;
    for (QAction* a : child<QMenu>("N5")->actions())
        device << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(device, (QStringList{u("Соединить"), u("Записать параметры"), u("Считать параметры"),
                                   u("Программировать ключи"), u("Сравнить с прибором"), u("-"),
                                   u("Ручной выбор COM порта"), u("Обновить прошивку")}));
    QStringList file;
    for (QAction* a : child<QMenu>("N1")->actions())
        file << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(file, (QStringList{u("Загрузить конфигурацию из файла"),
                                 u("Сохранить конфигурацию в файл"), u("Сравнить с файлом…"),
                                 u("Сравнить с сохранённой версией…"), u("Лист настроек (PDF)…"),
                                 u("-"), u("Выход")}));
    EXPECT_TRUE(child<QAction>("menu_russian")->isChecked());
    EXPECT_FALSE(child<QAction>("menu_english")->isChecked());
}

TEST_F(MainWindowTest, ManualSelectionShowsThePortBoxAndItsLabel) {
    port.ports = {"ttyS0", "ttyUSB0"};
    open();
    auto* combo = child<QComboBox>("ComboBox1");
    auto* label = child<QLabel>("Label161");
    EXPECT_TRUE(combo->isHidden());
    EXPECT_TRUE(label->isHidden());
    EXPECT_EQ(combo->count(), 2);
    child<QAction>("COM1")->trigger();
    EXPECT_TRUE(child<QAction>("COM1")->isChecked());
    EXPECT_FALSE(combo->isHidden());
    EXPECT_FALSE(label->isHidden());
    EXPECT_TRUE(combo->isEnabled());
    combo->setCurrentIndex(1);
    EXPECT_EQ(core->exchange().connectedPort(), "ttyUSB0");
    // A name typed by hand is kept in the system's encoding, whatever its letters.
    combo->lineEdit()->insert(u("中"));
    EXPECT_EQ(combo->currentText(), u("ttyUSB0中"));
    EXPECT_EQ(core->exchange().connectedPort(), "ttyUSB0中");
    child<QAction>("COM1")->trigger();
    EXPECT_FALSE(child<QAction>("COM1")->isChecked());
    EXPECT_TRUE(combo->isHidden());
    EXPECT_FALSE(combo->isEnabled());
}

TEST_F(MainWindowTest, ConnectFindsTheDeviceAndTheButtonSaysSo) {
    port.ports = {"COM1", "ttyUSB0"};
    port.autoReply[bytesOf({0xFE, 0xFF, 'T', 't', 0xFF, 0xFE})] =
        bytesOf({0xFE, 0xFF}) + "T7 2.05" + bytesOf({0xFF, 0xFE});
    open();
    auto* button = child<QPushButton>("BitBtn3");
    EXPECT_EQ(button->text(), u("Соединить"));
    button->click();
    clock.advance(1200);
    EXPECT_EQ(prompts.lastUtf8(), "соединение установлено.");
    EXPECT_EQ(statusPanel(1), u("соединен с COM1  2.05"));
    EXPECT_EQ(button->text(), u("Соединен"));
    EXPECT_FALSE(button->isEnabled());
    EXPECT_TRUE(child<QAction>("N8")->isEnabled());
    EXPECT_EQ(statusPanel(0), u("Открыт (Com=COM1)"));
    clock.advance(1000);
    EXPECT_EQ(statusPanel(0), u("Закрыт (Com=COM1)"));
}

TEST_F(MainWindowTest, TheSignalGaugeShowsTheReadingAndErrorsInRed) {
    port.autoReply[bytesOf({0xFE, 0xFF, 'S', 'g', 0xFF, 0xFE})] =
        bytesOf({0xFE, 0xFF}) + "+CSQ: 17,99" + bytesOf({0xFF, 0xFE});
    open();
    core->exchange().setConnectedPort("COM1");
    auto* refresh = child<QPushButton>("Button_YrSignal");
    refresh->click();
    EXPECT_EQ(child<QProgressBar>("Gauge_Signal")->value(), 54);
    EXPECT_EQ(child<QLabel>("Label_Signal")->text(), u("-79 dBm"));
    EXPECT_TRUE(child<QLabel>("Label_Signal")->styleSheet().isEmpty());
    port.autoReply[bytesOf({0xFE, 0xFF, 'S', 'g', 0xFF, 0xFE})] =
        bytesOf({0xFE, 0xFF}) + "+CSQ: 99,99" + bytesOf({0xFF, 0xFE});
    refresh->click();
    EXPECT_EQ(child<QProgressBar>("Gauge_Signal")->value(), 0);
    EXPECT_EQ(child<QLabel>("Label_Signal")->text(), u("нет связи"));
    EXPECT_TRUE(child<QLabel>("Label_Signal")->styleSheet().contains("#FF0000"));
}

TEST_F(MainWindowTest, ThePortErrorOfAButtonIsShownInTheErrorBox) {
    open();
    core->exchange().setConnectedPort("COM1");
    port.writeFails = true;
    child<QPushButton>("Button_YrSignal")->click();
    ASSERT_FALSE(prompts.shown.empty());
    EXPECT_EQ(prompts.shown.back().kind, ScriptedPrompts::Kind::Error);
    EXPECT_EQ(prompts.lastUtf8(), "WriteFile function failed (win error code: 5)");
}

TEST_F(MainWindowTest, SwitchingLanguagesTranslatesTheCaptionsBothWays) {
    withShippedDictionary();
    open();
    const std::string before = file("trans.dic");
    child<QAction>("menu_english")->trigger();
    EXPECT_EQ(window->windowTitle(), u("Configurator SMART TORVEL-6 version 1.1"));
    EXPECT_EQ(child<QTabWidget>("PageControl1")->tabText(0), u("Main settings"));
    EXPECT_EQ(child<QPushButton>("BitBtn3")->text(), u("Connect"));
    EXPECT_EQ(child<QMenu>("N5")->title(), u("Device exchange"));
    EXPECT_EQ(child<QAction>("N16")->text(), u("Update firmware"));
    EXPECT_EQ(child<QLabel>("Label161")->text(), u("Manual COM port selection:"));
    EXPECT_EQ(statusPanel(0), u("Закрыт (Com=COM1)")); // status texts stay
    EXPECT_EQ(window->appTitle(), ru("Smart Torvel-6"));
    EXPECT_TRUE(child<QAction>("menu_english")->isChecked());
    EXPECT_FALSE(child<QAction>("menu_russian")->isChecked());
    // Choosing the language in use again changes nothing.
    child<QAction>("menu_english")->trigger();
    EXPECT_EQ(child<QPushButton>("BitBtn3")->text(), u("Connect"));
    EXPECT_TRUE(child<QAction>("menu_english")->isChecked());

    child<QAction>("menu_russian")->trigger();
    EXPECT_EQ(window->windowTitle(), u("Конфигуратор УМНЫЙ ТОРВЕЛ-6 версия 1.1"));
    EXPECT_EQ(child<QTabWidget>("PageControl1")->tabText(3), u("Беспроводные выходы"));
    EXPECT_EQ(child<QPushButton>("BitBtn2")->text(), u("Чтение настроек из памяти прибора"));
    EXPECT_EQ(window->appTitle(), ru("Умный Торвел-6"));
    // Every caption has its entry in both directions: nothing was appended.
    EXPECT_EQ(file("trans.dic"), before);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(MainWindowTest, MessagesAreShownInTheLanguageOfTheWindow) {
    withShippedDictionary();
    port.ports = {};
    open();
    EXPECT_EQ(prompts.lastUtf8(), "В системе не найдены Com-порты. Проверьте подключение");
    child<QAction>("menu_english")->trigger();
    child<QPushButton>("BitBtn3")->click();
    EXPECT_EQ(prompts.lastUtf8(), "No COM ports found in the system. Check the connection");
}

TEST_F(MainWindowTest, WithoutADictionaryTheSwitchSaysSoAndCollectsTheCaptions) {
    open();
    child<QAction>("menu_english")->trigger();
    ASSERT_FALSE(prompts.shown.empty());
    EXPECT_EQ(prompts.lastUtf8(), "No exists" + (dir / "trans.dic").string());
    // Untranslated captions keep their text and are collected with empty values.
    EXPECT_EQ(child<QPushButton>("BitBtn3")->text(), u("Соединить"));
    const std::string dic = cp1251ToUtf8(file("trans.dic"));
    EXPECT_NE(dic.find("[Eng]\r\n"), std::string::npos);
    EXPECT_NE(dic.find("Соединить=\r\n"), std::string::npos);
    EXPECT_NE(dic.find("Основные настройки=\r\n"), std::string::npos);
    EXPECT_EQ(dic.find("Закрыт ("), std::string::npos); // status texts are not captions
}

TEST_F(MainWindowTest, ExitAsksAndOnlyYesEndsWithTheMemoSaved) {
    open();
    window->show();
    port.open();
    port.inject(bytesOf({0xFE, 0xFF}) + "late" + bytesOf({0xFF, 0xFE}));
    prompts.answers = {false};
    child<QAction>("N7")->trigger();
    EXPECT_EQ(prompts.lastUtf8(), "Закрыть приложение?");
    EXPECT_EQ(prompts.shown.back().kind, ScriptedPrompts::Kind::Question);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(std::filesystem::exists(dir / "log.log"));
    child<QAction>("N7")->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(file("log.log"), ru("входная строка: late\r\n"));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.purges, 1);
}

TEST_F(MainWindowTest, ALogThatCannotBeCreatedIsReportedAndTheWindowStillOpens) {
    std::filesystem::create_directory(dir / "protokol.log");
    clock.setLocalBase({2026, 3, 7, 9, 5, 4});
    open();
    auto* tel = child<QLineEdit>("ME_tel1");
    EXPECT_NE(window->focusWidget(), tel) << "the remaining steps are skipped";
    EXPECT_NE(tel->cursorPosition(), 1);
    clock.advance(1000);
    EXPECT_EQ(statusPanel(3), u("09:05:05")) << "the timers run all the same";
    ASSERT_FALSE(prompts.shown.empty());
    EXPECT_EQ(prompts.shown.back().kind, ScriptedPrompts::Kind::Error);
    EXPECT_NE(prompts.lastUtf8().find("protokol.log"), std::string::npos);
    EXPECT_EQ(child<QTabWidget>("PageControl1")->count(), 4);
    EXPECT_FALSE(std::filesystem::exists(dir / "protokol_FF.log"));
}

} // namespace
} // namespace t6::test
