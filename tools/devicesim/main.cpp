// torvel6-devicesim: a simulated device on a pseudo-terminal.
//
// Opens a pty, prints the path of its slave side on the first line of stdout
// and answers the configurator on it until SIGTERM, SIGINT or SIGHUP arrives,
// until --exit-after has passed, or until a --die-at reply has gone out.
#include "SimCommandLine.h"
#include "SimDevice.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr const char* kProgram = "torvel6-devicesim";
// Pieces of a split reply leave this far apart, so that the reader really
// receives them one at a time instead of all together.
constexpr auto kChunkGap = 10ms;
// After the last byte before a hang-up, the program lives this much longer,
// so that the reader has the bytes before the terminal goes away (closing
// the master side throws away what the slave side has not read yet).
constexpr auto kHangUpLinger = 200ms;

// Signals only wake the main loop, through a pipe that poll() watches.
int g_wakeWrite = -1;

extern "C" void onStopSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(g_wakeWrite, &byte, 1);
    errno = saved;
}

bool setFlags(int fd, int fdFlags, int statusFlags) {
    const int fdNow = ::fcntl(fd, F_GETFD);
    const int statusNow = ::fcntl(fd, F_GETFL);
    return fdNow >= 0 && statusNow >= 0 && ::fcntl(fd, F_SETFD, fdNow | fdFlags) == 0 &&
           ::fcntl(fd, F_SETFL, statusNow | statusFlags) == 0;
}

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "%s: %s: %s\n", kProgram, what.c_str(), std::strerror(errno));
    std::exit(1);
}

struct Pty {
    int master = -1;
    int slave = -1; // held open so the master never sees a hang-up
    std::string path;
};

Pty openPty() {
    Pty pty;
    pty.master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (pty.master < 0) {
        fail("posix_openpt");
    }
    if (::grantpt(pty.master) != 0) {
        fail("grantpt");
    }
    if (::unlockpt(pty.master) != 0) {
        fail("unlockpt");
    }
    const char* name = ::ptsname(pty.master);
    if (name == nullptr) {
        fail("ptsname");
    }
    pty.path = name;
    if (!setFlags(pty.master, FD_CLOEXEC, O_NONBLOCK)) {
        fail("fcntl on the pty master");
    }

    pty.slave = ::open(pty.path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (pty.slave < 0) {
        fail("open " + pty.path);
    }
    termios tio{};
    if (::tcgetattr(pty.slave, &tio) != 0) {
        fail("tcgetattr " + pty.path);
    }
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B38400);
    ::cfsetospeed(&tio, B38400);
    tio.c_cflag |= CLOCAL | CREAD;
    if (::tcsetattr(pty.slave, TCSANOW, &tio) != 0) {
        fail("tcsetattr " + pty.path);
    }
    return pty;
}

// Makes `link` point to `target`. An old symbolic link there (left by a run
// that was killed) is replaced; anything else is left alone.
bool makeLink(const std::string& link, const std::string& target) {
    struct stat st {};
    if (::lstat(link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            std::fprintf(stderr, "%s: %s exists and is not a symbolic link\n", kProgram,
                         link.c_str());
            return false;
        }
        if (::unlink(link.c_str()) != 0) {
            std::fprintf(stderr, "%s: cannot replace %s: %s\n", kProgram, link.c_str(),
                         std::strerror(errno));
            return false;
        }
    }
    if (::symlink(target.c_str(), link.c_str()) != 0) {
        std::fprintf(stderr, "%s: cannot create the link %s: %s\n", kProgram, link.c_str(),
                     std::strerror(errno));
        return false;
    }
    return true;
}

// Removes the link only while it still points to this run's terminal.
void removeLink(const std::string& link, const std::string& target) {
    std::vector<char> buf(target.size() + 2);
    const auto n = ::readlink(link.c_str(), buf.data(), buf.size());
    if (n >= 0 && std::string_view(buf.data(), static_cast<std::size_t>(n)) == target) {
        ::unlink(link.c_str());
    }
}

std::string printable(std::string_view bytes) {
    std::string text;
    for (unsigned char c : bytes) {
        text += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '.';
    }
    return text;
}

// Reply bytes waiting for their time on the line.
//
// With pacing, byte k of the line's schedule leaves at the schedule's start
// plus k byte times. The schedule is absolute: each write sends every byte
// whose time has come, so a late wake-up is made up at once and the error does
// not add up over a long block. Without pacing a reply leaves as one write.
class OutputQueue {
public:
    OutputQueue(int fd, bool pace) : fd_(fd), pace_(pace) {}

    // hangUp: the line goes dead once these bytes have left.
    void push(Clock::time_point due, std::string bytes, bool hangUp = false) {
        if (!items_.empty() && due < items_.back().due) {
            due = items_.back().due; // never overtake an earlier reply
        }
        items_.push_back(Item{due, std::move(bytes), 0, hangUp});
    }

    Clock::time_point lastDue() const { return items_.back().due; }
    bool empty() const { return items_.empty(); }
    bool blocked() const { return blocked_; }
    // When the last byte before a hang-up left, if it has.
    std::optional<Clock::time_point> hungUpAt() const { return hungUpAt_; }

