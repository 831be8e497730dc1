// quedrix-sim as a program: help, refusal of a malformed command line, serving until SIGTERM.
#include "tests/sim/RawPort.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace std::chrono_literals;

const std::string kSim = QUEDRIX_SIM_PATH;

TEST(SimProgram, HelpDocumentsTheFlagsAndSucceeds) {
    const auto result = ChildProcess::run({kSim, "--help"});
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.out.find("--ignore-first"), std::string::npos);
    EXPECT_NE(result.out.find("--bad-value"), std::string::npos);
}

TEST(SimProgram, MalformedCommandLineExitsWithTwoAndSaysWhy) {
    const auto result = ChildProcess::run({kSim, "--noise", "many"});
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("--noise"), std::string::npos);
    EXPECT_NE(result.err.find("'many'"), std::string::npos);
    EXPECT_TRUE(result.out.empty());
}

TEST(SimProgram, LinkThatCannotBeMadeExitsWithOne) {
    const auto result = ChildProcess::run({kSim, "--link", "/nonexistent/folder/COM1"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("/nonexistent/folder/COM1"), std::string::npos);
}

TEST(SimProgram, ServesOnItsLinkLogsAndCleansUpOnSigterm) {
    TempFolder folder;
    const std::string link = folder.file("COM2");
    const std::string log = folder.file("frames.log");
    ChildProcess sim(
        {kSim, "--link", link, "--log", log, "--version", "77", "--counters", "5,6", "--baud", "0"});
    const std::string slave = sim.readLine(5s);
    ASSERT_FALSE(slave.empty()) << sim.err();
    EXPECT_EQ(std::filesystem::read_symlink(link), slave);
    {
        RawPort port(link);
        port.send("\x02V00;00000;\x03");
        EXPECT_EQ(port.receive(12, 1s), "\x02V00;00077;\x03");
        port.send("\x02G02;00000;\x03");
        EXPECT_EQ(port.receive(12, 1s), "\x02G02;00006;\x03");
    }
    sim.signal(SIGTERM);
    EXPECT_EQ(sim.wait(5s), 0);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
    std::ifstream frames(log);
    std::string line;
    int lines = 0;
    while (std::getline(frames, line))
        ++lines;
    EXPECT_EQ(lines, 2);
}

} // namespace
