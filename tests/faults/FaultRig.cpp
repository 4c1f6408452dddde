#include "faults/FaultRig.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "common/Cp1251.h"

namespace t6::test {

namespace fs = std::filesystem;

bool runUntil(const std::function<bool()>& done, int ms) {
    QDeadlineTimer deadline(ms);
    QTimer wake;
    wake.start(5);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

void FaultView::showNotice(const std::string& t) {
    notes.push_back({"notice", cp1251ToUtf8(t)});
}
void FaultView::showPortState(const std::string& t) {
    portState = cp1251ToUtf8(t);
}
void FaultView::showConnection(const std::string& t) {
    connection = cp1251ToUtf8(t);
}
void FaultView::showSignal(int, const std::string& t, bool) {
    signal = cp1251ToUtf8(t);
    notes.push_back({"gauge", signal});
}

namespace {

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary);
    f << bytes;
}

// FNV-1a over the bytes, with the size: enough to see any change.
std::string digest(const fs::path& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    const std::string bytes = s.str();
    std::uint64_t h = 1469598103934665603ull;
    for (unsigned char c : bytes) {
        h ^= c;
        h *= 1099511628211ull;
    }
    char text[48];
    std::snprintf(text, sizeof text, "%zu:%016llx", bytes.size(),
                  static_cast<unsigned long long>(h));
    return text;
}

} // namespace

FaultRig::FaultRig(const std::string& name) {
    dir_ = fs::temp_directory_path() / ("t6-faults-" + std::to_string(::getpid()) + "-" + name);
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    // The dictionary as installed, and what a user keeps beside the program:
    // a configuration, a key file, the last backup and the last load report.
    fs::copy_file(fs::path(T6_SOURCE_DIR) / "data" / "trans.dic", dir_ / "trans.dic");
    writeFile(dir_ / "дача.cfg", ru("@message\r\nмоя конфигурация\r\n"));
    writeFile(dir_ / "ключи.key", "01A2B3C4D5E6F708\r\n");
    writeFile(dir_ / "save.000", "an older backup\r\n");
    writeFile(dir_ / "LoadFile.rep", "an older report\r\n");
}

FaultRig::~FaultRig() {
    if (core_) {
        core_->exchange().shutdown();
        core_->exchange().setView(nullptr);
        core_.reset();
    }
    stopDevice();
    qunsetenv("TORVEL6_PORTS");
    std::error_code ec;
    fs::remove_all(dir_, ec);
}

bool FaultRig::startDevice(QStringList args) {
    if (!args.contains("--learn-delay"))
        args << "--learn-delay"
             << "200";
    // Never the terminal's own name: once the device is gone, the system may
    // give that name to the terminal of another test's device.
    pty = (dir_ / "ttyT6").string();
    args << "--link" << QString::fromStdString(pty);
    sim_.start(QString::fromUtf8(T6_DEVICESIM), args);
    if (!sim_.waitForStarted(3000) || !runUntil([this] { return sim_.canReadLine(); }, 3000))
        return false;
    const std::string terminal = QString::fromUtf8(sim_.readLine()).trimmed().toStdString();
    // Only the device's terminal is searched, not the system's ports, which
    // other scenarios probe at the same time.
    qputenv("TORVEL6_PORTS", QByteArray::fromStdString(pty));
    return !terminal.empty();
}

void FaultRig::stopDevice() {
    if (sim_.state() == QProcess::NotRunning)
        return;
    sim_.terminate();
    if (!sim_.waitForFinished(2000)) {
        sim_.kill();
        sim_.waitForFinished(2000);
    }
}

void FaultRig::startCore() {
    core_ = std::make_unique<AppCore>(port_, clock_, prompts_, dir_.string());
    AppCore& c = *core_;
    c.exchange().setView(&view_);
    c.setLanguage('R');
    act([&c] { c.model().startUpChoices(); });
    act([&c] { c.connection().fillPortList(); });
    act([&c] { c.model().startUpPanels(); });
    if (c.logs().createFiles())
        act([&c] { c.model().clearUsageRegistry(); });
    c.exchange().start();
}

void FaultRig::act(const std::function<void()>& step) {
    core_->exchange().guarded(step);
}

bool FaultRig::ended() {
    ExchangeController& ex = core_->exchange();
    const ExchangeModeValue m = ex.mode();
    return (m == ExchangeMode::Idle || m == ExchangeMode::IdleAfterOperation) &&
           !ex.replyTimerActive() && !ex.searching() && !ex.canCancel() &&
           !view_.busy() && !core_->configRead().running() && !core_->configWrite().running() &&
           !core_->keys().saving() && core_->keys().pendingRead() == 0;
}

bool FaultRig::idle() {
    return ended() && !port_.isOpen() && !core_->exchange().closeTimerActive();
}

std::vector<Told> FaultRig::told() const {
    std::vector<Told> out;
    for (const auto& s : prompts_.shown) {
        using K = ScriptedPrompts::Kind;
        const char* kind = s.kind == K::Error                               ? "error"
                           : s.kind == K::Question                          ? "question"
                           : s.kind == K::OpenFile || s.kind == K::SaveFile ? "dialog"
                                                                            : "box";
        out.push_back({kind, cp1251ToUtf8(s.text)});
    }
    out.insert(out.end(), view_.notes.begin() + static_cast<std::ptrdiff_t>(notesSeen_),
               view_.notes.end());
    return out;
}

void FaultRig::clearTold() {
    prompts_.clear();
    notesSeen_ = view_.notes.size();
}

std::map<std::string, std::string> FaultRig::files() const {
    std::map<std::string, std::string> out;
    std::error_code ec;
    for (const auto& e : fs::recursive_directory_iterator(dir_, ec)) {
        if (e.is_regular_file(ec) && !e.is_symlink(ec))
            out[fs::relative(e.path(), dir_).string()] = digest(e.path());
    }
    return out;
}

} // namespace t6::test
