// A text cut by its control is shown whole in the control's tooltip and read
// whole as its accessible description, for as long as it is cut: it follows
// the text, the language and the control's size; it keeps the control's own
// hint and a description given elsewhere, and leaves a refusal's tip alone.

#include <QComboBox>
#include <QLineEdit>
#include <QStatusBar>

#include "HoverTip.h"
#include "WindowFixture.h"
#include "ui/ModelView.h"
#include "ui/TextConv.h"

namespace t6::test {
namespace {

class WholeTextTipTest : public WindowFixture {
protected:
    void SetUp() override {
        withShippedDictionary();
        open();
        window->show();
        QApplication::processEvents();
    }
    ConfigModel& model() { return window->modelView().model(); }

    const QString longMessage = u("ЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖЖ");
    const QString longTelephone = u("+%%%%%%%%%%%%%%%");
};

TEST_F(WholeTextTipTest, AMessageIsInTheTipWhileItIsCut) {
    auto* message = child<QLineEdit>("Edit1");
    model().setZoneMessage(wiredZone(1), ru("Дверь"));
    EXPECT_EQ(hoverTip(message), QString());
    EXPECT_EQ(accessibleDescription(message), QString());

    model().setZoneMessage(wiredZone(1), cpOf(longMessage));
    EXPECT_EQ(hoverTip(message), longMessage);
    EXPECT_EQ(accessibleDescription(message), longMessage);
    EXPECT_EQ(message->toolTip(), QString()) << "the tooltip property stays the window's own";

    child<QAction>("menu_english")->trigger();
    EXPECT_EQ(hoverTip(message), longMessage) << "the data keeps its language";

    // Typed shorter by the user: gone as soon as the text fits.
    message->setText(u("Door"));
    EXPECT_EQ(cpOf(message->text()), model().text(fieldIdOf(FieldRole::ZoneMessage, 1)));
    EXPECT_EQ(hoverTip(message), QString());
    EXPECT_EQ(accessibleDescription(message), QString());
}

TEST_F(WholeTextTipTest, AWiderFieldShowsTheTextWholeAndDropsTheTip) {
    window->buildAllParts();
    child<QTabWidget>("PageControl1")->setCurrentIndex(1);
    auto* code = child<QLineEdit>("RP_KOd_1");
    model().setRemoteCode(1, "WWWWWW");
    code->setFixedWidth(40);
    QApplication::processEvents();
    EXPECT_EQ(accessibleDescription(code), u("WWWWWW"));
    code->setFixedWidth(200);
    QApplication::processEvents();
    EXPECT_EQ(accessibleDescription(code), QString());
}

TEST_F(WholeTextTipTest, TheControlsOwnHintStaysAboveTheTextInEitherLanguage) {
    auto* tel = child<QLineEdit>("ME_tel5");
    const QString hint = tel->toolTip();
    ASSERT_FALSE(hint.isEmpty());
    EXPECT_EQ(hoverTip(tel), hint) << "a telephone that fits shows the hint alone";
    model().setTelephone(5, cpOf(longTelephone));
    EXPECT_EQ(hoverTip(tel), hint + u("\n") + longTelephone);
    EXPECT_EQ(accessibleDescription(tel), longTelephone);

    child<QAction>("menu_english")->trigger();
    EXPECT_EQ(tel->toolTip(), u("Telephone number: + and at most 15 digits"));
    EXPECT_EQ(hoverTip(tel), tel->toolTip() + u("\n") + longTelephone);
}

TEST_F(WholeTextTipTest, AListsItemIsInTheTipInTheWindowsLanguage) {
    auto* method = child<QComboBox>("CBox_INPUT");
    model().setArmingMethod(2);
    EXPECT_EQ(hoverTip(method), QString()) << "the list is wide enough";
    method->setFixedWidth(90);
    QApplication::processEvents();
    EXPECT_EQ(hoverTip(method), u("Touch Memory/Импульс"));
    EXPECT_EQ(accessibleDescription(method), u("Touch Memory/Импульс"));
    // The switch renames the items without a word from the box.
    child<QAction>("menu_english")->trigger();
    EXPECT_EQ(hoverTip(method), u("Touch Memory/Pulse"));
    EXPECT_EQ(accessibleDescription(method), u("Touch Memory/Pulse"));
    model().setArmingMethod(0);
    EXPECT_EQ(hoverTip(method), QString());
    EXPECT_EQ(accessibleDescription(method), QString());
}

TEST_F(WholeTextTipTest, ADescriptionGivenElsewhereIsKeptAndComesFirst) {
    auto* message = child<QLineEdit>("Edit2");
    message->setAccessibleDescription(u("Зона 2"));
    model().setZoneMessage(wiredZone(2), cpOf(longMessage));
    EXPECT_EQ(accessibleDescription(message), u("Зона 2\n") + longMessage);
    model().setZoneMessage(wiredZone(2), ru("Окно"));
    EXPECT_EQ(accessibleDescription(message), u("Зона 2"));
}

TEST_F(WholeTextTipTest, ARefusalsTipIsNotTakenAway) {
    auto* tel = child<QLineEdit>("ME_tel5");
    model().setTelephone(5, cpOf(longTelephone));
    takeTipAway();
    // A text set another way than typing, which the telephone rule refuses.
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    tel->setText(u("call me"));
    const QString tip = shownTip();
    qInstallMessageHandler(previous);
    EXPECT_EQ(tel->text(), longTelephone);
    EXPECT_EQ(tip, window->statusBar()->currentMessage());
    EXPECT_TRUE(tip.startsWith(u("Номер телефона не принят"))) << tip.toStdString();
    EXPECT_EQ(accessibleDescription(tel), longTelephone);
    takeTipAway();
}

TEST_F(WholeTextTipTest, AnOutputsNameWithItsChannelIsInTheTipOfANarrowList) {
    model().setOutputType(1, FourChannelRelay);
    model().setOutputName(1, ru("ЩЩЩЩЩЩЩЩЩЩ"));
    model().setOutputUsed(1, true);
    model().leaveOutputName(1);
    auto* output = child<QComboBox>("RG_OUT1S_1");
    const QString hint = output->toolTip();
    model().setRowOutput(wiredZone(1), 1, 7);
    ASSERT_EQ(output->currentText(), u("ЩЩЩЩЩЩЩЩЩЩ канал4"));
    EXPECT_EQ(hoverTip(output), hint + u("\n") + output->currentText());
    EXPECT_EQ(accessibleDescription(output), output->currentText());
    model().setRowOutput(wiredZone(1), 1, 0);
    EXPECT_EQ(hoverTip(output), hint) << "a fixed output's name fits";
    EXPECT_EQ(output->accessibleDescription(), QString());
    EXPECT_EQ(accessibleDescription(output), hint) << "which the description falls back on";
}

} // namespace
} // namespace t6::test
