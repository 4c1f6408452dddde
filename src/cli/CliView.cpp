#include "cli/CliView.h"

#include "cli/CliPrompts.h"
#include "cli/ProgressLine.h"

namespace t6::cli {

CliView::CliView(ProgressLine& progress, CliPrompts& prompts, std::function<std::int64_t()> nowMs)
    : progress_(progress), prompts_(prompts), nowMs_(std::move(nowMs)) {}

void CliView::changed() {
    if (onChange_)
        onChange_();
}

void CliView::showClock(const LocalTime&) {
    if (onClock_)
        onClock_();
}

void CliView::showSignal(int gauge, const std::string& text, bool) {
    gauge_ = gauge;
    signal_ = text;
    changed();
}

void CliView::showActivity(const Activity& activity) {
    if (activity.alert) {
        // Said once, on its own line; the command decides what follows.
        prompts_.note(activity.text);
        notices_.push_back(activity.text);
        if (onAlert_)
            onAlert_();
        changed();
        return;
    }
    progress_.setStage(activity.text, nowMs_());
    changed();
}

void CliView::showNotice(const std::string& text) {
    prompts_.note(text);
    notices_.push_back(text);
    changed();
}

void CliView::showTraffic(std::size_t sent, std::size_t received) {
    progress_.setBytes(sent, received, nowMs_());
}

} // namespace t6::cli
