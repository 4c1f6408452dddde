// Start-up time of the configurator: from the start of main() (before the
// application object exists) to the first idle moment of the event loop with
// the window shown, on the offscreen platform, in a fresh working directory
// holding the dictionary given as the first argument. One run per process, as
// a user starts it; scripts/bench-startup.sh takes the median of several.

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

#include "core/AppCore.h"
#include "core/QtClock.h"
#include "link/QtSerialPort.h"
#include "ui/MainWindow.h"
#include "ui/QtPrompts.h"

namespace {
long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}
} // namespace

int main(int argc, char** argv) {
    QElapsedTimer t;
    t.start();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    if (argc > 1)
        QFile::copy(QString::fromLocal8Bit(argv[1]), dir.filePath(QStringLiteral("trans.dic")));
    t6::QtSerialPort port;
    port.startListing();
    t6::QtClock clock;
    t6::QtPrompts prompts;
    t6::AppCore core(port, clock, prompts, dir.path().toStdString());
    t6::MainWindow window(core, &prompts);
    window.show();
    double elapsed = 0;
    QTimer::singleShot(0, [&] {
        elapsed = t.nsecsElapsed() / 1e6;
        QApplication::quit();
    });
    app.exec();
    std::printf("start-up to idle event loop: %.1f ms, resident memory: %ld KiB\n", elapsed,
                residentKiB());
    std::fflush(stdout);
    _exit(0);
}
