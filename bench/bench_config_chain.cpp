// A full write and a full read of a rich configuration against the simulated
// device paced at 38400 baud over a pseudo-terminal, through the real port
// adapter and the real timers. Each time is compared with its floor: every
// byte on the line, both ways, at 3840 bytes a second, plus the fixed waits of
// the chain (the read waits 100 ms twice after the wireless outputs).
//
//   bench_config_chain [RUNS]     (default 5; the median of the runs is shown)

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "RichConfiguration.h"
#include "common/Cp1251.h"
#include "config/ConfigModel.h"
#include "core/QtClock.h"
#include "device/ConfigRead.h"
#include "device/ConfigWrite.h"
#include "exchange/ExchangeController.h"
#include "exchange/ExchangeLogs.h"
#include "files/ConfigFiles.h"
#include "link/CountingPort.h"
#include "link/QtSerialPort.h"

namespace {

using namespace t6;

// Answers Yes and notes when the chain's last box came.
class TimingPrompts : public SilentPrompts {
public:
    TimingPrompts() : SilentPrompts(true) {}
    bool confirm(const std::string& text) override {
        last = text;
        ++boxes;
        return true;
    }
    void message(const std::string& text) override { last = text, ++boxes; }
    void information(const std::string& text) override { last = text, ++boxes; }
    void error(const std::string& text) override { last = text, ++boxes; }
    std::string last;
    int boxes = 0;
};

class Counting : public Random {
public:
    int next(int range) override { return range > 0 ? ++n_ % range : 0; }

private:
    int n_ = 0;
};

bool waitFor(const std::function<bool()>& done, int ms) {
    QDeadlineTimer deadline(ms);
    QTimer wake;
    wake.start(5);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    QProcess sim;
    sim.start(QString::fromUtf8(T6_DEVICESIM), {QStringLiteral("--pace")});
    if (!sim.waitForStarted(3000) || !waitFor([&] { return sim.canReadLine(); }, 3000)) {
        std::fprintf(stderr, "the simulated device did not start\n");
        return 1;
    }
    const std::string pty = QString::fromUtf8(sim.readLine()).trimmed().toStdString();

    QTemporaryDir dir;
    QtSerialPort serial;
    CountingPort port(serial);
    QtClock clock;
    TimingPrompts prompts;
    ExchangeLogs logs;
    logs.setDirectory(dir.path().toStdString());
    logs.createFiles();
    ExchangeController exchange(port, clock, prompts, logs);
    exchange.start();
    exchange.setConnectedPort(pty);
    Counting random;
    ConfigModel model(
        prompts, random, [&] { return ExchangeMode::modelContextOf(exchange.mode()); },
        [&] { return clock.localNow(); });
    model.startUp();
    ConfigFiles files(model, exchange, logs, prompts);
    ConfigRead read(exchange, model, files);
    ConfigWrite write(exchange, model);
    richConfiguration(model);

    // One chain: its time from the button to its last box, and its floor.
    auto measure = [&](const std::function<void()>& start, const char* done, double waitsMs,
                       double& ms, double& floorMs, std::size_t& bytes) {
        waitFor([&] { return exchange.mode() == ExchangeMode::Idle; }, 3000);
        prompts.last.clear();
        const std::size_t before = port.sent() + port.received();
        QElapsedTimer t;
        t.start();
        start();
        if (!waitFor([&] { return prompts.last == ru(done); }, 10000)) {
            std::fprintf(stderr, "the chain did not end well: %s\n",
                         cp1251ToUtf8(prompts.last).c_str());
            std::exit(1);
        }
        ms = t.nsecsElapsed() / 1e6;
        bytes = port.sent() + port.received() - before;
        floorMs = bytes * 1000.0 / 3840.0 + waitsMs;
    };

    std::vector<double> writes, reads, writeFloors, readFloors;
    std::size_t writeBytes = 0, readBytes = 0;
    for (int i = 0; i < runs; ++i) {
        double ms = 0, floorMs = 0;
        std::size_t bytes = 0;
        measure([&] { write.writeConfiguration(); }, "Процесс записи завершился. Все OK.", 0, ms,
                floorMs, bytes);
        writes.push_back(ms), writeFloors.push_back(floorMs);
        writeBytes = bytes;
        measure([&] { read.readConfiguration(); }, "Процесс чтения завершился. Все OK.", 200, ms,
                floorMs, bytes);
        reads.push_back(ms), readFloors.push_back(floorMs);
        readBytes = bytes;
    }
    sim.terminate();
    sim.waitForFinished(2000);

    const double w = median(writes), wf = median(writeFloors);
    const double r = median(reads), rf = median(readFloors);
    std::printf("full write: %.1f ms, floor %.1f ms (%zu bytes on the line), ratio %.3f\n", w, wf,
                writeBytes, w / wf);
    std::printf("full read:  %.1f ms, floor %.1f ms (%zu bytes on the line + 200 ms of waits), "
                "ratio %.3f\n",
                r, rf, readBytes, r / rf);
    std::printf("median of %d runs each\n", runs);
    return 0;
}
