#pragma once
// The configuration model: DeviceConfig behind one mutation layer. Every write
// (the user's edit, the reset, a decoder, the file reader) goes through the
// named methods below, which run the side effects attached to the field, so
// that each rule lives in one place. The window binds its controls through the
// field descriptions (flag(), number(), text(), choice(), the generic setters,
// isEnabled(), look()) and re-reads the fields the observer names; it never
// applies a rule itself.
//
// Tick boxes react whenever their state changes, whoever changes it. Choices
// set by program (set...) run no check; the user's choice (choose...) does.

#include <array>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "common/Clock.h"
#include "common/Prompts.h"
#include "common/Random.h"
#include "config/ChangedFields.h"
#include "config/DeviceConfig.h"
#include "config/FieldDescription.h"
#include "config/ModelContext.h"
#include "outputs/OutputUsageRegistry.h"
#include "outputs/OutputUses.h"

namespace t6 {

// What the window paints; the view maps each to its colour.
enum class Look {
    Plain,          // no colour of its own
    Window,         // the system window colour: an editable field
    ActiveBorder,   // the system active-border colour: a disabled zone field
    InactiveBorder, // the inactive-border colour: a read-only sensor field
    InfoBackground, // the information background: the date and time following the PC
    ActiveGreen,    // 192, 220, 192: the panel of an active zone or sensor
    InactiveGrey,   // 160, 160, 164: the panel of an inactive zone or sensor
    Grey,           // 128, 128, 128: an unused wireless output, a toggling button 4's seconds
    ButtonFace,     // the normal button face: a wireless output in use
    TextGreen,      // 0, 128, 0: the activation box of an active zone
    TextRed,        // 255, 0, 0: the activation box of an inactive zone
};

// The view of the model. Calls come after the model has finished an operation.
class ConfigObserver {
public:
    virtual ~ConfigObserver() = default;
    // These fields have new values (or were refused and are to be shown again);
    // enabled states and looks may have changed with them. The list may be
    // empty when only the states of buttons changed.
    virtual void fieldsChanged(const std::vector<FieldId>& fields) { (void)fields; }
    // Every output choice is to show the OutputChoiceList's current items.
    virtual void choiceItemsChanged() {}
    // The keyboard focus is to move to this control.
    virtual void requestFocus(const std::string& controlName) { (void)controlName; }
    // The first page of the tabs is to be selected.
    virtual void requestFirstPage() {}
};

class ConfigModel : private OutputChoiceSelections {
public:
    // context tells what the model is being used for (editing when empty),
    // as whoever fills the model sets it; localNow the computer's clock.
    ConfigModel(Prompts& prompts, Random& random, std::function<ModelContext()> context = {},
                std::function<LocalTime()> localNow = {});
    ConfigModel(const ConfigModel&) = delete;
    ConfigModel& operator=(const ConfigModel&) = delete;
    ~ConfigModel() override;

    void setObserver(ConfigObserver* observer) { observer_ = observer; }
    // How the window shows an item of the output list (the fixed outputs in
    // its language), for the messages that name an output.
    void setShownItemText(std::function<std::string(int position, const std::string& item)> f) {
        shownItemText_ = std::move(f);
    }

    const DeviceConfig& config() const { return c_; }
    OutputUsageRegistry& registry() { return registry_; }
    const OutputUsageRegistry& registry() const { return registry_; }
    const OutputChoiceList& choiceList() const { return registry_.list(); }
    ModelContext context() const;

    // ---- Life cycle ----
    // The window's start-up steps that concern the model, on the design values:
    // startUpChoices(), startUpPanels(), clearUsageRegistry() in this order.
    void startUp();
    // The output choices and their defaults, with the wireless outputs' code
    // and used-box reactions.
    void startUpChoices();
    // The date and time, the armed-state output's first item and the
    // activation reactions of every panel.
    void startUpPanels();
    // All entries of the output usage registry cleared.
    void clearUsageRegistry();
    // The reset that opens every read from the device and every file load.
    void resetConfig();
    // Every second: the time follows the computer's clock while clockFromPc is on.
    void clockTick();

    // ---- Fields through their descriptions ----
    bool flag(FieldId id) const;
    int number(FieldId id) const;
    // A text field, or the text a number editor holds (empty once the user
    // has emptied it and not yet left it).
    std::string text(FieldId id) const;
    std::optional<int> choice(FieldId id) const;
    // The items of a choice: its fixed items, or the output list for the output choices.
    std::vector<std::string> items(FieldId id) const;

    void setFlag(FieldId id, bool on);
    void setNumber(FieldId id, int value);
    // False when a number editor's text is not a number (nothing changes).
    bool setText(FieldId id, const std::string& text);
    // A choice set by program: no check.
    void setChoice(FieldId id, std::optional<int> position);
    // The user's choice: the checks attached to the choice run.
    void chooseItem(FieldId id, std::optional<int> position);
    // The keyboard focus leaves the control.
    void leaveField(FieldId id);

