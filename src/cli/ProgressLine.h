#pragma once
// The progress line of an exchange on a terminal: the stage the operation
// shows and the bytes sent and received so far, one line rewritten in place
// ("\r"). Nothing is written when standard error is not a terminal.

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <string>

namespace t6::cli {

class ProgressLine {
public:
    // words: the two headings of the counts ("передано байт:", "получено
    // байт:") in the language of the messages, Windows-1251. width: the
    // terminal's columns.
    ProgressLine(std::ostream& err, bool enabled, int width, std::string sentWord,
                 std::string receivedWord);

    // The operation's stage (Windows-1251); empty ends the line.
    void setStage(const std::string& stage, std::int64_t nowMs);
    // The counts; the line is redrawn at most ten times a second.
    void setBytes(std::size_t sent, std::size_t received, std::int64_t nowMs);
    // Takes the line away before other output; the next change draws it again.
    void clear();

    bool enabled() const { return enabled_; }
    // The text of the line as drawn (UTF-8, cut to the width).
    std::string text() const;

    // The columns of the terminal on this descriptor; 80 when it cannot tell.
    static int terminalWidth(int fd);

private:
    void draw(std::int64_t nowMs);

    std::ostream& err_;
    bool enabled_;
    int width_;
    std::string sentWord_;
    std::string receivedWord_;
    std::string stage_;
    std::size_t sent_ = 0;
    std::size_t received_ = 0;
    bool drawn_ = false;
    std::int64_t drawnAt_ = 0;
};

} // namespace t6::cli
