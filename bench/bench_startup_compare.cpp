// The configurator's start-up against an empty main window of the same size,
// both as whole processes on the offscreen platform: each run starts the
// process and waits for its end (each quits at the first idle moment of its
// event loop), taking the wall time and the peak resident memory. Runs are
// paired (empty window, configurator) and the medians of each and of the
// paired ratios are printed.
//
//   bench_startup_compare [RUNS]   (default 15)

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Run {
    double ms = 0;
    double peakMiB = 0;
};

Run runProcess(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = ::fork();
    if (pid == 0) {
        // Quiet: only the figures of this program are printed.
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        ::execv(args[0], args.data());
        std::_Exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "bench_startup_compare: %s did not run to its end\n", args[0]);
        std::exit(2);
    }
    const auto end = std::chrono::steady_clock::now();
    return {std::chrono::duration<double, std::milli>(end - start).count(),
            usage.ru_maxrss / 1024.0};
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::vector<std::string> empty{T6_EMPTY_WINDOW};
    const std::vector<std::string> window{T6_STARTUP, T6_DICTIONARY};
    // One start of each first, so that both find the libraries in the page cache.
    runProcess(empty);
    runProcess(window);
    std::vector<double> emptyMs, windowMs, emptyMiB, windowMiB, timeRatio, memoryRatio;
    for (int i = 0; i < runs; ++i) {
        const Run e = runProcess(empty);
        const Run w = runProcess(window);
        emptyMs.push_back(e.ms);
        windowMs.push_back(w.ms);
        emptyMiB.push_back(e.peakMiB);
        windowMiB.push_back(w.peakMiB);
        timeRatio.push_back(w.ms / e.ms);
        memoryRatio.push_back(w.peakMiB / e.peakMiB);
    }
    std::printf("medians of %d paired runs, whole processes, offscreen:\n", runs);
    std::printf("  empty window:  %6.1f ms  %5.1f MiB peak\n", median(emptyMs), median(emptyMiB));
    std::printf("  configurator:  %6.1f ms  %5.1f MiB peak\n", median(windowMs), median(windowMiB));
    std::printf("  time ratio %.2f (goal <= 3.0), memory ratio %.2f (goal <= 1.5)\n",
                median(timeRatio), median(memoryRatio));
    return 0;
}
