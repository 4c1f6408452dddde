#include "ui/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QIconEngine>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolTip>
#include <QUrl>
#include <QVBoxLayout>
#include <filesystem>

#include "common/Cp1251.h"
#include "core/ProgramFolders.h"
#include "core/ProgramInfo.h"
#include "core/SupportReport.h"
#include "ui/Cp1251Validator.h"
#include "ui/ElidedLabel.h"
#include "ui/HelpWindow.h"
#include "ui/KeyGrid.h"
#include "ui/ModelView.h"
#include "ui/OperationPanels.h"
#include "ui/PanelKit.h"
#include "ui/Panels.h"
#include "ui/PortComboBox.h"
#include "ui/QtPrompts.h"
#include "ui/TextConv.h"
#include "ui/WindowTranslator.h"

namespace t6 {
namespace {

QAction* addItem(QMenu* menu, const char* name, const char* caption) {
    auto* a = menu->addAction(u(caption));
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

// The window's icon, drawn here at the size asked for, when it is asked for:
// a blue shield with "Т6" on it.
class ShieldIcon : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode, QIcon::State) override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        painter->translate(rect.topLeft());
        const qreal s = std::min(rect.width(), rect.height());
        QPainterPath shield;
        shield.moveTo(s * 0.5, s * 0.03);
        shield.lineTo(s * 0.92, s * 0.18);
        shield.cubicTo(s * 0.92, s * 0.6, s * 0.75, s * 0.85, s * 0.5, s * 0.97);
        shield.cubicTo(s * 0.25, s * 0.85, s * 0.08, s * 0.6, s * 0.08, s * 0.18);
        shield.closeSubpath();
        painter->setPen(QPen(QColor(20, 40, 110), std::max(1.0, s / 24)));
        painter->setBrush(QColor(40, 90, 190));
        painter->drawPath(shield);
        QFont f(QStringLiteral("Sans Serif"));
        f.setBold(true);
        f.setPixelSize(std::max(6, static_cast<int>(s * 9 / 20)));
        painter->setFont(f);
        painter->setPen(Qt::white);
        painter->drawText(QRectF(0, s * 0.12, s, s * 0.7), Qt::AlignCenter, u("Т6"));
        painter->restore();
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        QPixmap p(size);
        p.fill(Qt::transparent);
        QPainter painter(&p);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return p;
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}};
    }
    QIconEngine* clone() const override { return new ShieldIcon; }
};

} // namespace

MainWindow::MainWindow(AppCore& core, QtPrompts* prompts)
    : core_(core), qtPrompts_(prompts), appTitle_(ru("Умный Торвел-6")),
      guideFolder_(guideFolder()) {
    setObjectName("Form1");
    setWindowTitle(u("Конфигуратор УМНЫЙ ТОРВЕЛ-6 версия 1.1"));
    setWindowIcon(QIcon(new ShieldIcon));
    QFont f(QStringLiteral("Sans Serif"));
    f.setPointSize(8);
    setFont(f);
    if (qtPrompts_) {
        qtPrompts_->setParent(this);
        qtPrompts_->setTitle(appTitle_);
        // The file dialogs' titles and filters speak the window's language.
        qtPrompts_->setCaptionTranslate([this](const std::string& text) {
            return core_.language() == 'E' ? core_.dictionary().lookup("Eng", text) : text;
        });
    }
    openUrl_ = [](const QString& address) { QDesktopServices::openUrl(QUrl(address)); };
    buildMenus();
    auto* central = new QWidget(this);
    central->setObjectName("ClientArea");
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(4, 2, 4, 0);
    column->setSpacing(2);
    setCentralWidget(central);
    buildTabs();
    column->addWidget(pages_, 1);
    buildBottomBar();
    column->addWidget(findChild<QWidget*>("Panel6"));
    buildStatusBar();
    buildOverlays(central);
    operations_ = new OperationPanels(this, core_, *keyGrid_, *pages_,
                                      [this](const std::function<void()>& f) { guarded(f); });
    operations_->onCaptionsChanged([this] {
        view_->updateAccessibleNames();
        nameOverlayRows(this);
    });
    setFixedSize(kClientWidth, kClientHeight);
    core_.exchange().setView(this);
    startUp();
}

