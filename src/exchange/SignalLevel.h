#pragma once
// The GSM signal level of the device's modem, fetched when the user presses
// "Обновить": the request "Sg", the reply "+CSQ: nn,...".

#include <functional>
#include <optional>
#include <string>

#include "common/Bytes.h"
#include "common/Outcome.h"
#include "exchange/ExchangeController.h"

namespace t6 {

struct SignalReading {
    int gauge = 0;          // 0-100
    std::string text = "."; // Windows-1251
    bool red = false;
};

class SignalLevel {
public:
    explicit SignalLevel(ExchangeController& exchange);

    // The refresh button.
    void refresh();
    const SignalReading& reading() const { return reading_; }
    // What became of the last refresh: completed with a reading, a reply
    // without one (wrong answer), no answer, a lost port; nothing while it waits.
    const std::optional<Outcome>& outcome() const { return outcome_.value(); }

    // What a reply does to the reading; unchanged when it holds no "+CSQ:".
    static SignalReading apply(SignalReading current, const Bytes& reply);

    // What else ends with a refresh that got no answer, once its box is
    // answered (the panels held while it waited come back).
    void setAfterNoAnswer(std::function<void()> after) { afterNoAnswer_ = std::move(after); }

private:
    void onReply(const Bytes& reply);
    void onTimeout();

    ExchangeController& ex_;
    SignalReading reading_;
    OutcomeSlot outcome_;
    std::function<void()> afterNoAnswer_;
};

} // namespace t6
