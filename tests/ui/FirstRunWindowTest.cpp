// What a new user meets in the window: adapters named by what they are, a
// long port name that leaves the version in view, the guide in the window's
// language.

#include <QAbstractItemView>
#include <QTextBrowser>

#include "WindowFixture.h"
#include "ui/HelpWindow.h"
#include "ui/PortComboBox.h"

namespace t6::test {
namespace {

namespace fs = std::filesystem;

class FirstRunWindowTest : public WindowFixture {
protected:
    const std::string ftdi = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10KXYZ-if00-port0";
    const Bytes tt = bytesOf({0xFE, 0xFF, 'T', 't', 0xFF, 0xFE});

    void writeGuide(const fs::path& folder, const std::string& ru, const std::string& en) {
        fs::create_directories(folder);
        std::ofstream(folder / "guide.ru.html")
            << "<html><body><h1>" << ru << "</h1></body></html>";
        std::ofstream(folder / "guide.en.html")
            << "<html><body><h1>" << en << "</h1></body></html>";
    }
};

TEST_F(FirstRunWindowTest, AdaptersAreNamedByWhatTheyAreAndTheListIsAskedForOnOpening) {
    port.ports = {ftdi, "ttyS0"};
    port.details = {{ftdi, "/dev/ttyUSB0", "FTDI", "FT232R USB UART", 0x0403, 0x6001},
                    {"ttyS0", "/dev/ttyS0", "", "", -1, -1}};
    open();
    child<QAction>("COM1")->trigger();
    auto* combo = child<PortComboBox>("ComboBox1");
    ASSERT_EQ(combo->count(), 2);
    // The item is the port's name, which the edit line takes; the rest is said beside it.
    EXPECT_EQ(combo->itemText(0), QString::fromStdString(ftdi));
    EXPECT_EQ(combo->itemData(0, Qt::ToolTipRole).toString(),
              QString::fromStdString(ftdi) + QStringLiteral("\nFTDI FT232R USB UART (0403:6001)"));
    EXPECT_EQ(combo->itemData(0, Qt::AccessibleTextRole).toString(),
              QString::fromStdString(ftdi) +
                  QStringLiteral("  —  FTDI FT232R USB UART (0403:6001)"));
    EXPECT_EQ(combo->itemData(1, Qt::AccessibleTextRole).toString(), QStringLiteral("ttyS0"));
    EXPECT_EQ(combo->toolTip(), combo->itemData(0, Qt::ToolTipRole).toString());
    combo->setCurrentIndex(1);
    EXPECT_TRUE(combo->toolTip().isEmpty()) << "nothing known of a built-in port";
    combo->setCurrentIndex(0);
    EXPECT_EQ(core->exchange().connectedPort(), ftdi);
    EXPECT_EQ(combo->toolTip(), combo->itemData(0, Qt::ToolTipRole).toString());
    combo->setCurrentIndex(1);

    // An adapter plugged in later is there the next time the list opens.
    port.ports.push_back("/dev/serial/by-id/usb-1a86_USB_Serial-if00-port0");
    combo->showPopup();
    EXPECT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->currentText(), QStringLiteral("ttyS0")) << "the chosen port stays";
    combo->hidePopup();
    EXPECT_TRUE(prompts.shown.empty()) << prompts.lastUtf8();
}

TEST(PortDetailsText, SaysMakerProductAndUsbIdentifiersOnce) {
    EXPECT_EQ(PortComboBox::detailsText({"a", "", "FTDI", "FT232R USB UART", 0x403, 0x6001}),
              QStringLiteral("FTDI FT232R USB UART (0403:6001)"));
    EXPECT_EQ(PortComboBox::detailsText({"a", "", "Prolific", "prolific", 0x67b, 0x2303}),
              QStringLiteral("Prolific (067b:2303)"));
    EXPECT_EQ(PortComboBox::detailsText({"a", "", "", "USB Serial", -1, -1}),
              QStringLiteral("USB Serial"));
    EXPECT_EQ(PortComboBox::detailsText({"a", "", " ", "", -1, -1}), QString());
}

TEST_F(FirstRunWindowTest, ALongPortNameGivesWayInTheMiddleSoThatTheVersionStaysInView) {
    port.ports = {ftdi};
    port.autoReply[tt] = bytesOf({0xFE, 0xFF}) + "T7 2.05" + bytesOf({0xFF, 0xFE});
    open();
    window->show();
    child<QPushButton>("BitBtn3")->click();
    clock.advance(1200);
    auto* panel = child<QLabel>("StatusBar1_Panel1");
    const QString full = u("соединен с ") + QString::fromStdString(ftdi) + QStringLiteral("  2.05");
    EXPECT_NE(panel->text(), full);
    EXPECT_TRUE(panel->text().startsWith(u("соединен с /dev/"))) << panel->text().toStdString();
    EXPECT_TRUE(panel->text().endsWith(QStringLiteral("2.05"))) << panel->text().toStdString();
    EXPECT_TRUE(panel->text().contains(QChar(0x2026)));
    EXPECT_LE(panel->fontMetrics().horizontalAdvance(panel->text()), panel->width());
    EXPECT_EQ(panel->toolTip(), full);
    EXPECT_EQ(panel->accessibleName(), full);
    // A short text is shown whole, without a tip.
    core->exchange().view().showConnection(ru("соединен с COM1  2.05"));
    EXPECT_EQ(panel->text(), u("соединен с COM1  2.05"));
    EXPECT_TRUE(panel->toolTip().isEmpty());
}

TEST_F(FirstRunWindowTest, TheGuideOpensInTheWindowsLanguageAndFollowsIt) {
    withShippedDictionary();
    open();
    const fs::path guide = dir / "guide";
    writeGuide(guide, "Руководство", "Guide");
    window->setGuideFolder(QString::fromStdString(guide.string()));
    child<QAction>("N12")->trigger();
    HelpWindow* help = window->helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowTitle(), u("Справка"));
    EXPECT_TRUE(help->browser()->toPlainText().contains(u("Руководство")));
    window->switchToEnglish();
    EXPECT_EQ(help->windowTitle(), QStringLiteral("Help"));
    EXPECT_TRUE(help->browser()->toPlainText().contains(QStringLiteral("Guide")));
    EXPECT_TRUE(help->page().endsWith(QStringLiteral("guide.en.html")));
    EXPECT_TRUE(prompts.shown.empty());

