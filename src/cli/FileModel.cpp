#include "cli/FileModel.h"

#include <filesystem>

#include <nlohmann/json.hpp>

#include "cli/CommandContext.h"
#include "common/Cp1251.h"
#include "common/FileAccess.h"
#include "core/ConfigHistory.h"

namespace t6::cli {

FileModel::FileModel(Prompts& prompts)
    : model_{prompts, random_, [this] { return context_; }, [] { return LocalTime{}; }} {
    model_.startUpChoices();
    model_.startUpPanels();
}

ConfigFileLoad FileModel::load(std::string_view bytes) {
    const ModelContextScope loading(context_, ModelContext::FillingFromFile);
    ConfigFileLoad result = loadConfigFile(bytes, model_);
    if (!result.error)
        refreshAfterLoad(model_);
    return result;
}

CliPrompts filePrompts(CommandContext& context) {
    CliPrompts prompts(context.err);
    prompts.setTranslate(context.translate);
    return prompts;
}

std::string translated(const CommandContext& context, const std::string& cp1251) {
    return context.translate ? context.translate(cp1251) : cp1251;
}

void errorLine(CommandContext& context, const std::string& cp1251) {
    context.err << errorLines(cp1251);
    context.err.flush();
}

std::optional<std::string> readSource(CommandContext& context, const std::string& source) {
    if (ConfigHistory::isReference(source)) {
        const ConfigHistory history(
            (std::filesystem::path(context.programDir) / "history").string());
        const std::optional<int> number = history.resolve(source);
        std::optional<HistoryVersion> version;
        if (number)
            version = history.version(*number);
        if (!version) {
            errorLine(context, translated(context, ru("Нет такой версии в истории:")) + " " +
                                   platformNameText(source));
            return std::nullopt;
        }
        return std::move(version->config);
    }
    const std::string name = platformNameText(source);
    const FileRead read = readRegularFile(source, kMaxConfigFileBytes);
    if (read.failure.fault == FileFault::NotFound) {
        errorLine(context, translated(context, ru("Файл не найден")) + "\r\n" + name);
        return std::nullopt;
    }
    if (read.failure) {
        auto translate = [&context](const std::string& t) { return translated(context, t); };
        errorLine(context, translated(context, ru("Ошибка чтения файла")) + "\r\n" + name + "\r\n" +
                               fileFailureText(read.failure, translate));
        return std::nullopt;
    }
    return read.bytes;
}

std::unique_ptr<FileModel> loadFile(CommandContext& context, const std::string& source,
                                    Prompts& prompts, ConfigFileLoad* loadOut) {
    const std::optional<std::string> bytes = readSource(context, source);
    if (!bytes)
        return nullptr;
    const std::string name = platformNameText(source);
    auto file = std::make_unique<FileModel>(prompts);
    ConfigFileLoad load = file->load(*bytes);
    if (load.error) {
        const ConfigFileError& e = *load.error;
        std::string where;
        if (e.line > 0) {
            where = translated(context, ru("Строка")) + " " + std::to_string(e.line);
            if (e.section >= 0)
                where += " (" + translated(context, ru("раздел")) + " " +
                         configSectionTag(e.section) + ")";
            where += ": ";
        }
        errorLine(context,
                  translated(context, ru("Файл конфигурации не загружен: ошибка формата.")) +
                      "\r\n" + name + "\r\n" + where +
                      translated(context, configFileFaultText(e.fault)));
        return nullptr;
    }
    for (const std::string& line : load.reportLines)
        errorLine(context, name + ": " + line);
    if (loadOut)
        *loadOut = std::move(load);
    return file;
}

// The JSON form: one object, its keys in the order they were put. A value is
// the field's exact text; JSON escapes its line breaks and control characters.
std::string fieldsJson(const std::string& path, const std::vector<FieldValue>& fields) {
    nlohmann::ordered_json fieldsObject = nlohmann::ordered_json::object();
    for (const FieldValue& f : fields)
        fieldsObject[f.name] = nlohmann::ordered_json{{"caption", cp1251ToUtf8(f.caption)},
                                                      {"value", cp1251ToUtf8(f.value)}};
    nlohmann::ordered_json document = nlohmann::ordered_json::object();
    document["file"] = path;
    document["fields"] = std::move(fieldsObject);
    // A file name that is not UTF-8 keeps its readable part.
    std::string text =
        document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    // U+0098, the code page's undefined byte, is a control character to a
    // terminal: written as an escape it is the same JSON text.
    for (std::size_t at = text.find("\xC2\x98"); at != std::string::npos;
         at = text.find("\xC2\x98", at))
        text.replace(at, 2, "\\u0098");
    text += '\n';
    return text;
}

std::string fieldsText(const std::vector<FieldValue>& fields) {
    std::string text;
    text.reserve(fields.size() * 64);
    for (const FieldValue& f : fields) {
        text += f.name;
        text += '\t';
        text += terminalText(f.caption);
        text += '\t';
        text += fieldLineText(f.value);
        text += '\n';
    }
    return text;
}

} // namespace t6::cli
