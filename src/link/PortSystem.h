#pragma once
// What the operating system tells about a serial port beyond its name: why it
// could not be opened, who holds it, its stable name, the services known to
// take such adapters. Plain POSIX and /proc; nothing here opens a port (opening
// a serial port can switch its modem lines and reset what is connected).

#include <filesystem>
#include <map>
#include <string>

#include "link/SerialPort.h"

namespace t6 {

// Why a port that failed to open failed, worked out from the port file itself:
// nothing at the path; this user may not read and write it (the file's mode
// bits and groups); otherwise another opener holds it (an exclusive open or a
// lock file). Anything else keeps the toolkit's reason (Other with fallbackCode).
struct OpenFailure {
    PortFault fault = PortFault::Other;
    int code = 0;       // the errno value standing for the fault
    std::string detail; // the group that may use the port, or the program holding it
};
OpenFailure diagnoseOpenFailure(const std::string& path, bool toolkitSaysRefused, int fallbackCode);

// The group whose members may read and write the port file: its group when
// the group's mode bits allow both and it is not root's; "dialout" otherwise,
// the group serial adapters belong to on this system's family.
std::string accessGroupOf(const std::string& path);

// The name of a running program holding the file open, as far as this user
// may see (the programs of other users are hidden); empty when none is seen.
std::string holderOf(const std::string& path, const std::filesystem::path& procRoot = "/proc");

// Whether a program of that name (its process name, as "ModemManager") runs.
bool programRunning(const std::string& name, const std::filesystem::path& procRoot = "/proc");

// The stable names of the ports: each link in the folder (normally
// /dev/serial/by-id) by the canonical path of the device it names.
std::map<std::string, std::string> stableNames(const std::filesystem::path& folder);

} // namespace t6
