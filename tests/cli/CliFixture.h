#pragma once
// The program "torvel6" run as a process with a directory of its own as its
// working folder (--work-dir, with the shipped dictionary), against the
// simulated device program over a pseudo-terminal. Its home and data folders
// lie in that directory too, so that nothing reaches the user's own. Real
// time; every wait is bounded.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/Cp1251.h"

namespace t6::test {

// The QProcess of the tests wants an application object; the GoogleTest main makes none.
inline void ensureCoreApplication() {
    static int argc = 1;
    static char name[] = "test_cli";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance())
        new QCoreApplication(argc, argv);
}

struct CliRun {
    int code = -1;
    std::string out; // UTF-8, as the terminal gets it
    std::string err;
    bool finished = false;
};

// The simulated device with --verbose: what it was asked is read from its log.
class Device {
public:
    explicit Device(const QStringList& args) {
        QStringList all = args;
        all << QStringLiteral("--verbose");
        sim_.start(QString::fromUtf8(T6_DEVICESIM), all);
        if (!sim_.waitForStarted(3000))
            return;
        for (int i = 0; i < 100 && !sim_.canReadLine(); ++i)
            sim_.waitForReadyRead(30);
        pty_ = QString::fromUtf8(sim_.readLine()).trimmed().toStdString();
    }
    ~Device() {
        sim_.terminate();
        if (!sim_.waitForFinished(2000))
            sim_.kill();
    }
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // The device goes away at once (an adapter pulled out).
    void kill() {
        collect();
        sim_.kill();
        sim_.waitForFinished(2000);
    }

    const std::string& pty() const { return pty_; }
    QString port() const { return QString::fromStdString(pty_); }

    // The payloads of the requests received so far, in printable form
    // ("Tt", "Ro", bytes outside ASCII as "."), in order.
    std::vector<std::string> requests() {
        collect();
        std::vector<std::string> found;
        std::istringstream lines(log_);
        const std::string mark = "<- #";
        for (std::string l; std::getline(lines, l);) {
            if (l.find(mark) == std::string::npos)
                continue;
            const auto open = l.find('"');
            const auto close = l.rfind('"');
            if (open != std::string::npos && close > open)
                found.push_back(l.substr(open + 1, close - open - 1));
        }
        return found;
    }
    bool asked(const std::string& payload) {
        for (const std::string& r : requests())
            if (r == payload)
                return true;
        return false;
    }
    const std::string& log() {
        collect();
        return log_;
    }

private:
    void collect() {
        while (sim_.waitForReadyRead(50)) {
        }
        log_ += sim_.readAllStandardError().toStdString();
    }

    QProcess sim_;
    std::string pty_;
    std::string log_;
};

class CliTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ensureCoreApplication(); }

    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("t6-cli-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        std::filesystem::copy_file(std::filesystem::path(T6_SOURCE_DIR) / "data" / "trans.dic",
                                   dir / "trans.dic");
    }
    void TearDown() override {
        devices.clear();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    Device& startDevice(const QStringList& args = {}) {
        devices.push_back(std::make_unique<Device>(args));
        EXPECT_FALSE(devices.back()->pty().empty()) << "the simulated device did not start";
        return *devices.back();
    }

    // The environment of the program: its home inside the test's directory.
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), qpath("home"));
        env.remove(QStringLiteral("XDG_DATA_HOME"));
        env.remove(QStringLiteral("XDG_CONFIG_HOME"));
        return env;
    }

    // Starts the program in the test's directory, its working folder (unless
    // workDir is off: the program then chooses its folder itself).
    void start(QProcess& p, const QStringList& args, const QStringList& extraPorts = {}) {
        QProcessEnvironment env = environment();
        env.insert(QStringLiteral("TORVEL6_EXTRA_PORTS"), QString());
        // A search asks only the test's own ports: the system's would be
        // probed by several tests at once and found busy.
        if (!extraPorts.isEmpty())
            env.insert(QStringLiteral("TORVEL6_PORTS"), extraPorts.join(QLatin1Char(':')));
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(QString::fromStdString(dir.string()));
        p.start(QString::fromUtf8(T6_CLI),
                workDir ? QStringList{QStringLiteral("--work-dir"), qpath("")} + args : args);
        ASSERT_TRUE(p.waitForStarted(3000));
    }
    static CliRun result(QProcess& p, int ms) {
        CliRun r;
        r.finished = p.waitForFinished(ms);
        if (!r.finished) {
            p.kill();
            p.waitForFinished(2000);
        }
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = p.readAllStandardOutput().toStdString();
        r.err = p.readAllStandardError().toStdString();
        return r;
    }
    // Runs the program to its end (at most `ms`).
    CliRun run(const QStringList& args, int ms = 30000, const QStringList& extraPorts = {}) {
        QProcess p;
        start(p, args, extraPorts);
        return result(p, ms);
    }

    std::string path(const std::string& name) const { return (dir / name).string(); }
    QString qpath(const std::string& name) const { return QString::fromStdString(path(name)); }
    bool exists(const std::string& name) const { return std::filesystem::exists(dir / name); }
    // A file of the program directory as bytes.
    std::string bytes(const std::string& name) const {
        std::ifstream in(dir / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // A Windows-1251 file of the program directory as UTF-8.
    std::string text(const std::string& name) const { return cp1251ToUtf8(bytes(name)); }
    void put(const std::string& name, const std::string& content) const {
        std::ofstream(dir / name, std::ios::binary) << content;
    }

    std::filesystem::path dir;
    bool workDir = true;
    std::vector<std::unique_ptr<Device>> devices;
};

inline bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

} // namespace t6::test
