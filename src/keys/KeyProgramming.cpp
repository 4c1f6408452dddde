#include "keys/KeyProgramming.h"

#include <optional>

#include "common/Cp1251.h"
#include "config/ConfigModel.h"
#include "exchange/ExchangeController.h"
#include "keys/KeyTable.h"
#include "link/SerialPort.h"

namespace t6 {

KeyProgramming::KeyProgramming(ExchangeController& exchange, ConfigModel& model)
    : ex_(exchange), model_(model) {
    for (int row = 1; row <= TouchKeyCount; ++row)
        setCaption(row, false);
    state_.readEnabled.fill(true);
    ex_.addInterruptListener(
        [this](ExchangeController::Interruption why) { return onInterrupted(why); });
}

KeyProgramming::~KeyProgramming() = default;

std::string KeyProgramming::tr(const char* utf8) const {
    return ex_.translate(ru(utf8));
}

bool KeyProgramming::acceptsCellKey(int column, std::size_t cellLength, char key) {
    if (key == '\b')
        return true;
    if (column == 1)
        return cellLength < kDescriptionTypingLimit;
    if (column == 2)
        return cellLength < kCodeTypingLimit;
    return true;
}

// ---- The panel and the table ----

void KeyProgramming::openPanel() {
    const std::string noConnection = tr("Нет соединения с устройством. Проверьте подключение");
    if (!ex_.beginOperation(noConnection)) {
        tableOutcome_ = Outcome::make(Outcome::Kind::Refused, {noConnection});
        return;
    }
    ex_.port().purge();
    state_.shown = true;
    state_.enabled = true;
    state_.otherPanelsEnabled = false;
    notify();
    tableOutcome_.reset();
    try {
        // The reply timer runs on after the table has come: it ends the
        // exchange silently.
        ex_.request({.mode = ExchangeMode::ReadAllKeys,
                     .request = Bytes("Cn"),
                     .purge = false,
                     .onReply = [this](const Bytes& r) { onTable(r); },
                     .onTimeout = [this] { onTableTimeout(); }});
    } catch (...) {
        tableMissing(1, Outcome::make(Outcome::Kind::PortLost));
        throw;
    }
    tableAwaited_ = true;
}

void KeyProgramming::onTableTimeout() {
    ex_.finish();
    if (!tableAwaited_)
        return;
    // The table did not come: the panel still shows what it held, as not read.
    ex_.view().showNotice(tr("Таблица ключей не прочитана: прибор не ответил за 10 с."));
    tableMissing(1, Outcome::make(Outcome::Kind::NoAnswer));
}

void KeyProgramming::onTable(const Bytes& reply) {
    ex_.logs().protocol(ru("<<< чтение ключей(все): ") + reply);
    tableAwaited_ = false;
    const std::vector<DecodedKeyRow> rows = decodeKeyTable(reply);
    for (const DecodedKeyRow& r : rows) {
        TouchKey key = model_.config().touchKeys.at(static_cast<std::size_t>(r.row - 1));
        key.description = r.description;
        if (r.code)
            key.code = *r.code;
        model_.setTouchKey(r.row, key);
    }
    if (reply.size() >= KeyTableBytes) {
        tableOutcome_ = Outcome::done();
    } else {
        // Rows the reply does not reach (or reaches without their code) are
        // not the device's: they are marked as not read, and the user told.
        ex_.view().showNotice(
            tr("Таблица ключей прочитана не полностью; байт в ответе прибора (из 200):") + " " +
            std::to_string(reply.size()));
        const int whole = static_cast<int>(reply.size() / KeyRecordBytes);
        tableMissing(whole + 1, Outcome::make(Outcome::Kind::Incomplete));
    }
    // The reply timer ends the exchange silently.
    notify();
}

void KeyProgramming::tableMissing(int fromRow, Outcome outcome) {
    tableAwaited_ = false;
    std::vector<int> rows;
    for (int k = fromRow; k <= TouchKeyCount; ++k)
        rows.push_back(k);
    model_.setKeysNotRead(rows);
    if (!rows.empty())
        outcome.details.push_back(tr("строки таблицы ключей не прочитаны:") + " " +
                                  std::to_string(fromRow) + "-" + std::to_string(TouchKeyCount));
    tableOutcome_ = std::move(outcome);
    notify();
}

void KeyProgramming::closePanel() {
    if (!state_.closeEnabled)
        return;
    state_.shown = false;
    state_.enabled = false;
    state_.otherPanelsEnabled = true;
    notify();
    // A key read pending on the device ends with "Ur".
    ex_.operationStarting();
    ex_.stopTimers();
    const std::string noConnection = tr("Нет соединения с устройством. Проверьте подключение");
    if (ex_.connectedPort().empty() ||
        ex_.openConnectedPort() != ExchangeController::Opening::Open) {
        ex_.prompts().message(ex_.withOpenFailure(noConnection));
        return;
    }
    try {
        ex_.port().purge();
    } catch (const PortError&) {
    }
    // The device's answer, if any, is ignored; the reply timer ends the exchange.
    try {
        ex_.request(
            {.mode = ExchangeMode::IdleAfterOperation, .request = Bytes("Ur"), .purge = false});
    } catch (const PortError&) {
        ex_.prompts().message(noConnection);
    }
}

// ---- One key ----

void KeyProgramming::readKey(int row) {
    if (row < 1 || row > TouchKeyCount)
        return;
    const bool cancelling = pendingRow_ == row;
    // The read pending here or in another row is this operation's own business.
    readStarting_ = true;
    const bool ready =
        ex_.beginOperation(tr("Нет соединения с устройством. Необходимо проверить подключение"));
    readStarting_ = false;
    if (!ready) {
        keyOutcome_ = Outcome::make(Outcome::Kind::Refused);
        return;
    }
    // A key is awaited as long as it takes.
    ExchangeController::Step step{.mode = ExchangeMode::ReadOneKey,
                                  .request = Bytes(cancelling ? "Ur" : "Kr"),
                                  .wait = ExchangeController::Wait::Unlimited};
    if (cancelling) {
        ex_.request(std::move(step));
        endWait();
        // Whatever the device says to the cancel is not a key.
        ex_.finish();
        keyOutcome_ = Outcome::make(Outcome::Kind::Cancelled);
    } else {
        keyOutcome_.reset();
        // One key is awaited at a time: a read pending in another row is over.
        step.onReply = [this](const Bytes& r) { onKey(r); };
        ex_.request(std::move(step));
        keyReadRow_ = row;
        beginWait(row);
    }
    notify();
}

void KeyProgramming::beginWait(int row) {
    if (pendingRow_ && pendingRow_ != row)
        setCaption(pendingRow_, false);
    pendingRow_ = row;
    setCaption(row, true);
    ex_.setCancel([this] {
        if (pendingRow_)
            readKey(pendingRow_);
    });
    ex_.view().showActivity({tr("Ожидание ключа") + " " + std::to_string(row) + ": " +
                                 tr("приложите ключ к считывателю"),
                             true, false});
}

void KeyProgramming::endWait() {
    if (!pendingRow_)
        return;
    setCaption(pendingRow_, false);
    pendingRow_ = 0;
    ex_.setCancel({});
    ex_.view().showActivity({});
}

void KeyProgramming::onKey(const Bytes& reply) {
    ex_.logs().protocol(ru("<<< чтение ключа: ") + reply);
    ex_.finish();
    const int row = keyReadRow_;
    if (row >= 1 && row <= TouchKeyCount) {
        TouchKey key = model_.config().touchKeys.at(static_cast<std::size_t>(row - 1));
        key.code = decodeKeyIdentity(reply);
        model_.setTouchKey(row, key);
    }
    state_.enabled = true;
    endWait();
    keyOutcome_ = Outcome::done();
    if (row >= 1 && row <= TouchKeyCount) {
        setCaption(row, false);
        state_.readEnabled[static_cast<std::size_t>(row - 1)] = true;
    }
    notify();
}

// ---- Writing the table ----

void KeyProgramming::save() {
    // The device needs a moment before it takes the table.
    ex_.clock().wait(1000);
    state_.enableConnectButton = false;
    saveOutcome_.reset();
    if (const std::optional<KeyTableFault> fault = checkKeyTable(model_.config().touchKeys)) {
        const std::string text =
            keyTableFaultText(*fault, [this](const std::string& t) { return ex_.translate(t); });
        ex_.prompts().message(text);
        saveOutcome_ = Outcome::make(Outcome::Kind::Refused, {text});
        return;
    }
    // Rows the device's table did not fill would be written as the window
    // shows them, over the device's own: the user decides.
    std::string notRead;
    for (int k = 1; k <= TouchKeyCount; ++k)
        if (model_.keyNotRead(k))
            notRead += (notRead.empty() ? "" : ", ") + std::to_string(k);
    if (!notRead.empty() &&
        !ex_.prompts().question(
            tr("Таблица ключей прочитана из прибора не полностью; не прочитаны строки:") + " " +
            notRead + ".\r\n" + tr("Всё равно записать таблицу в прибор?"))) {
        saveOutcome_ = Outcome::make(Outcome::Kind::Cancelled);
        return;
    }
    // A key read waits no more; an earlier save still waiting is replaced quietly.
    saveStarting_ = true;
    ex_.operationStarting();
    saveStarting_ = false;
    ex_.stopTimers();
    const std::string noConnection = tr("Нет соединения с устройством. Проверьте подключение");
    const Outcome refused = Outcome::make(Outcome::Kind::Refused, {noConnection});
    if (ex_.connectedPort().empty()) {
        ex_.prompts().message(noConnection);
        saveOutcome_ = refused;
        state_.enableConnectButton = true;
        notify();
        return;
    }
    switch (ex_.openConnectedPort()) {
    case ExchangeController::Opening::Open:
        break;
    case ExchangeController::Opening::Failed:
        ex_.prompts().message(ex_.withOpenFailure(noConnection));
        saveOutcome_ = refused;
        state_.enableConnectButton = true;
        notify();
        return;
    case ExchangeController::Opening::StillClosed:
        ex_.prompts().message(noConnection);
        saveOutcome_ = refused;
        return;
    }
    ex_.port().purge();
    try {
        ex_.request({.mode = ExchangeMode::KeysReady,
                     .request = Bytes("Wr"),
                     .purge = false,
                     .onReply = [this](const Bytes& r) { onReady(r); },
                     .onTimeout = [this] { onReadyTimeout(); }});
    } catch (const PortError&) {
        ex_.prompts().message(noConnection);
        saveOutcome_ = Outcome::make(Outcome::Kind::PortLost, {noConnection});
        return;
    }
    saving_ = true;
    state_.closeEnabled = false;
    notify();
}

void KeyProgramming::onReady(const Bytes& reply) {
    ex_.logs().protocol(ru("<<< результат записи ключей в прибор: ") + reply);
    if (reply != "OK") {
        ex_.replyCame();
        ex_.setMode(ExchangeMode::IdleAfterOperation);
        saveEnded(Outcome::make(Outcome::Kind::WrongAnswer));
        answerBox(ru("Ответ о готовности к сохранению ключей некорректен."));
        return;
    }
    ex_.port().purge();
    // The mode stays while the device gets ready for the table.
    ex_.replyCame();
    ex_.closeLater();
    sendTable();
}

void KeyProgramming::onReadyTimeout() {
    // After the box the panels come back and the port closes.
    if (ex_.endWithBox(ru("НЕТ ответа о готовности к чтению ключей")))
        waitCancelSteps();
    else
        saveEnded(Outcome::make(Outcome::Kind::NoAnswer));
}

bool KeyProgramming::sendTable() {
    // Another operation may start during the waits (the window keeps running).
    auto stillOurs = [this] { return saving_ && ex_.mode() == ExchangeMode::KeysReady; };
    ex_.clock().wait(100);
    if (!stillOurs())
        return false;
    const std::optional<Bytes> block = encodeKeyTable(model_.config().touchKeys);
    if (!block) {
        // The table was edited while the device got ready: nothing half-built is sent.
        ex_.setMode(ExchangeMode::IdleAfterOperation);
        saveEnded(Outcome::make(Outcome::Kind::Refused));
        if (auto fault = checkKeyTable(model_.config().touchKeys))
            ex_.prompts().message(keyTableFaultText(
                *fault, [this](const std::string& t) { return ex_.translate(t); }));
        return false;
    }
    ex_.clock().wait(100);
    if (!stillOurs())
        return false;
    ex_.stopTimers();
    const std::string noConnection = tr("Нет соединения с устройством. Проверьте подключение");
    if (ex_.connectedPort().empty()) {
        saveEnded(Outcome::make(Outcome::Kind::Refused, {noConnection}));
        ex_.prompts().message(noConnection);
        return false;
    }
    switch (ex_.openConnectedPort()) {
    case ExchangeController::Opening::Open:
        break;
    case ExchangeController::Opening::Failed:
        saveEnded(Outcome::make(Outcome::Kind::PortLost));
        ex_.prompts().message(
            ex_.withOpenFailure(tr("Ошибка открытия порта. Проверьте подключение")));
        return false;
    case ExchangeController::Opening::StillClosed:
        saveEnded(Outcome::make(Outcome::Kind::PortLost));
        ex_.prompts().message(noConnection);
        return false;
    }
    ex_.port().purge();
    try {
        ex_.request({.mode = ExchangeMode::KeysResult,
                     .request = *block,
                     .purge = false,
                     .onReply = [this](const Bytes& r) { onResult(r); },
                     .onTimeout = [this] { onResultTimeout(); }});
    } catch (...) {
        saveEnded(Outcome::make(Outcome::Kind::PortLost));
        throw;
    }
    return true;
}

void KeyProgramming::onResult(const Bytes& reply) {
    ex_.logs().protocol(ru("<<< ответ о записи: ") + reply);
    ex_.replyCame();
    ex_.setMode(ExchangeMode::IdleAfterOperation);
    const bool written = reply == "Ok";
    saveEnded(written ? Outcome::done() : Outcome::make(Outcome::Kind::WrongAnswer));
    if (!written) {
        // The panel stays open.
        answerBox(ru("Ответ об успешной записи ключей не корректен."));
        return;
    }
    answerBox(ru("Процесс записи ключей завершился. Все OK."));
    // However the box was closed, the panel closes.
    state_.shown = false;
    state_.enabled = false;
    state_.otherPanelsEnabled = true;
    notify();
}

void KeyProgramming::answerBox(const std::string& text) {
    // Shown as written; the mode is 11 whatever the answer.
    ex_.endAfterBox(ex_.prompts().confirm(text));
}

void KeyProgramming::saveEnded(Outcome outcome) {
    if (saving_)
        saveOutcome_ = std::move(outcome);
    endSave();
}

void KeyProgramming::endSave() {
    saving_ = false;
    state_.closeEnabled = true;
    notify();
}

void KeyProgramming::onResultTimeout() {
    // The exchange ends without a box; the user is told in the status bar.
    ex_.finish();
    const bool told = saving_;
    saveEnded(Outcome::make(Outcome::Kind::NoAnswer));
    if (told)
        ex_.view().showNotice(tr("Прибор не подтвердил запись ключей: ответа нет 10 с."));
}

// ---- Waits that end ----

void KeyProgramming::waitCancelSteps() {
    ex_.endOperation();
    if (saving_) {
        givePanelsBack();
        saveEnded(Outcome::make(Outcome::Kind::NoAnswer));
        return;
    }
    panelsBack();
}

void KeyProgramming::givePanelsBack() {
    if (state_.shown)
        state_.enabled = true;
    if (enableSensorPanel_)
        enableSensorPanel_();
}

void KeyProgramming::panelsBack() {
    givePanelsBack();
    notify();
}

std::string KeyProgramming::onInterrupted(ExchangeController::Interruption why) {
    const bool lost = why == ExchangeController::Interruption::PortLost;
    bool changed = false;
    // A table, an answer to "Wr" or the signal level that cannot come any
    // more: the panels are given back as after their time-out.
    const ExchangeModeValue m = ex_.mode();
    if (lost && (m == ExchangeMode::ReadAllKeys || m == ExchangeMode::KeysReady ||
                 m == ExchangeMode::SignalLevel)) {
        if (state_.shown)
            state_.enabled = true;
        if (enableSensorPanel_)
            enableSensorPanel_();
        changed = true;
    }
    if (pendingRow_ && (lost || !readStarting_)) {
        endWait();
        keyOutcome_ = Outcome::make(lost ? Outcome::Kind::PortLost : Outcome::Kind::Cancelled);
        changed = true;
    }
    // The table cannot come any more.
    if (tableAwaited_) {
        tableMissing(1, Outcome::make(lost ? Outcome::Kind::PortLost : Outcome::Kind::Cancelled));
        changed = false;
    }
    std::string outcome;
    if (saving_) {
        saveEnded(Outcome::make(lost ? Outcome::Kind::PortLost : Outcome::Kind::Cancelled));
        // saveEnded tells the panel itself
        changed = false;
        if (lost)
            outcome = tr("Запись ключей прервана: порт закрылся.");
        else if (!saveStarting_)
            outcome = tr("Запись ключей прервана другой операцией.");
    }
    if (changed)
        notify();
    return outcome;
}

void KeyProgramming::setCaption(int row, bool pending) {
    state_.readCaptions.at(static_cast<std::size_t>(row - 1)) =
        pending ? ru("Отмена") : ru("Читать Ключ");
}

void KeyProgramming::notify() {
    if (observer_)
        observer_(state_);
}

} // namespace t6
