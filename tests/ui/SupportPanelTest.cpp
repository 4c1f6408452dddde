// The maker panel shows what this copy of the program really has: its name,
// version, licence and log folder, the distributor's support contacts or a
// plain word that there are none; and its button writes the support report
// where the user picks, asking before it replaces a file.

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <sys/stat.h>

#include "WindowFixture.h"
#include "core/ProgramInfo.h"
#include "core/SupportContacts.h"
#include "ui/ElidedLabel.h"

namespace t6::test {
namespace {

class SupportPanelTest : public WindowFixture {
protected:
    void SetUp() override {
        open();
        child<QAction>("N17")->trigger();
    }
    bool shown(const char* name) { return child<QWidget>(name)->isVisibleTo(panel()); }
    QWidget* panel() { return child<QWidget>("Panel2"); }
    Bytes report(const std::filesystem::path& path) {
        std::ifstream f(path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(f), {});
    }
};

TEST_F(SupportPanelTest, WithoutTheDistributorsFileThePanelSaysSoAndOffersNoWebButton) {
    // What a machine with the distributor's file would show is replaced by none.
    window->setSupportContacts({});
    EXPECT_EQ(child<QLabel>("Label_version")->text().toStdString(), programVersion());
    EXPECT_EQ(child<QLabel>("Label_licence")->text(),
              u("Copyright 2026 Torvel. All rights reserved."));
    EXPECT_EQ(child<ElidedLabel>("Label_folder")->fullText(),
              QDir(QString::fromStdString(dir.string())).absolutePath());
    EXPECT_FALSE(child<QLabel>("Image_logo")->pixmap().isNull());
    EXPECT_TRUE(shown("Label_no_support"));
    for (const char* hidden : {"BB_maker_site", "Label_maker_site", "Label_support_phone",
                               "Label_support_email", "Label_support_name"})
        EXPECT_FALSE(shown(hidden)) << hidden;
}

TEST_F(SupportPanelTest, TheDistributorsContactsAreShownAndItsAddressOpened) {
    QString opened;
    window->setUrlOpener([&opened](const QString& a) { opened = a; });
    window->setSupportContacts(
        {"ООО Ромашка", "+7 495 123-45-67", "help@romashka.ru", "https://romashka.ru/help"});
    EXPECT_FALSE(shown("Label_no_support"));
    EXPECT_EQ(child<ElidedLabel>("Label_support_name")->fullText(), u("ООО Ромашка"));
    EXPECT_EQ(child<ElidedLabel>("Label_support_phone")->fullText(), u("+7 495 123-45-67"));
    EXPECT_EQ(child<ElidedLabel>("Label_support_email")->fullText(), u("help@romashka.ru"));
    ASSERT_TRUE(shown("BB_maker_site"));
    child<QPushButton>("BB_maker_site")->click();
    EXPECT_EQ(opened, u("https://romashka.ru/help"));

    // Only a telephone: no e-mail row, no web button.
    window->setSupportContacts({"", "8 800 000-11-22", "", ""});
    EXPECT_TRUE(shown("Label_support_phone"));
    for (const char* hidden : {"Label_no_support", "BB_maker_site", "Label_support_email",
                               "Label_support_email_caption", "Label_support_name"})
        EXPECT_FALSE(shown(hidden)) << hidden;
}

TEST_F(SupportPanelTest, TheReportGoesWhereTheUserPicksWithTelephonesHiddenUnlessKept) {
    core->model().setTelephone(1, "+79161234567");
    const std::filesystem::path path = dir / "report.tar";
    prompts.fileNames = {path.string()};
    child<QPushButton>("BB_support_report")->click();
    const Bytes hidden = report(path);
    EXPECT_EQ(hidden.substr(0, 25), "torvel6-support/about.txt");
    EXPECT_NE(hidden.find("XXXXXXXXX67"), Bytes::npos);
    EXPECT_EQ(hidden.find("79161234567"), Bytes::npos);
    EXPECT_EQ(prompts.lastUtf8(), "Отчёт для поддержки сохранён в файл:\r\n" + path.string());

    // The same file again: asked first; No leaves it, Yes replaces it.
    child<QCheckBox>("CheckBox_keep_private")->setChecked(true);
    prompts.fileNames = {path.string()};
    prompts.answers = {false};
    child<QPushButton>("BB_support_report")->click();
    EXPECT_EQ(prompts.lastUtf8(), "Файл с таким именем существует.  Заменить?");
    EXPECT_EQ(report(path), hidden);
    prompts.fileNames = {path.string()};
    prompts.answers = {true};
    child<QPushButton>("BB_support_report")->click();
    EXPECT_NE(report(path).find("79161234567"), Bytes::npos);

    // A cancelled dialog writes nothing and says nothing.
    const std::size_t boxes = prompts.shown.size();
    prompts.fileNames = {std::nullopt};
    child<QPushButton>("BB_support_report")->click();
    EXPECT_EQ(prompts.shown.size(), boxes + 1) << "only the dialog";
}

TEST_F(SupportPanelTest, AReportThatCannotBeWrittenIsToldAndLeavesWhatWasThere) {
    const std::filesystem::path fifo = dir / "pipe.tar";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::filesystem::path& path : {dir / "no-such-folder" / "report.tar", fifo}) {
        prompts.fileNames = {path.string()};
        child<QPushButton>("BB_support_report")->click();
        EXPECT_EQ(prompts.lastUtf8().rfind(
                      "Отчёт для поддержки не сохранён в файл:\r\n" + path.string() + "\r\n", 0),
                  0u)
            << prompts.lastUtf8();
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "no-such-folder"));
    EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

} // namespace
} // namespace t6::test
