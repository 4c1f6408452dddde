#include "ui/OperationPanels.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

#include "common/Cp1251.h"
#include "common/DeviceDimensions.h"
#include "core/AppCore.h"
#include "ui/KeyGrid.h"
#include "ui/ScopedCount.h"
#include "ui/TextConv.h"
#include "ui/WindowTranslator.h"
#include "wireless/SensorListBlock.h"

namespace t6 {

namespace {

void setEnabled(QWidget* w, bool on) {
    if (w && w->isEnabled() != on)
        w->setEnabled(on);
}

} // namespace

OperationPanels::OperationPanels(QWidget* root, AppCore& core, KeyGrid& keyGrid, QTabWidget& pages,
                                 Guard guard)
    : QObject(root), index_(root), core_(core), keyGrid_(keyGrid), pages_(pages),
      guard_(std::move(guard)) {
    connectKeys();
    connectSensorPanel();
    connectLearning();
    connectOutputs();
}

OperationPanels::~OperationPanels() {
    core_.keys().setObserver({});
    core_.keyFiles().setKeysChanged({});
    core_.wireless().zoneSensors().setObserver({});
    core_.wireless().remotes().setObserver({});
    core_.wireless().thermoCodes().setObserver({});
}

template <class W> W* OperationPanels::find(const QString& name) const {
    return (scope_ ? *scope_ : index_).find<W>(name);
}

void OperationPanels::attach(QWidget* part) {
    // The buttons of a part built later are connected like those built at
    // first; what the part shows is rendered at once.
    index_.add(part);
    const ObjectIndex scope(part);
    scope_ = &scope;
    connectKeys();
    connectSensorPanel();
    connectLearning();
    connectOutputs();
    scope_ = nullptr;
    renderAll();
}

void OperationPanels::onClick(const QString& name, std::function<void()> step) {
    if (auto* b = find<QPushButton>(name))
        connect(b, &QPushButton::clicked, this, [this, step = std::move(step)] { guard_(step); });
}

void OperationPanels::setText(QAbstractButton* b, const QString& text) {
    if (b && b->text() != text) {
        b->setText(text);
        captionsChanged_ = true;
    }
}

void OperationPanels::renameChanged() {
    // A button whose caption changed ("Читать" became "Отмена") is announced
    // by its new caption.
    if (captionsChanged_ && renamed_) {
        captionsChanged_ = false;
        renamed_();
    }
}

QString OperationPanels::caption(const std::string& russian) const {
    return qs(core_.language() == 'E' ? core_.dictionary().lookup("Eng", russian) : russian);
}

void OperationPanels::renderAll() {
    renderKeys();
    renderSensorPanel();
    renderRemotes();
    renderThermoCodes();
}

// ---- Keys ----

void OperationPanels::connectKeys() {
    KeyProgramming& keys = core_.keys();
    keys.setObserver([this](const KeyPanelState&) { renderKeys(); });
    core_.keyFiles().setKeysChanged([this] { keyGrid_.showKeys(); });
    onClick(QStringLiteral("BitBtn4"), [&keys] { keys.openPanel(); });
    if (auto* item = find<QAction>(QStringLiteral("N15")))
        connect(item, &QAction::triggered, this,
                [this, &keys] { guard_([&keys] { keys.openPanel(); }); });
    for (int k = 1; k <= TouchKeyCount; ++k)
        onClick(QStringLiteral("BB_ReadKey%1").arg(k), [&keys, k] { keys.readKey(k); });
    onClick(QStringLiteral("BitBtn6"), [&keys] { keys.save(); });
    onClick(QStringLiteral("BitBtn7"), [&keys] { keys.closePanel(); });
    onClick(QStringLiteral("BitBtn8"), [this] { core_.keyFiles().saveKeys(); });
    onClick(QStringLiteral("BitBtn9"), [this] { core_.keyFiles().loadKeys(); });
}

void OperationPanels::renderKeys() {
    ScopedCount r(rendering_);
    const KeyPanelState& s = core_.keys().state();
    if (auto* panel = find<QWidget>(QStringLiteral("Panel_key"))) {
        setEnabled(panel, s.enabled);
        if (panel->isHidden() == s.shown) {
            panel->setVisible(s.shown);
            if (s.shown)
                panel->raise();
        }
    }
    for (int k = 1; k <= TouchKeyCount; ++k) {
        auto* b = find<QPushButton>(QStringLiteral("BB_ReadKey%1").arg(k));
        const std::string& c = s.readCaptions[static_cast<std::size_t>(k - 1)];
        if (!c.empty())
            setText(b, caption(c));
        setEnabled(b, s.readEnabled[static_cast<std::size_t>(k - 1)]);
    }
    setEnabled(find<QWidget>(QStringLiteral("BitBtn7")), s.closeEnabled);
    for (const char* name : KeyProgramming::kLockedPanels)
        setEnabled(find<QWidget>(QString::fromLatin1(name)), s.otherPanelsEnabled);
    if (s.enableConnectButton)
        setEnabled(find<QWidget>(QStringLiteral("BitBtn3")), true);
    keyGrid_.showKeys();
    renameChanged();
}

// ---- The wireless zone sensor panel ----

void OperationPanels::connectSensorPanel() {
    ZoneSensorPanel& panel = core_.wireless().zoneSensors();
    panel.setObserver([this] { renderSensorPanel(); });
    for (int z = 1; z <= WirelessZoneCount; ++z)
        onClick(QStringLiteral("BP%1_chip").arg(z), [&panel, z] { panel.open(z); });
    for (int k = 1; k <= SensorSlots; ++k) {
        onClick(QStringLiteral("BP_chip_read%1").arg(k), [&panel, k] { panel.pressRead(k); });
        // Every change of a row's fields, typed or set another way, reaches the panel.
        if (auto* name = find<QLineEdit>(QStringLiteral("BP_chip_name%1").arg(k)))
            connect(name, &QLineEdit::textChanged, this, [this, &panel, k](const QString& t) {
                if (rendering_ == 0)
                    if (auto bytes = fromQs(t))
                        panel.setName(k, *bytes);
            });
        if (auto* code = find<QLineEdit>(QStringLiteral("BP_chip_kod%1").arg(k)))
            connect(code, &QLineEdit::textChanged, this, [this, &panel, k](const QString& t) {
                if (rendering_ == 0)
                    if (auto bytes = fromQs(t))
                        panel.setCode(k, *bytes);
            });
    }
    onClick(QStringLiteral("Write_all_BP_chip"), [&panel] { panel.write(); });
    onClick(QStringLiteral("close_panel_BP_chip"), [&panel] { panel.close(); });
    // The title carries the zone's number: it is rendered, not looked up.
    if (auto* title = find<QLabel>(QStringLiteral("Panel_BP_chip_Label")))
        title->setProperty(kNoTranslate, true);
}

void OperationPanels::renderSensorPanel() {
    ScopedCount r(rendering_);
    const ZoneSensorPanel& p = core_.wireless().zoneSensors();
    const ZoneSensorPanel::State& s = p.state();
    if (auto* panel = find<QWidget>(QStringLiteral("Panel_BP_chip"))) {
        setEnabled(panel, s.enabled);
        if (panel->isHidden() == s.shown) {
            panel->setVisible(s.shown);
            if (s.shown)
                panel->raise();
        }
    }
    if (auto* title = find<QLabel>(QStringLiteral("Panel_BP_chip_Label")))
        title->setText(s.zone > 0 ? caption(ru("Датчики. Зона")) + QString::number(s.zone)
                                  : caption(ru("Датчики. Вход")));
    if (auto* notice = find<QWidget>(QStringLiteral("Panel_BP_chip_mess")))
        notice->setVisible(s.noticeShown);
    for (int k = 1; k <= SensorSlots; ++k) {
        const SensorSlot& row = s.rows[static_cast<std::size_t>(k - 1)];
        if (auto* e = find<QLineEdit>(QStringLiteral("BP_chip_name%1").arg(k));
            e && e->text() != qs(row.name))
            e->setText(qs(row.name));
        if (auto* e = find<QLineEdit>(QStringLiteral("BP_chip_kod%1").arg(k));
            e && e->text() != qs(row.code))
            e->setText(qs(row.code));
        setText(find<QPushButton>(QStringLiteral("BP_chip_read%1").arg(k)), caption(p.caption(k)));
    }
    setEnabled(&pages_, s.tabsEnabled);
    renameChanged();
}

// ---- Learning the codes of remote controls and temperature sensors ----

void OperationPanels::connectLearning() {
    RemoteLearning& remotes = core_.wireless().remotes();
    remotes.setObserver([this] { renderRemotes(); });
    for (int k = 1; k <= RemoteControlCount; ++k)
        onClick(QStringLiteral("RP_ReadPylt%1").arg(k), [&remotes, k] { remotes.press(k); });
    ThermoCodeLearning& thermo = core_.wireless().thermoCodes();
    thermo.setObserver([this] { renderThermoCodes(); });
    for (int k = 1; k <= WirelessSensorCount; ++k)
        onClick(QStringLiteral("BTD_read%1").arg(k), [&thermo, k] { thermo.press(k); });
}

void OperationPanels::renderRemotes() {
    const RemoteLearning& remotes = core_.wireless().remotes();
    for (int k = 1; k <= remotes.rows(); ++k)
        setText(find<QPushButton>(QStringLiteral("RP_ReadPylt%1").arg(k)),
                caption(remotes.caption(k)));
    renameChanged();
}

void OperationPanels::renderThermoCodes() {
    const ThermoCodeLearning& thermo = core_.wireless().thermoCodes();
    for (int k = 1; k <= thermo.rows(); ++k)
        setText(find<QPushButton>(QStringLiteral("BTD_read%1").arg(k)), caption(thermo.caption(k)));
    renameChanged();
}

// ---- The attach and test buttons of the wireless outputs ----

void OperationPanels::connectOutputs() {
    WirelessOutputSwitch& outputs = core_.wireless().outputs();
    for (int n = 1; n <= WirelessOutputCount; ++n) {
        onClick(QStringLiteral("BB_attach_bout%1").arg(n), [&outputs, n] { outputs.attach(n); });
        onClick(QStringLiteral("bb_in_bout%1").arg(n), [&outputs, n] { outputs.switchOn(n); });
        onClick(QStringLiteral("bb_out_bout%1").arg(n), [&outputs, n] { outputs.switchOff(n); });
    }
}

} // namespace t6
