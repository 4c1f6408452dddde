#pragma once
// Setting a field by its model name ("wiredZones[1].message=Дверь") as the
// user would set it in the window: only a field the window lets the user edit,
// only while its control is enabled, through the same editor steps (the typed
// text, the list's item, the tick), then leaving the control. A value the
// window's editor would not take, and a value the model's rules refuse with a
// box, are refused; what the rules change besides is the user's as in the
// window.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/Prompts.h"
#include "config/FieldDescription.h"

namespace t6 {

class ConfigModel;

// "NAME=VALUE" from the command line; VALUE in UTF-8 as typed.
struct FieldSetting {
    std::string name;
    std::string value;
};
// Nothing when the word has no "=" or no name before it.
std::optional<FieldSetting> parseFieldSetting(const std::string& word);

// The field of a model name, or nothing (the key table's fields are not
// fields of the window's controls).
std::optional<FieldId> fieldOfModelName(const std::string& name);

// The prompts of a model that settings are applied to: its boxes are kept,
// not shown, and its questions answered No, so that nothing is decided for
// the user.
class SettingPrompts : public Prompts {
public:
    void message(const std::string& text) override { boxes.push_back(text); }
    void information(const std::string& text) override { boxes.push_back(text); }
    bool confirm(const std::string& text) override {
        boxes.push_back(text);
        return true;
    }
    bool question(const std::string& text) override {
        boxes.push_back(text);
        return false;
    }
    void error(const std::string& text) override { boxes.push_back(text); }
    std::optional<std::string> openFileName(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> saveFileName(const FileDialogRequest&) override { return {}; }

    std::vector<std::string> boxes; // Windows-1251, as the model gave them
};

// What became of a setting: the reason is a value; the caller words it.
struct SettingResult {
    enum class Kind {
        Done,
        UnknownName, // no field has this name
        NotEditable, // the window never lets the user change it
        Disabled,    // its control is disabled while the configuration is as it is
        BadValue,    // the editor would not take it (no such item, not a number, …)
        OutOfRange,  // a number outside the editor's range
        Refused,     // the model's rules refused it with a box
    };
    Kind kind = Kind::Done;
    std::optional<FieldId> field;
    std::string box; // Refused: the box's text (Windows-1251, as the model gave it)
};

// The boxes a model's prompts have shown so far, and the text of one.
struct BoxWatch {
    std::function<std::size_t()> count;
    std::function<std::string(std::size_t)> text;
};
BoxWatch watchBoxes(const SettingPrompts& prompts);

// Sets one field of a model whose boxes `boxes` watches.
SettingResult applyFieldSetting(ConfigModel& model, const BoxWatch& boxes,
                                const FieldSetting& setting);

// Why a setting was not taken, in a language (the program's words through
// `translate`).
std::string settingRefusalText(const std::function<std::string(const std::string&)>& translate,
                               const SettingResult& result, const FieldSetting& setting);

} // namespace t6
