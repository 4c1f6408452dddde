#pragma once
// The boxes and dialogs of the command-line program. Nobody is asked: every
// box goes to standard error as text, each question gets the answer the
// window's default button gives, and a file dialog gives the file named on
// the command line. How an operation ended is never read from its boxes: each
// operation says so itself (common/Outcome.h).
//
// The answers, question by question:
//  - the boxes with a single Yes button (the ends of the read, the write,
//    the key write, the connection, the time-outs): Yes, the only button;
//  - "Файл с таким именем существует.  Заменить?" (saving over a file): No,
//    the default button, unless the command line says to replace the file
//    ("read --force");
//  - "Конфигурация в окне считана из прибора не полностью. Всё равно
//    записать её в прибор?" (a write after a read that was not undone): No;
//  - any other Yes/No question: No.

#include <functional>
#include <iosfwd>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/Prompts.h"

namespace t6::cli {

class CliPrompts : public Prompts {
public:
    enum class Kind { Message, Information, Confirm, Question, Error };
    struct Shown {
        Kind kind;
        std::string text; // Windows-1251
    };
    using Translate = std::function<std::string(const std::string&)>;

    explicit CliPrompts(std::ostream& err) : err_(err) {}

    // The words of an answer ("Да", "Нет") in the language of the messages.
    void setTranslate(Translate translate) { translate_ = std::move(translate); }
    // Called before anything is written, so that a progress line can make room.
    void setBeforeOutput(std::function<void()> f) { beforeOutput_ = std::move(f); }
    // Called after every box.
    void setOnShown(std::function<void()> f) { onShown_ = std::move(f); }

    // The files the dialogs give; none cancels the dialog.
    void setOpenFile(std::optional<std::string> path) { openFile_ = std::move(path); }
    void setSaveFile(std::optional<std::string> path) { saveFile_ = std::move(path); }
    // Boxes are kept (shown()) but not written: after Ctrl+C the window's
    // words of a cancelled operation would speak of a window.
    void setQuiet(bool quiet) { quiet_ = quiet; }
    // A question (Windows-1251 text) answered Yes instead of the default No.
    void answerYes(const std::string& question) { yes_.insert(question); }

    void message(const std::string& text) override;
    void information(const std::string& text) override;
    // The box's only button, Yes, is pressed.
    bool confirm(const std::string& text) override;
    // The window's Yes/No questions have No as their default button.
    bool question(const std::string& text) override;
    void error(const std::string& text) override;
    std::optional<std::string> openFileName(const FileDialogRequest& request) override;
    std::optional<std::string> saveFileName(const FileDialogRequest& request) override;

    // Writes a message of the program's own to standard error, as a box would be.
    void note(const std::string& text);

    // What was shown, for the tests.
    const std::vector<Shown>& shown() const { return shown_; }

private:
    void show(Kind kind, const std::string& text, const std::string& suffix = {});
    std::string translate(const std::string& text) const;

    std::ostream& err_;
    Translate translate_;
    std::function<void()> beforeOutput_;
    std::function<void()> onShown_;
    std::optional<std::string> openFile_;
    std::optional<std::string> saveFile_;
    std::set<std::string> yes_;
    bool quiet_ = false;
    std::vector<Shown> shown_;
};

} // namespace t6::cli
