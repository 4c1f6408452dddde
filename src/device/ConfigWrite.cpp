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

// The three stages after the configuration block, in the order they are sent.
const ConfigWrite::Stage ConfigWrite::kStages[3] = {
    {ExchangeMode::RemotesReady, ExchangeMode::RemotesResult, "Wp",
     "<<< готовность к записи радиопультов: ", ">>> запись радиопультов: ",
     "Ответ об успешной записи радиопультов не корректен.", "Запись настроек: радиопульты",
     encodeRemoteControlsBlock, &DeviceBlocks::remotes},
    {ExchangeMode::ThermoReady, ExchangeMode::ThermoResult, "Wtd", "<<< готовность к записи БТД: ",
     ">>> запись бтд: ", "Ответ об успешной записи беспроводных термодатчиков не корректен.",
     "Запись настроек: беспроводные термодатчики", encodeThermoNamesBlock,
     &DeviceBlocks::thermoNames},
    {ExchangeMode::OutputsReady, ExchangeMode::OutputsResult, "Wo",
     "<<< готовность к записи беспроводных выходов: ", ">>> запись беспроводных выходов: ",
     "Ответ об успешной записи беспроводных выходов не корректен.",
     "Запись настроек: беспроводные выходы", encodeWirelessOutputsBlock, &DeviceBlocks::outputs},
};

ConfigWrite::ConfigWrite(ExchangeController& exchange, ConfigModel& model)
    : ex_(exchange), model_(model) {
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
    // The block is on the line; its acknowledgement has 10 s.
    ex_.request({.mode = ExchangeMode::WriteBlock,
                 .purge = false,
                 .onReply = [this](const Bytes& r) { onBlockAnswer(r); },
                 .onTimeout =
                     [this] {
                         noAnswer(ru("НЕТ ответа о окончании записи в устройство основной "
                                     "конфигурации"));
                     }});
}

void ConfigWrite::noAnswer(const std::string& box) {
    // Shown as written, then the write is over whatever the answer.
    ex_.endWithBox(box);
    end(Outcome::make(Outcome::Kind::NoAnswer));
}

void ConfigWrite::askReady(const Stage& stage) {
    ex_.request({.mode = stage.ready,
                 .request = Bytes(stage.readyRequest),
                 .onReply = [this, &stage](const Bytes& r) { onReady(r, stage); },
                 .onTimeout = [this, &stage] { noStageAnswer(stage.ready); }});
    this->stage(tr(stage.caption));
}

void ConfigWrite::noStageAnswer(ExchangeModeValue mode) {
    noAnswer(ru("НЕТ ответа о окончании записи в устройство радиоприборов (") +
             std::to_string(mode) + ")");
}

void ConfigWrite::onBlockAnswer(const Bytes& reply) {
    ex_.logs().protocol(ru("<<< ответ о записи: ") + reply);
    ex_.replyCame();
    if (reply != "COK") {
        wrongAnswer(ru("Ответ об успешной записи не корректен."));
        return;
    }
    askReady(kStages[0]);
}

void ConfigWrite::onReady(const Bytes& reply, const Stage& stage) {
    ex_.logs().protocol(ru(stage.readyHead) + reply);
    // Anything but "OK" is not the readiness: the reply timer goes on.
    if (reply != "OK")
        return;
    ex_.replyCame();
    const FixedBlockEncoding block = stage.encode(model_);
    if (!block.ok()) {
        // A code was changed to one the block cannot carry while the write ran:
        // nothing half-built is sent.
        ex_.finish();
        const std::string text = tr("Запись настроек прервана: код не может быть записан в "
                                    "прибор (нужно 2, 4 или 6 шестнадцатеричных цифр).");
        end(Outcome::make(Outcome::Kind::Refused, {text}));
        ex_.prompts().message(text);
        return;
    }
    ex_.logs().protocol(ru(stage.dataHead) + block.bytes);
    try {
        ex_.request({.mode = stage.result,
                     .request = block.bytes,
                     .purge = false,
                     .onReply = [this, &stage](const Bytes& r) { onResult(r, stage); },
                     .onTimeout = [this, &stage] { noStageAnswer(stage.result); }});
    } catch (...) {
        end(Outcome::make(Outcome::Kind::PortLost));
        throw;
    }
    sent_.*stage.sent = block.bytes;
}

void ConfigWrite::onResult(const Bytes& reply, const Stage& stage) {
    const bool last = &stage == &kStages[std::size(kStages) - 1];
    if (last) {
        ex_.replyCame();
        ex_.logs().protocol(ru("<<< результат записи бвыходов: ") + reply);
    }
    if (!isDone(reply)) {
        ex_.replyCame();
        wrongAnswer(ru(stage.wrongResult));
        return;
    }
    if (last) {
        end(Outcome::done());
        if (completed_)
            completed_();
        ex_.endAfterBox(ex_.prompts().confirm(ru("Процесс записи завершился. Все OK.")));
        return;
    }
    askReady(*(&stage + 1));
}

void ConfigWrite::wrongAnswer(const std::string& box) {
    ex_.setMode(ExchangeMode::IdleAfterOperation);
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