MainWindow::~MainWindow() {
    shutdown();
    core_.exchange().setView(nullptr);
    core_.model().setShownItemText({});
    // The operations' views let go of them first; then the controls go, so
    // that none of them reaches the model's view while the window is taken
    // apart; the model outlives them all.
    delete operations_;
    operations_ = nullptr;
    delete takeCentralWidget();
    view_.reset();
    if (qtPrompts_) {
        qtPrompts_->setCaptionTranslate({});
        qtPrompts_->setParent(nullptr);
    }
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");

    QMenu* file = bar->addMenu(u("Файл"));
    file->setObjectName("N1");
    connect(addItem(file, "N2", "Загрузить конфигурацию из файла"), &QAction::triggered, this,
            [this] {
                guarded([this] {
                    if (core_.files().loadConfiguration() == ConfigFiles::LoadResult::Loaded)
                        core_.configRead().forgetIncomplete();
                });
            });
    connect(addItem(file, "N3", "Сохранить конфигурацию в файл"), &QAction::triggered, this,
            [this] { guarded([this] { core_.files().saveConfiguration(); }); });
    connect(addItem(file, "N_CompareFile", "Сравнить с файлом…"), &QAction::triggered, this,
            [this] { guarded([this] { compareWithFile(); }); });
    connect(addItem(file, "N_CompareVersion", "Сравнить с сохранённой версией…"),
            &QAction::triggered, this, [this] { guarded([this] { compareWithVersion(); }); });
    connect(addItem(file, "N_Sheet", "Лист настроек (PDF)…"), &QAction::triggered, this,
            [this] { guarded([this] { saveSheet(); }); });
    file->addSeparator()->setObjectName("N4");
    connect(addItem(file, "N7", "Выход"), &QAction::triggered, this, [this] { requestExit(); });

    QMenu* device = bar->addMenu(u("Обмен с устройством"));
    device->setObjectName("N5");
    connect(addItem(device, "N8", "Соединить"), &QAction::triggered, this,
            [this] { guarded([this] { core_.connection().connect(); }); });
    connect(addItem(device, "N9", "Записать параметры"), &QAction::triggered, this,
            [this] { guarded([this] { core_.configWrite().writeConfiguration(); }); });
    connect(addItem(device, "N10", "Считать параметры"), &QAction::triggered, this,
            [this] { guarded([this] { core_.configRead().readConfiguration(); }); });
    addItem(device, "N15", "Программировать ключи");
    connect(addItem(device, "N_CompareDevice", "Сравнить с прибором"), &QAction::triggered, this,
            [this] { guarded([this] { compareWithDevice(); }); });
    device->addSeparator()->setObjectName("N6");
    manualItem_ = addItem(device, "COM1", "Ручной выбор COM порта");
    manualItem_->setCheckable(true);
    connect(manualItem_, &QAction::triggered, this, [this] {
        // The item's own check mark is set by the view from the connection's state.
        const bool on = !core_.connection().manualMode();
        guarded([this, on] { core_.connection().setManualMode(on); });
    });
    addItem(device, "N16", "Обновить прошивку")->setEnabled(false);

    QMenu* about = bar->addMenu(u("О программе"));
    about->setObjectName("N11");
    connect(addItem(about, "N12", "Справка"), &QAction::triggered, this, [this] { showHelp(); });
    connect(addItem(about, "N17", "О производителе"), &QAction::triggered, this,
            [this] { showMakerPanel(); });

    QMenu* lang = bar->addMenu(u("Выбор Языка"));
    lang->setObjectName("N13");
    russianItem_ = addItem(lang, "menu_russian", "Русский");
    russianItem_->setCheckable(true);
    russianItem_->setChecked(true);
    englishItem_ = addItem(lang, "menu_english", "Английский");
    englishItem_->setCheckable(true);
    connect(russianItem_, &QAction::triggered, this, [this] { switchToRussian(); });
    connect(englishItem_, &QAction::triggered, this, [this] { switchToEnglish(); });

    // A menu kept for a later device generation: hidden and disabled, no action.
    QMenu* master = bar->addMenu(QStringLiteral("MASTER KEY"));
    master->setObjectName("N18");
    addItem(master, "N19", "Очистить MASTER ключи")->setEnabled(false);
    master->menuAction()->setVisible(false);
    master->menuAction()->setEnabled(false);
}

