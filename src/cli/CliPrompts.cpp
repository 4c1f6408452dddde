#include "cli/CliPrompts.h"

#include <algorithm>
#include <ostream>

#include "cli/CommandContext.h"
#include "common/Cp1251.h"

namespace t6::cli {

std::string CliPrompts::translate(const std::string& text) const {
    return translate_ ? translate_(text) : text;
}

void CliPrompts::show(Kind kind, const std::string& text, const std::string& suffix) {
    shown_.push_back({kind, text});
    if (beforeOutput_)
        beforeOutput_();
    err_ << terminalText(text) << terminalText(suffix) << '\n';
    err_.flush();
    if (onShown_)
        onShown_();
}

void CliPrompts::note(const std::string& text) {
    if (beforeOutput_)
        beforeOutput_();
    err_ << terminalText(text) << '\n';
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

std::optional<std::string> CliPrompts::openFileName(const FileDialogSpec&) {
    return openFile_;
}

std::optional<std::string> CliPrompts::saveFileName(const FileDialogSpec&) {
    return saveFile_;
}

bool CliPrompts::isDictionaryNotice(const std::string& text) {
    return text.rfind("No exists", 0) == 0;
}

bool CliPrompts::saw(const std::string& text, std::size_t from) const {
    for (std::size_t i = from; i < shown_.size(); ++i)
        if (shown_[i].text == text || shown_[i].text.starts_with(text + "\r\n"))
            return true;
    return false;
}

bool CliPrompts::sawError(std::size_t from) const {
    for (std::size_t i = from; i < shown_.size(); ++i)
        if (shown_[i].kind == Kind::Error)
            return true;
    return false;
}

const CliPrompts::Shown* CliPrompts::lastOutcome(std::size_t from,
                                                 std::initializer_list<Kind> kinds) const {
    for (std::size_t i = shown_.size(); i > from; --i) {
        const Shown& s = shown_[i - 1];
        if (isDictionaryNotice(s.text))
            continue;
        if (std::find(kinds.begin(), kinds.end(), s.kind) != kinds.end())
            return &s;
    }
    return nullptr;
}

} // namespace t6::cli
