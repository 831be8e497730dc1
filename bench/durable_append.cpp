// The cost of one durable append of a ledger line: the first (the file made, its folder synced) and
// the following ones (one write, one fsync each), on the disk of the folder given.
// Usage: durable_append [--appends N] [--dir FOLDER]; FOLDER (default: the current folder) should be
// on the disk the application folder lives on: a tmpfs makes the sync free.
#include "common/DurableAppend.h"
#include "common/NumberText.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kHeader[] = "time,mode,table,event,seconds,band,rate,charge\r\n";
constexpr char kLine[] = "2026-12-08T21:05:40+02:00,alternative,3,end,3810,peak,0.50,31.75\r\n";

double microsecondsOf(Clock::duration duration) {
    return std::chrono::duration<double, std::micro>(duration).count();
}

// One append, timed; exits the bench when it fails.
double timedAppend(const std::string& path) {
    const auto start = Clock::now();
    const AppendResult result = AppendLineDurably(path, kLine, kHeader);
    const double micros = microsecondsOf(Clock::now() - start);
    if (!result.ok) {
        std::fprintf(stderr, "durable_append: %s\n", result.error.c_str());
        std::exit(1);
    }
    return micros;
}

double percentile(std::vector<double> sorted, double fraction) {
    std::sort(sorted.begin(), sorted.end());
    return sorted[static_cast<std::size_t>(fraction * static_cast<double>(sorted.size() - 1))];
}

} // namespace

int main(int argc, char* argv[]) {
    int appends = 1000;
    std::string folder = ".";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--appends" && ParseBoundedNumber(argv[i + 1], 1, 1000000))
            appends = *ParseBoundedNumber(argv[i + 1], 1, 1000000);
        else if (option == "--dir")
            folder = argv[i + 1];
        else
            return std::fprintf(stderr, "usage: durable_append [--appends N] [--dir FOLDER]\n"), 2;
    }
    const std::string path = folder + "/durable_append-" + std::to_string(::getpid()) + ".csv";
    const double first = timedAppend(path);
    std::vector<double> rest;
    for (int i = 1; i < appends; ++i)
        rest.push_back(timedAppend(path));
    std::error_code ignored;
    std::filesystem::remove(path, ignored);

    std::printf("durable append of one ledger line in %s, %d appends\n", folder.c_str(), appends);
    std::printf("  first (file made, folder synced)  %10.1f us\n", first);
    if (!rest.empty()) {
        std::printf("  following, median                 %10.1f us\n", percentile(rest, 0.5));
        std::printf("  following, 90th percentile        %10.1f us\n", percentile(rest, 0.9));
        std::printf("  following, slowest                %10.1f us\n", percentile(rest, 1.0));
    }
    return 0;
}
