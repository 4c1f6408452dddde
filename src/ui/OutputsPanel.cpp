// The page of the wireless outputs: under the column headings, one row per
// output with its used box, its panel (name, code, type, "Привязать") and the
// two test buttons.

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "ui/PanelKit.h"
#include "ui/Panels.h"

namespace t6 {

namespace {

constexpr int kUsedWidth = 170;
constexpr int kNameWidth = 132; // ten wide letters
constexpr int kCodeWidth = 84;
constexpr int kTypeWidth = 190;
constexpr int kAttachWidth = 90;
constexpr int kTestWidth = 60;
constexpr int kGap = 6;

QHBoxLayout* line(int margin) {
    auto* h = new QHBoxLayout;
    h->setContentsMargins(margin, 0, margin, 0);
    h->setSpacing(kGap);
    return h;
}

QLabel* head(PanelKit& kit, QWidget* parent, const char* utf8, int width) {
    auto* l = kit.label(parent, u(utf8));
    l->setFixedWidth(width);
    return l;
}

} // namespace

QWidget* buildOutputsPanel(PanelKit& kit, QWidget* parent) {
    ConfigModel& m = kit.model();
    ModelView& view = kit.view();
    auto* panel = new QFrame(parent);
    panel->setObjectName(QStringLiteral("Panel3"));
    panel->setFrameShape(QFrame::StyledPanel);
    auto* rows = new QVBoxLayout(panel);
    rows->setContentsMargins(8, 6, 8, 6);
    rows->setSpacing(3);

    // The headings stand over the columns of the rows below.
    auto* header = line(0);
    auto* used = head(kit, panel, "Использовать", kUsedWidth);
    header->addWidget(used);
    auto* inner = line(3);
    auto* name = head(kit, panel, "Название", kNameWidth);
    auto* code = head(kit, panel, "Адрес (Код)", kCodeWidth);
    auto* type = head(kit, panel, "Тип Выхода", kTypeWidth);
    inner->addWidget(name);
    inner->addWidget(code);
    inner->addWidget(type);
    inner->addSpacing(kAttachWidth);
    header->addLayout(inner);
    auto* test = head(kit, panel, "Проверка", 2 * kTestWidth + kGap);
    header->addWidget(test);
    header->addStretch(1);
    rows->addLayout(header);

    for (int n = 1; n <= WirelessOutputCount; ++n) {
        auto* row = line(0);
        auto* box = kit.check(panel, {FieldRole::OutputUsed, n});
        box->setFixedWidth(kUsedWidth);
        row->addWidget(box);

        auto* area = new QFrame(panel);
        area->setObjectName(QStringLiteral("panel_b_out%1").arg(n));
        area->setFrameShape(QFrame::StyledPanel);
        view.follow(
            area, [&m, n] { return m.outputPanelEnabled(n); },
            [&m, n] { return m.outputPanelLook(n); });
        auto* fields = line(3);
        fields->setContentsMargins(3, 1, 3, 1);
        auto* nameEdit = kit.edit(area, {FieldRole::OutputName, n}, {box, name});
        nameEdit->setFixedWidth(kNameWidth);
        auto* codeEdit = kit.edit(area, {FieldRole::OutputCode, n}, {box, code});
        codeEdit->setFixedWidth(kCodeWidth);
        codeEdit->setToolTip(u("Код создаётся программой"));
        auto* typeBox = kit.combo(area, {FieldRole::OutputType, n}, {box, type});
        typeBox->setFixedWidth(kTypeWidth);
        const QByteArray attachName = QStringLiteral("BB_attach_bout%1").arg(n).toLatin1();
        auto* attach = kit.button(area, attachName.constData(), u("Привязать"), {box});
        attach->setFixedWidth(kAttachWidth);
        view.follow(attach, [&m, n] { return m.attachButtonEnabled(n); });
        fields->addWidget(nameEdit);
        fields->addWidget(codeEdit);
        fields->addWidget(typeBox);
        fields->addWidget(attach);
        area->setLayout(fields);
        row->addWidget(area);

        for (const char* which : {"bb_in_bout%1", "bb_out_bout%1"}) {
            const bool on = which[3] == 'i';
            const QByteArray bname = QString::fromLatin1(which).arg(n).toLatin1();
            auto* b = kit.button(panel, bname.constData(), on ? u("ВКЛ") : u("ОТКЛ"), {box, test});
            b->setFixedWidth(kTestWidth);
            view.follow(b, [&m, n] { return m.testButtonsEnabled(n); });
            row->addWidget(b);
        }
        row->addStretch(1);
        rows->addLayout(row);
    }
    rows->addStretch(1);
    return panel;
}

} // namespace t6
