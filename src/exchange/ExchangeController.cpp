#include "exchange/ExchangeController.h"

#include <exception>

#include "common/Cp1251.h"
#include "link/PortSystem.h"

namespace t6 {

const Bytes ExchangeController::PacketPrefix = bytesOf({0xFE, 0xFF});
const Bytes ExchangeController::PacketSuffix = bytesOf({0xFF, 0xFE});

ExchangeController::ExchangeController(SerialPort& port, Clock& clock, Prompts& prompts,
                                       ExchangeLogs& logs)
    : port_(port), clock_(clock), prompts_(prompts), logs_(logs) {
    programCheck_ = [](const std::string& name) { return programRunning(name); };
    search_ = clock_.createTimer(kSearchIntervalMs, [this] {
        guarded([this] {
            if (searchStep_)
                searchStep_();
            else
                search_->stop();
        });
    });
    clockTimer_ =
        clock_.createTimer(kClockIntervalMs, [this] { guarded([this] { onClockTimer(); }); });
    reply_ = clock_.createTimer(kReplyIntervalMs, [this] { guarded([this] { onReplyTimer(); }); });
    close_ = clock_.createTimer(kCloseIntervalMs, [this] { guarded([this] { onCloseTimer(); }); });
    silence_ = clock_.createTimer(kReplyIntervalMs, [this] { guarded([this] { onSilence(); }); });

    framer_.setStartString(PacketPrefix);
    framer_.setStopString(PacketSuffix);
    framer_.setOnPacket([this](const Bytes& payload) { onPacket(payload); });
    framer_.setOnError([this](const std::exception& e) { showError(e.what()); });
    port_.setReceiver([this](const Bytes& chunk) { onBytesReceived(chunk); });
    port_.setLostHandler([this](int code) { onPortLost(code); });
}

ExchangeController::~ExchangeController() {
    port_.setReceiver({});
    port_.setLostHandler({});
}

std::string ExchangeController::translate(const std::string& text) const {
    return translate_ ? translate_(text) : text;
}

void ExchangeController::start() {
    clockTimer_->start();
    close_->start();
    refreshPortState();
}

void ExchangeController::shutdown() {
    search_->stop();
    reply_->stop();
    silence_->stop();
    close_->stop();
    clockTimer_->stop();
    if (port_.isOpen()) {
        try {
            port_.purge();
        } catch (const std::exception&) {
            // The port is closed below all the same.
        }
        port_.close();
    }
}

void ExchangeController::startSearch(std::function<void()> step) {
    searchStep_ = std::move(step);
    search_->start();
}

void ExchangeController::stopSearch() {
    search_->stop();
}

bool ExchangeController::inStep() const {
    return mode_ == step_.mode;
}

void ExchangeController::request(Step step) {
    stopTimers();
    silence_->stop();
    if (step.purge)
        port_.purge();
    mode_ = step.mode;
    step_ = std::move(step);
    // The wait starts before the request goes: a port may hand over the reply
    // while the request is written, and the step may ask for the next one
    // then. Nothing of this step is touched after the write.
    if (step_.wait == Wait::Reply)
        reply_->start();
    else if (step_.onSilence)
        silence_->start();
    if (step_.request) {
        const Bytes body = *step_.request;
        sendFramed(body);
    }
}

void ExchangeController::replyCame() {
    reply_->stop();
    silence_->stop();
    close_->stop();
}

void ExchangeController::closeLater() {
    close_->start();
}

bool ExchangeController::endWithBox(const std::string& text) {
    mode_ = ExchangeMode::IdleAfterOperation;
    const bool yes = prompts_.confirm(text);
    if (yes)
        finish();
    return yes;
}

void ExchangeController::onSilence() {
    silence_->stop();
    if (inStep() && step_.onSilence) {
        const std::function<void()> silence = step_.onSilence;
        silence();
    }
}

void ExchangeController::stopTimers() {
    if (reply_->isActive())
        reply_->stop();
    if (close_->isActive())
        close_->stop();
}

ExchangeController::Opening ExchangeController::openConnectedPort() {
    Opening result = Opening::Open;
    openTrouble_.reset();
    try {
        port_.setPortName(connectedPort_);
        if (!port_.isOpen())
            port_.open();
    } catch (const PortError& e) {
        result = Opening::Failed;
        openTrouble_ = troubleOf(connectedPort_, e);
    }
    refreshPortState();
    if (result == Opening::Open && !port_.isOpen())
        result = Opening::StillClosed;
    return result;
}

std::string ExchangeController::withAdvice(const std::string& text, PortSituation situation) {
    bool missing = false;
    for (const PortTrouble& t : situation.troubles)
        missing = missing || t.fault == PortFault::NotFound || t.fault == PortFault::NotAPort;
    if (missing && !situation.systemPorts) {
        try {
            situation.systemPorts = port_.listPorts();
        } catch (const PortError&) {
            // The ports cannot be listed: the advice names none.
        }
    }
    const std::string advice = portAdvice(
        situation, [this](const std::string& t) { return translate(t); }, programCheck_);
    if (advice.empty())
        return text;
    return text.empty() ? advice : text + "\r\n" + advice;
}

std::string ExchangeController::withOpenFailure(const std::string& text) {
    if (!openTrouble_)
        return text;
    PortSituation situation;
    situation.troubles.push_back(std::move(*openTrouble_));
    situation.adapters = port_.portDetails();
    openTrouble_.reset();
    return withAdvice(text, std::move(situation));
}

void ExchangeController::addInterruptListener(InterruptListener listener) {
    interruptListeners_.push_back(std::move(listener));
}

std::vector<std::string> ExchangeController::interrupt(Interruption why) {
    std::vector<std::string> outcomes;
    for (const auto& l : interruptListeners_) {
        std::string outcome = l(why);
        if (!outcome.empty())
            outcomes.push_back(std::move(outcome));
    }
    return outcomes;
}

void ExchangeController::operationStarting() {
    // A reply cut short belongs to an exchange that is over: glued to the next
    // reply it would shift every byte of it.
    framer_.reset();
    for (const std::string& outcome : interrupt(Interruption::AnotherOperation))
        view_->showNotice(outcome);
}

bool ExchangeController::operationWaiting() const {
    return (mode_ != ExchangeMode::Idle && mode_ != ExchangeMode::IdleAfterOperation &&
            mode_ != ExchangeMode::SavingFile && mode_ != ExchangeMode::LoadingFile) ||
           static_cast<bool>(cancel_);
}

void ExchangeController::cancelActivity() {
    if (auto c = std::move(cancel_)) {
        cancel_ = {};
        c();
    }
}

bool ExchangeController::beginOperation(const std::string& noConnectionText) {
    operationStarting();
    stopTimers();
    if (connectedPort_.empty() || openConnectedPort() != Opening::Open) {
        prompts_.message(withOpenFailure(noConnectionText));
        return false;
    }
    return true;
}

Bytes ExchangeController::framed(const Bytes& body) {
    return PacketPrefix + body + PacketSuffix;
}

void ExchangeController::sendFramed(const Bytes& body) {
    port_.write(framed(body));
}

void ExchangeController::finish() {
    mode_ = ExchangeMode::IdleAfterOperation;
    close_->start();
    reply_->stop();
    silence_->stop();
}

void ExchangeController::endAfterBox(bool yes) {
    mode_ = ExchangeMode::IdleAfterOperation;
    if (!yes)
        return;
    if (port_.isOpen())
        port_.purge();
    close_->start();
}

void ExchangeController::endOperation() {
    mode_ = ExchangeMode::IdleAfterOperation;
    reply_->stop();
    silence_->stop();
    if (port_.isOpen())
        port_.purge();
    close_->start();
}

void ExchangeController::onBytesReceived(const Bytes& chunk) {
    // The framer keeps bytes that arrive while a reply's handler has a box
    // open and frames them once the handler has returned, in order.
    framer_.feed(chunk);
    if (inStep() && step_.onReceiving) {
        const std::function<void(std::size_t)> receiving = step_.onReceiving;
        receiving(framer_.heldBytes());
    }
}

void ExchangeController::onPacket(const Bytes& payload) {
    logs_.memo(ru("входная строка: ") + payload);
    if (!inStep() || !step_.onReply)
        return;
    // The step may ask for the next one while its handler runs.
    const PacketHandler handler = step_.onReply;
    handler(payload);
}

void ExchangeController::onReplyTimer() {
    if (inStep() && step_.onTimeout) {
        const std::function<void()> timeout = step_.onTimeout;
        timeout();
        return;
    }
    // A step without a time-out of its own just ends.
    finish();
}

void ExchangeController::onCloseTimer() {
    if (mode_ == ExchangeMode::IdleAfterOperation && port_.isOpen()) {
        mode_ = ExchangeMode::Idle;
        port_.close();
        refreshPortState();
    }
    close_->stop();
}

void ExchangeController::onClockTimer() {
    view_->showClock(clock_.localNow());
    refreshPortState();
}

void ExchangeController::onPortLost(int code) {
    refreshPortState();
    if (mode_ == ExchangeMode::Identify && search_->isActive())
        return; // a probed port that goes away is skipped like one that does not open
    if (!operationWaiting())
        return;
    // No reply can come any more: the operation ends now, and one box says
    // why and what became of it. Its time-out would only tell more later.
    std::string text =
        translate(ru("Порт больше не доступен:")) + " " + platformNameText(port_.portName()) +
        (code == 0 ? std::string() : "\r\n" + systemReasonText(code, [this](const std::string& t) {
                                         return translate(t);
                                     }));
    const std::vector<std::string> outcomes = interrupt(Interruption::PortLost);
    framer_.reset();
    cancel_ = {};
    reply_->stop();
    silence_->stop();
    close_->stop();
    mode_ = ExchangeMode::Idle;
    refreshPortState();
    for (const std::string& outcome : outcomes)
        text += "\r\n" + outcome;
    showError(text);
}

std::string ExchangeController::portStateText() const {
    return (port_.isOpen() ? ru("Открыт (Com=") : ru("Закрыт (Com=")) +
           platformNameText(port_.portName()) + ")";
}

void ExchangeController::refreshPortState() {
    view_->showPortState(portStateText());
}

void ExchangeController::showError(const std::string& text) {
    prompts_.error(errorBoxText(text));
}

void ExchangeController::guarded(const std::function<void()>& step) {
    try {
        step();
    } catch (const PortError& e) {
        // The exchange that waits cannot go on on a port that fails: it ends
        // now, and the error box says what became of it. A probe of the port
        // search is skipped as a port that does not open is.
        if (!operationWaiting() || (mode_ == ExchangeMode::Identify && search_->isActive())) {
            showError(e.what());
            return;
        }
        std::string text = e.what();
        const std::vector<std::string> outcomes = interrupt(Interruption::PortLost);
        framer_.reset();
        cancel_ = {};
        reply_->stop();
        silence_->stop();
        mode_ = ExchangeMode::IdleAfterOperation;
        close_->start();
        for (const std::string& outcome : outcomes)
            text += "\r\n" + outcome;
        showError(text);
    } catch (const std::exception& e) {
        showError(e.what());
    }
}

} // namespace t6
