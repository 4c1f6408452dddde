#pragma once
// Driving the configuration model by control names, as the user's edits and
// the window's reads do: the helpers the model tests and the file tests share.

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "common/Cp1251.h"
#include "config/ConfigModel.h"

namespace t6::test {

class ModelDriver {
protected:
    virtual ~ModelDriver() = default;
    // The model the helpers drive.
    virtual ConfigModel& driven() = 0;

    static FieldId id(const std::string& control) {
        auto f = findField(control);
        EXPECT_TRUE(f.has_value()) << control;
        return f.value_or(0);
    }
    // The user ticks or unticks a box, types into a field, chooses an item, leaves a field.
    void tick(const std::string& control, bool on = true) { driven().setFlag(id(control), on); }
    void type(const std::string& control, const std::string& utf8) {
        driven().setText(id(control), ru(utf8));
    }
    void choose(const std::string& control, std::optional<int> p) {
        driven().chooseItem(id(control), p);
    }
    void leave(const std::string& control) { driven().leaveField(id(control)); }

    bool flag(const std::string& control) { return driven().flag(id(control)); }
    int number(const std::string& control) { return driven().number(id(control)); }
    std::string text(const std::string& control) {
        return cp1251ToUtf8(driven().text(id(control)));
    }
    std::optional<int> choice(const std::string& control) { return driven().choice(id(control)); }
    bool enabled(const std::string& control) { return driven().isEnabled(id(control)); }
    // The item a choice shows, or "<none>".
    std::string shownChoice(const std::string& control) {
        auto p = choice(control);
        auto items = driven().items(id(control));
        return p && *p < static_cast<int>(items.size()) ? cp1251ToUtf8(items[*p]) : "<none>";
    }
    // A wireless output in use, registered as the user's leaving its name field does.
    void useOutput(int n, int type, const std::string& nameUtf8, const std::string& code = {}) {
        ConfigModel& m = driven();
        m.setOutputType(n, type);
        if (!code.empty())
            m.setOutputCode(n, code);
        m.setOutputName(n, ru(nameUtf8));
        m.setOutputUsed(n, true);
        m.leaveOutputName(n);
    }
};

} // namespace t6::test
