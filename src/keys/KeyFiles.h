#pragma once
// Saving the key table to a key file and loading it back ("Сохранить ключи в
// файл", "Читать ключи из файла" on the key panel). Neither talks to the
// device, and nothing is shown when all went well.
//
// The save names the file as chosen, with ".key" appended unless it already
// ends so; the file is replaced only once the new one is complete, so a
// failing save leaves the previous file as it was. The load reads only a
// regular file of a sensible size: a pipe or a device is refused at once.
// Rows the file does not fill keep their contents; lines that are not well
// formed are listed in one message.

#include <cstddef>
#include <functional>
#include <string>

#include "common/Prompts.h"

namespace t6 {

class ConfigModel;

// The key files' dialog, for reading and for saving: every file, or names
// ending in ".key". Its title and filter are captions of the window.
FileDialogRequest keyFileDialog();

class KeyFiles {
public:
    using Translate = std::function<std::string(const std::string&)>;

    static constexpr const char* kExtension = ".key";
    // A key file has 40 short lines; anything much longer is not one.
    static constexpr std::size_t kMaxFileBytes = 64 * 1024;

    enum class Result {
        Done,       // saved, or the table shows the file's keys
        NoFileName, // the dialog was cancelled or gave no name
        Failed,     // the file could not be written or read; the user was told why
    };

    // translate gives the dictionary's text of a message; none shows it as written.
    KeyFiles(ConfigModel& model, Prompts& prompts, Translate translate = {});

    // "Сохранить ключи в файл".
    Result saveKeys();
    // "Читать ключи из файла".
    Result loadKeys();

    // The window re-reads the key table: a load has changed it.
    void setKeysChanged(std::function<void()> changed) { keysChanged_ = std::move(changed); }

    // The name the table is saved under: ".key" appended unless the chosen
    // name already ends in it (in either letter case).
    static std::string keyFileName(const std::string& chosen);

private:
    std::string translate(const std::string& text) const;

    ConfigModel& model_;
    Prompts& prompts_;
    Translate translate_;
    std::function<void()> keysChanged_;
};

} // namespace t6