void MainWindow::buildTabs() {
    pages_ = new QTabWidget(this);
    pages_->setObjectName("PageControl1");
    view_ = std::make_unique<ModelView>(core_.model(),
                                        [this](const std::function<void()>& f) { guarded(f); });
    view_->onFirstPage([this] { pages_->setCurrentIndex(0); });
    view_->setOutputItemText([this](int position, const std::string& item) {
        return position >= 0 && position < WiredOutputCount
                   ? fixedOutputs_[static_cast<std::size_t>(position)]
                   : qs(item);
    });
    core_.model().setShownItemText([this](int position, const std::string& item) {
        return position >= 0 && position < WiredOutputCount
                   ? cpOf(fixedOutputs_[static_cast<std::size_t>(position)])
                   : item;
    });
    nameFixedOutputs();
    PanelKit kit(*view_);
    auto page = [this](int n, const char* caption) {
        auto* p = new QWidget(pages_);
        p->setObjectName(QStringLiteral("TabSheet%1").arg(n));
        pages_->addTab(p, u(caption));
        auto* v = new QVBoxLayout(p);
        v->setContentsMargins(2, 2, 2, 2);
        v->setSpacing(3);
        return std::pair{p, v};
    };
    auto band = [](QVBoxLayout* v, int stretch) {
        auto* h = new QHBoxLayout;
        h->setSpacing(3);
        v->addLayout(h, stretch);
        return h;
    };

    // Main settings: telephones and options above, the wired zones and
    // temperature sensors below.
    auto [main, mainColumn] = page(1, "Основные настройки");
    auto* top = band(mainColumn, 0);
    auto* phones = buildTelephonePanel(kit, main);
    phones->setFixedWidth(238);
    top->addWidget(phones);
    top->addWidget(buildOptionsPanel(kit, main), 1);
    auto* bottom = band(mainColumn, 1);
    for (int n = 1; n <= WiredZoneCount; ++n)
        bottom->addWidget(buildZonePanel(kit, main, wiredZone(n)), 174);
    for (int n = 1; n <= WiredSensorCount; ++n)
        bottom->addWidget(buildSensorPanel(kit, main, wiredSensor(n)), 148);

    // The other pages are built when first shown (or asked for): most users
    // start on the first one.
    // Wireless zones above, the remote controls below.
    auto [zones, zoneColumn] = page(2, "Беспроводные зоны");
    pendingPages_[1] = [this, band, zones = zones, zoneColumn = zoneColumn] {
        PanelKit kit(*view_);
        auto* zoneBand = band(zoneColumn, 1);
        for (int n = 1; n <= WirelessZoneCount; ++n)
            zoneBand->addWidget(buildZonePanel(kit, zones, wirelessZone(n)), 1);
        zoneColumn->addWidget(buildRemotePanel(kit, zones));
    };
    // The six wireless temperature sensors, three by two.
    auto [sensors, sensorColumn] = page(3, "Беспроводные датчики температуры");
    pendingPages_[2] = [this, band, sensors = sensors, sensorColumn = sensorColumn] {
        PanelKit kit(*view_);
        constexpr int kPerBand = 3;
        for (int first = 1; first <= WirelessSensorCount; first += kPerBand) {
            auto* b = band(sensorColumn, 1);
            for (int n = first; n < first + kPerBand && n <= WirelessSensorCount; ++n)
                b->addWidget(buildSensorPanel(kit, sensors, wirelessSensor(n)), 1);
        }
    };
    auto [outputs, outputColumn] = page(4, "Беспроводные выходы");
    pendingPages_[3] = [this, outputs = outputs, outputColumn = outputColumn] {
        PanelKit kit(*view_);
        outputColumn->addWidget(buildOutputsPanel(kit, outputs));
    };
    connect(pages_, &QTabWidget::currentChanged, this, [this](int index) { buildPage(index); });
    // A control asked for by its name is there, whichever page holds it.
    view_->onMissingControl([this] { buildAllParts(); });

    // A telephone the field refused (a paste, a text set another way) is never
    // refused silently: a tip at the field and the status bar say why.
    for (BoundLineEdit* e : pages_->findChildren<BoundLineEdit*>()) {
        if (!e->telephone())
            continue;
        connect(e, &BoundLineEdit::inputRefused, this, [this, e] {
            const QString why = qs(core_.translateMessage(
                ru("Номер телефона не принят: после \"+\" допустимы только цифры, \"%\" и "
                   "\"'\", не больше 15")));
            QToolTip::showText(e->mapToGlobal(QPoint(0, e->height())), why, e);
            statusBar()->showMessage(why, 8000);
        });
    }
}

