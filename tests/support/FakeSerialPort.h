#pragma once
// An in-memory serial port: records what is written, delivers what a test
// injects, and can be told to fail like a real port.

#include <map>
#include <set>
#include <string>
#include <vector>

#include "link/SerialPort.h"

namespace t6::test {

class FakeSerialPort : public SerialPort {
public:
    std::vector<std::string> listPorts() override;
    std::vector<PortDetails> portDetails() const override { return details; }
    void setPortName(const std::string& name) override;
    std::string portName() const override { return name_; }
    void open() override;
    bool isOpen() const override { return open_; }
    void write(const Bytes& bytes) override;
    void purge() override;
    void close() override;
    void setReceiver(Receiver r) override { receiver_ = std::move(r); }
    void setLostHandler(LostHandler h) override { lost_ = std::move(h); }

    // Delivers bytes as if the device had sent them (only while open, like a port).
    void inject(const Bytes& bytes);
    // The adapter was unplugged.
    void unplug();

    // What the test sets up.
    std::vector<std::string> ports{"COM1"};
    bool listFails = false;
    std::set<std::string> unopenable; // names whose open fails
    // Names whose open fails for a reason the adapter worked out.
    std::map<std::string, PortError> openFaults;
    std::vector<PortDetails> details; // what the system tells about the ports
    bool writeFails = false;
    bool purgeFails = false;
    // Replies written back at once when a request is written (request -> reply).
    std::map<Bytes, Bytes> autoReply;

    // What the test reads back.
    struct Write {
        std::string port;
        Bytes bytes;
    };
    std::vector<Write> writes;
    std::vector<std::string> opened; // names, in the order they were opened
    int purges = 0;
    int closes = 0;

private:
    std::string name_ = "COM1";
    bool open_ = false;
    Receiver receiver_;
    LostHandler lost_;
};

} // namespace t6::test
