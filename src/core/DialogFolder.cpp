#include "core/DialogFolder.h"

#include <cstdlib>
#include <string>
#include <system_error>

#include "common/AtomicFile.h"
#include "core/ProgramFolders.h"

namespace t6 {

namespace fs = std::filesystem;

namespace {

constexpr const char* kRememberedName = "lastfolder";
// A path is short; a larger file is not one of ours.
constexpr std::size_t kMaxRememberedBytes = 4096;

// Whether path is base or lies inside it, compared by their components.
bool within(const fs::path& path, const fs::path& base) {
    if (base.empty())
        return false;
    const fs::path p = path.lexically_normal();
    const fs::path b = base.lexically_normal();
    auto pi = p.begin();
    for (auto bi = b.begin(); bi != b.end(); ++bi, ++pi) {
        if (bi->empty() && std::next(bi) == b.end())
            break; // a trailing separator
        if (pi == p.end() || *pi != *bi)
            return false;
    }
    return true;
}

// The value of a line "XDG_DOCUMENTS_DIR=..." with its quotes and escapes
// taken away.
std::string unquoted(std::string_view value) {
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t' || value.back() == '\r'))
        value.remove_suffix(1);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size())
            ++i;
        out += value[i];
    }
    return out;
}

const char* env(const char* name) {
    const char* v = std::getenv(name);
    return v && v[0] != '\0' ? v : nullptr;
}

} // namespace

fs::path dialogStartFolder(const DialogFolderInputs& in, const IsFolder& isFolder) {
    for (const fs::path& candidate : {in.remembered, in.documents, in.home}) {
        if (candidate.empty() || !candidate.is_absolute() || within(candidate, in.dataFolder))
            continue;
        if (isFolder(candidate))
            return candidate;
    }
    return {};
}

fs::path documentsFolderIn(std::string_view userDirs, const fs::path& home) {
    const std::string_view key = "XDG_DOCUMENTS_DIR=";
    fs::path found;
    while (!userDirs.empty()) {
        const std::size_t end = userDirs.find('\n');
        std::string_view line = userDirs.substr(0, end);
        userDirs = end == std::string_view::npos ? std::string_view() : userDirs.substr(end + 1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        if (line.substr(0, key.size()) != key)
            continue;
        const std::string value = unquoted(line.substr(key.size()));
        const std::string homeMark = "$HOME";
        // The last line that names it counts, as in a shell.
        const std::string rest = value.rfind(homeMark, 0) == 0 ? value.substr(homeMark.size()) : "";
        if (value.rfind(homeMark, 0) == 0 && !home.empty() && (rest.empty() || rest[0] == '/')) {
            found = fs::path(home.string() + rest).lexically_normal();
        } else if (!value.empty() && value[0] == '/') {
            found = fs::path(value).lexically_normal();
        } else {
            found.clear();
        }
    }
    return found;
}

fs::path rememberedFolderFile(const fs::path& dataFolder) {
    return dataFolder.empty() ? fs::path() : dataFolder / kRememberedName;
}

fs::path readRememberedFolder(const fs::path& dataFolder) {
    const fs::path file = rememberedFolderFile(dataFolder);
    if (file.empty())
        return {};
    const FileRead read = readRegularFile(file.string(), kMaxRememberedBytes);
    if (read.failure || read.bytes.empty() || read.bytes[0] != '/')
        return {};
    return fs::path(read.bytes);
}

FileFailure rememberFolder(const fs::path& dataFolder, const fs::path& folder) {
    if (dataFolder.empty())
        return {FileFault::NotFound, 0};
    // A file taken from the data folder (the backup, say) leaves the kept folder as it was.
    if (!folder.is_absolute() || within(folder, dataFolder))
        return {};
    std::error_code ec;
    if (fs::create_directories(dataFolder, ec))
        fs::permissions(dataFolder, fs::perms::owner_all, fs::perm_options::replace, ec);
    if (ec)
        return {FileFault::CannotCreate, ec.value()};
    return writeFileSafely(rememberedFolderFile(dataFolder).string(), folder.string());
}

DialogFolderInputs dialogFolderInputsFromEnvironment() {
    DialogFolderInputs in;
    const char* home = env("HOME");
    if (home)
        in.home = home;
    in.dataFolder = userWorkingFolder(env("XDG_DATA_HOME"), home);
    in.remembered = readRememberedFolder(in.dataFolder);
    if (const char* docs = env("XDG_DOCUMENTS_DIR"); docs && docs[0] == '/') {
        in.documents = docs;
        return in;
    }
    fs::path config;
    if (const char* c = env("XDG_CONFIG_HOME"); c && c[0] == '/')
        config = c;
    else if (home)
        config = fs::path(home) / ".config";
    if (!config.empty()) {
        const FileRead dirs = readRegularFile((config / "user-dirs.dirs").string(), 64 * 1024);
        if (!dirs.failure)
            in.documents = documentsFolderIn(dirs.bytes, in.home);
    }
    if (in.documents.empty() && home)
        in.documents = fs::path(home) / "Documents";
    return in;
}

} // namespace t6
