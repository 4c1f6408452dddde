#include "core/ConfigComparison.h"

#include "common/Cp1251.h"
#include "common/FileAccess.h"
#include "common/Prompts.h"
#include "common/Random.h"
#include "config/ConfigModel.h"
#include "core/AppCore.h"
#include "exchange/ExchangeMode.h"
#include "files/ConfigFile.h"
#include "files/StandaloneConfig.h"

namespace t6 {

namespace {

Comparison failed(std::string why) {
    Comparison c;
    c.why = std::move(why);
    return c;
}

} // namespace

CaptionText captionTextIn(Dictionary& dictionary, char language) {
    if (language != 'E')
        return [](const std::string& text, TextSource) { return text; };
    return [&dictionary](const std::string& text, TextSource source) {
        return dictionary.lookup(
            source == TextSource::Window ? sectionForWindow('E') : sectionForMessages('E'), text);
    };
}

Comparison compareWithLastRead(AppCore& core) {
    const auto& read = core.lastRead().fields();
    if (!read)
        return failed(core.translateMessage(
            ru("Сравнивать не с чем: в этом сеансе настройки из прибора ещё не считаны.")));
    Dictionary::Batch batch(core.dictionary());
    Comparison c;
    c.done = true;
    c.differences =
        compareFields(describeConfig(core.model()), *read, core.captionText(), isSentToDevice);
    return c;
}

namespace {

// The window against a configuration file's bytes, both as a file holds them
// (so a value no file can hold is no difference). name: how the messages name it.
Comparison compareWithBytes(AppCore& core, const std::string& bytes, const std::string& name) {
    auto tr = [&core](const std::string& text) { return core.translateMessage(text); };
    StandaloneConfig file;
    if (const auto error = file.load(bytes)) {
        std::string where;
        if (error->line > 0) {
            where = tr(ru("Строка")) + " " + std::to_string(error->line);
            if (error->section >= 0)
                where += " (" + tr(ru("раздел")) + " " + configSectionTag(error->section) + ")";
            where += ": ";
        }
        return failed(tr(ru("Файл конфигурации не загружен: ошибка формата.")) + "\r\n" + name +
                      "\r\n" + where + tr(configFileFaultText(error->fault)));
    }
    // The window as a file of it would hold it: what a file cannot hold (the
    // values of a sensor not in use, for one) differs from no file.
    StandaloneConfig shown;
    shown.load(saveConfigFile(core.model(), core.clock().localNow()));
    Dictionary::Batch batch(core.dictionary());
    Comparison c;
    c.done = true;
    c.differences = compareFields(describeConfig(shown.model()), describeConfig(file.model()),
                                  core.captionText(), isHeldInFile);
    return c;
}

} // namespace

Comparison compareWithFile(AppCore& core, const std::string& path) {
    auto tr = [&core](const std::string& text) { return core.translateMessage(text); };
    const std::string name = platformNameText(path);
    const FileRead read = readRegularFile(path, kMaxConfigFileBytes);
    if (read.failure.fault == FileFault::NotFound)
        return failed(tr(ru("Файл не найден")) + "\r\n" + name);
    if (read.failure)
        return failed(tr(ru("Ошибка чтения файла")) + "\r\n" + name + "\r\n" +
                      fileFailureText(read.failure, tr));
    return compareWithBytes(core, read.bytes, name);
}

Comparison compareWithVersion(AppCore& core, int number) {
    const std::optional<HistoryVersion> version = core.history().version(number);
    const std::string name = "@" + std::to_string(number);
    if (!version)
        return failed(core.translateMessage(ru("Нет такой версии в истории:")) + " " + name);
    return compareWithBytes(core, version->config, name);
}

ConfigSheet windowSheet(AppCore& core, const std::string& deviceVersion) {
    Dictionary::Batch batch(core.dictionary());
    return makeConfigSheet(describeConfig(core.model()),
                           SheetInfo{core.clock().localNow(), deviceVersion}, core.captionText());
}

} // namespace t6
