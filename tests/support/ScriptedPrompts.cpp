#include "support/ScriptedPrompts.h"

#include "common/Cp1251.h"

namespace t6::test {

void ScriptedPrompts::record(Kind k, const std::string& text) {
    shown.push_back({k, text});
    if (whileShown)
        whileShown(shown.back());
}

bool ScriptedPrompts::confirm(const std::string& text) {
    record(Kind::Confirm, text);
    if (answers.empty())
        return true;
    bool a = answers.front();
    answers.pop_front();
    return a;
}

bool ScriptedPrompts::question(const std::string& text) {
    record(Kind::Question, text);
    if (answers.empty())
        return true;
    bool a = answers.front();
    answers.pop_front();
    return a;
}

std::optional<std::string> ScriptedPrompts::openFileName(const FileDialogRequest& request) {
    record(Kind::OpenFile, request.title);
    if (fileNames.empty())
        return std::nullopt;
    auto f = fileNames.front();
    fileNames.pop_front();
    return f;
}

std::optional<std::string> ScriptedPrompts::saveFileName(const FileDialogRequest& request) {
    record(Kind::SaveFile, request.title);
    if (fileNames.empty())
        return std::nullopt;
    auto f = fileNames.front();
    fileNames.pop_front();
    return f;
}

std::vector<std::string> ScriptedPrompts::textsUtf8() const {
    std::vector<std::string> out;
    for (const auto& s : shown)
        out.push_back(cp1251ToUtf8(s.text));
    return out;
}

std::string ScriptedPrompts::lastUtf8() const {
    return shown.empty() ? std::string() : cp1251ToUtf8(shown.back().text);
}

} // namespace t6::test
