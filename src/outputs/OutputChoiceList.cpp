#include "outputs/OutputChoiceList.h"

#include "common/Cp1251.h"

namespace t6 {

const std::array<std::string, OutputChoiceList::FixedCount>& OutputChoiceList::fixedOutputs() {
    static const std::array<std::string, FixedCount> names = {
        ru("Сирена (OUT1)"), ru("Выход 2(OUT2)"), ru("Реле 1(Relay1)"), ru("Реле 2(Relay2)")};
    return names;
}

std::string OutputChoiceList::channelItem(const std::string& name, int channel) {
    static const std::string word = ru(" канал");
    return name + word + std::to_string(channel);
}

void OutputChoiceList::reset() {
    const auto& fixed = fixedOutputs();
    items_.assign(fixed.begin(), fixed.end());
}

std::optional<std::string> OutputChoiceList::itemAt(std::optional<int> position) const {
    if (!position || *position < 0 || *position >= size())
        return std::nullopt;
    return items_[static_cast<std::size_t>(*position)];
}

std::optional<int> OutputChoiceList::indexOf(const std::string& text) const {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (items_[i] == text)
            return static_cast<int>(i);
    return std::nullopt;
}

bool OutputChoiceList::replace(const std::string& oldText, const std::string& newText) {
    auto p = indexOf(oldText);
    if (!p)
        return false;
    items_[static_cast<std::size_t>(*p)] = newText;
    return true;
}

void OutputChoiceList::insertAt(int position, const std::string& text) {
    if (position < 0)
        position = 0;
    if (position > size())
        position = size();
    items_.insert(items_.begin() + position, text);
}

bool OutputChoiceList::remove(const std::string& text) {
    auto p = indexOf(text);
    if (!p)
        return false;
    items_.erase(items_.begin() + *p);
    return true;
}

} // namespace t6
