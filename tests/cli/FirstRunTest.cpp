// The programs as a new user meets them: help on the terminal, the per-user
// working folder of the desktop entry, and a port the user may not open.

#include <QProcess>
#include <csignal>
#include <pty.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "CliFixture.h"

namespace t6::test {
namespace {

namespace fs = std::filesystem;

class FirstRunTest : public CliTest {
protected:
    // The program's environment without any display.
    static QProcessEnvironment withoutDisplay() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(QString::fromLatin1(name));
        return env;
    }
    // A program installed as a package lays it out: bin/ and share/torvel6/
    // side by side under the test's "usr", with the shipped dictionary, which
    // is moved there (the test's folder then has none). Gives the program's path.
    fs::path install(const char* program, const char* name) {
        const fs::path root = dir / "usr";
        fs::create_directories(root / "bin");
        fs::create_directories(root / "share" / "torvel6");
        fs::copy_file(program, root / "bin" / name);
        fs::rename(dir / "trans.dic", root / "share" / "torvel6" / "trans.dic");
        return root / "bin" / name;
    }
    static CliRun runConfigurator(const QString& program, const QStringList& args,
                                  const QProcessEnvironment& env) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(program, args);
        EXPECT_TRUE(p.waitForStarted(3000));
        return result(p, 10000);
    }
};

TEST_F(FirstRunTest, HelpAndVersionAnswerOnTheTerminalWithoutAWindow) {
    const QString program = QString::fromUtf8(T6_CONFIGURATOR);
    CliRun r = runConfigurator(program, {QStringLiteral("--help")}, withoutDisplay());
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out.rfind("Usage: torvel6-configurator [--user-folder] [Qt options]\n", 0), 0u)
        << r.out;
    EXPECT_TRUE(
        contains(r.out, "--user-folder  work in the per-user folder $XDG_DATA_HOME/torvel6"));
    // Every variable the program reads is told.
    for (const char* variable :
         {"TORVEL6_EXTRA_PORTS", "TORVEL6_PORTS", "XDG_DATA_HOME", "HOME", "QT_QPA_PLATFORM"})
        EXPECT_TRUE(contains(r.out, variable)) << variable;
    EXPECT_TRUE(r.err.empty()) << r.err;
    r = runConfigurator(program, {QStringLiteral("--version")}, withoutDisplay());
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "torvel6-configurator 1.1\n");
}

TEST_F(FirstRunTest, TheDesktopEntryStartsInTheUsersOwnFolderSeededWithTheDictionary) {
    const fs::path program = install(T6_CONFIGURATOR, "torvel6-configurator");
    const fs::path root = dir / "usr";
    const std::string installed = bytes("usr/share/torvel6/trans.dic");

    QProcessEnvironment env = withoutDisplay();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("HOME"), qpath("home"));
    env.insert(QStringLiteral("XDG_DATA_HOME"), qpath("home/data"));
    env.insert(QStringLiteral("TORVEL6_EXTRA_PORTS"), QString());
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(QStringLiteral("/")); // as a launcher may start it
    p.start(QString::fromStdString(program.string()), {QStringLiteral("--user-folder")});
    ASSERT_TRUE(p.waitForStarted(3000));
    const fs::path folder = dir / "home" / "data" / "torvel6";
    for (int i = 0; i < 200 && !fs::exists(folder / "protokol.log"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
    const CliRun r = result(p, 10000);
    EXPECT_TRUE(r.finished);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(fs::exists(folder / "protokol.log"));
    EXPECT_TRUE(fs::exists(folder / "protokol_FF.log"));
    EXPECT_TRUE(fs::exists(folder / "log.log")) << "the memo is written at the end";
    EXPECT_EQ(bytes("home/data/torvel6/trans.dic"), installed);
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // Nothing was written into the install folder.
    EXPECT_EQ(
        std::distance(fs::directory_iterator(root / "share" / "torvel6"), fs::directory_iterator()),
        1);
    EXPECT_EQ(std::distance(fs::directory_iterator(root / "bin"), fs::directory_iterator()), 1);
}

// A working folder without a dictionary: the installed one translates.
TEST_F(FirstRunTest, AFolderWithoutADictionaryUsesTheInstalledOne) {
    const fs::path program = install(T6_CLI, "torvel6");
    QProcess p;
    p.setProcessEnvironment(environment());
    p.setWorkingDirectory(QString::fromStdString(dir.string()));
    p.start(QString::fromStdString(program.string()),
            {QStringLiteral("--work-dir"), qpath(""), QStringLiteral("show"),
             QStringLiteral("missing.t6"), QStringLiteral("--lang"), QStringLiteral("en")});
    ASSERT_TRUE(p.waitForStarted(3000));
    const CliRun r = result(p, 10000);
    EXPECT_EQ(r.code, 6);
    EXPECT_FALSE(contains(r.err, "No exists")) << r.err;
    EXPECT_TRUE(contains(r.err, "File not found")) << "translated: " << r.err;
    EXPECT_FALSE(exists("trans.dic")) << "nothing was missing, nothing written";
}

// As an ordinary user (the test drops root's rights for the program).
TEST_F(FirstRunTest, APortWithoutPermissionIsExplainedAfterTheSearchsOwnMessage) {
    int master = -1, slave = -1;
    char name[256] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    ASSERT_EQ(::chmod(name, 0), 0) << "the pty made unreadable";
    ::chmod(dir.c_str(), 0777);
    ::chmod((dir / "trans.dic").c_str(), 0666);

    QProcessEnvironment env = environment();
    env.insert(QStringLiteral("TORVEL6_PORTS"), QString::fromUtf8(name));
    QProcess p;
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(QString::fromStdString(dir.string()));
    QStringList args{QStringLiteral("--work-dir"), qpath(""), QStringLiteral("identify"),
                     QStringLiteral("--lang"), QStringLiteral("en")};
    if (::geteuid() == 0) {
        args = QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                           QStringLiteral("--clear-groups"), QString::fromUtf8(T6_CLI)} +
               args;
        p.start(QStringLiteral("setpriv"), args);
    } else {
        p.start(QString::fromUtf8(T6_CLI), args);
    }
    ASSERT_TRUE(p.waitForStarted(3000));
    const CliRun r = result(p, 60000);
    ::close(slave);
    ::close(master);
    ASSERT_TRUE(r.finished);
    const std::string search = "torvel6: Communication error (no answer). Check whether the "
                               "device is connected.\n";
    const auto at = r.err.find(search);
    ASSERT_NE(at, std::string::npos) << r.err;
    const std::string after = r.err.substr(at + search.size());
    EXPECT_TRUE(contains(after, std::string("Port ") + name + ": Permission denied")) << r.err;
    // Mode 0: only root may open it (root's terminal), or its owner after chmod.
    EXPECT_TRUE(contains(after, ::geteuid() == 0 ? std::string("lets no ordinary user open it: "
                                                               "joining a group would not help.")
                                                 : "chmod u+rw " + std::string(name)))
        << r.err;
    EXPECT_FALSE(contains(after, "usermod")) << r.err;
    EXPECT_EQ(r.code, 7) << "no port opened: refused, not unanswered";
}

} // namespace
} // namespace t6::test
