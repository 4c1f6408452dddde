#include "wireless/ThermoCodeLearning.h"

#include "config/ConfigModel.h"
#include "exchange/ExchangeController.h"

namespace t6 {

ThermoCodeLearning::ThermoCodeLearning(ExchangeController& exchange, ConfigModel& model)
    : CodeLearning(exchange, ExchangeMode::ReadThermoCode, kRows, "Rtd", "Utd"), model_(model) {}

void ThermoCodeLearning::timedOut() {
    endWait();
    ex_.view().showNotice(tr("Термодатчик не услышан за 10 с: ожидание закончено."));
}

Bytes ThermoCodeLearning::cancelRequest(int row) const {
    return row == 2 ? "Utd" : "Ur";
}

std::string ThermoCodeLearning::waitText() const {
    return tr("Ожидание беспроводного термодатчика: приведите датчик в действие");
}

void ThermoCodeLearning::takeCode(int row, const std::string& code) {
    model_.setSensorCode(row, code);
    const std::string& name =
        model_.config().wirelessThermoSensors.at(static_cast<std::size_t>(row - 1)).name;
    model_.registry().registerEntry("btd" + std::to_string(row), name, code, 0, 1);
}

} // namespace t6
