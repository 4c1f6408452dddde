#pragma once
// Where the window's file dialogs open. The first time in the user's documents
// folder (else the home folder), afterwards in the folder of the last file the
// user chose in any of them, remembered across runs. Never in the program's
// own data folder, where the logs and the backup lie out of the user's sight.

#include <filesystem>
#include <functional>
#include <string_view>

#include "common/FileAccess.h"

namespace t6 {

struct DialogFolderInputs {
    std::filesystem::path home;       // the home folder; may be empty
    std::filesystem::path documents;  // the documents folder the desktop names; may be empty
    std::filesystem::path remembered; // the folder of the last file chosen; may be empty
    std::filesystem::path dataFolder; // the program's own data folder: never offered
};

using IsFolder = std::function<bool(const std::filesystem::path&)>;

// The first of the remembered folder, the documents folder and the home
// folder that is an existing folder (isFolder) and not the data folder or
// inside it. Empty when none is: the dialog then opens where it likes.
std::filesystem::path dialogStartFolder(const DialogFolderInputs& in, const IsFolder& isFolder);

// The documents folder that the text of the desktop's "user-dirs.dirs" names
// in its XDG_DOCUMENTS_DIR line ("$HOME/..." or an absolute path); empty
// when it names none or names a relative one.
std::filesystem::path documentsFolderIn(std::string_view userDirs,
                                        const std::filesystem::path& home);

// The file that keeps the last folder, in the program's data folder.
std::filesystem::path rememberedFolderFile(const std::filesystem::path& dataFolder);

// The folder kept there; empty when there is none or it cannot be read.
std::filesystem::path readRememberedFolder(const std::filesystem::path& dataFolder);

// Keeps folder for the next dialog, the next run too. The data folder is made
// (only the user may enter it) when it is not there yet. A folder inside the
// data folder, or a relative one, is not kept: the one kept before stays.
FileFailure rememberFolder(const std::filesystem::path& dataFolder,
                           const std::filesystem::path& folder);

// The inputs as this user's environment gives them: $HOME, the documents
// folder ($XDG_DOCUMENTS_DIR, else the one named in
// $XDG_CONFIG_HOME/user-dirs.dirs or ~/.config/user-dirs.dirs, else
// ~/Documents), the remembered folder and the per-user data folder.
DialogFolderInputs dialogFolderInputsFromEnvironment();

} // namespace t6
