#include "files/ConfigFiles.h"

#include <filesystem>
#include <system_error>

#include "common/AtomicFile.h"
#include "common/Cp1251.h"
#include "common/FileAccess.h"
#include "common/Prompts.h"
#include "config/ConfigModel.h"
#include "exchange/ExchangeController.h"
#include "exchange/ExchangeLogs.h"

namespace fs = std::filesystem;

namespace t6 {

namespace {

// The exchange mode goes back to 0 however a flow ends.
class ModeScope {
public:
    ModeScope(ExchangeController& e, ExchangeModeValue mode) : e_(e) { e_.setMode(mode); }
    ~ModeScope() { e_.setMode(ExchangeMode::Idle); }
    ModeScope(const ModeScope&) = delete;
    ModeScope& operator=(const ModeScope&) = delete;

private:
    ExchangeController& e_;
};

fs::path fullPath(const std::string& path) {
    std::error_code ec;
    fs::path p = fs::absolute(fs::path(path), ec);
    if (ec)
        p = fs::path(path);
    fs::path c = fs::weakly_canonical(p, ec);
    return ec ? p.lexically_normal() : c;
}

} // namespace

ConfigFiles::ConfigFiles(ConfigModel& model, ExchangeController& exchange, ExchangeLogs& logs,
                         Prompts& prompts, Translate translate)
    : model_(model), exchange_(exchange), logs_(logs), prompts_(prompts),
      translate_(std::move(translate)), openDialog_{ru("Загрузить конфигурацию из файла"),
                                                    {},
                                                    {},
                                                    {}},
      saveDialog_{ru("Сохранить конфигурацию в файл"), {}, {}, {}} {}

std::string ConfigFiles::translate(const std::string& text) const {
    return translate_ ? translate_(text) : text;
}

std::string ConfigFiles::backupPath() const {
    return logs_.pathOf(kBackupFile);
}

std::string ConfigFiles::reportPath() const {
    return logs_.pathOf(kReportFile);
}

bool ConfigFiles::isBackupPath(const std::string& path) const {
    return fullPath(path) == fullPath(backupPath());
}

FileFailure ConfigFiles::saveConfigFile(const std::string& path) {
    ModeScope mode(exchange_, ExchangeMode::SavingFile);
    const Bytes bytes = t6::saveConfigFile(model_, exchange_.clock().localNow());
    return writeFileSafely(path, bytes);
}

std::string ConfigFiles::failureText(const FileFailure& failure) const {
    return fileFailureText(failure, [this](const std::string& text) { return translate(text); });
}

ConfigFiles::SaveResult ConfigFiles::saveConfiguration() {
    std::string path;
    bool backup = false;
    if (autoBackupPending_) {
        autoBackupPending_ = false;
        path = backupPath();
        backup = true;
    } else {
        path = prompts_.saveFileName(saveDialog_).value_or(std::string());
    }
    outcome_.reset();
    if (path.empty()) {
        prompts_.message(translate(ru("Не задано имя файла")));
        outcome_ = Outcome::make(Outcome::Kind::Cancelled);
        return SaveResult::NoFileName;
    }
    backup = backup || isBackupPath(path);

    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    const bool existed = !ec && fs::is_regular_file(st);
    auto refused = [&](const FileFailure& failure) {
        std::string text =
            (backup ? translate(ru("Резервная копия конфигурации не сохранена в файл:"))
                    : translate(ru("Конфигурация не сохранена в файл:"))) +
            "\r\n" + platformNameText(path) + "\r\n" + failureText(failure);
        if (existed)
            text += "\r\n" + translate(ru("Прежний файл не изменён."));
        prompts_.error(text);
        outcome_ = Outcome::make(Outcome::Kind::FileFailed, {text});
        return SaveResult::Failed;
    };
    // A file that may not be replaced is refused before the user is asked to replace it.
    if (const FileFailure failure = checkFileWritable(path))
        return refused(failure);
    if (existed && !backup &&
        !prompts_.question(ru("Файл с таким именем существует.  Заменить?"))) {
        outcome_ = Outcome::make(Outcome::Kind::Cancelled);
        return SaveResult::Declined;
    }

    if (const FileFailure failure = saveConfigFile(path))
        return refused(failure);
    if (!backup)
        prompts_.message(ru("Конфигурация успешно сохранена в файл:\r\n") + platformNameText(path));
    outcome_ = Outcome::done();
    return SaveResult::Saved;
}

bool ConfigFiles::saveBackup() {
    if (backupInMemory_) {
        ModeScope mode(exchange_, ExchangeMode::SavingFile);
        memoryBackup_ = t6::saveConfigFile(model_, exchange_.clock().localNow());
        return true;
    }
    autoBackupPending_ = true;
    return saveConfiguration() == SaveResult::Saved;
}

bool ConfigFiles::restoreBackup() {
    Bytes bytes;
    if (backupInMemory_) {
        if (!memoryBackup_)
            return false;
        bytes = *memoryBackup_;
    } else {
        FileRead read = readRegularFile(backupPath(), kMaxConfigFileBytes);
        if (read.failure)
            return false;
        bytes = std::move(read.bytes);
    }
    ConfigFileLoad load;
    {
        ModeScope mode(exchange_, ExchangeMode::LoadingFile);
        load = t6::loadConfigFile(bytes, model_);
        if (!load.error)
            refreshAfterLoad(model_);
    }
    return !load.error;
}

ConfigFiles::LoadResult ConfigFiles::loadConfiguration() {
    const std::string path = prompts_.openFileName(openDialog_).value_or(std::string());
    std::error_code ec;
    outcome_.reset();
    lastLoad_ = {};
    auto failed = [this](Outcome::Kind kind, const std::string& text) {
        outcome_ = Outcome::make(kind, {text});
    };
    if (path.empty() || !fs::exists(fs::status(path, ec))) {
        prompts_.message(translate(ru("Файл не найден")));
        failed(Outcome::Kind::FileFailed, translate(ru("Файл не найден")));
        return LoadResult::NotFound;
    }
    // The name may stand for anything: only a regular file of a sensible size
    // is read, and nothing waits for a pipe or reads a device without end.
    const FileRead read = readRegularFile(path, kMaxConfigFileBytes);
    if (read.failure) {
        const std::string text =
            translate(ru("Ошибка чтения файла")) + "\r\n" + failureText(read.failure);
        prompts_.message(text);
        failed(Outcome::Kind::FileFailed, text);
        return LoadResult::Unreadable;
    }
    const Bytes& bytes = read.bytes;

    ConfigFileLoad load;
    std::vector<LoadChange> changes;
    {
        ModeScope mode(exchange_, ExchangeMode::LoadingFile);
        load = t6::loadConfigFile(bytes, model_);
        if (!load.error) {
            for (const std::string& line : load.reportLines)
                logs_.memo(line);
            refreshAfterLoad(model_);
            changes = loadChanges(load, model_);
            for (const std::string& line : loadChangeReport(load, changes))
                logs_.memo(line);
        }
    }
    if (load.error) {
        const ConfigFileError& e = *load.error;
        // A fault of the file as a whole names no line.
        std::string where;
        if (e.line > 0) {
            where = translate(ru("Строка")) + " " + std::to_string(e.line);
            if (e.section >= 0)
                where += " (" + translate(ru("раздел")) + " " + configSectionTag(e.section) + ")";
            where += ": ";
        }
        const std::string text = translate(ru("Файл конфигурации не загружен: ошибка формата.")) +
                                 "\r\n" + platformNameText(path) + "\r\n" + where +
                                 translate(configFileFaultText(e.fault)) + "\r\n" +
                                 translate(ru("Конфигурация в окне не изменена."));
        prompts_.error(text);
        failed(Outcome::Kind::FileFailed, text);
        return LoadResult::Malformed;
    }

    const LocalTime now = exchange_.clock().localNow();
    logs_.memo(ru("Время сеанса: ") + shortDateText(now) + "_" + longTimeText(now));
    std::string report;
    for (const std::string& line : logs_.memoLines()) {
        report += line;
        report += "\r\n";
    }
    if (const FileFailure failure = writeFileSafely(reportPath(), report))
        prompts_.error(translate(ru("Отчёт о загрузке не сохранён в файл:")) + "\r\n" +
                       platformNameText(reportPath()) + "\r\n" + failureText(failure));
    lastLoad_ = {load.missingSections, changes};
    if (loadedWhole(load, changes)) {
        prompts_.message(ru("Конфигурация успешно считана из файла:\r\n") + platformNameText(path));
        outcome_ = Outcome::done();
        return LoadResult::Loaded;
    }
    // Not all of the file is in the window: said so, never as a success.
    std::vector<std::string> details = loadDetails(lastLoad_);
    std::string text = translate(ru("Конфигурация считана из файла не полностью:")) + "\r\n" +
                       platformNameText(path);
    for (const std::string& d : details)
        text += "\r\n" + d;
    prompts_.information(text);
    outcome_ = Outcome::make(Outcome::Kind::Incomplete, std::move(details));
    return LoadResult::Changed;
}

std::vector<std::string> ConfigFiles::loadDetails(const LoadReport& report) const {
    std::vector<std::string> out;
    for (int n : report.missingSections)
        out.push_back(translate(ru("Нет раздела")) + " " + configSectionTag(n));
    for (const LoadChange& c : report.changes)
        out.push_back(fieldCaption(c.field, captions_) + ": " + translate(ru("в файле")) + " \"" +
                      c.fileValue + "\", " + translate(ru("в окне")) + " \"" + c.loadedValue +
                      "\"");
    return out;
}

} // namespace t6
