// "torvel6 sheet": the configuration sheet of the demo device's
// configuration as a PDF, checked with the PDF tools of the system.

#include <sys/stat.h>

#include "CliFixture.h"

namespace t6::test {
namespace {

class CliSheetTest : public CliTest {
protected:
    // A tool of the system run to its end; its standard output, or nothing
    // when it is not installed.
    static std::optional<std::string> tool(const QString& program, const QStringList& args) {
        QProcess p;
        p.start(program, args);
        if (!p.waitForStarted(3000))
            return std::nullopt;
        p.waitForFinished(10000);
        return p.readAllStandardOutput().toStdString();
    }
    void SetUp() override {
        CliTest::SetUp();
        if (!tool(QStringLiteral("pdfinfo"), {QStringLiteral("-v")}) ||
            !tool(QStringLiteral("pdftotext"), {QStringLiteral("-v")}))
            GTEST_SKIP() << "pdfinfo and pdftotext (poppler-utils) are not installed";
        Device& dev = startDevice();
        const CliRun r = run({"read", "--port", dev.port(), "--out", qpath("site.cfg")});
        ASSERT_EQ(r.code, 0) << r.err;
    }
    static int pages(const std::string& info) {
        const auto at = info.find("Pages:");
        return at == std::string::npos ? 0 : std::atoi(info.c_str() + at + 6);
    }
};

TEST_F(CliSheetTest, TheDemoSheetIsAOneOrTwoPageA4PdfWithEveryActiveZone) {
    const CliRun r = run({"sheet", qpath("site.cfg"), "--out", qpath("site.pdf")});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(contains(r.err, "Лист настроек сохранён в файл:")) << r.err;
    const std::string info = tool("pdfinfo", {qpath("site.pdf")}).value_or("");
    EXPECT_GE(pages(info), 1) << info;
    EXPECT_LE(pages(info), 2) << info;
    EXPECT_TRUE(contains(info, "(A4)")) << info;
    const std::string text =
        tool("pdftotext", {qpath("site.pdf"), QStringLiteral("-")}).value_or("");
    for (const char* message : {"Входная дверь", "Окно кухни", "Пожар", "Датчик движения"})
        EXPECT_TRUE(contains(text, message)) << message << "\n" << text;
    EXPECT_TRUE(contains(text, "Лист настроек")) << text;

    // In English, through the dictionary.
    const CliRun en =
        run({"--lang", "en", "sheet", qpath("site.cfg"), "--out", qpath("site-en.pdf")});
    ASSERT_EQ(en.code, 0) << en.err;
    const std::string english =
        tool("pdftotext", {qpath("site-en.pdf"), QStringLiteral("-")}).value_or("");
    EXPECT_TRUE(contains(english, "Zone 1")) << english;
    EXPECT_TRUE(contains(english, "Input type: Normally closed (NC)")) << english;
}

TEST_F(CliSheetTest, AnExistingFileNeedsForceAndAPipeIsRefused) {
    put("site.pdf", "mine");
    CliRun r = run({"sheet", qpath("site.cfg"), "--out", qpath("site.pdf")});
    EXPECT_EQ(r.code, 6);
    EXPECT_TRUE(contains(r.err, "--force")) << r.err;
    EXPECT_EQ(bytes("site.pdf"), "mine");
    r = run({"sheet", qpath("site.cfg"), "--out", qpath("site.pdf"), "--force"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(bytes("site.pdf").rfind("%PDF-", 0), 0u);

    ASSERT_EQ(::mkfifo(path("pipe.pdf").c_str(), 0600), 0);
    r = run({"sheet", qpath("site.cfg"), "--out", qpath("pipe.pdf"), "--force"}, 10000);
    EXPECT_TRUE(r.finished);
    EXPECT_EQ(r.code, 6);
    EXPECT_TRUE(contains(r.err, "Лист настроек не сохранён в файл:")) << r.err;
    r = run({"sheet", qpath("missing.cfg"), "--out", qpath("other.pdf")});
    EXPECT_EQ(r.code, 6);
    EXPECT_FALSE(exists("other.pdf"));
}

} // namespace
} // namespace t6::test
