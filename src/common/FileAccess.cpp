#include "common/FileAccess.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

#include "common/Cp1251.h"

namespace t6 {

std::string fileFaultText(FileFault fault) {
    switch (fault) {
    case FileFault::None:
        return {};
    case FileFault::NotFound:
        return ru("Файл не найден");
    case FileFault::IsDirectory:
        return ru("Это папка, а не файл");
    case FileFault::NotRegularFile:
        return ru("Это не обычный файл (канал, устройство или сокет)");
    case FileFault::TooLarge:
        return ru("Файл слишком большой");
    case FileFault::NoReadPermission:
        return ru("Нет прав на чтение файла");
    case FileFault::ReadFailed:
        return ru("Файл не удалось прочитать");
    case FileFault::NoWritePermission:
        return ru("Файл защищён от записи");
    case FileFault::FolderNotWritable:
        return ru("Папка защищена от записи");
    case FileFault::OwnedByOtherUser:
        return ru("Файл принадлежит другому пользователю");
    case FileFault::HasOtherLinks:
        return ru("У файла есть другие имена (жёсткие ссылки)");
    case FileFault::CannotCreate:
        return ru("Не удалось создать файл");
    case FileFault::CannotWrite:
        return ru("Не удалось записать файл");
    }
    return {};
}

const std::vector<FileFault>& allFileFaults() {
    static const std::vector<FileFault> all{
        FileFault::NotFound,          FileFault::IsDirectory,       FileFault::NotRegularFile,
        FileFault::TooLarge,          FileFault::NoReadPermission,  FileFault::ReadFailed,
        FileFault::NoWritePermission, FileFault::FolderNotWritable, FileFault::OwnedByOtherUser,
        FileFault::HasOtherLinks,     FileFault::CannotCreate,      FileFault::CannotWrite};
    return all;
}

std::string fileFailureText(const FileFailure& failure,
                            const std::function<std::string(const std::string&)>& translate) {
    const std::string words = fileFaultText(failure.fault);
    std::string text = translate ? translate(words) : words;
    // The program's words say all there is to say, except where a system call
    // failed for a reason of its own (a full disk, an input/output error).
    const bool general = failure.fault == FileFault::ReadFailed ||
                         failure.fault == FileFault::CannotCreate ||
                         failure.fault == FileFault::CannotWrite;
    if (general && failure.error != 0)
        text += ": " + platformNameText(std::strerror(failure.error));
    return text;
}

namespace {

FileFailure failed(FileFault fault, int error = 0) {
    return FileFailure{fault, error};
}

// Why a path cannot be opened or examined, from the system's error number.
FileFailure openFailure(int e) {
    switch (e) {
    case ENOENT:
    case ENOTDIR:
        return failed(FileFault::NotFound);
    case EACCES:
    case EPERM:
        return failed(FileFault::NoReadPermission);
    case EISDIR:
        return failed(FileFault::IsDirectory);
    case ENXIO: // a socket, or a device without its hardware
        return failed(FileFault::NotRegularFile);
    default:
        return failed(FileFault::ReadFailed, e);
    }
}

std::optional<FileFailure> typeFailure(const struct stat& st) {
    if (S_ISDIR(st.st_mode))
        return failed(FileFault::IsDirectory);
    if (!S_ISREG(st.st_mode))
        return failed(FileFault::NotRegularFile);
    return std::nullopt;
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

} // namespace

FileRead readRegularFile(const std::string& path, std::size_t maxBytes) {
    FileRead r;
    // A regular file of at most maxBytes, or why not.
    auto examine = [maxBytes](const struct stat& st) -> FileFailure {
        if (auto f = typeFailure(st))
            return *f;
        if (static_cast<std::uintmax_t>(st.st_size) > maxBytes)
            return failed(FileFault::TooLarge);
        return {};
    };
    // What the name stands for is known before it is opened: a pipe would
    // block the opening, a device may act on being opened.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        r.failure = openFailure(errno);
        return r;
    }
    if ((r.failure = examine(st)))
        return r;
    // Something else may have been put in its place meanwhile: the opening
    // never waits, and the opened file is examined again.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        r.failure = openFailure(errno);
        return r;
    }
    if (::fstat(fd.get(), &st) != 0) {
        r.failure = failed(FileFault::ReadFailed, errno);
        return r;
    }
    if ((r.failure = examine(st)))
        return r;
    // One byte more than the limit tells a file that grew past it.
    const std::size_t want = maxBytes < SIZE_MAX ? maxBytes + 1 : maxBytes;
    r.bytes.resize(std::min<std::size_t>(static_cast<std::size_t>(st.st_size) + 1, want));
    std::size_t have = 0;
    for (;;) {
        if (have == r.bytes.size()) {
            if (have >= want)
                break;
            r.bytes.resize(std::min(want, std::max<std::size_t>(have * 2, 4096)));
        }
        const ssize_t n = ::read(fd.get(), r.bytes.data() + have, r.bytes.size() - have);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int e = errno;
            r.bytes.clear();
            r.failure = failed(FileFault::ReadFailed, e);
            return r;
        }
        if (n == 0)
            break;
        have += static_cast<std::size_t>(n);
    }
    if (have > maxBytes) {
        r.bytes.clear();
        r.failure = failed(FileFault::TooLarge);
        return r;
    }
    r.bytes.resize(have);
    return r;
}

} // namespace t6
