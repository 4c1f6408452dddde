#include "core/ProgramFolders.h"

#include <cerrno>
#include <system_error>
#include <unistd.h>

#include "common/AtomicFile.h"
#include "i18n/Dictionary.h"

namespace t6 {

namespace fs = std::filesystem;

namespace {

// The dictionary is small; a larger file is not one.
constexpr std::size_t kMaxDictionaryBytes = 8u << 20;

constexpr const char* kDataName = "torvel6";

} // namespace

fs::path executableFolder() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec || self.empty())
        return {};
    return self.parent_path();
}

fs::path installedDataFolder(const fs::path& binFolder) {
    if (!binFolder.empty()) {
        const fs::path beside = binFolder.parent_path() / "share" / kDataName;
        std::error_code ec;
        if (fs::is_regular_file(beside / kDictionaryFileName, ec))
            return beside.lexically_normal();
    }
    return fs::path(T6_INSTALL_DATADIR);
}

fs::path installedDictionary(const fs::path& binFolder) {
    const fs::path file = installedDataFolder(binFolder) / kDictionaryFileName;
    std::error_code ec;
    return fs::is_regular_file(file, ec) ? file : fs::path();
}

fs::path userWorkingFolder(const char* xdgDataHome, const char* home) {
    // The data home is used only when absolute, as the desktop's rules ask.
    if (xdgDataHome && xdgDataHome[0] == '/')
        return fs::path(xdgDataHome) / kDataName;
    if (home && home[0] != '\0')
        return fs::path(home) / ".local" / "share" / kDataName;
    return {};
}

FileFailure prepareUserFolder(const fs::path& folder, const fs::path& installedDictionaryFile) {
    if (folder.empty())
        return {FileFault::NotFound, ENOENT};
    std::error_code ec;
    const bool made = fs::create_directories(folder, ec);
    if (ec)
        return {FileFault::CannotCreate, ec.value()};
    if (!fs::is_directory(folder, ec))
        return {FileFault::CannotCreate, ENOTDIR};
    if (made)
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, ec);
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return {FileFault::FolderNotWritable, errno};

    const fs::path dictionary = dictionaryPathIn(folder);
    const fs::file_status there = fs::symlink_status(dictionary, ec);
    if (fs::exists(there) || installedDictionaryFile.empty())
        return {};
    const FileRead installed =
        readRegularFile(installedDictionaryFile.string(), kMaxDictionaryBytes);
    if (installed.failure)
        return installed.failure;
    return writeFileSafely(dictionary.string(), installed.bytes);
}

} // namespace t6
