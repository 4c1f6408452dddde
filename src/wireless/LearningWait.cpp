#include "wireless/LearningWait.h"

#include "exchange/ExchangeController.h"

namespace t6 {

LearningWait::LearningWait(ExchangeController& exchange) : ex_(exchange) {
    ex_.addInterruptListener([this](ExchangeController::Interruption) {
        end();
        return std::string();
    });
}

void LearningWait::show(const std::string& text, std::function<void()> cancel) {
    shown_ = true;
    ex_.setCancel(std::move(cancel));
    ex_.view().showActivity({text, true, false});
}

void LearningWait::end() {
    if (!shown_)
        return;
    shown_ = false;
    ex_.setCancel({});
    ex_.view().showActivity({});
}

} // namespace t6
