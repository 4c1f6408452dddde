// What the window tells about the configuration it holds: its comparison
// with the device and with a file, the configuration sheet, and the
// support report.

#include <QApplication>
#include <QCheckBox>
#include <filesystem>
#include <system_error>

#include "common/AtomicFile.h"
#include "common/Cp1251.h"
#include "core/ConfigComparison.h"
#include "core/FileDialogs.h"
#include "core/SupportReport.h"
#include "core/pdf/SheetPdf.h"
#include "ui/CompareWindow.h"
#include "ui/MainWindow.h"
#include "ui/Panels.h"
#include "ui/PortComboBox.h"
#include "ui/VersionDialog.h"

namespace t6 {

namespace {

void bringUp(QWidget* w) {
    w->show();
    w->raise();
    w->activateWindow();
}

} // namespace

void MainWindow::compareWithDevice() {
    if (!compareDevice_)
        compareDevice_ = new CompareWindow(this, core_, CompareWindow::Against::Device,
                                           [this] { return compareWithLastRead(core_); });
    if (compareDevice_->refresh())
        bringUp(compareDevice_);
}

void MainWindow::compareWithFile() {
    const std::optional<std::string> path = core_.prompts().openFileName(compareFileDialog());
    if (!path || path->empty())
        return;
    // A file that cannot be compared leaves an open comparison with its own file.
    const Comparison first = t6::compareWithFile(core_, *path);
    if (!first.done) {
        core_.prompts().message(first.why);
        return;
    }
    if (compareFile_)
        delete compareFile_;
    const std::string file = *path;
    compareFile_ = new CompareWindow(this, core_, CompareWindow::Against::File,
                                     [this, file] { return t6::compareWithFile(core_, file); });
    compareFile_->setFileName(platformNameText(file));
    if (compareFile_->refresh())
        bringUp(compareFile_);
}

void MainWindow::compareWithVersion() {
    const std::optional<int> number = chooseVersion(this, core_);
    if (!number)
        return;
    const int n = *number;
    const Comparison first = t6::compareWithVersion(core_, n);
    if (!first.done) {
        core_.prompts().message(first.why);
        return;
    }
    if (compareFile_)
        delete compareFile_;
    compareFile_ = new CompareWindow(this, core_, CompareWindow::Against::File,
                                     [this, n] { return t6::compareWithVersion(core_, n); });
    compareFile_->setFileName("@" + std::to_string(n));
    if (compareFile_->refresh())
        bringUp(compareFile_);
}

void MainWindow::retranslateComparisons() {
    for (CompareWindow* w : {compareDevice_, compareFile_})
        if (w)
            w->retranslate();
}

std::optional<std::string> MainWindow::askFileToWrite(const FileDialogRequest& dialog,
                                                      const char* notWritten) {
    const std::optional<std::string> path = core_.prompts().saveFileName(dialog);
    if (!path || path->empty())
        return std::nullopt;
    // A file that could not be written is refused before anything is asked or made.
    if (const FileFailure failure = checkFileWritable(*path)) {
        tellNotWritten(notWritten, *path, failure);
        return std::nullopt;
    }
    std::error_code ec;
    if (std::filesystem::is_regular_file(std::filesystem::status(*path, ec)) &&
        !core_.prompts().question(
            core_.translateMessage(ru("Файл с таким именем существует.  Заменить?"))))
        return std::nullopt;
    return path;
}

void MainWindow::tellNotWritten(const char* notWritten, const std::string& path,
                                const FileFailure& failure) {
    auto tr = [this](const std::string& text) { return core_.translateMessage(text); };
    core_.prompts().error(tr(ru(notWritten)) + "\r\n" + platformNameText(path) + "\r\n" +
                          fileFailureText(failure, tr));
}

void MainWindow::saveSheet() {
    const char* const notWritten = "Лист настроек не сохранён в файл:";
    const std::optional<std::string> path = askFileToWrite(sheetSaveDialog(), notWritten);
    if (!path)
        return;
    if (const FileFailure failure =
            writeSheetPdf(windowSheet(core_, core_.connection().version()), *path)) {
        tellNotWritten(notWritten, *path, failure);
        return;
    }
    core_.prompts().message(core_.translateMessage(ru("Лист настроек сохранён в файл:")) + "\r\n" +
                            platformNameText(*path));
}

void MainWindow::makeSupportReport() {
    const char* const notWritten = "Отчёт для поддержки не сохранён в файл:";
    const std::optional<std::string> path =
        askFileToWrite(supportReportDialog(core_.clock().localNow()), notWritten);
    if (!path)
        return;
    // The logs as they are after the questions: whatever came meanwhile is in.
    SupportReportInput in = supportReportInput(core_);
    in.keepPrivate = maker_->keepPrivate->isChecked();
    const std::string connected = core_.exchange().connectedPort();
    const std::vector<PortDetails> details = core_.exchange().port().portDetails();
    for (int i = 0; portCombo_ && i < portCombo_->count(); ++i) {
        const QString port = portCombo_->itemText(i);
        QString line = port;
        for (const PortDetails& d : details)
            if (QString::fromStdString(d.name) == port) {
                const QString what = PortComboBox::detailsText(d);
                if (!d.device.empty() && d.device != d.name)
                    line += QStringLiteral(" (%1)").arg(QString::fromStdString(d.device));
                if (!what.isEmpty())
                    line += QStringLiteral(": ") + what;
            }
        if (port.toStdString() == connected)
            line += QStringLiteral(" [connected]");
        in.ports.push_back(line.toStdString());
    }
    if (const FileFailure failure = writeFileSafely(*path, t6::makeSupportReport(in))) {
        tellNotWritten(notWritten, *path, failure);
        return;
    }
    core_.prompts().message(core_.translateMessage(ru("Отчёт для поддержки сохранён в файл:")) +
                            "\r\n" + platformNameText(*path));
}

} // namespace t6
