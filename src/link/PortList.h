#pragma once
// The list of serial port names offered to the user and probed by the port search.

#include <string>
#include <vector>

namespace t6 {

// The names in case-insensitive text order (COM10 comes before COM2), each once.
// Names differing only in letter case are both kept: on some systems they are
// different ports.
std::vector<std::string> sortPortNames(std::vector<std::string> names);

// The paths listed in the environment variable TORVEL6_EXTRA_PORTS, separated by
// colons, empty items skipped. Lets a pseudo-terminal (the simulated device, a
// serial-over-network bridge) be offered like a port the system lists.
std::vector<std::string> extraPortsFromEnvironment();

// Whether TORVEL6_PORTS is set: then the port list is exactly its paths
// (colon-separated, as above) and the system's own ports are not offered,
// so that a search asks only the ports given.
bool onlyListedPorts();
std::vector<std::string> listedPortsFromEnvironment();

} // namespace t6
