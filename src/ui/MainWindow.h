#pragma once
// The configurator's one window: the tabs with every setting, the bottom bar
// with the exchange buttons and the signal gauge, the status bar and the menus.

#include <QMainWindow>
#include <QTranslator>
#include <array>
#include <functional>
#include <memory>

#include "common/DeviceDimensions.h"
#include "core/AppCore.h"
#include "exchange/ExchangeView.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QTabWidget;

namespace t6 {

class CompareWindow;
class KeyGrid;
class OperationPanels;
class ModelView;
class ElidedLabel;
class HelpWindow;
class PortComboBox;
class QtPrompts;
struct MakerPanel;
struct SupportContacts;

class MainWindow : public QMainWindow, public ExchangeView {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 1027;
    static constexpr int kClientHeight = 704;

    // prompts: the window's boxes, if the caller wants them parented and titled
    // by the window (nullptr in tests with scripted prompts).
    MainWindow(AppCore& core, QtPrompts* prompts = nullptr);
    ~MainWindow() override;

    AppCore& core() { return core_; }
    // Builds every tab page and overlay panel not built yet (the window builds
    // them when they are first shown); tests and tools that walk every control
    // call it first.
    void buildAllParts();
    // The bound controls of the window and the model behind them.
    ModelView& modelView() { return *view_; }

    // The maker panel: shown by "О производителе", hidden by its "Закрыть";
    // its web button opens the support address with the desktop's handler
    // (tests give an opener of their own).
    void showMakerPanel();
    void setUrlOpener(std::function<void(const QString&)> opener) { openUrl_ = std::move(opener); }
    // The distributor's support contacts the panel shows; read from the
    // distributor's file when the window is made.
    void setSupportContacts(const SupportContacts& contacts);
    // "Собрать отчёт для поддержки": the support report into a file the user names.
    void makeSupportReport();

    // "Справка": the user guide in the window's language.
    void showHelp();
    HelpWindow* helpWindow() const { return help_; }
    void setGuideFolder(const QString& folder) { guideFolder_ = folder; }

    // The language menu.
    // The window against the configuration last read from the device, and
    // against a configuration file the user picks; each in its own window.
    void compareWithDevice();
    void compareWithFile();
    void compareWithVersion();
    CompareWindow* deviceComparison() const { return compareDevice_; }
    CompareWindow* fileComparison() const { return compareFile_; }
    // The configuration sheet into a PDF file the user names.
    void saveSheet();
    // The connected device's version as it identified itself; empty when unknown.

    void switchToEnglish();
    void switchToRussian();
    // The exit menu item: asks, then closes.
    void requestExit();
    // Shutdown: the port is purged and closed, the memo saved, the logs closed.
    // Runs once, however the window ends.
    void shutdown();

    const std::string& appTitle() const { return appTitle_; }

    // ExchangeView
    void showPortState(const std::string& text) override;
    void showConnection(const std::string& text) override;
    void showClock(const LocalTime& now) override;
    void showConnected(const std::string& caption) override;
    void showPortList(const std::vector<std::string>& ports) override;
    void showManualMode(bool on) override;
    void showSignal(int gauge, const std::string& text, bool red) override;
    void showActivity(const Activity& activity) override;
    void showNotice(const std::string& text) override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Where a file the window makes goes: asked with the dialog; a file that
    // may not be written is refused at once (notWritten heads the box), and an
    // existing one is replaced only when the user agrees. Empty when nothing
    // is to be written.
    std::optional<std::string> askFileToWrite(const FileDialogRequest& dialog,
                                              const char* notWritten);
    // The box of a file not written: notWritten, the file and why.
    void tellNotWritten(const char* notWritten, const std::string& path,
                        const FileFailure& failure);
    void buildMenus();
    void buildTabs();
    void buildPage(int index);
    void buildOverlays(QWidget* clientArea);
    void buildBottomBar();
    void buildStatusBar();
    void startUp();
    void translateWindow(const char* section);
    void installStandardTexts(bool russian);
    // The four fixed outputs as the output choices show them, in the window's language.
    void nameFixedOutputs();
    void retranslateComparisons();
    template <typename F> void guarded(F&& f);

    AppCore& core_;
    QtPrompts* qtPrompts_;
    std::string appTitle_;
    bool shutDown_ = false;

    std::unique_ptr<ModelView> view_;
    std::unique_ptr<MakerPanel> maker_;
    std::function<void(const QString&)> openUrl_;
    std::array<QString, WiredOutputCount> fixedOutputs_;
    QTabWidget* pages_ = nullptr;
    // The builders of the pages not built yet, by their index.
    std::array<std::function<void()>, 4> pendingPages_;
    QAction* manualItem_ = nullptr;
    QAction* russianItem_ = nullptr;
    QAction* englishItem_ = nullptr;
    QPushButton* connectButton_ = nullptr;
    PortComboBox* portCombo_ = nullptr;
    QLabel* portComboLabel_ = nullptr;
    QProgressBar* gauge_ = nullptr;
    QLabel* signalText_ = nullptr;
    ElidedLabel* statusPanels_[4] = {};
    QPushButton* cancelButton_ = nullptr;
    KeyGrid* keyGrid_ = nullptr;
    OperationPanels* operations_ = nullptr;
    std::string portState_;
    Activity activity_;
    std::unique_ptr<QTranslator> qtRussian_;
    HelpWindow* help_ = nullptr;
    QString guideFolder_;
    CompareWindow* compareDevice_ = nullptr;
    CompareWindow* compareFile_ = nullptr;
};

template <typename F> void MainWindow::guarded(F&& f) {
    // Nothing thrown by an operation leaves the event loop: a port error is
    // shown in the error box and the window goes on.
    core_.exchange().guarded(std::forward<F>(f));
}

} // namespace t6