void MainWindow::buildOverlays(QWidget* clientArea) {
    // Placed where they work, above the tabs, hidden and disabled until opened.
    buildSensorListPanel(clientArea)->move(296, 160);
    QWidget* keyPanel = buildKeyPanel(clientArea);
    keyPanel->move(245, 120);
    keyGrid_ = new KeyGrid(keyPanel->findChild<QTableWidget*>("SGrid_key"), core_.model(),
                           [this](const std::string& t) { return core_.translateMessage(t); });
    const MakerFacts facts{
        windowIcon(), QString::fromStdString(programVersion()),
        QDir(QString::fromStdString(core_.logs().directory())).absolutePath(),
        readSupportContacts(supportContactFiles(installedDataFolder(executableFolder())))};
    maker_ = std::make_unique<MakerPanel>(buildMakerPanel(clientArea, facts));
    maker_->panel->move(204, 52);
    connect(maker_->close, &QPushButton::clicked, this, [this] { maker_->panel->hide(); });
    connect(maker_->web, &QPushButton::clicked, this, [this] {
        // Nothing is reported when the address cannot be opened.
        if (openUrl_)
            openUrl_(maker_->address->fullText());
    });
    connect(maker_->report, &QPushButton::clicked, this,
            [this] { guarded([this] { makeSupportReport(); }); });
}

void MainWindow::buildAllParts() {
    for (int i = 0; i < static_cast<int>(pendingPages_.size()); ++i)
        buildPage(i);
}

void MainWindow::buildPage(int index) {
    if (index < 0 || index >= static_cast<int>(pendingPages_.size()) ||
        !pendingPages_[static_cast<std::size_t>(index)])
        return;
    const auto build = std::move(pendingPages_[static_cast<std::size_t>(index)]);
    pendingPages_[static_cast<std::size_t>(index)] = nullptr;
    build();
    // The new controls show the model as every other control does: values,
    // lists, states and colours, the operations' captions, then the names.
    view_->renderAll();
    if (operations_)
        operations_->attach(pages_->widget(index));
    view_->updateAccessibleNames();
}

void MainWindow::showMakerPanel() {
    maker_->panel->setEnabled(true);
    maker_->panel->show();
    maker_->panel->raise();
}

void MainWindow::setSupportContacts(const SupportContacts& contacts) {
    showSupportContacts(*maker_, contacts);
}

void MainWindow::nameFixedOutputs() {
    const auto& names = OutputChoiceList::fixedOutputs();
    for (std::size_t i = 0; i < names.size(); ++i)
        fixedOutputs_[i] =
            qs(core_.language() == 'E' ? core_.dictionary().lookup("Eng", names[i]) : names[i]);
}

void MainWindow::startUp() {
    // The overlay panels are in place (built with the window). The first tab
    // is shown, the random generator seeded; the program directory is the
    // core's; the language is Russian.
    pages_->setCurrentIndex(0);
    core_.seedRandom();
    core_.setLanguage('R');
    installStandardTexts(true);
    {
        // Every control shows its field once, when the steps have filled them.
        ModelView::Hold hold(*view_);
        // The output choices and their defaults, with the wireless outputs.
        guarded([this] { core_.model().startUpChoices(); });
        // The framing strings are the framer's own and no port is connected yet.
        // The port list; no port is a message, and the program runs on.
        guarded([this] { core_.connection().fillPortList(); });
        // The clock fields and panels, the armed-state output's first item and
        // the activation reactions.
        guarded([this] { core_.model().startUpPanels(); });
    }
    showClock(core_.clock().localNow());
    view_->updateAccessibleNames();
    nameOverlayRows(this);
    // The two exchange logs, rewritten at every start; when they cannot be
    // made the remaining steps are skipped, the timers run all the same.
    const ExchangeLogs::Created created = core_.logs().createFiles();
    const bool logsMade = static_cast<bool>(created);
    if (!logsMade)
        core_.exchange().showError(platformNameText(created.path) + "\r\n" +
                                   fileFailureText(created.failure, [this](const std::string& t) {
                                       return core_.translateMessage(t);
                                   }));
    if (logsMade) {
        guarded([this] { core_.model().clearUsageRegistry(); });
        // The caret waits after the "+" of the first telephone.
        if (auto* first = qobject_cast<QLineEdit*>(view_->control("ME_tel1"))) {
            first->setFocus(Qt::OtherFocusReason);
            first->setCursorPosition(1);
        }
    }
    core_.exchange().start();
}

