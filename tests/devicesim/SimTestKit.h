#pragma once
// What the simulated device's tests share: bytes from values, a packet
// around a payload, and a device whose replies are kept call by call.

#include <initializer_list>
#include <string>
#include <vector>

#include "SimDevice.h"

namespace t6sim::test {

inline std::string bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list)
        s += static_cast<char>(b);
    return s;
}

inline std::string zeros(std::size_t n) {
    return std::string(n, '\0');
}

inline std::string frame(const std::string& payload) {
    return "\xFE\xFF" + payload + "\xFF\xFE";
}

// A device whose sink records every call separately.
struct Harness {
    explicit Harness(SimOptions options = {}) : device(std::move(options)) {
        device.setSink([this](const std::string& b) { chunks.push_back(b); });
    }
    // Everything sent so far.
    std::string all() const {
        std::string s;
        for (const auto& c : chunks)
            s += c;
        return s;
    }
    // Everything the device sends in answer to these bytes.
    std::string ask(const std::string& wire) {
        chunks.clear();
        device.feed(wire);
        return all();
    }
    SimDevice device;
    std::vector<std::string> chunks;
};

} // namespace t6sim::test
