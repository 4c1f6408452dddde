#include "core/SupportReport.h"

#include <QtGlobal>
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "common/Cp1251.h"
#include "core/AppCore.h"
#include "core/ProgramInfo.h"
#include "core/SupportMasking.h"
#include "core/TarWriter.h"
#include "files/ConfigFile.h"

namespace t6 {

namespace {

constexpr const char* kFolder = "torvel6-support/";
constexpr const char* kThisRunMemo = "log-this-run.log";
constexpr const char* kCurrentConfig = "current.cfg";

struct Member {
    const char* name;
    const char* what;
};

constexpr Member kMembers[] = {
    {"about.txt", "this text"},
    {ExchangeLogs::kProtocolFile, "the text log of this run's exchanges with the device"},
    {ExchangeLogs::kHexFile, "the same exchanges as hexadecimal bytes"},
    {ExchangeLogs::kMemoFile, "the exchange memo, as saved at the end of the last run"},
    {kThisRunMemo, "the exchange memo of this run so far"},
    {ConfigFiles::kBackupFile, "the configuration kept before the last read from a device"},
    {kCurrentConfig, "the configuration in the window when the report was made"},
    {"ports.txt", "the serial ports the program offers"},
};

std::string twoDigits(int n) {
    char b[8];
    std::snprintf(b, sizeof b, "%02d", n % 100);
    return b;
}

std::string dateTimeText(const LocalTime& t) {
    return twoDigits(t.day) + "." + twoDigits(t.month) + "." + std::to_string(t.year) + " " +
           longTimeText(t);
}

std::int64_t secondsOf(const LocalTime& t) {
    std::tm tm{};
    tm.tm_year = t.year - 1900;
    tm.tm_mon = t.month - 1;
    tm.tm_mday = t.day;
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    tm.tm_isdst = -1;
    return static_cast<std::int64_t>(std::mktime(&tm));
}

std::string reasonText(FileFault fault) {
    switch (fault) {
    case FileFault::NotFound:
        return "not there";
    case FileFault::IsDirectory:
        return "a folder, not a file";
    case FileFault::NotRegularFile:
        return "not a regular file (a pipe or a device)";
    case FileFault::TooLarge:
        return "larger than " + std::to_string(kMaxReportedFileBytes >> 20) + " MiB";
    case FileFault::NoReadPermission:
        return "this user may not read it";
    default:
        return "could not be read";
    }
}

std::string joinedLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& l : lines)
        out += l + "\r\n";
    return out;
}

} // namespace

std::vector<std::string> supportReportMembers() {
    std::vector<std::string> names;
    for (const Member& m : kMembers)
        names.push_back(std::string(kFolder) + m.name);
    return names;
}

Bytes makeSupportReport(const SupportReportInput& in) {
    const std::string folder = in.programFolder.empty() ? std::string(".") : in.programFolder;
    // A file that cannot be read is named in "about.txt" and has no member:
    // an empty member would pass for an empty file.
    std::string missing;
    std::vector<std::string> absent;
    auto read = [&](const char* name, std::string& missing) -> Bytes {
        const FileRead r = readRegularFile(folder + "/" + name, kMaxReportedFileBytes);
        if (r.failure) {
            missing += std::string("  ") + name + ": " + reasonText(r.failure.fault) + "\n";
            absent.push_back(std::string(kFolder) + name);
        }
        return r.bytes;
    };
    Bytes protocol = read(ExchangeLogs::kProtocolFile, missing);
    Bytes hex = read(ExchangeLogs::kHexFile, missing);
    Bytes lastMemo = read(ExchangeLogs::kMemoFile, missing);
    Bytes backup = read(ConfigFiles::kBackupFile, missing);
    Bytes memo = joinedLines(in.memoLines);
    Bytes configuration = in.configuration;

    if (!in.keepPrivate) {
        SupportMasker masker;
        for (const std::string& t : in.telephones)
            masker.addTelephone(t);
        for (const std::string& k : in.keyCodes)
            masker.addKeyCode(k);
        const std::string received = ru("входная строка: ");
        std::vector<Bytes> payloads;
        for (const std::string& line : in.memoLines)
            if (line.rfind(received, 0) == 0)
                payloads.push_back(line.substr(received.size()));
        masker.setReceivedPayloads(std::move(payloads));
        masker.findInTextLog(protocol);
        masker.findInHexLog(hex);
        masker.findInMemo(lastMemo);
        masker.findInMemo(memo);
        masker.findInConfigFile(backup);
        masker.findInConfigFile(configuration);
        protocol = masker.maskTextLog(std::move(protocol));
        hex = masker.maskHexLog(hex);
        lastMemo = masker.maskTextLog(std::move(lastMemo));
        memo = masker.maskTextLog(std::move(memo));
        backup = masker.maskConfigFile(std::move(backup));
        configuration = masker.maskConfigFile(std::move(configuration));
    }

    std::string about =
        in.programName + "\n" + kProgramLicence + "\n" + "Report made " + dateTimeText(in.now) +
        " (the computer's local time)\n" + "Program folder: " + folder + "\n" + "Device: " +
        (in.device.empty() ? std::string("none identified in this run") : cp1251ToUtf8(in.device)) +
        "\n" + "Qt: " + qVersion() + "\n" + "Telephones and key codes: " +
        (in.keepPrivate ? std::string("kept as they are (the user chose so)")
                        : std::string("hidden: every digit of a telephone but the last two, "
                                      "every byte of a key's identity but the last, "
                                      "replaced by X")) +
        "\n\nContents:\n";
    for (const Member& m : kMembers)
        about += std::string("  ") + m.name + ": " + m.what + "\n";
    if (!missing.empty())
        about += "\nLeft out, as they could not be read:\n" + missing;

    std::string ports;
    for (const std::string& p : in.ports)
        ports += p + "\n";
    if (in.ports.empty())
        ports = "No serial port found.\n";

    const std::int64_t mtime = secondsOf(in.now);
    TarWriter tar;
    const Bytes* contents[] = {&about, &protocol, &hex,           &lastMemo,
                               &memo,  &backup,   &configuration, &ports};
    const std::vector<std::string> names = supportReportMembers();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (std::find(absent.begin(), absent.end(), names[i]) == absent.end())
            tar.add(names[i], *contents[i], mtime);
    return tar.finish();
}

SupportReportInput supportReportInput(AppCore& core) {
    SupportReportInput in;
    in.programName = std::string(kProgramName) + " " + programVersion();
    in.programFolder = core.logs().directory();
    in.memoLines = core.logs().memoLines();
    in.now = core.clock().localNow();
    {
        // The file as a save writes it; an exchange under way keeps its mode.
        ExchangeController& exchange = core.exchange();
        const ExchangeModeValue mode = exchange.mode();
        exchange.setMode(ExchangeMode::SavingFile);
        in.configuration = saveConfigFile(core.model(), in.now);
        exchange.setMode(mode);
    }
    const DeviceConfig& c = core.model().config();
    in.telephones = c.telephones;
    for (std::size_t k = 0; k < in.keyCodes.size(); ++k)
        in.keyCodes[k] = c.touchKeys[k].code;
    in.device = core.connection().version();
    return in;
}

FileDialogRequest supportReportDialog(const LocalTime& now) {
    const std::string name = "torvel6-support-" + std::to_string(now.year) + twoDigits(now.month) +
                             twoDigits(now.day) + "-" + twoDigits(now.hour) +
                             twoDigits(now.minute) + ".tar";
    return {ru("Собрать отчёт для поддержки"), ru("Архив tar (*.tar)"), "tar", name};
}

} // namespace t6
