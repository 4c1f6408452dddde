#include "cli/WorkFolder.h"

#include <cerrno>
#include <cstring>
#include <system_error>
#include <unistd.h>

#include "common/Cp1251.h"
#include "common/FileAccess.h"
#include "core/ProgramFolders.h"

namespace t6::cli {

namespace fs = std::filesystem;

namespace {

WorkFolder problem(fs::path path, WorkFolder::Problem p, int error = 0) {
    return {std::move(path), p, error};
}

// What stands at path: a folder the user may add files to, or what is wrong.
WorkFolder usable(const fs::path& path) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (!fs::exists(st))
        return problem(path, WorkFolder::Problem::NotFound);
    if (!fs::is_directory(st))
        return problem(path, WorkFolder::Problem::NotAFolder);
    if (::access(path.c_str(), W_OK | X_OK) != 0)
        return problem(path, WorkFolder::Problem::NotWritable, errno);
    return {path};
}

} // namespace

WorkFolder chooseWorkFolder(const std::string& given, const char* xdgDataHome, const char* home,
                            const fs::path& installedDictionary) {
    std::error_code ec;
    if (!given.empty()) {
        fs::path path = fs::absolute(given, ec);
        if (ec)
            path = given;
        return usable(path);
    }
    const fs::path folder = userWorkingFolder(xdgDataHome, home);
    if (folder.empty())
        return problem({}, WorkFolder::Problem::NoHome);
    const FileFailure prepared = prepareUserFolder(folder, installedDictionary);
    // A dictionary that could not be copied is no reason to stop: the
    // installed one is read in its place.
    const WorkFolder there = usable(folder);
    if (there || !prepared)
        return there;
    if (there.problem == WorkFolder::Problem::NotFound)
        return problem(folder, WorkFolder::Problem::CannotCreate, prepared.error);
    return there;
}

std::string workFolderProblemText(const WorkFolder& folder,
                                  const std::function<std::string(const std::string&)>& translate) {
    auto tr = [&translate](const char* utf8) { return translate(ru(utf8)); };
    std::string why;
    switch (folder.problem) {
    case WorkFolder::Problem::None:
        return {};
    case WorkFolder::Problem::NoHome:
        return tr(
            "Рабочая папка не задана: нет ни XDG_DATA_HOME, ни HOME; её называет --work-dir.");
    case WorkFolder::Problem::NotFound:
        why = tr("Такой папки нет");
        break;
    case WorkFolder::Problem::NotAFolder:
        why = tr("Это не папка");
        break;
    case WorkFolder::Problem::NotWritable:
        why = translate(fileFaultText(FileFault::FolderNotWritable));
        break;
    case WorkFolder::Problem::CannotCreate:
        why = tr("Не удалось создать папку");
        if (folder.error != 0)
            why += ": " + platformNameText(std::strerror(folder.error));
        break;
    }
    return tr("Рабочая папка недоступна:") + " " + platformNameText(folder.path.string()) + "\r\n" +
           why;
}

} // namespace t6::cli
