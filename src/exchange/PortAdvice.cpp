#include "exchange/PortAdvice.h"

#include <cstdio>
#include <map>
#include <set>

#include "common/Cp1251.h"

namespace t6 {

namespace {

const char* const kCrLf = "\r\n";

std::string hex4(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", static_cast<unsigned>(value) & 0xFFFFu);
    return text;
}

bool isUsb(const PortDetails& d) {
    return d.vendorId >= 0 && d.productId >= 0;
}

void addLine(std::string& text, const std::string& line) {
    if (!text.empty())
        text += kCrLf;
    text += line;
}

const char* const kReloadUdev = "sudo udevadm control --reload-rules && sudo udevadm trigger";

} // namespace

std::string modemManagerRule(int vendorId, int productId) {
    return "ATTRS{idVendor}==\"" + hex4(vendorId) + "\", ATTRS{idProduct}==\"" + hex4(productId) +
           "\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"";
}

std::string portAdvice(const PortSituation& s, const AdviceTranslate& translate,
                       const ProgramCheck& running) {
    std::string text;
    auto say = [&](const char* words) { return translate(ru(words)); };

    // Ports refused for want of rights, by the group that may use them.
    std::map<std::string, std::set<std::string>> byGroup;
    for (const PortTrouble& t : s.troubles)
        if (t.fault == PortFault::NoPermission)
            byGroup[t.detail.empty() ? "dialout" : t.detail].insert(platformNameText(t.port));
    for (const auto& [group, ports] : byGroup) {
        std::string names;
        for (const std::string& p : ports)
            names += (names.empty() ? "" : ", ") + p;
        addLine(text, say("Нет прав на открытие порта:") + " " + names);
        addLine(text, say("Порт могут открывать члены группы") + " " + group + ". " +
                          say("Добавьте себя в неё командой"));
        addLine(text, "sudo usermod -aG " + group + " $USER");
        addLine(text, say("затем выйдите из сеанса и войдите снова."));
    }

    bool busy = false;
    for (const PortTrouble& t : s.troubles) {
        if (t.fault != PortFault::Busy)
            continue;
        busy = true;
        std::string line = say("Порт занят другой программой:") + " " + platformNameText(t.port);
        if (!t.detail.empty())
            line += " (" + t.detail + ")";
        addLine(text, line);
        addLine(text, say("Закройте эту программу и повторите попытку."));
    }

    std::vector<const PortDetails*> usb;
    for (const PortDetails& d : s.adapters)
        if (isUsb(d))
            usb.push_back(&d);

    if (running && (busy || s.noAnswer) && !usb.empty() && running("ModemManager")) {
        addLine(text, say("Служба ModemManager может занимать USB-адаптеры последовательного "
                          "порта. Чтобы она не трогала адаптер, добавьте правило udev:"));
        for (const PortDetails* d : usb)
            addLine(text, "echo '" + modemManagerRule(d->vendorId, d->productId) +
                              "' | sudo tee -a /etc/udev/rules.d/70-torvel6.rules");
        addLine(text, kReloadUdev);
    }

    if (running && (s.noPorts || (s.noAnswer && usb.empty())) && running("brltty")) {
        addLine(text, say("Служба brltty (для дисплеев Брайля) может забирать USB-адаптеры "
                          "CH340, и их порт пропадает. Если дисплей Брайля к этому адаптеру "
                          "не подключают, исключите адаптер из её правил:"));
        // Its rules name the CH340 adapter as "1a86/7523/".
        addLine(text, "sed '/1a86\\/7523\\//s/^/#/' /usr/lib/udev/rules.d/85-brltty.rules | "
                      "sudo tee /etc/udev/rules.d/85-brltty.rules");
        addLine(text, kReloadUdev);
    }
    return text;
}

} // namespace t6
