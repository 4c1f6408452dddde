#include "ui/VersionDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/Cp1251.h"
#include "core/AppCore.h"
#include "ui/TextConv.h"
#include "ui/WindowTranslator.h"

namespace t6 {

std::optional<int> chooseVersion(QWidget* parent, AppCore& core) {
    auto tr = [&core](const char* utf8) { return qs(core.translateMessage(ru(utf8))); };
    const HistoryList list = core.history().list();
    if (list.entries.empty()) {
        core.prompts().message(core.translateMessage(
            ru("В истории нет версий: версия сохраняется после каждого полного чтения и "
               "каждой полной записи.")));
        return std::nullopt;
    }
    QDialog dialog(parent);
    dialog.setObjectName("VersionDialog");
    dialog.setProperty(kNoTranslate, true);
    dialog.setWindowTitle(tr("Сравнить с сохранённой версией"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* caption = new QLabel(tr("Версии, сохранённые после чтений и записей:"), &dialog);
    caption->setObjectName("Label_Versions");
    caption->setProperty(kNoTranslate, true);
    layout->addWidget(caption);
    auto* tree = new QTreeWidget(&dialog);
    tree->setObjectName("Tree_Versions");
    tree->setProperty(kNoTranslate, true);
    tree->setRootIsDecorated(false);
    tree->setAllColumnsShowFocus(true);
    tree->setHeaderLabels(
        {tr("Версия"), tr("Время"), tr("Объект"), tr("Операция"), tr("Прибор"), tr("Порт")});
    tree->setAccessibleName(caption->text());
    caption->setBuddy(tree);
    for (const HistoryEntry& e : list.entries) {
        auto* item = new QTreeWidgetItem(tree);
        item->setText(0, QStringLiteral("@%1").arg(e.number));
        item->setText(1, QString::fromStdString(ConfigHistory::timeText(e.time)));
        item->setText(2, QString::fromStdString(e.site));
        item->setText(3, e.operation == "read" ? tr("чтение") : tr("запись"));
        item->setText(4, qs(e.device));
        item->setText(5, qs(platformNameText(e.port)));
        item->setData(0, Qt::UserRole, e.number);
    }
    tree->setCurrentItem(tree->topLevelItem(0));
    tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    layout->addWidget(tree);
    if (!list.damaged.empty()) {
        auto* damaged = new QLabel(tr("Версии повреждены и пропущены:") + " " +
                                       QString::number(static_cast<qsizetype>(list.damaged.size())),
                                   &dialog);
        damaged->setObjectName("Label_VersionsDamaged");
        damaged->setProperty(kNoTranslate, true);
        layout->addWidget(damaged);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->setObjectName("Buttons_Versions");
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Сравнить"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Отмена"));
    layout->addWidget(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(tree, &QTreeWidget::itemActivated, &dialog, &QDialog::accept);
    dialog.resize(720, 360);
    if (dialog.exec() != QDialog::Accepted || !tree->currentItem())
        return std::nullopt;
    return tree->currentItem()->data(0, Qt::UserRole).toInt();
}

} // namespace t6
