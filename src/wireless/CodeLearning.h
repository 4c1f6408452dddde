#pragma once
// Learning a radio code through the device, one row at a time: the row's
// read button sends the start request and reads "Отмена"; pressed again it
// sends the row's cancel and reads "Читать" once more. The device answers
// with the heard code in raw bytes, which the row takes as lower-case
// hexadecimal digits; the learning is then stopped with "Uk".
//
// Only one row learns at a time: pressing another row's button starts that
// row's exchange and abandons the first, whose button keeps "Отмена" until
// it is pressed again. An answer that comes after the user cancelled is not
// taken as the row's code: whatever the device says to a cancel is no code.

#include <functional>
#include <string>
#include <vector>

#include "common/Bytes.h"
#include "common/DeviceDimensions.h"
#include "common/Outcome.h"
#include "exchange/ExchangeMode.h"
#include "wireless/LearningWait.h"

namespace t6 {

class ExchangeController;

class CodeLearning {
public:
    virtual ~CodeLearning() = default;
    CodeLearning(const CodeLearning&) = delete;
    CodeLearning& operator=(const CodeLearning&) = delete;

    int rows() const { return static_cast<int>(learning_.size()); }
    // The read button of a row (from 1): "Читать" while idle, "Отмена" while
    // learning, in Windows-1251.
    std::string caption(int row) const;
    bool learning(int row) const;
    // The row whose request was sent last, 0 before any.
    int pendingRow() const { return pending_; }

    // The row's read button.
    void press(int row);

    // Told after every change of the captions (and of the model's codes).
    void setObserver(std::function<void()> observer) { observer_ = std::move(observer); }

    // What became of the last learning: completed with the row's code,
    // cancelled (the user's second press, another row or operation), no
    // answer, a lost port, refused (no connection). Nothing while it listens.
    const std::optional<Outcome>& outcome() const { return outcome_.value(); }

protected:
    // stopRequest: what tells the device to stop listening after an answer
    // or a time-out.
    CodeLearning(ExchangeController& exchange, ExchangeModeValue mode, int rows,
                 std::string startRequest, std::string stopRequest);

    // The request that stops a row's learning when the user cancels it.
    virtual Bytes cancelRequest(int row) const = 0;
    // What the window shows while the device listens (translated).
    virtual std::string waitText() const = 0;
    // The learned code (hexadecimal digits) goes to the row.
    virtual void takeCode(int row, const std::string& code) = 0;
    // Nothing was heard within 10 s: the learning has ended (mode 11, the
    // port closes a second later); the row tells the user. The stop request
    // follows.
    virtual void timedOut() = 0;

    // The time-out ended the learning: the wait is no longer shown.
    void endWait() {
        wait_.end();
        outcome_.end(Outcome::make(Outcome::Kind::NoAnswer));
    }
    // The pending row's button reads "Читать" again.
    void resetPendingCaption();
    void notify();
    std::string tr(const char* utf8) const;

    ExchangeController& ex_;

private:
    void onReply(const Bytes& reply);
    void onTimeout();

    ExchangeModeValue mode_;
    std::string startRequest_;
    std::string stopRequest_;
    std::vector<bool> learning_;
    int pending_ = 0;
    // The row whose start request is the last one sent and not cancelled.
    int listening_ = 0;
    LearningWait wait_;
    std::function<void()> observer_;
    OutcomeSlot outcome_;
};

} // namespace t6
