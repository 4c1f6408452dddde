// "keys read" and "keys write": the key panel of the window. It opens with
// the device's key table ("Cn"); the table goes to a key file, or a key file
// is loaded over it and the table written to the device ("Wr").

#include <filesystem>
#include <optional>
#include <ostream>

#include "cli/CommandContext.h"
#include "cli/DeviceCommands.h"
#include "cli/InterruptWatch.h"
#include "cli/Session.h"
#include "common/AtomicFile.h"
#include "common/Cp1251.h"
#include "common/FileAccess.h"

namespace t6::cli {

namespace {

// The key panel opened as the window opens it, and its table read: the
// table's outcome, or nothing when the run was interrupted.
std::optional<Outcome> openKeyPanel(Session& s, bool& interrupted) {
    KeyProgramming& keys = s.core().keys();
    keys.setObserver([&](const KeyPanelState&) { s.wake(); });
    s.run([&] { keys.openPanel(); });
    interrupted = !s.runUntil([&] { return keys.tableOutcome().has_value(); });
    keys.setObserver({});
    return keys.tableOutcome();
}

// "Отменить": the panel closes and the device stops reading keys ("Ur").
void closeKeyPanel(Session& s) {
    KeyProgramming& keys = s.core().keys();
    if (!keys.state().shown)
        return;
    s.run([&] { keys.closePanel(); });
    // The request leaves the line before the port is purged and closed.
    s.pause(50);
}

} // namespace

int keysReadCommand(Session& s, const std::string& port, const std::string& file) {
    AppCore& core = s.core();
    const std::string path = KeyFiles::keyFileName(file);
    // Nothing is asked of the device when the file could not be saved afterwards.
    if (const FileFailure failure = checkFileWritable(path)) {
        s.prompts().error(s.tr("Ключи не сохранены в файл:") + "\r\n" + platformNameText(path) +
                          "\r\n" + fileFailureText(failure, [&core](const std::string& t) {
                              return core.translateMessage(t);
                          }));
        return Exit::FileError;
    }
    std::error_code ec;
    const bool existed = std::filesystem::is_regular_file(std::filesystem::status(path, ec));
    s.usePort(port);
    bool interrupted = false;
    const std::optional<Outcome> table = openKeyPanel(s, interrupted);
    if (interrupted)
        return interruptedExitWith(s, (existed ? s.tr("Файл не заменён, прежний оставлен как был:")
                                               : s.tr("Файл не записан:")) +
                                          " " + platformNameText(path));
    if (!table || !table->completed()) {
        // A table that is not whole is no backup of the keys: no file is
        // written, and an existing one stays as it was.
        closeKeyPanel(s);
        if (table && table->kind == Outcome::Kind::NoAnswer)
            s.note(s.tr("Нет ответа от прибора."));
        else if (table && table->kind == Outcome::Kind::Incomplete)
            s.note(s.tr("Таблица ключей прочитана из прибора не полностью: файл не записан."));
        return exitCodeOf(table);
    }
    s.prompts().setSaveFile(file);
    KeyFiles::Result saved = KeyFiles::Result::Failed;
    s.run([&] { saved = core.keyFiles().saveKeys(); });
    closeKeyPanel(s);
    if (saved != KeyFiles::Result::Done)
        return Exit::FileError;
    s.note(s.tr("Ключи сохранены в файл:") + " " + platformNameText(path));
    return Exit::Ok;
}

int keysWriteCommand(Session& s, const std::string& port, const std::string& file) {
    AppCore& core = s.core();
    KeyProgramming& keys = core.keys();
    s.prompts().setOpenFile(file);
    // A file that cannot be read is told before the device is asked anything.
    if (readRegularFile(file, KeyFiles::kMaxFileBytes).failure) {
        s.run([&] { core.keyFiles().loadKeys(); });
        return Exit::FileError;
    }
    s.usePort(port);
    bool interrupted = false;
    const std::optional<Outcome> table = openKeyPanel(s, interrupted);
    if (interrupted)
        return interruptedExitWith(s, s.tr("В прибор ничего не отправлено."));
    // A table cut short is fine here as long as the file fills the rows it
    // did not reach (the write asks otherwise, and is answered No).
    if (!table || (!table->completed() && table->kind != Outcome::Kind::Incomplete)) {
        closeKeyPanel(s);
        if (table && table->kind == Outcome::Kind::NoAnswer)
            s.note(s.tr("Нет ответа от прибора."));
        return exitCodeOf(table);
    }
    // "Читать ключи из файла": the rows the file names replace those read.
    KeyFiles::Result loaded = KeyFiles::Result::Failed;
    s.run([&] { loaded = core.keyFiles().loadKeys(); });
    if (loaded != KeyFiles::Result::Done) {
        closeKeyPanel(s);
        return Exit::FileError;
    }
    s.run([&] { keys.save(); });
    if (!s.runUntil([&] { return !keys.saving(); }))
        return interruptedExitWith(
            s, s.tr("Запись ключей прервана: принял ли прибор таблицу ключей, неизвестно."));
    return exitCodeOf(keys.saveOutcome());
}

} // namespace t6::cli
