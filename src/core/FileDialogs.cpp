#include "core/FileDialogs.h"

#include "common/Cp1251.h"

namespace t6 {

FileDialogRequest configOpenDialog() {
    return {ru("Загрузить конфигурацию из файла"), {}, {}, {}};
}

FileDialogRequest configSaveDialog() {
    return {ru("Сохранить конфигурацию в файл"), {}, {}, {}};
}

FileDialogRequest compareFileDialog() {
    return {ru("Сравнить с файлом…"), {}, {}, {}};
}

FileDialogRequest sheetSaveDialog() {
    return {ru("Лист настроек (PDF)…"), ru("PDF (*.pdf)"), "pdf", {}};
}

std::vector<std::string> fileDialogCaptions() {
    std::vector<std::string> texts;
    for (const FileDialogRequest& s : {configOpenDialog(), configSaveDialog(), keyFileDialog(),
                                       compareFileDialog(), sheetSaveDialog()}) {
        texts.push_back(s.title);
        if (!s.filter.empty())
            texts.push_back(s.filter);
    }
    return texts;
}

} // namespace t6
