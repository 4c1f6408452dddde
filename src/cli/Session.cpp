#include "cli/Session.h"

#include <QEventLoop>
#include <QTimer>
#include <filesystem>
#include <ostream>

#include "cli/CommandContext.h"
#include "common/Cp1251.h"
#include "core/ProgramFolders.h"

namespace t6::cli {

namespace {

// How often a wait looks at its condition when nothing has told it to.
constexpr int kPollMs = 20;

} // namespace

Session::Session(std::ostream& out, std::ostream& err, const SessionSetup& setup)
    : out_(out), setup_(setup), port_(serial_), prompts_(err) {
    core_ = std::make_unique<AppCore>(port_, clock_, prompts_, setup_.programDir);
    AppCore& core = *core_;
    // The window's backup save.000 lies in the same folder: a read here keeps
    // what it replaces in memory only.
    core.files().setBackupInMemory(true);
    core.dictionary().setDefaultFile(installedDictionary(executableFolder()));
    prompts_.setTranslate([&core](const std::string& t) { return core.translateMessage(t); });
    core.seedRandom();
    core.setLanguage(setup_.language);
    core.setSite(setup_.site);

    const bool showProgress = setup_.device && setup_.errIsTerminal;
    progress_ = std::make_unique<ProgressLine>(err, showProgress, ProgressLine::terminalWidth(2),
                                               showProgress ? tr("передано байт:") : std::string(),
                                               showProgress ? tr("получено байт:") : std::string());
    view_ = std::make_unique<CliView>(*progress_, prompts_, [this] { return clock_.nowMs(); });
    prompts_.setBeforeOutput([this] { progress_->clear(); });
    prompts_.setOnShown([this] { wake(); });
    view_->setOnChange([this] { wake(); });
    // The time field follows the computer's clock while its box is ticked.
    view_->setOnClock([this] { run([this] { core_->model().clockTick(); }); });
    port_.setOnTraffic([this] { view_->showTraffic(port_.sent(), port_.received()); });
    core.exchange().setView(view_.get());

    // The window's start-up steps that concern a run without a window.
    run([&core] { core.model().startUpChoices(); });
    run([&core] { core.model().startUpPanels(); });
    if (!setup_.device)
        return;
    interrupts_ = std::make_unique<InterruptWatch>([this] { wake(); });
    const ExchangeLogs::Created created = core.logs().createFiles();
    if (created)
        run([&core] { core.model().clearUsageRegistry(); });
    else
        core.exchange().showError(platformNameText(created.path) + "\r\n" +
                                  fileFailureText(created.failure, [&core](const std::string& t) {
                                      return core.translateMessage(t);
                                  }));
    core.exchange().start();
}

Session::~Session() {
    finish();
    // The core outlives the view and the progress line it would tell.
    core_->exchange().setView(nullptr);
    prompts_.setBeforeOutput({});
    prompts_.setOnShown({});
    port_.setOnTraffic({});
}

std::string Session::tr(const char* utf8) {
    return core_->translateMessage(ru(utf8));
}

std::string Session::portPath(const std::string& name) {
    namespace fs = std::filesystem;
    if (name.empty() || name.starts_with('/'))
        return name;
    std::error_code ec;
    const fs::path here = fs::current_path(ec);
    // A path is the user's, from the current folder, as any path given here.
    if (name.find('/') != std::string::npos)
        return ec ? name : (here / name).lexically_normal().string();
    // A bare name is a file of the current folder when there is one;
    // otherwise a device of the system, and the user is told so.
    if (!ec && fs::exists(fs::symlink_status(here / name, ec)))
        return (here / name).string();
    const std::string device = "/dev/" + name;
    note(tr("Порт") + " " + platformNameText(name) + " " + tr("понят как") + " " +
         platformNameText(device));
    return device;
}

void Session::usePort(const std::string& name) {
    Connection& c = core_->connection();
    c.setManualMode(true);
    c.setComboText(portPath(name));
}

void Session::wake() {
    if (wake_)
        wake_();
}

bool Session::runUntil(const std::function<bool()>& done) {
    if (interrupted())
        return false;
    if (done())
        return true;
    QEventLoop loop;
    auto check = [this, &loop, &done] {
        if (interrupted() || done())
            loop.quit();
    };
    QTimer poll;
    poll.setInterval(kPollMs);
    QObject::connect(&poll, &QTimer::timeout, &loop, check);
    poll.start();
    auto previous = std::move(wake_);
    wake_ = [&loop, check] { QTimer::singleShot(0, &loop, check); };
    loop.exec();
    wake_ = std::move(previous);
    return !interrupted();
}

int Session::interruptedExit() {
    ExchangeController& ex = core_->exchange();
    if (ex.canCancel())
        run([&ex] { ex.cancelActivity(); });
    core_->logs().memo(ru("Обмен прерван: программа остановлена сигналом"));
    note(tr("Прервано: обмен с прибором остановлен."));
    return Exit::Interrupted;
}

void Session::finish() {
    if (finished_)
        return;
    finished_ = true;
    progress_->clear();
    core_->exchange().shutdown();
    if (!setup_.device)
        return;
    core_->logs().saveMemo();
    core_->logs().closeFiles();
}

} // namespace t6::cli
