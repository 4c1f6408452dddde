#pragma once
// The visible wait while the device listens for a radio device (a remote
// control, a zone sensor, a wireless temperature sensor): the window shows
// what is awaited and offers "Отмена", which runs the row's own cancel. The
// wait ends with the reply, the cancel, the time-out, or when any operation
// starts (the one that waited is abandoned then).

#include <functional>
#include <string>

namespace t6 {

class ExchangeController;

class LearningWait {
public:
    explicit LearningWait(ExchangeController& exchange);
    LearningWait(const LearningWait&) = delete;
    LearningWait& operator=(const LearningWait&) = delete;

    // text: Windows-1251, already translated; cancel: what "Отмена" does.
    void show(const std::string& text, std::function<void()> cancel);
    // Gives the status bar back to the port state; nothing when not shown.
    void end();
    bool shown() const { return shown_; }

private:
    ExchangeController& ex_;
    bool shown_ = false;
};

} // namespace t6
