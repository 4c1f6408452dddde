#pragma once
// A serial port that counts the bytes crossing it both ways, so that a
// progress line can say how far an exchange has come and a measurement can
// weigh a chain against the bytes on the line.

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "link/SerialPort.h"

namespace t6 {

class CountingPort : public SerialPort {
public:
    explicit CountingPort(SerialPort& port) : port_(port) {}

    std::vector<std::string> listPorts() override { return port_.listPorts(); }
    void setPortName(const std::string& name) override { port_.setPortName(name); }
    std::string portName() const override { return port_.portName(); }
    void open() override { port_.open(); }
    bool isOpen() const override { return port_.isOpen(); }
    void write(const Bytes& bytes) override;
    void purge() override { port_.purge(); }
    void close() override { port_.close(); }
    void setReceiver(Receiver receiver) override;
    void setLostHandler(LostHandler handler) override { port_.setLostHandler(std::move(handler)); }

    std::size_t sent() const { return sent_; }
    std::size_t received() const { return received_; }
    // Told after every write and every chunk received.
    void setOnTraffic(std::function<void()> f) { onTraffic_ = std::move(f); }

private:
    SerialPort& port_;
    std::size_t sent_ = 0;
    std::size_t received_ = 0;
    std::function<void()> onTraffic_;
};

} // namespace t6
