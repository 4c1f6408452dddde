// "read" and "write": the configuration chains of the window, run through the
// core, with the window's file flows on either side.

#include <filesystem>
#include <ostream>
#include <system_error>

#include "cli/CommandContext.h"
#include "cli/ConfigVerify.h"
#include "cli/DeviceCommands.h"
#include "cli/InterruptWatch.h"
#include "cli/Session.h"
#include "common/AtomicFile.h"
#include "common/Cp1251.h"
#include "common/FileAccess.h"
#include "core/FieldSetting.h"
#include "files/ConfigFile.h"

namespace t6::cli {

namespace {

namespace fs = std::filesystem;

const std::string& replaceQuestion() {
    static const std::string q = ru("Файл с таким именем существует.  Заменить?");
    return q;
}

// The read chain as the window's read button runs it. Ok when the model
// holds the device's whole configuration; a read that did not complete has
// put the model back as it was. After Ctrl+C the user is told `stopped`.
int readChain(Session& s, const std::string& stopped) {
    AppCore& core = s.core();
    ConfigRead& read = core.configRead();
    // A wait without a time limit that has lasted 10 s: the user of the window
    // would press "Отмена"; the program gives the wait up.
    bool silent = false;
    s.view().setOnAlert([&] {
        silent = true;
        s.wake();
    });
    s.run([&] { read.readConfiguration(); });
    const bool ended = s.runUntil([&] {
        if (silent && read.running())
            s.run([&] { read.giveUp(); });
        silent = false;
        return !read.running();
    });
    s.view().setOnAlert({});
    if (!ended)
        return interruptedExitWith(s, stopped);
    return exitCodeOf(read.outcome());
}

// The write chain as the window's write button runs it.
int writeChain(Session& s) {
    AppCore& core = s.core();
    ConfigWrite& write = core.configWrite();
    s.run([&] { write.writeConfiguration(); });
    if (!s.runUntil([&] { return !write.running(); }))
        return interruptedExitWith(
            s, s.tr("Запись настроек прервана: прибор мог сохранить только часть конфигурации."));
    return exitCodeOf(write.outcome());
}

// What a load did not take as the file gives it, one tab-separated line each
// on standard output: the missing sections, then the fields (name, caption,
// the file's value, the window's).
void listLoadChanges(Session& s) {
    AppCore& core = s.core();
    const ConfigFiles::LoadReport& report = core.files().lastLoad();
    const CaptionText captions = core.captionText();
    for (int n : report.missingSections)
        s.out() << "section\t" << configSectionTag(n) << "\t" << terminalText(s.tr("нет в файле"))
                << "\t\n";
    for (const LoadChange& c : report.changes)
        s.out() << differenceLine(
            {fieldModelName(c.field), fieldCaption(c.field, captions), c.fileValue, c.loadedValue});
}

// The settings of "write --set", in order; a refusal ends the write before
// anything is sent.
int applySettings(Session& s, const std::vector<std::string>& words) {
    const CliPrompts& prompts = s.prompts();
    const BoxWatch boxes{[&prompts] { return prompts.shown().size(); },
                         [&prompts](std::size_t i) { return prompts.shown().at(i).text; }};
    for (const std::string& word : words) {
        const std::optional<FieldSetting> setting = parseFieldSetting(word);
        if (!setting) {
            s.note(s.tr("Нужно имя поля, знак равенства и значение, а не:") + " " +
                   platformNameText(word));
            return Exit::Usage;
        }
        SettingResult result;
        s.run([&] { result = applyFieldSetting(s.core().model(), boxes, *setting); });
        if (result.kind == SettingResult::Kind::Done)
            continue;
        // A box of the rules has been shown as the window shows it.
        if (result.kind != SettingResult::Kind::Refused)
            s.note(settingRefusalText(
                [&s](const std::string& t) { return s.core().translateMessage(t); }, result,
                *setting));
        s.note(s.tr("В прибор ничего не отправлено."));
        return Exit::DeviceError;
    }
    return Exit::Ok;
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
    const bool existed = fs::is_regular_file(fs::status(file, ec));
    if (existed && !replace && !s.prompts().question(replaceQuestion())) {
        s.note(s.tr("Файл не заменён; заменить его велит --force."));
        return Exit::FileError;
    }

    s.usePort(port);
    const std::string stopped =
        (existed ? s.tr("Файл не заменён, прежний оставлен как был:") : s.tr("Файл не записан:")) +
        " " + platformNameText(file);
    if (const int rc = readChain(s, stopped); rc != Exit::Ok)
        return rc; // the file is not written: the window shows what it showed before
    s.prompts().setSaveFile(file);
    s.run([&] { core.files().saveConfiguration(); });
    return exitCodeOf(core.files().outcome());
}

int writeCommand(Session& s, const std::string& port, const std::string& file,
                 const WriteOptions& options) {
    AppCore& core = s.core();
    // A file that cannot be read is told with its name, before the device is asked anything.
    if (const FileFailure failure = readRegularFile(file, kMaxConfigFileBytes).failure) {
        s.prompts().error(failure.fault == FileFault::NotFound
                              ? s.tr("Файл не найден") + "\r\n" + platformNameText(file)
                              : s.tr("Ошибка чтения файла") + "\r\n" + platformNameText(file) +
                                    "\r\n" +
                                    fileFailureText(failure, [&core](const std::string& t) {
                                        return core.translateMessage(t);
                                    }));
        return Exit::FileError;
    }
    s.usePort(port);
    s.prompts().setOpenFile(file);
    s.run([&] { core.files().loadConfiguration(); });
    const std::optional<Outcome>& loaded = core.files().outcome();
    if (!loaded || loaded->kind == Outcome::Kind::FileFailed)
        return Exit::FileError;
    if (loaded->kind == Outcome::Kind::Incomplete) {
        // The window does not hold the file as it is: nothing is sent unless
        // the caller takes the window's values.
        listLoadChanges(s);
        if (!options.acceptChanges) {
            s.note(s.tr("В прибор ничего не отправлено: конфигурация в окне отличается от "
                        "файла (см. выше); отправить её всё равно велит --accept-changes."));
            return Exit::DeviceError;
        }
    } else if (!loaded->completed()) {
        return Exit::FileError;
    }
    core.configRead().forgetIncomplete();
    // The per-device values, as the user would type them into the window.
    if (const int rc = applySettings(s, options.sets); rc != Exit::Ok)
        return rc;
    // The device's clock is set from the computer's, as the window's clock
    // box does, unless the file's date and time are asked for: an old backup
    // would set the clock back.
    if (!options.fileClock)
        s.run([&] { core.model().setClockFromPc(true); });
    s.run([&] { core.model().clockTick(); });

    if (const int rc = writeChain(s); rc != Exit::Ok || !options.verify)
        return rc;
    const DeviceBlocks sent = core.configWrite().sent();
    if (const int rc = readChain(s, s.tr("Конфигурация записана в прибор; проверка не завершена."));
        rc != Exit::Ok)
        return rc;
    const VerifyResult result =
        verifyWrite(sent, core.configRead().received(), !options.fileClock, core.captionText());
    if (result.same()) {
        s.note(s.tr("Проверка: прибор хранит записанную конфигурацию."));
        return Exit::Ok;
    }
    for (const FieldDifference& d : result.parts)
        s.out() << differenceLine(d);
    for (const FieldDifference& d : result.fields)
        s.out() << differenceLine(d);
    s.note(s.tr("Проверка: прибор хранит иное, чем записано, в полях:") + " " +
           std::to_string(result.fields.size()) + ", " + s.tr("в записях:") + " " +
           std::to_string(result.parts.size()));
    return Exit::VerifyDiffers;
}

} // namespace t6::cli
