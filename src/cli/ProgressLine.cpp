#include "cli/ProgressLine.h"

#include <ostream>
#include <sys/ioctl.h>

#include "cli/CommandContext.h"

namespace t6::cli {

namespace {

constexpr std::int64_t kRedrawMs = 100;

// The UTF-8 text cut to at most `columns` characters (one column each).
std::string cutToColumns(const std::string& utf8, int columns) {
    int count = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if ((c & 0xC0) == 0x80)
            continue;
        if (count == columns)
            return utf8.substr(0, i);
        ++count;
    }
    return utf8;
}

} // namespace

ProgressLine::ProgressLine(std::ostream& err, bool enabled, int width, std::string sentWord,
                           std::string receivedWord)
    : err_(err), enabled_(enabled), width_(width > 1 ? width : 80), sentWord_(std::move(sentWord)),
      receivedWord_(std::move(receivedWord)) {}

int ProgressLine::terminalWidth(int fd) {
    winsize ws{};
    if (::ioctl(fd, TIOCGWINSZ, &ws) == 0 && ws.ws_col > 0)
        return ws.ws_col;
    return 80;
}

std::string ProgressLine::text() const {
    if (stage_.empty())
        return {};
    // The last column stays free: a line that fills it wraps on some terminals.
    return cutToColumns(terminalText(stage_ + " \x97 " + sentWord_ + " " + std::to_string(sent_) +
                                     ", " + receivedWord_ + " " + std::to_string(received_)),
                        width_ - 1);
}

void ProgressLine::setStage(const std::string& stage, std::int64_t nowMs) {
    if (stage == stage_)
        return;
    if (stage.empty()) {
        clear();
        stage_.clear();
        return;
    }
    stage_ = stage;
    draw(nowMs);
}

void ProgressLine::setBytes(std::size_t sent, std::size_t received, std::int64_t nowMs) {
    sent_ = sent;
    received_ = received;
    if (stage_.empty())
        return;
    if (drawn_ && nowMs - drawnAt_ < kRedrawMs)
        return;
    draw(nowMs);
}

void ProgressLine::draw(std::int64_t nowMs) {
    if (!enabled_ || stage_.empty())
        return;
    err_ << '\r' << text() << "\x1b[K";
    err_.flush();
    drawn_ = true;
    drawnAt_ = nowMs;
}

void ProgressLine::clear() {
    if (!drawn_)
        return;
    err_ << "\r\x1b[K";
    err_.flush();
    drawn_ = false;
}

} // namespace t6::cli
