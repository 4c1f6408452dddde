// A port that cannot be opened, as the command line tells it: the reason and
// what helps, exit 7, never "no answer".

#include <gmock/gmock.h>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

#include "CliFixture.h"
#include "cli/CommandContext.h"

namespace t6::test {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;
namespace fs = std::filesystem;
using namespace t6::cli;

class CliPortTest : public CliTest {
protected:
    // The program as an ordinary user ("nobody") with the given groups only.
    CliRun runAsUser(const QStringList& groups, const QStringList& args, const QStringList& ports) {
        ::chmod(dir.c_str(), 0777);
        ::chmod((dir / "trans.dic").c_str(), 0666);
        QProcessEnvironment env = environment();
        env.insert(QStringLiteral("TORVEL6_PORTS"), ports.join(QLatin1Char(':')));
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(QString::fromStdString(dir.string()));
        QStringList all{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534")};
        all << (groups.isEmpty() ? QStringLiteral("--clear-groups")
                                 : QStringLiteral("--groups=") + groups.join(QLatin1Char(',')));
        all << QString::fromUtf8(T6_CLI) << QStringLiteral("--work-dir") << qpath("") << args;
        p.start(QStringLiteral("setpriv"), all);
        EXPECT_TRUE(p.waitForStarted(3000));
        return result(p, 30000);
    }
    static bool canDropRights() {
        return ::geteuid() == 0 && ::access("/usr/bin/setpriv", X_OK) == 0;
    }
};

TEST_F(CliPortTest, AMissingPortIsToldWithThePortsThereAre) {
    Device& dev = startDevice();
    const std::string missing = "/dev/ttyUSB-t6-missing";
    for (const char* command : {"identify", "signal"}) {
        const CliRun r =
            run({command, "--port", QString::fromStdString(missing)}, 30000, {dev.port()});
        ASSERT_TRUE(r.finished);
        EXPECT_EQ(r.code, Exit::DeviceError) << command << r.err;
        EXPECT_THAT(r.err, HasSubstr("Порт " + missing + ": Нет такого файла или устройства"))
            << command;
        EXPECT_THAT(r.err, HasSubstr("Такого порта нет. Порты в системе: " + dev.pty())) << command;
        EXPECT_EQ(r.out, "");
    }
    // The same in English, through the dictionary.
    const CliRun r = run(
        {"read", "--port", QString::fromStdString(missing), "--out", qpath("x.t6"), "--lang", "en"},
        30000, {dev.port()});
    EXPECT_EQ(r.code, Exit::DeviceError) << r.err;
    EXPECT_THAT(r.err, HasSubstr("Port " + missing + ": No such file or directory"));
    EXPECT_THAT(r.err, HasSubstr("There is no such port. The system's ports: " + dev.pty()));
    EXPECT_FALSE(exists("x.t6"));
    EXPECT_TRUE(dev.requests().empty()) << "nothing reached the device";
}

TEST_F(CliPortTest, ANameWithoutASlashIsAFileHereOrElseADevice) {
    Device& dev = startDevice();
    // Nothing of that name here: the device of that name, and the user is told.
    CliRun r = run({"identify", "--port", "dev3.tty"});
    EXPECT_EQ(r.code, Exit::DeviceError) << r.err;
    EXPECT_THAT(r.err, HasSubstr("Порт dev3.tty понят как /dev/dev3.tty"));
    EXPECT_THAT(r.err, HasSubstr("Порт /dev/dev3.tty: Нет такого файла или устройства"));
    // A file of that name here is that file: here a link to the device's terminal.
    fs::create_symlink(dev.pty(), dir / "dev3.tty");
    r = run({"identify", "--port", "dev3.tty"});
    EXPECT_EQ(r.code, Exit::Ok) << r.err;
    EXPECT_EQ(r.out, path("dev3.tty") + "\n2.05\n");
    EXPECT_THAT(r.err, Not(HasSubstr("/dev/dev3.tty")));
    // A plain file is no port, and is told so.
    fs::remove(dir / "dev3.tty");
    std::ofstream(dir / "dev3.tty") << "";
    r = run({"identify", "--port", "dev3.tty"});
    EXPECT_EQ(r.code, Exit::DeviceError) << r.err;
    EXPECT_THAT(r.err, HasSubstr("Порт " + path("dev3.tty") + ": Это не последовательный порт"));
    // A relative path is the user's, from the current folder.
    fs::create_directories(dir / "sub");
    fs::create_symlink(dev.pty(), dir / "sub" / "port");
    r = run({"identify", "--port", "sub/port"});
    EXPECT_EQ(r.code, Exit::Ok) << r.err;
    EXPECT_EQ(r.out, path("sub/port") + "\n2.05\n");
}

// Real refusals by the mode bits, as an ordinary user meets them.
TEST_F(CliPortTest, APortTheUserMayNotOpenIsExplainedByItsOwnerGroupAndMode) {
    if (!canDropRights())
        GTEST_SKIP() << "needs root to give the terminal another owner and to drop rights";
    const group* dialout = ::getgrnam("dialout");
    if (!dialout)
        GTEST_SKIP() << "no dialout group";
    const std::string gid = std::to_string(dialout->gr_gid);
    Device& dev = startDevice();
    const char* pty = dev.pty().c_str();
    const QStringList args{QStringLiteral("identify"), QStringLiteral("--port"), dev.port()};

    // In the group, which may not: the mode must change; never "join the group".
    ASSERT_EQ(::chown(pty, 0, dialout->gr_gid), 0);
    ASSERT_EQ(::chmod(pty, 0600), 0);
    CliRun r = runAsUser({QString::fromStdString(gid)}, args, {dev.port()});
    EXPECT_EQ(r.code, Exit::DeviceError) << r.err;
    EXPECT_THAT(r.err, HasSubstr("Порт " + dev.pty() + ": Отказано в доступе"));
    EXPECT_THAT(r.err, HasSubstr("Вы в группе dialout, но у группы нет права читать и писать "
                                 "порт (права 0600)."));
    EXPECT_THAT(r.err, HasSubstr("sudo chmod g+rw " + dev.pty()));
    EXPECT_THAT(r.err, Not(HasSubstr("usermod")));

    // Not in the group, which may: join it.
    ASSERT_EQ(::chmod(pty, 0660), 0);
    r = runAsUser({}, args, {dev.port()});
    EXPECT_EQ(r.code, Exit::DeviceError) << r.err;
    EXPECT_THAT(r.err, HasSubstr("sudo usermod -aG dialout $USER"));

    // The user's own port without the owner's rights.
    ASSERT_EQ(::chown(pty, 65534, dialout->gr_gid), 0);
    ASSERT_EQ(::chmod(pty, 0000), 0);
    r = runAsUser({}, args, {dev.port()});
    EXPECT_THAT(r.err, HasSubstr("chmod u+rw " + dev.pty()));
    EXPECT_THAT(r.err, Not(HasSubstr("usermod")));

    // Root's alone, in English: no group would help.
    ASSERT_EQ(::chown(pty, 0, 0), 0);
    ASSERT_EQ(::chmod(pty, 0600), 0);
    r = runAsUser({}, args + QStringList{QStringLiteral("--lang"), QStringLiteral("en")},
                  {dev.port()});
    EXPECT_EQ(r.code, Exit::DeviceError) << r.err;
    EXPECT_THAT(r.err, HasSubstr("Port " + dev.pty() + ": Permission denied"));
    EXPECT_THAT(r.err, HasSubstr("The port's mode 0600 (owner root, group root) lets no "
                                 "ordinary user open it: joining a group would not help."));
    EXPECT_THAT(r.err, Not(HasSubstr("usermod")));

    // A search that could open no port is no "no answer": 7, with each reason.
    r = runAsUser({}, {QStringLiteral("identify")}, {dev.port()});
    EXPECT_EQ(r.code, Exit::DeviceError) << r.err;
    EXPECT_THAT(r.err, HasSubstr("Порт " + dev.pty() + ": Отказано в доступе"));
    EXPECT_TRUE(dev.requests().empty());
}

} // namespace
} // namespace t6::test
