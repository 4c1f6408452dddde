#pragma once
// What the exchange shows, for the command-line program: the stage of a long
// operation on the progress line, passing notes on standard error, and the
// connection text, the signal reading and the port list kept for the command
// that prints them.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "exchange/ExchangeView.h"

namespace t6::cli {

class CliPrompts;
class ProgressLine;

class CliView : public ExchangeView {
public:
    CliView(ProgressLine& progress, CliPrompts& prompts, std::function<std::int64_t()> nowMs);

    // Every second, as the window's clock does (the time field may follow the computer).
    void setOnClock(std::function<void()> f) { onClock_ = std::move(f); }
    // The operation says the device has been silent a long while.
    void setOnAlert(std::function<void()> f) { onAlert_ = std::move(f); }
    // Anything a command may be waiting for has happened.
    void setOnChange(std::function<void()> f) { onChange_ = std::move(f); }

    void showConnection(const std::string& text) override { connection_ = text; }
    void showClock(const LocalTime&) override;
    void showPortList(const std::vector<std::string>& ports) override { ports_ = ports; }
    void showSignal(int gauge, const std::string& text, bool red) override;
    void showActivity(const Activity& activity) override;
    void showNotice(const std::string& text) override;
    // The bytes on the line have changed.
    void showTraffic(std::size_t sent, std::size_t received);

    const std::string& connection() const { return connection_; }
    const std::vector<std::string>& ports() const { return ports_; }
    int signalGauge() const { return gauge_; }
    const std::string& signalText() const { return signal_; }
    const std::vector<std::string>& notices() const { return notices_; }

private:
    void changed();

    ProgressLine& progress_;
    CliPrompts& prompts_;
    std::function<std::int64_t()> nowMs_;
    std::function<void()> onClock_;
    std::function<void()> onAlert_;
    std::function<void()> onChange_;
    std::string connection_;
    std::vector<std::string> ports_;
    int gauge_ = 0;
    std::string signal_;
    std::vector<std::string> notices_;
};

} // namespace t6::cli
