#pragma once
// Files are never half-written: the content goes to a temporary file beside the
// target, which is renamed into place only when it is complete.
//
// A file is only replaced when the user may write it: its mode bits (and its
// folder's) are asked for the effective user, as the file's owner would expect,
// even when the program runs with the rights to ignore them. A rename gives the
// name a new file, so a file that belongs to someone else (it would become
// ours) or that has other names (hard links, which would keep the old content)
// is not replaced either: writing it in place instead could leave it
// half-written. A refused save leaves the file exactly as it was.
//
// A symbolic link keeps naming the file it names: the file behind it is
// replaced (or created, when the link names nothing yet).

#include <string>
#include <string_view>

#include "common/FileAccess.h"

namespace t6 {

// Writes the whole content; an empty failure on success, else why nothing was
// written (the previous file, if any, is then left as it was).
FileFailure writeFileSafely(const std::string& path, std::string_view content);

// The checks writeFileSafely makes before it writes: whether the file at path,
// or a new file there, may be written. Lets a caller refuse before it asks the
// user anything.
FileFailure checkFileWritable(const std::string& path);

} // namespace t6
