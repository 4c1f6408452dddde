#include "cli/FileCommands.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <filesystem>
#include <system_error>

#include "cli/CliPrompts.h"
#include "cli/CommandContext.h"
#include "common/AtomicFile.h"
#include "common/Cp1251.h"
#include "common/FileAccess.h"
#include "common/Random.h"
#include "config/ConfigCompare.h"
#include "config/ConfigModel.h"
#include "config/ConfigSheet.h"
#include "config/ModelContext.h"
#include "core/QtClock.h"
#include "core/pdf/SheetPdf.h"
#include "files/ConfigFile.h"

namespace t6::cli {

namespace {

// A model made as the program makes it, with the window's start-up steps,
// whose boxes go to standard error. The random generator has a fixed seed, so
// that a code the load has to make up (a used wireless output without one)
// comes out the same every time and for both files of a diff.
class FileModel {
public:
    explicit FileModel(CommandContext& context) : prompts_(context.err) {
        prompts_.setTranslate(context.translate);
        model_.startUpChoices();
        model_.startUpPanels();
    }

    ConfigModel& model() { return model_; }

    // Reads the file into the model as a file load fills it, with what follows
    // a load in the window.
    ConfigFileLoad load(std::string_view bytes) {
        const ModelContextScope loading(context_, ModelContext::FillingFromFile);
        ConfigFileLoad result = loadConfigFile(bytes, model_);
        if (!result.error)
            refreshAfterLoad(model_);
        return result;
    }

private:
    CliPrompts prompts_;
    SeededRandom random_{1};
    ModelContext context_ = ModelContext::Editing;
    ConfigModel model_{prompts_, random_, [this] { return context_; }, [] { return LocalTime{}; }};
};

// A message of the program in the language of the messages.
std::string translated(const CommandContext& context, const std::string& cp1251) {
    return context.translate ? context.translate(cp1251) : cp1251;
}

// A message on standard error, as the terminal shows it.
void errorLine(CommandContext& context, const std::string& cp1251) {
    context.err << errorLines(cp1251);
    context.err.flush();
}

// Loads a file into a fresh model; nothing (after saying why) when it cannot
// be read or is no configuration. The load's report lines go to standard error.
std::unique_ptr<FileModel> loadFile(CommandContext& context, const std::string& path) {
    const std::string name = platformNameText(path);
    const FileRead read = readRegularFile(path, kMaxConfigFileBytes);
    if (read.failure.fault == FileFault::NotFound) {
        errorLine(context, translated(context, ru("Файл не найден")) + "\r\n" + name);
        return nullptr;
    }
    if (read.failure) {
        auto translate = [&context](const std::string& t) { return translated(context, t); };
        errorLine(context, translated(context, ru("Ошибка чтения файла")) + "\r\n" + name + "\r\n" +
                               fileFailureText(read.failure, translate));
        return nullptr;
    }
    auto file = std::make_unique<FileModel>(context);
    const ConfigFileLoad load = file->load(read.bytes);
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
    return file;
}

// The JSON form: one object, its keys in the order they were put. A value is
// the field's exact text; JSON escapes its line breaks and control characters.
std::string jsonText(const std::string& path, const std::vector<FieldValue>& fields) {
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

} // namespace

int showCommand(CommandContext& context, const std::string& file, bool json) {
    const std::unique_ptr<FileModel> loaded = loadFile(context, file);
    if (!loaded)
        return Exit::FileError;
    const std::vector<FieldValue> fields = describeConfig(loaded->model());
    std::string text;
    if (json) {
        text = jsonText(file, fields);
    } else {
        text.reserve(fields.size() * 64);
        for (const FieldValue& f : fields) {
            text += f.name;
            text += '\t';
            text += terminalText(f.caption);
            text += '\t';
            text += fieldLineText(f.value);
            text += '\n';
        }
    }
    context.out << text;
    context.out.flush();
    return Exit::Ok;
}

int diffCommand(CommandContext& context, const std::string& first, const std::string& second) {
    const std::unique_ptr<FileModel> before = loadFile(context, first);
    if (!before)
        return Exit::FileError;
    const std::unique_ptr<FileModel> after = loadFile(context, second);
    if (!after)
        return Exit::FileError;
    const std::vector<FieldDifference> diffs = compareConfigs(before->model(), after->model());
    std::string text;
    for (const FieldDifference& d : diffs)
        text += differenceLine(d);
    context.out << text;
    context.out.flush();
    return diffs.empty() ? Exit::Ok : Exit::Differs;
}

int sheetCommand(CommandContext& context, const std::string& file, const std::string& sheet,
                 bool replace, const CaptionText& text) {
    const std::string name = platformNameText(sheet);
    auto refused = [&](const FileFailure& failure) {
        auto translate = [&context](const std::string& t) { return translated(context, t); };
        errorLine(context, translated(context, ru("Лист настроек не сохранён в файл:")) + "\r\n" +
                               name + "\r\n" + fileFailureText(failure, translate));
        return Exit::FileError;
    };
    // Nothing is read when the sheet could not be written afterwards.
    if (const FileFailure failure = checkFileWritable(sheet))
        return refused(failure);
    std::error_code ec;
    if (std::filesystem::is_regular_file(std::filesystem::status(sheet, ec)) && !replace) {
        errorLine(context, translated(context, ru("Файл не заменён; заменить его велит --force.")) +
                               "\r\n" + name);
        return Exit::FileError;
    }
    const std::unique_ptr<FileModel> loaded = loadFile(context, file);
    if (!loaded)
        return Exit::FileError;
    const ConfigSheet content =
        makeConfigSheet(describeConfig(loaded->model()), SheetInfo{QtClock().localNow(), {}}, text);
    if (const FileFailure failure = writeSheetPdf(content, sheet))
        return refused(failure);
    errorLine(context, translated(context, ru("Лист настроек сохранён в файл:")) + "\r\n" + name);
    return Exit::Ok;
}

} // namespace t6::cli
