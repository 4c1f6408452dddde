#include "device/ConfigRead.h"

#include <algorithm>
#include <cstdio>

#include "common/Cp1251.h"
#include "config/ConfigBlock.h"
#include "config/ConfigModel.h"
#include "config/FieldEncodings.h"
#include "config/FixedBlocks.h"
#include "device/LogsBlockLog.h"
#include "exchange/ExchangeController.h"
#include "files/ConfigFiles.h"

namespace t6 {

namespace {

std::string hexByte(int value) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02X", static_cast<unsigned>(value) & 0xFFu);
    return buf;
}

} // namespace

ConfigRead::ConfigRead(ExchangeController& exchange, ConfigModel& model, ConfigFiles& files)
    : ex_(exchange), model_(model), files_(files) {
    ex_.addInterruptListener([this](ExchangeController::Interruption why) {
        if (!running_ || starting_)
            return std::string();
        const bool lost = why == ExchangeController::Interruption::PortLost;
        return abandon(lost ? tr("Чтение настроек прервано: порт закрылся.")
                            : tr("Чтение настроек прервано другой операцией."),
                       Outcome::make(lost ? Outcome::Kind::PortLost : Outcome::Kind::Cancelled));
    });
}

ConfigRead::~ConfigRead() = default;

std::string ConfigRead::tr(const char* utf8) const {
    return ex_.translate(ru(utf8));
}

void ConfigRead::readConfiguration() {
    const std::string noConnection = tr("Нет соединения с устройством. Проверьте подключение");
    if (busy_) {
        if (auto why = busy_()) {
            ex_.prompts().message(*why);
            outcome_ = Outcome::make(Outcome::Kind::Refused, {*why});
            return;
        }
    }
    // Whatever waited for a reply is abandoned, an earlier read included.
    ex_.operationStarting();
    outcome_.reset();
    ex_.stopTimers();
    if (ex_.connectedPort().empty()) {
        ex_.prompts().message(noConnection);
        outcome_ = Outcome::make(Outcome::Kind::Refused, {noConnection});
        return;
    }
    // The date and time received from the device are to stay in their fields.
    model_.setClockFromPc(false);
    // A failure to open is told as no connection.
    if (ex_.openConnectedPort() != ExchangeController::Opening::Open) {
        ex_.prompts().message(ex_.withOpenFailure(noConnection));
        outcome_ = Outcome::make(Outcome::Kind::Refused, {noConnection});
        return;
    }
    ex_.setMode(ExchangeMode::ReadBlock);
    if (!files_.saveBackup()) {
        // Nothing is overwritten without its backup; the box of the files said why.
        ex_.finish();
        const std::string why =
            tr("Чтение настроек не начато: без резервной копии окно не изменяется.");
        ex_.prompts().information(why);
        outcome_ = Outcome::make(Outcome::Kind::FileFailed, {why});
        return;
    }
    starting_ = true;
    ex_.setMode(ExchangeMode::ReadOutputs);
    model_.resetConfig();
    ex_.setMode(ExchangeMode::ReadOutputs);
    starting_ = false;
    begin();
    // The first three blocks are awaited without a time limit.
    ex_.request({.mode = ExchangeMode::ReadOutputs,
                 .request = Bytes("Ro"),
                 .wait = ExchangeController::Wait::Unlimited,
                 .onReply = [this](const Bytes& r) { onOutputs(r); },
                 .onSilence = [this] { onSilence(); }});
    showStage(tr("Чтение настроек: беспроводные выходы"), true);
}

void ConfigRead::showStage(const std::string& stage, bool cancellable, bool alert) {
    if (!alert)
        stage_ = stage;
    ex_.setCancel(cancellable ? std::function<void()>([this] { cancel(); })
                              : std::function<void()>());
    ex_.view().showActivity({stage, cancellable, alert});
}

void ConfigRead::onSilence() {
    if (!running_)
        return;
    // Told once; the read goes on waiting until the user cancels it.
    const std::string what = ignored_ ? tr("ответ прибора не подходит, чтение можно отменить")
                                      : tr("прибор не отвечает 10 с, чтение можно отменить");
    showStage(stage_ + " \x97 " + what, true, true);
}

void ConfigRead::begin() {
    running_ = true;
    ignored_ = false;
    incomplete_ = true; // until the last reply has come
    taken_.clear();
    outcome_.reset();
    received_ = {};
}

void ConfigRead::end(Outcome outcome) {
    running_ = false;
    taken_.clear();
    outcome_ = std::move(outcome);
}

