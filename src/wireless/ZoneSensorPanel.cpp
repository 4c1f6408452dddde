#include "wireless/ZoneSensorPanel.h"

#include "common/Cp1251.h"
#include "config/FieldEncodings.h"
#include "exchange/ExchangeController.h"
#include "wireless/ReplyText.h"

namespace t6 {

namespace {

bool validRow(int row) {
    return row >= 1 && row <= SensorSlots;
}

std::size_t at(int row) {
    return static_cast<std::size_t>(row - 1);
}

} // namespace

ZoneSensorPanel::ZoneSensorPanel(ExchangeController& exchange) : ex_(exchange), wait_(exchange) {
    ex_.addInterruptListener([this](ExchangeController::Interruption why) {
        ++starts_;
        const Outcome cut = Outcome::make(why == ExchangeController::Interruption::PortLost
                                              ? Outcome::Kind::PortLost
                                              : Outcome::Kind::Cancelled);
        for (OutcomeSlot* slot : {&list_, &learn_, &write_})
            slot->end(cut);
        if (why == ExchangeController::Interruption::PortLost) {
            // Nothing more can be heard: no row is left learning.
            bool changed = listening_ != 0;
            listening_ = 0;
            for (bool& learning : state_.learning) {
                changed = changed || learning;
                learning = false;
            }
            if (changed)
                notify();
        }
        // A list that will not come now: the panel is given back to the user
        // rather than left disabled with its notice.
        if (state_.shown && !state_.enabled) {
            state_.enabled = true;
            state_.noticeShown = false;
            notify();
        }
        return std::string();
    });
}

std::string ZoneSensorPanel::tr(const char* utf8) const {
    return ex_.translate(ru(utf8));
}

std::string ZoneSensorPanel::title() const {
    return ru("Датчики. Зона") + std::to_string(state_.zone);
}

std::string ZoneSensorPanel::caption(int row) const {
    return validRow(row) && state_.learning[at(row)] ? ru("Отмена") : ru("Читать");
}

void ZoneSensorPanel::notify() {
    if (observer_)
        observer_();
}

void ZoneSensorPanel::setName(int row, const std::string& name) {
    if (validRow(row))
        state_.rows[at(row)].name = name;
}

void ZoneSensorPanel::setCode(int row, const std::string& code) {
    if (validRow(row))
        state_.rows[at(row)].code = code;
}

void ZoneSensorPanel::open(int zone) {
    if (zone < 1 || zone > WirelessZoneCount)
        return;
    const std::string noConnection =
        tr("Нет соединения с устройством. Необходимо проверить подключение");
    ex_.operationStarting();
    ex_.stopTimers();
    if (ex_.connectedPort().empty()) {
        ex_.prompts().message(noConnection);
        list_.refuse({noConnection});
        return;
    }
    // The waits let the event loop run: an operation the user starts
    // meanwhile takes over and this one goes no further.
    const std::uint64_t mine = starts_;
    SerialPort& port = ex_.port();
    if (port.isOpen()) {
        port.close();
        ex_.refreshPortState();
        ex_.clock().wait(100);
        if (starts_ != mine)
            return;
    }
    if (ex_.openConnectedPort() != ExchangeController::Opening::Open) {
        ex_.prompts().message(ex_.withOpenFailure(noConnection));
        list_.refuse({noConnection});
        return;
    }
    ex_.clock().wait(10);
    if (starts_ != mine)
        return;
    port.purge();
    ex_.clock().wait(10);
    if (starts_ != mine)
        return;

    ex_.setMode(ExchangeMode::ReadSensorList);
    state_.zone = zone;
    state_.tabsEnabled = false;
    state_.shown = true;
    state_.enabled = false;
    state_.noticeShown = true;
    notify();
    ex_.request({.mode = ExchangeMode::ReadSensorList,
                 .request = Bytes("D") + static_cast<char>('0' + zone) + "r",
                 .purge = false,
                 .onReply = [this](const Bytes& r) { onList(r); },
                 .onTimeout = [this] { onListTimeout(); }});
    list_.begin();
}

void ZoneSensorPanel::onListTimeout() {
    // No list within 10 s: the panel is given back and a box says so.
    ex_.finish();
    list_.end(Outcome::make(Outcome::Kind::NoAnswer));
    state_.noticeShown = false;
    state_.enabled = true;
    notify();
    ex_.prompts().message(tr("Нет ответа от прибора."));
}

void ZoneSensorPanel::onList(const Bytes& reply) {
    ex_.logs().protocol(ru("<<< ответ от беспроводных датчиках: ") + reply);
    state_.rows = SensorList{};
    const std::optional<SensorList> list = decodeSensorListBlock(reply);
    if (!list) {
        // Not the whole list: the wait goes on until a longer reply or the time-out.
        notify();
        return;
    }
    ex_.finish();
    state_.rows = *list;
    list_.end(Outcome::done());
    state_.noticeShown = false;
    state_.enabled = true;
    notify();
}

void ZoneSensorPanel::pressRead(int row) {
    if (!state_.shown || !validRow(row))
        return;
    const std::string noConnection =
        tr("Нет соединения с устройством. Необходимо проверить подключение");
    if (!ex_.beginOperation(noConnection)) {
        learn_.refuse({noConnection});
        return;
    }
    state_.currentRow = row;
    bool& learning = state_.learning[at(row)];
    // "Ps" starts the listening, "Us" stops it; either way the reply timer runs.
    ex_.request({.mode = ExchangeMode::ReadSensor,
                 .request = Bytes(learning ? "Us" : "Ps"),
                 .onReply = [this](const Bytes& r) { onSensor(r); },
                 .onTimeout = [this] { onSensorTimeout(); }});
    if (!learning) {
        learn_.begin();
        learning = true;
        listening_ = row;
        wait_.show(tr("Ожидание датчика: приведите датчик в действие"), [this, row] {
            if (state_.learning[at(row)])
                pressRead(row);
        });
    } else {
        learn_.end(Outcome::make(Outcome::Kind::Cancelled));
        learning = false;
        if (listening_ == row)
            listening_ = 0;
    }
    notify();
}

void ZoneSensorPanel::onSensorTimeout() {
    // No sensor heard within 10 s: the learning ends and the device is told
    // to stop listening.
    ex_.finish();
    learn_.end(Outcome::make(Outcome::Kind::NoAnswer));
    if (validRow(state_.currentRow))
        state_.learning[at(state_.currentRow)] = false;
    listening_ = 0;
    wait_.end();
    notify();
    ex_.view().showNotice(tr("Датчик не услышан за 10 с: ожидание закончено."));
    ex_.sendFramed("Uk");
}

void ZoneSensorPanel::onSensor(const Bytes& reply) {
    ex_.finish();
    const int row = state_.currentRow;
    if (validRow(row)) {
        // What the device says after the user's "Us" is no sensor's code.
        if (listening_ == row) {
            state_.rows[at(row)].code = trimBlanks(bytesToHex(reply.substr(0, SensorCodeBytes)));
            learn_.end(Outcome::done());
        }
        state_.learning[at(row)] = false;
    }
    listening_ = 0;
    wait_.end();
    state_.enabled = true;
    notify();
    ex_.sendFramed("Uk");
}

void ZoneSensorPanel::refuse(const std::vector<int>& rows) {
    std::string list;
    for (int r : rows)
        list += (list.empty() ? " " : ", ") + std::to_string(r);
    ex_.prompts().message(tr("Датчики не записаны: код датчика должен состоять из чётного "
                             "числа шестнадцатеричных цифр, не больше 8. Строки:") +
                          list);
}

void ZoneSensorPanel::write() {
    if (!state_.shown || state_.zone < 1 || state_.zone > WirelessZoneCount)
        return;
    // Nothing goes out, not even "Wd", for a list that could not be sent whole.
    const SensorListEncoding list = encodeSensorListBlock(state_.rows);
    if (!list.ok()) {
        refuse(list.refusedRows);
        write_.refuse();
        return;
    }
    const std::string noConnection =
        tr("Нет соединения с устройством. Необходимо проверить подключение");
    if (!ex_.beginOperation(noConnection)) {
        write_.refuse({noConnection});
        return;
    }
    ex_.request({.mode = ExchangeMode::SensorsReady,
                 .request = Bytes("Wd") + static_cast<char>('0' + state_.zone),
                 .onReply = [this](const Bytes& r) { onReady(r); },
                 .onTimeout =
                     [this] {
                         // Nothing says the list was kept.
                         ex_.finish();
                         write_.end(Outcome::make(Outcome::Kind::NoAnswer));
                         ex_.view().showNotice(tr("Датчики не записаны: прибор не ответил на "
                                                  "запрос записи за 10 с."));
                     }});
    write_.begin();
}

void ZoneSensorPanel::onReady(const Bytes& reply) {
    ex_.logs().protocol(ru("<<< массив датчиков БпВхода: ") + reply);
    if (!containsDone(reply))
        return;
    ex_.replyCame();
    // The user may have changed a code while the device got ready.
    const SensorListEncoding list = encodeSensorListBlock(state_.rows);
    if (!list.ok()) {
        ex_.finish();
        write_.end(Outcome::make(Outcome::Kind::Refused));
        refuse(list.refusedRows);
        return;
    }
    ex_.request({.mode = ExchangeMode::SensorsResult,
                 .request = list.bytes,
                 .purge = false,
                 .onReply = [this](const Bytes& r) { onResult(r); },
                 .onTimeout =
                     [this] {
                         ex_.finish();
                         write_.end(Outcome::make(Outcome::Kind::NoAnswer));
                         ex_.view().showNotice(
                             tr("Прибор не подтвердил запись датчиков: ответа нет 10 с."));
                     }});
}

void ZoneSensorPanel::onResult(const Bytes& reply) {
    ex_.logs().protocol(ru("<<< ответ о записи: ") + reply);
    if (!isDoneReply(reply))
        return;
    ex_.replyCame();
    write_.end(Outcome::done());
    // Shown as written. Closed without Yes, the port stays open in this mode.
    if (ex_.prompts().confirm(ru("Процесс записи датчиков завершился. Все OK.")))
        ex_.endOperation();
    state_.shown = false;
    state_.tabsEnabled = true;
    notify();
}

void ZoneSensorPanel::enableIfShown() {
    if (!state_.shown || state_.enabled)
        return;
    state_.enabled = true;
    notify();
}

void ZoneSensorPanel::close() {
    const Outcome closed = Outcome::make(Outcome::Kind::Cancelled);
    for (OutcomeSlot* slot : {&list_, &learn_, &write_})
        slot->end(closed);
    if (ex_.mode() == ExchangeMode::ReadSensor) {
        // A learning left running would go on sending "Uk" every 10 s to a
        // closed port: the device is told to stop listening, and the wait ends.
        ex_.replyCame();
        ex_.setMode(ExchangeMode::IdleAfterOperation);
        if (validRow(state_.currentRow))
            state_.learning[at(state_.currentRow)] = false;
        listening_ = 0;
        wait_.end();
        if (ex_.port().isOpen()) {
            try {
                ex_.sendFramed("Us");
            } catch (const PortError&) {
                // The port is closed below all the same.
            }
        }
    }
    state_.shown = false;
    state_.tabsEnabled = true;
    ex_.port().close();
    ex_.refreshPortState();
    ex_.closeLater();
    notify();
}

} // namespace t6
