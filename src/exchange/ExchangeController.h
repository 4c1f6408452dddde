#pragma once
// One request/reply state machine for every exchange with the device.
//
// An operation opens the port and asks for one exchange step at a time: a
// request in a mode, how long its reply may take, and what to do on the
// reply and on the time-out. The controller purges, sets the mode, sends the
// framed request and returns. The reply comes back later as a payload from the
// framer; the controller notes it in the memo and hands it to the step, which
// either ends the operation (mode 11) or asks for the next step. The
// controller alone runs the timers: ReplyTimer ends a step whose reply does not
// come within 10 s, CloseTimer closes the port one second after an operation
// has ended, ClockTimer keeps the status bar current, and SearchTimer steps
// the port search.
//
// Everything runs on the user-interface thread. No exception leaves a timer
// tick or a received packet: port errors are shown in the error box.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/Bytes.h"
#include "common/Clock.h"
#include "common/Prompts.h"
#include "exchange/ExchangeLogs.h"
#include "exchange/ExchangeMode.h"
#include "exchange/ExchangeView.h"
#include "exchange/PortAdvice.h"
#include "link/PacketFramer.h"
#include "link/SerialPort.h"

namespace t6 {

class ExchangeController {
public:
    using PacketHandler = std::function<void(const Bytes& payload)>;
    using Translate = std::function<std::string(const std::string&)>;

    static constexpr int kSearchIntervalMs = 1200;
    static constexpr int kClockIntervalMs = 1000;
    static constexpr int kReplyIntervalMs = 10000;
    static constexpr int kCloseIntervalMs = 1000;

    // FE FF and FF FE, the framing of every request and reply.
    static const Bytes PacketPrefix;
    static const Bytes PacketSuffix;

    ExchangeController(SerialPort& port, Clock& clock, Prompts& prompts, ExchangeLogs& logs);
    ~ExchangeController();
    ExchangeController(const ExchangeController&) = delete;
    ExchangeController& operator=(const ExchangeController&) = delete;

    void setView(ExchangeView* view) { view_ = view ? view : &noView_; }
    ExchangeView& view() { return *view_; }
    // Messages marked for the dictionary pass through this before they are shown.
    void setTranslate(Translate t) { translate_ = std::move(t); }
    std::string translate(const std::string& text) const;

    // Start-up: the clock and closing timers run from here on.
    void start();
    // Shutdown: an open port is purged and closed.
    void shutdown();

    ExchangeModeValue mode() const { return mode_; }
    void setMode(ExchangeModeValue m) { mode_ = m; }
    const std::string& connectedPort() const { return connectedPort_; }
    void setConnectedPort(const std::string& p) { connectedPort_ = p; }

    SerialPort& port() { return port_; }
    Clock& clock() { return clock_; }
    Prompts& prompts() { return prompts_; }
    ExchangeLogs& logs() { return logs_; }
    PacketFramer& framer() { return framer_; }

    // Whether the reply timer, the closing timer or the port search runs
    // (for the window's state and for tests; only the controller starts them).
    bool replyTimerActive() const { return reply_->isActive(); }
    bool closeTimerActive() const { return close_->isActive(); }
    bool searching() const { return search_->isActive(); }
    bool clockRunning() const { return clockTimer_->isActive(); }
    // The port search: step runs at each SearchTimer tick until stopSearch().
    void startSearch(std::function<void()> step);
    void stopSearch();

    // How a step waits for its reply.
    enum class Wait {
        Reply,     // 10 s on the reply timer, then the step's time-out
        Unlimited, // as long as it takes; told once after 10 s of silence when asked
    };
    // One exchange step of an operation: the controller stops the reply and
    // closing timers, purges the port when asked, sets the mode, sends the
    // request framed, and starts the wait. Each reply that comes while the
    // controller is in the step's mode goes to onReply; no reply within 10 s
    // runs onTimeout (without one, the step just ends: mode 11, the port
    // closes a second later). What the operation does when it is cut short
    // (another operation, a lost port) it tells addInterruptListener.
    struct Step {
        ExchangeModeValue mode = ExchangeMode::Idle;
        std::optional<Bytes> request = {}; // the body; nothing is sent without one
        bool purge = true;
        Wait wait = Wait::Reply;
        PacketHandler onReply = {};
        std::function<void()> onTimeout = {};
        // Wait::Unlimited: 10 s have passed without a reply (told once).
        std::function<void()> onSilence = {};
        // Each chunk of a long reply in the making: the bytes held so far.
        std::function<void(std::size_t held)> onReceiving = {};
    };
    void request(Step step);
    // The awaited reply came: the reply timer, the silence watch and the
    // closing timer stop; the mode stays until the operation goes on or ends.
    void replyCame();
    // The port closes a second later unless a step begins first (it closes
    // only in mode 11).
    void closeLater();
    // A time-out's box (a single Yes): mode 11 first; on Yes the step ends
    // (the port closes a second later). Gives the answer.
    bool endWithBox(const std::string& text);

