// quedrix-sim: a table controller on a pseudo-terminal, for tests, demos and wiring checks.
#include "sim/SimOptions.h"
#include "sim/SimulatorCore.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace {

std::atomic<SimulatorCore*> running{nullptr};

void onSignal(int) {
    if (SimulatorCore* simulator = running.load())
        simulator->stop();
}

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const SimCommandLine parsed = ParseSimOptions(args);
    if (parsed.help) {
        std::fputs(SimUsage().c_str(), stdout);
        return 0;
    }
    if (!parsed.options) {
        std::fprintf(stderr, "quedrix-sim: %s\nTry 'quedrix-sim --help'.\n", parsed.error.c_str());
        return 2;
    }
    try {
        SimulatorCore simulator(*parsed.options);
        running = &simulator;
        struct sigaction action {};
        action.sa_handler = onSignal;
        sigaction(SIGINT, &action, nullptr);
        sigaction(SIGTERM, &action, nullptr);
        std::printf("%s\n", simulator.slavePath().c_str());
        std::fflush(stdout);
        simulator.run();
        running = nullptr;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quedrix-sim: %s\n", e.what());
        return 1;
    }
    return 0;
}
