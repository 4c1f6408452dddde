#include "outputs/OutputUsageRegistry.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "common/Cp1251.h"
#include "common/DeviceDimensions.h"

namespace t6 {

namespace {

constexpr std::size_t NameLimit = 20;
constexpr std::size_t CodeLimit = 5;
// The key of a wireless output: this prefix and the output's number.
constexpr std::string_view OutputKeyPrefix = "bpout_";
// Digits stop being read once the number reaches this; no output has one so large.
constexpr int KeyNumberCap = 1000;

std::string cut(const std::string& s, std::size_t n) {
    return s.substr(0, n);
}

bool contains(const std::string& s, const std::string& part) {
    return s.find(part) != std::string::npos;
}

} // namespace

bool OutputUsageRegistry::isOutputKey(const std::string& key) {
    return key.find(OutputKeyPrefix) != std::string::npos;
}

int OutputUsageRegistry::keyNumber(const std::string& key) {
    auto at = key.find(OutputKeyPrefix);
    if (at == std::string::npos)
        return -1;
    int n = 0;
    bool any = false;
    for (std::size_t i = at + OutputKeyPrefix.size();
         i < key.size() && key[i] >= '0' && key[i] <= '9' && n < KeyNumberCap; ++i) {
        n = n * 10 + (key[i] - '0');
        any = true;
    }
    return any ? n : -1;
}

const RegistryEntry* OutputUsageRegistry::find(const std::string& key) const {
    for (const auto& e : entries_)
        if (!e.key.empty() && e.key == key)
            return &e;
    return nullptr;
}

RegistryEntry* OutputUsageRegistry::findEntry(const std::string& key) {
    return const_cast<RegistryEntry*>(std::as_const(*this).find(key));
}

std::optional<std::string> OutputUsageRegistry::choiceText(std::optional<int> position) const {
    if (!position || *position < 0 || *position >= static_cast<int>(shown_.size()))
        return std::nullopt;
    return shown_[static_cast<std::size_t>(*position)];
}

void OutputUsageRegistry::registerEntry(const std::string& key, const std::string& name,
                                        const std::string& code, int fromWindow, int channels) {
    if (name.empty() || clashesWithList(key, name, channels))
        return;
    const std::string newName = cut(name, NameLimit);
    if (RegistryEntry* e = findEntry(key)) {
        if (e->channels != channels) {
            e->previousName = e->name;
            e->name = newName;
            e->code = cut(code, CodeLimit);
            e->fromWindow = fromWindow;
            if (!isOutputKey(key))
                return;
            const std::string& prev = e->previousName;
            if (channels == RelayChannelCount) {
                e->channels = RelayChannelCount;
                if (auto p = list_.indexOf(prev)) {
                    list_.replace(prev, OutputChoiceList::channelItem(newName, 1));
                    for (int k = 2; k <= RelayChannelCount; ++k)
                        list_.insertAt(*p + k - 1, OutputChoiceList::channelItem(newName, k));
                }
            } else {
                e->channels = 1;
                list_.replace(OutputChoiceList::channelItem(prev, 1), newName);
                for (int k = 2; k <= RelayChannelCount; ++k)
                    list_.remove(OutputChoiceList::channelItem(prev, k));
            }
            refreshChoicesByText();
            return;
        }
        if (e->name == newName)
            return;
        e->previousName = e->name;
        e->name = newName;
        e->code = cut(code, CodeLimit);
        e->fromWindow = fromWindow;
        if (isOutputKey(key)) {
            if (e->channels == RelayChannelCount) {
                for (int k = 1; k <= RelayChannelCount; ++k)
                    list_.replace(OutputChoiceList::channelItem(e->previousName, k),
                                  OutputChoiceList::channelItem(newName, k));
            } else {
                list_.replace(e->previousName, newName);
            }
            refreshChoicesByPosition();
        }
        return;
    }
    for (auto& e : entries_) {
        if (!e.key.empty())
            continue;
        e.key = key;
        e.channels = channels;
        e.previousName.clear();
        e.name = newName;
        e.code = cut(code, CodeLimit);
        e.fromWindow = fromWindow;
        if (isOutputKey(key) && !list_.contains(newName)) {
            if (channels == RelayChannelCount) {
                for (int k = 1; k <= RelayChannelCount; ++k)
                    list_.append(OutputChoiceList::channelItem(newName, k));
            } else {
                list_.append(newName);
            }
            refreshChoicesByText();
        }
        return;
    }
    // A full table ignores further registrations.
}

std::string OutputUsageRegistry::usersOf(int position) const {
    if (!selections_)
        return {};
    // The owners in the order the message names them.
    struct Group {
        OutputUser user;
        int number;
    };
    std::vector<Group> groups;
    for (int z = 1; z <= WiredZoneCount; ++z)
        groups.push_back({OutputUser::WiredZone, z});
    for (int s = 1; s <= WiredSensorCount; ++s)
        groups.push_back({OutputUser::WiredSensor, s});
    groups.push_back({OutputUser::ArmingOutput, 0});
    groups.push_back({OutputUser::SirenOutput, 0});
    for (int s = 1; s <= WirelessSensorCount; ++s)
        groups.push_back({OutputUser::WirelessSensor, s});
    groups.push_back({OutputUser::Button4, 0});
    for (int z = 1; z <= WirelessZoneCount; ++z)
        groups.push_back({OutputUser::WirelessZone, z});

    const auto& fields = outputChoiceFields();
    std::string text;
    for (const auto& g : groups) {
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (fields[i].user != g.user || fields[i].number != g.number)
                continue;
            if (selections_->selectedPosition(static_cast<int>(i)) == position) {
                text += fields[i].userWord;
                break;
            }
        }
    }
    return text;
}

