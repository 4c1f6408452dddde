#include "wireless/RemoteLearning.h"

#include "config/ConfigModel.h"
#include "exchange/ExchangeController.h"

namespace t6 {

RemoteLearning::RemoteLearning(ExchangeController& exchange, ConfigModel& model)
    : CodeLearning(exchange, ExchangeMode::ReadRemote, kRows, "Pr", "Uk"), model_(model) {}

void RemoteLearning::timedOut() {
    resetPendingCaption();
    endWait();
    notify();
    ex_.view().showNotice(tr("Радиопульт не услышан за 10 с: ожидание закончено."));
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
