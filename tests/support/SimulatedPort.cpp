#include "support/SimulatedPort.h"

#include <algorithm>
#include <cerrno>

namespace t6::test {

namespace {

constexpr std::int64_t kByteUs = t6sim::kByteTimeAtLineRate.count();

// Set for as long as the receiver runs.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& flag_;
};

} // namespace

SimulatedPort::SimulatedPort(Clock& clock, t6sim::SimOptions options)
    : clock_(clock), device_(std::move(options)) {
    device_.setSink([this](const std::string& bytes) { onDeviceBytes(bytes); });
    // Received bytes are looked at every millisecond of virtual time while
    // some are on their way.
    tick_ = clock_.createTimer(1, [this] { deliverDue(); });
}

SimulatedPort::~SimulatedPort() = default;

void SimulatedPort::setPortName(const std::string& name) {
    if (name == name_)
        return;
    const bool was = open_;
    if (was)
        close();
    name_ = name;
    if (was)
        open();
}

void SimulatedPort::open() {
    if (open_)
        return;
    if (std::find(ports.begin(), ports.end(), name_) == ports.end())
        throw PortError("Unable to open com port (win error code: 2)");
    open_ = true;
    opened.push_back(name_);
}

void SimulatedPort::write(const Bytes& bytes) {
    if (!open_)
        throw PortError("WriteFile function failed (win error code: 9)");
    if (bytes.empty())
        return;
    writes.push_back({name_, bytes});
    if (name_ == devicePort) {
        device_.feed(bytes);
        noteLearning();
    }
}

void SimulatedPort::noteLearning() {
    const auto& pending = device_.pendingLearn();
    if (!pending) {
        if (learnTimer_)
            learnTimer_->stop();
        return;
    }
    if (pending->ticket == learnTicket_ && learnTimer_ && learnTimer_->isActive())
        return;
    learnTicket_ = pending->ticket;
    const auto ticket = learnTicket_;
    // A fresh timer for every learning, since the delay may differ; the old
    // one is stopped first so that it never fires for the new learning.
    if (learnTimer_)
        learnTimer_->stop();
    learnTimer_ = clock_.createTimer(static_cast<int>(pending->delay.count()), [this, ticket] {
        learnTimer_->stop();
        device_.releaseLearned(ticket);
    });
    learnTimer_->start();
}

void SimulatedPort::purge() {
    if (!open_)
        throw PortError("PurgeComm function failed (win error code: 9)");
    ++purges;
    dropPending();
}

void SimulatedPort::close() {
    if (!open_)
        return;
    open_ = false;
    dropPending();
}

void SimulatedPort::unplug() {
    if (!open_)
        return;
    open_ = false;
    dropPending();
    if (lost_)
        lost_(ENODEV); // the adapter unplugged
}

std::size_t SimulatedPort::pendingBytes() const {
    std::size_t n = 0;
    for (const auto& piece : pending_)
        n += piece.bytes.size() - piece.delivered;
    return n;
}

Bytes SimulatedPort::sentToDevice() const {
    Bytes all;
    for (const auto& w : writes)
        if (w.port == devicePort)
            all += w.bytes;
    return all;
}

void SimulatedPort::onDeviceBytes(const std::string& bytes) {
    const std::int64_t nowUs = clock_.nowMs() * 1000;
    const std::int64_t delayUs =
        (static_cast<std::int64_t>(replyDelayMs) + device_.replyDelay().count()) * 1000;
    // The line carries one byte after the other: a piece starts once the one
    // before it has arrived.
    Piece piece{std::max(nowUs + delayUs, lineFreeUs_), device_.pacing() ? kByteUs : 0, bytes, 0};
    lineFreeUs_ = piece.startUs + static_cast<std::int64_t>(bytes.size()) * piece.byteUs;
    pending_.push_back(std::move(piece));
    if (!tick_->isActive())
        tick_->start();
}

void SimulatedPort::deliverDue() {
    // Like a real port, the receiver is never re-entered: bytes falling due
    // while it runs (a fixed wait inside it) are handed over once it returns.
    if (delivering_)
        return;
    FlagScope inReceiver(delivering_);
    while (open_ && !pending_.empty()) {
        const std::int64_t nowUs = clock_.nowMs() * 1000;
        Piece& piece = pending_.front();
        if (nowUs < piece.startUs)
            break;
        std::size_t arrived = piece.bytes.size();
        if (piece.byteUs > 0)
            arrived =
                std::min(arrived, static_cast<std::size_t>((nowUs - piece.startUs) / piece.byteUs));
        if (arrived <= piece.delivered)
            break;
        Bytes chunk = piece.bytes.substr(piece.delivered, arrived - piece.delivered);
        piece.delivered = arrived;
        if (piece.delivered == piece.bytes.size())
            pending_.pop_front();
        // The receiver may write, purge or close; nothing of the queue is held
        // across the call.
        if (receiver_)
            receiver_(chunk);
    }
    if (!open_)
        pending_.clear();
    if (pending_.empty())
        tick_->stop();
}

void SimulatedPort::dropPending() {
    pending_.clear();
    lineFreeUs_ = 0;
    tick_->stop();
}

} // namespace t6::test
