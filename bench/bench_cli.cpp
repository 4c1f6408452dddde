// The command-line program as whole processes: "torvel6 show", "torvel6 diff"
// and "torvel6 set" of a rich configuration file, "torvel6 history" of 500
// versions (and the listing itself in the process), and a full "write" and "read" of it
// against the simulated device paced at 38400 baud over a pseudo-terminal.
// A chain's time runs from the start of the process to its end and is
// compared with its floor: every byte on the line, both ways, at 3840 bytes a
// second (counted from the device's log of requests and replies), plus the
// fixed waits of the chain (the read waits 100 ms twice after the wireless
// outputs).
//
//   bench_cli [RUNS]     (default 5 for the chains, 4 × RUNS + 1 for show
//                         and diff; the median of the runs is shown)

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "RichConfiguration.h"
#include "common/Cp1251.h"
#include "common/Prompts.h"
#include "common/Random.h"
#include "config/ConfigCompare.h"
#include "config/ConfigModel.h"
#include "config/FieldDescription.h"
#include "core/ConfigHistory.h"
#include "files/ConfigFile.h"

namespace {

using namespace t6;

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The bytes a log line spells in hexadecimal ("FE FF 4F 6B").
std::size_t hexBytes(const std::string& hex) {
    return static_cast<std::size_t>(
               std::count_if(hex.begin(), hex.end(),
                             [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); })) /
           2;
}

// The bytes on the line in the device's log since `from`: each request's
// payload with its four framing bytes, each reply as sent.
std::size_t lineBytes(const std::string& log, std::size_t from) {
    std::size_t bytes = 0;
    std::istringstream lines(log.substr(from));
    for (std::string l; std::getline(lines, l);) {
        if (const auto at = l.find("<- #"); at != std::string::npos) {
            const auto open = l.find('[', at), close = l.find(']', at);
            if (open != std::string::npos && close != std::string::npos)
                bytes += hexBytes(l.substr(open + 1, close - open - 1)) + 4;
        } else if (const auto out = l.find(": -> "); out != std::string::npos) {
            bytes += hexBytes(l.substr(out + 5));
        }
    }
    return bytes;
}

struct Run {
    double ms = 0;
    int code = -1;
    std::string err;
};

