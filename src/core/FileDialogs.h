#pragma once
// The window's file dialogs: the configuration files' open and save dialogs
// here, and the key files' dialog (keys/KeyFiles.h). Titles and filters are captions of the
// window: they are shown in its language.

#include <vector>

#include "common/Prompts.h"
#include "keys/KeyFiles.h" // keyFileDialog(): the key files' dialog lives with the key files

namespace t6 {

// "OpenDialog1": any name may be chosen, no extension is added.
FileDialogRequest configOpenDialog();
// "SaveDialog1": the same, for saving.
FileDialogRequest configSaveDialog();

// The configuration file the window is compared with: its menu item's text.
FileDialogRequest compareFileDialog();
// Where the configuration sheet goes: a PDF file.
FileDialogRequest sheetSaveDialog();

// The texts of them all, for the dictionary's checks.
std::vector<std::string> fileDialogCaptions();

} // namespace t6
