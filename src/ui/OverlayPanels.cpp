// The panels shown above the tabs: key programming, the sensors of a wireless
// zone, and the maker's information. They are built hidden and disabled; the
// operations that open them show them.

#include <QAction>
#include <QCheckBox>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/DeviceDimensions.h"
#include "core/ProgramInfo.h"

#include "ui/Cp1251Validator.h"
#include "ui/ElidedLabel.h"
#include "ui/ObjectIndex.h"
#include "ui/PanelKit.h"
#include "ui/Panels.h"
#include "ui/WindowTranslator.h"
#include "wireless/SensorListBlock.h"

namespace t6 {

namespace {

QFrame* overlay(QWidget* parent, const char* name, QSize size) {
    auto* f = new QFrame(parent);
    f->setObjectName(QString::fromLatin1(name));
    f->setFrameShape(QFrame::Panel);
    f->setFrameShadow(QFrame::Raised);
    f->setLineWidth(2);
    f->setAutoFillBackground(true);
    f->resize(size);
    f->hide();
    f->setEnabled(false);
    return f;
}

QPushButton* button(QWidget* parent, const char* name, const char* caption, QRect at) {
    auto* b = new QPushButton(u(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    b->setGeometry(at);
    return b;
}

QLabel* label(QWidget* parent, const QString& text, QRect at, const char* name = nullptr) {
    auto* l = new QLabel(text, parent);
    if (name)
        l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(at);
    return l;
}

// A value shown as it is (a path, a contact): never translated, selectable,
// shortened to the room it has with the whole text in its tooltip.
ElidedLabel* value(QWidget* parent, const char* name) {
    auto* l = new ElidedLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setProperty(kNoTranslate, true);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    return l;
}

QLineEdit* edit(QWidget* parent, const QString& name, int maxLength, QRect at) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaxLength(maxLength);
    e->setValidator(new Cp1251Validator(e));
    e->setGeometry(at);
    return e;
}

} // namespace

QWidget* buildKeyPanel(QWidget* parent) {
    auto* panel = overlay(parent, "Panel_key", {650, 330});
    label(panel, u("Программирование ключей "), {10, 6, 300, 16}, "Label_key");
    // The headings, then one row per key; the number, the description, the code.
    constexpr int kRows = TouchKeyCount + 1;
    auto* grid = new QTableWidget(kRows, 3, panel);
    grid->setObjectName(QStringLiteral("SGrid_key"));
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->setColumnWidth(0, 40);
    grid->setColumnWidth(1, 168);
    grid->setColumnWidth(2, 169);
    // The cells are bound to the model's keys by a KeyGrid.
    grid->setGeometry(10, 26, 40 + 168 + 169 + 4, kRows * 20 + 4);
    grid->setProperty(kNoTranslate, true);
    // Row 0 holds the headings and column 0 the row numbers: neither is edited.
    for (int r = 0; r < grid->rowCount(); ++r)
        for (int c = 0; c < grid->columnCount(); ++c) {
            auto* item = new QTableWidgetItem;
            if (r == 0 || c == 0)
                item->setFlags(Qt::ItemIsEnabled);
            grid->setItem(r, c, item);
        }
    for (int k = 1; k <= TouchKeyCount; ++k)
        button(panel, QStringLiteral("BB_ReadKey%1").arg(k).toLatin1().constData(), "Читать Ключ",
               {400, 26 + 2 + 20 * k, 110, 20});
    button(panel, "BitBtn6", "Сохранить ", {10, 262, 120, 24});
    button(panel, "BitBtn7", "Отменить", {140, 262, 120, 24});
    auto* files = new QGroupBox(u("Работа с файлом"), panel);
    files->setObjectName(QStringLiteral("GroupBox_key_file"));
    files->setGeometry(300, 254, 340, 66);
    button(files, "BitBtn9", "Читать ключи из файла", {8, 18, 158, 24});
    button(files, "BitBtn8", "Сохранить ключи в файл", {172, 18, 160, 24});
    return panel;
}

QWidget* buildSensorListPanel(QWidget* parent) {
    auto* panel = overlay(parent, "Panel_BP_chip", {380, 240});
    label(panel, u("Датчики. Вход"), {10, 6, 250, 16}, "Panel_BP_chip_Label");
    label(panel, u("Название"), {34, 26, 128, 16}, "Label_BP_chip_name");
    label(panel, u("Код"), {168, 26, 96, 16}, "Label_BP_chip_kod");
    for (int k = 1; k <= SensorSlots; ++k) {
        const int y = 20 + 22 * k;
        label(panel, QStringLiteral("%1.").arg(k), {10, y + 2, 20, 16});
        edit(panel, QStringLiteral("BP_chip_name%1").arg(k), 10, {34, y, 128, 20});
        edit(panel, QStringLiteral("BP_chip_kod%1").arg(k), 8, {168, y, 96, 20});
        button(panel, QStringLiteral("BP_chip_read%1").arg(k).toLatin1().constData(), "Читать",
               {274, y, 90, 20});
    }
    button(panel, "Write_all_BP_chip", "Записать датчики", {10, 200, 150, 26});
    button(panel, "close_panel_BP_chip", "Закрыть", {214, 200, 150, 26});
    auto* notice = label(panel, u("Идет чтение данных"), {90, 100, 200, 30}, "Panel_BP_chip_mess");
    notice->setAlignment(Qt::AlignCenter);
    notice->setFrameShape(QFrame::Box);
    notice->setAutoFillBackground(true);
    notice->hide();
    return panel;
}

void nameOverlayRows(QWidget* root) {
    // Each row's controls are named after the row's number, in the words the
    // window shows now.
    const ObjectIndex index(root);
    auto textOf = [&index](const QString& name) -> QString {
        if (auto* l = index.find<QLabel>(name))
            return l->text().trimmed();
        if (auto* b = index.find<QPushButton>(name))
            return b->text().trimmed();
        return {};
    };
    auto name = [&index](const QString& objectName, const QString& text) {
        if (auto* w = index.find<QWidget>(objectName))
            w->setAccessibleName(text);
    };
    const QString sensorName = textOf(QStringLiteral("Label_BP_chip_name"));
    const QString sensorCode = textOf(QStringLiteral("Label_BP_chip_kod"));
    for (int k = 1; k <= SensorSlots; ++k) {
        name(QStringLiteral("BP_chip_name%1").arg(k),
             QStringLiteral("%1 %2").arg(sensorName).arg(k));
        name(QStringLiteral("BP_chip_kod%1").arg(k),
             QStringLiteral("%1 %2").arg(sensorCode).arg(k));
        const QString read = QStringLiteral("BP_chip_read%1").arg(k);
        name(read, QStringLiteral("%1 %2").arg(textOf(read)).arg(k));
    }
    // The two "Закрыть" buttons are told apart by their panels: the sensors'
    // by its title, the maker's by the menu item that opens it.
    const QString closeSensors = QStringLiteral("close_panel_BP_chip");
    name(closeSensors, QStringLiteral("%1, %2").arg(textOf(QStringLiteral("Panel_BP_chip_Label")),
                                                    textOf(closeSensors)));
    const QString closeMaker = QStringLiteral("BB_maker_close");
    if (auto* opener = index.find<QAction>(QStringLiteral("N17")))
        name(closeMaker,
             QStringLiteral("%1, %2").arg(opener->text().remove(u'&'), textOf(closeMaker)));
    for (int k = 1; k <= TouchKeyCount; ++k) {
        const QString read = QStringLiteral("BB_ReadKey%1").arg(k);
        name(read, QStringLiteral("%1 %2").arg(textOf(read)).arg(k));
    }
    if (auto* grid = index.find<QTableWidget>(QStringLiteral("SGrid_key"))) {
        grid->setAccessibleName(textOf(QStringLiteral("Label_key")));
        for (int r = 1; r < grid->rowCount(); ++r)
            for (int c = 0; c < grid->columnCount(); ++c) {
                QTableWidgetItem* item = grid->item(r, c);
                if (!item)
                    continue;
                const QTableWidgetItem* heading = grid->item(0, c);
                const QString column = heading ? heading->text().trimmed() : QString();
                item->setData(Qt::AccessibleTextRole,
                              column.isEmpty() ? QString::number(r)
                                               : QStringLiteral("%1 %2").arg(column).arg(r));
            }
    }
}

MakerPanel buildMakerPanel(QWidget* parent, const MakerFacts& facts) {
    MakerPanel m;
    m.panel = overlay(parent, "Panel2", {620, 340});
    auto* grid = new QGridLayout(m.panel);
    grid->setContentsMargins(12, 10, 12, 10);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(4);
    auto data = [](QLabel* l) {
        l->setProperty(kNoTranslate, true);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return l;
    };

    // The program's own icon, its name, version and licence.
    auto* logo = new QLabel(m.panel);
    logo->setObjectName(QStringLiteral("Image_logo"));
    logo->setPixmap(facts.icon.pixmap(QSize(80, 80)));
    logo->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    grid->addWidget(logo, 0, 0, 4, 1);
    auto* name = new QLabel(u("Конфигуратор УМНЫЙ ТОРВЕЛ-6"), m.panel);
    name->setObjectName(QStringLiteral("Label_program"));
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    grid->addWidget(name, 0, 1);
    auto* version = new QHBoxLayout;
    version->setSpacing(6);
    auto* versionCaption = new QLabel(u("Версия:"), m.panel);
    versionCaption->setObjectName(QStringLiteral("Label_version_caption"));
    version->addWidget(versionCaption);
    auto* versionText = data(new QLabel(facts.version, m.panel));
    versionText->setObjectName(QStringLiteral("Label_version"));
    version->addWidget(versionText, 1);
    grid->addLayout(version, 1, 1);
    auto* licence = data(new QLabel(QString::fromLatin1(kProgramLicence), m.panel));
    licence->setObjectName(QStringLiteral("Label_licence"));
    grid->addWidget(licence, 2, 1);
    auto* folderBox = new QVBoxLayout;
    folderBox->setSpacing(0);
    auto* folderCaption = new QLabel(u("Журналы обмена и файл save.000 лежат в папке:"), m.panel);
    folderCaption->setObjectName(QStringLiteral("Label_folder_caption"));
    folderBox->addWidget(folderCaption);
    auto* folder = value(m.panel, "Label_folder");
    folder->setFullText(facts.folder, Qt::ElideMiddle);
    folderBox->addWidget(folder);
    grid->addLayout(folderBox, 3, 1);
    grid->setColumnStretch(1, 1);

    // Whom to ask: the distributor's contacts, or a plain word that there are none.
    auto* support = new QGroupBox(u("Поддержка"), m.panel);
    support->setObjectName(QStringLiteral("GroupBox_support"));
    auto* form = new QFormLayout(support);
    form->setContentsMargins(8, 4, 8, 6);
    form->setVerticalSpacing(2);
    m.none = new QLabel(u("У этой копии программы нет контактов поддержки от её поставщика. "
                          "Отправьте отчёт для поддержки тому, кто предоставил вам программу."),
                        support);
    m.none->setObjectName(QStringLiteral("Label_no_support"));
    m.none->setWordWrap(true);
    form->addRow(m.none);
    const std::pair<const char*, const char*> rows[] = {{"Label_support_name", "Поставщик:"},
                                                        {"Label_support_phone", "Телефон:"},
                                                        {"Label_support_email", "Эл. почта:"}};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        auto* caption = new QLabel(u(rows[i].second), support);
        caption->setObjectName(QString::fromLatin1(rows[i].first) + QStringLiteral("_caption"));
        m.contactCaptions[i] = caption;
        m.contacts[i] = value(support, rows[i].first);
        form->addRow(caption, m.contacts[i]);
    }
    auto* web = new QHBoxLayout;
    m.web = new QPushButton(u("Открыть сайт поддержки"), support);
    m.web->setObjectName(QStringLiteral("BB_maker_site"));
    m.web->setAutoDefault(false);
    web->addWidget(m.web);
    m.address = value(support, "Label_maker_site");
    web->addWidget(m.address, 1);
    form->addRow(web);
    grid->addWidget(support, 4, 0, 1, 2);

