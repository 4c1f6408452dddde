// The panels of the window as a user sees them: start-up values, the zone,
// row, sensor, telephone and output rules rendered as enabled states, colours,
// texts and selections, driven through the controls.

#include <QAccessible>
#include <QClipboard>
#include <QGroupBox>
#include <QImage>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <map>

#include "WindowFixture.h"
#include "ui/ModelView.h"
#include "ui/TextConv.h"

namespace t6::test {
namespace {

const QColor kGreenPanel(192, 220, 192);
const QColor kGreyPanel(160, 160, 164);

class PanelsTest : public WindowFixture {
protected:
    void SetUp() override {
        clock.setLocalBase({2026, 3, 7, 9, 5, 4});
        open();
    }
    QCheckBox* box(const char* name) { return child<QCheckBox>(name); }
    QComboBox* combo(const char* name) { return child<QComboBox>(name); }
    QLineEdit* edit(const char* name) { return child<QLineEdit>(name); }
    QSpinBox* spin(const char* name) { return child<QSpinBox>(name); }
    QWidget* widget(const char* name) { return child<QWidget>(name); }
    static QColor background(QWidget* w) { return w->palette().color(QPalette::Window); }
    // The colour the panel is really painted with: the commonest one at the
    // spots no child covers (frames and shades aside).
    static QColor painted(QWidget* w) {
        const QImage img = w->grab().toImage();
        std::map<QRgb, int> seen;
        for (int y = 2; y < w->height() - 2; y += 3)
            for (int x = 2; x < w->width() - 2; x += 3)
                if (!w->childAt(x, y))
                    ++seen[img.pixel(x * img.width() / w->width(), y * img.height() / w->height())];
        QRgb best = 0;
        int most = 0;
        for (auto [rgb, count] : seen)
            if (count > most)
                best = rgb, most = count;
        return most ? QColor(best) : QColor();
    }
    // The style may shade a frame's inside a little.
    static bool looksLike(const QColor& shown, const QColor& wanted) {
        return std::abs(shown.red() - wanted.red()) <= 8 &&
               std::abs(shown.green() - wanted.green()) <= 8 &&
               std::abs(shown.blue() - wanted.blue()) <= 8;
    }
    static QColor field(QWidget* w) { return w->palette().color(QPalette::Base); }
    static QColor captionColour(QWidget* w) { return w->palette().color(QPalette::WindowText); }
};

TEST_F(PanelsTest, StartsWithTheDesignValuesOfEveryPanel) {
    EXPECT_EQ(child<QTabWidget>("PageControl1")->currentIndex(), 0);
    // Every zone's four actions on the four fixed outputs, in order.
    for (const char* z : {"1", "3", "4"}) {
        const std::string n = z;
        EXPECT_EQ(combo(("RG_OUT" + n + "S_1").c_str())->currentText(), u("Сирена (OUT1)"));
        EXPECT_EQ(combo(("RG_OUT" + n + "2_2").c_str())->currentText(), u("Выход 2(OUT2)"));
        EXPECT_EQ(combo(("RG_OUT" + n + "3_3").c_str())->currentText(), u("Реле 1(Relay1)"));
        EXPECT_EQ(combo(("RG_OUT" + n + "1_4").c_str())->currentText(), u("Реле 2(Relay2)"));
        EXPECT_EQ(combo(("RG_OUT" + n + "S_bp_1").c_str())->currentText(), u("Сирена (OUT1)"));
        EXPECT_EQ(combo(("RG_OUT" + n + "1_bp_4").c_str())->currentText(), u("Реле 2(Relay2)"));
    }
    EXPECT_EQ(combo("RG_OUT1S_1")->count(), 4);
    for (const char* c : {"CB_td1_out", "CB_btd6_out", "CB_on_output_in", "CB_button4"})
        EXPECT_EQ(combo(c)->currentText(), u("Сирена (OUT1)")) << c;
    EXPECT_EQ(combo("CBox_INPUT")->currentText(), u("Touch Memory/Импульс"));
    EXPECT_EQ(combo("CBox_IN1")->currentIndex(), -1);
    EXPECT_TRUE(child<QRadioButton>("RadioGroup1_0")->isChecked());
    for (int t = 1; t <= 5; ++t)
        EXPECT_EQ(edit(("ME_tel" + std::to_string(t)).c_str())->text(), u("+7"));
    EXPECT_EQ(edit("Edit_Date")->text(), u("07.03.26"));
    EXPECT_EQ(edit("Edit_time")->text(), u("09:05:04"));
    EXPECT_EQ(spin("SE_volume_microfon")->value(), 1);
    EXPECT_EQ(spin("SE_Volume_dinamik")->value(), 9);
    EXPECT_EQ(spin("SE_time_button4")->value(), 1);
    EXPECT_TRUE(box("CB_Ctrl_Volt")->isChecked());
    EXPECT_TRUE(box("CB_Ctrl_Volt_1")->isChecked());
    EXPECT_TRUE(box("CB_in2_tel1")->isChecked());
    EXPECT_TRUE(box("CB_btd1_tel1")->isChecked());
    EXPECT_FALSE(box("CB_btd2_tel1")->isChecked());
    EXPECT_EQ(edit("RP_Name_10")->text(), u("Пульт 10"));
    // Inactive zones: red boxes on grey panels, their fields disabled.
    EXPECT_EQ(captionColour(box("CheckBox_in1")), QColor(255, 0, 0));
    EXPECT_EQ(background(widget("Panel_bp6")), kGreyPanel);
    EXPECT_FALSE(edit("Edit1")->isEnabled());
    EXPECT_FALSE(widget("Panel1_2")->isEnabled());
    EXPECT_FALSE(widget("BP1_chip")->isEnabled());
    EXPECT_TRUE(box("CheckBox_11")->isHidden());
    // The arming output, button 4 and the unused wireless outputs wait for their boxes.
    EXPECT_FALSE(combo("CB_on_output_in")->isEnabled());
    EXPECT_FALSE(combo("CB_button4")->isEnabled());
    EXPECT_FALSE(widget("panel_b_out1")->isEnabled());
    EXPECT_EQ(background(widget("panel_b_out16")), QColor(128, 128, 128));
    EXPECT_FALSE(widget("bb_in_bout1")->isEnabled());
    // The caret waits after the "+" of the first telephone.
    EXPECT_EQ(window->focusWidget(), edit("ME_tel1"));
    EXPECT_EQ(edit("ME_tel1")->cursorPosition(), 1);
    // The overlay panels are placed, hidden and disabled.
    for (const char* p : {"Panel_BP_chip", "Panel_key", "Panel2"}) {
        EXPECT_TRUE(widget(p)->isHidden()) << p;
        EXPECT_FALSE(widget(p)->isEnabled()) << p;
    }
    EXPECT_EQ(widget("Panel_BP_chip")->pos(), QPoint(296, 160));
    EXPECT_EQ(widget("Panel_key")->pos(), QPoint(245, 120));
    EXPECT_EQ(widget("Panel2")->pos(), QPoint(204, 52));
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(PanelsTest, AZoneTurnsGreenWhenActivatedAndGreyAgainKeepingItsValues) {
    box("CheckBox_in2")->click();
    EXPECT_EQ(captionColour(box("CheckBox_in2")), QColor(0, 128, 0));
    EXPECT_EQ(background(widget("Panel_in2")), kGreenPanel);
    EXPECT_TRUE(widget("Panel_in2")->autoFillBackground());
    EXPECT_TRUE(looksLike(painted(widget("Panel_in2")), kGreenPanel));
    EXPECT_EQ(background(widget("Panel2_2")), kGreenPanel);
    EXPECT_TRUE(widget("Panel2_2")->isEnabled());
    EXPECT_TRUE(edit("Edit2")->isEnabled());
    EXPECT_EQ(field(edit("Edit2")), QApplication::palette().color(QPalette::Base));
    EXPECT_EQ(combo("CBox_IN2")->currentText(), u("По высокому уровню"));
    EXPECT_TRUE(box("RG_OUT22")->isEnabled());
    EXPECT_FALSE(combo("RG_OUT22_2")->isEnabled()) << "an unticked row's output waits";
    EXPECT_TRUE(box("CheckBox_in1")->palette().color(QPalette::WindowText) == QColor(255, 0, 0))
        << "the other zones are untouched";

    edit("Edit2")->insert(u("Гараж"));
    pick(combo("CBox_IN2"), 4);
    box("RG_OUT22")->click();
    box("CheckBox_in2")->click();
    EXPECT_EQ(captionColour(box("CheckBox_in2")), QColor(255, 0, 0));
    EXPECT_EQ(background(widget("Panel_in2")), kGreyPanel);
    EXPECT_TRUE(looksLike(painted(widget("Panel_in2")), kGreyPanel));
    EXPECT_EQ(field(edit("Edit2")), QColor(180, 180, 180));
    EXPECT_FALSE(edit("Edit2")->isEnabled());
    EXPECT_FALSE(widget("Panel2_2")->isEnabled());
    EXPECT_FALSE(combo("RG_OUT22_2")->isEnabled());
    EXPECT_EQ(edit("Edit2")->text(), u("Гараж"));
    EXPECT_EQ(combo("CBox_IN2")->currentText(), u("Дымовой 2-х проводный датчик"));
    EXPECT_TRUE(box("RG_OUT22")->isChecked());

    box("CheckBox_in2")->click();
    EXPECT_TRUE(combo("RG_OUT22_2")->isEnabled());
    EXPECT_EQ(combo("CBox_IN2")->currentText(), u("Дымовой 2-х проводный датчик"));
}

TEST_F(PanelsTest, RowsFollowTheirTickBoxes) {
    activate();
    box("CheckBox_in1")->click();
    box("RG_OUT11")->click();
    EXPECT_TRUE(combo("RG_OUT11_4")->isEnabled());
    EXPECT_TRUE(spin("Edit_OUT11m")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), combo("RG_OUT11_4")) << "zone 1 moves to the output";
    auto* minutes = spin("Edit_OUT11m");
    auto* seconds = spin("Edit_OUT11s");
    minutes->selectAll();
    typeInto(minutes, u("12"));
    seconds->selectAll();
    typeInto(seconds, u("30"));
    EXPECT_EQ(minutes->text(), u("12"));
    box("CheckBox111")->click(); // always on
    EXPECT_FALSE(minutes->isEnabled());
    EXPECT_FALSE(seconds->isEnabled());
    box("CheckBox111")->click();
    box("RG_OUT11")->click(); // row 4 unticked forgets its time
    EXPECT_EQ(minutes->text(), u("0"));
    EXPECT_EQ(seconds->text(), u("1"));
    EXPECT_FALSE(minutes->isEnabled());
    EXPECT_EQ(field(minutes), QColor(180, 180, 180));

    box("CheckBox_in3")->click();
    box("RG_OUT31")->click();
    spin("Edit_OUT31m")->selectAll();
    typeInto(spin("Edit_OUT31m"), u("12"));
    box("RG_OUT31")->click();
    EXPECT_EQ(spin("Edit_OUT31m")->text(), u("12")) << "row 4 of zone 3 keeps its time";

    // An emptied minutes editor shows 0 once it is left.
    box("RG_OUT32")->click();
    auto* m32 = spin("Edit_OUT32m");
    focusTo(m32);
    m32->selectAll();
    press(m32, Qt::Key_Backspace);
    EXPECT_EQ(m32->text(), QString());
    focusTo(box("RG_OUT33"));
    EXPECT_EQ(m32->text(), u("0"));
}

TEST_F(PanelsTest, LeavingAnOutputUsedTwiceInOneZoneIsRefused) {
    activate();
    box("CheckBox_in1")->click();
    box("RG_OUT13")->click();
    pick(combo("RG_OUT13_3"), 2); // relay 1
    box("RG_OUT12")->click();
    auto* row2 = combo("RG_OUT12_2");
    EXPECT_EQ(QApplication::focusWidget(), row2);
    pick(row2, 2);
    focusTo(edit("Edit1"), Qt::MouseFocusReason);
    EXPECT_EQ(prompts.lastUtf8(), "Нельзя использовать одинаковые выходы на одном входе");
    EXPECT_FALSE(box("RG_OUT12")->isChecked());
    EXPECT_FALSE(row2->isEnabled());

    // Wired zone 2 keeps the row and puts the focus back on the output.
    prompts.clear();
    box("CheckBox_in2")->click();
    box("RG_OUT23")->click();
    pick(combo("RG_OUT23_3"), 2);
    box("RG_OUT22")->click();
    focusTo(combo("RG_OUT22_2"));
    pick(combo("RG_OUT22_2"), 2);
    focusTo(edit("Edit2"), Qt::MouseFocusReason);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(box("RG_OUT22")->isChecked());
    EXPECT_EQ(QApplication::focusWidget(), combo("RG_OUT22_2"));

    // Opening the list, or switching to another program, is not leaving it.
    prompts.clear();
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(combo("RG_OUT22_2"), &popup);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(PanelsTest, AnArmingOutputInUseIsRefusedAndItsBoxUnticked) {
    box("CheckBox_in3")->click();
    box("RG_OUT32")->click();
    pick(combo("RG_OUT32_2"), 2); // relay 1
    auto* armingOn = box("Check_on_output_in");
    auto* arming = combo("CB_on_output_in");
    armingOn->click();
    EXPECT_TRUE(arming->isEnabled());
    pick(arming, 2);
    EXPECT_EQ(prompts.lastUtf8(), "Выход используется: \r\nвыход3 \r\n\r\nВыбор запрещен");
    EXPECT_EQ(arming->currentIndex(), -1);
    EXPECT_FALSE(armingOn->isChecked());
    EXPECT_FALSE(arming->isEnabled());

    // Another free output is taken; a sensor may not take it then.
    armingOn->click();
    pick(arming, 1);
    EXPECT_EQ(arming->currentText(), u("Выход 2(OUT2)"));
    box("CheckBox_td1")->click();
    box("CheckBox_td11")->click();
    pick(combo("CB_td1_out"), 1);
    EXPECT_EQ(prompts.lastUtf8(),
              "Устройство Выход 2(OUT2) используется при постановке на охрану. \r\n Выберете "
              "другое устройство.");
    EXPECT_EQ(combo("CB_td1_out")->currentIndex(), -1);
}

TEST_F(PanelsTest, TelephoneFieldsTakeOnlyWhatATelephoneHolds) {
    auto* tel = edit("ME_tel3");
    tel->setCursorPosition(2);
    typeInto(tel, u("a"));
    EXPECT_EQ(tel->text(), u("+7"));
    typeInto(tel, u("1234567890123"));
    EXPECT_EQ(tel->text(), u("+71234567890123"));
    typeInto(tel, u("9"));
    EXPECT_EQ(tel->text(), u("+712345678901239")) << "sixteen characters in all";
    typeInto(tel, u("8"));
    EXPECT_EQ(tel->text(), u("+712345678901239"));
    tel->selectAll();
    press(tel, Qt::Key_Backspace);
    EXPECT_EQ(tel->text(), u("+")) << "an emptied telephone keeps its +";
    press(tel, Qt::Key_Backspace);
    EXPECT_EQ(tel->text(), u("+"));
    tel->selectAll();
    tel->insert(u("+7"));
    EXPECT_EQ(tel->text(), u("+7"));
    tel->selectAll();
    typeInto(tel, u("5"));
    EXPECT_EQ(tel->text(), u("+5"));
    EXPECT_EQ(tel->cursorPosition(), 2) << "the caret stays after the digit typed";
    // Pasted letters are refused whole.
    tel->insert(u("12ab"));
    EXPECT_EQ(tel->text(), u("+5"));
    EXPECT_EQ(core->model().config().telephones[2], "+5");

    // A telephone box asks for its telephone.
    tel->selectAll();
    press(tel, Qt::Key_Backspace);
    box("CB_SMS_in3")->click();
    EXPECT_EQ(prompts.lastUtf8(), "Не введен 3 номер телефона");
    EXPECT_FALSE(box("CB_SMS_in3")->isChecked());
    box("CB_SMS_in1")->click();
    EXPECT_TRUE(box("CB_SMS_in1")->isChecked()) << "telephone 1 holds +7";
}

TEST_F(PanelsTest, TextThatTheCodePageCannotHoldIsRefusedAsTypedOrPasted) {
    box("CheckBox_in1")->click();
    auto* message = edit("Edit1");
    message->insert(u("Склад №2 «Юг»"));
    EXPECT_EQ(message->text(), u("Склад №2 «Юг»"));
    EXPECT_EQ(core->model().config().wiredZones[0].message, ru("Склад №2 «Юг»"));
    message->insert(u(" 中"));
    typeInto(message, u("☺"));
    EXPECT_EQ(message->text(), u("Склад №2 «Юг»"));
    EXPECT_EQ(core->model().config().wiredZones[0].message, ru("Склад №2 «Юг»"));
    // The limit of the field is counted in the code page's bytes; a paste
    // past it is refused whole.
    message->selectAll();
    message->insert(QString(26, u'ж'));
    EXPECT_EQ(message->text(), u("Склад №2 «Юг»"));
    message->selectAll();
    message->insert(QString(25, u'ж'));
    EXPECT_EQ(message->text(), QString(25, u'ж'));
    EXPECT_EQ(core->model().config().wiredZones[0].message, std::string(25, '\xE6'));
    // The overlay panels' fields refuse the same.
    auto* sensorName = edit("BP_chip_name1");
    sensorName->insert(u("Окно 中"));
    EXPECT_TRUE(sensorName->text().isEmpty());
}

TEST_F(PanelsTest, APastedTelephoneIsTakenWholeOrRefusedWhole) {
    auto* tel = edit("ME_tel2");
    auto stored = [this] { return core->model().config().telephones[1]; };
    tel->setCursorPosition(1);
    tel->insert(u("+79123456789"));
    EXPECT_EQ(tel->text(), u("+7"));
    EXPECT_EQ(stored(), "+7") << "a second \"+\" is refused";
    tel->selectAll();
    QApplication::clipboard()->setText(u("1234567890123456"));
    tel->paste();
    EXPECT_EQ(tel->text(), u("+7"));
    EXPECT_EQ(stored(), "+7") << "sixteen digits do not fit after the \"+\"";
    tel->selectAll();
    QApplication::clipboard()->setText(u("+79123456789"));
    tel->paste();
    EXPECT_EQ(tel->text(), u("+79123456789"));
    EXPECT_EQ(stored(), "+79123456789");
    tel->setCursorPosition(1);
    tel->insert(u("123456789"));
    EXPECT_EQ(stored(), "+79123456789") << "no more than fifteen after the \"+\"";
    tel->setCursorPosition(1);
    tel->insert(u("1234"));
    EXPECT_EQ(tel->text(), u("+123479123456789"));
    EXPECT_EQ(stored(), "+123479123456789");
    // The blanks of an old mask may still be deleted; the first edit tidies
    // them away as a paste would.
    core->model().setTelephone(2, "+7" + std::string(13, ' '));
    EXPECT_EQ(tel->text().size(), 15);
    tel->end(false);
    press(tel, Qt::Key_Backspace);
    EXPECT_EQ(stored(), "+7");
}

TEST_F(PanelsTest, ATextSetByTheProgramIsShownWholeAndTheUserCanShortenIt) {
    box("CheckBox_in1")->click();
    auto* message = edit("Edit1");
    const std::string thirty = ru("Склад номер два, южные ворота.");
    ASSERT_EQ(thirty.size(), 30u);
    ASSERT_TRUE(core->model().setText(*findField("Edit1"), thirty));
    EXPECT_EQ(message->text(), qs(thirty)) << "a long message from a file is shown whole";
    message->end(false);
    typeInto(message, u("x"));
    EXPECT_EQ(core->model().config().wiredZones[0].message, thirty) << "no typing past the limit";
    press(message, Qt::Key_Backspace);
    EXPECT_EQ(core->model().config().wiredZones[0].message, thirty.substr(0, 29));
    EXPECT_EQ(message->text(), qs(thirty.substr(0, 29)));

    core->model().setDeviceDate("07.03.2026");
    EXPECT_EQ(edit("Edit_Date")->text(), u("07.03.2026"));
}

TEST_F(PanelsTest, TheSupplyVoltageBoxGovernsItsTelephonesAndTheUps) {
    auto* volt = box("CB_Ctrl_Volt");
    volt->click();
    EXPECT_FALSE(volt->isChecked());
    for (int t = 1; t <= 5; ++t) {
        auto* b = box(("CB_Ctrl_Volt_" + std::to_string(t)).c_str());
        EXPECT_FALSE(b->isChecked());
        EXPECT_FALSE(b->isEnabled());
    }
    EXPECT_FALSE(box("CB_vnesh_IBP")->isEnabled());
    volt->click();
    EXPECT_TRUE(box("CB_Ctrl_Volt_1")->isEnabled());
    EXPECT_FALSE(box("CB_Ctrl_Volt_1")->isChecked()) << "usable again, but not ticked again";
    EXPECT_TRUE(box("CB_vnesh_IBP")->isEnabled());
}

TEST_F(PanelsTest, EmptiedDelayAndVolumeEditorsShowZeroAtOnce) {
    for (const char* name : {"SE_inp", "SE_out", "SE_volume_microfon", "SE_Volume_dinamik"}) {
        auto* editor = spin(name);
        editor->selectAll();
        typeInto(editor, u("7"));
        EXPECT_EQ(editor->value(), 7) << name;
        editor->selectAll();
        press(editor, Qt::Key_Backspace);
        EXPECT_EQ(editor->text(), u("0")) << name;
        EXPECT_EQ(core->model().number(*findField(name)), 0) << name;
    }
    // The device's value outside the typing range is shown as it is, not cut.
    core->model().setNumber(*findField("Edit_OUT2Sm"), 600);
    EXPECT_EQ(spin("Edit_OUT2Sm")->text(), u("600"));
    EXPECT_EQ(core->model().number(*findField("Edit_OUT2Sm")), 600);
}

TEST_F(PanelsTest, ADelayBoxOfAnInactiveZoneIsRefused) {
    box("CB_delay_bp5")->click();
    EXPECT_EQ(prompts.lastUtf8(), "Не активен 5 беспр. вход");
    EXPECT_FALSE(box("CB_delay_bp5")->isChecked());
    box("CheckBox_bp5")->click();
    EXPECT_TRUE(widget("BP5_chip")->isEnabled());
    box("CB_delay_bp5")->click();
    EXPECT_TRUE(box("CB_delay_bp5")->isChecked());
}

TEST_F(PanelsTest, AWirelessOutputTickedAndNamedEntersEveryOutputChoice) {
    activate();
    window->buildAllParts();
    const auto widgets = window->findChildren<QWidget*>().size();
    auto* used = box("cb_bout3");
    used->click();
    EXPECT_TRUE(widget("panel_b_out3")->isEnabled());
    EXPECT_EQ(background(widget("panel_b_out3")), QApplication::palette().color(QPalette::Window));
    const QString code = edit("b_out3_kod")->text();
    EXPECT_EQ(code.size(), 6);
    EXPECT_TRUE(edit("b_out3_kod")->isReadOnly());
    EXPECT_TRUE(widget("BB_attach_bout3")->isEnabled());
    EXPECT_TRUE(widget("bb_in_bout3")->isEnabled());
    EXPECT_TRUE(widget("bb_out_bout3")->isEnabled());
    auto* name = edit("b_out3_name");
    EXPECT_EQ(QApplication::focusWidget(), name);
    typeInto(name, u("Nasos"));
    auto* before = combo("RG_OUT1S_1");
    focusTo(used);
    EXPECT_EQ(combo("RG_OUT1S_1"), before) << "the controls are kept, only their items change";
    ASSERT_EQ(before->count(), 5);
    EXPECT_EQ(before->itemText(4), u("Nasos"));
    EXPECT_EQ(before->currentText(), u("Сирена (OUT1)"));
    EXPECT_EQ(combo("CB_button4")->itemText(4), u("Nasos"));

    // A four-channel relay gives four items once the name is left again.
    pick(combo("b_out3_type"), 3);
    EXPECT_EQ(QApplication::focusWidget(), name);
    focusTo(used);
    ASSERT_EQ(combo("RG_OUT2S_bp_1")->count(), 8);
    EXPECT_EQ(combo("RG_OUT2S_bp_1")->itemText(7), u("Nasos канал4"));

    // Another output may not bear the name.
    box("cb_bout7")->click();
    typeInto(edit("b_out7_name"), u("Nasos"));
    focusTo(box("cb_bout8"));
    EXPECT_EQ(prompts.lastUtf8(), "Совпадает имя выходов");
    EXPECT_EQ(QApplication::focusWidget(), edit("b_out7_name"));
    EXPECT_EQ(window->findChildren<QWidget*>().size(), widgets) << "nothing was built anew";
}

TEST_F(PanelsTest, TheDateAndTimeFollowTheComputerUntilTheBoxIsCleared) {
    auto* time = edit("Edit_time");
    EXPECT_TRUE(time->isReadOnly());
    EXPECT_EQ(field(time), QApplication::palette().color(QPalette::ToolTipBase));
    clock.advance(1000);
    EXPECT_EQ(time->text(), u("09:05:05"));
    box("CheckBox4")->click();
    EXPECT_FALSE(time->isReadOnly());
    EXPECT_FALSE(edit("Edit_Date")->isReadOnly());
    EXPECT_EQ(field(time), QApplication::palette().color(QPalette::Base));
    clock.advance(2000);
    EXPECT_EQ(time->text(), u("09:05:05"));
    time->selectAll();
    time->insert(u("10:00:00"));
    EXPECT_EQ(core->model().config().deviceTime, "10:00:00");
}

TEST_F(PanelsTest, TemperatureSensorFieldsFollowActivationAndThermostat) {
    auto* active = box("CheckBox_td1");
    auto* low = spin("SE_min_td1");
    EXPECT_FALSE(low->isEnabled());
    EXPECT_EQ(field(low), QColor(244, 247, 252));
    active->click();
    EXPECT_EQ(background(widget("Panel_td1")), kGreenPanel);
    EXPECT_TRUE(low->isEnabled());
    EXPECT_EQ(field(low), QApplication::palette().color(QPalette::Base));
    low->selectAll();
    typeInto(low, u("0"));
    EXPECT_EQ(low->text(), u("1")) << "no temperature is 0";
    // Emptied, it waits for the new number; left empty, it shows its value again.
    activate();
    focusTo(low);
    low->selectAll();
    press(low, Qt::Key_Backspace);
    EXPECT_EQ(low->text(), QString());
    typeInto(low, u("-10"));
    EXPECT_EQ(low->text(), u("-10"));
    EXPECT_EQ(core->model().config().thermoSensors[0].lowAlarm, -10);
    low->selectAll();
    press(low, Qt::Key_Backspace);
    focusTo(spin("SE_max_td1"));
    EXPECT_EQ(low->text(), u("-10"));
    EXPECT_FALSE(spin("SE_Min_td11")->isEnabled());
    box("CheckBox_td11")->click();
    EXPECT_TRUE(spin("SE_Min_td11")->isEnabled());
    EXPECT_TRUE(combo("CB_td1_out")->isEnabled());
    EXPECT_FALSE(spin("SE_max_td11")->isEnabled()) << "comfort waits for the regulation";
    box("CheckBox_td1_auto")->click();
    EXPECT_TRUE(spin("SE_max_td11")->isEnabled());
    box("CheckBox_td11")->click();
    EXPECT_FALSE(box("CheckBox_td1_auto")->isChecked());
    EXPECT_FALSE(spin("SE_max_td11")->isEnabled());
    // A wireless sensor's name and read button follow its activation.
    EXPECT_FALSE(edit("BTD_name2")->isEnabled());
    EXPECT_FALSE(widget("BTD_read2")->isEnabled());
    box("CheckBox_btd2")->click();
    EXPECT_TRUE(edit("BTD_name2")->isEnabled());
    EXPECT_TRUE(widget("BTD_read2")->isEnabled());
    EXPECT_EQ(background(widget("Panel_btd2")), kGreenPanel);
}

TEST_F(PanelsTest, ButtonFourTogglingGreysItsSeconds) {
    box("Check_button4")->click();
    EXPECT_TRUE(combo("CB_button4")->isEnabled());
    auto* seconds = spin("SE_time_button4");
    EXPECT_TRUE(seconds->isEnabled());
    box("CB_trigger_button4")->click();
    EXPECT_FALSE(seconds->isEnabled());
    EXPECT_EQ(field(seconds), QColor(128, 128, 128));
    box("CB_trigger_button4")->click();
    EXPECT_TRUE(seconds->isEnabled());
    EXPECT_EQ(field(seconds), QApplication::palette().color(QPalette::Base));
}

TEST_F(PanelsTest, TheResetShowsTheFirstPageAndTheFourFixedOutputsOnly) {
    box("cb_bout1")->click();
    typeInto(edit("b_out1_name"), u("Lamp"));
    core->model().leaveField(*findField("b_out1_name"));
    ASSERT_EQ(combo("RG_OUT1S_1")->count(), 5);
    child<QTabWidget>("PageControl1")->setCurrentIndex(3);
    core->model().resetConfig();
    EXPECT_EQ(child<QTabWidget>("PageControl1")->currentIndex(), 0);
    EXPECT_EQ(combo("RG_OUT1S_1")->count(), 4);
    EXPECT_FALSE(box("cb_bout1")->isChecked());
    EXPECT_TRUE(edit("b_out1_name")->text().isEmpty());
    EXPECT_TRUE(edit("Edit_Date")->text().isEmpty());
    EXPECT_EQ(combo("CBox_INPUT")->currentIndex(), -1);
    EXPECT_FALSE(child<QRadioButton>("RadioGroup1_0")->isChecked());
    EXPECT_FALSE(child<QRadioButton>("RadioGroup1_1")->isChecked());
}

TEST_F(PanelsTest, TheMakerPanelOpensAndCloses) {
    child<QAction>("N17")->trigger();
    auto* maker = widget("Panel2");
    EXPECT_FALSE(maker->isHidden());
    EXPECT_TRUE(maker->isEnabled());
    child<QPushButton>("BB_maker_close")->click();
    EXPECT_TRUE(maker->isHidden());
}

TEST_F(PanelsTest, ControlsAreNamedForAssistiveTechnologyAfterTheirPanel) {
    auto name = [this](const char* control) {
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(widget(control));
        return a ? a->text(QAccessible::Name) : QString();
    };
    EXPECT_EQ(name("Edit1"), u("Зона 1, Сообщение"));
    EXPECT_EQ(name("Edit_bp2"), u("Беспроводная Зона2, Сообщение"));
    EXPECT_EQ(name("CB_in3_tel2"), u("Зона 3, отправлять на телефон №, 2"));
    EXPECT_EQ(name("Edit_OUT12m"), u("Зона 1, Время включения: до 500 мин., 2, Минуты (0-500)"));
    EXPECT_EQ(name("ME_tel4"), u("Список телефонов для оповещения, Номер 4 --"));
    EXPECT_EQ(name("b_out5_name"), u("Беспроводной выход 5, Название"));
    // The rows of the overlay panels carry their numbers.
    EXPECT_EQ(name("BP_chip_name2"), u("Название 2"));
    EXPECT_EQ(name("BP_chip_kod6"), u("Код 6"));
    EXPECT_EQ(name("BP_chip_read3"), u("Читать 3"));
    EXPECT_EQ(name("BB_ReadKey10"), u("Читать Ключ 10"));
    auto* keys = child<QTableWidget>("SGrid_key");
    EXPECT_EQ(name("SGrid_key"), u("Программирование ключей"));
    EXPECT_EQ(keys->item(4, 1)->data(Qt::AccessibleTextRole).toString(), u("Описание 4"));
    withShippedDictionary();
    child<QAction>("menu_english")->trigger();
    EXPECT_EQ(name("Edit1"), u("Zone 1, Message"));
    EXPECT_TRUE(name("BB_ReadKey10").endsWith(u(" 10")));
    EXPECT_FALSE(name("BB_ReadKey10").startsWith(u("Читать"))) << "named in the window's language";
    EXPECT_EQ(name("SE_max_btd3"), u("Wireless temperature sensor 3, Danger temperature limits "
                                     "(-55 -:- +125), Max"));
}

} // namespace
} // namespace t6::test
