// Where the command line writes its logs: the per-user folder, or the folder
// --work-dir names; never the folder it is started in.

#include "CliFixture.h"

#include <algorithm>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include "cli/CommandContext.h"

namespace t6::test {
namespace {

namespace fs = std::filesystem;
using namespace t6::cli;

class WorkFolderTest : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        workDir = false;
        fs::create_directories(dir / "cwd");
        // Installed as a package lays it out, with the shipped dictionary.
        fs::create_directories(dir / "usr" / "bin");
        fs::create_directories(dir / "usr" / "share" / "torvel6");
        fs::copy_file(T6_CLI, dir / "usr" / "bin" / "torvel6");
        fs::copy_file(dir / "trans.dic", dir / "usr" / "share" / "torvel6" / "trans.dic");
    }
    QString program() const { return qpath("usr/bin/torvel6"); }
    // Runs the program from the folder "cwd" with the given environment.
    CliRun runIn(const QProcessEnvironment& env, const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(qpath("cwd"));
        p.start(program(), args);
        EXPECT_TRUE(p.waitForStarted(3000));
        return result(p, 30000);
    }
    std::vector<std::string> namesIn(const std::string& folder) const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir / folder))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(WorkFolderTest, TheLogsGoToTheUsersDataFolderNotTheCurrentOne) {
    Device& dev = startDevice();
    QProcessEnvironment env = environment();
    // A relative file is the current folder's; everything else is the data folder's.
    CliRun r = runIn(env, {"read", "--port", dev.port(), "--out", "site.cfg"});
    ASSERT_EQ(r.code, Exit::Ok) << r.err;
    EXPECT_EQ(namesIn("cwd"), std::vector<std::string>{"site.cfg"});
    EXPECT_TRUE(contains(
        r.err, "torvel6: Конфигурация успешно сохранена в файл: " + path("cwd/site.cfg") + "\n"))
        << r.err;
    const std::string data = "home/.local/share/torvel6";
    // The read that completed is kept in the history there too.
    EXPECT_EQ(namesIn(data), (std::vector<std::string>{"history", "log.log", "protokol.log",
                                                       "protokol_FF.log", "trans.dic"}));
    EXPECT_EQ(bytes(data + "/trans.dic"), bytes("trans.dic")) << "the installed dictionary";
    struct stat st {};
    ASSERT_EQ(::stat((dir / data).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // The desktop's data home, when given, holds it instead.
    env.insert("XDG_DATA_HOME", qpath("xdg"));
    r = runIn(env, {"signal", "--port", dev.port()});
    ASSERT_EQ(r.code, Exit::Ok) << r.err;
    EXPECT_TRUE(exists("xdg/torvel6/protokol.log"));
    EXPECT_EQ(namesIn("cwd"), std::vector<std::string>{"site.cfg"});

    // --work-dir: there and nowhere else.
    fs::create_directories(dir / "logs");
    fs::remove_all(dir / "xdg");
    r = runIn(env, {"--work-dir", "../logs", "signal", "--port", dev.port()});
    ASSERT_EQ(r.code, Exit::Ok) << r.err;
    EXPECT_EQ(namesIn("logs"),
              (std::vector<std::string>{"log.log", "protokol.log", "protokol_FF.log"}));
    EXPECT_FALSE(exists("xdg"));
    EXPECT_EQ(namesIn("cwd"), std::vector<std::string>{"site.cfg"});
}

TEST_F(WorkFolderTest, AWorkingFolderThatCannotBeUsedIsAClearError) {
    put("file", "x");
    ::mkfifo((dir / "fifo").c_str(), 0600);
    struct Case {
        std::string given;
        std::string said;
    };
    const std::vector<Case> cases{
        {path("nothing"),
         "torvel6: Рабочая папка недоступна: " + path("nothing") + "\ntorvel6: Такой папки нет\n"},
        {path("file"),
         "torvel6: Рабочая папка недоступна: " + path("file") + "\ntorvel6: Это не папка\n"},
        {path("fifo"),
         "torvel6: Рабочая папка недоступна: " + path("fifo") + "\ntorvel6: Это не папка\n"},
    };
    for (const Case& c : cases) {
        for (const char* command : {"ports", "show"}) {
            QStringList args{"--work-dir", QString::fromStdString(c.given), command};
            if (std::string(command) == "show")
                args << "x.cfg";
            const CliRun r = runIn(environment(), args);
            EXPECT_EQ(r.code, Exit::FileError) << c.given << " " << command;
            EXPECT_EQ(r.err, c.said);
        }
    }
    // A user folder that cannot be made: a file where its parent should be.
    fs::create_directories(dir / "home");
    put("home/.local", "x");
    CliRun r = runIn(environment(), {"ports", "--lang", "en"});
    EXPECT_EQ(r.code, Exit::FileError);
    EXPECT_EQ(r.err,
              "torvel6: The working folder cannot be used: " + path("home/.local/share/torvel6") +
                  "\ntorvel6: Could not create the folder: Not a directory\n");
    EXPECT_EQ(bytes("usr/share/torvel6/trans.dic"), bytes("trans.dic"))
        << "the installed dictionary is only read";
    // Neither XDG_DATA_HOME nor HOME.
    QProcessEnvironment bare = environment();
    bare.remove("HOME");
    r = runIn(bare, {"ports"});
    EXPECT_EQ(r.code, Exit::FileError);
    EXPECT_EQ(r.err, "torvel6: Рабочая папка не задана: нет ни XDG_DATA_HOME, ни HOME; её "
                     "называет --work-dir.\n");
    // A folder the user may not write to (the test drops root's rights).
    fs::create_directories(dir / "locked");
    ::chmod((dir / "locked").c_str(), 0555);
    ::chmod(dir.c_str(), 0755);
    QProcess p;
    p.setProcessEnvironment(environment());
    p.setWorkingDirectory(qpath("cwd"));
    const QStringList args{"--work-dir", qpath("locked"), "ports"};
    if (::geteuid() == 0)
        p.start("setpriv",
                QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", program()} + args);
    else
        p.start(program(), args);
    ASSERT_TRUE(p.waitForStarted(3000));
    r = result(p, 10000);
    EXPECT_EQ(r.code, Exit::FileError) << r.err;
    EXPECT_EQ(r.err, "torvel6: Рабочая папка недоступна: " + path("locked") +
                         "\ntorvel6: Папка защищена от записи\n");
    ::chmod((dir / "locked").c_str(), 0755);
}

} // namespace
} // namespace t6::test
