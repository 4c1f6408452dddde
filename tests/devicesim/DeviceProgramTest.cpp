// The simulator program itself, over a real pseudo-terminal. Every wait is
// bounded; a program left running by a failed test is killed.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <optional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;
using namespace std::string_literals;

const std::string kTt("\xFE\xFF"
                      "Tt"
                      "\xFF\xFE");
const std::string kSg("\xFE\xFF"
                      "Sg"
                      "\xFF\xFE");
const std::string kT7Reply("\xFE\xFF"
                           "T7 2.05"
                           "\xFF\xFE");

int remainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Reads from fd until `done` says the bytes are complete or the deadline passes.
template <typename Done> std::string readUntil(int fd, Clock::time_point deadline, Done done) {
    std::string got;
    while (!done(got)) {
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, remainingMs(deadline));
        if (r < 0 && errno == EINTR) {
            continue;
        }
        if (r <= 0) {
            break;
        }
        char buf[512];
        const auto n = ::read(fd, buf, sizeof buf);
        if (n > 0) {
            got.append(buf, static_cast<std::size_t>(n));
        } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
            break;
        }
    }
    return got;
}

// True once the bytes hold a whole packet (noise before it allowed).
bool endsWithStop(const std::string& s) {
    const auto start = s.find("\xFE\xFF");
    return start != std::string::npos && s.find("\xFF\xFE", start + 2) != std::string::npos;
}

// The program with its stdout and stderr on pipes.
class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& args) {
        int out[2];
        int err[2];
        if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        std::vector<std::string> all{T6_DEVICESIM};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, T6_DEVICESIM, &actions, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(err[1]);
        out_ = out[0];
        err_ = err[0];
    }

    ~SimProcess() {
        if (pid_ > 0 && !status_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(out_);
        ::close(err_);
    }

    bool started() const { return pid_ > 0; }

    // The first line of stdout, without its line break; empty on time-out.
    std::string firstLine(std::chrono::milliseconds within = 2000ms) {
        const auto text = readUntil(out_, Clock::now() + within, [](const std::string& s) {
            return s.find('\n') != std::string::npos;
        });
        const auto nl = text.find('\n');
        return nl == std::string::npos ? std::string() : text.substr(0, nl);
    }

    std::string readAllStderr(std::chrono::milliseconds within = 2000ms) {
        return readUntil(err_, Clock::now() + within, [](const std::string&) { return false; });
    }

    void signal(int sig) { ::kill(pid_, sig); }

    // The exit status once the program has ended within the bound.
    std::optional<int> waitExit(std::chrono::milliseconds within = 2000ms) {
        const auto deadline = Clock::now() + within;
        while (!status_) {
            int st = 0;
            const pid_t r = ::waitpid(pid_, &st, WNOHANG);
            if (r == pid_) {
                status_ = st;
                break;
            }
            if (Clock::now() >= deadline) {
                break;
            }
            ::usleep(2000);
        }
        return status_;
    }

private:
    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::optional<int> status_;
};

// Opens the terminal as the configurator would: raw, 38400 baud, not blocking.
int openPort(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B38400);
    ::cfsetospeed(&tio, B38400);
    ::tcsetattr(fd, TCSANOW, &tio);
    return fd;
}

std::string ask(int fd, const std::string& request, std::chrono::milliseconds within = 2000ms) {
    if (::write(fd, request.data(), request.size()) != static_cast<ssize_t>(request.size())) {
        return {};
    }
    return readUntil(fd, Clock::now() + within, endsWithStop);
}

std::string tempPath(const char* name) {
    return ::testing::TempDir() + "t6sim-" + std::to_string(::getpid()) + "-" + name;
}

} // namespace

