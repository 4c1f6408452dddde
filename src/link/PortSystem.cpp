#include "link/PortSystem.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <pwd.h>
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

std::string userName(uid_t id) {
    const passwd* pw = ::getpwuid(id);
    return pw && pw->pw_name ? pw->pw_name : std::to_string(id);
}

std::string groupName(gid_t id) {
    const group* g = ::getgrgid(id);
    return g && g->gr_name ? g->gr_name : std::to_string(id);
}

std::string processName(const fs::path& process) {
    std::ifstream in(process / "comm");
    std::string name;
    std::getline(in, name);
    return name;
}

} // namespace

std::string portFilePath(const std::string& name) {
    if (name.starts_with('/') || name.starts_with("./") || name.starts_with("../"))
        return name;
    return "/dev/" + name;
}

std::optional<PortFacts> portFacts(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    PortFacts f;
    std::error_code ec;
    const fs::path device = fs::canonical(path, ec);
    f.device = ec ? path : device.string();
    f.ownerId = st.st_uid;
    f.groupId = st.st_gid;
    f.mode = st.st_mode & 07777;
    f.owner = userName(st.st_uid);
    f.group = groupName(st.st_gid);
    f.userId = ::geteuid();
    f.sessionGroups.push_back(::getegid());
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        std::vector<gid_t> groups(static_cast<std::size_t>(count));
        const int got = ::getgroups(count, groups.data());
        for (int i = 0; i < got; ++i)
            f.sessionGroups.push_back(groups[static_cast<std::size_t>(i)]);
    }
    // The group database as it is now: a membership added since this session
    // began shows here and not above.
    if (const passwd* pw = ::getpwuid(f.userId); pw && pw->pw_name) {
        int n = 64;
        std::vector<gid_t> groups(static_cast<std::size_t>(n));
        if (::getgrouplist(pw->pw_name, pw->pw_gid, groups.data(), &n) < 0 && n > 0) {
            groups.resize(static_cast<std::size_t>(n));
            if (::getgrouplist(pw->pw_name, pw->pw_gid, groups.data(), &n) < 0)
                n = 0;
        }
        for (int i = 0; i < n; ++i)
            f.databaseGroups.push_back(groups[static_cast<std::size_t>(i)]);
    }
    return f;
}

PortAccess accessCause(const PortFacts& f) {
    PortAccess a;
    a.device = f.device;
    a.owner = f.owner;
    a.group = f.group;
    a.ownerId = f.ownerId;
    a.groupId = f.groupId;
    a.mode = f.mode;
    const bool ownerMay = (f.mode & 0600) == 0600;
    const bool groupMay = (f.mode & 0060) == 0060;
    const bool othersMay = (f.mode & 0006) == 0006;
    auto has = [](const std::vector<unsigned>& groups, unsigned id) {
        return std::find(groups.begin(), groups.end(), id) != groups.end();
    };
    if (f.userId == 0) {
        a.cause = AccessCause::Unexplained; // root is not kept out by mode bits
    } else if (f.userId == f.ownerId) {
        a.cause = ownerMay ? AccessCause::Unexplained : AccessCause::OwnerLacksRights;
    } else if (has(f.sessionGroups, f.groupId)) {
        a.cause = groupMay ? AccessCause::Unexplained : AccessCause::GroupLacksRights;
    } else if (othersMay) {
        a.cause = AccessCause::Unexplained;
    } else if (groupMay && f.groupId != 0) {
        // Root's group is never one to join for a port.
        a.cause =
            has(f.databaseGroups, f.groupId) ? AccessCause::NewLogin : AccessCause::NotInGroup;
    } else {
        a.cause = AccessCause::OwnerOnly;
    }
    return a;
}

OpenFailure diagnoseOpenFailure(const std::string& path, bool toolkitSaysRefused,
                                int fallbackCode) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {PortFault::NotFound, errno == 0 ? ENOENT : errno, {}, {}};
    if (S_ISDIR(st.st_mode))
        return {PortFault::NotAPort, EISDIR, {}, {}};
    if (!S_ISCHR(st.st_mode))
        return {PortFault::NotAPort, ENOTTY, {}, {}};
    // The effective user's rights, as the open itself was judged.
    if (::faccessat(AT_FDCWD, path.c_str(), R_OK | W_OK, AT_EACCESS) != 0 &&
        (errno == EACCES || errno == EPERM)) {
        const std::optional<PortFacts> facts = portFacts(path);
        PortAccess access = facts ? accessCause(*facts) : PortAccess{};
        std::string group = access.group;
        return {PortFault::NoPermission, EACCES, std::move(group), std::move(access)};
    }
    if (toolkitSaysRefused)
        return {PortFault::Busy, EBUSY, holderOf(path), {}};
    return {PortFault::Other, fallbackCode, {}, {}};
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
