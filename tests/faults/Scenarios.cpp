#include "faults/Scenarios.h"

#include <algorithm>
#include <tuple>

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
// Nothing told and no result asked for: the user cancelled, or the device's
// answer is taken as it comes.
const std::string kNothing = "-";

const std::string kReadTimeout = "Превышен период ожидания ответа устройства.";
const std::string kPartTable = "Таблица ключей прочитана не полностью; байт в ответе прибора …";
const std::string kNotHeard = "не услышан за 10 с: ожидание закончено.";
const std::string kShortBlock = "Ответ прибора неполный: …";
const std::string kCutShort =
    "a reply shorter than the awaited block ends the read at once, the window put back from "
    "save.000 in the same box";

std::vector<Scenario> makeScenarios() {
    using enum Fault;
    const auto cancel = User::CancelAtAlert;
    Rows r;

    // Identification with the port chosen by hand, and the port search.
    const std::string noProbeAnswer = "Прибор не ответил за 10 с: соединение не установлено.";
    r.add(Op::Identify, "Tt", Silent, {}, noProbeAnswer)
        .add(Op::Identify, "Tt", Wrong, "Err", kRefused)
        .add(Op::Identify, "Tt", Truncated, "5", noProbeAnswer)
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
        .add(Op::Signal, "Sg", Dies, "6", kLost)
        .copes(Op::Signal, "Sg", Twice);

    // The read: four exchanges; "Ro", "Pn" and "Ltd" wait without a time
    // limit, turn the status bar red after 10 s and wait for "Отмена".
    for (const char* stage : {"Ro", "Pn", "Ltd"}) {
        r.add(Op::Read, stage, Silent, {}, kReadCancelled, cancel)
            .add(Op::Read, stage, Truncated, "40", kReadCancelled, cancel)
            .add(Op::Read, stage, Wrong, "Err", kShortBlock, User::Waits, kCutShort)
            .add(Op::Read, stage, NoiseInside, {}, kShortBlock, User::Waits,
                 kCutShort + " (cut at the noise's FF FE)")
            .add(Op::Read, stage, Dies, "40", kLost, User::Waits,
                 "the window is put back from save.000, said in the same box");
    }
    r.add(Op::Read, "Pt", Silent, {}, kReadTimeout, User::Waits,
          "the box's second line: the window is put back from save.000")
        .add(Op::Read, "Pt", Truncated, "40", kReadTimeout)
        .add(Op::Read, "Pt", Wrong, "Err", kReadTimeout, User::Waits,
             "a reply that does not open with 99 99 is no block: left out")
        .add(Op::Read, "Pt", NoiseInside, {},
             "Ответ прибора неполный: блок настроек оборвался внутри записи.")
        .add(Op::Read, "Pt", Dies, "40", kLost);
    const std::string repeated = "the copy is left out: it is not the next block";
    r.copes(Op::Read, "Ro", Twice, repeated)
        .copes(Op::Read, "Pt", Twice, repeated)
        .copes(Op::Read, "Pn", Twice, repeated)
        .copes(Op::Read, "Ltd", Twice)
        .copes(Op::Read, "Ro", Stale,
               "the stale copy answers Ro; the device's own Ro reply, no block, is left out",
               cancel)
        .copes(Op::Read, "Pt", Stale, "the stale block is no outputs block: left out")
        .copes(Op::Read, "all", Noise);

    // The write: the block, then three stages of readiness and data.
    r.add(Op::Write, "block", Silent, {},
          "НЕТ ответа о окончании записи в устройство основной конфигурации")
        .add(Op::Write, "block", Wrong, "COK\\x20", "Ответ об успешной записи не корректен.")
        .add(Op::Write, "block", Truncated, "3",
             "НЕТ ответа о окончании записи в устройство основной конфигурации")
        .add(Op::Write, "block", Dies, "0", kLost)
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
        .add(Op::Write, "Wo", Dies, "3", kLost)
        .add(Op::Write, "Wo-data", Truncated, "3", kWriteNoAnswer + "306)")
        .copes(Op::Write, "Wo-data", Twice)
        .copes(Op::Write, "all", Noise);

    // The keys: the table, one key, the write.
    const std::string partRows = "the rows the reply reaches are filled, as the device gave them";
    const std::string tableSilent = "Таблица ключей не прочитана: прибор не ответил за 10 с.";
    r.add(Op::KeysRead, "Cn", Silent, {}, tableSilent)
        .add(Op::KeysRead, "Cn", Wrong, "Err", kPartTable)
        .add(Op::KeysRead, "Cn", Truncated, "100", tableSilent, User::Waits,
             "a reply without its end is no reply")
        .add(Op::KeysRead, "Cn", NoiseInside, {}, kPartTable, User::Waits,
             partRows + " (cut at the noise: rows 1 to 5)")
        .add(Op::KeysRead, "Cn", Dies, "100", kLost)
        .copes(Op::KeysRead, "Cn", Twice)
        .copes(Op::KeysRead, "Cn", Noise);
    r.add(Op::KeyRead, "Kr", Silent, {}, kNothing, User::CancelAtTimeout,
          "no time limit by design, and no red alert either")
        .add(Op::KeyRead, "Kr", Truncated, "6", kNothing, User::CancelAtTimeout,
             "no time limit by design, and no red alert either")
        .add(Op::KeyRead, "Kr", Wrong, "Err", kNothing, User::Waits,
             "any answer is taken as the key: code 457272")
        .add(Op::KeyRead, "Kr", Dies, "6", kLost)
        .copes(Op::KeyRead, "Kr", Twice);
    r.add(Op::KeysWrite, "Wr", Silent, {}, "НЕТ ответа о готовности к чтению ключей")
        .add(Op::KeysWrite, "Wr", Wrong, "Ok",
             "Ответ о готовности к сохранению ключей некорректен.")
        .add(Op::KeysWrite, "Wr", Dies, "0", kLost)
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
    for (const auto& [op, stage, heard] : {std::tuple{Op::Remote, "Pr", "Радиопульт "},
                                           std::tuple{Op::Thermo, "Rtd", "Термодатчик "}}) {
        r.add(op, stage, Silent, {}, heard + kNotHeard)
            .add(op, stage, Truncated, "4", heard + kNotHeard)
            .add(op, stage, Wrong, "Err", kNothing, User::Waits, anyCode)
            .add(op, stage, Dies, "4", kLost)
            .copes(op, stage, Twice)
            .copes(op, "all", Noise);
    }
    r.add(Op::SensorList, "Dr", Silent, {}, "Нет ответа от прибора.")
        .add(Op::SensorList, "Dr", Wrong, "Err", "Нет ответа от прибора.")
        .add(Op::SensorList, "Dr", Truncated, "40", "Нет ответа от прибора.")
        .add(Op::SensorList, "Dr", NoiseInside, {}, "Нет ответа от прибора.")
        .add(Op::SensorList, "Dr", Dies, "40", kLost)
        .copes(Op::SensorList, "Dr", Twice)
        .copes(Op::SensorList, "Dr", Stale);
    r.add(Op::SensorLearn, "Ps", Silent, {}, "Датчик " + kNotHeard)
        .add(Op::SensorLearn, "Ps", Truncated, "4", "Датчик " + kNotHeard)
        .add(Op::SensorLearn, "Ps", Wrong, "Err", kNothing, User::Waits, anyCode)
        .copes(Op::SensorLearn, "Ps", Twice);
    for (const auto& [stage, told] :
         {std::pair{"Wd", "Датчики не записаны: прибор не ответил на запрос записи за 10 с."},
          std::pair{"Wd-data", "Прибор не подтвердил запись датчиков: ответа нет 10 с."}}) {
        r.add(Op::SensorWrite, stage, Silent, {}, told)
            .add(Op::SensorWrite, stage, Wrong, "Err", told, User::Waits,
                 "a wrong answer is left out; the time-out tells")
            .copes(Op::SensorWrite, stage, Twice);
    }
    r.copes(Op::SensorWrite, "all", Noise);
    const std::string noOutputAnswer = "Прибор не ответил за 10 с на команду радиовыходу …";
    r.add(Op::Output, "So", Silent, {}, noOutputAnswer)
        .add(Op::Output, "So", Truncated, "4", noOutputAnswer)
        .add(Op::Output, "So", Wrong, "Err", noOutputAnswer, User::Waits,
             "a wrong answer is left out; the time-out tells")
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