    bool isEnabled(FieldId id) const;
    Look look(FieldId id) const;

    // ---- Panels and buttons ----
    Look zonePanelLook(ZoneRef z) const;
    bool actionAreaEnabled(ZoneRef z) const;
    Look actionAreaLook(ZoneRef z) const;
    bool sensorsButtonEnabled(int wirelessZoneNumber) const; // "Датчики"
    Look sensorPanelLook(SensorRef s) const;
    bool sensorReadButtonEnabled(int wirelessSensorNumber) const; // "Читать"
    bool outputPanelEnabled(int output) const;
    Look outputPanelLook(int output) const;
    bool attachButtonEnabled(int output) const; // "Привязать"
    bool testButtonsEnabled(int output) const;  // "ВКЛ", "ОТКЛ"

    // ---- General settings ----
    void setTelephone(int n, const std::string& text);
    // The key filter of a telephone field; '\b' is Backspace.
    bool acceptsTelephoneKey(int n, char key) const;
    // Whether a typed or pasted text may become a telephone: after at most one
    // leading "+", only digits, "%" and "'", at most 15 of them. An empty text
    // is fine (the text rule makes it "+"). held is the text the field holds
    // now: a held value this rule would refuse (the blanks of an old mask)
    // may still be shortened, as long as nothing but those characters,
    // "+" and blanks is left.
    static bool acceptsTelephoneText(std::string_view text, std::string_view held = {});
    // A number as installers paste it from their contacts ("+7 916 123-45-67",
    // "8 (916) 123 45 67"): without its blanks, dashes and brackets.
    static std::string telephoneFromPaste(std::string_view text);
    // The text rule of a telephone field: a text that does not begin with "+"
    // loses every "+" and gets one in front.
    static std::string telephoneTextRule(std::string_view text);
    // What the user's text for a telephone becomes (tidied as a paste, then the
    // text rule), or nothing when that is no telephone. held: the field's text now.
    static std::optional<std::string> userTelephone(std::string_view text, std::string_view held);
    // Whether a telephone box for telephone n may stay as it is being ticked or
    // unticked; tells the user when the telephone is not entered.
    bool Analize_Empty_Telephon(int n, bool ticking);
    void setDeviceDate(const std::string& text);
    void setDeviceTime(const std::string& text);
    void setClockFromPc(bool on);
    void setArmingDelay(int seconds);
    void setDisarmingDelay(int seconds);
    void setArmingMethod(std::optional<int> method);
    void setSmsOnArming(int phone, bool on);
    void setSmsOnDisarming(int phone, bool on);
    void setSupplyVoltageReport(bool on);
    void setSupplyVoltagePhone(int phone, bool on);
    void setExternalUps(bool on);
    void setTimeInSms(bool on);
    void setArmingBeep(bool on);
    void setAlarmSms(bool on);
    void setAlarmCall(bool on);
    void setStatusSmsOnCall(bool on);
    void setMicAndSpeakerOnCall(bool on);
    void setMicrophoneVolume(int volume);
    void setSpeakerVolume(int volume);
    void setArmedIndicator(std::optional<int> indicator);
    void setMessageLanguage(std::optional<int> language);
    void setSirenOutput(std::optional<int> position);
    void setArmingOutputOn(bool on);
    void setArmingOutput(std::optional<int> position);
    void chooseArmingOutput(std::optional<int> position);
    void setButton4On(bool on);
    void setButton4Output(std::optional<int> position);
    void chooseButton4Output(std::optional<int> position);
    void setButton4Toggle(bool on);
    void setButton4Seconds(int seconds);
    void setEntryDelay(ZoneRef z, bool on);

    // ---- Zones ----
    void setZoneActive(ZoneRef z, bool on);
    void setZoneMessage(ZoneRef z, const std::string& text);
    void setZoneInputType(int wiredZoneNumber, std::optional<int> type);
    void setZoneControl24h(ZoneRef z, bool on);
    void setZoneOutputsEnabled(ZoneRef z, bool on);
    void setZonePhone(ZoneRef z, int phone, bool on);
    void setRowEnabled(ZoneRef z, int row, bool on);
    void setRowAlwaysOn(ZoneRef z, int row, bool on);
    void setRowMinutes(ZoneRef z, int row, int minutes);
    void setRowSeconds(ZoneRef z, int row, int seconds);
    void setRowOutput(ZoneRef z, int row, std::optional<int> position);
    void chooseRowOutput(ZoneRef z, int row, std::optional<int> position);
    void leaveRowOutput(ZoneRef z, int row);
    void leaveRowMinutes(ZoneRef z, int row);
    void leaveRowSeconds(ZoneRef z, int row);

