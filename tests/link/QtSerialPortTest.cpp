// The port adapter against pseudo-terminals the tests open themselves: the
// adapter opens the slave side like a serial port, the test plays the device
// on the master side. Every wait is bounded.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include "link/QtSerialPort.h"

namespace t6 {
namespace {

// A pseudo-terminal in raw mode. A slave descriptor stays open so that the
// line settings hold and the test can see when bytes have reached the slave.
class Pty {
public:
    Pty() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0)
            return;
        path_ = ::ptsname(master_);
        slave_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios tio{};
        if (slave_ < 0 || ::tcgetattr(slave_, &tio) != 0)
            return;
        ::cfmakeraw(&tio);
        ::tcsetattr(slave_, TCSANOW, &tio);
    }
    ~Pty() {
        closeMaster();
        if (slave_ >= 0)
            ::close(slave_);
    }
    bool ok() const { return master_ >= 0 && slave_ >= 0; }
    // The line settings of the terminal as the adapter left them.
    termios settings() const {
        termios tio{};
        ::tcgetattr(slave_, &tio);
        return tio;
    }
    // Settings nobody would choose for the device, so that the adapter's own show.
    void scramble() {
        termios tio = settings();
        ::cfsetispeed(&tio, B9600);
        ::cfsetospeed(&tio, B9600);
        tio.c_cflag = (tio.c_cflag & ~CSIZE) | CS7 | PARENB | CSTOPB | CRTSCTS;
        tio.c_iflag |= IXON | IXOFF;
        ::tcsetattr(slave_, TCSANOW, &tio);
    }
    const std::string& path() const { return path_; }

    void send(const Bytes& bytes) {
        ASSERT_EQ(::write(master_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }

    // Reads from the master until `count` bytes came or `ms` passed.
    Bytes receive(std::size_t count, int ms = 2000) {
        Bytes got;
        QDeadlineTimer deadline(ms);
        while (got.size() < count && !deadline.hasExpired()) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, int(deadline.remainingTime())) <= 0)
                break;
            char buf[256];
            ssize_t n = ::read(master_, buf, sizeof buf);
            if (n <= 0)
                break;
            got.append(buf, std::size_t(n));
        }
        return got;
    }

    // True once bytes wait in the slave's input queue (sent, not yet read).
    bool slaveHasInput(int ms = 2000) {
        pollfd p{slave_, POLLIN, 0};
        return ::poll(&p, 1, ms) == 1 && (p.revents & POLLIN);
    }

    void closeMaster() {
        if (master_ >= 0)
            ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    std::string path_;
};

// Runs the event loop until the condition holds or `ms` passed.
bool waitFor(const std::function<bool()>& done, int ms = 2000) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Runs the event loop for `ms`, as a modal box does.
void runNestedLoop(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

std::string errorText(const std::function<void()>& action) {
    try {
        action();
    } catch (const PortError& e) {
        return e.what();
    }
    return "no error";
}

class QtSerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.ok()) << "no pseudo-terminal: " << std::strerror(errno);
        port.setReceiver([this](const Bytes& chunk) { received += chunk; });
        port.setLostHandler([this](int code) { lostReasons.push_back(code); });
    }
    Pty pty;
    QtSerialPort port;
    Bytes received;
    std::vector<int> lostReasons;
};

TEST_F(QtSerialPortTest, ExchangesBytesBothWays) {
    EXPECT_EQ(port.portName(), "COM1");
    port.setPortName(pty.path());
    ASSERT_NO_THROW(port.open());
    EXPECT_TRUE(port.isOpen());
    port.open(); // nothing happens when open
    EXPECT_TRUE(port.isOpen());

    const Bytes request = bytesOf({0xFE, 0xFF, 0x54, 0x37, 0xFF, 0xFE});
    port.write(request);
    port.write("");
    // write() returned: the bytes have left the program.
    EXPECT_EQ(pty.receive(request.size()), request);

    const Bytes reply = bytesOf({0xFE, 0xFF, 0x00, 0x0D, 0x0A, 0x11, 0x13, 0xFF, 0xFE});
    pty.send(reply);
    EXPECT_TRUE(waitFor([&] { return received.size() >= reply.size(); }));
    EXPECT_EQ(received, reply);

    port.close();
    EXPECT_FALSE(port.isOpen());
    port.close();
    EXPECT_TRUE(lostReasons.empty());
}

