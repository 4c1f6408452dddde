#pragma once
// The block decoders' lines go to the run's real logs: the text log, the
// hexadecimal log and the exchange memo.

#include "config/BlockLog.h"
#include "exchange/ExchangeLogs.h"

namespace t6 {

class LogsBlockLog : public BlockLog {
public:
    explicit LogsBlockLog(ExchangeLogs& logs) : logs_(logs) {}
    void protocol(std::string_view line) override { logs_.protocol(line); }
    void hex(std::string_view line) override { logs_.hex(line); }
    void memo(std::string_view line) override { logs_.memo(line); }

private:
    ExchangeLogs& logs_;
};

} // namespace t6
