#pragma once
// The three records every run leaves of its exchanges with the device: the
// text log "protokol.log", the same traffic as hexadecimal bytes in
// "protokol_FF.log", and the exchange memo, kept in memory and saved as
// "log.log" when the program ends. Lines are Windows-1251 and end in CR LF.
// The exchanges never depend on the logs: a log that could not be created
// simply takes no lines.

#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "common/FileAccess.h"

namespace t6 {

class ExchangeLogs {
public:
    static constexpr const char* kProtocolFile = "protokol.log";
    static constexpr const char* kHexFile = "protokol_FF.log";
    static constexpr const char* kMemoFile = "log.log";

    ExchangeLogs() = default;
    ~ExchangeLogs();
    ExchangeLogs(const ExchangeLogs&) = delete;
    ExchangeLogs& operator=(const ExchangeLogs&) = delete;

    // The program directory, where the files lie.
    void setDirectory(const std::string& dir) { dir_ = dir; }
    const std::string& directory() const { return dir_; }

    // Creates both log files empty (rewriting the last run's) and keeps them
    // open. When one cannot be created it says which and why (the caller
    // words it); the hex log is then not attempted.
    struct Created {
        FileFailure failure;
        std::string path;
        explicit operator bool() const { return !failure; }
    };
    Created createFiles();

    void protocol(std::string_view line);
    void hex(std::string_view line);
    // Two lines of the hex log: the head, then the bytes in hex form.
    void hexBytes(std::string_view head, std::string_view bytes);
    void memo(std::string_view line);

    const std::vector<std::string>& memoLines() const { return memo_; }
    bool protocolOpen() const { return protocol_.is_open(); }
    bool hexOpen() const { return hex_.is_open(); }

    // Writes every memo line to "log.log", replacing an earlier file. False
    // when it cannot be written (the program still ends).
    bool saveMemo() const;
    // Closes both log files.
    void closeFiles();

    std::string pathOf(const char* fileName) const;

private:
    static void writeLine(std::ofstream& f, std::string_view line);
    std::string dir_ = ".";
    std::ofstream protocol_;
    std::ofstream hex_;
    std::vector<std::string> memo_;
};

} // namespace t6
