#include "ui/QtPrompts.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <filesystem>

#include "core/DialogFolder.h"
#include "ui/TextConv.h"

namespace t6 {

void QtPrompts::message(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, qs(title_), qs(text), QMessageBox::Ok, parent_);
    box.exec();
}

void QtPrompts::information(const std::string& text) {
    QMessageBox box(QMessageBox::Information, qs(title_), qs(text), QMessageBox::Ok, parent_);
    box.exec();
}

bool QtPrompts::confirm(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, qs(title_), qs(text), QMessageBox::Yes, parent_);
    box.setEscapeButton(static_cast<QAbstractButton*>(nullptr));
    box.exec();
    return box.clickedButton() == box.button(QMessageBox::Yes);
}

bool QtPrompts::question(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, qs(title_), qs(text), QMessageBox::Yes | QMessageBox::No,
                    parent_);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void QtPrompts::error(const std::string& text) {
    QMessageBox box(QMessageBox::Critical, qs(title_), qs(text), QMessageBox::Ok, parent_);
    box.exec();
}

std::optional<std::string> QtPrompts::fileDialog(const FileDialogRequest& request, bool save) {
    auto tr = [this](const std::string& s) { return tr_ ? tr_(s) : s; };
    QFileDialog dlg(parent_, qs(tr(request.title)));
    dlg.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dlg.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // The program asks about overwriting itself.
    dlg.setOption(QFileDialog::DontConfirmOverwrite, true);
    // The desktop's own dialog would speak the system's language, not the window's.
    dlg.setOption(QFileDialog::DontUseNativeDialog, true);
    if (!request.filter.empty())
        dlg.setNameFilter(qs(tr(request.filter)));
    if (!request.defaultExt.empty())
        dlg.setDefaultSuffix(QString::fromStdString(request.defaultExt));
    // The user's documents the first time, then where the user last was.
    const DialogFolderInputs where = dialogFolderInputsFromEnvironment();
    const std::filesystem::path start =
        dialogStartFolder(where, [](const std::filesystem::path& p) {
            std::error_code ec;
            return std::filesystem::is_directory(p, ec);
        });
    if (!start.empty())
        dlg.setDirectory(QString::fromStdString(start.string()));
    if (!request.initialName.empty())
        dlg.selectFile(QString::fromStdString(request.initialName));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return std::nullopt;
    const std::string chosen = dlg.selectedFiles().front().toStdString();
    // Not being able to keep the folder costs only the next dialog's start.
    rememberFolder(where.dataFolder, std::filesystem::path(chosen).parent_path());
    return chosen;
}

std::optional<std::string> QtPrompts::openFileName(const FileDialogRequest& request) {
    return fileDialog(request, false);
}

std::optional<std::string> QtPrompts::saveFileName(const FileDialogRequest& request) {
    return fileDialog(request, true);
}

} // namespace t6
