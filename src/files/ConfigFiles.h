#pragma once
// Saving the configuration shown in the window to a file and loading it back:
// the two items of the file menu, and the silent backup "save.000" that a read
// from the device takes before it overwrites the window. The files lie where
// the user chooses; the backup and the load report "LoadFile.rep" lie in the
// program directory. Neither flow uses the serial port.
//
// Every save goes through a temporary file that replaces the target only
// once it is complete, so a failing save leaves the previous file as it was;
// a file the user may not write is refused before anything is written. A load
// reads only a regular file of a sensible size (never a pipe or a device) and
// checks the whole file before anything changes: a malformed file is refused
// with the file's name and the line, and the window keeps what it showed.

#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "common/FileAccess.h"
#include "common/Outcome.h"
#include "common/Prompts.h"
#include "config/ConfigCompare.h"
#include "files/ConfigFile.h"

namespace t6 {

class ConfigModel;
class ExchangeController;
class ExchangeLogs;

class ConfigFiles {
public:
    using Translate = std::function<std::string(const std::string&)>;

    static constexpr const char* kBackupFile = "save.000";
    static constexpr const char* kReportFile = "LoadFile.rep";

    enum class SaveResult {
        Saved,      // the file holds the configuration
        NoFileName, // the dialog was cancelled
        Declined,   // the user would not replace the existing file
        Failed,     // the file could not be written; the user was told why
    };
    enum class LoadResult {
        Loaded,     // the window shows the file's configuration
        Changed,    // the window shows the file, but not all of it as the file gives it:
                    // a section is missing or a rule refused a value (lastLoad() says which)
        NotFound,   // no file name, or no such file
        Unreadable, // the file could not be read
        Malformed,  // the file is not a configuration this program can read
    };

    // translate gives the dictionary's text of a message; none shows it as written.
    ConfigFiles(ConfigModel& model, ExchangeController& exchange, ExchangeLogs& logs,
                Prompts& prompts, Translate translate = {});

    // "Сохранить конфигурацию в файл". With the backup pending, the
    // configuration goes to the backup file without a dialog or a message.
    SaveResult saveConfiguration();
    // "Загрузить конфигурацию из файла".
    LoadResult loadConfiguration();

    // What the last load did not take as the file gives it.
    struct LoadReport {
        std::vector<int> missingSections;
        std::vector<LoadChange> changes;
    };
    const LoadReport& lastLoad() const { return lastLoad_; }
    // What became of the last save or load.
    const std::optional<Outcome>& outcome() const { return outcome_; }
    // The captions of the fields a load report names, in the window's language.
    void setCaptionText(CaptionText captions) { captions_ = std::move(captions); }

    // The backup a read from the device takes first: sets the backup pending
    // and saves. True when the backup was written.
    bool saveBackup();
    // Puts the window back as the backup holds it, silently (a read from the
    // device that did not complete). False when the backup cannot be read;
    // the window is then unchanged.
    bool restoreBackup();
    // Keeps the backup in memory instead of the backup file: the command line
    // holds only its start-up configuration before a read, and the window's
    // backup in the same folder must not be replaced by it.
    void setBackupInMemory(bool on) { backupInMemory_ = on; }

    // The two file dialogs. By default they are titled like the two menu items
    // and have no filter and no default extension: any name may be chosen.
    void setDialogs(FileDialogRequest open, FileDialogRequest save) {
        openDialog_ = std::move(open);
        saveDialog_ = std::move(save);
    }

    // AutoBackupPending: the next save goes to the backup file.
    void setAutoBackupPending(bool on) { autoBackupPending_ = on; }
    bool autoBackupPending() const { return autoBackupPending_; }

    std::string backupPath() const;
    std::string reportPath() const;

    // Writes the configuration file at path, replacing it, with the exchange
    // mode at 200002 while the file is written and 0 afterwards. Empty on
    // success, else why it failed (the previous file is left as it was).
    FileFailure saveConfigFile(const std::string& path);

private:
    std::string translate(const std::string& text) const;
    // The reason of a failure in the window's language.
    std::string failureText(const FileFailure& failure) const;
    bool isBackupPath(const std::string& path) const;
    // The missing sections and the values not taken, one line each, in the
    // window's language.
    std::vector<std::string> loadDetails(const LoadReport& report) const;

    ConfigModel& model_;
    ExchangeController& exchange_;
    ExchangeLogs& logs_;
    Prompts& prompts_;
    Translate translate_;
    FileDialogRequest openDialog_;
    FileDialogRequest saveDialog_;
    bool autoBackupPending_ = false;
    bool backupInMemory_ = false;
    std::optional<Bytes> memoryBackup_;
    CaptionText captions_;
    LoadReport lastLoad_;
    std::optional<Outcome> outcome_;
};

} // namespace t6
