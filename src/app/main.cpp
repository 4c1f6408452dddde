// The configurator: one window over the device on a serial port. The working
// directory at start-up is the program directory: the dictionary "trans.dic"
// is read from it and the logs are written to it.

#include <QApplication>
#include <QDir>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

#include "core/AppCore.h"
#include "core/QtClock.h"
#include "link/QtSerialPort.h"
#include "ui/MainWindow.h"
#include "ui/QtPrompts.h"

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int) {
    char c = 1;
    [[maybe_unused]] auto n = ::write(signalPipe[0], &c, 1);
}

// A terminal's Ctrl+C, a logout or a kill end the program the ordinary way, so
// that the memo log is saved and the port closed.
void quitOnSignals(QApplication& app) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[1], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [] {
        char c;
        [[maybe_unused]] auto n = ::read(signalPipe[1], &c, 1);
        QApplication::closeAllWindows();
        QApplication::quit();
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(s, &sa, nullptr);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("torvel6-configurator"));
    quitOnSignals(app);
    const std::string programDir = QDir::currentPath().toStdString();

    t6::QtSerialPort port;
    t6::QtClock clock;
    t6::QtPrompts prompts;
    t6::AppCore core(port, clock, prompts, programDir);
    t6::MainWindow window(core, &prompts);
    window.show();
    const int rc = app.exec();
    window.shutdown();
    return rc;
}