    // The report for whoever supports the program.
    auto* report = new QGroupBox(u("Отчёт для поддержки"), m.panel);
    report->setObjectName(QStringLiteral("GroupBox_report"));
    auto* reportColumn = new QVBoxLayout(report);
    reportColumn->setContentsMargins(8, 4, 8, 6);
    reportColumn->setSpacing(2);
    auto* what = new QLabel(u("Журналы обмена, save.000, конфигурация в окне, версия программы "
                              "и список портов в одном архиве. Телефоны и коды ключей в нём "
                              "скрыты: все их цифры, кроме двух последних, заменены на X."),
                            report);
    what->setObjectName(QStringLiteral("Label_report"));
    what->setWordWrap(true);
    reportColumn->addWidget(what);
    auto* reportRow = new QHBoxLayout;
    m.keepPrivate = new QCheckBox(u("Не скрывать телефоны и коды ключей"), report);
    m.keepPrivate->setObjectName(QStringLiteral("CheckBox_keep_private"));
    reportRow->addWidget(m.keepPrivate, 1);
    m.report = new QPushButton(u("Собрать отчёт для поддержки"), report);
    m.report->setObjectName(QStringLiteral("BB_support_report"));
    m.report->setAutoDefault(false);
    reportRow->addWidget(m.report);
    reportColumn->addLayout(reportRow);
    grid->addWidget(report, 5, 0, 1, 2);

    grid->setRowStretch(6, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    m.close = new QPushButton(u("Закрыть"), m.panel);
    m.close->setObjectName(QStringLiteral("BB_maker_close"));
    m.close->setAutoDefault(false);
    m.close->setMinimumSize(120, 28);
    bottom->addWidget(m.close);
    grid->addLayout(bottom, 7, 0, 1, 2);
    showSupportContacts(m, facts.contacts);
    return m;
}

void showSupportContacts(MakerPanel& m, const SupportContacts& contacts) {
    const std::string* values[] = {&contacts.name, &contacts.phone, &contacts.email};
    for (std::size_t i = 0; i < std::size(values); ++i) {
        const bool shown = !values[i]->empty();
        m.contacts[i]->setFullText(QString::fromStdString(*values[i]), Qt::ElideRight);
        m.contacts[i]->setVisible(shown);
        m.contactCaptions[i]->setVisible(shown);
    }
    m.none->setVisible(contacts.empty());
    // The button shows only when there is an address to open.
    const bool web = !contacts.web.empty();
    m.address->setFullText(QString::fromStdString(contacts.web), Qt::ElideRight);
    m.web->setVisible(web);
    m.address->setVisible(web);
}

} // namespace t6
