#include "common/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace t6 {
namespace {

// The file a name stands for at the end of its chain of symbolic links; the
// name itself when it is no link. A link may name a file that does not exist yet.
std::string followLinks(const std::string& name, int& error) {
    std::string path = name;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat ls {};
        if (::lstat(path.c_str(), &ls) != 0 || !S_ISLNK(ls.st_mode))
            return path;
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
        if (n <= 0)
            return path;
        target.resize(static_cast<std::size_t>(n));
        // A relative target is taken from the link's own folder.
        if (target.front() != '/') {
            const auto slash = path.rfind('/');
            if (slash != std::string::npos)
                target = path.substr(0, slash + 1) + target;
        }
        path = std::move(target);
    }
    error = ELOOP;
    return path;
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool inGroup(gid_t gid) {
    if (gid == ::getegid())
        return true;
    const int n = ::getgroups(0, nullptr);
    if (n <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(n));
    const int got = ::getgroups(n, groups.data());
    return got > 0 && std::find(groups.begin(), groups.begin() + got, gid) != groups.begin() + got;
}

// Whether the mode bits give the effective user every right of need (4 read,
// 2 write, 1 search), taken from the owner's, the group's or the others' bits
// as the user is the owner, in the group, or neither.
bool modeAllows(const struct stat& st, unsigned need) {
    unsigned rights = st.st_mode & 7;
    if (st.st_uid == ::geteuid())
        rights = (st.st_mode >> 6) & 7;
    else if (inGroup(st.st_gid))
        rights = (st.st_mode >> 3) & 7;
    return (rights & need) == need;
}

constexpr unsigned WriteRight = 2;
constexpr unsigned SearchRight = 1;

// The checks for the file a path resolves to; *existing is filled when it exists.
FileFailure checkResolved(const std::string& path, struct stat* existing, bool* exists) {
    *exists = false;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0) {
        *exists = true;
        if (S_ISDIR(st.st_mode))
            return {FileFault::IsDirectory, 0};
        if (!S_ISREG(st.st_mode))
            return {FileFault::NotRegularFile, 0};
        if (st.st_uid != ::geteuid())
            return {FileFault::OwnedByOtherUser, 0};
        if (!modeAllows(st, WriteRight))
            return {FileFault::NoWritePermission, 0};
        if (st.st_nlink > 1)
            return {FileFault::HasOtherLinks, 0};
        *existing = st;
    } else if (errno != ENOENT && errno != ENOTDIR) {
        return {FileFault::CannotWrite, errno};
    }
    struct stat folder {};
    if (::stat(folderOf(path).c_str(), &folder) != 0)
        return {FileFault::CannotCreate, errno};
    if (!S_ISDIR(folder.st_mode))
        return {FileFault::CannotCreate, ENOTDIR};
    if (!modeAllows(folder, WriteRight | SearchRight))
        return {FileFault::FolderNotWritable, 0};
    return {};
}

} // namespace

FileFailure checkFileWritable(const std::string& target) {
    int loop = 0;
    const std::string path = followLinks(target, loop);
    if (loop)
        return {FileFault::CannotCreate, loop};
    struct stat st {};
    bool exists = false;
    return checkResolved(path, &st, &exists);
}

FileFailure writeFileSafely(const std::string& target, std::string_view content) {
    int loop = 0;
    const std::string path = followLinks(target, loop);
    if (loop)
        return {FileFault::CannotCreate, loop};
    struct stat old {};
    bool existed = false;
    if (FileFailure refused = checkResolved(path, &old, &existed))
        return refused;

    std::string tmp = path + ".tmp-XXXXXX";
    const int fd = ::mkstemp(tmp.data());
    if (fd < 0)
        return {FileFault::CannotCreate, errno};
    auto fail = [&](int e) {
        ::close(fd);
        ::unlink(tmp.c_str());
        return FileFailure{FileFault::CannotWrite, e};
    };
    const char* p = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 && errno != EINVAL)
        return fail(errno);
    if (existed) {
        // A replaced file keeps its group (when the user may give it) and its permissions.
        struct stat mine {};
        if (::fstat(fd, &mine) == 0 && mine.st_gid != old.st_gid &&
            ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
            // It then takes the user's group, as any new file does.
        }
        ::fchmod(fd, old.st_mode & 07777);
    } else {
        // mkstemp makes the file private; a new file gets the usual permissions.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    if (::close(fd) != 0) {
        const int e = errno;
        ::unlink(tmp.c_str());
        return {FileFault::CannotWrite, e};
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        const int e = errno;
        ::unlink(tmp.c_str());
        return {FileFault::CannotWrite, e};
    }
    return {};
}

} // namespace t6