    // Writes what is due by `now`. Returns false on a write error that is not
    // a full buffer; the bytes concerned are dropped.
    bool flush(Clock::time_point now) {
        blocked_ = false;
        while (!items_.empty() && items_.front().due <= now && !hungUpAt_) {
            Item& item = items_.front();
            if (item.bytes.empty()) {
                finish(now);
                continue;
            }
            std::size_t want = item.bytes.size() - item.sent;
            Clock::time_point start{};
            if (pace_) {
                // An idle line starts a new schedule when the reply is due.
                start = std::max(lineFreeAt_, item.due);
                if (start > now) {
                    return true;
                }
                const auto dueBytes =
                    static_cast<std::size_t>((now - start) / t6sim::kByteTimeAtLineRate) + 1;
                want = std::min(want, dueBytes);
            }
            const auto n = ::write(fd_, item.bytes.data() + item.sent, want);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                if (errno == EAGAIN || errno == EWOULDBLOCK) {
                    blocked_ = true;
                    return true;
                }
                items_.pop_front();
                return false;
            }
            item.sent += static_cast<std::size_t>(n);
            if (pace_) {
                lineFreeAt_ = start + t6sim::kByteTimeAtLineRate * n;
            }
            if (item.sent == item.bytes.size()) {
                finish(now);
            }
        }
        return true;
    }

    // When the next byte may go, if any is waiting and the line is not full.
    std::optional<Clock::time_point> nextWrite() const {
        if (items_.empty() || blocked_ || hungUpAt_) {
            return std::nullopt;
        }
        const auto due = items_.front().due;
        return pace_ ? std::max(due, lineFreeAt_) : due;
    }

private:
    struct Item {
        Clock::time_point due;
        std::string bytes;
        std::size_t sent;
        bool hangUp;
    };

    void finish(Clock::time_point now) {
        if (items_.front().hangUp) {
            hungUpAt_ = now;
        }
        items_.pop_front();
    }

    int fd_;
    bool pace_;
    bool blocked_ = false;
    std::optional<Clock::time_point> hungUpAt_;
    Clock::time_point lineFreeAt_{};
    std::deque<Item> items_;
};

