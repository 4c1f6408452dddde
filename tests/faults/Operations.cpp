#include "faults/Operations.h"

#include <map>

#include "common/Cp1251.h"

namespace t6::test {

namespace {

int replyTimeout(FaultRig&) {
    return kReplyTimeoutMs;
}

// The user chose the device's port by hand: connected at once.
bool choosePort(FaultRig& rig) {
    rig.act([&rig] {
        rig.core().connection().setManualMode(true);
        rig.core().connection().setComboText(rig.pty);
    });
    return rig.core().exchange().connectedPort() == rig.pty;
}

// The key panel is open and shows the device's table.
bool keyPanelOpen(FaultRig& rig) {
    if (!choosePort(rig))
        return false;
    rig.act([&rig] { rig.core().keys().openPanel(); });
    return runUntil(
        [&rig] { return !rig.core().model().config().touchKeys[0].description.empty(); }, 3000);
}

// The sensor panel of wireless zone 1 is open and shows the device's list.
bool sensorPanelOpen(FaultRig& rig) {
    if (!choosePort(rig))
        return false;
    rig.act([&rig] { rig.core().wireless().zoneSensors().open(1); });
    return runUntil(
        [&rig] {
            const auto& s = rig.core().wireless().zoneSensors().state();
            return s.shown && s.enabled &&
                   rig.core().exchange().mode() == ExchangeMode::IdleAfterOperation;
        },
        3000);
}

const DeviceConfig& config(FaultRig& rig) {
    return rig.core().model().config();
}

std::map<Op, OpInfo> makeTable() {
    std::map<Op, OpInfo> t;
    t[Op::Identify] = {
        "identify",
        replyTimeout,
        "соединение установлено.",
        choosePort,
        [](AppCore& c) { c.connection().connect(); },
        [](FaultRig& r) { return r.view().connection == "соединен с " + r.pty + "  2.05"; }};
    t[Op::Search] = {
        "search",
        [](FaultRig& r) {
            // Each listed port has one step; the last step finds the list exhausted.
            return static_cast<int>(r.core().connection().ports().size() + 1) *
                   ExchangeController::kSearchIntervalMs;
        },
        "соединение установлено.",
        [](FaultRig&) { return true; },
        [](AppCore& c) { c.connection().connect(); },
        [](FaultRig& r) { return r.view().connection == "соединен с " + r.pty + "  2.05"; }};
    // The reading under the gauge is what the user is told.
    t[Op::Signal] = {"signal",
                     replyTimeout,
                     "-79 dBm",
                     choosePort,
                     [](AppCore& c) { c.signal().refresh(); },
                     [](FaultRig& r) { return r.view().signal == "-79 dBm"; }};
    t[Op::Read] = {"read",
                   replyTimeout,
                   "Процесс чтения завершился. Все OK.",
                   choosePort,
                   [](AppCore& c) { c.configRead().readConfiguration(); },
                   [](FaultRig& r) {
                       const DeviceConfig& c = config(r);
                       return c.wiredZones[0].message == ru("Входная дверь") &&
                              c.wirelessOutputs[0].name == ru("Свет") &&
                              c.remoteControls[0].name == ru("Папа") &&
                              c.wirelessThermoSensors[0].name == ru("Гостиная");
                   }};
    t[Op::Write] = {"write",
                    replyTimeout,
                    "Процесс записи завершился. Все OK.",
                    [](FaultRig& r) {
                        r.act([&r] {
                            r.core().model().setDeviceDate("09.12.25");
                            r.core().model().setDeviceTime("10:20:30");
                        });
                        return choosePort(r);
                    },
                    [](AppCore& c) { c.configWrite().writeConfiguration(); },
                    [](FaultRig&) { return true; }};
    t[Op::KeysRead] = {"keys-read",
                       replyTimeout,
                       "",
                       choosePort,
                       [](AppCore& c) { c.keys().openPanel(); },
                       [](FaultRig& r) {
                           const auto& k = config(r).touchKeys;
                           return k[0].description == ru("Иванов И.") &&
                                  k[2].description == ru("Сторож") &&
                                  k[2].code == "01b05c2e880000c6";
                       }};
    t[Op::KeyRead] = {
        "key-read",
        replyTimeout,
        "",
        keyPanelOpen,
        [](AppCore& c) { c.keys().readKey(1); },
        [](FaultRig& r) { return config(r).touchKeys[0].code == "01c47f2a1900005d"; }};
    t[Op::KeysWrite] = {"keys-write",
                        // The save waits a second before it begins.
                        [](FaultRig&) { return kReplyTimeoutMs + 1000; },
                        "Процесс записи ключей завершился. Все OK.", keyPanelOpen,
                        [](AppCore& c) { c.keys().save(); }, [](FaultRig&) { return true; }};
    t[Op::Remote] = {"remote",
                     replyTimeout,
                     "",
                     choosePort,
                     [](AppCore& c) { c.wireless().remotes().press(1); },
                     [](FaultRig& r) { return config(r).remoteControls[0].code == "5a6b7c"; }};
    t[Op::SensorList] = {"sensor-list",
                         replyTimeout,
                         "",
                         choosePort,
                         [](AppCore& c) { c.wireless().zoneSensors().open(1); },
                         [](FaultRig& r) {
                             const auto& rows = r.core().wireless().zoneSensors().state().rows;
                             return rows[0].name == ru("Прихожая") && rows[1].code == "5e6f7081";
                         }};
    t[Op::SensorLearn] = {"sensor-learn",
                          replyTimeout,
                          "",
                          sensorPanelOpen,
                          [](AppCore& c) { c.wireless().zoneSensors().pressRead(1); },
                          [](FaultRig& r) {
                              return r.core().wireless().zoneSensors().state().rows[0].code ==
                                     "7e21c305";
                          }};
    t[Op::SensorWrite] = {"sensor-write",
                          replyTimeout,
                          "Процесс записи датчиков завершился. Все OK.",
                          sensorPanelOpen,
                          [](AppCore& c) { c.wireless().zoneSensors().write(); },
                          [](FaultRig&) { return true; }};
    t[Op::Thermo] = {
        "thermo",
        replyTimeout,
        "",
        choosePort,
        [](AppCore& c) { c.wireless().thermoCodes().press(1); },
        [](FaultRig& r) { return config(r).wirelessThermoSensors[0].code == "667788"; }};
    t[Op::Output] = {"output",
                     replyTimeout,
                     "Радиовыход 1 включен.",
                     [](FaultRig& r) {
                         r.act([&r] { r.core().model().setOutputUsed(1, true); });
                         return choosePort(r) && !config(r).wirelessOutputs[0].code.empty();
                     },
                     [](AppCore& c) { c.wireless().outputs().attach(1); },
                     [](FaultRig&) { return true; }};
    return t;
}

} // namespace

const OpInfo& opInfo(Op op) {
    static const std::map<Op, OpInfo> table = makeTable();
    return table.at(op);
}

} // namespace t6::test
