#pragma once
// Prompts for tests: records every box with its kind and text, and answers
// with what the test queued (Yes by default).

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "common/Prompts.h"

namespace t6::test {

class ScriptedPrompts : public Prompts {
public:
    enum class Kind { Message, Information, Confirm, Question, Error, OpenFile, SaveFile };
    struct Shown {
        Kind kind;
        std::string text; // Windows-1251
    };

    void message(const std::string& text) override { record(Kind::Message, text); }
    void information(const std::string& text) override { record(Kind::Information, text); }
    bool confirm(const std::string& text) override;
    bool question(const std::string& text) override;
    void error(const std::string& text) override { record(Kind::Error, text); }
    std::optional<std::string> openFileName(const FileDialogRequest& request) override;
    std::optional<std::string> saveFileName(const FileDialogRequest& request) override;

    // Answers for confirm() and question(), taken in order; Yes when none is queued.
    std::deque<bool> answers;
    // File names for the dialogs, taken in order; a cancel when none is queued.
    std::deque<std::optional<std::string>> fileNames;
    // Runs while a box is up (as a modal box lets timers and received data run).
    std::function<void(const Shown&)> whileShown;

    std::vector<Shown> shown;
    // The texts shown, as UTF-8, for readable assertions.
    std::vector<std::string> textsUtf8() const;
    std::string lastUtf8() const;
    void clear() { shown.clear(); }

private:
    void record(Kind k, const std::string& text);
};

} // namespace t6::test
