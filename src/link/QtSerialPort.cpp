#include "link/QtSerialPort.h"

#include <QDeadlineTimer>
#include <QSerialPortInfo>
#include <QTimer>
#include <QtDebug>

#include <climits>

#include "link/PortList.h"
#include "link/PortSystem.h"

namespace t6 {

namespace {

constexpr int kBaudRate = 38400;

// Clears a flag when the scope ends, also by an exception.
struct FlagScope {
    bool& flag;
    explicit FlagScope(bool& f) : flag(f) { flag = true; }
    ~FlagScope() { flag = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;
};

} // namespace

QtSerialPort::QtSerialPort(QObject* parent) : QObject(parent) {
    connect(&port_, &QSerialPort::readyRead, this, &QtSerialPort::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::onErrorOccurred);
}

QtSerialPort::~QtSerialPort() {
    port_.disconnect(this);
    if (port_.isOpen())
        port_.close();
}

int QtSerialPort::systemErrorCode(QSerialPort::SerialPortError error) {
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return 2; // ENOENT
    case QSerialPort::PermissionError:
        return 13; // EACCES
    case QSerialPort::OpenError:
        return 16; // EBUSY
    case QSerialPort::NotOpenError:
        return 9; // EBADF
    case QSerialPort::TimeoutError:
        return 110; // ETIMEDOUT
    case QSerialPort::UnsupportedOperationError:
        return 95; // EOPNOTSUPP
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::UnknownError:
    case QSerialPort::NoError:
    default:
        return 5; // EIO
    }
}

void QtSerialPort::fail(const char* what, QSerialPort::SerialPortError error) {
    throw PortError(std::string(what) +
                    " (win error code: " + std::to_string(systemErrorCode(error)) + ")");
}

namespace {

// The system's serial ports, each under its stable name where it has one: an
// adapter keeps that name whichever order adapters are plugged in.
std::vector<PortDetails> systemPorts() {
    std::vector<PortDetails> ports;
    const auto stable = stableNames("/dev/serial/by-id");
    const auto infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : infos) {
        PortDetails d;
        d.device = info.systemLocation().toLocal8Bit().toStdString();
        const auto link = stable.find(d.device);
        d.name = link != stable.end() ? link->second : info.portName().toLocal8Bit().toStdString();
        d.maker = info.manufacturer().toStdString();
        d.product = info.description().toStdString();
        if (info.hasVendorIdentifier())
            d.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            d.productId = info.productIdentifier();
        ports.push_back(std::move(d));
    }
    return ports;
}

} // namespace

void QtSerialPort::startListing() {
    if (!listing_.valid())
        listing_ = std::async(std::launch::async, systemPorts);
}

std::vector<std::string> QtSerialPort::listPorts() {
    // A listing started earlier is taken once; every later list asks anew.
    std::vector<PortDetails> details = listing_.valid() ? listing_.get() : systemPorts();
    std::vector<std::string> names;
    const bool onlyListed = onlyListedPorts();
    if (!onlyListed)
        for (const PortDetails& d : details)
            names.push_back(d.name);
    for (std::string& path :
         onlyListed ? listedPortsFromEnvironment() : extraPortsFromEnvironment())
        names.push_back(std::move(path));
    names = sortPortNames(std::move(names));
    details_.clear();
    for (const std::string& name : names)
        for (const PortDetails& d : details)
            if (d.name == name) {
                details_.push_back(d);
                break;
            }
    return names;
}

void QtSerialPort::setPortName(const std::string& name) {
    if (name == name_)
        return;
    bool wasOpen = port_.isOpen();
    if (wasOpen)
        close();
    name_ = name;
    if (wasOpen)
        open();
}

bool QtSerialPort::isOpen() const {
    return port_.isOpen();
}

void QtSerialPort::open() {
    if (port_.isOpen())
        return;
    port_.setPortName(QString::fromLocal8Bit(name_.data(), static_cast<qsizetype>(name_.size())));
    // Set while closed, these are applied by open() itself.
    port_.setBaudRate(kBaudRate);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::ReadWrite)) {
        QSerialPort::SerialPortError error = port_.error();
        port_.clearError();
        // The toolkit tells "refused" for both a port this user may not open
        // and one another program holds; the port file tells them apart.
        OpenFailure why = diagnoseOpenFailure(portFilePath(name_),
                                              error == QSerialPort::PermissionError ||
                                                  error == QSerialPort::OpenError,
                                              systemErrorCode(error));
        throw PortError("Unable to open com port (win error code: " + std::to_string(why.code) +
                            ")",
                        why.fault, why.code, std::move(why.detail), std::move(why.access));
    }
    // The modem lines matter on a real adapter; a pseudo-terminal has none and
    // refuses them, which must not keep the port from being used.
    port_.setDataTerminalReady(false);
    port_.setRequestToSend(false);
    port_.clearError();
    ++openings_;
}

