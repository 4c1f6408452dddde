#include "cli/CliPrompts.h"

#include <ostream>

#include "cli/CommandContext.h"
#include "common/Cp1251.h"

namespace t6::cli {

std::string CliPrompts::translate(const std::string& text) const {
    return translate_ ? translate_(text) : text;
}

void CliPrompts::show(Kind kind, const std::string& text, const std::string& suffix) {
    shown_.push_back({kind, text});
    if (quiet_)
        return;
    if (beforeOutput_)
        beforeOutput_();
    err_ << errorLines(text + suffix);
    err_.flush();
    if (onShown_)
        onShown_();
}

void CliPrompts::note(const std::string& text) {
    if (beforeOutput_)
        beforeOutput_();
    err_ << errorLines(text);
    err_.flush();
}

void CliPrompts::message(const std::string& text) {
    show(Kind::Message, text);
}

void CliPrompts::information(const std::string& text) {
    show(Kind::Information, text);
}

bool CliPrompts::confirm(const std::string& text) {
    show(Kind::Confirm, text);
    return true;
}

bool CliPrompts::question(const std::string& text) {
    const bool yes = yes_.count(text) != 0;
    show(Kind::Question, text, " [" + translate(yes ? ru("Да") : ru("Нет")) + "]");
    return yes;
}

void CliPrompts::error(const std::string& text) {
    show(Kind::Error, text);
}

std::optional<std::string> CliPrompts::openFileName(const FileDialogRequest&) {
    return openFile_;
}

std::optional<std::string> CliPrompts::saveFileName(const FileDialogRequest&) {
    return saveFile_;
}

} // namespace t6::cli