TEST(DeviceProgram, AnswersOverThePtyAcrossReopensAndStopsCleanly) {
    const std::string link = tempPath("link");
    ::unlink(link.c_str());
    SimProcess sim({"--link", link});
    ASSERT_TRUE(sim.started());
    const std::string path = sim.firstLine();
    ASSERT_EQ(path.rfind("/dev/", 0), 0u) << "first line: " << path;

    char target[256] = {};
    ASSERT_GT(::readlink(link.c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(path, target);

    int fd = openPort(path);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(ask(fd, kTt), kT7Reply);
    ::close(fd);

    // Closed and opened again, as the configurator does for every operation,
    // this time through the link.
    fd = openPort(link);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(ask(fd, kSg), "\xFE\xFF+CSQ: 17,99\xFF\xFE");
    // A request written in two pieces is still one request.
    ASSERT_EQ(::write(fd, kTt.data(), 3), 3);
    ::usleep(20000);
    EXPECT_EQ(ask(fd, kTt.substr(3)), kT7Reply);
    ::close(fd);

    const auto stopAt = Clock::now();
    sim.signal(SIGTERM);
    const auto status = sim.waitExit();
    ASSERT_TRUE(status.has_value()) << "still running 2 s after SIGTERM";
    EXPECT_LT(Clock::now() - stopAt, 500ms);
    ASSERT_TRUE(WIFEXITED(*status));
    EXPECT_EQ(WEXITSTATUS(*status), 0);
    struct stat st {};
    EXPECT_NE(::lstat(link.c_str(), &st), 0) << "the link is still there";
}

TEST(DeviceProgram, MisbehaviourOptionsReachTheLine) {
    SimProcess sim(
        {"--type", "T6", "--silent", "Sg", "--delay", "200", "--split", "2", "--noise", "--pace"});
    ASSERT_TRUE(sim.started());
    const std::string path = sim.firstLine();
    ASSERT_FALSE(path.empty());
    const int fd = openPort(path);
    ASSERT_GE(fd, 0);

    // Silent: nothing within a while, then the next request is answered.
    ASSERT_EQ(::write(fd, kSg.data(), kSg.size()), static_cast<ssize_t>(kSg.size()));
    EXPECT_EQ(readUntil(fd, Clock::now() + 400ms, [](const std::string&) { return false; }), "");

    const auto asked = Clock::now();
    const std::string reply = ask(fd, kTt);
    const auto took = Clock::now() - asked;
    EXPECT_EQ(reply, std::string("\x00\x11\xFF\xFE\x55\xFE", 6) + "\xFE\xFFT6\xFF\xFE");
    EXPECT_GE(took, 200ms); // the delay is applied before the first byte
    EXPECT_LT(took, 1500ms);
    ::close(fd);

    sim.signal(SIGINT);
    const auto status = sim.waitExit();
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
}

TEST(DeviceProgram, ExitAfterEndsTheRunByItself) {
    SimProcess sim({"--exit-after", "0.3"});
    ASSERT_TRUE(sim.started());
    EXPECT_FALSE(sim.firstLine().empty());
    const auto status = sim.waitExit(2000ms);
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
}

TEST(DeviceProgram, BadOptionsExitWithOneAndSayWhy) {
    const std::string file = tempPath("plain-file");
    {
        const int fd = ::open(file.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
        ASSERT_GE(fd, 0);
        ::close(fd);
    }
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"},          {"--split", "0"}, {"--split", "3x"},
        {"--truncate", "-1"}, {"--delay"},      {"--exit-after", "0"},
        {"--noise=1"},        {"extra"},        {"--link", file},
    };
    for (const auto& args : cases) {
        SimProcess sim(args);
        ASSERT_TRUE(sim.started());
        const auto status = sim.waitExit();
        ASSERT_TRUE(status.has_value()) << args[0];
        EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 1) << args[0];
        EXPECT_NE(sim.readAllStderr(500ms), "") << args[0];
        EXPECT_EQ(sim.firstLine(100ms), "") << args[0];
    }
    struct stat st {};
    EXPECT_EQ(::lstat(file.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode)) << "a file in the way of --link was replaced";
    ::unlink(file.c_str());

    SimProcess help({"--help"});
    ASSERT_TRUE(help.started());
    EXPECT_EQ(help.firstLine().rfind("Usage:", 0), 0u);
    const auto status = help.waitExit();
    ASSERT_TRUE(status.has_value());
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
}

namespace {

std::string framed(const std::string& payload) {
    return "\xFE\xFF" + payload + "\xFF\xFE";
}

// n bytes of every value, 00 and FE FF included, never FF FE.
std::string blockData(std::size_t n, unsigned seed) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) {
        char c = static_cast<char>((i * 29 + seed) & 0xFF);
        if (c == '\xFE' && !s.empty() && s.back() == '\xFF') {
            c = '\x00';
        }
        s += c;
    }
    return s;
}

bool writeAll(int fd, const std::string& bytes) {
    return ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

std::string quietFor(int fd, std::chrono::milliseconds span) {
    return readUntil(fd, Clock::now() + span, [](const std::string&) { return false; });
}

} // namespace

