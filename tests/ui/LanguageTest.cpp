// The language switch over the whole window: captions, list items with their
// selections, radio items, hints, and the standard texts of the boxes, while
// the panels go on following the model.

#include <QFile>
#include <QGroupBox>
#include <QLibraryInfo>
#include <QRadioButton>
#include <QSpinBox>

#include "WindowFixture.h"

namespace t6::test {
namespace {

class LanguageTest : public WindowFixture {
protected:
    void SetUp() override {
        withShippedDictionary();
        open();
    }
    void english() { child<QAction>("menu_english")->trigger(); }
    void russian() { child<QAction>("menu_russian")->trigger(); }
};

TEST_F(LanguageTest, EnglishTranslatesEveryKindOfCaptionAndKeepsSelections) {
    child<QCheckBox>("CheckBox_in2")->click();
    pick(child<QComboBox>("CBox_IN2"), 2);
    pick(child<QComboBox>("RG_OUT2S_1"), 3);
    english();
    EXPECT_EQ(child<QGroupBox>("Panel_in2")->title(), u("Zone 2"));
    EXPECT_EQ(child<QCheckBox>("CheckBox_in2")->text(), u("Activate"));
    EXPECT_EQ(child<QCheckBox>("CheckBox111")->text(), u("Always on"));
    EXPECT_EQ(child<QGroupBox>("RadioGroup1")->title(), u("Armed-state output"));
    EXPECT_EQ(child<QRadioButton>("RadioGroup1_1")->text(), u("External indicator"));
    EXPECT_TRUE(child<QRadioButton>("RadioGroup1_0")->isChecked());
    auto* type = child<QComboBox>("CBox_IN2");
    EXPECT_EQ(type->currentIndex(), 2);
    EXPECT_EQ(type->currentText(), u("Normally open (NO)"));
    EXPECT_EQ(child<QComboBox>("b_out1_type")->itemText(3), u("Wireless relay LR-4"));
    // Hints of the edit fields, not their texts.
    EXPECT_EQ(child<QLineEdit>("ME_tel1")->toolTip(),
              u("Telephone number: + and at most 15 digits"));
    EXPECT_EQ(child<QLineEdit>("ME_tel1")->text(), u("+7"));
    EXPECT_EQ(child<QSpinBox>("Edit_OUT1Sm")->toolTip(), u("Minutes (0-500)"));
    EXPECT_EQ(child<QLineEdit>("RP_Name_1")->text(), u("Пульт 1")) << "a name is data";
    // The output choices name the fixed outputs in English and keep their selection.
    auto* output = child<QComboBox>("RG_OUT2S_1");
    EXPECT_EQ(output->currentIndex(), 3);
    EXPECT_EQ(output->currentText(), u("Relay 2(Relay2)"));
    EXPECT_EQ(child<QComboBox>("CB_on_output_in")->itemText(0), u("Siren (OUT1)"));
    // The overlay panels are translated too.
    EXPECT_EQ(child<QPushButton>("Write_all_BP_chip")->text(), u("Write sensors"));
    EXPECT_EQ(child<QPushButton>("BitBtn6")->text(), u("Save"));
    EXPECT_TRUE(child<QLabel>("Label_no_support")->text().startsWith(u("This copy of")));

    russian();
    EXPECT_EQ(child<QPushButton>("BitBtn6")->text(), u("Сохранить ")) << "its trailing blank too";
    EXPECT_EQ(type->currentText(), u("Нормально разомкнутый (НРЗ)"));
    EXPECT_EQ(output->currentText(), u("Реле 2(Relay2)"));
    EXPECT_TRUE(child<QLabel>("Label_no_support")->text().startsWith(u("У этой копии")));
}

TEST_F(LanguageTest, PanelsFollowTheModelInEnglishWithoutLosingTheLanguage) {
    english();
    child<QCheckBox>("CheckBox_in1")->click();
    EXPECT_EQ(child<QComboBox>("CBox_IN1")->currentText(), u("High level"));
    EXPECT_EQ(child<QCheckBox>("CheckBox_in1")->palette().color(QPalette::WindowText),
              QColor(0, 128, 0));
    // A wireless output joins the lists under its own name; the fixed ones stay English.
    child<QCheckBox>("cb_bout2")->click();
    child<QLineEdit>("b_out2_name")->insert(u("Ворота"));
    core->model().leaveField(*findField("b_out2_name"));
    auto* output = child<QComboBox>("RG_OUT1S_bp_1");
    ASSERT_EQ(output->count(), 5);
    EXPECT_EQ(output->itemText(0), u("Siren (OUT1)"));
    EXPECT_EQ(output->itemText(4), u("Ворота"));
    // A refused choice is told in the model's own words, naming the output as
    // the list shows it.
    child<QCheckBox>("Check_on_output_in")->click();
    child<QCheckBox>("RG_OUT1S")->click();
    EXPECT_EQ(prompts.lastUtf8(),
              "Устройство Siren (OUT1) используется при постановке на охрану. \r\n Выберете "
              "другое устройство.");
    EXPECT_EQ(child<QComboBox>("RG_OUT1S_1")->currentIndex(), -1);
}

TEST_F(LanguageTest, TheStandardButtonsSpeakTheLanguageOfTheWindow) {
    const QString file =
        QLibraryInfo::path(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_ru.qm");
    if (!QFile::exists(file))
        GTEST_SKIP() << "Qt's Russian translations are not installed";
    auto yes = [] { return QCoreApplication::translate("QPlatformTheme", "&Yes"); };
    EXPECT_EQ(yes(), u("&Да"));
    english();
    EXPECT_EQ(yes(), u("&Yes"));
    russian();
    EXPECT_EQ(yes(), u("&Да"));
}

} // namespace
} // namespace t6::test
