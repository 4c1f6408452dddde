#pragma once
// The enrolment of radio devices, as the window owns it: remote controls,
// the sensor panel of the wireless zones, the codes of the wireless
// temperature sensors, and the attach and switch test of wireless outputs.
// Each registers its modes with the controller when it is made; all of them
// live as long as the controller.

#include "wireless/RemoteLearning.h"
#include "wireless/ThermoCodeLearning.h"
#include "wireless/WirelessOutputSwitch.h"
#include "wireless/ZoneSensorPanel.h"

namespace t6 {

class WirelessEnrolment {
public:
    WirelessEnrolment(ExchangeController& exchange, ConfigModel& model)
        : remotes_(exchange, model), sensors_(exchange), thermo_(exchange, model),
          outputs_(exchange, model) {}

    RemoteLearning& remotes() { return remotes_; }
    ZoneSensorPanel& zoneSensors() { return sensors_; }
    ThermoCodeLearning& thermoCodes() { return thermo_; }
    WirelessOutputSwitch& outputs() { return outputs_; }

private:
    RemoteLearning remotes_;
    ZoneSensorPanel sensors_;
    ThermoCodeLearning thermo_;
    WirelessOutputSwitch outputs_;
};

} // namespace t6
