#include "ui/CompareWindow.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/Cp1251.h"
#include "core/AppCore.h"
#include "ui/Accessibility.h"
#include "ui/TextConv.h"
#include "ui/WindowTranslator.h"

namespace t6 {

namespace {

// The main window's language switch leaves these alone: they word themselves.
template <typename W> W* own(W* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    w->setProperty(kNoTranslate, true);
    return w;
}

} // namespace

CompareWindow::CompareWindow(QWidget* parent, AppCore& core, Against against,
                             std::function<Comparison()> compute)
    : QWidget(parent, Qt::Window), core_(core), against_(against), compute_(std::move(compute)) {
    setObjectName(against == Against::Device ? QStringLiteral("CompareDeviceWindow")
                                             : QStringLiteral("CompareFileWindow"));
    heading_ = own(new QLabel(this), "CompareHeading");
    heading_->setWordWrap(true);
    list_ = own(new QTreeWidget(this), "CompareList");
    list_->setColumnCount(3);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAlternatingRowColors(true);
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    summary_ = own(new QLabel(this), "CompareSummary");
    copy_ = own(new QPushButton(this), "CompareCopy");
    print_ = own(new QPushButton(this), "ComparePrint");
    refresh_ = own(new QPushButton(this), "CompareRefresh");
    close_ = own(new QPushButton(this), "CompareClose");
    connect(copy_, &QPushButton::clicked, this, [this] { copyToClipboard(); });
    connect(print_, &QPushButton::clicked, this, [this] { print(); });
    connect(refresh_, &QPushButton::clicked, this, [this] { refresh(); });
    connect(close_, &QPushButton::clicked, this, &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(summary_, 1);
    for (QPushButton* b : {copy_, print_, refresh_, close_})
        buttons->addWidget(b);
    auto* column = new QVBoxLayout(this);
    column->addWidget(heading_);
    column->addWidget(list_, 1);
    column->addLayout(buttons);
    resize(820, 480);
    wordCaptions();
    announceAsWindow(this);
}

std::string CompareWindow::tr(const std::string& russian) const {
    return core_.captionText()(russian, TextSource::Program);
}

QString CompareWindow::heading() const {
    if (against_ == Against::Device)
        return qs(tr(ru("Окно и настройки, последний раз считанные из прибора в этом сеансе")));
    return qs(tr(ru("Окно и файл конфигурации:"))) + QLatin1Char(' ') + qs(fileName_);
}

void CompareWindow::wordCaptions() {
    const QString title = qs(against_ == Against::Device ? tr(ru("Сравнение с прибором"))
                                                         : tr(ru("Сравнение с файлом")));
    setWindowTitle(title);
    heading_->setText(heading());
    list_->setHeaderLabels(
        {qs(tr(ru("Поле"))), qs(tr(ru("В окне"))),
         qs(against_ == Against::Device ? tr(ru("В приборе")) : tr(ru("В файле")))});
    list_->setAccessibleName(title + QStringLiteral(", ") + qs(tr(ru("список различий"))));
    copy_->setText(qs(tr(ru("Копировать"))));
    print_->setText(qs(tr(ru("Печать..."))));
    refresh_->setText(qs(tr(ru("Обновить"))));
    close_->setText(qs(tr(ru("Закрыть"))));
    for (QPushButton* b : {copy_, print_, refresh_, close_})
        b->setAccessibleName(title + QStringLiteral(", ") + b->text());
    summary_->setAccessibleName(title + QStringLiteral(", ") + summary_->text());
}

bool CompareWindow::refresh() {
    const Comparison c = compute_();
    if (!c.done) {
        core_.prompts().message(c.why);
        return false;
    }
    list_->clear();
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<int>(c.differences.size()));
    for (const FieldDifference& d : c.differences) {
        auto* row = new QTreeWidgetItem({qs(d.caption), qs(d.before), qs(d.after)});
        row->setToolTip(0, QString::fromStdString(d.name));
        rows.push_back(row);
    }
    list_->addTopLevelItems(rows);
    list_->resizeColumnToContents(1);
    list_->resizeColumnToContents(2);
    summary_->setText(c.differences.empty() ? qs(tr(ru("Различий нет.")))
                                            : qs(tr(ru("Различий:"))) + QLatin1Char(' ') +
                                                  QString::number(c.differences.size()));
    wordCaptions();
    return true;
}

void CompareWindow::retranslate() {
    wordCaptions();
    if (isVisible())
        refresh();
}

QString CompareWindow::plainText() const {
    QString text = windowTitle() + QLatin1Char('\n') + heading_->text() + QLatin1Char('\n');
    const QTreeWidgetItem* header = list_->headerItem();
    text += header->text(0) + QLatin1Char('\t') + header->text(1) + QLatin1Char('\t') +
            header->text(2) + QLatin1Char('\n');
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = list_->topLevelItem(i);
        text += row->text(0) + QLatin1Char('\t') + row->text(1) + QLatin1Char('\t') + row->text(2) +
                QLatin1Char('\n');
    }
    text += summary_->text() + QLatin1Char('\n');
    return text;
}

void CompareWindow::copyToClipboard() const {
    QGuiApplication::clipboard()->setText(plainText());
}

QString CompareWindow::printHtml() const {
    QString html =
        QStringLiteral("<h3>") + windowTitle().toHtmlEscaped() + QStringLiteral("</h3><p>") +
        heading_->text().toHtmlEscaped() +
        QStringLiteral("</p><table border=\"1\" cellspacing=\"0\" cellpadding=\"3\"><tr>");
    const QTreeWidgetItem* header = list_->headerItem();
    for (int c = 0; c < list_->columnCount(); ++c)
        html += QStringLiteral("<th>") + header->text(c).toHtmlEscaped() + QStringLiteral("</th>");
    html += QStringLiteral("</tr>");
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        html += QStringLiteral("<tr>");
        for (int c = 0; c < list_->columnCount(); ++c)
            html += QStringLiteral("<td>") + list_->topLevelItem(i)->text(c).toHtmlEscaped() +
                    QStringLiteral("</td>");
        html += QStringLiteral("</tr>");
    }
    html +=
        QStringLiteral("</table><p>") + summary_->text().toHtmlEscaped() + QStringLiteral("</p>");
    return html;
}

void CompareWindow::print() {
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(print_->text());
    if (dialog.exec() != QDialog::Accepted)
        return;
    QTextDocument document;
    document.setHtml(printHtml());
    document.print(&printer);
}

} // namespace t6
