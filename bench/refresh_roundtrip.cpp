// The eight "G" exchanges of one refresh against the simulator at 115200 baud: the reply wait that
// returns when input arrives, compared with the line-time floor and with a blind 10 ms sleep; and
// what one command costs when the controller stays silent (three windows of 1.1 s).
#include "controller/Billiard.h"
#include "controller/ControllerDiscovery.h"
#include "controller/ControllerFrame.h"
#include "controller/FPSerial.h"
#include "sim/SimulatorCore.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <poll.h>
#include <string>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kTables = 8;
constexpr int kBytesPerExchange = 24;
constexpr int kBitsPerByte = 10;
constexpr int kBaud = 115200;

double millisecondsOf(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The reply wait as it was: every tenth poll sleeps 10 ms whether or not input came.
int32_t blindReadReply() {
    FPSerial& serial = ControllerSerial();
    std::string collected;
    for (int polls = 0; polls < 1100;) {
        std::string received;
        serial.ReadComm(received);
        collected += received;
        if (collected.size() == ControllerFrame::Length) {
            serial.FlushComm();
            return ReadFrameValue(collected);
        }
        if (collected.size() > 1 && collected.front() != ControllerFrame::STX)
            collected.erase(0, 1);
        if (++polls % 10 == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

int32_t blindGetTableCounter(int32_t table) {
    int32_t result = -1;
    for (int tries = 0; tries < 3 && result == -1; ++tries) {
        SendFrame(table, "G", 0);
        result = blindReadReply();
    }
    return result;
}

// One refresh's worth of exchanges; the time it took, in milliseconds.
double timeRound(const std::function<int32_t(int32_t)>& getCounter) {
    const Clock::time_point start = Clock::now();
    for (int32_t table = 1; table <= kTables; ++table) {
        if (getCounter(table) < 0)
            std::fprintf(stderr, "table %d gave no answer\n", table);
    }
    return millisecondsOf(Clock::now() - start);
}

// The simulator's own turnaround without line timing: a raw exchange that waits in poll().
double measureTurnaround(const std::string& device, int rounds) {
    const int fd = open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return 0;
    termios raw{};
    tcgetattr(fd, &raw);
    cfmakeraw(&raw);
    tcsetattr(fd, TCSANOW, &raw);
    const std::string request = ControllerFrame{"G", 1, 0}.text();
    std::vector<double> samples;
    for (int i = 0; i < rounds; ++i) {
        const Clock::time_point start = Clock::now();
        if (write(fd, request.data(), request.size()) != static_cast<ssize_t>(request.size()))
            break;
        std::size_t got = 0;
        while (got < ControllerFrame::Length) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 1000) <= 0)
                break;
            char buffer[32];
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n > 0)
                got += static_cast<std::size_t>(n);
        }
        samples.push_back(millisecondsOf(Clock::now() - start));
    }
    close(fd);
    return samples.empty() ? 0 : median(samples);
}

} // namespace

int main(int argc, char* argv[]) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 40;
    char folderName[] = "/tmp/quedrix-bench-XXXXXX";
    if (!mkdtemp(folderName))
        return 1;
    const std::filesystem::path folder = folderName;
    setenv("QUEDRIX_PORT_DIR", folderName, 1);

    SimOptions timed;
    timed.link = (folder / "COM1").string();
    timed.tickMs = 0;
    timed.baud = kBaud;
    timed.counters = {3725, 250, 0, 4000, 5, 60, 700, 8000};
    SimOptions untimed = timed;
    untimed.link = (folder / "COM2").string();
    untimed.baud = 0;
    SimOptions silent = timed;
    silent.link = (folder / "COM3").string();
    silent.silent = true;

    double turnaround = 0;
    std::vector<double> waiting, blind;
    {
        SimulatorCore lineSim(timed);
        SimulatorCore rawSim(untimed);
        lineSim.start();
        rawSim.start();
        turnaround = measureTurnaround(untimed.link, rounds * kTables);

        ControllerPort = 1;
        if (!OpenControllerPort()) {
            std::fprintf(stderr, "cannot open the simulator's port\n");
            return 1;
        }
        for (int i = 0; i < rounds; ++i) {
            waiting.push_back(timeRound(GetTableCounter));
            blind.push_back(timeRound(blindGetTableCounter));
        }
        CloseControllerPort();
    }
    double silentSeconds = 0;
    {
        SimulatorCore silentSim(silent);
        silentSim.start();
        ControllerPort = 3;
        OpenControllerPort();
        const Clock::time_point start = Clock::now();
        GetTableCounter(1);
        silentSeconds = std::chrono::duration<double>(Clock::now() - start).count();
        CloseControllerPort();
    }
    std::filesystem::remove_all(folder);

    const double lineTime = 1000.0 * kTables * kBytesPerExchange * kBitsPerByte / kBaud;
    const double floor = lineTime + kTables * turnaround;
    const double waitMedian = median(waiting);
    const double blindMedian = median(blind);
    std::printf("refresh round trip: 8 \"G\" exchanges at %d baud, %d rounds\n", kBaud, rounds);
    std::printf("  line time of 8 x %d bytes        %8.2f ms\n", kBytesPerExchange, lineTime);
    std::printf("  simulator turnaround (median)     %8.3f ms per exchange\n", turnaround);
    std::printf("  floor                             %8.2f ms\n", floor);
    const double waitBest = *std::min_element(waiting.begin(), waiting.end());
    std::printf("  wait for input (median round)     %8.2f ms   %.2f x floor\n", waitMedian,
                waitMedian / floor);
    std::printf("  wait for input (best round)       %8.2f ms   %.2f x floor\n", waitBest, waitBest / floor);
    std::printf("  blind 10 ms sleep (median round)  %8.2f ms   %.2f x floor\n", blindMedian,
                blindMedian / floor);
    std::printf("  target: wait for input within 1.1 x floor\n");
    std::printf("silent controller: one command      %8.2f s    (3 frames; target 3.0 to 4.5 s)\n",
                silentSeconds);
    return 0;
}
