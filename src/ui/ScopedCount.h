#pragma once
// Counts a scope: while it lives the counter is one higher. The window uses
// it to tell its own changes of a widget (a render, a value shown) from the
// user's; nested scopes count too.

namespace t6 {

class ScopedCount {
public:
    explicit ScopedCount(int& count) : count_(count) { ++count_; }
    ~ScopedCount() { --count_; }
    ScopedCount(const ScopedCount&) = delete;
    ScopedCount& operator=(const ScopedCount&) = delete;

private:
    int& count_;
};

} // namespace t6
