// The main window's bottom bar (signal level, the exchange buttons, the
// manual port box) and its status bar, and what the exchange operations show
// in them.

#include "ui/MainWindow.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <iterator>

#include "common/Cp1251.h"
#include "ui/ElidedLabel.h"
#include "ui/ModelView.h"
#include "ui/PanelKit.h"
#include "ui/PortComboBox.h"
#include "ui/TextConv.h"
#include "ui/WindowTranslator.h"

namespace t6 {

void MainWindow::buildBottomBar() {
    auto* panel = new QWidget(this);
    panel->setObjectName("Panel6");
    panel->setFixedHeight(47);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(2, 1, 2, 1);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(1);

    auto* row1 = new QHBoxLayout;
    auto* caption = new QLabel(u("Уровень сигнала"), panel);
    caption->setObjectName("Label_YrSignal");
    gauge_ = new QProgressBar(panel);
    gauge_->setObjectName("Gauge_Signal");
    gauge_->setRange(0, 100);
    gauge_->setValue(0);
    gauge_->setFixedSize(160, 18);
    view_->nameAfter(gauge_, {caption});
    auto* refresh = new QPushButton(u("Обновить"), panel);
    refresh->setObjectName("Button_YrSignal");
    refresh->setFixedHeight(21);
    connect(refresh, &QPushButton::clicked, this,
            [this] { guarded([this] { core_.signal().refresh(); }); });
    signalText_ = new QLabel(QStringLiteral("."), panel);
    signalText_->setObjectName("Label_Signal");
    signalText_->setProperty(kNoTranslate, true);
    signalText_->setMinimumWidth(90);
    row1->addWidget(caption);
    row1->addWidget(gauge_);
    row1->addWidget(refresh);
    row1->addWidget(signalText_);
    // The site the versions of the reads and writes are kept under.
    auto* siteLabel = new QLabel(u("Объект:"), panel);
    siteLabel->setObjectName("Label_Site");
    auto* site = new QLineEdit(panel);
    site->setObjectName("Edit_Site");
    site->setMaxLength(60);
    site->setFixedWidth(160);
    site->setToolTip(u("Под этим именем объекта чтения и записи сохраняются в истории версий"));
    siteLabel->setBuddy(site);
    view_->nameAfter(site, {siteLabel});
    connect(site, &QLineEdit::textChanged, this,
            [this](const QString& text) { core_.setSite(text.trimmed().toStdString()); });
    row1->addSpacing(12);
    row1->addWidget(siteLabel);
    row1->addWidget(site);
    row1->addStretch(1);
    portComboLabel_ = new QLabel(u("Ручной режим выбора COM-порта:"), panel);
    portComboLabel_->setObjectName("Label161");
    portCombo_ = new PortComboBox(panel);
    portCombo_->setBeforePopup(
        [this] { guarded([this] { core_.connection().refreshPortList(); }); });
    portCombo_->setObjectName("ComboBox1");
    portCombo_->setEditable(true);
    // A port path is kept in the system's encoding: it is opened as the system
    // names it and converted only where it is shown.
    portCombo_->setMinimumWidth(160);
    portCombo_->setProperty(kNoTranslate, true);
    portComboLabel_->setBuddy(portCombo_);
    portCombo_->lineEdit()->setToolTip(u("Имя порта"));
    view_->nameAfter(portCombo_, {portComboLabel_});
    view_->nameAfter(portCombo_->lineEdit(), {portComboLabel_});
    portComboLabel_->hide();
    portCombo_->hide();
    portCombo_->setEnabled(false);
    connect(portCombo_, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        const std::string name = text.toLocal8Bit().toStdString();
        guarded([this, &name] { core_.connection().setComboText(name); });
    });
    row1->addWidget(portComboLabel_);
    row1->addWidget(portCombo_);
    grid->addLayout(row1, 0, 0);

