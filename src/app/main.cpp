// The configurator: one window over the device on a serial port. The working
// directory at start-up is the program directory: the dictionary "trans.dic"
// is read from it and the logs are written to it. With --user-folder (as the
// desktop menu starts it) the program directory is the user's own folder.

#include <QApplication>
#include <QDir>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

#include "common/Cp1251.h"
#include "core/AppCore.h"
#include "core/ProgramFolders.h"
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

const char kHelp[] =
    "Usage: torvel6-configurator [--user-folder] [Qt options]\n"
    "\n"
    "The configurator of the TORVEL-6 GSM alarm device: finds the device on a\n"
    "serial port, reads, edits and writes its configuration.\n"
    "\n"
    "  --user-folder  work in the per-user folder $XDG_DATA_HOME/torvel6 (normally\n"
    "                 ~/.local/share/torvel6), created on first run and given a copy\n"
    "                 of the installed trans.dic; the logs, save.000 and LoadFile.rep\n"
    "                 are written there. The desktop entry starts the program this way.\n"
    "  --help         show this help and exit\n"
    "  --version      show the version and exit\n"
    "\n"
    "Without --user-folder the program works in the folder it was started in: it\n"
    "reads trans.dic from there and writes its logs there. When that folder has no\n"
    "trans.dic, the installed one is read.\n"
    "\n"
    "Environment:\n"
    "  TORVEL6_EXTRA_PORTS  colon-separated paths offered as ports besides the\n"
    "                       system's serial ports (a pseudo-terminal, for example)\n"
    "  TORVEL6_PORTS        when set, colon-separated paths offered instead of the\n"
    "                       system's serial ports and of TORVEL6_EXTRA_PORTS\n"
    "  XDG_DATA_HOME, HOME  where --user-folder puts its folder\n"
    "  QT_QPA_PLATFORM      the toolkit's display platform (offscreen: no display)\n"
    "\n"
    "Files:\n"
    "  /etc/torvel6/support.txt, else share/torvel6/support.txt of the installation\n"
    "                       the distributor's support contacts for the panel\n"
    "                       \"О производителе\" (UTF-8 lines name=, phone=, email=,\n"
    "                       web=); without it the panel says there are none\n";

struct Options {
    bool userFolder = false;
    bool help = false;
    bool version = false;
};

// The program's own options; everything else is left to the toolkit.
Options readOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--user-folder") == 0)
            o.userFolder = true;
        else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            o.help = true;
        else if (std::strcmp(argv[i], "--version") == 0)
            o.version = true;
    }
    return o;
}

// Moves into the user's folder, made and seeded on first run. A failure is
// told once the window is up; the program then works where it was started.
t6::FileFailure enterUserFolder(const std::filesystem::path& folder,
                                const std::filesystem::path& dictionary) {
    if (const t6::FileFailure failed = t6::prepareUserFolder(folder, dictionary))
        return failed;
    if (::chdir(folder.c_str()) != 0)
        return {t6::FileFault::NotFound, errno};
    return {};
}

} // namespace

int main(int argc, char** argv) {
    // Help and version answer on the terminal, without a display.
    const Options options = readOptions(argc, argv);
    if (options.help) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (options.version) {
        std::puts("torvel6-configurator " T6_VERSION);
        return 0;
    }
    const std::filesystem::path installedDic = t6::installedDictionary(t6::executableFolder());
    std::filesystem::path userFolder;
    t6::FileFailure folderFailure;
    if (options.userFolder) {
        userFolder = t6::userWorkingFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
        folderFailure = enterUserFolder(userFolder, installedDic);
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("torvel6-configurator"));
    // Lets the desktop match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("ru.torvel.Torvel6Configurator"));
    quitOnSignals(app);
    const std::string programDir = QDir::currentPath().toStdString();

    t6::QtSerialPort port;
    port.startListing();
    t6::QtClock clock;
    t6::QtPrompts prompts;
    t6::AppCore core(port, clock, prompts, programDir);
    core.dictionary().setDefaultFile(installedDic);
    t6::MainWindow window(core, &prompts);
    window.show();
    if (folderFailure) {
        QTimer::singleShot(0, &window, [&core, &prompts, userFolder, folderFailure] {
            auto translate = [&core](const std::string& t) { return core.translateMessage(t); };
            const std::u8string path = userFolder.u8string();
            prompts.message(translate(t6::ru("Не удалось подготовить рабочую папку:")) + "\r\n" +
                            t6::platformNameText(std::string(path.begin(), path.end())) + "\r\n" +
                            t6::fileFailureText(folderFailure, translate));
        });
    }
    const int rc = app.exec();
    // Shutdown saves the memo log, closes the logs and the port: all the
    // program keeps is then on disk. Taking the window's hundreds of controls
    // apart one by one would only keep the user waiting, so the process ends here.
    window.shutdown();
    std::fflush(nullptr);
    std::_Exit(rc);
}
