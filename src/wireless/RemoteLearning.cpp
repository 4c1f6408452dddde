#include "wireless/RemoteLearning.h"

#include "config/ConfigModel.h"
#include "exchange/ExchangeController.h"

namespace t6 {

RemoteLearning::RemoteLearning(ExchangeController& exchange, ConfigModel& model)
    : CodeLearning(exchange, ExchangeMode::ReadRemote, kRows, "Pr"), model_(model) {
    // The controller has set mode 11 and sends "Uk" after this.
    ex_.setTimeoutHook(ExchangeMode::ReadRemote, [this] {
        resetPendingCaption();
        endWait();
        notify();
        ex_.view().showNotice(tr("Радиопульт не услышан за 10 с: ожидание закончено."));
    });
}

Bytes RemoteLearning::cancelRequest(int) const {
    return "Uk";
}

std::string RemoteLearning::waitText() const {
    return tr("Ожидание радиопульта: нажмите кнопку пульта");
}

void RemoteLearning::takeCode(int row, const std::string& code) {
    model_.setRemoteCode(row, code);
}

} // namespace t6
