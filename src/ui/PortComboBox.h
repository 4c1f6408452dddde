#pragma once
// The manual port box. Its items are the port names, which is what the edit
// line takes when one is picked; the opened list also shows what each adapter
// is (maker, product, USB VID:PID) and says it in the item's tooltip and to a
// screen reader. The list is asked for again each time it opens, so that an
// adapter plugged in after start-up is there.

#include <QComboBox>
#include <functional>
#include <string>
#include <vector>

#include "link/SerialPort.h"

namespace t6 {

class PortComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit PortComboBox(QWidget* parent = nullptr);

    // Run before the list opens: fills the box again.
    void setBeforePopup(std::function<void()> refresh) { beforePopup_ = std::move(refresh); }

    // Replaces the items, keeping the edit line's text. A port's details are
    // looked up by its name.
    void setPorts(const std::vector<std::string>& ports, const std::vector<PortDetails>& details);

    // What an adapter is, in one line: "FTDI FT232R USB UART (0403:6001)"; empty
    // when the system tells nothing.
    static QString detailsText(const PortDetails& d);

    void showPopup() override;

private:
    // The box's tip says what the chosen port is.
    void updateTip();

    std::function<void()> beforePopup_;
};

} // namespace t6