// Waits for the descriptors until `until` (for ever without it), to the
// microsecond, so that paced bytes leave on their schedule.
int waitFor(pollfd* fds, nfds_t count, Clock::time_point now,
            std::optional<Clock::time_point> until) {
    if (!until) {
        return ::ppoll(fds, count, nullptr, nullptr);
    }
    auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(*until - now);
    left = std::clamp(left, std::chrono::nanoseconds::zero(),
                      std::chrono::nanoseconds(std::chrono::seconds(60)));
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(left.count() / 1'000'000'000);
    ts.tv_nsec = static_cast<long>(left.count() % 1'000'000'000);
    return ::ppoll(fds, count, &ts, nullptr);
}

std::optional<Clock::time_point> earliest(std::optional<Clock::time_point> a,
                                          std::optional<Clock::time_point> b) {
    if (!a) {
        return b;
    }
    if (!b) {
        return a;
    }
    return std::min(*a, *b);
}

} // namespace

int main(int argc, char** argv) {
    t6sim::ProgramOptions options;
    try {
        options = t6sim::parseArguments(argc, argv);
    } catch (const t6sim::UsageError& e) {
        std::fprintf(stderr, "%s: %s\nTry '%s --help' for the options.\n", kProgram, e.text.c_str(),
                     kProgram);
        return 1;
    }
    if (options.help) {
        t6sim::printUsage(stdout, kProgram);
        return 0;
    }

    int wake[2];
    if (::pipe(wake) != 0 || !setFlags(wake[0], FD_CLOEXEC, O_NONBLOCK) ||
        !setFlags(wake[1], FD_CLOEXEC, O_NONBLOCK)) {
        fail("pipe");
    }
    g_wakeWrite = wake[1];
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        ::sigaction(sig, &sa, nullptr);
    }
    std::signal(SIGPIPE, SIG_IGN);

    const Pty pty = openPty();
    if (!options.link.empty() && !makeLink(options.link, pty.path)) {
        return 1;
    }
    std::printf("%s\n", pty.path.c_str());
    std::fflush(stdout);

    const bool verbose = options.verbose;
    if (verbose) {
        std::fprintf(stderr, "%s: serving on %s%s%s\n", kProgram, pty.path.c_str(),
                     options.link.empty() ? "" : " via ", options.link.c_str());
    }

    t6sim::SimDevice device(options.sim);
    OutputQueue out(pty.master, device.pacing());
    Clock::time_point fedAt = Clock::now();
    Clock::time_point inboundFreeAt{};
    std::uint64_t reported = 0;
    auto reportRequests = [&] {
        if (!verbose) {
            return;
        }
        const auto& log = device.requestLog();
        auto it = log.end();
        while (it != log.begin() && std::prev(it)->serial > reported) {
            --it;
        }
        for (; it != log.end(); ++it) {
            std::fprintf(stderr, "%s: <- #%llu [%s] \"%s\" %s\n", kProgram,
                         static_cast<unsigned long long>(it->serial),
                         t6sim::hexBytes(it->payload).c_str(), printable(it->payload).c_str(),
                         t6sim::outcomeName(it->outcome));
        }
        reported = device.requestCount();
    };
    // A learned reply leaves the reply delay after its release; every other
    // reply the reply delay after its request.
    Clock::time_point replyBase = fedAt;
    device.setPieceSink([&](const t6sim::ReplyPiece& piece) {
        reportRequests(); // the request first, then what it brought
        auto due = replyBase + device.replyDelay() + piece.lateBy;
        if (piece.pauseBefore && !out.empty()) {
            due = std::max(due, out.lastDue() + kChunkGap);
        }
        if (verbose) {
            std::fprintf(stderr, "%s: -> %s%s%s\n", kProgram, t6sim::hexBytes(piece.bytes).c_str(),
                         piece.lateBy.count() > 0 ? " (late)" : "",
                         piece.hangUpAfter ? " (then the line goes dead)" : "");
        }
        out.push(due, piece.bytes, piece.hangUpAfter);
    });

    const auto deadline = options.exitAfter
                              ? std::optional<Clock::time_point>(Clock::now() + *options.exitAfter)
                              : std::nullopt;
    // After a read error the master is left alone for a moment instead of
    // being polled in a tight loop.
    std::optional<Clock::time_point> masterRestAt;
    // The learning the device holds and when its code is due, counted from
    // the end of its request.
    std::optional<std::pair<std::uint64_t, Clock::time_point>> learnDue;
    auto noteLearning = [&] {
        const auto& pending = device.pendingLearn();
        if (!pending) {
            learnDue.reset();
        } else if (!learnDue || learnDue->first != pending->ticket) {
            learnDue.emplace(pending->ticket, fedAt + pending->delay);
        }
    };
    char buf[4096];

    for (;;) {
        auto now = Clock::now();
        if (deadline && now >= *deadline) {
            break;
        }
        if (!out.flush(now)) {
            std::fprintf(stderr, "%s: write to the pty failed: %s\n", kProgram,
                         std::strerror(errno));
        }
        if (masterRestAt && now >= *masterRestAt) {
            masterRestAt.reset();
        }
        const auto hangUpExit =
            out.hungUpAt() ? std::optional<Clock::time_point>(*out.hungUpAt() + kHangUpLinger)
                           : std::nullopt;
        if (hangUpExit && now >= *hangUpExit) {
            if (verbose) {
                std::fprintf(stderr, "%s: the line goes dead\n", kProgram);
            }
            break;
        }
        if (learnDue && now >= learnDue->second) {
            // On the learning's own schedule, however late the wake-up.
            const auto [ticket, due] = *learnDue;
            learnDue.reset();
            replyBase = due;
            if (verbose && device.pendingLearn()) {
                std::fprintf(stderr, "%s: learned for %s\n", kProgram,
                             device.pendingLearn()->stage.c_str());
            }
            device.releaseLearned(ticket); // goes out with the next flush
        }

        pollfd fds[2] = {{wake[0], POLLIN, 0}, {pty.master, 0, 0}};
        if (!masterRestAt) {
            fds[1].events |= POLLIN;
        }
        if (out.blocked()) {
            fds[1].events |= POLLOUT;
        }
        const auto learnAt =
            learnDue ? std::optional<Clock::time_point>(learnDue->second) : std::nullopt;
        const int ready = waitFor(
            fds, 2, now,
            earliest(earliest(earliest(earliest(deadline, out.nextWrite()), masterRestAt), learnAt),
                     hangUpExit));
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            fail("poll");
        }
        if (fds[0].revents & POLLIN) {
            break; // a stop signal
        }
        if (fds[1].revents & (POLLIN | POLLHUP | POLLERR)) {
            const auto n = ::read(pty.master, buf, sizeof buf);
            if (n > 0) {
                fedAt = Clock::now();
                if (device.pacing()) {
                    // The line runs at its rate both ways: a request has fully
                    // arrived only n byte times after the line was free for it.
                    inboundFreeAt = std::max(inboundFreeAt, fedAt) +
                                    t6sim::kByteTimeAtLineRate * static_cast<int>(n);
                    fedAt = inboundFreeAt;
                }
                replyBase = fedAt;
                device.feed(std::string_view(buf, static_cast<std::size_t>(n)));
                reportRequests();
                noteLearning();
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                if (verbose) {
                    std::fprintf(stderr, "%s: read from the pty: %s\n", kProgram,
                                 n == 0 ? "end of file" : std::strerror(errno));
                }
                masterRestAt = Clock::now() + 100ms;
            }
        }
    }

    if (!options.link.empty()) {
        removeLink(options.link, pty.path);
    }
    if (verbose) {
        std::fprintf(stderr, "%s: stopped after %llu requests (%llu unknown, %llu dropped)\n",
                     kProgram, static_cast<unsigned long long>(device.requestCount()),
                     static_cast<unsigned long long>(device.unknownCount()),
                     static_cast<unsigned long long>(device.droppedRequestCount()));
    }
    ::close(pty.slave);
    ::close(pty.master);
    return 0;
}
