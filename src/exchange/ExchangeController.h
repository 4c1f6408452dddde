#pragma once
// One request/reply state machine for every exchange with the device.
//
// An operation opens the port, purges it, sets the exchange mode, sends one
// framed request and returns. The reply comes back later as a payload from the
// framer; the controller notes it in the memo and hands it to the handler
// registered for the current mode, which either ends the operation (mode 11)
// or sends the next request. Around this run the timers: ReplyTimer ends an
// operation whose reply does not come within 10 s, CloseTimer closes the port
// one second after an operation has ended, ClockTimer keeps the status bar
// current, and SearchTimer steps the port search.
//
// Everything runs on the user-interface thread. No exception leaves a timer
// tick or a received packet: port errors are shown in the error box.

#include <functional>
#include <map>
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

    Timer& searchTimer() { return *search_; }
    Timer& clockTimer() { return *clockTimer_; }
    Timer& replyTimer() { return *reply_; }
    Timer& closeTimer() { return *close_; }
    // The port search's step, run at each SearchTimer tick.
    void setSearchStep(std::function<void()> step) { searchStep_ = std::move(step); }

    // The handler of the replies in a mode. Modes without one ignore their replies.
    void registerHandler(ExchangeModeValue mode, PacketHandler handler);

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

    // The common start of an operation. Stops ReplyTimer and CloseTimer; without
    // a known device port, or when the port does not open, shows the "no
    // connection" text (with why the port did not open) and gives false. Otherwise opens
    // ConnectedPort, purges, sets the mode, starts ReplyTimer when asked, and gives true; the
    // caller then sends its request. Port errors of the purge are thrown to the caller.
    bool beginOperation(ExchangeModeValue mode, const std::string& noConnectionText,
                        bool startReplyTimer = true);
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

    // Steps other parts of the program attach to a ReplyTimer row: the caption
    // of a row's read button, the sensor panel's notice, (for modes 7 and 15)
    // the steps that run after the box is answered with Yes, or (for the read
    // block, 2, and the write stages, 3 and 301 to 306) the steps that end the
    // chain after its box, whatever the answer.
    void setTimeoutHook(ExchangeModeValue mode, std::function<void()> hook);
    // What became of an operation whose reply did not come: asked first when
    // the reply timer expires in the mode, before any box; where the time-out
    // shows a box (the read block, 2), its words (Windows-1251, translated)
    // follow the box's own line, so that one box tells all.
    void setTimeoutOutcome(ExchangeModeValue mode, std::function<std::string()> outcome);

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
    // Called after every chunk of received bytes has been framed, with the
    // bytes still held (a long reply in the making).
    void setReceiveWatch(std::function<void(std::size_t held)> watch) {
        receiveWatch_ = std::move(watch);
    }

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
    void runHook(ExchangeModeValue mode);

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
    std::function<void()> searchStep_;
    std::map<ExchangeModeValue, PacketHandler> handlers_;
    std::map<ExchangeModeValue, std::function<void()>> timeoutHooks_;
    std::map<ExchangeModeValue, std::function<std::string()>> timeoutOutcomes_;
    std::string timeoutOutcome(ExchangeModeValue mode);
    std::vector<InterruptListener> interruptListeners_;
    std::vector<std::string> interrupt(Interruption why);
    std::function<void()> cancel_;
    std::function<void(std::size_t)> receiveWatch_;
};

} // namespace t6
