#include "faults/Scenarios.h"

#include <algorithm>

namespace t6::test {

namespace {

// Later than the reply time-out: the reply lands in the next exchange.
constexpr int kStaleMs = kReplyTimeoutMs + 500;

std::string idOf(Op op, const std::string& stage, Fault fault) {
    std::string id = std::string(opInfo(op).name) + "_" + stage + "_" + faultName(fault);
    std::replace(id.begin(), id.end(), '-', '_');
    return id;
}

struct Rows {
    std::vector<Scenario> list;

    // A fault the operation ends with one message.
    Rows& add(Op op, const std::string& stage, Fault fault, const std::string& arg,
              const std::string& expect, User user = User::Waits, const std::string& note = {}) {
        list.push_back({idOf(op, stage, fault), op, stage, fault, arg, expect, user, note, false});
        return *this;
    }
    // A fault the operation gets over: it completes as without it.
    Rows& copes(Op op, const std::string& stage, Fault fault, const std::string& note = {},
                User user = User::Waits) {
        list.push_back(
            {idOf(op, stage, fault), op, stage, fault, {}, opInfo(op).success, user, note, true});
        return *this;
    }
};

// Texts of the program's messages (first lines).
const std::string kLost = "Порт больше не доступен: …";
const std::string kRefused = "Версия и тип прибора не определены";
const std::string kReadOk = "Процесс чтения завершился. Все OK.";
const std::string kReadCancelled = "Чтение настроек отменено.";
const std::string kWriteNoAnswer = "НЕТ ответа о окончании записи в устройство радиоприборов (";
// Exactly one message, whatever its words; "!" + text: one message, not that one.
const std::string kOne = "?";
const std::string kNotReadOk = "!" + kReadOk;
// Nothing told and no result asked for: the user cancelled, or the device's
// answer is taken as it comes.
const std::string kNothing = "-";

// Notes of the rows the program does not meet yet.
const std::string kSilentEnd =
    "PROGRAM FAULT: the wait ends at the time-out without a word to the user";
const std::string kPortLost =
    "PROGRAM FAULT: the port is gone, yet the operation waits on (and tells more at its time-out)";
const std::string kReplyTimerLeft =
    "PROGRAM FAULT: ReplyTimer runs on after its row; idle only at its second tick (20 s + 1 s)";
const std::string kShortBlockOk =
    "PROGRAM FAULT: a block of the wrong length is ignored and the read reports success";

std::vector<Scenario> makeScenarios() {
    using enum Fault;
    const auto cancel = User::CancelAtAlert;
    Rows r;

    // Identification with the port chosen by hand, and the port search.
    r.add(Op::Identify, "Tt", Silent, {}, kOne, User::Waits, kSilentEnd)
        .add(Op::Identify, "Tt", Wrong, "Err", kRefused)
        .add(Op::Identify, "Tt", Truncated, "5", kOne, User::Waits, kSilentEnd)
        .copes(Op::Identify, "Tt", Noise)
        .add(Op::Identify, "Tt", NoiseInside, {}, "соединение установлено.", User::Waits,
             "the reply is cut at the noise's FF FE: accepted, the version shown is the noise")
        .add(Op::Identify, "Tt", FalseStart, {}, kRefused, User::Waits,
             "the noise's FE FF opens the packet, the reply ends up inside it")
        .copes(Op::Identify, "Tt", Stale)
        .add(Op::Identify, "Tt", Dies, "5", kLost)
        .copes(Op::Identify, "Tt", Twice)
        .add(Op::Search, "Tt", Silent, {},
             "Ошибка связи(нет ответа). Проверьте подключено ли устройство.")
        .add(Op::Search, "Tt", Wrong, "Err", kRefused, User::Waits,
             "the port is given up a second after the refusal")
        .copes(Op::Search, "Tt", Noise)
        .add(Op::Search, "Tt", Dies, "5",
             "Ошибка связи(нет ответа). Проверьте подключено ли устройство.");

    // The signal level: its reading under the gauge is what the user is told.
    r.add(Op::Signal, "Sg", Silent, {}, "НЕТ ответа о уровне сигнала.")
        .add(Op::Signal, "Sg", Wrong, "OK", ".", User::Waits,
             "as specified: a reply without +CSQ: leaves the reading as it was")
        .add(Op::Signal, "Sg", Truncated, "8", "НЕТ ответа о уровне сигнала.")
        .copes(Op::Signal, "Sg", Noise)
        .add(Op::Signal, "Sg", NoiseInside, {}, "нет сигнала")
        .copes(Op::Signal, "Sg", Stale)
        .add(Op::Signal, "Sg", Dies, "6", kLost, User::Waits, kPortLost)
        .copes(Op::Signal, "Sg", Twice);

    // The read: four exchanges; "Ro", "Pn" and "Ltd" wait without a time
    // limit, turn the status bar red after 10 s and wait for "Отмена".
    for (const char* stage : {"Ro", "Pn", "Ltd"}) {
        const std::string shortBlock =
            std::string(stage) == "Ro"
                ? kShortBlockOk + "; the window has no wireless outputs, the zones using them "
                                  "raise \"Выход используется\" mid-read"
                : kShortBlockOk + "; the window keeps what it showed before the read";
        r.add(Op::Read, stage, Silent, {}, kReadCancelled, cancel)
            .add(Op::Read, stage, Truncated, "40", kReadCancelled, cancel)
            .add(Op::Read, stage, Wrong, "Err", kNotReadOk, User::Waits, shortBlock)
            .add(Op::Read, stage, NoiseInside, {}, kNotReadOk, User::Waits,
                 shortBlock + " (cut at the noise's FF FE)")
            .add(Op::Read, stage, Dies, "40", kOne, User::Waits, kPortLost);
    }
    r.add(Op::Read, "Pt", Silent, {}, kOne, User::Waits,
          "PROGRAM FAULT: two boxes, the time-out's and the read's own")
        .add(Op::Read, "Pt", Truncated, "40", kOne, User::Waits,
             "PROGRAM FAULT: two boxes, the time-out's and the read's own")
        .add(Op::Read, "Pt", Wrong, "Err", kNotReadOk, User::Waits,
             "PROGRAM FAULT: any reply passes the scan (it skips bytes that are no record, "
             "no 99 99 check): Все OK. with an empty configuration")
        .add(Op::Read, "Pt", NoiseInside, {},
             "Ответ прибора неполный: блок настроек оборвался внутри записи.")
        .add(Op::Read, "Pt", Dies, "40", kOne, User::Waits, kPortLost);
    const std::string shifted =
        "PROGRAM FAULT: the copy is read as the next block (replies of at least N bytes are "
        "taken); Все OK. with ";
    r.copes(Op::Read, "Ro", Twice)
        .copes(Op::Read, "Pt", Twice, shifted + "remote 1 named from the block, sensor 1 \"Папа\"")
        .copes(Op::Read, "Pn", Twice, shifted + "temperature sensor 1 named \"Папа\"")
        .copes(Op::Read, "Ltd", Twice)
        .copes(Op::Read, "Ro", Stale,
               "PROGRAM FAULT: the stale copy answers Ro, the device's own Ro reply is then "
               "scanned as the main block (no 99 99 check); Все OK. with zone 1 empty",
               cancel)
        .copes(Op::Read, "Pt", Stale,
               "PROGRAM FAULT: the stale block is read as the outputs, every block after it one "
               "off; Все OK. with zone 1 empty")
        .copes(Op::Read, "all", Noise);

    // The write: the block, then three stages of readiness and data.
    r.add(Op::Write, "block", Silent, {},
          "НЕТ ответа о окончании записи в устройство основной конфигурации")
        .add(Op::Write, "block", Wrong, "COK\\x20", "Ответ об успешной записи не корректен.")
        .add(Op::Write, "block", Truncated, "3",
             "НЕТ ответа о окончании записи в устройство основной конфигурации")
        .add(Op::Write, "block", Dies, "0", kLost, User::Waits, kPortLost)
        .copes(Op::Write, "block", Twice)
        .copes(Op::Write, "block", Stale);
    const std::pair<const char*, const char*> stages[] = {
        {"Wp", "Ответ об успешной записи радиопультов не корректен."},
        {"Wtd", "Ответ об успешной записи беспроводных термодатчиков не корректен."},
        {"Wo", "Ответ об успешной записи беспроводных выходов не корректен."}};
    int mode = 301;
    for (const auto& [stage, wrongData] : stages) {
        const std::string data = std::string(stage) + "-data";
        r.add(Op::Write, stage, Silent, {}, kWriteNoAnswer + std::to_string(mode) + ")")
            .add(Op::Write, stage, Wrong, "Ok", kWriteNoAnswer + std::to_string(mode) + ")",
                 User::Waits, "as specified: a readiness other than OK is ignored")
            .add(Op::Write, data, Silent, {}, kWriteNoAnswer + std::to_string(mode + 1) + ")")
            .add(Op::Write, data, Wrong, "Err", wrongData);
        mode += 2;
    }
    r.copes(Op::Write, "Wp", Twice)
        .add(Op::Write, "Wp", Stale, {}, "Ответ об успешной записи не корректен.", User::Waits,
             "the stale OK lands where COK is awaited")
        .add(Op::Write, "Wo", Dies, "3", kLost, User::Waits, kPortLost)
        .add(Op::Write, "Wo-data", Truncated, "3", kWriteNoAnswer + "306)")
        .copes(Op::Write, "Wo-data", Twice)
        .copes(Op::Write, "all", Noise);

    // The keys: the table, one key, the write.
    const std::string tableSilent =
        "PROGRAM FAULT: the panel shows the table it held, nothing says the device did not send it";
    r.add(Op::KeysRead, "Cn", Silent, {}, kOne, User::Waits, tableSilent)
        .add(Op::KeysRead, "Cn", Wrong, "Err", kOne, User::Waits, tableSilent)
        .add(Op::KeysRead, "Cn", Truncated, "100", kOne, User::Waits, tableSilent)
        .add(Op::KeysRead, "Cn", NoiseInside, {}, kOne, User::Waits,
             "PROGRAM FAULT: half a table (cut at the noise) fills rows 1 to 5 without a word")
        .add(Op::KeysRead, "Cn", Dies, "100", kLost)
        .copes(Op::KeysRead, "Cn", Twice)
        .copes(Op::KeysRead, "Cn", Noise);
    r.add(Op::KeyRead, "Kr", Silent, {}, kNothing, User::CancelAtTimeout,
          "no time limit by design, and no red alert either")
        .add(Op::KeyRead, "Kr", Truncated, "6", kNothing, User::CancelAtTimeout,
             "no time limit by design, and no red alert either")
        .add(Op::KeyRead, "Kr", Wrong, "Err", kNothing, User::Waits,
             "any answer is taken as the key: code 457272")
        .add(Op::KeyRead, "Kr", Dies, "6", kLost, User::Waits,
             "PROGRAM FAULT: the key wait outlives the port; Отмена then says no connection and "
             "the wait stays")
        .copes(Op::KeyRead, "Kr", Twice);
    r.add(Op::KeysWrite, "Wr", Silent, {}, "НЕТ ответа о готовности к чтению ключей")
        .add(Op::KeysWrite, "Wr", Wrong, "Ok",
             "Ответ о готовности к сохранению ключей некорректен.")
        .add(Op::KeysWrite, "Wr", Dies, "0", kLost, User::Waits, kPortLost)
        .add(Op::KeysWrite, "Wr", Stale, {}, "Ответ о готовности к сохранению ключей некорректен.",
             User::Waits, "the device, still ready from before, takes Wr as the table: Err")
        .copes(Op::KeysWrite, "Wr", Twice)
        .add(Op::KeysWrite, "Wr-data", Silent, {},
             "Прибор не подтвердил запись ключей: ответа нет 10 с.")
        .add(Op::KeysWrite, "Wr-data", Wrong, "Err",
             "Ответ об успешной записи ключей не корректен.")
        .add(Op::KeysWrite, "Wr-data", Truncated, "3",
             "Прибор не подтвердил запись ключей: ответа нет 10 с.")
        .copes(Op::KeysWrite, "Wr-data", Twice)
        .copes(Op::KeysWrite, "all", Noise);

    // The enrolment: remote controls, zone sensors, temperature sensors, outputs.
    const std::string anyCode = "any answer is taken as the code";
    for (const auto& [op, stage] : {std::pair{Op::Remote, "Pr"}, std::pair{Op::Thermo, "Rtd"}}) {
        r.add(op, stage, Silent, {}, kOne, User::Waits, kSilentEnd + "; " + kReplyTimerLeft)
            .add(op, stage, Truncated, "4", kOne, User::Waits, kSilentEnd + "; " + kReplyTimerLeft)
            .add(op, stage, Wrong, "Err", kNothing, User::Waits, anyCode)
            .add(op, stage, Dies, "4", kLost, User::Waits,
                 "PROGRAM FAULT: the time-out later writes to the closed port: a second error box")
            .copes(op, stage, Twice)
            .copes(op, "all", Noise);
    }
    r.add(Op::SensorList, "Dr", Silent, {}, "Нет ответа от прибора.")
        .add(Op::SensorList, "Dr", Wrong, "Err", "Нет ответа от прибора.")
        .add(Op::SensorList, "Dr", Truncated, "40", "Нет ответа от прибора.")
        .add(Op::SensorList, "Dr", NoiseInside, {}, "Нет ответа от прибора.")
        .add(Op::SensorList, "Dr", Dies, "40", kLost, User::Waits, kPortLost)
        .copes(Op::SensorList, "Dr", Twice)
        .copes(Op::SensorList, "Dr", Stale);
    const std::string sensorForEver =
        "PROGRAM FAULT: never ends: \"Uk\" every 10 s, port open, no Отмена left";
    r.add(Op::SensorLearn, "Ps", Silent, {}, kOne, User::Waits, sensorForEver)
        .add(Op::SensorLearn, "Ps", Truncated, "4", kOne, User::Waits, sensorForEver)
        .add(Op::SensorLearn, "Ps", Wrong, "Err", kNothing, User::Waits, anyCode)
        .copes(Op::SensorLearn, "Ps", Twice);
    for (const char* stage : {"Wd", "Wd-data"}) {
        r.add(Op::SensorWrite, stage, Silent, {}, kOne, User::Waits, kSilentEnd)
            .add(Op::SensorWrite, stage, Wrong, "Err", kOne, User::Waits,
                 kSilentEnd + " (a wrong answer is ignored)")
            .copes(Op::SensorWrite, stage, Twice);
    }
    r.copes(Op::SensorWrite, "all", Noise);
    r.add(Op::Output, "So", Silent, {}, kOne, User::Waits, kSilentEnd)
        .add(Op::Output, "So", Truncated, "4", kOne, User::Waits, kSilentEnd)
        .add(Op::Output, "So", Wrong, "Err", kOne, User::Waits,
             kSilentEnd + " (a wrong answer is ignored)")
        .add(Op::Output, "So", Dies, "4", kLost)
        .copes(Op::Output, "So", Twice)
        .copes(Op::Output, "So", Stale)
        .copes(Op::Output, "all", Noise);
    return r.list;
}

} // namespace

const char* faultName(Fault fault) {
    switch (fault) {
    case Fault::Silent:
        return "silent";
    case Fault::Wrong:
        return "wrong";
    case Fault::Truncated:
        return "truncated";
    case Fault::Noise:
        return "noise";
    case Fault::NoiseInside:
        return "noise_inside";
    case Fault::FalseStart:
        return "false_start";
    case Fault::Stale:
        return "stale";
    case Fault::Dies:
        return "unplugged";
    case Fault::Twice:
        return "twice";
    case Fault::SplitAt:
        return "split";
    }
    return "?";
}

void PrintTo(const Scenario& s, std::ostream* os) {
    *os << s.id;
}

QStringList deviceArgs(const Scenario& s) {
    const QString stage = QString::fromStdString(s.stage);
    const QString arg = QString::fromStdString(s.arg);
    switch (s.fault) {
    case Fault::Silent:
        return {"--silent", stage};
    case Fault::Wrong:
        return {"--reply", stage + "=" + arg};
    case Fault::Truncated:
        return {"--truncate-reply", stage + "=" + arg};
    case Fault::Noise:
        return {"--noise"};
    case Fault::NoiseInside:
        return {"--noise-inside", stage};
    case Fault::FalseStart:
        // A line that picks up FE FF: a start string no stop string follows.
        return {"--noise", "--noise-bytes", "\\x55\\xFE\\xFF\\x31"};
    case Fault::Stale:
        return {"--late-reply", stage + "=" + QString::number(kStaleMs)};
    case Fault::Dies:
        return {"--die-at", stage + "=" + arg};
    case Fault::Twice:
        return {"--reply-twice", stage};
    case Fault::SplitAt:
        return {"--split-at", stage + "=" + arg};
    }
    return {};
}

const std::vector<Scenario>& scenarios() {
    static const std::vector<Scenario> list = makeScenarios();
    return list;
}

} // namespace t6::test
