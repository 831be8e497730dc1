// Processes writing one file at the same moment, or killed in the middle of a write.
#include "common/Common.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr int kKeysPerWriter = 500;

// Writes its keys once the start pipe closes; half into a shared section, half into its own.
pid_t startWriter(const int startPipe[2], const std::string& cfg, const std::string& name) {
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    ::close(startPipe[1]);
    char go;
    (void)::read(startPipe[0], &go, 1);
    for (int i = 0; i < kKeysPerWriter; ++i) {
        const std::string section = i % 2 ? "Shared" : name;
        WriteIniValue(section, name + "_" + std::to_string(i), i, cfg);
    }
    ::_exit(0);
}

// Every line of a whole, written file ends in CR LF and is a section or a key line.
bool isWholeFile(const std::string& bytes) {
    if (bytes.empty())
        return true;
    if (!bytes.ends_with("\r\n"))
        return false;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", pos);
        const std::string line = bytes.substr(pos, end - pos);
        const bool header = line.size() > 2 && line.front() == '[' && line.back() == ']';
        if (!header && line.find('=') == std::string::npos)
            return false;
        pos = end + 2;
    }
    return true;
}

TEST(IniConcurrencyTest, TwoWritersBothLandAndNoReaderSeesATornFile) {
    ScopedEnv codePage("QUEDRIX_CODEPAGE", "1251");
    TempFolder dir;
    const std::string cfg = dir.file("Quedrix.cfg");
    int start[2];
    ASSERT_EQ(::pipe(start), 0);
    const pid_t a = startWriter(start, cfg, "A");
    const pid_t b = startWriter(start, cfg, "B");
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    ::close(start[0]);
    ::close(start[1]); // both writers go

    int reads = 0;
    std::size_t lastSize = 0;
    bool torn = false;
    bool shrank = false;
    int status = 0;
    int finished = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(5);
    while (finished < 2) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(a, SIGKILL);
            ::kill(b, SIGKILL);
            FAIL() << "writers still running after five minutes";
        }
        const std::string bytes = dir.read("Quedrix.cfg");
        torn = torn || !isWholeFile(bytes);
        shrank = shrank || bytes.size() < lastSize;
        lastSize = bytes.size();
        ++reads;
        const pid_t done = ::waitpid(-1, &status, WNOHANG);
        if (done > 0) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            ++finished;
        }
    }
    EXPECT_FALSE(torn);
    EXPECT_FALSE(shrank) << "a write lost what the other had written";
    EXPECT_TRUE(isWholeFile(dir.read("Quedrix.cfg")));

    for (const std::string name : {"A", "B"})
        for (int i = 0; i < kKeysPerWriter; ++i) {
            const std::string section = i % 2 ? "Shared" : name;
            EXPECT_EQ(ReadIniValue(section, name + "_" + std::to_string(i), cfg, 255), std::to_string(i));
        }
    const std::string bytes = dir.read("Quedrix.cfg");
    for (const char* header : {"[A]\r\n", "[B]\r\n", "[Shared]\r\n"}) {
        const std::size_t first = bytes.find(header);
        EXPECT_NE(first, std::string::npos) << header;
        EXPECT_EQ(bytes.find(header, first + 1), std::string::npos) << "section added twice: " << header;
    }
    RecordProperty("reads_during_writes", reads);
}

// Writers killed with SIGKILL at random moments of their writes: the file stays whole and, once a
// later write has run, no temporary file of theirs is left. A small file keeps most of each write
// in the steps between creating the replacement and renaming it.
TEST(IniConcurrencyTest, WritersKilledMidWriteLeaveNothingBehind) {
    ScopedEnv codePage("QUEDRIX_CODEPAGE", nullptr);
    TempFolder dir;
    const std::string cfg = dir.file("Quedrix.cfg");
    WriteIniValue("Tariff", "Peak", "0,50", cfg);
    std::mt19937 rng(17);
    for (int round = 0; round < 20; ++round) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            for (int i = 0;; ++i)
                WriteIniValue("A", "k", i, cfg);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution(0, 20000)(rng)));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    WriteIniValue("A", "done", 1, cfg);
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_TRUE(entry.path().filename() == "Quedrix.cfg" || entry.path().filename() == "Quedrix.cfg.lock")
            << "left behind: " << entry.path().filename();
    EXPECT_TRUE(isWholeFile(dir.read("Quedrix.cfg"))) << dir.read("Quedrix.cfg");
    EXPECT_EQ(ReadIniValue("Tariff", "Peak", cfg, 255), "0,50");
    EXPECT_EQ(ReadIniValue("A", "done", cfg, 255), "1");
}

} // namespace
