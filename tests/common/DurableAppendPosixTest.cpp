// Appends killed at random moments leave only whole lines, each exactly once.
#include "common/DurableAppend.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <random>
#include <set>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/support/TempFolder.h"

namespace {

// Lines of varied length, so a cut could land anywhere in one.
std::string numberedLine(int n) {
    return std::to_string(n) + "," + std::string(static_cast<std::size_t>(n % 300), 'x') + ",end\r\n";
}

TEST(DurableAppendKill, KilledWritersLeaveOnlyWholeLines) {
    TempFolder dir;
    const std::string path = dir.file("Ledger.csv");
    std::mt19937 random(21);
    int next = 0;
    for (int round = 0; round < 25; ++round) {
        const int first = next;
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int n = first;; ++n)
                if (!AppendLineDurably(path, numberedLine(n), "n,text,end\r\n").ok)
                    ::_exit(1);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        // The next writer goes on after the last whole line this one left.
        std::istringstream lines(dir.read("Ledger.csv"));
        for (std::string line; std::getline(lines, line);)
            if (line.ends_with(",end\r") && line != "n,text,end\r")
                next = std::max(next, std::stoi(line) + 1);
    }
    const std::string text = dir.read("Ledger.csv");
    ASSERT_TRUE(text.starts_with("n,text,end\r\n"));
    std::istringstream lines(text.substr(12));
    std::set<int> seen;
    for (std::string line; std::getline(lines, line);) {
        const int n = std::stoi(line);
        EXPECT_EQ(line + "\n", numberedLine(n));
        EXPECT_TRUE(seen.insert(n).second) << "line " << n << " twice";
    }
    // No gap: every writer went on right after the last line the one before had made whole.
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(static_cast<int>(seen.size()), *seen.rbegin() + 1);
}

} // namespace
