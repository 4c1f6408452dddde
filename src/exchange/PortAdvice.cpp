#include "exchange/PortAdvice.h"

#include <cerrno>
#include <cstdio>
#include <utility>

#include "common/Cp1251.h"

namespace t6 {

namespace {

const char* const kCrLf = "\r\n";
const char* const kReloadUdev = "sudo udevadm control --reload-rules && sudo udevadm trigger";
const char* const kRulesFile = "/etc/udev/rules.d/70-torvel6.rules";

using Lines = std::vector<std::string>;

std::string hex4(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04x", static_cast<unsigned>(value) & 0xFFFFu);
    return text;
}

std::string octal(unsigned mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", mode & 07777u);
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

// The system's reasons, as this family of systems words them.
const char* reasonWords(int code) {
    switch (code) {
    case EPERM:
        return "Операция не позволена";
    case ENOENT:
        return "Нет такого файла или устройства";
    case EIO:
        return "Ошибка ввода/вывода";
    case ENXIO:
        return "Нет такого устройства или адреса";
    case EBADF:
        return "Неверный дескриптор файла";
    case EAGAIN:
        return "Ресурс временно недоступен";
    case EACCES:
        return "Отказано в доступе";
    case EBUSY:
        return "Устройство или ресурс занято";
    case ENODEV:
        return "Нет такого устройства";
    case ENOTDIR:
        return "Это не каталог";
    case EISDIR:
        return "Это каталог";
    case EINVAL:
        return "Недопустимый аргумент";
    case EMFILE:
        return "Слишком много открытых файлов";
    case ENOTTY:
        return "Это не последовательный порт";
    case EROFS:
        return "Файловая система доступна только для чтения";
    case ENAMETOOLONG:
        return "Слишком длинное имя файла";
    case ELOOP:
        return "Слишком много уровней символьных ссылок";
    case EOPNOTSUPP:
        return "Операция не поддерживается";
    case ETIMEDOUT:
        return "Время ожидания истекло";
    default:
        return nullptr;
    }
}

// The last part of a path: the name the kernel gives the device.
std::string kernelName(const std::string& device) {
    const auto slash = device.rfind('/');
    return slash == std::string::npos ? device : device.substr(slash + 1);
}

// A device file made by udev: directly under /dev (not a pseudo-terminal
// under /dev/pts, nor a file elsewhere).
bool madeByUdev(const std::string& device) {
    return device.starts_with("/dev/") && device.find('/', 5) == std::string::npos;
}

bool builtInPort(const std::string& kernel) {
    return kernel.size() > 4 && kernel.starts_with("ttyS") &&
           kernel.find_first_not_of("0123456789", 4) == std::string::npos;
}

class Wording {
public:
    Wording(const PortSituation& s, const AdviceTranslate& translate)
        : s_(s), translate_(translate) {}

    std::string say(const char* words) const { return translate_(ru(words)); }

    std::string reason(const PortTrouble& t) const {
        if (t.code == 0)
            return {};
        return systemReasonText(t.code, translate_);
    }

    Lines advice(const PortTrouble& t) const {
        switch (t.fault) {
        case PortFault::NoPermission:
            return access(t.access);
        case PortFault::Busy:
            return {t.detail.empty()
                        ? say("Порт занят другой программой.")
                        : say("Порт занят другой программой:") + " " + platformNameText(t.detail),
                    say("Закройте эту программу и повторите попытку.")};
        case PortFault::NotFound: {
            const std::string list = portList();
            return {say("Такого порта нет.") + (list.empty() ? "" : " " + list)};
        }
        case PortFault::NotAPort:
            if (std::string list = portList(); !list.empty())
                return {std::move(list)};
            return {};
        case PortFault::Other:
            break;
        }
        return {};
    }

private:
    // The ports the system has, when the caller asked it.
    std::string portList() const {
        if (!s_.systemPorts)
            return {};
        if (s_.systemPorts->empty())
            return say("В системе нет ни одного последовательного порта.");
        std::string names;
        for (const std::string& p : *s_.systemPorts)
            names += (names.empty() ? "" : ", ") + platformNameText(p);
        return say("Порты в системе:") + " " + names;
    }

    Lines access(const PortAccess& a) const {
        const std::string group = platformNameText(a.group);
        const std::string device = platformNameText(a.device);
        const std::string mode = " " + octal(a.mode);
        switch (a.cause) {
        case AccessCause::NotInGroup:
            return {say("Порт могут открывать члены группы") + " " + group + ". " +
                        say("Добавьте себя в неё командой"),
                    "sudo usermod -aG " + group + " $USER",
                    say("затем выйдите из сеанса и войдите снова.")};
        case AccessCause::NewLogin:
            return {say("Порт могут открывать члены группы") + " " + group + ". " +
                    say("Вы уже в ней, но этот сеанс начат раньше: выйдите из сеанса и войдите "
                        "снова.")};
        case AccessCause::GroupLacksRights: {
            Lines lines{say("Вы в группе") + " " + group + ", " +
                            say("но у группы нет права читать и писать порт (права") + mode +
                            "). " + say("Дайте ей права командой"),
                        "sudo chmod g+rw " + device};
            if (madeByUdev(a.device)) {
                lines.push_back(say("При следующем подключении адаптера или запуске системы "
                                    "права станут прежними, если их не задаст правило udev:"));
                lines.push_back("echo 'SUBSYSTEM==\"tty\", KERNEL==\"" +
                                platformNameText(kernelName(a.device)) + "\", MODE=\"" +
                                octal(a.mode | 0060u) + "\"' | sudo tee -a " + kRulesFile);
                lines.push_back(kReloadUdev);
            }
            return lines;
        }
        case AccessCause::OwnerLacksRights:
            return {say("Порт принадлежит вам, но у владельца нет права читать и писать его "
                        "(права") +
                        mode + "). " + say("Дайте их командой"),
                    "chmod u+rw " + device};
        case AccessCause::OwnerOnly: {
            const bool groupMay = (a.mode & 0060u) == 0060u;
            Lines lines{say("Права порта") + mode + " (" + say("владелец") + " " +
                        platformNameText(a.owner) + ", " + say("группа") + " " + group + ") " +
                        (groupMay ? say("не позволяют открыть его обычному пользователю.")
                                  : say("не позволяют открыть его обычному пользователю: "
                                        "вступление в группу не поможет."))};
            const std::string kernel = kernelName(a.device);
            if (builtInPort(kernel))
                lines.push_back(say("Встроенный порт") + " " + platformNameText(kernel) + " " +
                                say("часто ни к чему не подключён; USB-адаптер появляется в "
                                    "системе как ttyUSB или ttyACM."));
            return lines;
        }
        case AccessCause::Unexplained:
            break;
        }
        return {};
    }

    const PortSituation& s_;
    const AdviceTranslate& translate_;
};

// Ports that failed for the same reason with the same advice, told once.
struct Block {
    std::vector<std::string> ports;
    std::string reason;
    Lines advice;
};

} // namespace

PortTrouble troubleOf(const std::string& port, const PortError& error) {
    return {port, error.fault(), error.code(), error.detail(), error.access()};
}

std::string systemReasonText(int code, const AdviceTranslate& translate) {
    if (const char* words = reasonWords(code))
        return translate(ru(words));
    return translate(ru("Системная ошибка")) + " " + std::to_string(code);
}

std::string modemManagerRule(int vendorId, int productId) {
    return "ATTRS{idVendor}==\"" + hex4(vendorId) + "\", ATTRS{idProduct}==\"" + hex4(productId) +
           "\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"";
}

std::string portAdvice(const PortSituation& s, const AdviceTranslate& translate,
                       const ProgramCheck& running) {
    const Wording w(s, translate);
    std::string text;

    std::vector<Block> blocks;
    bool busy = false;
    for (const PortTrouble& t : s.troubles) {
        busy = busy || t.fault == PortFault::Busy;
        Block b{{platformNameText(t.port)}, w.reason(t), w.advice(t)};
        if (b.reason.empty() && b.advice.empty())
            continue; // nothing known about it
        bool joined = false;
        for (Block& other : blocks)
            if (other.reason == b.reason && other.advice == b.advice) {
                other.ports.push_back(b.ports.front());
                joined = true;
                break;
            }
        if (!joined)
            blocks.push_back(std::move(b));
    }
    for (const Block& b : blocks) {
        std::string names = w.say(b.ports.size() == 1 ? "Порт" : "Порты");
        for (std::size_t i = 0; i < b.ports.size(); ++i)
            names += (i == 0 ? " " : ", ") + b.ports[i];
        addLine(text, b.reason.empty() ? names : names + ": " + b.reason);
        for (const std::string& line : b.advice)
            addLine(text, line);
    }

    std::vector<const PortDetails*> usb;
    for (const PortDetails& d : s.adapters)
        if (isUsb(d))
            usb.push_back(&d);

    if (running && (busy || s.noAnswer) && !usb.empty() && running("ModemManager")) {
        addLine(text, w.say("Служба ModemManager может занимать USB-адаптеры последовательного "
                            "порта. Чтобы она не трогала адаптер, добавьте правило udev:"));
        for (const PortDetails* d : usb)
            addLine(text, "echo '" + modemManagerRule(d->vendorId, d->productId) +
                              "' | sudo tee -a " + kRulesFile);
        addLine(text, kReloadUdev);
    }

    if (running && (s.noPorts || (s.noAnswer && usb.empty())) && running("brltty")) {
        addLine(text, w.say("Служба brltty (для дисплеев Брайля) может забирать USB-адаптеры "
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
