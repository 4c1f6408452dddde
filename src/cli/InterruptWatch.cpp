#include "cli/InterruptWatch.h"

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include "cli/CommandContext.h"
#include "cli/Session.h"

namespace t6::cli {

namespace {

constexpr std::array<int, 3> kSignals{SIGINT, SIGTERM, SIGHUP};

int wakeFds[2] = {-1, -1};
volatile std::sig_atomic_t signalsSeen = 0;
struct sigaction former[kSignals.size()];

extern "C" void onStopSignal(int) {
    // Only async-signal-safe calls here.
    if (signalsSeen > 0)
        ::_exit(Exit::Interrupted);
    signalsSeen = 1;
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const auto n = ::write(wakeFds[0], &byte, 1);
    errno = saved;
}

} // namespace

InterruptWatch::InterruptWatch(std::function<void()> onInterrupt)
    : onInterrupt_(std::move(onInterrupt)) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, wakeFds) != 0)
        return;
    ::fcntl(wakeFds[0], F_SETFL, ::fcntl(wakeFds[0], F_GETFL) | O_NONBLOCK);
    ::fcntl(wakeFds[1], F_SETFL, ::fcntl(wakeFds[1], F_GETFL) | O_NONBLOCK);
    signalsSeen = 0;
    notifier_ = std::make_unique<QSocketNotifier>(wakeFds[1], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { onReadable(); });
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &sa, &former[i]);
}

InterruptWatch::~InterruptWatch() {
    if (!notifier_)
        return;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        ::sigaction(kSignals[i], &former[i], nullptr);
    notifier_.reset();
    ::close(wakeFds[0]);
    ::close(wakeFds[1]);
    wakeFds[0] = wakeFds[1] = -1;
}

void InterruptWatch::onReadable() {
    char buf[16];
    while (::read(wakeFds[1], buf, sizeof buf) > 0) {
    }
    if (interrupted_)
        return;
    interrupted_ = true;
    if (onInterrupt_)
        onInterrupt_();
}

int interruptedExitWith(Session& session, const std::string& what) {
    session.prompts().setQuiet(true);
    const int rc = session.interruptedExit();
    session.prompts().setQuiet(false);
    session.note(what);
    return rc;
}

} // namespace t6::cli
