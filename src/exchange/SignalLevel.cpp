#include "exchange/SignalLevel.h"

#include <algorithm>

#include "common/Cp1251.h"
#include "common/TextNumbers.h"

namespace t6 {

SignalLevel::SignalLevel(ExchangeController& exchange) : ex_(exchange) {
    ex_.addInterruptListener([this](ExchangeController::Interruption why) {
        outcome_.end(Outcome::make(why == ExchangeController::Interruption::PortLost
                                       ? Outcome::Kind::PortLost
                                       : Outcome::Kind::Cancelled));
        return std::string();
    });
}

void SignalLevel::refresh() {
    // This message is shown as written, not through the dictionary.
    const std::string noConnection = ru("Нет соединения с устройством. Проверьте подключение");
    if (!ex_.beginOperation(noConnection)) {
        outcome_.refuse({noConnection});
        return;
    }
    outcome_.begin();
    ex_.logs().memo(ru("выходная строка: ") + ExchangeController::framed("Sg"));
    ex_.request({.mode = ExchangeMode::SignalLevel,
                 .request = Bytes("Sg"),
                 .onReply = [this](const Bytes& r) { onReply(r); },
                 .onTimeout = [this] { onTimeout(); }});
}

void SignalLevel::onTimeout() {
    outcome_.end(Outcome::make(Outcome::Kind::NoAnswer));
    if (!ex_.endWithBox(ru("НЕТ ответа о уровне сигнала.")))
        return;
    // After the box the port closes and the panels the wait held come back.
    ex_.endOperation();
    if (afterNoAnswer_)
        afterNoAnswer_();
}

SignalReading SignalLevel::apply(SignalReading r, const Bytes& reply) {
    if (reply.find("+CSQ:") == Bytes::npos)
        return r;
    // The modem writes its two-digit index at the 7th and 8th characters.
    const std::string figure = reply.size() > 6 ? reply.substr(6, 2) : std::string();
    if (figure == "99") {
        r.gauge = 0;
        r.text = ru("нет связи");
        r.red = true;
        return r;
    }
    auto n = parseInteger(figure);
    if (!n) {
        r.gauge = 0;
        r.text = ru("нет сигнала");
        r.red = true;
        return r;
    }
    // n * 3.22 with the fraction cut off, in integers to stay exact.
    long long g = static_cast<long long>(*n) * 322 / 100;
    r.gauge = static_cast<int>(std::clamp<long long>(g, 0, 100));
    r.text = std::to_string(2LL * *n - 113) + " dBm";
    return r;
}

void SignalLevel::onReply(const Bytes& reply) {
    outcome_.end(reply.find("+CSQ:") != Bytes::npos ? Outcome::done()
                                                    : Outcome::make(Outcome::Kind::WrongAnswer));
    reading_ = apply(reading_, reply);
    ex_.view().showSignal(reading_.gauge, reading_.text, reading_.red);
    ex_.endOperation();
}

} // namespace t6
