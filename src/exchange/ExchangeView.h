#pragma once
// What the exchange operations show in the window: the status bar, the
// connect button, the port list, the signal gauge. The window implements it;
// tests record it. Texts are Windows-1251.

#include <string>
#include <vector>

#include "common/Clock.h"

namespace t6 {

class ExchangeView {
public:
    virtual ~ExchangeView() = default;
    // Status bar panel 0: "Открыт (Com=...)" or "Закрыт (Com=...)".
    virtual void showPortState(const std::string&) {}
    // Status bar panel 1: the connection text, or the port being probed.
    virtual void showConnection(const std::string&) {}
    // Every second: the clock panels (and the time field when it follows the PC).
    virtual void showClock(const LocalTime&) {}
    // The connect button after an accepted identification: "Соединен", disabled.
    virtual void showConnected(const std::string&) {}
    // The items of the port combo box.
    virtual void showPortList(const std::vector<std::string>&) {}
    // Manual port selection switched on or off: the combo box and its label.
    virtual void showManualMode(bool) {}
    // The signal gauge (0-100), its text, and whether the text is red.
    virtual void showSignal(int, const std::string&, bool) {}

    // What a long operation is doing: its stage and how far it has come, in
    // place of the port state while it runs. An empty text ends it (the port
    // state is shown again). cancellable: the window offers a way to cancel;
    // alert: something needs the user's attention (the device is silent).
    struct Activity {
        std::string text;
        bool cancellable = false;
        bool alert = false;
    };
    virtual void showActivity(const Activity&) {}
    // A passing note the user should see without a box.
    virtual void showNotice(const std::string&) {}
};

} // namespace t6
