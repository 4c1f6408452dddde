#include "core/QtClock.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace t6 {
namespace {

class QtTimer : public Timer {
public:
    QtTimer(int intervalMs, std::function<void()> onTick) : onTick_(std::move(onTick)) {
        timer_.setInterval(intervalMs);
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (onTick_)
                onTick_();
        });
    }
    void start() override { timer_.start(); }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }
    int intervalMs() const override { return timer_.interval(); }

private:
    QTimer timer_;
    std::function<void()> onTick_;
};

} // namespace

std::unique_ptr<Timer> QtClock::createTimer(int intervalMs, std::function<void()> onTick) {
    return std::make_unique<QtTimer>(intervalMs, std::move(onTick));
}

std::int64_t QtClock::nowMs() const {
    static QElapsedTimer since = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return since.elapsed();
}

LocalTime QtClock::localNow() const {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return LocalTime{d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()};
}

void QtClock::wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace t6
