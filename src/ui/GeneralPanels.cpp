// The first page's general panels: the telephones with the device's clock,
// and the arming and general options.

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/PanelKit.h"
#include "ui/Panels.h"

namespace t6 {

namespace {

// A row of the five telephone boxes of a group.
QHBoxLayout* phoneBoxes(PanelKit& kit, QWidget* parent, FieldRole role,
                        std::vector<QWidget*> context) {
    auto* h = PanelKit::row({}, 2);
    for (int t = 1; t <= TelephoneCount; ++t) {
        auto* b = kit.check(parent, {role, 0, t}, context);
        b->setFixedWidth(29);
        h->insertWidget(h->count() - 1, b);
    }
    return h;
}

QLabel* heading(PanelKit& kit, QWidget* parent, const char* utf8) {
    auto* l = kit.label(parent, u(utf8));
    l->setWordWrap(true);
    return l;
}

QVBoxLayout* column() {
    auto* v = new QVBoxLayout;
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(1);
    return v;
}

} // namespace

QGroupBox* buildTelephonePanel(PanelKit& kit, QWidget* parent) {
    auto* panel =
        PanelKit::panel(parent, QStringLiteral("Panel4"), u("Список телефонов для оповещения"));
    auto* g = PanelKit::grid(panel);
    const std::vector<QWidget*> ctx{panel};
    for (int t = 1; t <= TelephoneCount; ++t) {
        auto* tel = kit.edit(panel, {FieldRole::Telephone, t}, ctx);
        tel->setToolTip(u("Номер телефона: + и не более 15 цифр"));
        g->addWidget(kit.label(panel, u("Номер %1 --").arg(t), tel), t - 1, 0);
        g->addWidget(tel, t - 1, 1, 1, 3);
    }
    auto* time = kit.edit(panel, {FieldRole::DeviceTime}, ctx);
    auto* date = kit.edit(panel, {FieldRole::DeviceDate}, ctx);
    time->setReadOnlyWhenDisabled(true);
    date->setReadOnlyWhenDisabled(true);
    // As wide as their eight characters need, so that the longest telephone
    // label keeps its room in the panel's fixed width.
    const int clockWidth = time->fontMetrics().horizontalAdvance(QStringLiteral("00.00.00")) + 12;
    time->setFixedWidth(clockWidth);
    date->setFixedWidth(clockWidth);
    g->addWidget(kit.label(panel, u("Время"), time), 5, 0);
    g->addWidget(time, 5, 1);
    g->addWidget(kit.label(panel, u("Дата"), date), 5, 2, Qt::AlignRight);
    g->addWidget(date, 5, 3);
    auto* sync = kit.check(panel, {FieldRole::ClockFromPc}, ctx);
    sync->setWordWrap(true);
    g->addWidget(sync, 6, 0, 1, 4);
    g->setRowStretch(7, 1);
    g->setColumnStretch(1, 1);
    return panel;
}

QWidget* buildOptionsPanel(PanelKit& kit, QWidget* parent) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QStringLiteral("Panel5"));
    panel->setFrameShape(QFrame::StyledPanel);
    auto* columns = new QHBoxLayout(panel);
    columns->setContentsMargins(4, 3, 4, 3);
    columns->setSpacing(10);

    // Delays, the entry delay of each zone, the arming method, the armed-state output.
    auto* a = column();
    auto* delays = heading(kit, panel, "Время задержки: 0-250(c)");
    a->addWidget(delays);
    auto* arming = kit.spin(panel, {FieldRole::ArmingDelay}, {delays});
    auto* disarming = kit.spin(panel, {FieldRole::DisarmingDelay}, {delays});
    a->addLayout(PanelKit::row({kit.label(panel, u("Постановка -"), arming), arming,
                                kit.label(panel, u("Снятие -"), disarming), disarming}));
    auto* wired = kit.label(panel, u("для проводных:"));
    auto* wiredRow = PanelKit::row({wired}, 1);
    for (int z = 1; z <= WiredZoneCount; ++z) {
        auto* b = kit.check(panel, {FieldRole::EntryDelay, z, 0, false}, {delays, wired});
        b->setFixedWidth(28);
        wiredRow->insertWidget(wiredRow->count() - 1, b);
    }
    a->addLayout(wiredRow);
    auto* wireless = kit.label(panel, u("для беспроводных:"));
    a->addWidget(wireless);
    auto* wirelessRow = PanelKit::row({}, 1);
    for (int z = 1; z <= WirelessZoneCount; ++z) {
        auto* b = kit.check(panel, {FieldRole::EntryDelay, z, 0, true}, {delays, wireless});
        b->setFixedWidth(28);
        wirelessRow->insertWidget(wirelessRow->count() - 1, b);
    }
    a->addLayout(wirelessRow);
    auto* method = kit.combo(panel, {FieldRole::ArmingMethod});
    method->setFixedWidth(170);
    a->addLayout(PanelKit::row({kit.label(panel, u("Способ"), method), method}));
    a->addWidget(kit.radio(panel, {FieldRole::ArmedIndicator}));
    a->addStretch(1);
    columns->addLayout(a);

    // Whom the SMS on arming and disarming and the supply-voltage report go to.
    auto* b = column();
    auto* smsIn = heading(kit, panel, "Отправлять SMS при постановке");
    b->addWidget(smsIn);
    b->addLayout(phoneBoxes(kit, panel, FieldRole::SmsOnArming, {smsIn}));
    auto* smsOut = heading(kit, panel, "Отправлять SMS при снятии");
    b->addWidget(smsOut);
    b->addLayout(phoneBoxes(kit, panel, FieldRole::SmsOnDisarming, {smsOut}));
    auto* volt = kit.check(panel, {FieldRole::SupplyVoltageReport});
    volt->setWordWrap(true);
    b->addWidget(volt);
    b->addLayout(phoneBoxes(kit, panel, FieldRole::SupplyVoltagePhone, {volt}));
    b->addWidget(kit.check(panel, {FieldRole::ExternalUps}, {volt}));
    auto* beep = kit.check(panel, {FieldRole::ArmingBeep});
    beep->setWordWrap(true);
    b->addWidget(beep);
    auto* timeInSms = kit.check(panel, {FieldRole::TimeInSms});
    timeInSms->setWordWrap(true);
    b->addWidget(timeInSms);
    b->addStretch(1);
    columns->addLayout(b);

    // What the device does on an alarm and on an incoming call, the volumes,
    // the output switched on at arming.
    auto* c = column();
    auto* alarm = kit.label(panel, u("При тревоге :"));
    c->addLayout(PanelKit::row({alarm, kit.check(panel, {FieldRole::AlarmSms}, {alarm}),
                                kit.check(panel, {FieldRole::AlarmCall}, {alarm})}));
    auto* call = heading(kit, panel, "Действие при входящем звонке");
    c->addWidget(call);
    c->addWidget(kit.check(panel, {FieldRole::StatusSmsOnCall}, {call}));
    auto* mic = kit.check(panel, {FieldRole::MicAndSpeakerOnCall}, {call});
    mic->setWordWrap(true);
    c->addWidget(mic);
    auto* volume = kit.label(panel, u("Громкость:"));
    c->addWidget(volume);
    auto* micVolume = kit.spin(panel, {FieldRole::MicrophoneVolume}, {volume}, 40);
    auto* speakerVolume = kit.spin(panel, {FieldRole::SpeakerVolume}, {volume}, 40);
    c->addLayout(PanelKit::row({kit.label(panel, u("Микрофон"), micVolume), micVolume,
                                kit.label(panel, u("Динамики"), speakerVolume), speakerVolume}));
    auto* armingOn = kit.check(panel, {FieldRole::ArmingOutputOn});
    armingOn->setWordWrap(true);
    c->addWidget(armingOn);
    // The column's whole width: an output's name with its channel is long.
    auto* armingOutput = kit.combo(panel, {FieldRole::ArmingOutput}, {armingOn});
    c->addWidget(armingOutput);
    c->addStretch(1);
    columns->addLayout(c);

    // Kept for the configuration file only: never shown.
    kit.radio(panel, {FieldRole::MessageLanguage});
    kit.combo(panel, {FieldRole::SirenOutput});
    return panel;
}

} // namespace t6
