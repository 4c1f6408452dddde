#include "support/FakeSerialPort.h"

#include <cerrno>

namespace t6::test {

std::vector<std::string> FakeSerialPort::listPorts() {
    if (listFails)
        throw PortError("Registry error (win error code: 2)");
    return ports;
}

void FakeSerialPort::setPortName(const std::string& name) {
    if (name == name_)
        return;
    bool was = open_;
    if (was)
        close();
    name_ = name;
    if (was)
        open();
}

void FakeSerialPort::open() {
    if (open_)
        return;
    if (unopenable.count(name_))
        throw PortError("Unable to open com port (win error code: 2)");
    if (auto fault = openFaults.find(name_); fault != openFaults.end())
        throw fault->second;
    open_ = true;
    opened.push_back(name_);
}

void FakeSerialPort::write(const Bytes& bytes) {
    if (!open_)
        throw PortError("WriteFile function failed (win error code: 9)");
    if (writeFails)
        throw PortError("WriteFile function failed (win error code: 5)");
    if (bytes.empty())
        return;
    writes.push_back({name_, bytes});
    auto it = autoReply.find(bytes);
    if (it != autoReply.end())
        inject(it->second);
}

void FakeSerialPort::purge() {
    if (!open_)
        throw PortError("PurgeComm function failed (win error code: 9)");
    if (purgeFails)
        throw PortError("PurgeComm function failed (win error code: 5)");
    ++purges;
}

void FakeSerialPort::close() {
    if (!open_)
        return;
    open_ = false;
    ++closes;
}

void FakeSerialPort::inject(const Bytes& bytes) {
    if (open_ && receiver_)
        receiver_(bytes);
}

void FakeSerialPort::unplug() {
    if (!open_)
        return;
    open_ = false;
    if (lost_)
        lost_(ENODEV); // the adapter unplugged
}

} // namespace t6::test
