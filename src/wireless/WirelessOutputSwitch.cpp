#include "wireless/WirelessOutputSwitch.h"

#include "common/Cp1251.h"
#include "config/ConfigModel.h"
#include "config/FieldEncodings.h"
#include "config/FixedBlocks.h"
#include "exchange/ExchangeController.h"
#include "wireless/ReplyText.h"

namespace t6 {

WirelessOutputSwitch::WirelessOutputSwitch(ExchangeController& exchange, const ConfigModel& model)
    : ex_(exchange), model_(model) {
    ex_.addInterruptListener([this](ExchangeController::Interruption why) {
        outcome_.end(Outcome::make(why == ExchangeController::Interruption::PortLost
                                       ? Outcome::Kind::PortLost
                                       : Outcome::Kind::Cancelled));
        return std::string();
    });
}

std::string WirelessOutputSwitch::tr(const char* utf8) const {
    return ex_.translate(ru(utf8));
}

std::optional<Bytes> WirelessOutputSwitch::request(const std::string& code, int type,
                                                   Action action) {
    if (code.empty() || !isSendableCode(code) || type < WirelessRelay || type > FourChannelRelay)
        return std::nullopt;
    Bytes body = "So";
    body += padRight(hexToBytes(code).value_or(Bytes()), '\0', DeviceCodeBytes);
    body += static_cast<char>(type + 1);
    body += static_cast<char>(action);
    return body;
}

void WirelessOutputSwitch::send(int output, Action action) {
    if (output < 1 || output > WirelessOutputCount)
        return;
    const WirelessOutput& o =
        model_.config().wirelessOutputs.at(static_cast<std::size_t>(output - 1));
    const std::optional<Bytes> body = request(o.code, o.type, action);
    if (!body) {
        // Checked before the port is touched: a waiting operation goes on.
        const std::string text = tr("Радиовыход не может быть привязан или проверен: его код "
                                    "должен состоять из 2, 4 или 6 шестнадцатеричных цифр.");
        ex_.prompts().message(text);
        outcome_.refuse({text});
        return;
    }
    const ExchangeModeValue mode =
        action == Action::Off ? ExchangeMode::OutputOff : ExchangeMode::OutputOn;
    const std::string noConnection =
        tr("Нет соединения с устройством. Необходимо проверить подключение");
    if (!ex_.beginOperation(noConnection)) {
        outcome_.refuse({noConnection});
        return;
    }
    pending_ = output;
    ex_.request({.mode = mode,
                 .request = *body,
                 .onReply = [this, mode](const Bytes& r) { onReply(r, mode); },
                 .onTimeout =
                     [this] {
                         // Ended without a box; the status bar says what did not come.
                         ex_.finish();
                         outcome_.end(Outcome::make(Outcome::Kind::NoAnswer));
                         ex_.view().showNotice(
                             tr("Прибор не ответил за 10 с на команду радиовыходу") + " " +
                             std::to_string(pending_) + ".");
                     }});
    outcome_.begin();
}

void WirelessOutputSwitch::onReply(const Bytes& reply, ExchangeModeValue mode) {
    ex_.logs().protocol(ru("<<< ответ о записи: ") + reply);
    if (!isDoneReply(reply))
        return;
    ex_.replyCame();
    outcome_.end(Outcome::done());
    // The attach is confirmed with the "switched on" text too. Shown as written.
    const std::string text = ru("Радиовыход ") + std::to_string(pending_) +
                             (mode == ExchangeMode::OutputOff ? ru(" отключен.") : ru(" включен."));
    if (ex_.prompts().confirm(text))
        ex_.endOperation();
}

} // namespace t6
