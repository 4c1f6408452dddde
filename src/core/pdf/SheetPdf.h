#pragma once
// The one renderer of the configuration sheet: its sections as a printable
// A4 document (PDF). Drawing needs the fonts of a QGuiApplication, which the
// caller creates (the command line on the offscreen platform).

#include <QByteArray>
#include <QString>
#include <string>

#include "common/FileAccess.h"
#include "config/ConfigSheet.h"

namespace t6 {

// The sheet as the HTML the document is laid out from.
QString sheetHtml(const ConfigSheet& sheet);

// The PDF file of the sheet: A4, portrait.
QByteArray sheetPdf(const ConfigSheet& sheet);

// Writes the PDF to path the way every file of the program is written (a
// temporary file renamed into place; a file the user may not write, a pipe
// or a device refused before anything is written).
FileFailure writeSheetPdf(const ConfigSheet& sheet, const std::string& path);

} // namespace t6
