#pragma once
// The configuration as it was last read from the device in this run, field by
// field, for the comparison of the window with the device. It is taken when a
// read of the whole configuration completes, at the moment the read's closing
// box is shown (the window then holds exactly what the device sent); a read
// that does not complete, and a write, leave it as it was.
//
// The read tells its completion only through that box, so the core hands the
// operations prompts that notice it on their way to the real ones.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/Prompts.h"
#include "config/ConfigCompare.h"

namespace t6 {

class ConfigModel;

class LastRead {
public:
    bool has() const { return fields_.has_value(); }
    // Nothing before the first complete read.
    const std::optional<std::vector<FieldValue>>& fields() const { return fields_; }
    void take(const ConfigModel& model);

private:
    std::optional<std::vector<FieldValue>> fields_;
};

// Prompts that pass everything on and, before a box with a single Yes
// button, ask `completed` whether a read has just completed.
class ReadWatchPrompts : public Prompts {
public:
    ReadWatchPrompts(Prompts& inner, std::function<void()> beforeConfirm)
        : inner_(inner), beforeConfirm_(std::move(beforeConfirm)) {}

    void message(const std::string& text) override { inner_.message(text); }
    void information(const std::string& text) override { inner_.information(text); }
    bool confirm(const std::string& text) override {
        if (beforeConfirm_)
            beforeConfirm_();
        return inner_.confirm(text);
    }
    bool question(const std::string& text) override { return inner_.question(text); }
    void error(const std::string& text) override { inner_.error(text); }
    std::optional<std::string> openFileName(const FileDialogSpec& request) override {
        return inner_.openFileName(request);
    }
    std::optional<std::string> saveFileName(const FileDialogSpec& request) override {
        return inner_.saveFileName(request);
    }

private:
    Prompts& inner_;
    std::function<void()> beforeConfirm_;
};

} // namespace t6
