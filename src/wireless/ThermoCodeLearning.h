#pragma once
// Learning the radio code of a wireless temperature sensor, sensors 1 to 6:
// "Rtd" starts listening; the cancel is "Ur", for sensor 2 "Utd". The heard
// code goes into the sensor's code field and the sensor is registered
// ("btd" + number) under its current name; a sensor without a name is not.
// Without an answer within 10 s the controller sends "Utd"; the button keeps
// "Отмена", so that its next press sends the cancel.

#include "wireless/CodeLearning.h"

namespace t6 {

class ConfigModel;

class ThermoCodeLearning : public CodeLearning {
public:
    static constexpr int kRows = WirelessSensorCount;

    ThermoCodeLearning(ExchangeController& exchange, ConfigModel& model);

    // PendingThermoRow: the sensor whose request was sent last.
    int pendingThermoRow() const { return pendingRow(); }

private:
    Bytes cancelRequest(int row) const override;
    std::string waitText() const override;
    void takeCode(int row, const std::string& code) override;
    void timedOut() override;

    ConfigModel& model_;
};

} // namespace t6