bool ConfigRead::isStale(const Bytes& reply, const char* block) {
    const bool repeated = std::find(taken_.begin(), taken_.end(), reply) != taken_.end();
    const bool mainBlock = ex_.mode() != ExchangeMode::ReadBlock && reply.starts_with("\x99\x99");
    if (!repeated && !mainBlock)
        return false;
    // A late or repeated reply of an earlier exchange: left out, the wait goes on.
    ignored_ = true;
    ex_.logs().memo(ru("Ответ не принят как ") + ru(block) + ": " + std::to_string(reply.size()) +
                    ru(" байт") +
                    (repeated ? ru(", повтор уже полученного ответа") : ru(", это основной блок")));
    return true;
}

bool ConfigRead::hasBlockSize(const Bytes& reply, std::size_t size, const char* block) {
    if (reply.size() > size)
        ex_.logs().memo(ru("Ответ длиннее, чем ") + ru(block) + ": " +
                        std::to_string(reply.size()) + ru(" байт из ") + std::to_string(size) +
                        ru("; лишние байты не прочитаны: ") + bytesToHex(reply.substr(size)));
    if (reply.size() >= size)
        return true;
    // The block is cut short: what it lacks would stay at the reset's values
    // in the window, and the next write would send them. The read ends now.
    ex_.logs().memo(ru("Ответ короче, чем ") + ru(block) + ": " + std::to_string(reply.size()) +
                    ru(" байт из ") + std::to_string(size));
    ex_.finish();
    const std::string missing = tr(block);
    fail(tr("Ответ прибора неполный:") + " " + missing + ", " + tr("байт в ответе:") + " " +
             std::to_string(reply.size()) + " " + tr("из") + " " + std::to_string(size) + ".",
         Outcome::make(Outcome::Kind::Incomplete, {missing}));
    return false;
}

void ConfigRead::onOutputs(const Bytes& reply) {
    if (!running_ || isStale(reply, "блок беспроводных выходов") ||
        !hasBlockSize(reply, WirelessOutputsBlockBytes, "блок беспроводных выходов"))
        return;
    taken_.push_back(reply);
    ex_.replyCame();
    ignored_ = false;
    LogsBlockLog log(ex_.logs());
    decodeWirelessOutputsBlock(model_, reply, log);
    received_.outputs = reply.substr(0, WirelessOutputsBlockBytes);
    ex_.clock().wait(100);
    ex_.port().purge();
    ex_.clock().wait(100);
    // Another operation may have started during the waits.
    if (!running_ || ex_.mode() != ExchangeMode::ReadOutputs)
        return;
    // The block has 10 s; a long one tells how much of it has come.
    ex_.request({.mode = ExchangeMode::ReadBlock,
                 .request = Bytes("Pt"),
                 .purge = false,
                 .onReply = [this](const Bytes& r) { onBlock(r); },
                 .onTimeout = [this] { onBlockTimeout(); },
                 .onReceiving =
                     [this](std::size_t held) {
                         if (running_ && held > 0)
                             showStage(tr("Чтение настроек: основной блок, получено байт:") + " " +
                                           std::to_string(held),
                                       true);
                     }});
    showStage(tr("Чтение настроек: основной блок"), true);
}

void ConfigRead::onBlockTimeout() {
    // The window is put back as it was before the read; one box tells all.
    const std::string outcome =
        running_ ? abandon(tr("Чтение настроек не завершено: прибор не прислал основной блок."),
                           Outcome::make(Outcome::Kind::NoAnswer))
                 : std::string();
    ex_.endWithBox(ru("Превышен период ожидания ответа устройства.") +
                   (outcome.empty() ? outcome : "\r\n" + outcome));
}

void ConfigRead::onBlock(const Bytes& reply) {
    if (!running_)
        return;
    // The block opens with 99 99 before its first record; anything else is
    // a late reply of another exchange.
    if (!reply.starts_with("\x99\x99")) {
        ignored_ = true;
        ex_.logs().memo(ru("Ответ не принят как основной блок: ") + std::to_string(reply.size()) +
                        ru(" байт"));
        return;
    }
    if (isStale(reply, "основной блок"))
        return;
    taken_.push_back(reply);
    LogsBlockLog log(ex_.logs());
    received_.config = reply;
    const ConfigBlockScan scan = scanConfigBlock(model_, reply, log);
    std::vector<std::string> missing;
    for (int type : scan.missingRecords)
        missing.push_back(ex_.translate(recordName(type)));
    if (!scan.complete) {
        // The answer ends inside a record: nothing past it is read, and the
        // user learns it now rather than from the time-out.
        ex_.logs().memo(ru("Блок настроек оборван: запись ") + hexByte(scan.cutRecordType) +
                        ru(" с байта ") + std::to_string(scan.cutRecordAt) + ru(" из ") +
                        std::to_string(reply.size()));
        ex_.finish();
        fail(tr("Ответ прибора неполный: блок настроек оборвался внутри записи."),
             Outcome::make(Outcome::Kind::Incomplete, std::move(missing)));
        return;
    }
    if (!scan.missingRecords.empty()) {
        // Cut between two records (or ended early by a stray end of packet):
        // what it lacks would be sent back at the reset's values.
        std::string list;
        for (const std::string& name : missing)
            list += (list.empty() ? "" : ", ") + name;
        ex_.logs().memo(ru("Блок настроек неполный: ") + std::to_string(reply.size()) +
                        ru(" байт, нет записей: ") + list);
        ex_.finish();
        fail(tr("Ответ прибора неполный: в блоке настроек нет записей:") + " " + list + ".",
             Outcome::make(Outcome::Kind::Incomplete, std::move(missing)));
        return;
    }
    ignored_ = false;
    ex_.request({.mode = ExchangeMode::ReadRemotes,
                 .request = Bytes("Pn"),
                 .wait = ExchangeController::Wait::Unlimited,
                 .onReply = [this](const Bytes& r) { onRemotes(r); },
                 .onSilence = [this] { onSilence(); }});
    showStage(tr("Чтение настроек: радиопульты"), true);
}

