// "read" and "write": the configuration chains of the window, run through the
// core, with the window's file flows on either side.

#include <filesystem>
#include <ostream>
#include <system_error>

#include "cli/CommandContext.h"
#include "cli/ConfigVerify.h"
#include "cli/DeviceCommands.h"
#include "cli/Session.h"
#include "common/AtomicFile.h"
#include "common/Cp1251.h"
#include "common/FileAccess.h"

namespace t6::cli {

namespace {

namespace fs = std::filesystem;

const std::string& replaceQuestion() {
    static const std::string q = ru("Файл с таким именем существует.  Заменить?");
    return q;
}

// Whether any box since `from` is one the reply timer shows when the device
// has not answered a write stage.
bool sawWriteTimeout(const CliPrompts& prompts, std::size_t from) {
    const std::string head = ru("НЕТ ответа");
    for (std::size_t i = from; i < prompts.shown().size(); ++i)
        if (prompts.shown()[i].text.rfind(head, 0) == 0)
            return true;
    return false;
}

// The read chain as the window's read button runs it. Ok when the model
// holds the device's whole configuration; a read that did not complete has
// put the model back as it was.
int readChain(Session& s) {
    AppCore& core = s.core();
    ConfigRead& read = core.configRead();
    const std::size_t from = s.prompts().shown().size();
    // A wait without a time limit that has lasted 10 s, or that nothing can
    // end any more because the port has failed or gone away: the user of the
    // window would press "Отмена"; so does the program.
    bool silent = false;
    s.view().setOnAlert([&] {
        silent = true;
        s.wake();
    });
    s.run([&] { read.readConfiguration(); });
    const bool ended = s.runUntil([&] {
        if ((silent || s.prompts().sawError(from)) && read.running())
            s.run([&] { core.exchange().cancelActivity(); });
        return !read.running();
    });
    s.view().setOnAlert({});
    if (!ended)
        return s.interruptedExit();
    if (s.prompts().saw(ru("Процесс чтения завершился. Все OK."), from) && !read.incomplete())
        return Exit::Ok;
    if (s.prompts().saw(s.tr("Чтение настроек не начато: без резервной копии окно не изменяется."),
                        from))
        return Exit::FileError; // the backup could not be written
    if (s.prompts().sawError(from))
        return Exit::DeviceError; // the port failed or went away
    if (silent || s.prompts().saw(ru("Превышен период ожидания ответа устройства."), from))
        return Exit::NoAnswer;
    return Exit::DeviceError;
}

// The write chain as the window's write button runs it.
int writeChain(Session& s) {
    AppCore& core = s.core();
    ConfigWrite& write = core.configWrite();
    const std::size_t from = s.prompts().shown().size();
    // The window's clock would have brought the time field up to date by the
    // time the button is pressed, when the field follows the computer.
    s.run([&] { core.model().clockTick(); });
    s.run([&] { write.writeConfiguration(); });
    if (!write.running())
        return Exit::DeviceError; // refused before anything was sent; the box said why
    if (!s.runUntil([&] { return !write.running(); }))
        return s.interruptedExit();
    if (s.prompts().saw(ru("Процесс записи завершился. Все OK."), from))
        return Exit::Ok;
    if (s.prompts().sawError(from))
        return Exit::DeviceError; // the port failed or went away
    return sawWriteTimeout(s.prompts(), from) ? Exit::NoAnswer : Exit::DeviceError;
}

} // namespace

int readCommand(Session& s, const std::string& port, const std::string& file, bool replace) {
    AppCore& core = s.core();
    // Nothing is asked of the device when the file could not be saved afterwards.
    if (const FileFailure failure = checkFileWritable(file)) {
        s.prompts().error(s.tr("Конфигурация не сохранена в файл:") + "\r\n" +
                          platformNameText(file) + "\r\n" +
                          fileFailureText(failure, [&core](const std::string& t) {
                              return core.translateMessage(t);
                          }));
        return Exit::FileError;
    }
    if (replace)
        s.prompts().answerYes(replaceQuestion());
    std::error_code ec;
    if (fs::is_regular_file(fs::status(file, ec)) && !replace &&
        !s.prompts().question(replaceQuestion())) {
        s.note(s.tr("Файл не заменён; заменить его велит --force."));
        return Exit::FileError;
    }

    s.usePort(port);
    if (const int rc = readChain(s); rc != Exit::Ok)
        return rc; // the file is not written: the window shows what it showed before
    s.prompts().setSaveFile(file);
    ConfigFiles::SaveResult saved = ConfigFiles::SaveResult::Failed;
    s.run([&] { saved = core.files().saveConfiguration(); });
    return saved == ConfigFiles::SaveResult::Saved ? Exit::Ok : Exit::FileError;
}

int writeCommand(Session& s, const std::string& port, const std::string& file, bool verify) {
    AppCore& core = s.core();
    s.usePort(port);
    // The file as given, for the verification; the load reads it itself.
    const Bytes given = verify ? readRegularFile(file, kMaxConfigFileBytes).bytes : Bytes();
    s.prompts().setOpenFile(file);
    ConfigFiles::LoadResult loaded = ConfigFiles::LoadResult::Unreadable;
    s.run([&] { loaded = core.files().loadConfiguration(); });
    if (loaded != ConfigFiles::LoadResult::Loaded)
        return Exit::FileError;
    core.configRead().forgetIncomplete();

    if (const int rc = writeChain(s); rc != Exit::Ok || !verify)
        return rc;
    if (const int rc = readChain(s); rc != Exit::Ok)
        return rc;
    const auto differences = verifyDifferences(given, core.model(), core.clock().localNow());
    if (differences.empty()) {
        s.note(s.tr("Проверка: прибор хранит записанную конфигурацию."));
        return Exit::Ok;
    }
    for (const FieldDifference& d : differences)
        s.out() << differenceLine(d);
    s.note(s.tr("Проверка: прибор хранит иное, чем записано, в полях:") + " " +
           std::to_string(differences.size()));
    return Exit::VerifyDiffers;
}

} // namespace t6::cli
