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
    Connection& connection = core.connection();
    if (!port.empty())
        s.usePort(port);
    s.run([&] { connection.connect(); });
    if (!s.runUntil([&] { return connection.outcome().has_value(); }))
        return s.interruptedExit();

    const Outcome& o = *connection.outcome();
    switch (o.kind) {
    case Outcome::Kind::Completed: {
        // The status bar reads "соединен с " + port + " " + what followed "T7".
        s.out() << ex.connectedPort() << '\n'
                << terminalText(trimmed(connection.version())) << '\n';
        return Exit::Ok;
    }
    case Outcome::Kind::WrongAnswer:
        return Exit::WrongDevice; // the refusal names the configurator to use
    case Outcome::Kind::NoAnswer:
        if (!port.empty())
            s.note(s.tr("Прибор не ответил на запрос типа."));
        return Exit::NoAnswer;
    default:
        return exitCodeOf(o);
    }
}

int signalCommand(Session& s, const std::string& port) {
    AppCore& core = s.core();
    SignalLevel& signal = core.signal();
    s.usePort(port);
    s.run([&] { signal.refresh(); });
    if (!s.runUntil([&] { return signal.outcome().has_value(); }))
        return s.interruptedExit();
    const Outcome& o = *signal.outcome();
    if (o.kind == Outcome::Kind::WrongAnswer) {
        // A reply without "+CSQ:" leaves the reading as it was.
        s.note(s.tr("Ответ прибора не содержит уровня сигнала."));
        return Exit::DeviceError;
    }
    if (!o.completed())
        return exitCodeOf(o);
    s.out() << terminalText(signal.reading().text) << '\n';
    return Exit::Ok;
}

} // namespace t6::cli
