#pragma once
// Files are never half-written: the content goes to a temporary file beside the
// target, which is renamed into place only when it is complete and flushed to
// the disk, and the folder is flushed after the rename, so that a power cut
// leaves the old file or the new one.
//
// A process killed during a save leaves the old file and, as a rule, nothing
// else: where the system allows it the temporary file has no name while it is
// written and is only named for the rename. Where it must have a name from the
// start (some file systems), or when the kill falls between naming and
// renaming, the name left behind is ".NAME.tmp-PID-XXXXXXXXXXXXXXXX" (NAME the
// target's name, shortened when too long for the system; PID the writing
// process; sixteen hexadecimal digits). The next save of the same target
// removes such a file of the user's when its writer no longer runs, or when it
// has not changed for ten minutes (the number may then belong to another
// process). No other file is ever removed.
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

// Whether a save may write to a file without a name first (on by default). Off,
// every save takes the way of the file systems that refuse that: for tests.
void allowNamelessTemporaryFiles(bool allow);

} // namespace t6