void ConfigRead::onRemotes(const Bytes& reply) {
    if (!running_ || isStale(reply, "блок радиопультов") ||
        !hasBlockSize(reply, RemoteControlsBlockBytes, "блок радиопультов"))
        return;
    taken_.push_back(reply);
    ignored_ = false;
    decodeRemoteControlsBlock(model_, reply);
    received_.remotes = reply.substr(0, RemoteControlsBlockBytes);
    ex_.request({.mode = ExchangeMode::ReadThermoNames,
                 .request = Bytes("Ltd"),
                 .wait = ExchangeController::Wait::Unlimited,
                 .onReply = [this](const Bytes& r) { onThermoNames(r); },
                 .onSilence = [this] { onSilence(); }});
    showStage(tr("Чтение настроек: беспроводные термодатчики"), true);
}

void ConfigRead::onThermoNames(const Bytes& reply) {
    if (!running_ || isStale(reply, "блок беспроводных термодатчиков") ||
        !hasBlockSize(reply, ThermoNamesBlockBytes, "блок беспроводных термодатчиков"))
        return;
    ex_.replyCame();
    ignored_ = false;
    decodeThermoNamesBlock(model_, reply);
    received_.thermoNames = reply.substr(0, ThermoNamesBlockBytes);
    end(Outcome::done());
    incomplete_ = false;
    endActivity();
    if (completed_)
        completed_();
    // The box is shown as written.
    ex_.endAfterBox(ex_.prompts().confirm(ru("Процесс чтения завершился. Все OK.")));
}

void ConfigRead::stopWaiting() {
    const ExchangeModeValue m = ex_.mode();
    if (m == ExchangeMode::ReadOutputs || m == ExchangeMode::ReadBlock ||
        m == ExchangeMode::ReadRemotes || m == ExchangeMode::ReadThermoNames) {
        ex_.finish();
        if (ex_.port().isOpen())
            ex_.port().purge();
    }
}

void ConfigRead::cancel() {
    if (!running_)
        return;
    stopWaiting();
    fail(tr("Чтение настроек отменено."), Outcome::make(Outcome::Kind::Cancelled));
}

void ConfigRead::giveUp() {
    if (!running_)
        return;
    const bool wrong = ignored_;
    stopWaiting();
    const std::string stage = stage_;
    fail(wrong ? tr("Чтение настроек не завершено: ответ прибора не подходит.")
               : tr("Чтение настроек не завершено: прибор не отвечает."),
         Outcome::make(wrong ? Outcome::Kind::WrongAnswer : Outcome::Kind::NoAnswer, {stage}));
}

void ConfigRead::endActivity() {
    ex_.setCancel({});
    ex_.view().showActivity({});
}

void ConfigRead::fail(const std::string& why, Outcome outcome) {
    const std::string what = putBack(why);
    end(std::move(outcome));
    ex_.prompts().information(why + "\r\n" + what);
}

std::string ConfigRead::abandon(const std::string& why, Outcome outcome) {
    const std::string what = putBack(why);
    end(std::move(outcome));
    return why + " " + what;
}

std::string ConfigRead::putBack(const std::string& why) {
    running_ = false;
    endActivity();
    // Loading the backup leaves the exchange mode at 0; the read's end keeps its own.
    const ExchangeModeValue mode = ex_.mode();
    const bool restored = files_.restoreBackup();
    ex_.setMode(mode);
    incomplete_ = !restored;
    ex_.logs().memo(why);
    return restored
               ? tr("Окно восстановлено из резервной копии, сделанной перед чтением (save.000).")
               : tr("Резервную копию прочитать не удалось: окно показывает конфигурацию, "
                    "считанную не полностью. Перед записью в прибор будет задан вопрос.");
}

} // namespace t6
