#pragma once
// Everything the program asks or tells the user goes through this interface:
// the window shows modal boxes, tests give scripted answers, a command-line
// program answers without asking. Texts are Windows-1251; file names are the
// platform's own (UTF-8 on Linux).

#include <optional>
#include <string>

namespace t6 {

struct FileDialogRequest {
    std::string title;       // Windows-1251
    std::string filter;      // "Описание (*.ext)", Windows-1251, may be empty
    std::string defaultExt;  // without the dot, may be empty
    std::string initialName; // may be empty
};

class Prompts {
public:
    virtual ~Prompts() = default;
    // A plain box: the text and an OK button.
    virtual void message(const std::string& text) = 0;
    // An information box with an OK button.
    virtual void information(const std::string& text) = 0;
    // A box without an icon, titled with the application title, with a single
    // Yes button. True when the user pressed Yes, false when the box was closed.
    virtual bool confirm(const std::string& text) = 0;
    // A Yes/No question without an icon, titled with the application title.
    virtual bool question(const std::string& text) = 0;
    // An error box titled with the application title, with an OK button.
    virtual void error(const std::string& text) = 0;
    // File dialogs; nothing when the user cancels.
    virtual std::optional<std::string> openFileName(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> saveFileName(const FileDialogRequest& request) = 0;
};

// Prompts that show nothing, for work that must not ask the user anything
// (planning a file's output list, benchmarks, fuzzing). Questions get the
// answer given at construction; file dialogs are cancelled.
class SilentPrompts : public Prompts {
public:
    explicit SilentPrompts(bool answer = false) : answer_(answer) {}
    void message(const std::string&) override {}
    void information(const std::string&) override {}
    bool confirm(const std::string&) override { return answer_; }
    bool question(const std::string&) override { return answer_; }
    void error(const std::string&) override {}
    std::optional<std::string> openFileName(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> saveFileName(const FileDialogRequest&) override { return {}; }

private:
    bool answer_;
};

// The text of an error box: a period is appended unless the text's last
// character sorts at or below "." (so texts ending in ")" or "." stay as they are).
std::string errorBoxText(const std::string& text);

} // namespace t6
