#pragma once
// The serial port as the rest of the program sees it. The window's adapter
// drives a real port; tests use an in-memory fake.

#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "common/Bytes.h"

namespace t6 {

// Why a port could not be used, as far as the adapter can tell.
enum class PortFault {
    Other,        // the port failed (the text says how)
    NotFound,     // nothing of that name
    NoPermission, // this user may not open it
    Busy,         // another program holds it
    NotAPort,     // the name is a file, but no serial port
};

// Why this user may not open a port file, as the file's owner, group and mode
// bits and the user's own groups tell it.
enum class AccessCause {
    Unexplained,      // the mode bits allow it (or the user is root): something else refuses
    NotInGroup,       // the port's group may read and write it; the user is not a member
    NewLogin,         // the user was added to that group after this session began
    GroupLacksRights, // the user is in the port's group, which may not read and write it
    OwnerLacksRights, // the user owns the port, and its owner may not read and write it
    OwnerOnly,        // neither a group the user could join nor everyone may use it
};

struct PortAccess {
    AccessCause cause = AccessCause::Unexplained;
    std::string device; // the port file, links followed
    std::string owner;  // the owner's name (its number when it has none)
    std::string group;  // the group's name (its number when it has none)
    unsigned ownerId = 0;
    unsigned groupId = 0;
    unsigned mode = 0; // the permission bits, as 0660
};

// A port failure, carrying its fixed text, for example
// "Unable to open com port (win error code: 2)", and what the adapter worked
// out: the kind of fault, the error number in the text, and a detail (for
// NoPermission the group that may use the port, for Busy the program holding
// it when the system tells).
class PortError : public std::runtime_error {
public:
    explicit PortError(const std::string& text, PortFault fault = PortFault::Other, int code = 0,
                       std::string detail = {}, PortAccess access = {})
        : std::runtime_error(text), fault_(fault), code_(code), detail_(std::move(detail)),
          access_(std::move(access)) {}
    PortFault fault() const { return fault_; }
    int code() const { return code_; }
    const std::string& detail() const { return detail_; }
    // For NoPermission: why, from the port file and the user's groups.
    const PortAccess& access() const { return access_; }

private:
    PortFault fault_;
    int code_;
    std::string detail_;
    PortAccess access_;
};

// What the system tells about a listed port.
struct PortDetails {
    std::string name;   // as listed (a stable name when the port has one)
    std::string device; // the device path, when it differs from the name
    std::string maker;
    std::string product;
    int vendorId = -1; // USB vendor and product, -1 when not a USB adapter
    int productId = -1;
};

class SerialPort {
public:
    using Receiver = std::function<void(const Bytes& chunk)>;
    using LostHandler = std::function<void(int code)>;

    virtual ~SerialPort() = default;

    // The system's serial port names, sorted in case-insensitive text order.
    // Throws PortError("Registry error (win error code: N)") when they cannot be listed.
    virtual std::vector<std::string> listPorts() = 0;

    // What the system told about the ports of the last listPorts(), in its
    // order; empty when it tells nothing (a port without details is left out).
    virtual std::vector<PortDetails> portDetails() const { return {}; }

    // Setting another name while open closes the port and opens the new one;
    // while closed it only records the name.
    virtual void setPortName(const std::string& name) = 0;
    virtual std::string portName() const = 0;

    // Opens the port for exclusive use at 38400 8N1, DTR and RTS off, no flow
    // control. Does nothing when open. Throws
    // PortError("Unable to open com port (win error code: N)"); the port stays closed.
    virtual void open() = 0;
    virtual bool isOpen() const = 0;

    // Writes all bytes and returns when the driver has taken them, or the write
    // time-out (100 ms per byte plus 1000 ms) has passed. Empty writes nothing.
    // Throws PortError("WriteFile function failed (win error code: N)").
    virtual void write(const Bytes& bytes) = 0;

    // Drops what waits in the driver's receive and transmit queues.
    // Throws PortError("PurgeComm function failed (win error code: N)").
    virtual void purge() = 0;

    // Aborts pending transfers and closes. Does nothing when closed.
    virtual void close() = 0;

    // Called on the user-interface thread with each chunk of received bytes.
    virtual void setReceiver(Receiver receiver) = 0;

    // Called when an open port vanishes (adapter unplugged); the port is closed
    // by then. The code is the system's error number for it (EIO for a failed
    // read), or 0 when the system gave none; the program words it.
    virtual void setLostHandler(LostHandler handler) = 0;
};

} // namespace t6
