// "keys read" and "keys write": the key panel of the window. It opens with
// the device's key table ("Cn"); the table goes to a key file, or a key file
// is loaded over it and the table written to the device ("Wr").

#include <ostream>

#include "cli/CommandContext.h"
#include "cli/DeviceCommands.h"
#include "cli/Session.h"
#include "common/AtomicFile.h"
#include "common/Cp1251.h"
#include "common/FileAccess.h"

namespace t6::cli {

namespace {

// The key panel opened as the window opens it, and its table read. Ok once
// the device's table has come.
int openKeyPanel(Session& s) {
    AppCore& core = s.core();
    ExchangeController& ex = core.exchange();
    KeyProgramming& keys = core.keys();
    // The table has come when the panel changes again while its read waits.
    bool sent = false;
    bool table = false;
    keys.setObserver([&](const KeyPanelState&) {
        if (sent && ex.mode() == ExchangeMode::ReadAllKeys)
            table = true;
        s.wake();
    });
    s.run([&] { keys.openPanel(); });
    sent = ex.mode() == ExchangeMode::ReadAllKeys;
    const bool ended =
        !sent || s.runUntil([&] { return table || ex.mode() != ExchangeMode::ReadAllKeys; });
    keys.setObserver({});
    if (!ended)
        return s.interruptedExit();
    if (!sent)
        return Exit::DeviceError; // no connection: the message has been shown
    if (!table) {
        // The reply timer has ended the read without a word.
        s.note(s.tr("Нет ответа от прибора."));
        return Exit::NoAnswer;
    }
    return Exit::Ok;
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
    s.usePort(port);
    if (const int rc = openKeyPanel(s); rc != Exit::Ok)
        return rc;
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
    if (const int rc = openKeyPanel(s); rc != Exit::Ok)
        return rc;
    // "Читать ключи из файла": the rows the file names replace those read.
    KeyFiles::Result loaded = KeyFiles::Result::Failed;
    s.run([&] { loaded = core.keyFiles().loadKeys(); });
    if (loaded != KeyFiles::Result::Done) {
        closeKeyPanel(s);
        return Exit::FileError;
    }
    const std::size_t from = s.prompts().shown().size();
    const std::size_t noticesFrom = s.view().notices().size();
    s.run([&] { keys.save(); });
    if (!keys.saving())
        return Exit::DeviceError; // refused before anything was sent; the box said why
    if (!s.runUntil([&] { return !keys.saving(); }))
        return s.interruptedExit();
    if (s.prompts().saw(ru("Процесс записи ключей завершился. Все OK."), from))
        return Exit::Ok;
    if (s.prompts().sawError(from))
        return Exit::DeviceError; // the port failed or went away
    const bool unanswered = s.prompts().saw(ru("НЕТ ответа о готовности к чтению ключей"), from) ||
                            s.view().notices().size() > noticesFrom;
    return unanswered ? Exit::NoAnswer : Exit::DeviceError;
}

} // namespace t6::cli