TEST_F(QtSerialPortTest, OpensAt38400EightDataBitsNoParityOneStopNoFlowControl) {
    pty.scramble();
    port.setPortName(pty.path());
    ASSERT_NO_THROW(port.open());
    const termios tio = pty.settings();
    EXPECT_EQ(::cfgetispeed(&tio), speed_t(B38400));
    EXPECT_EQ(::cfgetospeed(&tio), speed_t(B38400));
    EXPECT_EQ(tio.c_cflag & CSIZE, tcflag_t(CS8));
    EXPECT_EQ(tio.c_cflag & PARENB, 0u);
    EXPECT_EQ(tio.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(tio.c_cflag & CRTSCTS, 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | IXANY), 0u);
    port.close();
}

TEST_F(QtSerialPortTest, FailuresCarryTheFixedTexts) {
    port.setPortName("/dev/t6-no-such-port");
    EXPECT_EQ(errorText([&] { port.open(); }), "Unable to open com port (win error code: 2)");
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(errorText([&] { port.write("x"); }), "WriteFile function failed (win error code: 9)");
    EXPECT_EQ(errorText([&] { port.purge(); }), "PurgeComm function failed (win error code: 9)");

    // Exclusive use: a second opener of the same port is refused.
    port.setPortName(pty.path());
    port.open();
    QtSerialPort other;
    other.setPortName(pty.path());
    // The toolkit reports a port held elsewhere as a permission error; the
    // port file shows this user may use it, so it is busy.
    EXPECT_EQ(errorText([&] { other.open(); }), "Unable to open com port (win error code: 16)");
    try {
        other.open();
        ADD_FAILURE() << "a held port opened";
    } catch (const PortError& e) {
        EXPECT_EQ(e.fault(), PortFault::Busy);
        EXPECT_EQ(e.code(), 16);
    }
    EXPECT_FALSE(other.isOpen());
    EXPECT_TRUE(port.isOpen());

    QtSerialPort missing;
    missing.setPortName("/dev/t6-no-such-port");
    try {
        missing.open();
        ADD_FAILURE() << "a missing port opened";
    } catch (const PortError& e) {
        EXPECT_EQ(e.fault(), PortFault::NotFound);
        EXPECT_EQ(e.code(), 2);
    }
}

TEST_F(QtSerialPortTest, PurgeDropsWhatWaitsToBeRead) {
    port.setPortName(pty.path());
    port.open();
    pty.send("stale");
    ASSERT_TRUE(pty.slaveHasInput());
    port.purge();
    pty.send("fresh");
    EXPECT_TRUE(waitFor([&] { return received.size() >= 5; }));
    EXPECT_EQ(received, "fresh");
}

TEST_F(QtSerialPortTest, RenamingAnOpenPortReopensIt) {
    Pty second;
    ASSERT_TRUE(second.ok());
    port.setPortName(pty.path());
    port.open();
    port.setPortName(second.path());
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.portName(), second.path());
    port.write("Pt");
    EXPECT_EQ(second.receive(2), "Pt");
    // The first port was let go: another opener gets it.
    QtSerialPort other;
    other.setPortName(pty.path());
    EXPECT_NO_THROW(other.open());

    // While closed a new name is only recorded.
    port.close();
    port.setPortName(pty.path());
    EXPECT_FALSE(port.isOpen());
}

