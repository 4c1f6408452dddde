#include "common/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace t6 {

std::string writeFileAtomically(const std::string& path, std::string_view content) {
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
    // mkstemp makes the file private; a saved file gets the usual permissions.
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
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
