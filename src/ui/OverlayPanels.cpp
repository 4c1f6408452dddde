// The panels shown above the tabs: key programming, the sensors of a wireless
// zone, and the maker's information. They are built hidden and disabled; the
// operations that open them show them.

#include <QAction>
#include <QFrame>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTableWidget>

#include "ui/Cp1251Validator.h"
#include "ui/ObjectIndex.h"
#include "ui/PanelKit.h"
#include "ui/Panels.h"
#include "ui/WindowTranslator.h"

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

QLineEdit* edit(QWidget* parent, const QString& name, int maxLength, QRect at) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setMaxLength(maxLength);
    e->setValidator(new Cp1251Validator(e));
    e->setGeometry(at);
    return e;
}

// A stand-in for the maker's logo until the real picture is supplied.
QPixmap placeholderLogo(QSize size) {
    QPixmap p(size);
    p.fill(QColor(230, 230, 230));
    QPainter painter(&p);
    painter.setPen(QColor(120, 120, 120));
    painter.drawRect(0, 0, size.width() - 1, size.height() - 1);
    painter.drawText(p.rect(), Qt::AlignCenter, QStringLiteral("LOGO\n(placeholder)"));
    return p;
}

} // namespace

QWidget* buildKeyPanel(QWidget* parent) {
    auto* panel = overlay(parent, "Panel_key", {650, 330});
    label(panel, u("Программирование ключей "), {10, 6, 300, 16}, "Label_key");
    auto* grid = new QTableWidget(11, 3, panel);
    grid->setObjectName(QStringLiteral("SGrid_key"));
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(20);
    grid->setColumnWidth(0, 40);
    grid->setColumnWidth(1, 168);
    grid->setColumnWidth(2, 169);
    // The cells are bound to the model's keys by a KeyGrid.
    grid->setGeometry(10, 26, 40 + 168 + 169 + 4, 11 * 20 + 4);
    grid->setProperty(kNoTranslate, true);
    // Row 0 holds the headings and column 0 the row numbers: neither is edited.
    for (int r = 0; r < 11; ++r)
        for (int c = 0; c < 3; ++c) {
            auto* item = new QTableWidgetItem;
            if (r == 0 || c == 0)
                item->setFlags(Qt::ItemIsEnabled);
            grid->setItem(r, c, item);
        }
    for (int k = 1; k <= 10; ++k)
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
    for (int k = 1; k <= 6; ++k) {
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
    for (int k = 1; k <= 6; ++k) {
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
    for (int k = 1; k <= 10; ++k) {
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

MakerPanel buildMakerPanel(QWidget* parent) {
    MakerPanel m;
    m.panel = overlay(parent, "Panel2", {620, 340});
    auto* logo = label(m.panel, {}, {14, 14, 160, 120}, "Image_logo");
    logo->setPixmap(placeholderLogo(logo->size()));
    // Placeholders: the support telephone, e-mail and web address are to be
    // replaced by the maker's real ones.
    auto* greeting = label(m.panel,
                           u("Уважаемый покупатель!\n"
                             "Благодарим Вас за выбор продукции компании «Нордиф».\n"
                             "Мы надеемся, что прибор будет надёжно служить Вам долгие годы.\n"
                             "Если у Вас появились вопросы по настройке прибора,\n"
                             "обращайтесь в нашу службу поддержки.\n"
                             "Телефон поддержки: +7 (000) 000-00-00 (образец)\n"
                             "E-mail поддержки: support@example.com (образец)"),
                           {186, 14, 420, 150}, "Memo_maker");
    greeting->setFrameShape(QFrame::Box);
    greeting->setMargin(6);
    greeting->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    greeting->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m.web = button(m.panel, "BB_maker_site", "Прейти на сайт производителя", {186, 180, 240, 26});
    m.address = label(m.panel, QStringLiteral("https://www.example.com/"), {436, 180, 170, 26},
                      "Label_maker_site");
    m.address->setProperty(kNoTranslate, true);
    m.close = button(m.panel, "BB_maker_close", "Закрыть", {486, 296, 120, 28});
    return m;
}

} // namespace t6