TEST(DeviceProgram, WholeWriteChainIsStoredAndReadBack) {
    SimProcess sim({});
    ASSERT_TRUE(sim.started());
    const std::string path = sim.firstLine();
    ASSERT_FALSE(path.empty());
    const int fd = openPort(path);
    ASSERT_GE(fd, 0);

    // The configuration block in the writes the configurator makes: the start
    // with the mark, a telephones record, a delays record, the stop string.
    const std::string telephones = "\x11"
                                   "79161234567/7/7/7/7/\r";
    const std::string delays("\x24\x05\x0A"
                             "0000000000\r");
    ASSERT_TRUE(writeAll(fd, "\xFE\xFF\x99\x99"));
    ASSERT_TRUE(writeAll(fd, telephones));
    ASSERT_TRUE(writeAll(fd, delays));
    EXPECT_EQ(ask(fd, "\xFF\xFE"), "\xFE\xFF"
                                   "COK\xFF\xFE");

    const std::string remotes = blockData(130, 1);
    const std::string names = blockData(78, 2);
    const std::string outputs = blockData(224, 3);
    EXPECT_EQ(ask(fd, framed("Wp")), framed("OK"));
    EXPECT_EQ(ask(fd, framed(remotes)), framed("Ok"));
    EXPECT_EQ(ask(fd, framed("Wtd")), framed("OK"));
    EXPECT_EQ(ask(fd, framed(names)), framed("Ok"));
    EXPECT_EQ(ask(fd, framed("Wo")), framed("OK"));
    EXPECT_EQ(ask(fd, framed(outputs)), framed("Ok"));
    ::close(fd);

    // A read later, on a reopened port, brings back every byte written.
    const int again = openPort(path);
    ASSERT_GE(again, 0);
    EXPECT_EQ(ask(again, framed("Ro")), framed(outputs));
    EXPECT_EQ(ask(again, framed("Pt")), framed("\x99\x99" + telephones + delays));
    EXPECT_EQ(ask(again, framed("Pn")), framed(remotes));
    EXPECT_EQ(ask(again, framed("Ltd")), framed(names));
    // Data of the wrong length is refused.
    EXPECT_EQ(ask(again, framed("Wo")), framed("OK"));
    EXPECT_EQ(ask(again, framed(outputs.substr(1))), framed("Err"));
    EXPECT_EQ(ask(again, framed("Ro")), framed(outputs));
    ::close(again);
}

TEST(DeviceProgram, DemoReadChainAndStageMisbehaviour) {
    SimProcess sim({"--reply", "block=COK\\x20", "--truncate-reply=Ro=10", "--silent", "Wp-data",
                    "--reply", "Wtd=Ok"});
    ASSERT_TRUE(sim.started());
    const std::string path = sim.firstLine();
    ASSERT_FALSE(path.empty());
    const int fd = openPort(path);
    ASSERT_GE(fd, 0);

    // "Ro" is cut after ten bytes and never ends.
    ASSERT_TRUE(writeAll(fd, framed("Ro")));
    EXPECT_EQ(quietFor(fd, 300ms), "\xFE\xFF\x31\xD1\xE2\xE5\xF2\x00\x00\x00"s);
    // The other read replies are whole: the demo content.
    const std::string pt = ask(fd, framed("Pt"));
    EXPECT_EQ(pt.substr(0, 6), "\xFE\xFF\x99\x99\x01\xC2");
    EXPECT_EQ(pt.substr(pt.size() - 3), "\r\xFF\xFE");
    EXPECT_EQ(ask(fd, framed("Pn")).size(), 134u);
    EXPECT_EQ(ask(fd, framed("Ltd")).size(), 82u);

    // The block is stored but confirmed with a blank too many.
    EXPECT_EQ(ask(fd, framed("\x99\x99\x11"
                             "7/7/7/7/7/\r")),
              framed("COK "));
    // The remote controls are sent into silence and not stored.
    EXPECT_EQ(ask(fd, framed("Wp")), framed("OK"));
    ASSERT_TRUE(writeAll(fd, framed(blockData(130, 4))));
    EXPECT_EQ(quietFor(fd, 300ms), "");
    EXPECT_EQ(ask(fd, framed("Pn")).substr(2, 4), "\xCF\xE0\xEF\xE0");
    // "Ok" where "OK" is due.
    EXPECT_EQ(ask(fd, framed("Wtd")), framed("Ok"));
    ::close(fd);
}

