#pragma once
// Programming the Touch Memory keys through the device ("Программирование
// ключей ТМ"): the key panel opens over the window and the device's table is
// read ("Cn"); a row's key is read by holding it to the device's reader
// ("Kr", cancelled with "Ur"); "Сохранить " checks the table and writes it
// ("Wr", answered "OK", then the 200-byte table, answered "Ok"); "Отменить"
// closes the panel and tells the device to stop reading ("Ur").
//
// The keys are the model's (ConfigModel::setTouchKey); the panel's state
// (shown, enabled, the read buttons, the close button, the panels the key
// panel locks) lives here, and the window renders it whenever the observer is
// told. A key read has no time limit: while it waits, the status bar says so
// and offers to cancel it.

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "common/Bytes.h"
#include "common/DeviceDimensions.h"
#include "common/Outcome.h"
#include "exchange/ExchangeController.h"
#include "exchange/ExchangeMode.h"

namespace t6 {

class ConfigModel;
class ExchangeController;

struct KeyPanelState {
    bool shown = false;   // Panel_key
    bool enabled = false; // Panel_key
    // BB_ReadKey1 to BB_ReadKey10: "Читать Ключ", or "Отмена" while the row's
    // key is awaited (Windows-1251 captions of the window).
    std::array<std::string, TouchKeyCount> readCaptions;
    std::array<bool, TouchKeyCount> readEnabled{};
    // BitBtn7, "Отменить": disabled while the table is being written.
    bool closeEnabled = true;
    // Panel_in1, Panel_in2, Panel_td1, Panel4, Panel5 and Panel6: locked while
    // the key panel is open.
    bool otherPanelsEnabled = true;
    // The connect button (BitBtn3) is to be enabled: a save found no device.
    // The window enables it; this never asks to disable it.
    bool enableConnectButton = false;
    bool operator==(const KeyPanelState&) const = default;
};

class KeyProgramming {
public:
    // The panels the key panel locks while it is open.
    static constexpr std::array<const char*, 6> kLockedPanels{"Panel_in1", "Panel_in2", "Panel_td1",
                                                              "Panel4",    "Panel5",    "Panel6"};
    // Typing limits of the key table's cells: description, code.
    static constexpr std::size_t kDescriptionTypingLimit = 10;
    static constexpr std::size_t kCodeTypingLimit = 16;

    KeyProgramming(ExchangeController& exchange, ConfigModel& model);
    ~KeyProgramming();
    KeyProgramming(const KeyProgramming&) = delete;
    KeyProgramming& operator=(const KeyProgramming&) = delete;

    // The button "Программирование ключей ТМ" and the menu item "Программировать ключи".
    void openPanel();
    // BB_ReadKeyN: reads the key of row N (1-10), or cancels the read pending there.
    void readKey(int row);
    // "Сохранить ": checks the table, then writes it to the device.
    void save();
    // "Отменить".
    void closePanel();

    const KeyPanelState& state() const { return state_; }
    // Told after every change of the panel's state or of the keys.
    void setObserver(std::function<void(const KeyPanelState&)> observer) {
        observer_ = std::move(observer);
    }
    // Enables the wireless sensor panel if it is shown (after a wait the
    // device did not answer).
    void setSensorPanelEnabler(std::function<void()> enable) {
        enableSensorPanel_ = std::move(enable);
    }

    // The row whose key is awaited, or 0.
    int pendingRead() const { return pendingRow_; }
    // Between "Wr" and the answer to the table.
    bool saving() const { return saving_; }

    // What became of the last read of the device's table (the panel opened):
    // completed only when the whole table came; incomplete names the rows it
    // did not reach, which the model marks as not read. Nothing while the
    // table is awaited.
    const std::optional<Outcome>& tableOutcome() const { return tableOutcome_; }
    // What became of the last write of the table ("Сохранить ").
    const std::optional<Outcome>& saveOutcome() const { return saveOutcome_; }
    // What became of the last read of one key.
    const std::optional<Outcome>& keyOutcome() const { return keyOutcome_; }

    // The key filter of the table's cells (column 1 the description, 2 the
    // code): a character typed into a full cell is refused. Backspace ('\b')
    // always passes, so that a full cell can be shortened.
    static bool acceptsCellKey(int column, std::size_t cellLength, char key);

    // A wait the device did not answer (the signal level) has ended: the
    // key panel and the sensor panel come back.
    void panelsBack();

private:
    void onTable(const Bytes& reply);
    void onKey(const Bytes& reply);
    void onReady(const Bytes& reply);
    void onResult(const Bytes& reply);
    // No answer within 10 s to "Cn", "Wr" and the table.
    void onTableTimeout();
    void onReadyTimeout();
    void onResultTimeout();
    // After Yes in the box of "Wr" without an answer: the panels come back,
    // the port closes a second later.
    void waitCancelSteps();
    void givePanelsBack();
    // Sends the table after the readiness; false when it was not sent.
    bool sendTable();
    // Another operation starts.
    std::string onInterrupted(ExchangeController::Interruption why);
    void beginWait(int row);
    void endWait();
    void endSave();
    // The table did not come (or not all of it): the rows it did not reach
    // are marked as not read.
    void tableMissing(int fromRow, Outcome outcome);
    void saveEnded(Outcome outcome);
    // A box shown as written; Yes purges and starts the closing timer.
    void answerBox(const std::string& text);
    void setCaption(int row, bool pending);
    void notify();
    std::string tr(const char* utf8) const;

    ExchangeController& ex_;
    ConfigModel& model_;
    KeyPanelState state_;
    std::function<void(const KeyPanelState&)> observer_;
    std::function<void()> enableSensorPanel_;
    int keyReadRow_ = 0;        // the row the next reply in mode 6 fills
    int pendingRow_ = 0;        // the row whose key is awaited
    bool readStarting_ = false; // readKey is starting its exchange
    bool saveStarting_ = false; // save is starting its exchange
    bool saving_ = false;
    bool tableAwaited_ = false; // "Cn" sent, the table not come
    std::optional<Outcome> tableOutcome_;
    std::optional<Outcome> saveOutcome_;
    std::optional<Outcome> keyOutcome_;
};

} // namespace t6
