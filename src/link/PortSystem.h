#pragma once
// What the operating system tells about a serial port beyond its name: why it
// could not be opened, who holds it, its stable name, the services known to
// take such adapters. Plain POSIX and /proc; nothing here opens a port (opening
// a serial port can switch its modem lines and reset what is connected).

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "link/SerialPort.h"

namespace t6 {

// Why a port that failed to open failed, worked out from the port file itself:
// nothing at the path; a file that is no serial port; this user may not read
// and write it (why, from its owner, group and mode and the user's groups);
// otherwise another opener holds it (an exclusive open or a lock file).
// Anything else keeps the toolkit's reason (Other with fallbackCode).
struct OpenFailure {
    PortFault fault = PortFault::Other;
    int code = 0;       // the errno value standing for the fault
    std::string detail; // the group that may use the port, or the program holding it
    PortAccess access;  // for NoPermission
};
OpenFailure diagnoseOpenFailure(const std::string& path, bool toolkitSaysRefused, int fallbackCode);

// The file a port name stands for: a path as it is ("/dev/ttyUSB0",
// "./port", "../port"), any other name under /dev ("ttyUSB0").
std::string portFilePath(const std::string& name);

// What decides whether this user may read and write a port file.
struct PortFacts {
    std::string device; // the port file, links followed
    unsigned ownerId = 0;
    std::string owner;
    unsigned groupId = 0;
    std::string group;
    unsigned mode = 0;                    // the permission bits
    unsigned userId = 0;                  // the effective user of this process
    std::vector<unsigned> sessionGroups;  // this process's group and supplementary groups
    std::vector<unsigned> databaseGroups; // the user's groups in the group database now
};
// The facts of a port file that exists, from this system.
std::optional<PortFacts> portFacts(const std::string& path);
// Why the mode bits keep this user from the port. The kernel looks at the
// owner's bits for the owner, the group's bits for a member of the group in
// this session, the others' bits for the rest.
PortAccess accessCause(const PortFacts& facts);

// The name of a running program holding the file open, as far as this user
// may see (the programs of other users are hidden); empty when none is seen.
std::string holderOf(const std::string& path, const std::filesystem::path& procRoot = "/proc");

// Whether a program of that name (its process name, as "ModemManager") runs.
bool programRunning(const std::string& name, const std::filesystem::path& procRoot = "/proc");

// The stable names of the ports: each link in the folder (normally
// /dev/serial/by-id) by the canonical path of the device it names.
std::map<std::string, std::string> stableNames(const std::filesystem::path& folder);

} // namespace t6
