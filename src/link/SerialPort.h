#pragma once
// The serial port as the rest of the program sees it. The window's adapter
// drives a real port; tests use an in-memory fake.

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/Bytes.h"

namespace t6 {

// A port failure, carrying its fixed text, for example
// "Unable to open com port (win error code: 2)".
class PortError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class SerialPort {
public:
    using Receiver = std::function<void(const Bytes& chunk)>;
    using LostHandler = std::function<void(const std::string& reason)>;

    virtual ~SerialPort() = default;

    // The system's serial port names, sorted in case-insensitive text order.
    // Throws PortError("Registry error (win error code: N)") when they cannot be listed.
    virtual std::vector<std::string> listPorts() = 0;

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
    // by then. The reason is the system's error text (platform encoding), or empty.
    virtual void setLostHandler(LostHandler handler) = 0;
};

} // namespace t6
