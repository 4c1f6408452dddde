#include "exchange/Connection.h"

#include "common/Cp1251.h"

namespace t6 {

const Bytes Connection::IdentifyRequest = bytesOf({0xFE, 0xFF, 0x54, 0x74, 0xFF, 0xFE});

Connection::Connection(ExchangeController& exchange) : ex_(exchange) {
    // The probe of a port chosen by hand ends when the port goes or another
    // operation starts; the search ends by its own steps.
    ex_.addInterruptListener([this](ExchangeController::Interruption why) {
        if (probing_)
            outcome_ = Outcome::make(why == ExchangeController::Interruption::PortLost
                                         ? Outcome::Kind::PortLost
                                         : Outcome::Kind::Cancelled);
        probing_ = false;
        return std::string();
    });
}

bool Connection::listPorts() {
    ports_.clear();
    bool ok = true;
    try {
        ports_ = ex_.port().listPorts();
    } catch (const PortError&) {
        ok = false;
    }
    ex_.view().showPortList(ports_);
    if (!ok || ports_.empty()) {
        const std::string text =
            ex_.translate(ru("В системе не найдены Com-порты. Проверьте подключение"));
        PortSituation situation;
        situation.noPorts = true;
        ex_.prompts().message(ex_.withAdvice(text, std::move(situation)));
        outcome_ = Outcome::make(Outcome::Kind::Refused, {text});
        return false;
    }
    if (comboText_.empty())
        comboText_ = ports_.front();
    return true;
}

bool Connection::fillPortList() {
    return listPorts();
}

void Connection::refreshPortList() {
    try {
        ports_ = ex_.port().listPorts();
    } catch (const PortError&) {
        return; // the list shown stays
    }
    ex_.view().showPortList(ports_);
}

void Connection::connect() {
    ex_.operationStarting();
    outcome_.reset();
    probing_ = false;
    SerialPort& port = ex_.port();
    if (!manual_) {
        if (!listPorts())
            return;
        troubles_.clear();
        searchIndex_ = 0;
        searchLast_ = static_cast<int>(ports_.size()) - 1;
        // Each port in turn is asked at the search's steps; the search has no
        // reply timer of its own.
        ex_.request({.mode = ExchangeMode::Identify,
                     .purge = false,
                     .wait = ExchangeController::Wait::Unlimited,
                     .onReply = [this](const Bytes& r) { onReply(r); }});
        ex_.startSearch([this] { searchStep(); });
        ex_.setConnectedPort("");
        return;
    }
    const std::string name = comboText_;
    PortSituation situation;
    try {
        if (port.isOpen())
            port.close();
        port.setPortName(name);
        port.open();
    } catch (const PortError& e) {
        situation.troubles.push_back(troubleOf(name, e));
    }
    ex_.refreshPortState();
    if (!port.isOpen()) {
        // Nothing was asked: the port's reason is the outcome, never "no answer".
        std::vector<std::string> reasons = troubleReasons(situation.troubles);
        situation.adapters = port.portDetails();
        const std::string text = ex_.withAdvice(
            ru("Не удалось открыть порт: ") + platformNameText(name), std::move(situation));
        ex_.prompts().message(text);
        reasons.insert(reasons.begin(), text);
        outcome_ = Outcome::make(Outcome::Kind::Refused, std::move(reasons));
        return;
    }
    probing_ = true;
    ex_.request({.mode = ExchangeMode::Identify,
                 .request = Bytes("Tt"),
                 .purge = false,
                 .onReply = [this](const Bytes& r) { onReply(r); },
                 .onTimeout = [this] { onProbeTimeout(); }});
}

void Connection::onProbeTimeout() {
    ex_.finish();
    const std::string text =
        ex_.translate(ru("Прибор не ответил за 10 с: соединение не установлено."));
    ex_.view().showNotice(text);
    if (probing_)
        outcome_ = Outcome::make(Outcome::Kind::NoAnswer, {text});
    probing_ = false;
}

std::vector<std::string>
Connection::troubleReasons(const std::vector<PortTrouble>& troubles) const {
    std::vector<std::string> reasons;
    for (const PortTrouble& t : troubles)
        reasons.push_back(platformNameText(t.port) +
                          (t.code == 0
                               ? std::string()
                               : ": " + systemReasonText(t.code, [this](const std::string& words) {
                                     return ex_.translate(words);
                                 })));
    return reasons;
}

void Connection::searchStep() {
    SerialPort& port = ex_.port();
    if (port.isOpen())
        port.close();
    if (searchLast_ < searchIndex_ || ex_.mode() != ExchangeMode::Identify) {
        if (!ex_.connectedPort().empty()) {
            // A port chosen by hand while the search ran.
            try {
                // The status bar names the chosen port, not the last one probed.
                port.setPortName(ex_.connectedPort());
                ex_.view().showConnection(ru("соединен с ") +
                                          platformNameText(ex_.connectedPort()));
                ex_.prompts().message(ex_.translate(ru("соединение установлено")));
                if (port.isOpen())
                    port.close();
                ex_.setMode(ExchangeMode::Idle);
                outcome_ = Outcome::done();
            } catch (const std::exception&) {
                const std::string text = ex_.translate(ru("Ошибка COM порта.<<ERR1>>"));
                ex_.prompts().message(text);
                outcome_ = Outcome::make(Outcome::Kind::PortLost, {text});
            }
        } else {
            ex_.stopSearch();
            // Nothing answered: the program is idle again (the editing rules
            // hold only while no exchange runs).
            ex_.setMode(ExchangeMode::Idle);
            ex_.view().showConnection("");
            // No port that could be opened answered; when none could be
            // opened at all, nothing was asked: the reasons are the ports'.
            const bool noneOpened = troubles_.size() == ports_.size();
            std::vector<std::string> reasons = troubleReasons(troubles_);
            PortSituation situation;
            situation.troubles = std::move(troubles_);
            troubles_.clear();
            situation.adapters = port.portDetails();
            situation.noAnswer = !noneOpened;
            // The search's own words first, then each port that did not open.
            const std::string text = ex_.withAdvice(
                ex_.translate(ru("Ошибка связи(нет ответа). Проверьте подключено ли устройство.")),
                std::move(situation));
            ex_.prompts().message(text);
            reasons.insert(reasons.begin(), text);
            outcome_ = Outcome::make(noneOpened ? Outcome::Kind::Refused : Outcome::Kind::NoAnswer,
                                     std::move(reasons));
        }
        ex_.stopSearch();
        ex_.refreshPortState();
        return;
    }
    const std::string name = ports_[static_cast<std::size_t>(searchIndex_)];
    ex_.view().showConnection(ru("поиск порта: ") + platformNameText(name));
    try {
        port.setPortName(name);
        port.open();
    } catch (const PortError& e) {
        troubles_.push_back(troubleOf(name, e));
    }
    ex_.refreshPortState();
    if (!port.isOpen()) {
        ++searchIndex_;
        return;
    }
    // Each port probed is an exchange of its own: nothing of the last port's
    // bytes may join this one's reply.
    ex_.framer().reset();
    port.write(IdentifyRequest);
    ++searchIndex_;
}

std::string Connection::refusalText(const Bytes& reply) {
    const std::string tail = ru("\r\nсоединение НЕ установлено.");
    if (reply == "On")
        return ru("Вам нужно использовать конфигуратор \"ТОРВЕЛ-ЛК v2\"") + tail;
    if (reply == "V3")
        return ru("Используйте конфигуратор \"ТОРВЕЛ-ЛКv\"") + tail;
    if (reply == "T3")
        return ru("Используйте конфигуратор \"ТОРВЕЛ-ЛКТv3\"") + tail;
    if (reply == "V5")
        return ru("Используйте конфигуратор \"ТОРВЕЛ-ЛКv5\"") + tail;
    if (reply == "T5")
        return ru("Используйте конфигуратор \"ТОРВЕЛ-ЛКTv5\"") + tail;
    if (reply == "T6")
        return ru("Используйте конфигуратор \"УМНЫЙ ТОРВЕЛ-4\"") + tail;
    if (reply.compare(0, 2, "T7") == 0)
        return {};
    return ru("Версия и тип прибора не определены") + tail;
}

void Connection::onReply(const Bytes& reply) {
    ex_.logs().protocol(ru("<<< поиск порта: ") + reply);
    const std::string refusal = refusalText(reply);
    probing_ = false;
    if (!refusal.empty()) {
        outcome_ = Outcome::make(Outcome::Kind::WrongAnswer, {refusal});
        ex_.stopSearch();
        // The port is given up a second later, free for the configurator the
        // device needs.
        ex_.finish();
        ex_.view().showConnection("");
        ex_.prompts().information(refusal);
        return;
    }
    ex_.setConnectedPort(ex_.port().portName());
    ex_.stopSearch();
    const std::string rest = reply.substr(2);
    const auto first = rest.find_first_not_of(' ');
    version_ = first == std::string::npos
                   ? std::string()
                   : rest.substr(first, rest.find_last_not_of(' ') - first + 1);
    versionPort_ = ex_.connectedPort();
    outcome_ = Outcome::done();
    ex_.replyCame();
    if (ex_.prompts().confirm(ru("соединение установлено.")))
        ex_.finish();
    ex_.view().showConnection(ru("соединен с ") + platformNameText(ex_.connectedPort()) + " " +
                              reply.substr(2));
    ex_.view().showConnected(ru("Соединен"));
}

std::string Connection::version() const {
    return !versionPort_.empty() && versionPort_ == ex_.connectedPort() ? version_ : std::string();
}

void Connection::setManualMode(bool on) {
    manual_ = on;
    ex_.view().showManualMode(on);
}

void Connection::setComboText(const std::string& text) {
    comboText_ = text;
    if (!manual_)
        return;
    ex_.setConnectedPort(text);
    if (text.empty())
        return;
    try {
        ex_.port().setPortName(text);
    } catch (const PortError&) {
        // Renaming an open port reopens it; the next operation reports a port
        // that does not open.
    }
    ex_.refreshPortState();
}

} // namespace t6
