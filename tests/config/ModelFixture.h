#pragma once
// A started model with scripted prompts, a settable exchange mode and an
// observer that records what the window would be told.

#include <gtest/gtest.h>

#include <deque>

#include "common/Cp1251.h"
#include "config/ConfigModel.h"
#include "support/ScriptedPrompts.h"

namespace t6::test {

// Gives the queued values first, then counts up from 1.
class ScriptedRandom : public Random {
public:
    std::deque<int> values;
    int next(int range) override {
        ++calls;
        int v = values.empty() ? ++counter : values.front();
        if (!values.empty())
            values.pop_front();
        return range > 0 ? v % range : 0;
    }
    int calls = 0;

private:
    int counter = 0;
};

class RecordingObserver : public ConfigObserver {
public:
    void fieldsChanged(const std::vector<FieldId>& f) override {
        ++notifications;
        changed.insert(changed.end(), f.begin(), f.end());
    }
    void choiceItemsChanged() override { ++itemReloads; }
    void requestFocus(const std::string& name) override { focus.push_back(name); }
    void requestFirstPage() override { ++firstPage; }
    bool wasChanged(const std::string& control) const {
        auto id = findField(control);
        return id && std::find(changed.begin(), changed.end(), *id) != changed.end();
    }
    void clear() {
        changed.clear();
        focus.clear();
        notifications = itemReloads = firstPage = 0;
    }
    std::vector<FieldId> changed;
    std::vector<std::string> focus;
    int notifications = 0;
    int itemReloads = 0;
    int firstPage = 0;
};

class ModelTest : public ::testing::Test {
protected:
    ModelTest() {
        model.setObserver(&view);
        model.startUp();
        view.clear();
    }

    static FieldId id(const std::string& control) {
        auto f = findField(control);
        EXPECT_TRUE(f.has_value()) << control;
        return f.value_or(0);
    }
    // The user ticks or unticks a box, types into a field, chooses an item.
    void tick(const std::string& control, bool on = true) { model.setFlag(id(control), on); }
    void type(const std::string& control, const std::string& utf8) {
        model.setText(id(control), ru(utf8));
    }
    void choose(const std::string& control, std::optional<int> p) {
        model.chooseItem(id(control), p);
    }
    void leave(const std::string& control) { model.leaveField(id(control)); }
    bool flag(const std::string& control) { return model.flag(id(control)); }
    int number(const std::string& control) { return model.number(id(control)); }
    std::string text(const std::string& control) { return cp1251ToUtf8(model.text(id(control))); }
    std::optional<int> choice(const std::string& control) { return model.choice(id(control)); }
    bool enabled(const std::string& control) { return model.isEnabled(id(control)); }
    std::string shownChoice(const std::string& control) {
        auto p = choice(control);
        auto items = model.items(id(control));
        return p && *p < static_cast<int>(items.size()) ? cp1251ToUtf8(items[*p]) : "";
    }
    std::vector<std::string> messages() const { return prompts.textsUtf8(); }

    ScriptedPrompts prompts;
    ScriptedRandom random;
    ExchangeModeValue mode = ExchangeMode::Idle;
    LocalTime now{2024, 3, 5, 9, 5, 7};
    ConfigModel model{prompts, random, [this] { return mode; }, [this] { return now; }};
    RecordingObserver view;
};

} // namespace t6::test
