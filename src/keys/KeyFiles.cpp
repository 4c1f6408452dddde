#include "keys/KeyFiles.h"

#include <filesystem>
#include <optional>

#include "common/AtomicFile.h"
#include "common/Cp1251.h"
#include "common/FileAccess.h"
#include "config/ConfigModel.h"
#include "keys/KeyFile.h"

namespace t6 {

namespace fs = std::filesystem;

FileDialogRequest keyFileDialog() {
    return {ru("Файл ключей"), ru("все (*);;ключи (*.key)"), {}, {}};
}

KeyFiles::KeyFiles(ConfigModel& model, Prompts& prompts, Translate translate)
    : model_(model), prompts_(prompts), translate_(std::move(translate)) {}

std::string KeyFiles::translate(const std::string& text) const {
    return translate_ ? translate_(text) : text;
}

std::string KeyFiles::keyFileName(const std::string& chosen) {
    const std::string ext = kExtension;
    if (chosen.size() > ext.size()) {
        std::string tail = chosen.substr(chosen.size() - ext.size());
        for (char& c : tail)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        if (tail == ext)
            return chosen;
    }
    return chosen + ext;
}

KeyFiles::Result KeyFiles::saveKeys() {
    // The dialog of the files to save: the user may name a new file, and is
    // not asked about replacing one.
    const std::string chosen = prompts_.saveFileName(keyFileDialog()).value_or(std::string());
    if (chosen.empty())
        return Result::NoFileName;
    const std::string path = keyFileName(chosen);
    std::error_code ec;
    const bool existed = fs::is_regular_file(fs::status(path, ec));
    if (const FileFailure failure =
            writeFileSafely(path, writeKeyFile(model_.config().touchKeys))) {
        std::string text =
            translate(ru("Ключи не сохранены в файл:")) + "\r\n" + platformNameText(path) + "\r\n" +
            fileFailureText(failure, [this](const std::string& t) { return translate(t); });
        if (existed)
            text += "\r\n" + translate(ru("Прежний файл не изменён."));
        prompts_.error(text);
        return Result::Failed;
    }
    return Result::Done;
}

KeyFiles::Result KeyFiles::loadKeys() {
    const std::string path = prompts_.openFileName(keyFileDialog()).value_or(std::string());
    if (path.empty())
        return Result::NoFileName;
    // Only a regular file is read: nothing waits for a pipe or reads a device without end.
    const FileRead read = readRegularFile(path, kMaxFileBytes);
    if (read.failure) {
        prompts_.error(
            translate(ru("Файл ключей не прочитан:")) + "\r\n" + platformNameText(path) + "\r\n" +
            fileFailureText(read.failure, [this](const std::string& t) { return translate(t); }) +
            "\r\n" + translate(ru("Ключи в таблице не изменены.")));
        return Result::Failed;
    }
    const KeyFileContent content = readKeyFile(read.bytes);
    bool changed = false;
    for (int row = 1; row <= TouchKeyCount; ++row) {
        if (const auto& key = content.rows[static_cast<std::size_t>(row - 1)]) {
            model_.setTouchKey(row, *key);
            changed = true;
        }
    }
    if (changed && keysChanged_)
        keysChanged_();
    if (!content.skippedLines.empty()) {
        std::string numbers;
        for (int line : content.skippedLines)
            numbers += (numbers.empty() ? "" : ", ") + std::to_string(line);
        prompts_.message(translate(ru("Некоторые строки файла ключей не разобраны и пропущены; "
                                      "ключи остальных строк загружены.")) +
                         "\r\n" + platformNameText(path) + "\r\n" + translate(ru("Номера строк:")) +
                         " " + numbers);
    }
    return Result::Done;
}

} // namespace t6
