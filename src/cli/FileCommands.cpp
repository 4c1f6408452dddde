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
#include "cli/FileModel.h"
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

int showCommand(CommandContext& context, const std::string& file, bool json) {
    CliPrompts prompts = filePrompts(context);
    const std::unique_ptr<FileModel> loaded = loadFile(context, file, prompts);
    if (!loaded)
        return Exit::FileError;
    const std::vector<FieldValue> fields = describeConfig(loaded->model());
    context.out << (json ? fieldsJson(file, fields) : fieldsText(fields));
    context.out.flush();
    return Exit::Ok;
}

int diffCommand(CommandContext& context, const std::string& first, const std::string& second) {
    CliPrompts prompts = filePrompts(context);
    const std::unique_ptr<FileModel> before = loadFile(context, first, prompts);
    if (!before)
        return Exit::FileError;
    const std::unique_ptr<FileModel> after = loadFile(context, second, prompts);
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
    CliPrompts prompts = filePrompts(context);
    const std::unique_ptr<FileModel> loaded = loadFile(context, file, prompts);
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
