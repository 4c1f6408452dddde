// Every change of a control reaches the model, whatever made it: the mouse,
// the keyboard, a program, or assistive technology through Qt's accessibility
// interfaces. Showing a value is no edit, and a change the model refuses is
// shown refused.

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleEditableTextInterface>
#include <QAccessibleValueInterface>
#include <QClipboard>
#include <QEventLoop>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <QToolTip>

#include "WindowFixture.h"
#include "files/ConfigFile.h"
#include "ui/BoundWidgets.h"

namespace t6::test {
namespace {

class BindingTest : public WindowFixture {
protected:
    void SetUp() override {
        open();
        QAccessible::setActive(true);
    }
    void TearDown() override { QAccessible::setActive(false); }

    static QAccessibleInterface* a11y(QWidget* w) {
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
        EXPECT_NE(i, nullptr) << w->objectName().toStdString();
        return i;
    }
    // A screen reader's "activate" or "toggle" on a control.
    static void act(QWidget* w, const QString& action) {
        QAccessibleInterface* i = a11y(w);
        ASSERT_NE(i->actionInterface(), nullptr) << w->objectName().toStdString();
        i->actionInterface()->doAction(action);
        if (action == QAccessibleActionInterface::pressAction()) {
            // Press is an animated click: it lands a moment later.
            QEventLoop loop;
            QTimer::singleShot(300, &loop, &QEventLoop::quit);
            loop.exec();
        }
    }
    static void setA11yText(QWidget* w, const QString& text) {
        a11y(w)->setText(QAccessible::Value, text);
    }
    static void insertA11yText(QWidget* w, int offset, const QString& text) {
        QAccessibleInterface* i = a11y(w);
        ASSERT_NE(i->editableTextInterface(), nullptr);
        i->editableTextInterface()->insertText(offset, text);
    }
    const DeviceConfig& config() { return core->model().config(); }
    // The configuration file the window would save now.
    Bytes saved() { return saveConfigFile(core->model(), clock.localNow()); }
    // The lines of a section of a saved file.
    static Bytes section(const Bytes& file, const std::string& tag) {
        const auto at = file.find(tag + "\r\n");
        if (at == Bytes::npos)
            return {};
        const auto end = file.find("//" + tag + "\r\n", at);
        return file.substr(at + tag.size() + 2, end - at - tag.size() - 2);
    }
};

TEST_F(BindingTest, ToggleAndPressActionsReachTheModelAndItsRules) {
    auto* active = child<QCheckBox>("CheckBox_in1");
    auto* message = child<QLineEdit>("Edit1");
    ASSERT_FALSE(message->isEnabled());

    act(active, QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(active->isChecked());
    EXPECT_TRUE(config().wiredZones[0].active);
    EXPECT_TRUE(message->isEnabled()) << "the zone's panel follows its activation";
    EXPECT_TRUE(config().wiredZones[0].outputsEnabled) << "the activation rule ran";

    act(active, QAccessibleActionInterface::pressAction());
    EXPECT_FALSE(config().wiredZones[0].active);
    EXPECT_FALSE(message->isEnabled());

    // The supply-voltage box takes its telephones with it, however it is unticked.
    auto* report = child<QCheckBox>("CB_Ctrl_Volt");
    ASSERT_TRUE(report->isChecked());
    ASSERT_TRUE(config().supplyVoltagePhones[0]);
    act(report, QAccessibleActionInterface::toggleAction());
    EXPECT_FALSE(config().supplyVoltageReport);
    EXPECT_FALSE(config().supplyVoltagePhones[0]);
    EXPECT_FALSE(child<QCheckBox>("CB_Ctrl_Volt_1")->isChecked());
    EXPECT_EQ(section(saved(), "#41"), "0\r\n00000\r\n");

    // The keyboard and a program's toggle() count as well.
    auto* beep = child<QCheckBox>("CheckBox_Audio");
    beep->toggle();
    EXPECT_TRUE(config().armingBeep);
    beep->setFocus();
    press(beep, Qt::Key_Space);
    EXPECT_FALSE(config().armingBeep);
}

TEST_F(BindingTest, RadioButtonsReachTheModelHoweverTheyAreChosen) {
    auto* external = child<QRadioButton>("RadioGroup1_1");
    act(external, QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(config().armedIndicator, 1);
    auto* led = child<QRadioButton>("RadioGroup1_0");
    act(led, QAccessibleActionInterface::pressAction());
    EXPECT_EQ(config().armedIndicator, 0);
    EXPECT_FALSE(external->isChecked());
}

TEST_F(BindingTest, ATelephoneSetThroughAccessibilityIsSavedAsShown) {
    auto* tel = child<QLineEdit>("ME_tel2");
    setA11yText(tel, u("+79161234567"));
    EXPECT_EQ(tel->text(), u("+79161234567"));
    EXPECT_EQ(config().telephones[1], "+79161234567");
    const Bytes file = saved();
    EXPECT_NE(file.find("\r\n79161234567\r\n"), Bytes::npos) << "saved as shown, not as 7";

    // Inserted text does not pass the field's validator on its way: the
    // telephone rule still refuses it, the field shows the number it had, and
    // the user is told.
    insertA11yText(tel, 3, QStringLiteral("xyz"));
    EXPECT_EQ(config().telephones[1], "+79161234567");
    EXPECT_EQ(tel->text(), u("+79161234567"));
    EXPECT_FALSE(window->statusBar()->currentMessage().isEmpty());
    insertA11yText(tel, 12, QStringLiteral("8"));
    EXPECT_EQ(config().telephones[1], "+791612345678");
}

TEST_F(BindingTest, TextsAndValuesSetThroughAccessibilityReachTheModel) {
    child<QCheckBox>("CheckBox_in3")->click();
    auto* message = child<QLineEdit>("Edit3");
    setA11yText(message, u("Склад"));
    EXPECT_EQ(cp1251ToUtf8(config().wiredZones[2].message), "Склад");
    // Longer than the field takes, or beyond the code page: refused as typing would be.
    setA11yText(message, u("Склад").repeated(6));
    EXPECT_EQ(cp1251ToUtf8(config().wiredZones[2].message), "Склад");
    insertA11yText(message, 0, QStringLiteral("\u4e2d"));
    EXPECT_EQ(cp1251ToUtf8(config().wiredZones[2].message), "Склад");
    EXPECT_EQ(message->text(), u("Склад"));

    auto* delay = child<QSpinBox>("SE_inp");
    QAccessibleInterface* i = a11y(delay);
    ASSERT_NE(i->valueInterface(), nullptr);
    i->valueInterface()->setCurrentValue(30);
    EXPECT_EQ(config().armingDelay, 30);
    EXPECT_EQ(section(saved(), "#36").substr(0, 4), "30\r\n");
}

TEST_F(BindingTest, AChoiceChangedAnyWayRunsItsChecksAndARefusalIsShown) {
    auto* type = child<QComboBox>("CBox_IN1");
    child<QCheckBox>("CheckBox_in1")->click();
    type->setCurrentIndex(3); // as the arrow keys do
    EXPECT_EQ(config().wiredZones[0].inputType, 4);

    // The siren output switched on at arming: a zone row may not take it, and
    // the row shows its own output again.
    child<QCheckBox>("Check_on_output_in")->click();
    ASSERT_TRUE(config().armingOutputOn);
    auto* row2 = child<QComboBox>("RG_OUT12_2");
    ASSERT_EQ(row2->currentIndex(), 1);
    child<QCheckBox>("RG_OUT12")->click();
    prompts.clear();
    row2->setCurrentIndex(0);
    EXPECT_FALSE(prompts.shown.empty()) << "the arming check ran";
    EXPECT_EQ(row2->currentIndex(), config().wiredZones[0].actions[1].output.value_or(-1));
}

TEST_F(BindingTest, ShowingValuesIsNoEdit) {
    // A reset fills every control; no rule that only the user's edit runs
    // (warnings, focus moves) fires, and the model keeps the reset's values.
    core->model().resetConfig();
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(child<QComboBox>("RG_OUT11_4")->currentIndex(), 3);
    EXPECT_FALSE(child<QCheckBox>("CheckBox_in1")->isChecked());
    EXPECT_EQ(config().wiredZones[0].inputType, std::nullopt);
    EXPECT_EQ(child<QComboBox>("CBox_IN1")->currentIndex(), -1);
}

TEST_F(BindingTest, PastedTelephonesLoseTheirSeparators) {
    auto* tel = child<QLineEdit>("ME_tel1");
    auto paste = [tel](const char* text) {
        tel->selectAll();
        QApplication::clipboard()->setText(QString::fromUtf8(text));
        tel->paste();
    };
    paste("+7 916 123-45-67");
    EXPECT_EQ(config().telephones[0], "+79161234567");
    EXPECT_EQ(tel->text(), u("+79161234567"));
    paste("8 (916) 123 45 67");
    EXPECT_EQ(config().telephones[0], "+89161234567");

    // Still not a telephone: refused, and said so.
    window->statusBar()->clearMessage();
    paste("call me");
    EXPECT_EQ(config().telephones[0], "+89161234567");
    EXPECT_NE(window->statusBar()->currentMessage().indexOf(u("Номер телефона не принят")), -1)
        << window->statusBar()->currentMessage().toStdString();
}

TEST_F(BindingTest, APortPathTypedByHandKeepsTheSystemsEncoding) {
    child<QAction>("COM1")->trigger(); // manual port selection
    auto* box = child<QComboBox>("ComboBox1");
    const QString path = u("/dev/serial/by-id/usb-Адаптер-if00");
    box->setEditText(path);
    EXPECT_EQ(core->connection().comboText(), path.toStdString());
    EXPECT_EQ(core->exchange().connectedPort(), path.toStdString());
    child<QPushButton>("BitBtn3")->click(); // connect: the manual probe opens it by that name
    ASSERT_FALSE(port.opened.empty());
    EXPECT_EQ(port.opened.back(), path.toStdString());
}

// A bound list box asks for the room a list box sized to a minimum length of
// its contents asks for, in every window font, without building its popup list
// before it is opened.
TEST_F(BindingTest, AListBoxAsksForTheRoomOfItsMinimumContents) {
    int boxes = 0;
    window->buildAllParts();
    for (auto* box : window->findChildren<BoundComboBox*>())
        EXPECT_EQ(box->findChild<QAbstractItemView*>(), nullptr) << box->objectName().toStdString();
    for (auto* box : window->findChildren<BoundComboBox*>()) {
        QComboBox reference;
        reference.setFont(box->font());
        reference.setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        reference.setMinimumContentsLength(BoundComboBox::kMinimumLetters);
        for (int i = 0; i < box->count(); ++i)
            reference.addItem(box->itemText(i));
        EXPECT_EQ(box->sizeHint(), reference.sizeHint()) << box->objectName().toStdString();
        EXPECT_EQ(box->minimumSizeHint(), reference.minimumSizeHint())
            << box->objectName().toStdString();
        QFont large = box->font();
        large.setPointSize(14);
        reference.setFont(large);
        box->setFont(large);
        EXPECT_EQ(box->sizeHint(), reference.sizeHint()) << box->objectName().toStdString();
        ++boxes;
    }
    EXPECT_GE(boxes, 70);
}

} // namespace
} // namespace t6::test
