// The temperature sensor panels, wired and wireless: activation, thresholds,
// telephones and the thermostat with its output; a wireless sensor also has
// its name, its radio code and the button that reads the code.

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "ui/PanelKit.h"
#include "ui/Panels.h"

namespace t6 {

QGroupBox* buildSensorPanel(PanelKit& kit, QWidget* parent, SensorRef s) {
    ConfigModel& m = kit.model();
    ModelView& view = kit.view();
    const bool w = s.wireless;
    const int n = s.number;
    const QString t = (w ? QStringLiteral("btd%1") : QStringLiteral("td%1")).arg(n);
    auto* panel =
        PanelKit::panel(parent, QStringLiteral("Panel_") + t,
                        w ? u("Беспроводной термодатчик %1").arg(n) : u("Термодатчик %1").arg(n));
    view.follow(panel, {}, [&m, s] { return m.sensorPanelLook(s); });
    auto* g = PanelKit::grid(panel);
    const std::vector<QWidget*> ctx{panel};
    int r = 0;

    g->addWidget(kit.check(panel, {FieldRole::SensorActive, n, 0, w}, ctx), r++, 0, 1, 4);
    if (w) {
        auto* name = kit.edit(panel, {FieldRole::SensorName, n, 0, true}, ctx);
        g->addWidget(kit.label(panel, u("Название"), name), r, 0);
        g->addWidget(name, r++, 1, 1, 3);
        auto* code = kit.edit(panel, {FieldRole::SensorCode, n, 0, true}, ctx);
        const QByteArray readName = QStringLiteral("BTD_read%1").arg(n).toLatin1();
        auto* read = kit.button(panel, readName.constData(), u("Читать"), ctx);
        view.follow(read, [&m, n] { return m.sensorReadButtonEnabled(n); });
        g->addWidget(kit.label(panel, u("Код"), code), r, 0);
        g->addWidget(code, r, 1, 1, 2);
        g->addWidget(read, r++, 3);
    }

    auto* thresholds = kit.label(panel, u("Пороги опасной температуры (-55 -:- +125)"));
    thresholds->setWordWrap(true);
    g->addWidget(thresholds, r++, 0, 1, 4);
    const std::vector<QWidget*> tctx{panel, thresholds};
    // Wide enough for "125" beside the arrows.
    constexpr int kDegrees = 48;
    auto* low = kit.spin(panel, {FieldRole::SensorLowAlarm, n, 0, w}, tctx, kDegrees);
    auto* high = kit.spin(panel, {FieldRole::SensorHighAlarm, n, 0, w}, tctx, kDegrees);
    auto* lowLabel = kit.label(panel, QStringLiteral("Min"), low);
    auto* highLabel = kit.label(panel, QStringLiteral("Max"), high);
    g->addWidget(lowLabel, r, 0);
    if (w) {
        // A wireless sensor's panel is wide and low: both limits on one line.
        g->addLayout(PanelKit::row({low, kit.label(panel, u("С*")), highLabel, high,
                                    kit.label(panel, u("С*"))}),
                     r++, 1, 1, 3);
    } else {
        g->addLayout(PanelKit::row({low, kit.label(panel, u("С*"))}), r++, 1, 1, 3);
        g->addWidget(highLabel, r, 0);
        g->addLayout(PanelKit::row({high, kit.label(panel, u("С*"))}), r++, 1, 1, 3);
    }

    auto* phones = kit.label(panel, u("Отправлять SMS на телефон №"));
    phones->setWordWrap(true);
    g->addWidget(phones, r++, 0, 1, 4);
    auto* phoneRow = PanelKit::row({}, 0);
    for (int p = 1; p <= TelephoneCount; ++p) {
        auto* b = kit.check(panel, {FieldRole::SensorPhone, n, p, w}, {panel, phones});
        b->setFixedWidth(28);
        phoneRow->insertWidget(phoneRow->count() - 1, b);
    }
    g->addLayout(phoneRow, r++, 0, 1, 4);

    // The thermostat: hold the temperature between economy and comfort by
    // switching an output.
    auto* thermo = new QFrame(panel);
    thermo->setObjectName(QStringLiteral("Panel_") + t + QStringLiteral("_2"));
    thermo->setFrameShape(QFrame::StyledPanel);
    auto* tg = PanelKit::grid(thermo, 2);
    auto* hold = kit.check(thermo, {FieldRole::SensorThermostat, n, 0, w}, ctx);
    hold->setWordWrap(true);
    tg->addWidget(hold, 0, 0, 1, 2);
    const std::vector<QWidget*> hctx{panel, hold};
    auto* comfort = kit.spin(thermo, {FieldRole::SensorComfort, n, 0, w}, hctx, kDegrees);
    auto* economy = kit.spin(thermo, {FieldRole::SensorEconomy, n, 0, w}, hctx, kDegrees);
    int tr = 1;
    tg->addWidget(kit.label(thermo, u("Комфорт"), comfort), tr, 0);
    auto* economyLabel = kit.label(thermo, u("Эконом"), economy);
    if (w) {
        tg->addLayout(PanelKit::row({comfort, economyLabel, economy}), tr++, 1);
    } else {
        tg->addWidget(comfort, tr++, 1, Qt::AlignLeft);
        tg->addWidget(economyLabel, tr, 0);
        tg->addWidget(economy, tr++, 1, Qt::AlignLeft);
    }
    auto* output = kit.combo(thermo, {FieldRole::SensorOutput, n, 0, w}, hctx);
    auto* apply = kit.label(thermo, u("Применить для выхода:"), output);
    apply->setWordWrap(true);
    tg->addWidget(apply, tr++, 0, 1, 2);
    tg->addWidget(output, tr++, 0, 1, 2);
    auto* automatic = kit.check(thermo, {FieldRole::SensorAuto, n, 0, w}, hctx);
    automatic->setWordWrap(true);
    tg->addWidget(automatic, tr++, 0, 1, 2);
    tg->setColumnStretch(1, 1);
    g->addWidget(thermo, r++, 0, 1, 4);

    g->setRowStretch(r, 1);
    g->setColumnStretch(1, 1);
    return panel;
}

} // namespace t6