bool OutputUsageRegistry::releaseEntry(const std::function<void()>& retickUsedBox,
                                       const std::string& key) {
    RegistryEntry* e = findEntry(key);
    if (!e || !isOutputKey(key))
        return true;
    const bool four = e->channels == RelayChannelCount;
    std::optional<int> p;
    if (four) {
        for (int k = 1; k <= RelayChannelCount && !p; ++k)
            p = list_.indexOf(OutputChoiceList::channelItem(e->name, k));
    } else {
        p = list_.indexOf(e->name);
    }
    if (p) {
        std::string users = usersOf(*p);
        if (!users.empty()) {
            prompts_.message(ru("Выход используется: ") + users + "\r\n" +
                             ru("Редактирование запрещено"));
            if (retickUsedBox)
                retickUsedBox();
            return false;
        }
    }
    const std::string name = e->name;
    if (!four || p) {
        *e = RegistryEntry{};
        if (four) {
            for (int k = 1; k <= RelayChannelCount; ++k)
                list_.remove(OutputChoiceList::channelItem(name, k));
        } else {
            list_.remove(name);
        }
    }
    e->channels = 0;
    refreshChoicesByText();
    return true;
}

bool OutputUsageRegistry::isCodeTaken(std::int32_t number, const std::string& code) const {
    for (const auto& e : entries_)
        if (e.code == code || e.fromWindow == number)
            return true;
    return false;
}

bool OutputUsageRegistry::isNameTaken(const std::string& key, const std::string& name) const {
    for (const auto& e : entries_)
        if (isOutputKey(e.key) && e.key != key && e.name == name)
            return true;
    return false;
}

bool OutputUsageRegistry::clashesWithList(const std::string& key, const std::string& name,
                                          int channels) const {
    if (!isOutputKey(key))
        return false;
    auto itemsOf = [](const std::string& n, int count) {
        std::vector<std::string> items;
        if (count == RelayChannelCount)
            for (int k = 1; k <= RelayChannelCount; ++k)
                items.push_back(OutputChoiceList::channelItem(n, k));
        else
            items.push_back(n);
        return items;
    };
    std::vector<std::string> own;
    if (const RegistryEntry* e = find(key))
        own = itemsOf(e->name, e->channels);
    for (const std::string& item : itemsOf(cut(name, NameLimit), channels))
        if (list_.contains(item) && std::find(own.begin(), own.end(), item) == own.end())
            return true;
    return false;
}

