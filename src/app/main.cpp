// The configurator: one window over the device on a serial port. The working
// directory at start-up is the program directory: the dictionary "trans.dic"
// is read from it and the logs are written to it.

#include <QApplication>
#include <QDir>

#include "link/QtSerialPort.h"
#include "ui/AppCore.h"
#include "ui/MainWindow.h"
#include "ui/QtClock.h"
#include "ui/QtPrompts.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("torvel6-configurator"));
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