void QtSerialPort::write(const Bytes& bytes) {
    if (!port_.isOpen())
        fail("WriteFile function failed", QSerialPort::NotOpenError);
    if (lostQueued_)
        fail("WriteFile function failed", QSerialPort::ResourceError);
    if (bytes.empty())
        return;
    {
        FlagScope inWrite(writing_);
        const qint64 size = static_cast<qint64>(bytes.size());
        if (port_.write(bytes.data(), size) != size) {
            QSerialPort::SerialPortError error = port_.error();
            port_.clearError();
            fail("WriteFile function failed",
                 error == QSerialPort::NoError ? QSerialPort::WriteError : error);
        }
        QDeadlineTimer deadline(std::min<qint64>(100 * size + 1000, INT_MAX));
        while (port_.isOpen() && port_.bytesToWrite() > 0) {
            if (port_.waitForBytesWritten(static_cast<int>(deadline.remainingTime())))
                continue;
            if (port_.bytesToWrite() == 0)
                break;
            QSerialPort::SerialPortError error = port_.error();
            if (deadline.hasExpired() || error == QSerialPort::NoError)
                error = QSerialPort::TimeoutError;
            port_.clearError();
            // The rest of the request must not reach the device later on its own.
            if (port_.isOpen() && !lostQueued_)
                port_.clear(QSerialPort::Output);
            port_.clearError();
            fail("WriteFile function failed", error);
        }
        if (!port_.isOpen() || lostQueued_)
            fail("WriteFile function failed", QSerialPort::ResourceError);
    }
    // Bytes read while waiting for the driver are handed over from the event loop.
    if (port_.bytesAvailable() > 0)
        scheduleDrain();
}

void QtSerialPort::purge() {
    if (!port_.isOpen())
        fail("PurgeComm function failed", QSerialPort::NotOpenError);
    if (lostQueued_)
        fail("PurgeComm function failed", QSerialPort::ResourceError);
    if (!port_.clear(QSerialPort::AllDirections)) {
        QSerialPort::SerialPortError error = port_.error();
        port_.clearError();
        fail("PurgeComm function failed", error);
    }
}

void QtSerialPort::close() {
    if (!port_.isOpen())
        return;
    port_.close();
    port_.clearError();
}

void QtSerialPort::scheduleDrain() {
    if (drainQueued_)
        return;
    drainQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        drainQueued_ = false;
        onReadyRead();
    });
}

void QtSerialPort::onReadyRead() {
    // Inside the receiver the loop below reads these bytes once it returns;
    // inside write() they are handed over once it returns.
    if (receiving_ || writing_)
        return;
    FlagScope inReceiver(receiving_);
    while (port_.isOpen() && port_.bytesAvailable() > 0) {
        QByteArray data = port_.readAll();
        if (data.isEmpty())
            break;
        if (!receiver_)
            continue;
        // No exception may cross the event loop.
        try {
            receiver_(Bytes(data.constData(), static_cast<std::size_t>(data.size())));
        } catch (const std::exception& e) {
            qWarning("Serial port receiver failed: %s", e.what());
        } catch (...) {
            qWarning("Serial port receiver failed");
        }
    }
}

void QtSerialPort::onErrorOccurred(QSerialPort::SerialPortError error) {
    // A vanished adapter shows as a failed read (EIO), or as a read of nothing
    // from a port that keeps saying it is readable, as a pseudo-terminal whose
    // other side has gone does. Either repeats for ever while the port is open.
    if ((error == QSerialPort::ResourceError || error == QSerialPort::ReadError) && port_.isOpen())
        portLost();
}

void QtSerialPort::portLost() {
    if (lostQueued_)
        return;
    lostQueued_ = true;
    // The system's error number for it, if it gave one; the program words it
    // in the language of its messages.
    const int reason = port_.error() == QSerialPort::NoError ? 0 : systemErrorCode(port_.error());
    // Under the wait of write() the port is closed once write() has returned;
    // elsewhere at once, so that a dead port raises no further events.
    const bool closeNow = !writing_;
    if (closeNow)
        close();
    // The handler may open a modal box: it runs from the event loop, not from
    // inside the port's own notification.
    QTimer::singleShot(0, this, [this, closeNow, reason, opening = openings_] {
        lostQueued_ = false;
        if (!closeNow && opening == openings_)
            close();
        if (!lost_)
            return;
        try {
            lost_(reason);
        } catch (const std::exception& e) {
            qWarning("Serial port lost handler failed: %s", e.what());
        } catch (...) {
            qWarning("Serial port lost handler failed");
        }
    });
}

} // namespace t6