TEST_F(QtSerialPortTest, BytesArrivingWhileTheReceiverRunsAreReadAfterIt) {
    int depth = 0;
    int maxDepth = 0;
    port.setReceiver([&](const Bytes& chunk) {
        maxDepth = std::max(maxDepth, ++depth);
        received += chunk;
        if (chunk == "first") {
            // A modal box: the rest arrives while its event loop runs, and no
            // byte follows afterwards.
            pty.send("second");
            runNestedLoop(150);
        }
        --depth;
    });
    port.setPortName(pty.path());
    port.open();
    pty.send("first");
    EXPECT_TRUE(waitFor([&] { return received.size() >= 11; }));
    EXPECT_EQ(received, "firstsecond");
    EXPECT_EQ(maxDepth, 1);
}

TEST_F(QtSerialPortTest, BytesArrivingDuringAWriteAreHandedOverAfterIt) {
    bool inWrite = false;
    bool calledInWrite = false;
    port.setReceiver([&](const Bytes& chunk) {
        calledInWrite |= inWrite;
        received += chunk;
    });
    port.setPortName(pty.path());
    port.open();
    pty.send("OK");
    ASSERT_TRUE(pty.slaveHasInput());
    inWrite = true;
    port.write("Wp");
    inWrite = false;
    EXPECT_TRUE(waitFor([&] { return received.size() >= 2; }));
    EXPECT_EQ(received, "OK");
    EXPECT_FALSE(calledInWrite);
}

double cpuSeconds() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

TEST_F(QtSerialPortTest, VanishedPortIsClosedAndReported) {
    port.setPortName(pty.path());
    port.open();
    pty.closeMaster(); // as when the adapter is unplugged
    ASSERT_TRUE(waitFor([&] { return !lostReasons.empty(); }));
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(lostReasons.front(), EIO) << "the system's error number; the program words it";

    // Nothing keeps firing afterwards.
    double before = cpuSeconds();
    runNestedLoop(200);
    EXPECT_LT(cpuSeconds() - before, 0.1);
    EXPECT_EQ(lostReasons.size(), 1u);
    EXPECT_EQ(errorText([&] { port.write("x"); }), "WriteFile function failed (win error code: 9)");
}

TEST_F(QtSerialPortTest, WithTorvel6PortsOnlyThosePathsAreListed) {
    ASSERT_EQ(std::getenv("TORVEL6_PORTS"), nullptr);
    ::setenv("TORVEL6_PORTS", (":" + pty.path() + ":/dev/ttyT6-none").c_str(), 1);
    ::setenv("TORVEL6_EXTRA_PORTS", "/dev/ttyT6-extra", 1);
    const std::vector<std::string> names = port.listPorts();
    ::unsetenv("TORVEL6_PORTS");
    ::unsetenv("TORVEL6_EXTRA_PORTS");
    EXPECT_EQ(names, (std::vector<std::string>{pty.path(), "/dev/ttyT6-none"}))
        << "neither the system's ports nor the extra paths";
    ::setenv("TORVEL6_PORTS", "", 1);
    EXPECT_TRUE(port.listPorts().empty()) << "set but empty: no port at all";
    ::unsetenv("TORVEL6_PORTS");
}

TEST_F(QtSerialPortTest, ListsTheSystemPortsAndTheExtraPaths) {
    const char* old = std::getenv("TORVEL6_EXTRA_PORTS");
    std::string saved = old ? old : "";
    ::setenv("TORVEL6_EXTRA_PORTS", (pty.path() + "::" + pty.path()).c_str(), 1);
    std::vector<std::string> names = port.listPorts();
    if (old)
        ::setenv("TORVEL6_EXTRA_PORTS", saved.c_str(), 1);
    else
        ::unsetenv("TORVEL6_EXTRA_PORTS");
    EXPECT_EQ(std::count(names.begin(), names.end(), pty.path()), 1);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end(), [](std::string a, std::string b) {
        for (auto* s : {&a, &b})
            std::transform(s->begin(), s->end(), s->begin(), ::tolower);
        return a < b;
    }));
}

} // namespace
} // namespace t6
