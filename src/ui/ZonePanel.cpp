// The zone panels, wired and wireless: activation, message, input type,
// 24-hour control, the action area with its four rows, the telephones.

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/PanelKit.h"
#include "ui/Panels.h"

namespace t6 {

namespace {

QString zoneName(ZoneRef z, const char* wired, const char* wireless) {
    return QString::fromLatin1(z.wireless ? wireless : wired).arg(z.number);
}

// The four rows of the action area: tick box and output on one line, minutes,
// seconds and "Вкл. всегда" on the next.
void addRows(PanelKit& kit, QWidget* panel, QFrame* area, QVBoxLayout* lines, QLabel* header,
             ZoneRef z) {
    for (int row = 1; row <= ZoneActionCount; ++row) {
        const Member tick{FieldRole::RowEnabled, z.number, row, z.wireless};
        auto* box = kit.check(area, tick, {panel, header});
        box->setText(QString::number(row));
        const std::vector<QWidget*> ctx{panel, header, box};
        auto* output = kit.combo(area, {FieldRole::RowOutput, z.number, row, z.wireless}, ctx);
        auto* minutes = kit.spin(area, {FieldRole::RowMinutes, z.number, row, z.wireless}, ctx, 30);
        minutes->setToolTip(u("Минуты (0-500)"));
        auto* seconds = kit.spin(area, {FieldRole::RowSeconds, z.number, row, z.wireless}, ctx, 24);
        seconds->setToolTip(u("Секунды (0-59)"));
        auto* always = kit.check(area, {FieldRole::RowAlwaysOn, z.number, row, z.wireless}, ctx);
        // Tight, so that the output's name has what room the narrow wireless
        // panels leave; a longer one is whole in the list's tip.
        auto* first = new QHBoxLayout;
        first->setSpacing(1);
        first->addWidget(box);
        first->addWidget(output, 1);
        lines->addLayout(first);
        lines->addLayout(PanelKit::row({minutes, seconds, always}, 2));
    }
}
} // namespace

QGroupBox* buildZonePanel(PanelKit& kit, QWidget* parent, ZoneRef z) {
    ConfigModel& m = kit.model();
    ModelView& view = kit.view();
    const bool w = z.wireless;
    auto* panel =
        PanelKit::panel(parent, zoneName(z, "Panel_in%1", "Panel_bp%1"),
                        w ? u("Беспроводная Зона%1").arg(z.number) : u("Зона %1").arg(z.number));
    view.follow(panel, {}, [&m, z] { return m.zonePanelLook(z); });
    auto* g = PanelKit::grid(panel);
    const std::vector<QWidget*> ctx{panel};
    int r = 0;

    g->addWidget(kit.check(panel, {FieldRole::ZoneActive, z.number, 0, w}, ctx), r++, 0, 1, 2);
    g->addWidget(kit.check(panel, {FieldRole::ZoneControl24h, z.number, 0, w}, ctx), r++, 0, 1, 2);

    // The message (up to 25 characters) and the input types (long names) take
    // the panel's whole width under their labels; a type breaks into two lines.
    auto* message = kit.edit(panel, {FieldRole::ZoneMessage, z.number, 0, w}, ctx);
    g->addWidget(kit.label(panel, u("Сообщение"), message), r++, 0, 1, 2);
    g->addWidget(message, r++, 0, 1, 2);
    if (!w) {
        auto* type = kit.combo(panel, {FieldRole::ZoneInputType, z.number}, ctx);
        type->setWordWrap(true);
        g->addWidget(kit.label(panel, u("Тип входа"), type), r++, 0, 1, 2);
        g->addWidget(type, r++, 0, 1, 2);
    }
    // Never shown: follows the activation and decides over the action area.
    kit.check(panel, {FieldRole::ZoneOutputsEnabled, z.number, 0, w}, ctx);

    auto* area = new QFrame(panel);
    area->setObjectName(zoneName(z, "Panel%1_2", "Panel%1_2_bp"));
    area->setFrameShape(QFrame::StyledPanel);
    view.follow(
        area, [&m, z] { return m.actionAreaEnabled(z); }, [&m, z] { return m.actionAreaLook(z); });
    auto* lines = new QVBoxLayout(area);
    lines->setContentsMargins(1, 2, 1, 2);
    lines->setSpacing(1);
    auto* header = kit.label(area, u("Время включения: до 500 мин."));
    header->setWordWrap(true);
    lines->addWidget(header);
    addRows(kit, panel, area, lines, header, z);
    g->addWidget(area, r++, 0, 1, 2);

    auto* phones = kit.label(panel, u("отправлять на телефон №"));
    phones->setWordWrap(true);
    g->addWidget(phones, r++, 0, 1, 2);
    std::vector<QWidget*> boxes;
    for (int t = 1; t <= TelephoneCount; ++t) {
        auto* b = kit.check(panel, {FieldRole::ZonePhone, z.number, t, w}, {panel, phones});
        b->setFixedWidth(29);
        boxes.push_back(b);
    }
    auto* phoneRow = PanelKit::row({}, 2);
    for (QWidget* b : boxes)
        phoneRow->insertWidget(phoneRow->count() - 1, b);
    g->addLayout(phoneRow, r++, 0, 1, 2);
    if (w) {
        const QByteArray name = QStringLiteral("BP%1_chip").arg(z.number).toLatin1();
        auto* sensors = kit.button(panel, name.constData(), u("Датчики"), ctx);
        view.follow(sensors, [&m, z] { return m.sensorsButtonEnabled(z.number); });
        g->addWidget(sensors, r++, 0, 1, 2);
    }
    g->setRowStretch(r, 1);
    g->setColumnStretch(1, 1);
    return panel;
}

} // namespace t6
