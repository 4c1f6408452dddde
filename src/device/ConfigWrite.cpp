#include "device/ConfigWrite.h"

#include "common/Cp1251.h"
#include "config/ConfigModel.h"
#include "config/FixedBlocks.h"
#include "device/ConfigWriteCheck.h"
#include "exchange/ExchangeController.h"

namespace t6 {

namespace {

bool isDone(const Bytes& reply) {
    std::size_t b = 0, e = reply.size();
    while (b < e && reply[b] == ' ')
        ++b;
    while (e > b && reply[e - 1] == ' ')
        --e;
    const std::string_view t(reply.data() + b, e - b);
    return t == "Ok" || t == "OK";
}

} // namespace

ConfigWrite::ConfigWrite(ExchangeController& exchange, ConfigModel& model)
    : ex_(exchange), model_(model) {
    ex_.registerHandler(ExchangeMode::WriteBlock, [this](const Bytes& r) { onBlockAnswer(r); });
    for (ExchangeModeValue m :
         {ExchangeMode::RemotesReady, ExchangeMode::ThermoReady, ExchangeMode::OutputsReady})
        ex_.registerHandler(m, [this, m](const Bytes& r) { onReady(r, m); });
    for (ExchangeModeValue m :
         {ExchangeMode::RemotesResult, ExchangeMode::ThermoResult, ExchangeMode::OutputsResult})
        ex_.registerHandler(m, [this, m](const Bytes& r) { onResult(r, m); });
    // No answer within 10 s: the controller's box, then the write is over.
    for (ExchangeModeValue m = ExchangeMode::RemotesReady; m <= ExchangeMode::OutputsResult; ++m)
        ex_.setTimeoutHook(m, [this] { end(Outcome::make(Outcome::Kind::NoAnswer)); });
    ex_.setTimeoutHook(ExchangeMode::WriteBlock,
                       [this] { end(Outcome::make(Outcome::Kind::NoAnswer)); });
    ex_.addInterruptListener([this](ExchangeController::Interruption why) {
        if (!running_)
            return std::string();
        const bool lost = why == ExchangeController::Interruption::PortLost;
        end(Outcome::make(lost ? Outcome::Kind::PortLost : Outcome::Kind::Cancelled));
        return lost ? tr("Запись настроек прервана: порт закрылся, прибор мог сохранить только "
                         "часть конфигурации.")
                    : tr("Запись настроек прервана другой операцией: прибор мог сохранить только "
                         "часть конфигурации.");
    });
}

std::string ConfigWrite::tr(const char* utf8) const {
    return ex_.translate(ru(utf8));
}

std::string ConfigWrite::pieceLabel(const ConfigBlockPiece& piece) {
    using K = ConfigBlockPiece::Kind;
    const std::string n = std::to_string(piece.number);
    switch (piece.kind) {
    case K::WiredZone:
        return ru("вход") + n;
    case K::WirelessZone:
        return ru("БПвход") + n;
    case K::Telephones:
        return ru("ТЕЛ");
    case K::DateTime:
        return ru("время");
    case K::Options:
        return ru("SMS");
    case K::Delays:
        return ru("задержка");
    case K::Thermo:
        return ru("ТД") + n;
    case K::WirelessThermo:
        // The heads of the logs' vocabulary: the fourth piece's has no "Б".
        return piece.number == 4 ? ru("ТД4") : ru("БТД") + n;
    }
    return {};
}

void ConfigWrite::writeConfiguration() {
    if (busy_) {
        if (auto why = busy_()) {
            refuse(Outcome::Kind::Refused, *why);
            return;
        }
    }
    // A read that did not complete and could not be undone: the user decides.
    if (incompleteRead_ && incompleteRead_() &&
        !ex_.prompts().question(tr("Конфигурация в окне считана из прибора не полностью. "
                                   "Всё равно записать её в прибор?"))) {
        outcome_ = Outcome::make(Outcome::Kind::Cancelled);
        return;
    }
    if (auto refusal = checkBeforeWrite(
            model_, [this](const std::string& t) { return ex_.translate(t); }, captions_)) {
        refuse(Outcome::Kind::Refused, refusal->text);
        return;
    }
    if (!checkAndConnect())
        return;
    sendBlock();
}

void ConfigWrite::refuse(Outcome::Kind kind, const std::string& text) {
    ex_.prompts().message(text);
    outcome_ = Outcome::make(kind, {text});
}

bool ConfigWrite::checkAndConnect() {
    ex_.operationStarting();
    outcome_.reset();
    ex_.stopTimers();
    if (ex_.connectedPort().empty()) {
        refuse(Outcome::Kind::Refused, tr("Нет соединения с устройством. Проверьте подключение"));
        return false;
    }
    switch (ex_.openConnectedPort()) {
    case ExchangeController::Opening::Open:
        return true;
    case ExchangeController::Opening::Failed:
        refuse(Outcome::Kind::Refused,
               ex_.withOpenFailure(tr("Ошибка соединения с устройством. Проверьте подключение")));
        return false;
    case ExchangeController::Opening::StillClosed:
        break;
    }
    refuse(Outcome::Kind::Refused, tr("Ошибка соединения с портом. Проверьте подключение"));
    return false;
}

void ConfigWrite::sendBlock() {
    SerialPort& port = ex_.port();
    ex_.setMode(ExchangeMode::WriteBlock);
    running_ = true;
    sent_ = {};
    stage(tr("Запись настроек: основной блок"));
    try {
        // Each write returns once the port has taken its bytes.
        port.write(ExchangeController::PacketPrefix + std::string(ConfigBlockStart));
        sent_.config = Bytes(ConfigBlockStart);
        std::string totals;
        for (const ConfigBlockPiece& piece : configBlockPieces(model_)) {
            ex_.logs().hexBytes(ru(">>> запись данных ") + pieceLabel(piece) + ":", piece.bytes);
            totals += piece.bytes;
            port.write(piece.bytes);
            sent_.config += piece.bytes;
        }
        port.write(ExchangeController::PacketSuffix);
        totals += ExchangeController::PacketSuffix;
        ex_.logs().protocol(ru(">>> запись данных итого: ") + totals);
    } catch (...) {
        // The port's error is shown at the top; the write is over.
        end(Outcome::make(Outcome::Kind::PortLost));
        throw;
    }
    ex_.setMode(ExchangeMode::WriteBlock);
    ex_.replyTimer().start();
}

void ConfigWrite::onBlockAnswer(const Bytes& reply) {
    ex_.logs().protocol(ru("<<< ответ о записи: ") + reply);
    if (reply != "COK") {
        ex_.setMode(ExchangeMode::IdleAfterOperation);
        ex_.replyTimer().stop();
        wrongAnswer(ru("Ответ об успешной записи не корректен."));
        return;
    }
    ex_.replyTimer().stop();
    ex_.closeTimer().stop();
    ex_.port().purge();
    ex_.setMode(ExchangeMode::RemotesReady);
    ex_.sendFramed("Wp");
    ex_.replyTimer().start();
    stage(tr("Запись настроек: радиопульты"));
}

void ConfigWrite::onReady(const Bytes& reply, ExchangeModeValue mode) {
    const char* head = mode == ExchangeMode::RemotesReady ? "<<< готовность к записи радиопультов: "
                       : mode == ExchangeMode::ThermoReady
                           ? "<<< готовность к записи БТД: "
                           : "<<< готовность к записи беспроводных выходов: ";
    ex_.logs().protocol(ru(head) + reply);
    // Anything but "OK" is not the readiness: the reply timer goes on.
    if (reply != "OK")
        return;
    ex_.replyTimer().stop();
    ex_.closeTimer().stop();
    if (!sendStageData(mode + 1))
        return;
    ex_.replyTimer().start();
    ex_.closeTimer().stop();
}

bool ConfigWrite::sendStageData(ExchangeModeValue mode) {
    FixedBlockEncoding block;
    const char* head = nullptr;
    if (mode == ExchangeMode::RemotesResult) {
        block = encodeRemoteControlsBlock(model_);
        head = ">>> запись радиопультов: ";
    } else if (mode == ExchangeMode::ThermoResult) {
        block = encodeThermoNamesBlock(model_);
        head = ">>> запись бтд: ";
    } else {
        block = encodeWirelessOutputsBlock(model_);
        head = ">>> запись беспроводных выходов: ";
    }
    if (!block.ok()) {
        // A code was changed to one the block cannot carry while the write ran:
        // nothing half-built is sent.
        ex_.setMode(ExchangeMode::IdleAfterOperation);
        ex_.closeTimer().start();
        const std::string text = tr("Запись настроек прервана: код не может быть записан в "
                                    "прибор (нужно 2, 4 или 6 шестнадцатеричных цифр).");
        end(Outcome::make(Outcome::Kind::Refused, {text}));
        ex_.prompts().message(text);
        return false;
    }
    ex_.setMode(mode);
    ex_.logs().protocol(ru(head) + block.bytes);
    try {
        ex_.sendFramed(block.bytes);
    } catch (...) {
        end(Outcome::make(Outcome::Kind::PortLost));
        throw;
    }
    (mode == ExchangeMode::RemotesResult  ? sent_.remotes
     : mode == ExchangeMode::ThermoResult ? sent_.thermoNames
                                          : sent_.outputs) = block.bytes;
    return true;
}

void ConfigWrite::onResult(const Bytes& reply, ExchangeModeValue mode) {
    if (mode == ExchangeMode::OutputsResult) {
        ex_.replyTimer().stop();
        ex_.logs().protocol(ru("<<< результат записи бвыходов: ") + reply);
    }
    if (!isDone(reply)) {
        ex_.setMode(ExchangeMode::IdleAfterOperation);
        ex_.replyTimer().stop();
        wrongAnswer(mode == ExchangeMode::RemotesResult
                        ? ru("Ответ об успешной записи радиопультов не корректен.")
                    : mode == ExchangeMode::ThermoResult
                        ? ru("Ответ об успешной записи беспроводных термодатчиков не корректен.")
                        : ru("Ответ об успешной записи беспроводных выходов не корректен."));
        return;
    }
    if (mode == ExchangeMode::OutputsResult) {
        end(Outcome::done());
        ex_.endAfterBox(ex_.prompts().confirm(ru("Процесс записи завершился. Все OK.")));
        return;
    }
    ex_.replyTimer().stop();
    ex_.closeTimer().stop();
    ex_.port().purge();
    const bool remotes = mode == ExchangeMode::RemotesResult;
    ex_.setMode(remotes ? ExchangeMode::ThermoReady : ExchangeMode::OutputsReady);
    ex_.sendFramed(remotes ? "Wtd" : "Wo");
    ex_.replyTimer().start();
    stage(remotes ? tr("Запись настроек: беспроводные термодатчики")
                  : tr("Запись настроек: беспроводные выходы"));
}

void ConfigWrite::wrongAnswer(const std::string& box) {
    end(Outcome::make(Outcome::Kind::WrongAnswer, {box}));
    // Shown as written; the mode is 11 whatever the answer.
    ex_.endAfterBox(ex_.prompts().confirm(box));
}

void ConfigWrite::stage(const std::string& text) {
    ex_.view().showActivity({text, false, false});
}

void ConfigWrite::end() {
    running_ = false;
    ex_.view().showActivity({});
}

void ConfigWrite::end(Outcome outcome) {
    if (running_)
        outcome_ = std::move(outcome);
    end();
}

} // namespace t6
