#pragma once
// The model as a read from the device leaves it: started, then reset in the
// read's mode, with a log that records every line the decoders write. Blocks
// are decoded from a heap copy of exactly their size, so that a read past the
// end is caught by the address sanitizer.

#include <cstring>
#include <memory>

#include "ModelFixture.h"
#include "common/Bytes.h"
#include "config/BlockLog.h"
#include "config/ConfigBlock.h"

namespace t6::test {

class RecordingBlockLog : public BlockLog {
public:
    void protocol(std::string_view line) override { protocolLines.emplace_back(line); }
    void hex(std::string_view line) override { hexLines.emplace_back(line); }
    void memo(std::string_view line) override { memoLines.emplace_back(line); }
    void clear() {
        protocolLines.clear();
        hexLines.clear();
        memoLines.clear();
    }
    // The lines as UTF-8, for readable assertions.
    static std::vector<std::string> utf8(const std::vector<std::string>& lines) {
        std::vector<std::string> out;
        for (const auto& l : lines)
            out.push_back(cp1251ToUtf8(l));
        return out;
    }
    std::vector<std::string> protocolLines, hexLines, memoLines;
};

// A heap copy of exactly the block's bytes.
class ExactBytes {
public:
    explicit ExactBytes(std::string_view bytes)
        : data_(new char[bytes.size() ? bytes.size() : 1]), size_(bytes.size()) {
        if (size_)
            std::memcpy(data_.get(), bytes.data(), size_);
    }
    std::string_view view() const { return {data_.get(), size_}; }

private:
    std::unique_ptr<char[]> data_;
    std::size_t size_;
};

class BlockTest : public ModelTest {
protected:
    BlockTest() {
        mode = ExchangeMode::ReadOutputs;
        model.resetConfig();
        mode = ExchangeMode::ReadBlock;
        view.clear();
    }

    // A new read: the model reset again and the log emptied.
    void reset() {
        mode = ExchangeMode::ReadOutputs;
        model.resetConfig();
        mode = ExchangeMode::ReadBlock;
        log.clear();
    }
    ConfigBlockScan scan(std::string_view block) {
        ExactBytes exact(block);
        return scanConfigBlock(model, exact.view(), log);
    }
    // A block of 99 99 and the given records.
    ConfigBlockScan scanRecords(const Bytes& records) {
        return scan(Bytes(ConfigBlockStart) + records);
    }
    // Decodes one record standing alone at position 0.
    RecordEnd decode(std::string_view record) {
        ExactBytes exact(record);
        return decodeRecord(model, exact.view(), 0, log);
    }
    std::vector<std::string> memo() const { return RecordingBlockLog::utf8(log.memoLines); }
    const DeviceConfig& c() const { return model.config(); }

    RecordingBlockLog log;
};

} // namespace t6::test
