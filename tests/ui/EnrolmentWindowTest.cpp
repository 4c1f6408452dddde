// Every enrolment panel of the window against the simulated device, as an
// installer uses it: the key panel (read the table, learn a key, keep the keys
// in a file and bring them back, write them), a remote control learned, a
// wireless zone's sensors read, learned and written, a wireless temperature
// sensor learned, a wireless output attached and switched on and off.

#include <QTableWidget>
#include <fstream>

#include "SimWindowFixture.h"
#include "config/FieldEncodings.h"

namespace t6::test {
namespace {

class EnrolmentWindowTest : public SimWindowTest {
protected:
    EnrolmentWindowTest() {
        // The device "hears" a key, a fob or a sensor a while after it is asked.
        port.device().options().learnDelay = std::chrono::milliseconds(1500);
    }
    QTableWidget* grid() { return child<QTableWidget>("SGrid_key"); }
    QString cell(int r, int c) { return grid()->item(r, c)->text(); }
    QPushButton* button(const QString& name) {
        return child<QPushButton>(name.toLatin1().constData());
    }
};

TEST_F(EnrolmentWindowTest, TheKeyPanelReadsLearnsKeepsInAFileAndWritesTheKeys) {
    child<QPushButton>("BitBtn4")->click();
    auto* panel = child<QWidget>("Panel_key");
    EXPECT_TRUE(panel->isVisibleTo(window.get()));
    EXPECT_FALSE(child<QWidget>("Panel4")->isEnabled()) << "the key panel locks the others";
    clock.advance(100);
    EXPECT_FALSE(cell(1, 1).isEmpty()) << "the device's table is shown";
    const QString firstCode = cell(1, 2);
    EXPECT_EQ(firstCode.size(), 16);

    // Learning row 4: the button offers to cancel, the status bar shows the wait.
    button(QStringLiteral("BB_ReadKey4"))->click();
    EXPECT_EQ(button(QStringLiteral("BB_ReadKey4"))->text(), u("Отмена"));
    EXPECT_TRUE(child<QPushButton>("Button_Cancel")->isVisibleTo(window.get()));
    clock.advance(2000);
    EXPECT_EQ(cell(4, 2), u("01c47f2a1900005d"));
    EXPECT_EQ(button(QStringLiteral("BB_ReadKey4"))->text(), u("Читать Ключ"));
    EXPECT_FALSE(child<QPushButton>("Button_Cancel")->isVisibleTo(window.get()));
    grid()->item(4, 1)->setText(u("Охранник"));

    // Kept in a file, changed, brought back.
    const std::string file = (dir / "site").string();
    prompts.fileNames = {file};
    child<QPushButton>("BitBtn8")->click();
    ASSERT_TRUE(std::filesystem::exists(file + ".key"));
    grid()->item(4, 1)->setText(u("Чужой"));
    prompts.fileNames = {file + ".key"};
    child<QPushButton>("BitBtn9")->click();
    EXPECT_EQ(cell(4, 1), u("Охранник"));

    // Written to the device: the box, then the panel closes.
    prompts.clear();
    child<QPushButton>("BitBtn6")->click();
    clock.advance(2000);
    EXPECT_EQ(prompts.lastUtf8(), "Процесс записи ключей завершился. Все OK.");
    EXPECT_FALSE(panel->isVisibleTo(window.get()));
    EXPECT_TRUE(child<QWidget>("Panel4")->isEnabled());
    const std::string table = port.device().memory().keyTable;
    ASSERT_EQ(table.size(), 200u);
    EXPECT_EQ(table.substr(60, 12), ru("Охранник") + std::string(4, '\0'));
    EXPECT_EQ(table.substr(72, 8), std::string("\x01\xC4\x7F\x2A\x19\x00\x00\x5D", 8));
}

TEST_F(EnrolmentWindowTest, ARemoteControlIsLearned) {
    auto* read = button(QStringLiteral("RP_ReadPylt3"));
    const QString name = read->accessibleName();
    ASSERT_TRUE(name.endsWith(u("Читать"))) << name.toStdString();
    read->click();
    EXPECT_EQ(read->text(), u("Отмена"));
    // The button is announced by the caption it shows, in its place.
    EXPECT_EQ(read->accessibleName(), name.chopped(6) + u("Отмена"));
    clock.advance(2000);
    EXPECT_EQ(child<QLineEdit>("RP_KOd_3")->text(), u("5a6b7c"));
    EXPECT_EQ(read->text(), u("Читать"));
    EXPECT_EQ(read->accessibleName(), name);
}

TEST_F(EnrolmentWindowTest, AWirelessZonesSensorsAreReadLearnedAndWritten) {
    child<QCheckBox>("CheckBox_bp1")->click();
    child<QPushButton>("BP1_chip")->click();
    auto* panel = child<QWidget>("Panel_BP_chip");
    EXPECT_TRUE(panel->isVisibleTo(window.get()));
    EXPECT_FALSE(child<QWidget>("PageControl1")->isEnabled());
    EXPECT_EQ(child<QLabel>("Panel_BP_chip_Label")->text(), u("Датчики. Зона1"));
    clock.advance(100);
    EXPECT_EQ(child<QLineEdit>("BP_chip_name1")->text(), u("Прихожая"));
    EXPECT_EQ(child<QLineEdit>("BP_chip_kod1")->text(), u("1a2b3c4d"));

    button(QStringLiteral("BP_chip_read3"))->click();
    EXPECT_EQ(button(QStringLiteral("BP_chip_read3"))->text(), u("Отмена"));
    EXPECT_EQ(button(QStringLiteral("BP_chip_read3"))->accessibleName(), u("Отмена 3"));
    clock.advance(2000);
    EXPECT_EQ(child<QLineEdit>("BP_chip_kod3")->text(), u("7e21c305"));
    child<QLineEdit>("BP_chip_name3")->setText(u("Кухня"));

    prompts.clear();
    child<QPushButton>("Write_all_BP_chip")->click();
    clock.advance(500);
    EXPECT_EQ(prompts.lastUtf8(), "Процесс записи датчиков завершился. Все OK.");
    EXPECT_FALSE(panel->isVisibleTo(window.get()));
    EXPECT_TRUE(child<QWidget>("PageControl1")->isEnabled());
    const std::string list = port.device().memory().sensorLists[0];
    ASSERT_EQ(list.size(), 84u);
    EXPECT_EQ(list.substr(28, 14), ru("Кухня") + std::string(5, '\0') + "\x7E\x21\xC3\x05");
}

TEST_F(EnrolmentWindowTest, AWirelessTemperatureSensorIsLearnedAndRegistered) {
    child<QCheckBox>("CheckBox_btd5")->click();
    child<QLineEdit>("BTD_name5")->setText(u("Гостиная"));
    auto* read = button(QStringLiteral("BTD_read5"));
    ASSERT_TRUE(read->isEnabled());
    read->click();
    EXPECT_EQ(read->text(), u("Отмена"));
    EXPECT_TRUE(read->accessibleName().endsWith(u("Отмена")))
        << read->accessibleName().toStdString();
    clock.advance(2000);
    EXPECT_EQ(child<QLineEdit>("BTD_kod5")->text(), u("667788"));
    EXPECT_TRUE(read->accessibleName().endsWith(u("Читать")));
    EXPECT_EQ(read->text(), u("Читать"));
    const RegistryEntry* entry = core->model().registry().find("btd5");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(cp1251ToUtf8(entry->name), "Гостиная");
}

TEST_F(EnrolmentWindowTest, AWirelessOutputIsAttachedAndSwitchedOnAndOff) {
    child<QCheckBox>("cb_bout3")->click();
    const QString code = child<QLineEdit>("b_out3_kod")->text();
    ASSERT_EQ(code.size(), 6);
    child<QPushButton>("BB_attach_bout3")->click();
    clock.advance(100);
    EXPECT_EQ(prompts.lastUtf8(), "Радиовыход 3 включен.");
    const auto& paired = port.device().memory().attachedOutputs;
    ASSERT_EQ(paired.count(*hexToBytes(code.toStdString())), 1u);
    child<QPushButton>("bb_in_bout3")->click();
    clock.advance(100);
    EXPECT_EQ(prompts.lastUtf8(), "Радиовыход 3 включен.");
    EXPECT_TRUE(paired.at(*hexToBytes(code.toStdString())).on);
    child<QPushButton>("bb_out_bout3")->click();
    clock.advance(100);
    EXPECT_EQ(prompts.lastUtf8(), "Радиовыход 3 отключен.");
    EXPECT_FALSE(paired.at(*hexToBytes(code.toStdString())).on);
}

} // namespace
} // namespace t6::test
