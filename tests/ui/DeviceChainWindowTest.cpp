// The window's read and write buttons and menu items against the simulated
// device: what the status bar shows while a chain runs, the cancel offered
// while the device is silent, and the window after the chain.

#include "SimWindowFixture.h"
#include "config/ConfigBlock.h"

namespace t6::test {
namespace {

using DeviceChainWindowTest = SimWindowTest;

TEST_F(DeviceChainWindowTest, TheReadButtonFillsTheWindowAndTheWriteButtonWritesIt) {
    child<QPushButton>("BitBtn2")->click();
    EXPECT_EQ(stateText(), "Чтение настроек: беспроводные выходы");
    EXPECT_TRUE(child<QPushButton>("Button_Cancel")->isVisibleTo(window.get()));
    clock.advance(500);
    EXPECT_EQ(prompts.lastUtf8(), "Процесс чтения завершился. Все OK.");
    EXPECT_EQ(child<QLineEdit>("Edit1")->text(), u("Входная дверь"));
    EXPECT_TRUE(child<QCheckBox>("CheckBox_in1")->isChecked());
    EXPECT_TRUE(child<QLineEdit>("Edit1")->isEnabled());
    EXPECT_EQ(stateText(), "Открыт (Com=COM1)") << "the port state again";
    EXPECT_FALSE(child<QPushButton>("Button_Cancel")->isVisibleTo(window.get()));

    // An edit, then the write from the menu.
    child<QLineEdit>("Edit1")->setText(u("Парадная дверь"));
    prompts.clear();
    child<QAction>("N9")->trigger();
    EXPECT_EQ(stateText(), "Запись настроек: основной блок");
    clock.advance(500);
    EXPECT_EQ(prompts.textsUtf8(), std::vector<std::string>{"Процесс записи завершился. Все OK."});
    EXPECT_EQ(port.device().memory().configBlock, encodeConfigBlock(core->model()));
    EXPECT_NE(port.device().memory().configBlock.find(ru("Парадная дверь")), std::string::npos);
    clock.advance(1000);
    EXPECT_EQ(stateText(), "Закрыт (Com=COM1)");
}

TEST_F(DeviceChainWindowTest, ASilentDeviceIsShownInTheWindowsLanguageAndCanBeCancelled) {
    child<QAction>("menu_english")->trigger();
    child<QCheckBox>("CheckBox_in3")->click();
    port.device().options().silent = {"Ro"};
    child<QAction>("N10")->trigger();
    EXPECT_EQ(stateText(), "Reading settings: wireless outputs");
    clock.advance(10000);
    EXPECT_EQ(stateText(), "Reading settings: wireless outputs \xE2\x80\x94 the device has not "
                           "answered for 10 s; the read can be cancelled");
    EXPECT_FALSE(statePanel()->styleSheet().isEmpty()) << "shown as an alert";
    auto* cancel = child<QPushButton>("Button_Cancel");
    ASSERT_TRUE(cancel->isVisibleTo(window.get()));
    EXPECT_EQ(cancel->text(), u("Abort"));
    cancel->click();
    EXPECT_EQ(prompts.lastUtf8(), "Reading the settings was cancelled.\r\nThe window was "
                                  "restored from the backup made before the read (save.000).");
    EXPECT_TRUE(child<QCheckBox>("CheckBox_in3")->isChecked()) << "the window as before";
    EXPECT_FALSE(cancel->isVisibleTo(window.get()));
    EXPECT_TRUE(statePanel()->styleSheet().isEmpty());
}

} // namespace
} // namespace t6::test
