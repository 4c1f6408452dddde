#pragma once
// Reading a file the user names, and the reasons a file cannot be read or
// written, as codes the callers word through the dictionary.
//
// A name the user types or picks may name anything: a folder, a named pipe
// that blocks whoever opens it until a writer comes, a device that never ends
// (/dev/zero), a file of gigabytes. Only regular files are read, without
// blocking, and never more than the caller's limit.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace t6 {

enum class FileFault {
    None,
    NotFound,          // nothing at the path
    IsDirectory,       // a folder, not a file
    NotRegularFile,    // a pipe, a device or a socket
    TooLarge,          // more bytes than the caller reads
    NoReadPermission,  // the user may not read it
    ReadFailed,        // the system could not read it
    NoWritePermission, // the file's mode bits deny this user writing
    FolderNotWritable, // the folder's mode bits deny this user adding or renaming files
    OwnedByOtherUser,  // replacing it would take it from its owner
    HasOtherLinks,     // replacing it would separate it from its other names (hard links)
    CannotCreate,      // the temporary file beside it could not be made
    CannotWrite,       // writing, flushing or renaming into place failed
};

// A failure of a file operation: what went wrong and, when a system call
// failed, its error number (0 otherwise).
struct FileFailure {
    FileFault fault = FileFault::None;
    int error = 0;
    explicit operator bool() const { return fault != FileFault::None; }
    bool operator==(const FileFailure&) const = default;
};

// The reason in the program's own plain words: Windows-1251, a dictionary key.
// Empty for FileFault::None.
std::string fileFaultText(FileFault fault);

// Every fault that has a text, for the dictionary's checks.
const std::vector<FileFault>& allFileFaults();

// The reason as one line: the words through translate (none shows them as
// written), followed by the system's error text where the words alone are too
// general ("Не удалось записать файл: No space left on device").
std::string fileFailureText(const FileFailure& failure,
                            const std::function<std::string(const std::string&)>& translate = {});

struct FileRead {
    std::string bytes;   // the whole file when failure is empty
    FileFailure failure; // why nothing was read
};

// Reads a whole regular file of at most maxBytes bytes. Anything else at the
// path is refused at once, without reading and without waiting: a pipe or a
// device is not opened for reading at all, and a file that grows past the
// limit while it is read is refused too.
FileRead readRegularFile(const std::string& path, std::size_t maxBytes);

} // namespace t6