TEST(DeviceProgram, PacedBlockTakesItsTimeOnTheLine) {
    SimProcess sim({"--pace"});
    ASSERT_TRUE(sim.started());
    const std::string path = sim.firstLine();
    ASSERT_FALSE(path.empty());
    const int fd = openPort(path);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(ask(fd, kTt), kT7Reply); // the program is up and answering

    // 228 bytes at 260 µs each: 59 ms from the first byte to the last.
    const auto asked = Clock::now();
    const std::string reply = ask(fd, framed("Ro"));
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - asked);
    EXPECT_EQ(reply.size(), 228u);
    EXPECT_GE(took, 55ms);
    EXPECT_LE(took, 90ms);
    ::close(fd);
}

TEST(DeviceProgram, KeyReadWaitsForTheLearnDelayAndIsCancelled) {
    SimProcess sim({"--learn-delay", "400", "--key-code", "01A2B3C4D5E6F708"});
    ASSERT_TRUE(sim.started());
    const std::string path = sim.firstLine();
    ASSERT_FALSE(path.empty());
    const int fd = openPort(path);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(ask(fd, kTt), kT7Reply); // the program is up and answering

    // FE FF 4B 72 FF FE: nothing for the learn delay, then the key's identity;
    // a request in between is answered at once.
    const auto asked = Clock::now();
    ASSERT_TRUE(writeAll(fd, "\xFE\xFFKr\xFF\xFE"));
    EXPECT_EQ(ask(fd, kSg), "\xFE\xFF+CSQ: 17,99\xFF\xFE");
    EXPECT_LT(Clock::now() - asked, 300ms);
    const std::string key = readUntil(fd, asked + 2000ms, endsWithStop);
    const auto took = Clock::now() - asked;
    EXPECT_EQ(key, "\xFE\xFF\x01\xA2\xB3\xC4\xD5\xE6\xF7\x08\xFF\xFE"s);
    EXPECT_GE(took, 400ms);
    EXPECT_LT(took, 1500ms);

    // FE FF 55 72 FF FE before the identity is due: no answer to either.
    ASSERT_TRUE(writeAll(fd, framed("Kr")));
    ::usleep(150000);
    ASSERT_TRUE(writeAll(fd, "\xFE\xFFUr\xFF\xFE"));
    EXPECT_EQ(quietFor(fd, 800ms), "");
    // And the next read is a new one.
    ASSERT_TRUE(writeAll(fd, framed("Kr")));
    EXPECT_EQ(readUntil(fd, Clock::now() + 2000ms, endsWithStop), key);
    ::close(fd);
}

TEST(DeviceProgram, LateTwiceAndDeadLineReachTheTerminal) {
    SimProcess sim({"--late-reply", "Sg=400", "--reply-twice", "Tt", "--split-at", "Pn=3",
                    "--die-at", "Ro=10"});
    ASSERT_TRUE(sim.started());
    const std::string path = sim.firstLine();
    ASSERT_FALSE(path.empty());
    const int fd = openPort(path);
    ASSERT_GE(fd, 0);

    // Twice: the same packet again after a pause.
    ASSERT_TRUE(writeAll(fd, kTt));
    EXPECT_EQ(readUntil(fd, Clock::now() + 2000ms,
                        [](const std::string& s) { return s.size() >= 2 * kT7Reply.size(); }),
              kT7Reply + kT7Reply);

    // Late: the signal level comes after the hold, and the identification
    // asked meanwhile waits behind it, as a stale reply before the right one.
    const auto asked = Clock::now();
    ASSERT_TRUE(writeAll(fd, kSg));
    ::usleep(50000);
    ASSERT_TRUE(writeAll(fd, kTt));
    const std::string both = readUntil(fd, Clock::now() + 2000ms, [](const std::string& s) {
        return s.size() >= 15 + 2 * kT7Reply.size();
    });
    EXPECT_GE(Clock::now() - asked, 400ms);
    EXPECT_EQ(both, "\xFE\xFF+CSQ: 17,99\xFF\xFE"s + kT7Reply + kT7Reply);

    // Split at a position: still the whole block.
    EXPECT_EQ(ask(fd, framed("Pn")).size(), 134u);

    // The line goes dead after ten bytes of "Ro": they arrive, then the
    // terminal hangs up and the program ends by itself.
    ASSERT_TRUE(writeAll(fd, framed("Ro")));
    const std::string cut = quietFor(fd, 1000ms);
    EXPECT_EQ(cut, "\xFE\xFF\x31\xD1\xE2\xE5\xF2\x00\x00\x00"s);
    const auto status = sim.waitExit(2000ms);
    ASSERT_TRUE(status.has_value()) << "still running after the hang-up";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0);
    pollfd p{fd, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 1000), 1);
    EXPECT_NE(p.revents & (POLLHUP | POLLERR), 0) << "the terminal did not hang up";
    ::close(fd);
}
