#include "ui/HelpWindow.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "core/ProgramFolders.h"
#include "ui/Accessibility.h"

namespace t6 {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("HelpWindow"));
    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    browser_->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(760, 640);
    announceAsWindow(this);
}

QString HelpWindow::pageFor(const QString& folder, char language) {
    return folder +
           (language == 'E' ? QStringLiteral("/guide.en.html") : QStringLiteral("/guide.ru.html"));
}

bool HelpWindow::showGuide(const QString& folder, char language, const QString& title) {
    const QString page = pageFor(folder, language);
    const QFileInfo info(page);
    if (!info.isFile() || !info.isReadable())
        return false;
    setWindowTitle(title);
    browser_->setAccessibleName(title);
    if (page != page_) {
        page_ = page;
        browser_->setSource(QUrl::fromLocalFile(page));
    }
    return true;
}

QString guideFolder() {
    const auto installed = installedDataFolder(executableFolder()) / "guide";
    const QString folder = QString::fromStdString(installed.string());
    if (QFileInfo(folder + QStringLiteral("/guide.ru.html")).isFile())
        return folder;
    return QStringLiteral(T6_SOURCE_GUIDE_DIR);
}

} // namespace t6
