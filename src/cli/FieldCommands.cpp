// "get" and "set": fields of a configuration file by their model names, the
// values read as "show" prints them and set under the window's rules.

#include <filesystem>
#include <ostream>
#include <system_error>

#include "cli/CommandContext.h"
#include "cli/FieldCommands.h"
#include "cli/FileModel.h"
#include "common/AtomicFile.h"
#include "common/Cp1251.h"
#include "common/FileAccess.h"
#include "config/ConfigCompare.h"
#include "core/ConfigHistory.h"
#include "core/FieldSetting.h"
#include "core/QtClock.h"

namespace t6::cli {

namespace {

const FieldValue* findValue(const std::vector<FieldValue>& fields, const std::string& name) {
    for (const FieldValue& f : fields)
        if (f.name == name)
            return &f;
    return nullptr;
}

// What a model holds written as a file, with the model saving.
Bytes fileOf(FileModel& file) {
    const ModelContextScope saving(file.context(), ModelContext::SavingFile);
    return saveConfigFile(file.model(), QtClock().localNow());
}

} // namespace

int getCommand(CommandContext& context, const std::string& file,
               const std::vector<std::string>& names, bool json) {
    CliPrompts prompts = filePrompts(context);
    const std::unique_ptr<FileModel> loaded = loadFile(context, file, prompts);
    if (!loaded)
        return Exit::FileError;
    const std::vector<FieldValue> all = describeConfig(loaded->model());
    std::vector<FieldValue> chosen;
    for (const std::string& name : names) {
        const FieldValue* f = findValue(all, name);
        if (!f) {
            errorLine(context,
                      translated(context, ru("Нет такого поля:")) + " " + platformNameText(name));
            return Exit::DeviceError;
        }
        chosen.push_back(*f);
    }
    context.out << (json ? fieldsJson(file, chosen) : fieldsText(chosen));
    context.out.flush();
    return Exit::Ok;
}

int fieldsCommand(CommandContext& context) {
    SettingPrompts prompts;
    FileModel fresh(prompts);
    std::string text;
    for (const FieldValue& f : describeConfig(fresh.model()))
        text += f.name + "\n";
    context.out << text;
    context.out.flush();
    return Exit::Ok;
}

int setCommand(CommandContext& context, const std::string& file,
               const std::vector<std::string>& settings, const std::string& out, bool replace) {
    const std::string target = out.empty() ? file : out;
    const std::string targetName = platformNameText(target);
    auto tr = [&context](const char* utf8) { return translated(context, ru(utf8)); };
    auto fileFailed = [&](const FileFailure& failure) {
        errorLine(context, tr("Конфигурация не сохранена в файл:") + "\r\n" + targetName + "\r\n" +
                               fileFailureText(failure, [&context](const std::string& t) {
                                   return translated(context, t);
                               }));
        return Exit::FileError;
    };
    // A version of the history stays as it was kept: its changes go to another file.
    if (ConfigHistory::isReference(file) && out.empty()) {
        errorLine(context, tr("Версия истории не изменяется; новую конфигурацию записывает --out "
                              "ФАЙЛ:") +
                               " " + platformNameText(file));
        return Exit::Usage;
    }
    std::vector<FieldSetting> parsed;
    for (const std::string& word : settings) {
        const auto s = parseFieldSetting(word);
        if (!s) {
            errorLine(context, tr("Нужно имя поля, знак равенства и значение, а не:") + " " +
                                   platformNameText(word));
            return Exit::Usage;
        }
        parsed.push_back(*s);
    }
    // Nothing is read when the result could not be written afterwards.
    if (const FileFailure failure = checkFileWritable(target))
        return fileFailed(failure);
    std::error_code ec;
    if (!out.empty() && std::filesystem::exists(out, ec) && !replace) {
        errorLine(context,
                  tr("Файл не заменён; заменить его велит --force.") + "\r\n" + targetName);
        return Exit::FileError;
    }
    SettingPrompts prompts;
    ConfigFileLoad load;
    const std::unique_ptr<FileModel> loaded = loadFile(context, file, prompts, &load);
    if (!loaded)
        return Exit::FileError;
    ConfigModel& model = loaded->model();
    // The fields the load itself takes otherwise than the file gives them are
    // changed in the file written, as a save from the window would change them.
    std::vector<FieldDifference> changes;
    for (const LoadChange& c : loadChanges(load, model))
        changes.push_back(
            {fieldModelName(c.field), fieldCaption(c.field), c.fileValue, c.loadedValue});
    const std::vector<FieldValue> before = describeConfig(model);
    for (const FieldSetting& setting : parsed) {
        const SettingResult result = applyFieldSetting(model, watchBoxes(prompts), setting);
        if (result.kind != SettingResult::Kind::Done) {
            errorLine(context,
                      settingRefusalText(
                          [&context](const std::string& t) { return translated(context, t); },
                          result, setting));
            errorLine(context, tr("Файл оставлен как был:") + " " + platformNameText(file));
            return Exit::DeviceError;
        }
    }
    const std::vector<FieldValue> after = describeConfig(model);
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i)
        if (before[i].value != after[i].value)
            changes.push_back({after[i].name, after[i].caption, before[i].value, after[i].value});
    if (const FileFailure failure = writeFileSafely(target, fileOf(*loaded)))
        return fileFailed(failure);
    std::string text;
    for (const FieldDifference& d : changes)
        text += differenceLine(d);
    context.out << text;
    context.out.flush();
    errorLine(context, tr("Конфигурация успешно сохранена в файл:") + " " + targetName);
    return Exit::Ok;
}

} // namespace t6::cli