void MainWindow::installStandardTexts(bool russian) {
    // The standard buttons and dialogs speak the window's language.
    if (russian) {
        if (!qtRussian_) {
            qtRussian_ = std::make_unique<QTranslator>();
            if (!qtRussian_->load(QStringLiteral("qtbase_ru"),
                                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
                qtRussian_.reset();
                return;
            }
        }
        QCoreApplication::installTranslator(qtRussian_.get());
    } else if (qtRussian_) {
        QCoreApplication::removeTranslator(qtRussian_.get());
    }
}

void MainWindow::translateWindow(const char* section) {
    Dictionary& dict = core_.dictionary();
    checkDictionaryFile(dict, core_.language(), core_.prompts());
    auto lookup = [&dict, section](const std::string& text) { return dict.lookup(section, text); };
    dict.beginBatch();
    setWindowTitle(qs(lookup(cpOf(windowTitle()))));
    appTitle_ = lookup(appTitle_);
    if (qtPrompts_)
        qtPrompts_->setTitle(appTitle_);
    translateWidgetTree(this, lookup);
    dict.endBatch();
    // The output choices keep their items and selections; only the fixed
    // outputs change their names.
    nameFixedOutputs();
    view_->reloadOutputItems();
    view_->updateAccessibleNames();
    if (operations_)
        operations_->renderAll();
    nameOverlayRows(this);
}

void MainWindow::showHelp() {
    const std::string title =
        core_.language() == 'E' ? core_.dictionary().lookup("Eng", ru("Справка")) : ru("Справка");
    if (!help_)
        help_ = new HelpWindow(this);
    if (!help_->showGuide(guideFolder_, core_.language(), qs(title))) {
        core_.prompts().message(core_.translateMessage(ru("Руководство пользователя не найдено:")) +
                                "\r\n" + cpOf(HelpWindow::pageFor(guideFolder_, core_.language())));
        return;
    }
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void MainWindow::switchToEnglish() {
    // Every caption of the window is looked up, as if every page had been
    // built at start-up; so pages built later are only ever built in Russian.
    buildAllParts();
    if (core_.language() != 'R') {
        englishItem_->setChecked(true);
        return;
    }
    core_.setLanguage('E');
    translateWindow("Eng");
    installStandardTexts(false);
    retranslateComparisons();
    englishItem_->setChecked(true);
    russianItem_->setChecked(false);
    if (help_ && help_->isVisible())
        showHelp();
}

void MainWindow::switchToRussian() {
    // Every caption of the window is looked up, as if every page had been
    // built at start-up; so pages built later are only ever built in Russian.
    buildAllParts();
    if (core_.language() != 'E') {
        russianItem_->setChecked(true);
        return;
    }
    core_.setLanguage('R');
    translateWindow("Rus");
    installStandardTexts(true);
    retranslateComparisons();
    russianItem_->setChecked(true);
    englishItem_->setChecked(false);
    if (help_ && help_->isVisible())
        showHelp();
}

void MainWindow::requestExit() {
    if (core_.prompts().question(ru("Закрыть приложение?")))
        close();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    shutdown();
    event->accept();
}

void MainWindow::shutdown() {
    if (shutDown_)
        return;
    shutDown_ = true;
    core_.exchange().shutdown();
    core_.logs().saveMemo();
    core_.logs().closeFiles();
}

} // namespace t6
