#pragma once
// The serial port of the program, over QSerialPort: 38400 baud, 8 data bits,
// no parity, 1 stop bit, no flow control, DTR and RTS held off, exclusive use.
//
// Failures carry the fixed texts of SerialPort with an operating system error
// code. QSerialPort reports kinds of error rather than the system's code, so
// each kind stands for the errno value of its usual cause:
//
//   DeviceNotFoundError         2  ENOENT     no such port
//   PermissionError            13  EACCES     no access, or held by another opener
//   OpenError                  16  EBUSY      already open
//
// A port that does not open is looked at once more: absent it fails with 2,
// a file that is no terminal with 25 (a folder 21), with no access for this
// user with 13, held by another opener with 16, whatever the kind.
//   NotOpenError                9  EBADF      the port is closed
//   ResourceError, ReadError,
//   WriteError, UnknownError    5  EIO        the port failed or vanished
//   TimeoutError              110  ETIMEDOUT  the write time-out passed
//   UnsupportedOperationError  95  EOPNOTSUPP the port cannot do it
//
// Reception runs on the thread of the object (the user-interface thread): each
// readyRead reads everything queued and hands it to the receiver. Bytes that
// arrive while the receiver runs (a modal box inside it runs a nested event
// loop) are read once it returns. Bytes that arrive while write() waits for the
// driver are handed over from the event loop afterwards, never from inside write().
//
// A port that vanishes while open (the adapter unplugged; a read error or an
// endless end of file) is closed at once and the lost handler is called from
// the event loop with a short reason.

#include <QObject>
#include <QSerialPort>
#include <future>

#include "link/SerialPort.h"

namespace t6 {

class QtSerialPort : public QObject, public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPort(QObject* parent = nullptr);
    ~QtSerialPort() override;

    // The names QSerialPortInfo reports (such as "ttyUSB0") and the paths of
    // TORVEL6_EXTRA_PORTS, sorted. Never fails on this platform.
    std::vector<std::string> listPorts() override;
    // Starts asking the system for its serial ports on another thread, so that
    // the next listPorts() (the window's start-up) need not wait for it.
    void startListing();
    // Maker, product and USB identifiers of the system's ports.
    std::vector<PortDetails> portDetails() const override { return details_; }

    // A bare name is looked up under /dev (on Windows: COM3); a path ("/...",
    // "./...", "../...") is used as is.
    void setPortName(const std::string& name) override;
    std::string portName() const override { return name_; }

    void open() override;
    bool isOpen() const override;
    void write(const Bytes& bytes) override;
    void purge() override;
    void close() override;

    void setReceiver(Receiver receiver) override { receiver_ = std::move(receiver); }
    void setLostHandler(LostHandler handler) override { lost_ = std::move(handler); }

    // The errno value standing for a QSerialPort error kind (see above).
    static int systemErrorCode(QSerialPort::SerialPortError error);

private:
    void onReadyRead();
    void onErrorOccurred(QSerialPort::SerialPortError error);
    void portLost();
    void scheduleDrain();
    [[noreturn]] void fail(const char* what, QSerialPort::SerialPortError error);

    QSerialPort port_;
    std::string name_ = "COM1";
    std::vector<PortDetails> details_;
    std::future<std::vector<PortDetails>> listing_;
    Receiver receiver_;
    LostHandler lost_;
    bool receiving_ = false;   // the receiver is running
    bool writing_ = false;     // write() is waiting for the driver
    bool drainQueued_ = false; // a read from the event loop is scheduled
    bool lostQueued_ = false;  // the port vanished; the lost handler is scheduled
    unsigned openings_ = 0;    // counts the successful opens
};

} // namespace t6
