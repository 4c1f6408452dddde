#pragma once
// The window's file dialogs: the configuration files' open and save dialogs
// and the key files' open dialog. Titles and filters are captions of the
// window: they are shown in its language.

#include <vector>

#include "common/Prompts.h"

namespace t6 {

// "OpenDialog1": any name may be chosen, no extension is added.
FileDialogSpec configOpenDialog();
// "SaveDialog1": the same, for saving.
FileDialogSpec configSaveDialog();
// The key files' dialog, used to read and to save: every file, or names ending in ".key".
FileDialogSpec keyFileDialog();

// The texts of all three, for the dictionary's checks.
std::vector<std::string> fileDialogCaptions();

} // namespace t6
