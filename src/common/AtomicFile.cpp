#include "common/AtomicFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace t6 {

std::string writeFileAtomically(const std::string& target, std::string_view content) {
    // A symbolic link keeps naming the file it names: the file behind it is replaced.
    std::string path = target;
    {
        char resolved[PATH_MAX];
        struct stat ls {};
        if (::lstat(target.c_str(), &ls) == 0 && S_ISLNK(ls.st_mode) &&
            ::realpath(target.c_str(), resolved))
            path = resolved;
    }
    // A replaced file keeps its permissions; a new one gets the usual ones.
    struct stat old {};
    const bool existed = ::stat(path.c_str(), &old) == 0;
    std::string tmp = path + ".tmp-XXXXXX";
    int fd = ::mkstemp(tmp.data());
    if (fd < 0)
        return std::string("Cannot create file \"") + path + "\". " + std::strerror(errno);
    auto fail = [&](int e) {
        ::close(fd);
        ::unlink(tmp.c_str());
        return std::string("Cannot write file \"") + path + "\". " + std::strerror(e);
    };
    const char* p = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
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
        ::fchmod(fd, old.st_mode & 07777);
    } else {
        // mkstemp makes the file private.
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    if (::close(fd) != 0) {
        int e = errno;
        ::unlink(tmp.c_str());
        return std::string("Cannot write file \"") + path + "\". " + std::strerror(e);
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        int e = errno;
        ::unlink(tmp.c_str());
        return std::string("Cannot write file \"") + path + "\". " + std::strerror(e);
    }
    return {};
}

} // namespace t6