int OutputUsageRegistry::codeOfChoice(const std::string& text) const {
    static const std::string channelWord = ru(" канал");
    for (const auto& e : entries_) {
        if (!isOutputKey(e.key))
            continue;
        const int n = keyNumber(e.key);
        if (e.channels == RelayChannelCount) {
            auto cutAt = text.find(channelWord);
            std::string base = cutAt == std::string::npos ? std::string() : text.substr(0, cutAt);
            if (base != e.name)
                continue;
            int code = n + OutputChoiceList::FixedCount;
            for (int k = 1; k <= RelayChannelCount; ++k) {
                if (contains(text, OutputChoiceList::channelItem("", k))) {
                    code += 32 * (k - 1);
                    break;
                }
            }
            return code;
        }
        if (e.name == text)
            return n + OutputChoiceList::FixedCount;
    }
    return 0;
}

int OutputUsageRegistry::choiceOfCode(int code) const {
    const int channel = (code >> 5) & 0x07;
    const int number = (code & 0x1F) - OutputChoiceList::FixedCount;
    int result = 0;
    for (const auto& e : entries_) {
        if (!isOutputKey(e.key) || keyNumber(e.key) != number)
            continue;
        const std::string item = e.channels == RelayChannelCount
                                     ? OutputChoiceList::channelItem(e.name, channel + 1)
                                     : e.name;
        result = list_.indexOf(item).value_or(-1);
    }
    return result;
}

int OutputUsageRegistry::outputCodeOf(std::optional<int> position) const {
    if (!position || *position < 0)
        return 0;
    if (*position < OutputChoiceList::FixedCount)
        return *position + 1;
    auto text = choiceText(position);
    return text ? codeOfChoice(*text) : 0;
}

std::optional<int> OutputUsageRegistry::positionOfCode(int code) const {
    if (code <= 0)
        return std::nullopt;
    if (code <= OutputChoiceList::FixedCount)
        return code - 1;
    int p = choiceOfCode(code);
    if (p < 0)
        return std::nullopt;
    return p;
}

void OutputUsageRegistry::reloadChoices() {
    shown_ = list_.items();
    if (selections_)
        selections_->choiceItemsReloaded();
}

void OutputUsageRegistry::refreshChoicesByPosition() {
    const int size = list_.size();
    std::vector<std::optional<int>> kept;
    if (selections_)
        for (int i = 0; i < OutputChoiceFieldCount; ++i)
            kept.push_back(selections_->selectedPosition(i));
    reloadChoices();
    if (!selections_)
        return;
    for (int i = 0; i < OutputChoiceFieldCount; ++i) {
        auto p = kept[static_cast<std::size_t>(i)];
        if (p && (*p < 0 || *p >= size))
            p.reset();
        selections_->selectPosition(i, p);
    }
}

void OutputUsageRegistry::refreshChoicesByText() {
    std::vector<std::optional<std::string>> kept;
    if (selections_)
        for (int i = 0; i < OutputChoiceFieldCount; ++i)
            kept.push_back(choiceText(selections_->selectedPosition(i)));
    reloadChoices();
    if (!selections_)
        return;
    for (int i = 0; i < OutputChoiceFieldCount; ++i) {
        const auto& text = kept[static_cast<std::size_t>(i)];
        selections_->selectPosition(i, text ? list_.indexOf(*text) : std::nullopt);
    }
}

void OutputUsageRegistry::rebuildChoiceList() {
    list_.reset();
    reloadChoices();
    if (selections_)
        for (int i = 0; i < OutputChoiceFieldCount; ++i)
            selections_->selectPosition(i, std::nullopt);
}

void OutputUsageRegistry::resetRegistry() {
    entries_.fill(RegistryEntry{});
}

} // namespace t6
