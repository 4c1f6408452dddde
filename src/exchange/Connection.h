#pragma once
// Finding the device and making sure it is of the right type.
//
// By default the connect button probes every serial port in turn with the
// identification request "Tt", one port per SearchTimer step (1.2 s), and takes
// the first whose device answers "T7"; replies naming other device types are
// refused with the configurator to use instead. With manual port selection on,
// the button probes only the port named in the combo box, and choosing a port
// there counts as connected at once.

#include <string>
#include <vector>

#include <optional>

#include "common/Bytes.h"
#include "common/Outcome.h"
#include "exchange/ExchangeController.h"

namespace t6 {

class Connection {
public:
    explicit Connection(ExchangeController& exchange);

    // The identification request as it goes on the line: FE FF 54 74 FF FE.
    static const Bytes IdentifyRequest;

    // Start-up: fills the port list; false (after the message) when there is none.
    bool fillPortList();
    // The list asked for again, without a message when it is empty (the
    // manual port box is opened).
    void refreshPortList();
    const std::vector<std::string>& ports() const { return ports_; }

    // The connect button and menu item.
    void connect();

    // Manual port selection (a check item of the menu).
    void setManualMode(bool on);
    bool manualMode() const { return manual_; }

    // The combo box text; typed or chosen. In manual mode a change makes it the
    // connected port at once.
    void setComboText(const std::string& text);
    const std::string& comboText() const { return comboText_; }

    // The version the device gave after its type at its last accepted
    // identification ("2.05"), while that port is the connected one; empty
    // otherwise (a port chosen by hand is connected without one).
    std::string version() const;

    int searchIndex() const { return searchIndex_; }
    int searchLast() const { return searchLast_; }

    // The texts of the identification replies, by reply.
    static std::string refusalText(const Bytes& reply);

    // What became of the last connect: completed (a device of this type
    // answered, or a port was chosen by hand while the search ran), a wrong
    // answer (another type, or an unknown one: its text in the details), no
    // answer, refused (no port, or none could be opened: the reasons), a
    // lost port. Nothing while the search or the probe runs.
    const std::optional<Outcome>& outcome() const { return outcome_; }

private:
    void searchStep();
    void onReply(const Bytes& reply);
    // The port chosen by hand did not answer within 10 s.
    void onProbeTimeout();
    bool listPorts();
    // Each port that did not open with the system's reason, for the outcome.
    std::vector<std::string> troubleReasons(const std::vector<PortTrouble>& troubles) const;

    ExchangeController& ex_;
    std::vector<std::string> ports_;
    std::vector<PortTrouble> troubles_; // ports the search could not open
    std::string comboText_;
    bool manual_ = false;
    std::string version_;
    std::string versionPort_; // the port that gave version_
    int searchIndex_ = 0;
    int searchLast_ = -1;
    bool probing_ = false; // a port chosen by hand awaits its answer
    std::optional<Outcome> outcome_;
};

} // namespace t6