    auto* row2 = new QHBoxLayout;
    struct B {
        const char* name;
        const char* caption;
    };
    const B buttons[] = {{"BitBtn4", "Программирование ключей ТМ"},
                         {"BitBtn1", "Запись настроек в память прибора"},
                         {"BitBtn2", "Чтение настроек из памяти прибора"},
                         {"BitBtn3", "Соединить"}};
    for (const B& b : buttons) {
        auto* btn = new QPushButton(u(b.caption), panel);
        btn->setObjectName(QString::fromLatin1(b.name));
        btn->setFixedHeight(22);
        row2->addWidget(btn);
    }
    connectButton_ = panel->findChild<QPushButton*>("BitBtn3");
    connect(connectButton_, &QPushButton::clicked, this,
            [this] { guarded([this] { core_.connection().connect(); }); });
    connect(panel->findChild<QPushButton*>("BitBtn1"), &QPushButton::clicked, this,
            [this] { guarded([this] { core_.configWrite().writeConfiguration(); }); });
    connect(panel->findChild<QPushButton*>("BitBtn2"), &QPushButton::clicked, this,
            [this] { guarded([this] { core_.configRead().readConfiguration(); }); });
    grid->addLayout(row2, 1, 0);
}

void MainWindow::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar1");
    bar->setSizeGripEnabled(false);
    // One panel for each entry of statusPanels_.
    const int widths[] = {250, 200, 80, 150};
    for (int i = 0; i < std::ssize(widths); ++i) {
        auto* l = new ElidedLabel(bar);
        l->setObjectName(QStringLiteral("StatusBar1_Panel%1").arg(i));
        l->setFixedWidth(widths[i]);
        l->setProperty(kNoTranslate, true);
        if (i >= 2)
            l->setAlignment(Qt::AlignCenter);
        bar->addWidget(l);
        statusPanels_[i] = l;
    }
    // Offered while a long operation waits without a time limit of its own.
    cancelButton_ = new QPushButton(u("Отмена"), bar);
    cancelButton_->setObjectName("Button_Cancel");
    cancelButton_->setFixedHeight(20);
    cancelButton_->setAutoDefault(false);
    cancelButton_->hide();
    connect(cancelButton_, &QPushButton::clicked, this,
            [this] { guarded([this] { core_.exchange().cancelActivity(); }); });
    bar->addWidget(cancelButton_);
}

void MainWindow::showPortState(const std::string& text) {
    portState_ = text;
    if (activity_.text.empty())
        statusPanels_[0]->setFullText(qs(text));
}

void MainWindow::showActivity(const Activity& activity) {
    activity_ = activity;
    ElidedLabel* panel = statusPanels_[0];
    cancelButton_->setVisible(!activity.text.empty() && activity.cancellable);
    if (activity.text.empty()) {
        panel->setFullText(qs(portState_));
        panel->setStyleSheet({});
        return;
    }
    // The stage in place of the port state; the whole text in the tip.
    panel->setFullText(qs(activity.text), Qt::ElideRight);
    panel->setStyleSheet(activity.alert ? QStringLiteral("color: #C00000; font-weight: bold;")
                                        : QString());
}

void MainWindow::showNotice(const std::string& text) {
    statusBar()->showMessage(qs(text), 15000);
}

void MainWindow::showConnection(const std::string& text) {
    statusPanels_[1]->setFullText(qs(text));
}

void MainWindow::showClock(const LocalTime& now) {
    statusPanels_[2]->setFullText(QString::fromStdString(shortDateText(now)));
    statusPanels_[3]->setFullText(QString::fromStdString(longTimeText(now)));
    // The time field follows the computer's clock while its box is ticked.
    guarded([this] { core_.model().clockTick(); });
}

void MainWindow::showConnected(const std::string& caption) {
    connectButton_->setText(qs(caption));
    connectButton_->setEnabled(false);
}

void MainWindow::showPortList(const std::vector<std::string>& ports) {
    portCombo_->setPorts(ports, core_.exchange().port().portDetails());
    if (!ports.empty() && core_.connection().comboText().empty())
        core_.connection().setComboText(portCombo_->currentText().toLocal8Bit().toStdString());
}

void MainWindow::showManualMode(bool on) {
    manualItem_->setChecked(on);
    portComboLabel_->setVisible(on);
    portCombo_->setVisible(on);
    portCombo_->setEnabled(on);
}

void MainWindow::showSignal(int gauge, const std::string& text, bool red) {
    gauge_->setValue(gauge);
    signalText_->setText(qs(text));
    signalText_->setStyleSheet(red ? QStringLiteral("color: #FF0000;") : QString());
}

} // namespace t6
