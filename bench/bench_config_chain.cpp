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

#include "common/Cp1251.h"
#include "config/ConfigModel.h"
#include "device/ConfigRead.h"
#include "device/ConfigWrite.h"
#include "exchange/ExchangeController.h"
#include "exchange/ExchangeLogs.h"
#include "files/ConfigFiles.h"
#include "link/QtSerialPort.h"
#include "core/QtClock.h"

namespace {

using namespace t6;

// The real port, counting every byte that crosses it.
class CountingPort : public SerialPort {
public:
    std::vector<std::string> listPorts() override { return port_.listPorts(); }
    void setPortName(const std::string& n) override { port_.setPortName(n); }
    std::string portName() const override { return port_.portName(); }
    void open() override { port_.open(); }
    bool isOpen() const override { return port_.isOpen(); }
    void write(const Bytes& b) override {
        sent += b.size();
        port_.write(b);
    }
    void purge() override { port_.purge(); }
    void close() override { port_.close(); }
    void setReceiver(Receiver r) override {
        port_.setReceiver([this, r = std::move(r)](const Bytes& chunk) {
            received += chunk.size();
            if (r)
                r(chunk);
        });
    }
    void setLostHandler(LostHandler h) override { port_.setLostHandler(std::move(h)); }

    std::size_t sent = 0;
    std::size_t received = 0;

private:
    QtSerialPort port_;
};

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

// Every zone active with a 25-character message and four timed rows, every
// temperature sensor regulating, sixteen wireless outputs and ten remote
// controls in use. No text holds the bytes FF FE, which would end a packet.
void richConfiguration(ConfigModel& m) {
    const char* messages[10] = {"Входная дверь подъезда 01", "Окно кухни первый этаж 02",
                                "Гараж ворота подъёмные 03", "Пожарный шлейф котельной",
                                "Датчик движения холл 0005", "Датчик движения спальн 06",
                                "Балкон второго этажа 0007", "Окно детской комнаты 0008",
                                "Калитка у забора двора 09", "Подвал у насосной станц10"};
    m.setDeviceDate("09.12.26");
    m.setDeviceTime("12:00:00");
    for (int t = 1; t <= 5; ++t)
        m.setTelephone(t, "+7916123456" + std::to_string(1000 + t));
    for (int n = 1; n <= 16; ++n) {
        char code[8];
        std::snprintf(code, sizeof code, "%02x%02x%02x", 0x10 + n, 0x20 + n, 0x30 + n);
        m.setOutputType(n, n % 4);
        m.setOutputCode(n, code);
        m.setOutputName(n, ru("Выход ") + std::to_string(n));
        m.setOutputUsed(n, true);
        m.leaveOutputName(n);
    }
    for (int z = 1; z <= 10; ++z) {
        const ZoneRef ref = z <= 4 ? wiredZone(z) : wirelessZone(z - 4);
        m.setZoneActive(ref, true);
        m.setZoneMessage(ref, ru(messages[z - 1]));
        for (int r = 1; r <= 4; ++r) {
            m.setRowEnabled(ref, r, true);
            m.setRowMinutes(ref, r, z * 7 + r);
            m.setRowSeconds(ref, r, r * 11);
            m.setRowOutput(ref, r, 4 + (z + r) % 20);
        }
        for (int t = 1; t <= 5; ++t)
            m.setZonePhone(ref, t, (z + t) % 2 == 0);
    }
    for (int s = 1; s <= 8; ++s) {
        const SensorRef ref = s <= 2 ? wiredSensor(s) : wirelessSensor(s - 2);
        m.setSensorActive(ref, true);
        m.setLowAlarm(ref, 5 + s);
        m.setHighAlarm(ref, 40 + s);
        m.setThermostat(ref, true);
        m.setEconomyTemp(ref, 15);
        m.setComfortTemp(ref, 22);
        m.setAutoAfterDisarm(ref, true);
        m.setSensorOutput(ref, 2);
        for (int t = 1; t <= 5; ++t)
            m.setSensorPhone(ref, t, t <= 2);
    }
    for (int n = 1; n <= 6; ++n) {
        m.setSensorName(n, ru("Комната ") + std::to_string(n));
        m.setSensorCode(n, "4" + std::to_string(n) + "5a6b");
    }
    for (int k = 1; k <= 10; ++k) {
        m.setRemoteName(k, ru("Пульт ") + std::to_string(k));
        m.setRemoteCode(k, "7" + std::to_string(k % 10) + "8c9d");
    }
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
    CountingPort port;
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
        prompts, random, [&] { return exchange.mode(); }, [&] { return clock.localNow(); });
    model.startUp();
    ConfigFiles files(model, exchange, logs, prompts);
    ConfigRead read(exchange, model, files);
    ConfigWrite write(exchange, model);
    richConfiguration(model);

    // One chain: its time from the button to its last box, and its floor.
    auto measure = [&](const std::function<void()>& start, const char* done, double waitsMs,
                       double& ms, double& floorMs) {
        waitFor([&] { return exchange.mode() == ExchangeMode::Idle; }, 3000);
        prompts.last.clear();
        port.sent = port.received = 0;
        QElapsedTimer t;
        t.start();
        start();
        if (!waitFor([&] { return prompts.last == ru(done); }, 10000)) {
            std::fprintf(stderr, "the chain did not end well: %s\n",
                         cp1251ToUtf8(prompts.last).c_str());
            std::exit(1);
        }
        ms = t.nsecsElapsed() / 1e6;
        floorMs = (port.sent + port.received) * 1000.0 / 3840.0 + waitsMs;
    };

    std::vector<double> writes, reads, writeFloors, readFloors;
    std::size_t writeBytes = 0, readBytes = 0;
    for (int i = 0; i < runs; ++i) {
        double ms = 0, floorMs = 0;
        measure([&] { write.writeConfiguration(); }, "Процесс записи завершился. Все OK.", 0, ms,
                floorMs);
        writes.push_back(ms), writeFloors.push_back(floorMs);
        writeBytes = port.sent + port.received;
        measure([&] { read.readConfiguration(); }, "Процесс чтения завершился. Все OK.", 200, ms,
                floorMs);
        reads.push_back(ms), readFloors.push_back(floorMs);
        readBytes = port.sent + port.received;
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
