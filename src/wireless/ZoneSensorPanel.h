#pragma once
// The sensor panel of a wireless zone ("Датчики. Зона" n): it reads the
// zone's list of six sensors from the device, lets the user learn a sensor's
// code by having the device listen for it, edit names and codes, and write
// the list back. The panel's whole state lives here; the window renders it
// whenever the observer is told, and passes the user's edits to the setters.
//
// Exchanges: "D" n "r" brings the list (mode 17); "Ps" starts listening for
// a sensor and "Us" stops it (mode 18), the answer being the sensor's code,
// after which "Uk" ends the learning; "Wd" n asks the device to take a list
// (mode 19), which it confirms with an answer containing "Ok" or "OK", and
// the list itself (mode 20) is confirmed with exactly "Ok" or "OK".

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/Bytes.h"
#include "common/Outcome.h"
#include "wireless/LearningWait.h"
#include "wireless/SensorListBlock.h"

namespace t6 {

class ExchangeController;

class ZoneSensorPanel {
public:
    struct State {
        bool shown = false;       // the panel is on screen
        bool enabled = false;     // its controls can be used
        bool noticeShown = false; // "Идет чтение данных"
        bool tabsEnabled = true;  // the window's tab control
        int zone = 0;             // CurrentSensorZone: the zone whose list is shown, 1 to 6
        int currentRow = 0;       // CurrentSensorRow: the row being learned, 1 to 6
        SensorList rows;          // names and codes as the panel holds them
        std::array<bool, SensorSlots> learning{}; // the row's button reads "Отмена"
    };

    explicit ZoneSensorPanel(ExchangeController& exchange);
    ZoneSensorPanel(const ZoneSensorPanel&) = delete;
    ZoneSensorPanel& operator=(const ZoneSensorPanel&) = delete;

    const State& state() const { return state_; }
    // "Датчики. Зона" followed by the zone number (Windows-1251).
    std::string title() const;
    // The read button of a row (from 1): "Читать" or "Отмена".
    std::string caption(int row) const;
    // Told after every change the window has to show (not after the user's
    // own edits through the setters, which the window already shows).
    void setObserver(std::function<void()> observer) { observer_ = std::move(observer); }

    // "Датчики" of wireless zone 1 to 6.
    void open(int zone);
    // "Читать" / "Отмена" of row 1 to 6.
    void pressRead(int row);
    // "Записать датчики". Codes the device cannot take are refused before
    // anything is sent.
    void write();
    // "Закрыть".
    void close();
    // The panel is enabled if it is shown (a wait the device did not answer
    // ended elsewhere).
    void enableIfShown();

    // What became of the last read of the zone's list (opening the panel),
    // of the last learning of a sensor, and of the last write of the list.
    // Nothing while each waits.
    const std::optional<Outcome>& listOutcome() const { return list_.value(); }
    const std::optional<Outcome>& learnOutcome() const { return learn_.value(); }
    const std::optional<Outcome>& writeOutcome() const { return write_.value(); }

    // The user's edits of a row (Windows-1251).
    void setName(int row, const std::string& name);
    void setCode(int row, const std::string& code);

private:
    void onList(const Bytes& reply);
    void onListTimeout();
    void onSensorTimeout();
    void onSensor(const Bytes& reply);
    void onReady(const Bytes& reply);
    void onResult(const Bytes& reply);
    void refuse(const std::vector<int>& rows);
    void notify();
    std::string tr(const char* utf8) const;

    ExchangeController& ex_;
    OutcomeSlot list_;
    OutcomeSlot learn_;
    OutcomeSlot write_;
    State state_;
    LearningWait wait_;
    std::function<void()> observer_;
    // The row whose "Ps" is the last one sent and not cancelled.
    int listening_ = 0;
    // Counts the operations started, to see one start during a wait.
    std::uint64_t starts_ = 0;
};

} // namespace t6
