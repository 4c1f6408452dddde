#pragma once
// The commands of the command-line program that talk to the device, each
// driving the very operations of the window through the core. Each gives the
// program's exit code (cli/CommandContext.h); every failure has been told on
// standard error by then.

#include <string>
#include <vector>

namespace t6::cli {

class Session;

// "ports": the port list, one name a line, as the window fills its port box.
int portsCommand(Session& session);
// "identify [--port P]": the port search, or the probe of one port; prints
// the port and the device's version text.
int identifyCommand(Session& session, const std::string& port);
// "signal --port P": the signal level as the window shows it.
int signalCommand(Session& session, const std::string& port);

// "read --port P --out FILE": the read chain, then FILE saved as the window
// saves a configuration. replace: an existing FILE is replaced.
int readCommand(Session& session, const std::string& port, const std::string& file, bool replace);
// "write --port P --in FILE [--verify] [--accept-changes] [--file-clock]":
// FILE loaded as the window loads it (a file the window does not take whole
// is refused, its differences listed, unless acceptChanges), the device's
// date and time from the computer (from the file with fileClock), the write
// chain, and with verify the device read back and compared with what was sent.
struct WriteOptions {
    bool verify = false;
    bool acceptChanges = false;
    bool fileClock = false;
    // NAME=VALUE: fields set after the file's load, in this order, under the
    // window's rules; no file is written.
    std::vector<std::string> sets;
};
int writeCommand(Session& session, const std::string& port, const std::string& file,
                 const WriteOptions& options);

// "keys read --port P --out FILE.key" and "keys write --port P --in FILE.key".
int keysReadCommand(Session& session, const std::string& port, const std::string& file);
int keysWriteCommand(Session& session, const std::string& port, const std::string& file);

} // namespace t6::cli
