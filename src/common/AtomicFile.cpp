#include "common/AtomicFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace t6 {
namespace {

// Links followed before a chain counts as a loop, as the system counts them.
constexpr int MaxLinkHops = 40;

// The file a name stands for at the end of its chain of symbolic links; the
// name itself when it is no link. A link may name a file that does not exist yet.
std::string followLinks(const std::string& name, int& error) {
    std::string path = name;
    for (int hops = 0; hops < MaxLinkHops; ++hops) {
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

// Temporary names: "." + the target's name + ".tmp-" + the writer's process
// number + "-" + sixteen hexadecimal digits.
constexpr std::string_view TmpMark = ".tmp-";
constexpr std::size_t NameMax = 255;
constexpr std::size_t PidDigitsMax = 10;
constexpr std::size_t HexDigits = 16;
// Names drawn before a save gives up on finding a free one.
constexpr int NameTries = 100;

// A leftover whose writer's number is taken by a running process is removed
// once it has not changed for this long: no save takes so long.
constexpr std::time_t StaleSeconds = 600;

std::atomic<bool> namelessAllowed{true};

// The folder part of a path with its final slash; empty for a bare name.
std::string folderPrefixOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The part every temporary name of a target begins with. A long name is cut so
// that the temporary name stays within the system's limit, never inside a
// UTF-8 sequence.
std::string temporaryPrefix(const std::string& path) {
    const auto slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t room = NameMax - 1 - TmpMark.size() - PidDigitsMax - 1 - HexDigits;
    std::size_t keep = std::min(name.size(), room);
    while (keep > 0 && keep < name.size() &&
           (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
        --keep;
    return "." + name.substr(0, keep) + std::string(TmpMark);
}

std::string temporaryName(const std::string& prefix) {
    static std::atomic<std::uint64_t> counter{0};
    const auto ticks =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    std::uint64_t x = ticks ^ (static_cast<std::uint64_t>(::getpid()) << 40) ^
                      (counter.fetch_add(1) * 0x9E3779B97F4A7C15ull);
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    x ^= x >> 31;
    char tail[48];
    std::snprintf(tail, sizeof tail, "%ld-%016llx", static_cast<long>(::getpid()),
                  static_cast<unsigned long long>(x));
    return prefix + tail;
}

// Whether name is exactly a temporary name with this prefix; *pid is its writer.
bool isTemporaryName(std::string_view name, std::string_view prefix, pid_t* pid) {
    if (name.substr(0, prefix.size()) != prefix)
        return false;
    name.remove_prefix(prefix.size());
    const auto dash = name.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash > PidDigitsMax || name[0] == '0' ||
        name.size() - dash - 1 != HexDigits)
        return false;
    long long number = 0;
    for (std::size_t i = 0; i < dash; ++i) {
        if (name[i] < '0' || name[i] > '9')
            return false;
        number = number * 10 + (name[i] - '0');
    }
    for (const char c : name.substr(dash + 1)) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    if (number > INT_MAX)
        return false;
    *pid = static_cast<pid_t>(number);
    return true;
}

// Removes what killed saves of the target left in its folder: the user's own
// regular files of the target's temporary names whose writer is gone, or that
// have not changed for long. A save of this process in another thread may be
// writing one of them, so those are only removed when stale.
void removeLeftovers(const std::string& path, const std::string& prefix) {
    DIR* folder = ::opendir(folderOf(path).c_str());
    if (!folder)
        return; // a folder the user may not list keeps its leftovers
    const int fd = ::dirfd(folder);
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(folder)) {
        pid_t writer = 0;
        if (!isTemporaryName(entry->d_name, prefix, &writer))
            continue;
        struct stat st {};
        if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != ::geteuid())
            continue;
        const bool gone = writer != ::getpid() && ::kill(writer, 0) != 0 && errno == ESRCH;
        if (gone || now - st.st_mtime >= StaleSeconds)
            ::unlinkat(fd, entry->d_name, 0);
    }
    ::closedir(folder);
}

// Writes the content to a temporary file, gives it what the target should have
// and flushes both to the disk; 0, or the error number.
int fillTemporary(int fd, std::string_view content, bool existed, const struct stat& old) {
    const char* p = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    if (existed) {
        // A replaced file keeps its group (when the user may give it) and its
        // permissions; a new one was made with the usual permissions.
        struct stat mine {};
        if (::fstat(fd, &mine) == 0 && mine.st_gid != old.st_gid &&
            ::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
            // It then takes the user's group, as any new file does.
        }
        ::fchmod(fd, old.st_mode & 07777);
    }
    // Some file systems cannot flush and say so; they are saved all the same.
    if (::fsync(fd) != 0 && errno != EINVAL)
        return errno;
    return 0;
}

// Renames the complete temporary file over the target, then flushes the folder
// so that the rename survives a power cut. Once renamed the new content is in
// place: a folder that cannot be flushed does not make the save a failure.
FileFailure renameIntoPlace(const std::string& tmp, const std::string& path) {
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        const int e = errno;
        ::unlink(tmp.c_str());
        return {FileFault::CannotWrite, e};
    }
    const int folder = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return {};
}

// The save through a temporary file named from the start.
FileFailure saveNamed(const std::string& path, const std::string& prefix, std::string_view content,
                      bool existed, const struct stat& old) {
    const std::string folder = folderPrefixOf(path);
    std::string tmp;
    int fd = -1;
    for (int tries = 0; fd < 0 && tries < NameTries; ++tries) {
        tmp = folder + temporaryName(prefix);
        fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, existed ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST)
            return {FileFault::CannotCreate, errno};
    }
    if (fd < 0)
        return {FileFault::CannotCreate, EEXIST};
    if (const int e = fillTemporary(fd, content, existed, old)) {
        ::close(fd);
        ::unlink(tmp.c_str());
        return {FileFault::CannotWrite, e};
    }
    if (::close(fd) != 0) {
        const int e = errno;
        ::unlink(tmp.c_str());
        return {FileFault::CannotWrite, e};
    }
    return renameIntoPlace(tmp, path);
}

