#include "core/pdf/SheetPdf.h"

#include <QBuffer>
#include <QFont>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <string_view>

#include "common/AtomicFile.h"
#include "common/Cp1251.h"

namespace t6 {

namespace {

QString html(const std::string& cp1251) {
    return QString::fromStdString(cp1251ToUtf8(cp1251)).toHtmlEscaped();
}

constexpr int kPointSize = 9;
constexpr int kMarginMm = 15;
constexpr int kDotsPerInch = 300;

} // namespace

QString sheetHtml(const ConfigSheet& sheet) {
    QString out = QStringLiteral("<html><body>");
    out += QStringLiteral("<h2>") + html(sheet.title) + QStringLiteral("</h2><p>");
    for (const std::string& line : sheet.heading)
        out += html(line) + QStringLiteral("<br>");
    out += QStringLiteral("</p>");
    for (const SheetSection& section : sheet.sections) {
        out += QStringLiteral("<h4 style=\"margin-top:8px;margin-bottom:1px\">") +
               html(section.title) +
               QStringLiteral("</h4><p style=\"margin-top:0px;margin-left:12px\">");
        for (const std::string& line : section.lines)
            out += html(line) + QStringLiteral("<br>");
        out += QStringLiteral("</p>");
    }
    out += QStringLiteral("</body></html>");
    return out;
}

QByteArray sheetPdf(const ConfigSheet& sheet) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                         QPageLayout::Millimeter));
        writer.setResolution(kDotsPerInch);
        writer.setTitle(QString::fromStdString(cp1251ToUtf8(sheet.title)));
        writer.setCreator(QStringLiteral("torvel6"));
        QTextDocument document;
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setStyleHint(QFont::SansSerif);
        font.setPointSize(kPointSize);
        document.setDefaultFont(font);
        document.setHtml(sheetHtml(sheet));
        document.print(&writer);
    }
    buffer.close();
    return bytes;
}

FileFailure writeSheetPdf(const ConfigSheet& sheet, const std::string& path) {
    // Nothing is drawn for a file that could not be written anyway.
    if (const FileFailure failure = checkFileWritable(path))
        return failure;
    const QByteArray bytes = sheetPdf(sheet);
    return writeFileSafely(
        path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

} // namespace t6