    // No guide: the user is told where it was looked for, in the window's language.
    help->close();
    window->setGuideFolder(QString::fromStdString((dir / "none").string()));
    child<QAction>("N12")->trigger();
    EXPECT_EQ(prompts.lastUtf8(),
              "The user guide was not found:\r\n" + (dir / "none" / "guide.en.html").string());
    EXPECT_FALSE(help->isVisible());
}

// The shipped guide speaks of the window as it is: every tab by the caption the
// window shows in that language, the logs by their names, the port rights.
TEST_F(FirstRunWindowTest, TheShippedGuideNamesEveryTabInItsLanguage) {
    withShippedDictionary();
    open();
    window->setGuideFolder(QStringLiteral(T6_SOURCE_DIR "/docs/guide"));
    auto* tabs = child<QTabWidget>("PageControl1");
    auto check = [&](const char* language) {
        child<QAction>("N12")->trigger();
        const QString text = window->helpWindow()->browser()->toPlainText();
        for (int i = 0; i < tabs->count(); ++i)
            EXPECT_TRUE(text.contains(tabs->tabText(i).remove(QLatin1Char('&'))))
                << language << ": " << tabs->tabText(i).toStdString();
        for (const char* word : {"protokol.log", "protokol_FF.log", "log.log", "save.000",
                                 "LoadFile.rep", "dialout", "torvel6-devicesim"})
            EXPECT_TRUE(text.contains(QLatin1String(word))) << language << ": " << word;
    };
    check("ru");
    window->switchToEnglish();
    check("en");
    EXPECT_TRUE(window->helpWindow()->page().endsWith(QStringLiteral("guide.en.html")));
    EXPECT_TRUE(prompts.shown.empty());
}

} // namespace
} // namespace t6::test
