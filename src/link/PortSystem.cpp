#include "link/PortSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace t6 {

namespace fs = std::filesystem;

namespace {

bool allDigits(const std::string& s) {
    if (s.empty())
        return false;
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return true;
}

std::string processName(const fs::path& process) {
    std::ifstream in(process / "comm");
    std::string name;
    std::getline(in, name);
    return name;
}

} // namespace

OpenFailure diagnoseOpenFailure(const std::string& path, bool toolkitSaysRefused,
                                int fallbackCode) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {PortFault::NotFound, errno == 0 ? ENOENT : errno, {}};
    // The effective user's rights, as the open itself was judged.
    if (::faccessat(AT_FDCWD, path.c_str(), R_OK | W_OK, AT_EACCESS) != 0 &&
        (errno == EACCES || errno == EPERM))
        return {PortFault::NoPermission, EACCES, accessGroupOf(path)};
    if (toolkitSaysRefused)
        return {PortFault::Busy, EBUSY, holderOf(path)};
    return {PortFault::Other, fallbackCode, {}};
}

std::string accessGroupOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && st.st_gid != 0 && (st.st_mode & S_IRGRP) &&
        (st.st_mode & S_IWGRP)) {
        if (const group* g = ::getgrgid(st.st_gid); g && g->gr_name)
            return g->gr_name;
    }
    return "dialout";
}

std::string holderOf(const std::string& path, const fs::path& procRoot) {
    std::error_code ec;
    const fs::path target = fs::weakly_canonical(path, ec);
    if (ec)
        return {};
    const pid_t self = ::getpid();
    for (fs::directory_iterator it(procRoot, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string pid = it->path().filename().string();
        if (!allDigits(pid) || std::stol(pid) == self)
            continue;
        std::error_code fdEc;
        for (fs::directory_iterator fd(it->path() / "fd", fdEc), fdEnd; !fdEc && fd != fdEnd;
             fd.increment(fdEc)) {
            std::error_code linkEc;
            const fs::path opened = fs::read_symlink(fd->path(), linkEc);
            if (!linkEc && opened == target)
                return processName(it->path());
        }
    }
    return {};
}

bool programRunning(const std::string& name, const fs::path& procRoot) {
    std::error_code ec;
    for (fs::directory_iterator it(procRoot, ec), end; !ec && it != end; it.increment(ec)) {
        if (allDigits(it->path().filename().string()) && processName(it->path()) == name)
            return true;
    }
    return false;
}

std::map<std::string, std::string> stableNames(const fs::path& folder) {
    std::map<std::string, std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code linkEc;
        if (!it->is_symlink(linkEc))
            continue;
        const fs::path device = fs::canonical(it->path(), linkEc);
        if (!linkEc)
            names.emplace(device.string(), it->path().string());
    }
    return names;
}

} // namespace t6
