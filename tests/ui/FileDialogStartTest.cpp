// The window's file dialogs as the user meets them: where they open, what
// they offer, and that the folder the user went to is where the next opens.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <functional>

#include "../i18n/TempDir.h"
#include "core/FileDialogs.h"
#include "ui/QtPrompts.h"

namespace t6 {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::writeBytes;

// The user's environment, in a folder of the test's own for as long as it lives.
class UserEnvironment {
public:
    explicit UserEnvironment(const fs::path& home) {
        for (const char* name : kNames) {
            saved_.push_back(qgetenv(name));
            set_.push_back(qEnvironmentVariableIsSet(name));
        }
        qputenv("HOME", home.c_str());
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DOCUMENTS_DIR");
    }
    ~UserEnvironment() {
        for (std::size_t i = 0; i < std::size(kNames); ++i) {
            if (set_[i])
                qputenv(kNames[i], saved_[i]);
            else
                qunsetenv(kNames[i]);
        }
    }

private:
    static constexpr const char* kNames[] = {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME",
                                             "XDG_DOCUMENTS_DIR"};
    std::vector<QByteArray> saved_;
    std::vector<bool> set_;
};

struct Seen {
    QString folder;
    QStringList filters;
    QString suffix;
};

// Shows the dialog and, once it is up, notes what it shows and chooses `file`.
std::optional<std::string> choose(QtPrompts& prompts, const FileDialogRequest& request, bool save,
                                  const fs::path& file, Seen& seen) {
    QTimer::singleShot(0, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (!dialog || !dialog->isVisible())
                continue;
            seen = {dialog->directory().absolutePath(), dialog->nameFilters(),
                    dialog->defaultSuffix()};
            dialog->selectFile(QString::fromStdString(file.string()));
            static_cast<QDialog*>(dialog)->accept();
        }
    });
    return save ? prompts.saveFileName(request) : prompts.openFileName(request);
}

QString q(const fs::path& p) {
    return QString::fromStdString(p.string());
}

TEST(FileDialogStart, TheDialogsOpenInTheDocumentsThenWhereTheUserLastWas) {
    TempDir dir;
    const fs::path home = dir / "home";
    fs::create_directories(home / ".config");
    fs::create_directories(home / "Папка документов");
    fs::create_directories(home / "sites");
    writeBytes(home / ".config" / "user-dirs.dirs",
               "XDG_DOCUMENTS_DIR=\"$HOME/Папка документов\"\n");
    const fs::path data = home / ".local" / "share" / "torvel6";
    fs::create_directories(data);
    writeBytes(data / "save.000", "");
    writeBytes(home / "sites" / "site.cfg", "");
    UserEnvironment env(home);

    Seen seen;
    {
        QtPrompts prompts;
        ASSERT_EQ(choose(prompts, configOpenDialog(), false, home / "sites" / "site.cfg", seen),
                  (home / "sites" / "site.cfg").string());
        EXPECT_EQ(seen.folder, q(home / "Папка документов")) << "the first time";
        choose(prompts, configSaveDialog(), true, data / "save.000", seen);
        EXPECT_EQ(seen.folder, q(home / "sites")) << "where the user last was";
    }
    // The next run: a backup taken from the data folder was not kept.
    QtPrompts prompts;
    choose(prompts, keyFileDialog(), true, home / "sites" / "keys.key", seen);
    EXPECT_EQ(seen.folder, q(home / "sites"));
    fs::remove_all(home / "sites");
    choose(prompts, sheetSaveDialog(), true, home / "sheet.pdf", seen);
    EXPECT_EQ(seen.folder, q(home / "Папка документов")) << "a folder since removed";
    fs::remove_all(home / "Папка документов");
    choose(prompts, compareFileDialog(), false, data / "save.000", seen);
    EXPECT_EQ(seen.folder, q(home)) << "neither there: home, never the data folder";
}

TEST(FileDialogStart, EachDialogOffersItsOwnFileTypes) {
    TempDir dir;
    UserEnvironment env(dir.path());
    struct Case {
        const char* what;
        FileDialogRequest dialog;
        QStringList filters;
        QString suffix;
    };
    // The configuration dialogs take any name and add nothing to it.
    const Case cases[] = {
        {"open", configOpenDialog(), {QStringLiteral("All Files (*)")}, {}},
        {"save", configSaveDialog(), {QStringLiteral("All Files (*)")}, {}},
        {"compare", compareFileDialog(), {QStringLiteral("All Files (*)")}, {}},
        {"keys", keyFileDialog(), {QStringLiteral("все (*)"), QStringLiteral("ключи (*.key)")}, {}},
        {"sheet", sheetSaveDialog(), {QStringLiteral("PDF (*.pdf)")}, QStringLiteral("pdf")},
    };
    QtPrompts prompts;
    for (const Case& c : cases) {
        Seen seen;
        choose(prompts, c.dialog, true, dir / "x", seen);
        EXPECT_EQ(seen.filters, c.filters) << c.what;
        EXPECT_EQ(seen.suffix, c.suffix) << c.what;
    }
}

} // namespace
} // namespace t6
