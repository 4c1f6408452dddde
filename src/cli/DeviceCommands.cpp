#include "cli/DeviceCommands.h"

#include <ostream>

#include "cli/CommandContext.h"
#include "cli/Session.h"
#include "common/Cp1251.h"

namespace t6::cli {

namespace {

std::string trimmed(const std::string& text) {
    const auto b = text.find_first_not_of(' ');
    if (b == std::string::npos)
        return {};
    return text.substr(b, text.find_last_not_of(' ') - b + 1);
}

} // namespace

int portsCommand(Session& s) {
    bool listed = false;
    s.run([&] { listed = s.core().connection().fillPortList(); });
    if (!listed)
        return Exit::DeviceError; // the window's message has been shown
    for (const std::string& name : s.core().connection().ports())
        s.out() << name << '\n';
    return Exit::Ok;
}

int identifyCommand(Session& s, const std::string& port) {
    AppCore& core = s.core();
    ExchangeController& ex = core.exchange();
    const bool manual = !port.empty();
    if (manual)
        s.usePort(port);
    using K = CliPrompts::Kind;
    const std::size_t from = s.prompts().shown().size();
    auto outcome = [&] {
        return s.prompts().lastOutcome(from, {K::Confirm, K::Information, K::Message, K::Error});
    };
    s.run([&] { core.connection().connect(); });
    // The search ends with a box; a probe of one port may also end silently
    // when its reply timer finds no answer.
    if (!s.runUntil([&] {
            return outcome() != nullptr || (manual && ex.mode() != ExchangeMode::Identify);
        }))
        return s.interruptedExit();

    const CliPrompts::Shown* o = outcome();
    if (o && o->kind == K::Confirm && o->text == ru("соединение установлено.")) {
        // The status bar reads "соединен с " + port + " " + what followed "T7".
        const std::string head = ru("соединен с ") + platformNameText(ex.connectedPort()) + " ";
        const std::string& shown = s.view().connection();
        const std::string version =
            shown.rfind(head, 0) == 0 ? shown.substr(head.size()) : std::string();
        s.out() << ex.connectedPort() << '\n' << terminalText(trimmed(version)) << '\n';
        return Exit::Ok;
    }
    if (o && o->kind == K::Information)
        return Exit::WrongDevice; // the refusal names the configurator to use
    if (!o) {
        s.note(s.tr("Прибор не ответил на запрос типа."));
        return Exit::NoAnswer;
    }
    if (o->kind == K::Message &&
        o->text == s.tr("Ошибка связи(нет ответа). Проверьте подключено ли устройство."))
        return Exit::NoAnswer;
    return Exit::DeviceError;
}

int signalCommand(Session& s, const std::string& port) {
    AppCore& core = s.core();
    ExchangeController& ex = core.exchange();
    s.usePort(port);
    const std::size_t from = s.prompts().shown().size();
    s.run([&] { core.signal().refresh(); });
    if (!s.runUntil([&] { return ex.mode() != ExchangeMode::SignalLevel; }))
        return s.interruptedExit();
    if (s.prompts().sawError(from))
        return Exit::DeviceError; // the port failed or went away
    if (s.prompts().saw(ru("НЕТ ответа о уровне сигнала."), from))
        return Exit::NoAnswer;
    if (s.view().signalText().empty())
        return Exit::DeviceError; // no connection: the message has been shown
    const SignalReading& r = core.signal().reading();
    if (r.text == SignalReading().text) {
        // A reply without "+CSQ:" leaves the reading as it was.
        s.note(s.tr("Ответ прибора не содержит уровня сигнала."));
        return Exit::DeviceError;
    }
    s.out() << terminalText(r.text) << '\n';
    return Exit::Ok;
}

} // namespace t6::cli
