// "Радиопульты": the ten remote controls with their names and codes, and the
// output that button 4 of a remote control switches.

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "ui/PanelKit.h"
#include "ui/Panels.h"

namespace t6 {

QGroupBox* buildRemotePanel(PanelKit& kit, QWidget* parent) {
    auto* panel = PanelKit::panel(parent, QStringLiteral("Panel_radio_Pylt"), u("Радиопульты"));
    auto* g = PanelKit::grid(panel, 4);
    g->setHorizontalSpacing(4);
    constexpr int kPerBlock = 5;
    constexpr int kNameWidth = 130;
    constexpr int kCodeWidth = 76;
    constexpr int kColumns = 5; // number, name, code, button, gap
    constexpr int kBlocks = RemoteControlCount / kPerBlock;
    static_assert(kBlocks * kPerBlock == RemoteControlCount);
    for (int block = 0; block < kBlocks; ++block) {
        const int c0 = block * kColumns;
        auto* nameHead = kit.label(panel, u("Название"));
        auto* codeHead = kit.label(panel, u("Код"));
        g->addWidget(nameHead, 0, c0 + 1);
        g->addWidget(codeHead, 0, c0 + 2);
        for (int i = 0; i < kPerBlock; ++i) {
            const int k = block * kPerBlock + i + 1;
            auto* number = kit.label(panel, QStringLiteral("%1.").arg(k));
            auto* name = kit.edit(panel, {FieldRole::RemoteName, k}, {panel, number, nameHead});
            auto* code = kit.edit(panel, {FieldRole::RemoteCode, k}, {panel, number, codeHead});
            // Ten and six characters, wide letters too.
            name->setFixedWidth(kNameWidth);
            code->setFixedWidth(kCodeWidth);
            const QByteArray button = QStringLiteral("RP_ReadPylt%1").arg(k).toLatin1();
            auto* read = kit.button(panel, button.constData(), u("Читать"), {panel, number});
            g->addWidget(number, i + 1, c0, Qt::AlignRight);
            g->addWidget(name, i + 1, c0 + 1);
            g->addWidget(code, i + 1, c0 + 2);
            g->addWidget(read, i + 1, c0 + 3);
        }
        g->setColumnMinimumWidth(c0 + 4, 16);
    }

    // Button 4: switch an output for some seconds, or toggle it.
    const int c = kBlocks * kColumns;
    auto* heading = kit.label(panel, u("При нажатии кнопки 4"));
    g->addWidget(heading, 0, c, 1, 3);
    auto* on = kit.check(panel, {FieldRole::Button4On}, {panel, heading});
    auto* output = kit.combo(panel, {FieldRole::Button4Output}, {panel, heading, on});
    // As wide as the name of a four-channel output with its channel.
    output->setFixedWidth(200);
    g->addWidget(on, 1, c);
    g->addWidget(output, 1, c + 1, 1, 2);
    auto* seconds = kit.spin(panel, {FieldRole::Button4Seconds}, {panel, heading}, 52);
    g->addWidget(kit.label(panel, u("на время"), seconds), 2, c, Qt::AlignRight);
    g->addLayout(PanelKit::row({seconds, kit.label(panel, u("сек"))}), 2, c + 1, 1, 2);
    g->addWidget(kit.check(panel, {FieldRole::Button4Toggle}, {panel, heading}), 3, c + 1, 1, 2);
    g->setColumnStretch(c + 3, 1);
    g->setRowStretch(kPerBlock + 1, 1);
    return panel;
}

} // namespace t6
