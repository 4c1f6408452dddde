// The yardstick of the start-up benchmark: an empty main window of the
// configurator's size, shown, quitting at the first idle moment of its event
// loop, on the same platform and with the same window font.

#include <QApplication>
#include <QMainWindow>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    QFont f(QStringLiteral("Sans Serif"));
    f.setPointSize(8);
    window.setFont(f);
    window.setFixedSize(1027, 704);
    window.show();
    QTimer::singleShot(0, &app, &QApplication::quit);
    return app.exec();
}
