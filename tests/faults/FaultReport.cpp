#include "faults/FaultReport.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace t6::test {

std::string firstLine(const std::string& text) {
    return text.substr(0, text.find_first_of("\r\n"));
}

std::string oneLine(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        if (text[i] == '\r' || text[i] == '\n')
            out += " / ";
        else if (text[i] == '|')
            out += '!';
        else
            out += text[i];
    }
    return out;
}

void report(const ReportLine& line) {
    std::string told;
    for (const Told& t : line.told) {
        if (!told.empty())
            told += " + ";
        told += (t.kind == "box" ? std::string() : "[" + t.kind + "] ") + oneLine(t.text);
    }
    if (told.empty())
        told = "(nothing told)";
    const std::string text =
        "SCENARIO|" + line.test + "|" + line.operation + "|" + line.stage + "|" + line.fault + "|" +
        (line.msToIdle ? std::to_string(*line.msToIdle) : "never") + "|" + told + "|" +
        (line.passed ? "ok" : "FAIL") + "|" + oneLine(line.note) + "\n";
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
    if (const char* path = std::getenv("T6_FAULTS_TABLE"); path && *path) {
        // One write to a file opened for appending: lines of parallel runs never mix.
        const int fd = ::open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd >= 0) {
            [[maybe_unused]] const auto n = ::write(fd, text.data(), text.size());
            ::close(fd);
        }
    }
}

} // namespace t6::test
