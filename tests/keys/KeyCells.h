#pragma once
// A key as the two cells of its row, for comparisons in tests.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "keys/KeyTable.h"

namespace t6::test {

using KeyCells = std::pair<std::string, std::string>; // description, code

inline KeyCells cells(const TouchKey& k) {
    return {k.description, k.code};
}
inline std::optional<KeyCells> cells(const std::optional<TouchKey>& k) {
    return k ? std::optional<KeyCells>(cells(*k)) : std::nullopt;
}
inline std::vector<KeyCells> cells(const TouchKeys& keys) {
    std::vector<KeyCells> out;
    for (const TouchKey& k : keys)
        out.push_back(cells(k));
    return out;
}

} // namespace t6::test
