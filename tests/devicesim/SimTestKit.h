#pragma once
// What the simulated device's tests share: bytes from values, a packet
// around a payload, and a device whose replies are kept call by call.

#include <initializer_list>
#include <optional>
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

// Data of n bytes holding every byte value but never FF followed by FE: what
// a real block may hold, 00, FE FF and FF included.
inline std::string data(std::size_t n, int seed) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) {
        char c = static_cast<char>((i * 37 + static_cast<std::size_t>(seed)) & 0xFF);
        if (c == '\xFE' && !s.empty() && s.back() == '\xFF') {
            c = '\x00';
        }
        s += c;
    }
    return s;
}

// One stage and how to reach it: the packets before it and its own.
struct Stage {
    std::string name;
    std::string before;               // framed packets sent first, their replies ignored
    std::string packet;               // framed
    std::optional<std::string> reply; // the right reply's payload; none for no reply
};

// The stages of the configuration read and write, and those of keys,
// learning, sensor lists and wireless outputs (each defined by its tests).
std::vector<Stage> chainStages();
std::vector<Stage> enrolmentStages();

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
