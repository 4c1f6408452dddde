#pragma once
// The ordered list of outputs that every output choice of the window offers:
// the four fixed outputs of the device, then the wireless outputs in use in the
// order they were added, a four-channel output contributing one item per channel.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "common/DeviceDimensions.h"

namespace t6 {

class OutputChoiceList {
public:
    static constexpr int FixedCount = WiredOutputCount;

    // "Сирена (OUT1)", "Выход 2(OUT2)", "Реле 1(Relay1)", "Реле 2(Relay2)" (Windows-1251).
    static const std::array<std::string, FixedCount>& fixedOutputs();
    // The item of channel k (1 to 4) of a four-channel output: name + " канал" + k.
    static std::string channelItem(const std::string& name, int channel);

    OutputChoiceList() { reset(); }

    // Back to the four fixed outputs only.
    void reset();

    const std::vector<std::string>& items() const { return items_; }
    int size() const { return static_cast<int>(items_.size()); }
    // The item at a position, or nothing outside the list.
    std::optional<std::string> itemAt(std::optional<int> position) const;
    // The position of the first item equal to text (exact comparison), or nothing.
    std::optional<int> indexOf(const std::string& text) const;
    bool contains(const std::string& text) const { return indexOf(text).has_value(); }

    void append(const std::string& text) { items_.push_back(text); }
    // The first item equal to oldText becomes newText; false when there is none.
    bool replace(const std::string& oldText, const std::string& newText);
    void insertAt(int position, const std::string& text);
    // Removes the first item equal to text; false when there is none.
    bool remove(const std::string& text);

private:
    std::vector<std::string> items_;
};

} // namespace t6