#ifdef O_TMPFILE
// Names a file that has none; 0, or the error number.
int giveName(int fd, const std::string& tmp) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, tmp.c_str(), AT_SYMLINK_FOLLOW) == 0)
        return 0;
    const int viaProc = errno;
    if (viaProc == EEXIST)
        return viaProc;
    // Without /proc only a process allowed to search any folder may do it.
    if (::linkat(fd, "", AT_FDCWD, tmp.c_str(), AT_EMPTY_PATH) == 0)
        return 0;
    return errno == EEXIST ? EEXIST : viaProc;
}

// The save through a file that is only named when complete. *named is false
// when it could not be named where a named file could still be made.
FileFailure saveNameless(int fd, const std::string& path, const std::string& prefix,
                         std::string_view content, bool existed, const struct stat& old,
                         bool* named) {
    *named = true;
    if (const int e = fillTemporary(fd, content, existed, old)) {
        ::close(fd);
        return {FileFault::CannotWrite, e};
    }
    const std::string folder = folderPrefixOf(path);
    std::string tmp;
    int e = EEXIST;
    for (int tries = 0; e == EEXIST && tries < NameTries; ++tries) {
        tmp = folder + temporaryName(prefix);
        e = giveName(fd, tmp);
    }
    if (e != 0) {
        ::close(fd);
        // No /proc and no right to do without: the named way still works.
        *named = e != ENOENT;
        return {FileFault::CannotWrite, e};
    }
    // Renamed at once, so that a kill seldom finds the name. The content is
    // already on the disk: closing has nothing left to report.
    const FileFailure result = renameIntoPlace(tmp, path);
    ::close(fd);
    return result;
}
#endif

} // namespace

void allowNamelessTemporaryFiles(bool allow) {
    namelessAllowed = allow;
}

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

    const std::string prefix = temporaryPrefix(path);
    removeLeftovers(path, prefix);
#ifdef O_TMPFILE
    if (namelessAllowed) {
        // umask applies to the mode of a new file; a replaced one takes the old mode.
        const int fd =
            ::open(folderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, existed ? 0600 : 0666);
        if (fd >= 0) {
            bool named = true;
            const FileFailure result =
                saveNameless(fd, path, prefix, content, existed, old, &named);
            if (named)
                return result;
        } else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            return {FileFault::CannotCreate, errno};
        }
    }
#endif
    return saveNamed(path, prefix, content, existed, old);
}

} // namespace t6
