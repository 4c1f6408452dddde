#pragma once
// A started model with scripted prompts, a settable exchange mode (the model
// sees the context that mode stands for) and an observer that records what
// the window would be told.

#include <gtest/gtest.h>

#include <deque>

#include "common/Cp1251.h"
#include "config/ConfigModel.h"
#include "exchange/ExchangeMode.h"
#include "support/ModelDriver.h"
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

class ModelTest : public ::testing::Test, protected ModelDriver {
protected:
    ModelTest() {
        model.setObserver(&view);
        model.startUp();
        view.clear();
    }

    std::vector<std::string> messages() const { return prompts.textsUtf8(); }

    ScriptedPrompts prompts;
    ScriptedRandom random;
    ExchangeModeValue mode = ExchangeMode::Idle;
    LocalTime now{2024, 3, 5, 9, 5, 7};
    ConfigModel model{prompts, random, [this] { return ExchangeMode::modelContextOf(mode); },
                      [this] { return now; }};
    RecordingObserver view;

    ConfigModel& driven() override { return model; }
};

} // namespace t6::test