    // Stops ReplyTimer and CloseTimer where they run: the first step of every operation.
    void stopTimers();
    // Names the port after ConnectedPort and opens it unless it is open; the
    // port state is shown again. An open failure is not thrown: Failed says
    // opening raised an error, StillClosed that the port is closed all the same.
    enum class Opening { Open, Failed, StillClosed };
    Opening openConnectedPort();

    // The program's text, then, in the same box (CR LF between), which ports
    // failed and why and what to do about it; the text alone when there is
    // nothing to add. A port that is not there is told with the ports the
    // system has.
    std::string withAdvice(const std::string& text, PortSituation situation);
    // The text followed by why the last openConnectedPort() failed, once.
    std::string withOpenFailure(const std::string& text);
    // Which services run, for the advice; the system's process list by default.
    void setProgramCheck(ProgramCheck check) { programCheck_ = std::move(check); }

    // The common start of an operation. Tells the operations that wait, stops
    // ReplyTimer and CloseTimer; without a known device port, or when the port
    // does not open, shows the "no connection" text (with why the port did not
    // open) and gives false. Otherwise ConnectedPort is open and the caller
    // asks for its first step.
    bool beginOperation(const std::string& noConnectionText);
    // Writes PacketPrefix + body + PacketSuffix in one write.
    void sendFramed(const Bytes& body);
    // The request as it goes on the line.
    static Bytes framed(const Bytes& body);

    // The usual end of an operation whose result has been shown: mode 11,
    // ReplyTimer stopped, the port purged, CloseTimer started.
    void endOperation();
    // "Finish": mode 11, CloseTimer started, ReplyTimer stopped.
    void finish();
    // The end after a result box with the single button Yes: mode 11 whatever
    // the answer; on Yes the port is purged and CloseTimer started. A port
    // that went away while the box was up is left alone.
    void endAfterBox(bool yes);

    // Why an operation that waits is ended before its reply.
    enum class Interruption {
        AnotherOperation, // the user started another one: the waiting one is abandoned
        PortLost,         // the port went away: no reply can come any more
    };
    // An operation that waits (a read or write chain, a learning wait, the key
    // panel) and is told when it is cut short, so that it can end itself
    // cleanly. It gives what became of it in a sentence (Windows-1251,
    // translated), or nothing. Attach once.
    using InterruptListener = std::function<std::string(Interruption)>;
    void addInterruptListener(InterruptListener listener);
    // Every operation tells the listeners first thing; what they give is shown
    // as notices. A partial packet left by an earlier exchange is dropped then.
    void operationStarting();
    // Whether an exchange waits for its reply (the port is then in use).
    bool operationWaiting() const;

    // What the window's "Отмена" of the current activity does; empty: none.
    void setCancel(std::function<void()> cancel) { cancel_ = std::move(cancel); }
    bool canCancel() const { return static_cast<bool>(cancel_); }
    void cancelActivity();
    // Entry points from the port and from the timers.
    void onBytesReceived(const Bytes& chunk);
    void onPacket(const Bytes& payload);
    void onReplyTimer();
    void onCloseTimer();
    void onClockTimer();
    void onPortLost(int code);

    // "Открыт (Com=...)" / "Закрыт (Com=...)".
    std::string portStateText() const;
    void refreshPortState();

    // Runs a step that comes from the event loop; a port error it raises is
    // shown in the error box instead of leaving the loop. A port that fails
    // while an exchange waits ends that exchange as a lost port does (its
    // operations are told, the box says what became of them) and closes a
    // second later.
    void guarded(const std::function<void()>& step);
    void showError(const std::string& text);

private:
    void onSilence();
    bool inStep() const;

    std::optional<PortTrouble> openTrouble_;
    ProgramCheck programCheck_;

    SerialPort& port_;
    Clock& clock_;
    Prompts& prompts_;
    ExchangeLogs& logs_;
    ExchangeView noView_;
    ExchangeView* view_ = &noView_;
    Translate translate_;
    PacketFramer framer_;

    ExchangeModeValue mode_ = ExchangeMode::Idle;
    std::string connectedPort_;
    std::unique_ptr<Timer> search_;
    std::unique_ptr<Timer> clockTimer_;
    std::unique_ptr<Timer> reply_;
    std::unique_ptr<Timer> close_;
    std::unique_ptr<Timer> silence_;
    std::function<void()> searchStep_;
    Step step_;
    std::vector<InterruptListener> interruptListeners_;
    std::vector<std::string> interrupt(Interruption why);
    std::function<void()> cancel_;
};

} // namespace t6
