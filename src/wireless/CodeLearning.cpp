#include "wireless/CodeLearning.h"

#include <algorithm>

#include "common/Cp1251.h"
#include "config/FieldEncodings.h"
#include "exchange/ExchangeController.h"

namespace t6 {

CodeLearning::CodeLearning(ExchangeController& exchange, ExchangeModeValue mode, int rows,
                           std::string startRequest, std::string stopRequest)
    : ex_(exchange), mode_(mode), startRequest_(std::move(startRequest)),
      stopRequest_(std::move(stopRequest)), learning_(static_cast<std::size_t>(rows), false),
      wait_(exchange) {
    // A port gone: nothing more can be heard, no row is left learning.
    ex_.addInterruptListener([this](ExchangeController::Interruption why) {
        if (why != ExchangeController::Interruption::PortLost)
            outcome_.end(Outcome::make(Outcome::Kind::Cancelled));
        if (why != ExchangeController::Interruption::PortLost || !ex_.operationWaiting() ||
            ex_.mode() != mode_)
            return std::string();
        outcome_.end(Outcome::make(Outcome::Kind::PortLost));
        std::fill(learning_.begin(), learning_.end(), false);
        listening_ = 0;
        notify();
        return std::string();
    });
}

std::string CodeLearning::tr(const char* utf8) const {
    return ex_.translate(ru(utf8));
}

std::string CodeLearning::caption(int row) const {
    return learning(row) ? ru("Отмена") : ru("Читать");
}

bool CodeLearning::learning(int row) const {
    return row >= 1 && row <= rows() && learning_[static_cast<std::size_t>(row - 1)];
}

void CodeLearning::notify() {
    if (observer_)
        observer_();
}

void CodeLearning::press(int row) {
    if (row < 1 || row > rows())
        return;
    const std::string noConnection =
        tr("Нет соединения с устройством. Необходимо проверить подключение");
    if (!ex_.beginOperation(noConnection)) {
        outcome_.refuse({noConnection});
        return;
    }
    pending_ = row;
    const auto i = static_cast<std::size_t>(row - 1);
    // The start and the cancel alike are answered within 10 s or time out.
    ex_.request({.mode = mode_,
                 .request = learning_[i] ? cancelRequest(row) : Bytes(startRequest_),
                 .onReply = [this](const Bytes& r) { onReply(r); },
                 .onTimeout = [this] { onTimeout(); }});
    if (!learning_[i]) {
        outcome_.begin();
        learning_[i] = true;
        listening_ = row;
        wait_.show(waitText(), [this, row] {
            if (learning(row))
                press(row);
        });
    } else {
        outcome_.end(Outcome::make(Outcome::Kind::Cancelled));
        learning_[i] = false;
        if (listening_ == row)
            listening_ = 0;
    }
    notify();
}

void CodeLearning::resetPendingCaption() {
    if (pending_ >= 1)
        learning_[static_cast<std::size_t>(pending_ - 1)] = false;
}

void CodeLearning::onReply(const Bytes& reply) {
    // Remote controls and temperature sensors share the head of this line.
    ex_.logs().protocol(ru("<<< ответ от радиопультов: ") + reply);
    ex_.finish();
    if (pending_ >= 1) {
        if (listening_ == pending_) {
            takeCode(pending_, bytesToHex(reply));
            outcome_.end(Outcome::done());
        }
        learning_[static_cast<std::size_t>(pending_ - 1)] = false;
    }
    listening_ = 0;
    wait_.end();
    notify();
    ex_.sendFramed("Uk");
}

void CodeLearning::onTimeout() {
    // One time-out ends the learning: repeating the stop request every 10 s
    // would keep the port open with nothing left to cancel.
    ex_.finish();
    timedOut();
    ex_.sendFramed(stopRequest_);
}

} // namespace t6
