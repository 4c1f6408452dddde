// What the window tells about the configuration it holds: its comparison
// with the device and with a file, and the configuration sheet.

#include <QApplication>
#include <filesystem>
#include <system_error>

#include "common/AtomicFile.h"
#include "common/Cp1251.h"
#include "core/ConfigComparison.h"
#include "core/FileDialogs.h"
#include "core/pdf/SheetPdf.h"
#include "ui/CompareWindow.h"
#include "ui/MainWindow.h"

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

void MainWindow::retranslateComparisons() {
    for (CompareWindow* w : {compareDevice_, compareFile_})
        if (w)
            w->retranslate();
}

void MainWindow::saveSheet() {
    const std::optional<std::string> path = core_.prompts().saveFileName(sheetSaveDialog());
    if (!path || path->empty())
        return;
    auto tr = [this](const std::string& text) { return core_.translateMessage(text); };
    const std::string name = platformNameText(*path);
    const auto refused = [&](const FileFailure& failure) {
        core_.prompts().error(tr(ru("Лист настроек не сохранён в файл:")) + "\r\n" + name + "\r\n" +
                              fileFailureText(failure, tr));
    };
    // A file that could not be written is refused before anything is asked or drawn.
    if (const FileFailure failure = checkFileWritable(*path)) {
        refused(failure);
        return;
    }
    std::error_code ec;
    if (std::filesystem::is_regular_file(std::filesystem::status(*path, ec)) &&
        !core_.prompts().question(tr(ru("Файл с таким именем существует.  Заменить?"))))
        return;
    if (const FileFailure failure =
            writeSheetPdf(windowSheet(core_, core_.connection().version()), *path)) {
        refused(failure);
        return;
    }
    core_.prompts().message(tr(ru("Лист настроек сохранён в файл:")) + "\r\n" + name);
}

} // namespace t6