Run runCli(const QString& dir, const QStringList& args) {
    QProcess p;
    p.setWorkingDirectory(dir);
    QElapsedTimer t;
    t.start();
    p.start(QString::fromUtf8(T6_CLI), args);
    p.waitForFinished(60000);
    Run r;
    r.ms = t.nsecsElapsed() / 1e6;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.err = p.readAllStandardError().toStdString();
    return r;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    QTemporaryDir tmp;
    const QString dir = tmp.path();
    const std::filesystem::path d = dir.toStdString();
    std::filesystem::copy_file(std::filesystem::path(T6_SOURCE_DIR) / "data" / "trans.dic",
                               d / "trans.dic");
    {
        SilentPrompts prompts;
        SeededRandom random(7);
        ConfigModel model(prompts, random);
        model.startUp();
        richConfiguration(model);
        std::ofstream(d / "rich.cfg", std::ios::binary) << saveConfigFile(model, LocalTime{});
    }

    QProcess sim;
    sim.start(QString::fromUtf8(T6_DEVICESIM),
              {QStringLiteral("--pace"), QStringLiteral("--verbose")});
    if (!sim.waitForStarted(3000) || !sim.waitForReadyRead(3000)) {
        std::fprintf(stderr, "the simulated device did not start\n");
        return 1;
    }
    const QString pty = QString::fromUtf8(sim.readLine()).trimmed();
    std::string simLog;
    auto collect = [&] {
        while (sim.waitForReadyRead(100)) {
        }
        simLog += sim.readAllStandardError().toStdString();
    };
    collect();

    // One chain: its time as a process, and its floor.
    auto chain = [&](const QStringList& args, double waitsMs, std::vector<double>& times,
                     std::vector<double>& floors, std::size_t& bytes) {
        const std::size_t from = simLog.size();
        const Run r = runCli(dir, args);
        if (r.code != 0) {
            std::fprintf(stderr, "torvel6 %s failed (%d):\n%s\n",
                         args.join(QLatin1Char(' ')).toUtf8().constData(), r.code, r.err.c_str());
            std::exit(1);
        }
        collect();
        bytes = lineBytes(simLog, from);
        times.push_back(r.ms);
        floors.push_back(bytes * 1000.0 / 3840.0 + waitsMs);
    };
    std::vector<double> writes, reads, writeFloors, readFloors;
    std::size_t writeBytes = 0, readBytes = 0;
    for (int i = 0; i < runs; ++i) {
        chain({"write", "--port", pty, "--in", "rich.cfg"}, 0, writes, writeFloors, writeBytes);
        chain({"read", "--port", pty, "--out", "back.cfg", "--force"}, 200, reads, readFloors,
              readBytes);
    }
    sim.terminate();
    sim.waitForFinished(2000);

    std::vector<double> shows, diffs;
    for (int i = 0; i < 4 * runs + 1; ++i) {
        const Run s = runCli(dir, {"show", "rich.cfg"});
        const Run f = runCli(dir, {"diff", "rich.cfg", "back.cfg"});
        if (s.code != 0 || f.code > 1) {
            std::fprintf(stderr, "show or diff failed: %s%s\n", s.err.c_str(), f.err.c_str());
            return 1;
        }
        shows.push_back(s.ms);
        diffs.push_back(f.ms);
    }

    // "set" changes a field of the same file under the window's rules and
    // writes the result safely; compared with "show", which only reads it.
    const std::string message = fieldModelName(fieldIdOf(FieldRole::SensorName, 1, 0, true));
    std::vector<double> sets;
    for (int i = 0; i < 4 * runs + 1; ++i) {
        const Run e = runCli(dir, {"set", "rich.cfg", QString::fromStdString(message) + "=Склад",
                                   "--out", "set.cfg", "--force"});
        if (e.code != 0) {
            std::fprintf(stderr, "set failed: %s\n", e.err.c_str());
            return 1;
        }
        sets.push_back(e.ms);
    }

    // A history of 500 versions of the rich configuration, each a little different.
    const std::filesystem::path historyDir = d / "history";
    {
        ConfigHistory history(historyDir.string());
        std::ifstream in(d / "rich.cfg", std::ios::binary);
        const std::string config{std::istreambuf_iterator<char>(in),
                                 std::istreambuf_iterator<char>()};
        for (int n = 0; n < 500; ++n) {
            HistoryEntry e;
            e.time = LocalTime{2026, 1 + n % 12, 1 + n % 28, n % 24, n % 60, 0};
            e.operation = n % 2 ? "write" : "read";
            e.site = "site " + std::to_string(n % 30);
            const std::string version = config + std::to_string(n);
            history.keep(e, version, version);
        }
    }
    std::vector<double> histories, listings;
    std::size_t listed = 0;
    for (int i = 0; i < 4 * runs + 1; ++i) {
        const Run h = runCli(dir, {"--work-dir", dir, "history"});
        if (h.code != 0) {
            std::fprintf(stderr, "history failed: %s\n", h.err.c_str());
            return 1;
        }
        histories.push_back(h.ms);
        QElapsedTimer t;
        t.start();
        listed = ConfigHistory(historyDir.string()).list().entries.size();
        listings.push_back(t.nsecsElapsed() / 1e6);
    }

    const double w = median(writes), wf = median(writeFloors);
    const double r = median(reads), rf = median(readFloors);
    std::printf("torvel6 show:  %.1f ms (median of %zu processes)\n", median(shows), shows.size());
    std::printf("torvel6 diff:  %.1f ms (median of %zu processes)\n", median(diffs), diffs.size());
    std::printf("torvel6 set:   %.1f ms (median of %zu processes), %.2f x show\n", median(sets),
                sets.size(), median(sets) / median(shows));
    std::printf("torvel6 history of %zu versions: %.1f ms as a process, %.1f ms the listing "
                "itself (medians of %zu)\n",
                listed, median(histories), median(listings), histories.size());
    std::printf("torvel6 write: %.1f ms, floor %.1f ms (%zu bytes on the line), ratio %.3f\n", w,
                wf, writeBytes, w / wf);
    std::printf("torvel6 read:  %.1f ms, floor %.1f ms (%zu bytes on the line + 200 ms of "
                "waits), ratio %.3f\n",
                r, rf, readBytes, r / rf);
    std::printf("median of %d runs each for write and read\n", runs);
    return 0;
}