    // ---- Temperature sensors ----
    void setSensorActive(SensorRef s, bool on);
    void setLowAlarm(SensorRef s, int celsius);
    void setHighAlarm(SensorRef s, int celsius);
    void setThermostat(SensorRef s, bool on);
    void setEconomyTemp(SensorRef s, int celsius);
    void setComfortTemp(SensorRef s, int celsius);
    void setAutoAfterDisarm(SensorRef s, bool on);
    void setSensorOutput(SensorRef s, std::optional<int> position);
    void chooseSensorOutput(SensorRef s, std::optional<int> position);
    void setSensorPhone(SensorRef s, int phone, bool on);
    void setSensorName(int wirelessSensorNumber, const std::string& name);
    void setSensorCode(int wirelessSensorNumber, const std::string& code);

    // ---- Wireless outputs ----
    void setOutputUsed(int output, bool on);
    void setOutputType(int output, int type);
    void chooseOutputType(int output, int type);
    void setOutputName(int output, const std::string& name);
    void leaveOutputName(int output);
    void setOutputCode(int output, const std::string& code);

    // ---- Remote controls and keys ----
    void setRemoteName(int k, const std::string& name);
    void setRemoteCode(int k, const std::string& code);
    void setTouchKey(int k, const TouchKey& key);
    // Rows of the key table that a read of the device's table did not reach:
    // they show what they held before, which is not the device's. Setting a
    // row (the device, the user, a key file) clears its mark.
    void setKeysNotRead(const std::vector<int>& rows);
    bool keyNotRead(int k) const;

    // The telephone mask of a group in the current context.
    std::string tel_parameters_all(const std::string& group) const;

private:
    // Groups the changes of one operation: the observer hears of them once the
    // outermost call has finished, so that it never sees a rule half-applied.
    class Batch {
    public:
        explicit Batch(ConfigModel& m) : m_(m) { ++m_.depth_; }
        ~Batch() {
            if (--m_.depth_ == 0)
                m_.flush();
        }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        ConfigModel& m_;
    };

    // OutputChoiceSelections
    std::optional<int> selectedPosition(int field) const override;
    void selectPosition(int field, std::optional<int> position) override;
    void choiceItemsReloaded() override;

    template <class T> void put(T& slot, const T& value, FieldId id) {
        slot = value;
        changed_.insert(id);
    }
    void touch(FieldId id) { changed_.insert(id); }
    void focus(const std::string& controlName);
    void flush();
    bool filling() const { return isFilling(context()); }
    bool editing() const { return isEditing(context()); }

    FieldId zoneField(FieldRole role, ZoneRef z, int sub = 0) const;
    FieldId sensorField(FieldRole role, SensorRef s, int sub = 0) const;
    const std::string& controlOf(FieldId id) const;
    std::string choiceText(std::optional<int> position) const;
    // The item as the window shows it.
    std::string shownChoiceText(std::optional<int> position) const;
    OutputUses uses() const;

    // Reactions: run when their field changes, and once at start-up.
    void zoneActivated(ZoneRef z);
    void outputsAreaRule(ZoneRef z);
    void rowTicked(ZoneRef z, int row);
    void armingCheck();
    void rowArmingCheck(ZoneRef z, int row);
    void sensorCheck(SensorRef s);
    void buttonCheck();
    void outputUsedClicked(int output);
    void outputCodeChanged(int output);
    std::string generateOutputCode();
    void temperature(int& slot, int celsius, FieldId id);
    void setPhoneFlag(PhoneFlags& flags, int phone, bool on, FieldId id, bool guarded);
    void setPlainFlag(bool& slot, bool on, FieldId id);

    Prompts& prompts_;
    Random& random_;
    std::function<ModelContext()> context_;
    std::function<LocalTime()> localNow_;
    DeviceConfig c_;
    OutputUsageRegistry registry_;
    ConfigObserver* observer_ = nullptr;
    std::function<std::string(int, const std::string&)> shownItemText_;

    // The output choice fields, in the registry's table order.
    std::vector<std::pair<std::optional<int>*, FieldId>> choiceSlots_;
    // Number editors the user has emptied and not yet left; they count as 0.
    std::set<FieldId> emptyEditors_;
    std::array<bool, TouchKeyCount> keysNotRead_{};
    std::array<bool, WirelessOutputCount> attachEnabled_{};
    std::array<bool, WirelessOutputCount> testEnabled_{};

    int depth_ = 0;
    ChangedFields changed_{fieldDescriptions().size()};
    bool stateChanged_ = false;
    bool itemsChanged_ = false;
    std::vector<std::string> focusRequests_;
    bool firstPageRequested_ = false;
};

} // namespace t6
