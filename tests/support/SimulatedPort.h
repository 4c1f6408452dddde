#pragma once
// A serial port with the simulated device on its other end, for scenario tests.
//
// What the program writes feeds the device at once; the device's reply comes
// back later, through a timer of the clock the port is given, the way a real
// port reports received bytes: never from inside write(), after a reply delay
// in virtual time and, when the device paces its replies, spread at 260 µs a
// byte. A learned code (a key, a fob, a sensor) is released the device's learn
// delay after its request, unless a cancel came first, and then takes the
// same way. With the manual clock of the tests, clock.advance(ms) delivers
// them.

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "SimDevice.h"
#include "common/Clock.h"
#include "link/SerialPort.h"

namespace t6::test {

class SimulatedPort : public SerialPort {
public:
    explicit SimulatedPort(Clock& clock, t6sim::SimOptions options = {});
    ~SimulatedPort() override;

    std::vector<std::string> listPorts() override { return ports; }
    void setPortName(const std::string& name) override;
    std::string portName() const override { return name_; }
    void open() override;
    bool isOpen() const override { return open_; }
    void write(const Bytes& bytes) override;
    // Drops the reply bytes not yet delivered.
    void purge() override;
    // Drops them too: nothing is received while closed.
    void close() override;
    void setReceiver(Receiver r) override { receiver_ = std::move(r); }
    void setLostHandler(LostHandler h) override { lost_ = std::move(h); }

    // The device on the line: its options, its memory, its request log.
    t6sim::SimDevice& device() { return device_; }

    // The adapter was unplugged: the port closes and the lost handler is told.
    void unplug();

    // Reply bytes still on their way.
    std::size_t pendingBytes() const;

    // What the test sets up.
    std::vector<std::string> ports{"COM1"};
    // The port the device hangs on; writes to any other port reach nothing.
    std::string devicePort = "COM1";
    // Virtual time from the end of a request to the first byte of its reply;
    // the device's own replyDelay option comes on top.
    int replyDelayMs = 5;

    // What the test reads back.
    struct Write {
        std::string port;
        Bytes bytes;
    };
    std::vector<Write> writes;
    std::vector<std::string> opened; // names, in the order they were opened
    int purges = 0;
    // Every byte written while the port's name was the device's, in order.
    Bytes sentToDevice() const;

private:
    // One piece of a reply as the device sent it (a whole reply, or one chunk
    // of a split one): byte i arrives at startUs + (i + 1) × byteUs.
    struct Piece {
        std::int64_t startUs = 0;
        std::int64_t byteUs = 0; // 0: the whole piece arrives at startUs
        Bytes bytes;
        std::size_t delivered = 0;
    };
    void onDeviceBytes(const std::string& bytes);
    void deliverDue();
    void dropPending();
    // Times the release of the learning the device holds, if it is new.
    void noteLearning();

    Clock& clock_;
    t6sim::SimDevice device_;
    std::unique_ptr<Timer> tick_;
    std::deque<Piece> pending_;
    std::int64_t lineFreeUs_ = 0; // when the last queued byte has arrived
    // The learning being timed and its timer. The device's learning goes on
    // whatever becomes of the port: closing it only loses the reply.
    std::uint64_t learnTicket_ = 0;
    std::unique_ptr<Timer> learnTimer_;
    bool delivering_ = false;

    std::string name_ = "COM1";
    bool open_ = false;
    Receiver receiver_;
    LostHandler lost_;
};

} // namespace t6::test
