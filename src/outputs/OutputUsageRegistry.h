#pragma once
// The registry of the wireless devices behind the output choices: wireless
// outputs ("bpout_1" to "bpout_16") feed the OutputChoiceList, wireless
// temperature sensors ("btd1" to "btd6") only keep their name and code. It also
// converts list items to output codes and back, and keeps every output choice
// field on its item when the list changes.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "common/Prompts.h"
#include "outputs/OutputChoiceField.h"
#include "outputs/OutputChoiceList.h"

namespace t6 {

struct RegistryEntry {
    std::string name;         // at most 20 bytes
    std::string previousName; // the name before the last change
    std::string key;          // empty: the entry is free
    std::string code;         // the first 5 characters of the device's code
    std::int32_t fromWindow = 0;
    std::int32_t channels = 0;
};

class OutputUsageRegistry {
public:
    static constexpr int Capacity = 100;

    explicit OutputUsageRegistry(Prompts& prompts) : prompts_(prompts) {}

    // The fields whose selections the registry keeps; may be null.
    void attach(OutputChoiceSelections* selections) { selections_ = selections; }

    const OutputChoiceList& list() const { return list_; }
    const std::array<RegistryEntry, Capacity>& entries() const { return entries_; }
    // The entry holding key, or null.
    const RegistryEntry* find(const std::string& key) const;

    // The text a choice field shows at a position: the items the choices were last given.
    std::optional<std::string> choiceText(std::optional<int> position) const;
    const std::vector<std::string>& shownItems() const { return shown_; }

    // A wireless output whose items would clash with the list's is not registered.
    void registerEntry(const std::string& key, const std::string& name, const std::string& code,
                       int fromWindow, int channels);
    // Frees a wireless output's entry and takes its items out of the list, unless
    // some choice still selects it: then the user is told, retickUsedBox ticks
    // the output's used box again, and the result is false.
    bool releaseEntry(const std::function<void()>& retickUsedBox, const std::string& key);
    bool isCodeTaken(std::int32_t number, const std::string& code) const;
    bool isNameTaken(const std::string& key, const std::string& name) const;
    // Whether the items a wireless output of this name and channel count would
    // add (its name, or its four channel items) are already items of the list
    // that are not its own: a fixed output, or another output's channel. Such
    // an output cannot be told apart from the other, and releasing it later
    // would take the other's item out of every choice. False for other keys.
    bool clashesWithList(const std::string& key, const std::string& name, int channels) const;
    // The output code of a list item from position 4 on, or 0.
    int codeOfChoice(const std::string& text) const;
    // The list position of an output code of 5 or more, or -1; 0 when no wireless
    // output has the code's number.
    int choiceOfCode(int code) const;

    // The output code of a choice: position + 1 for the fixed outputs, 0 for no
    // choice, the wireless code of the item otherwise.
    int outputCodeOf(std::optional<int> position) const;
    // The choice of an output code: none for 0, code - 1 for 1 to 4, the
    // position choiceOfCode gives otherwise (none for -1).
    std::optional<int> positionOfCode(int code) const;

    void refreshChoicesByPosition();
    void refreshChoicesByText();
    // The list back to the four fixed outputs, given to every choice field; the
    // fields are left without a selection for the caller to set.
    void rebuildChoiceList();
    void resetRegistry();

private:
    RegistryEntry* findEntry(const std::string& key);
    static bool isOutputKey(const std::string& key);
    static int keyNumber(const std::string& key);
    std::string usersOf(int position) const;
    void reloadChoices();

    Prompts& prompts_;
    OutputChoiceSelections* selections_ = nullptr;
    OutputChoiceList list_;
    std::vector<std::string> shown_ = list_.items();
    std::array<RegistryEntry, Capacity> entries_{};
};

} // namespace t6
