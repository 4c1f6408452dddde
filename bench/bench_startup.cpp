// Start-up time of the window: from creating it to an idle event loop, on the
// offscreen platform, in a fresh working directory holding the dictionary.
// Prints one figure per run and the median of the runs.

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "link/QtSerialPort.h"
#include "ui/AppCore.h"
#include "ui/MainWindow.h"
#include "ui/QtClock.h"
#include "ui/QtPrompts.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QElapsedTimer total;
    total.start();
    QApplication app(argc, argv);
    const qint64 appMs = total.elapsed();
    const QString dic = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const int runs = 5;
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QTemporaryDir dir;
        if (!dic.isEmpty())
            QFile::copy(dic, dir.filePath(QStringLiteral("trans.dic")));
        QElapsedTimer t;
        t.start();
        t6::QtSerialPort port;
        t6::QtClock clock;
        t6::QtPrompts prompts;
        t6::AppCore core(port, clock, prompts, dir.path().toStdString());
        t6::MainWindow window(core, &prompts);
        window.show();
        double elapsed = 0;
        // The first idle moment of the event loop after the window is shown.
        QTimer::singleShot(0, [&] {
            elapsed = t.nsecsElapsed() / 1e6;
            QApplication::quit();
        });
        app.exec();
        std::printf("run %d: %.1f ms\n", i + 1, elapsed);
        ms.push_back(elapsed);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("application object: %lld ms\n", static_cast<long long>(appMs));
    std::printf("median start-up to idle event loop: %.1f ms\n", ms[ms.size() / 2]);
    return 0;
}
