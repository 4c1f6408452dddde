#pragma once
// Where the program finds what was installed with it, and where it works.
//
// The working folder holds the dictionary the program reads and the logs and
// files it writes. Started by hand, the program works in the folder it was
// started in. Started from the desktop menu it works in a folder of its own
// under the user's data folder, so that nothing lands in whatever folder a
// launcher happens to use (often "/" or the home folder). The install folder
// is only ever read.

#include <filesystem>
#include <string>

#include "common/FileAccess.h"

namespace t6 {

// The folder holding the running program's executable; empty when the system
// does not tell.
std::filesystem::path executableFolder();

// The installed data of a program in binFolder: "../share/torvel6" beside it
// when that holds the dictionary (an install anywhere, or an unpacked package),
// else the folder the build was configured to install into.
std::filesystem::path installedDataFolder(const std::filesystem::path& binFolder);

// The installed dictionary, when it is a regular file; empty otherwise.
std::filesystem::path installedDictionary(const std::filesystem::path& binFolder);

// The per-user working folder: "torvel6" under $XDG_DATA_HOME when that is an
// absolute path, else under $HOME/.local/share. Empty when neither is known.
std::filesystem::path userWorkingFolder(const char* xdgDataHome, const char* home);

// Makes the per-user folder (only the user may enter it) and, when it has no
// dictionary yet, gives it a copy of the installed one. A dictionary already
// there is kept as it is: the user's translations survive an update.
FileFailure prepareUserFolder(const std::filesystem::path& folder,
                              const std::filesystem::path& installedDictionaryFile);

} // namespace t6
