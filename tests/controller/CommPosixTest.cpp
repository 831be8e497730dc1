// CommPosix and FPSerial over it, against real pseudo-terminals.
#include "controller/CommPosix.h"
#include "controller/FPSerial.h"

#include "tests/controller/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

const std::string Port5 = "\\\\.\\COM5";

std::string allByteValues() {
    std::string bytes;
    for (int i = 0; i < 256; ++i)
        bytes += static_cast<char>(i);
    return bytes;
}

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Waits until at least count bytes wait in the port's input queue; returns the last count seen.
uint32_t waitForInput(CommApi& api, CommHandle port, uint32_t count) {
    const auto deadline = Clock::now() + 5s;
    uint32_t errors = 0;
    CommStatus status;
    while (api.ClearCommError(port, errors, status) && status.inQueue < count && Clock::now() < deadline)
        ::usleep(1000);
    return status.inQueue;
}

class CommPosixTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pty.ok()); }

    // Opens COM5 with the line settings of the text.
    CommHandle openWith(const std::string& format) {
        const CommHandle port = api.CreateFile(Port5);
        CommState state;
        EXPECT_NE(port, InvalidCommHandle);
        EXPECT_TRUE(api.GetCommState(port, state));
        EXPECT_TRUE(api.BuildCommDCB(format, state));
        EXPECT_TRUE(api.SetCommState(port, state));
        return port;
    }

    termios slaveSettings() const {
        termios settings{};
        tcgetattr(pty.slave(), &settings);
        return settings;
    }

    PseudoTerminal pty;
    CommPosix api;
    CommOverlapped overlapped;
};

// --- Data ---

TEST_F(CommPosixTest, AllByteValuesPassUnchangedBothWays) {
    FPSerial serial(&api);
    ASSERT_EQ(serial.OpenComm(5, 115200, "N"), 0);
    const std::string bytes = allByteValues();

    serial.WriteComm(bytes);
    EXPECT_EQ(pty.receive(bytes.size()), bytes);

    pty.send(bytes);
    std::string got;
    const auto deadline = Clock::now() + 5s;
    while (got.size() < bytes.size() && Clock::now() < deadline) {
        std::string c;
        serial.ReadComm(c);
        got += c;
    }
    EXPECT_EQ(got, bytes);
    EXPECT_EQ(serial.CommErrorSource(), "");
    serial.CloseComm();
}

// --- Line formats ---

// A pseudo-terminal keeps speed and stop bits but always runs 8 data bits without parity.
struct FormatCase {
    const char* text;
    CommState state;
    speed_t speed;
    bool twoStopBits;
};

void PrintTo(const FormatCase& c, std::ostream* os) {
    *os << c.text;
}

class CommPosixFormatTest : public CommPosixTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(CommPosixFormatTest, LineFormatReachesTheTerminal) {
    const FormatCase& c = GetParam();
    const CommHandle port = openWith(c.text);
    const termios settings = slaveSettings();
    EXPECT_EQ(cfgetospeed(&settings), c.speed);
    EXPECT_EQ((settings.c_cflag & CSTOPB) != 0, c.twoStopBits);
    CommState read;
    ASSERT_TRUE(api.GetCommState(port, read));
    EXPECT_EQ(read, c.state);
    api.CloseHandle(port);
}

INSTANTIATE_TEST_SUITE_P(Formats, CommPosixFormatTest,
                         ::testing::Values(FormatCase{"baud=115200 parity=N data=8 stop=1",
                                                      {115200, 8, CommParity::None, CommStopBits::One},
                                                      B115200,
                                                      false},
                                           FormatCase{"baud=19200 parity=N data=8 stop=2",
                                                      {19200, 8, CommParity::None, CommStopBits::Two},
                                                      B19200,
                                                      true},
                                           FormatCase{"BAUD=300 STOP=1",
                                                      {300, 8, CommParity::None, CommStopBits::One},
                                                      B300,
                                                      false},
                                           FormatCase{"baud=4000000 parity=n data=8 stop=1",
                                                      {4000000, 8, CommParity::None, CommStopBits::One},
                                                      B4000000,
                                                      false}));

TEST_F(CommPosixTest, SettingsTheDeviceCannotRunAreRefusedAndTheOldOnesKept) {
    const CommHandle port = openWith("baud=115200 parity=N data=8 stop=1");
    for (const char* format : {"baud=9600 parity=E data=8 stop=1", "baud=9600 parity=N data=7 stop=1"}) {
        CommState state;
        ASSERT_TRUE(api.GetCommState(port, state));
        ASSERT_TRUE(api.BuildCommDCB(format, state));
        EXPECT_FALSE(api.SetCommState(port, state)) << format;
        EXPECT_EQ(api.GetLastError(), static_cast<uint32_t>(EINVAL));
        const termios settings = slaveSettings();
        EXPECT_EQ(cfgetospeed(&settings), static_cast<speed_t>(B115200)) << format;
    }
    api.CloseHandle(port);
}

struct ParseCase {
    const char* text;
    bool valid;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class CommPosixParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(CommPosixParseTest, MalformedTextIsRefusedAndChangesNothing) {
    CommPosix api;
    const CommState before{1200, 7, CommParity::Odd, CommStopBits::Two, true, false, true, true};
    CommState state = before;
    const bool built = api.BuildCommDCB(GetParam().text, state);
    EXPECT_EQ(built, GetParam().valid);
    if (built) {
        // Flow control is switched off by every line-format text.
        EXPECT_FALSE(state.outxCtsFlow || state.outX || state.inX);
    } else {
        EXPECT_EQ(api.GetLastError(), static_cast<uint32_t>(EINVAL));
        EXPECT_EQ(state, before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CommPosixParseTest,
    ::testing::Values(ParseCase{"baud=9600 parity=N data=8 stop=1", true},
                      ParseCase{"  stop=2   baud=57600 ", true}, ParseCase{"parity=e", true},
                      ParseCase{"", false}, ParseCase{"   ", false},
                      ParseCase{"baud=12345 parity=N data=8 stop=1", false}, ParseCase{"baud=14400", false},
                      ParseCase{"baud=", false}, ParseCase{"baud=96OO", false},
                      ParseCase{"baud=-9600", false}, ParseCase{"baud=99999999999999", false},
                      ParseCase{"parity=X", false}, ParseCase{"parity=NO", false}, ParseCase{"data=4", false},
                      ParseCase{"data=9", false}, ParseCase{"stop=3", false}, ParseCase{"stop=1.0", false},
                      ParseCase{"baud 9600", false}, ParseCase{"speed=9600", false},
                      ParseCase{"baud=9600,parity=N", false}));

// --- Input queue ---

TEST_F(CommPosixTest, PurgeDropsPendingInput) {
    const CommHandle port = openWith("baud=115200");
    pty.send("0123456789");
    ASSERT_EQ(waitForInput(api, port, 10), 10u);
    ASSERT_TRUE(api.PurgeComm(port, 15));
    EXPECT_EQ(waitForInput(api, port, 0), 0u);
    char buffer[16];
    uint32_t read = 99;
    api.SetCommTimeouts(port, {CommMaxTimeout, 0, 0, 0, 0});
    EXPECT_TRUE(api.ReadFile(port, buffer, sizeof buffer, read, overlapped));
    EXPECT_EQ(read, 0u);
    // Data sent after the purge arrives normally.
    pty.send("after");
    ASSERT_EQ(waitForInput(api, port, 5), 5u);
    EXPECT_TRUE(api.ReadFile(port, buffer, 5, read, overlapped));
    EXPECT_EQ(std::string(buffer, read), "after");
    api.CloseHandle(port);
}

TEST_F(CommPosixTest, FlushCommDropsWhatWaits) {
    FPSerial serial(&api);
    ASSERT_EQ(serial.OpenComm(5, 115200, "N"), 0);
    pty.send("stale reply");
    CommStatus status;
    uint32_t errors = 0;
    ASSERT_EQ(waitForInput(api, serial.PortHandle(), 11), 11u);
    serial.FlushComm();
    ASSERT_TRUE(api.ClearCommError(serial.PortHandle(), errors, status));
    EXPECT_EQ(status.inQueue, 0u);
    std::string c;
    EXPECT_EQ(serial.ReadComm(c), 0);
    EXPECT_EQ(c, "");
    serial.CloseComm();
}

TEST_F(CommPosixTest, WaitingCountIsRightAndReadsTakeOnlyWhatWaits) {
    const CommHandle port = openWith("baud=115200");
    api.SetCommTimeouts(port, {CommMaxTimeout, 0, 1000, 1000, 0});
    pty.send("hello");
    ASSERT_EQ(waitForInput(api, port, 5), 5u);
    char buffer[8];
    uint32_t read = 0;
    ASSERT_TRUE(api.ReadFile(port, buffer, 2, read, overlapped));
    EXPECT_EQ(std::string(buffer, read), "he");
    EXPECT_EQ(waitForInput(api, port, 3), 3u);
    ASSERT_TRUE(api.ReadFile(port, buffer, 3, read, overlapped));
    EXPECT_EQ(std::string(buffer, read), "llo");
    api.CloseHandle(port);
}

TEST_F(CommPosixTest, ReadCommNeverWaitsForData) {
    FPSerial serial(&api);
    ASSERT_EQ(serial.OpenComm(5, 115200, "N"), 0);
    std::string c = "x";
    const auto start = Clock::now();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(serial.ReadComm(c), 0);
    // A read that waited would take the one-second read time-out each time.
    EXPECT_LT(secondsSince(start), 0.9);
    EXPECT_EQ(c, "");
    serial.CloseComm();
}

TEST_F(CommPosixTest, ReadTimeOutEndsTheReadWithWhatArrived) {
    const CommHandle port = openWith("baud=115200");
    char buffer[8];
    uint32_t read = 99;

    api.SetCommTimeouts(port, {CommMaxTimeout, 0, 0, 0, 0});
    auto start = Clock::now();
    EXPECT_TRUE(api.ReadFile(port, buffer, 8, read, overlapped));
    EXPECT_EQ(read, 0u);
    EXPECT_LT(secondsSince(start), 0.5);

    api.SetCommTimeouts(port, {0, 0, 200, 0, 0});
    pty.send("ab");
    ASSERT_EQ(waitForInput(api, port, 2), 2u);
    start = Clock::now();
    EXPECT_TRUE(api.ReadFile(port, buffer, 8, read, overlapped));
    EXPECT_EQ(std::string(buffer, read), "ab");
    const double waited = secondsSince(start);
    EXPECT_GT(waited, 0.1);
    EXPECT_LT(waited, 5.0);
    api.CloseHandle(port);
}

// --- Write time-out ---

TEST_F(CommPosixTest, WriteGivesUpWhenTheLineTakesNothing) {
    FPSerial serial(&api);
    ASSERT_EQ(serial.OpenComm(5, 115200, "N"), 0);
    const CommHandle port = serial.PortHandle();
    // The device side reads nothing: a long write fills the line and then stops at its time-out.
    const std::string block(1 << 20, 'f');
    uint32_t written = 0;
    api.SetCommTimeouts(port, {CommMaxTimeout, 0, 0, 0, 300});
    EXPECT_FALSE(api.WriteFile(port, block.data(), static_cast<uint32_t>(block.size()), written, overlapped));
    EXPECT_EQ(api.GetLastError(), static_cast<uint32_t>(ETIMEDOUT));
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, block.size());

    // With the time-outs of the open, one byte more gives up after about a second.
    api.SetCommTimeouts(port, {CommMaxTimeout, 0, 1000, 1000, 0});
    const auto start = Clock::now();
    serial.WriteComm("x");
    const double waited = secondsSince(start);
    EXPECT_GT(waited, 0.5);
    EXPECT_LT(waited, 10.0);
    EXPECT_EQ(serial.CommErrorSource(), "CommWrite (WriteFile)");
    EXPECT_EQ(serial.CommErrorCode(), ETIMEDOUT);
    EXPECT_EQ(serial.CommErrorText(), std::string(strerror(ETIMEDOUT)) + "  COMM Error Flags = 0");
    // Once the device reads, writing works again.
    pty.receive(1 << 20, 500ms);
    serial.WriteComm("y");
    EXPECT_EQ(pty.receive(1).back(), 'y');
    serial.CloseComm();
}

TEST_F(CommPosixTest, DeviceGoneEndsReadsAtOnceAndFailsWrites) {
    FPSerial serial(&api);
    ASSERT_EQ(serial.OpenComm(5, 115200, "N"), 0);
    const CommHandle port = serial.PortHandle();
    pty.hangUp();

    char buffer[8];
    uint32_t read = 99;
    api.SetCommTimeouts(port, {0, 0, 2000, 0, 0});
    const auto start = Clock::now();
    const bool ok = api.ReadFile(port, buffer, 8, read, overlapped);
    EXPECT_LT(secondsSince(start), 1.5);
    EXPECT_TRUE(ok || api.GetLastError() == EIO);
    EXPECT_EQ(read, 0u);

    api.SetCommTimeouts(port, {CommMaxTimeout, 0, 1000, 1000, 0});
    serial.WriteComm("gone");
    EXPECT_EQ(serial.CommErrorSource(), "CommWrite (WriteFile)");
    EXPECT_EQ(serial.CommErrorCode(), EIO);
    serial.CloseComm();
    EXPECT_FALSE(serial.PortOpen());
}

TEST_F(CommPosixTest, HungUpLineIsMarkedGoneAndNoLongerWaitedOn) {
    FPSerial serial(&api);
    ASSERT_EQ(serial.OpenComm(5, 115200, "N"), 0);
    EXPECT_FALSE(serial.LineGone());
    pty.hangUp();

    const auto start = Clock::now();
    serial.WaitForInput(2000);
    EXPECT_LT(secondsSince(start), 1.0);
    EXPECT_TRUE(serial.LineGone());
    EXPECT_TRUE(api.IsLineGone(EIO));
    EXPECT_FALSE(api.IsLineGone(EBADF));
    EXPECT_FALSE(api.IsLineGone(ETIMEDOUT));
    serial.CloseComm();
    EXPECT_FALSE(serial.PortOpen());
}

// --- Lines ---

TEST_F(CommPosixTest, PseudoTerminalHasNoModemLines) {
    FPSerial serial(&api);
    ASSERT_EQ(serial.OpenComm(5, 115200, "N"), 0);
    serial.SETDTR(true);
    EXPECT_EQ(serial.CommErrorSource(), "CommSetLine (EscapeCommFunction)");
    EXPECT_EQ(serial.CommErrorCode(), ENOTTY);
    EXPECT_EQ(serial.CommErrorText(), strerror(ENOTTY));
    uint32_t status = 0;
    EXPECT_FALSE(api.GetCommModemStatus(serial.PortHandle(), status));
    EXPECT_EQ(api.GetLastError(), static_cast<uint32_t>(ENOTTY));
    EXPECT_FALSE(api.EscapeCommFunction(serial.PortHandle(), CommClrRts));
    EXPECT_FALSE(api.EscapeCommFunction(serial.PortHandle(), 0));
    EXPECT_EQ(api.GetLastError(), static_cast<uint32_t>(EINVAL));
    // Break and output flow control work on any terminal.
    EXPECT_TRUE(api.EscapeCommFunction(serial.PortHandle(), CommSetBreak));
    EXPECT_TRUE(api.EscapeCommFunction(serial.PortHandle(), CommClrBreak));
    EXPECT_TRUE(api.EscapeCommFunction(serial.PortHandle(), CommSetXoff));
    EXPECT_TRUE(api.EscapeCommFunction(serial.PortHandle(), CommSetXon));
    // The port still works.
    EXPECT_TRUE(serial.PortOpen());
    serial.WriteComm("ok");
    EXPECT_EQ(pty.receive(2), "ok");
    serial.CloseComm();
}

// --- Opening and closing ---

TEST_F(CommPosixTest, MissingDeviceFailsWithTheSystemsCode) {
    FPSerial serial(&api);
    EXPECT_EQ(serial.OpenComm(7, 115200, "N"), ENOENT);
    EXPECT_FALSE(serial.PortOpen());
    EXPECT_EQ(serial.CommErrorSource(), "CommOpen (CreateFile)");
    EXPECT_EQ(serial.CommErrorText(), strerror(ENOENT));
}

// What a port name may wrongly point at: each is refused when it is opened, before any other step.
struct NotALineCase {
    const char* name;
    std::function<void(const std::string& path)> make;
    int code;
};

void PrintTo(const NotALineCase& c, std::ostream* os) {
    *os << c.name;
}

const std::string kFileBytes = "hall ledger, not a serial line\n";

class CommPosixNotALineTest : public CommPosixTest, public testing::WithParamInterface<NotALineCase> {};

TEST_P(CommPosixNotALineTest, IsRefusedAtCreateFileAndNothingIsWritten) {
    const std::string target = pty.folder().file("target");
    GetParam().make(target);
    ASSERT_EQ(::symlink(target.c_str(), pty.folder().file("COM8").c_str()), 0);
    FPSerial serial(&api);
    EXPECT_EQ(serial.OpenComm(8, 115200, "N"), GetParam().code);
    EXPECT_EQ(serial.CommErrorSource(), "CommOpen (CreateFile)");
    EXPECT_FALSE(serial.PortOpen());
    serial.WriteComm("\x02G01;00000;\x03");
    serial.CloseComm();
    if (std::filesystem::is_regular_file(target)) {
        EXPECT_EQ(pty.folder().read("target"), kFileBytes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Targets, CommPosixNotALineTest,
    testing::Values(
        NotALineCase{"RegularFile",
                     [](const std::string& p) { std::ofstream(p, std::ios::binary) << kFileBytes; }, ENOTTY},
        NotALineCase{"Fifo", [](const std::string& p) { ::mkfifo(p.c_str(), 0600); }, ENOTTY},
        NotALineCase{"DevNull", [](const std::string& p) { ::symlink("/dev/null", p.c_str()); }, ENOTTY},
        NotALineCase{"Directory", [](const std::string& p) { ::mkdir(p.c_str(), 0700); }, EISDIR},
        NotALineCase{"DanglingLink", [](const std::string& p) { ::symlink("/nonexistent/ttyS9", p.c_str()); },
                     ENOENT}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommPosixTest, PortZeroOpensNothing) {
    pty.map("COM0");
    FPSerial serial(&api);
    EXPECT_EQ(serial.OpenComm(0, 115200, "N"), ENOENT);
    EXPECT_EQ(serial.CommErrorSource(), "CommOpen (CreateFile)");
    EXPECT_FALSE(serial.PortOpen());
}

TEST_F(CommPosixTest, ClosedPortFailsAndIsRecorded) {
    FPSerial serial(&api);
    ASSERT_EQ(serial.OpenComm(5, 115200, "N"), 0);
    serial.CloseComm();
    ASSERT_FALSE(serial.PortOpen());
    pty.send("late");

    std::string c = "x";
    EXPECT_EQ(serial.ReadComm(c), -1);
    EXPECT_EQ(c, "");
    EXPECT_EQ(serial.CommErrorSource(), "CommRead (ClearCommError)");
    EXPECT_EQ(serial.CommErrorCode(), EBADF);

    serial.WriteComm("lost");
    EXPECT_EQ(serial.CommErrorSource(), "CommWrite (WriteFile)");
    EXPECT_EQ(serial.CommErrorCode(), EBADF);
    EXPECT_EQ(serial.CommErrorText(), std::string(strerror(EBADF)) + "  COMM Error Flags = 0");

    serial.FlushComm();
    EXPECT_EQ(serial.CommErrorSource(), "CommRead (ClearCommError)");
}

TEST_F(CommPosixTest, StaleHandleNeverReachesAFileThatReusedItsNumber) {
    FPSerial serial(&api);
    ASSERT_EQ(serial.OpenComm(5, 115200, "N"), 0);
    const int stale = static_cast<int>(serial.PortHandle());
    serial.CloseComm();
    const std::string path = pty.folder().file("victim.log");
    const int file = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    ASSERT_GE(file, 0);
    ASSERT_EQ(::dup2(file, stale), stale);
    ::close(file);

    serial.WriteComm("must not land in the file");
    EXPECT_EQ(serial.CommErrorCode(), EBADF);
    ::close(stale);
    EXPECT_EQ(pty.folder().read("victim.log"), "");
}

TEST_F(CommPosixTest, MessagesAreTheSystemsTexts) {
    char buffer[255];
    EXPECT_EQ(api.FormatMessage(ENOENT, buffer, sizeof buffer), strlen(strerror(ENOENT)));
    EXPECT_STREQ(buffer, strerror(ENOENT));
    char small[5];
    EXPECT_EQ(api.FormatMessage(ENOENT, small, sizeof small), 4u);
    EXPECT_EQ(std::string(small), std::string(strerror(ENOENT)).substr(0, 4));
}

// --- Exclusive use ---

int exclusiveFlag(int fd) {
    int on = -1;
    return ::ioctl(fd, TIOCGEXCL, &on) == 0 ? on : -1;
}

TEST_F(CommPosixTest, SecondOpenFailsWhileTheFirstIsHeldAndWorksAfterClose) {
    const CommHandle first = api.CreateFile(Port5);
    ASSERT_NE(first, InvalidCommHandle);
    EXPECT_EQ(exclusiveFlag(pty.slave()), 1);

    EXPECT_EQ(api.CreateFile(Port5), InvalidCommHandle);
    EXPECT_EQ(api.GetLastError(), static_cast<uint32_t>(EBUSY));
    CommPosix other;
    EXPECT_EQ(other.CreateFile("COM5"), InvalidCommHandle);
    EXPECT_EQ(other.GetLastError(), static_cast<uint32_t>(EBUSY));
    // The refused opener must not have released the holder's exclusive use.
    EXPECT_EQ(exclusiveFlag(pty.slave()), 1);

    ASSERT_TRUE(api.CloseHandle(first));
    // The exclusive flag must not outlive the port on a pseudo-terminal.
    EXPECT_EQ(exclusiveFlag(pty.slave()), 0);
    const CommHandle again = other.CreateFile(Port5);
    EXPECT_NE(again, InvalidCommHandle);
    EXPECT_TRUE(other.CloseHandle(again));
}

TEST_F(CommPosixTest, HeldPortIsLockedAgainstRootToo) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root bypasses the terminal's exclusive mode";
    const CommHandle port = api.CreateFile(Port5);
    ASSERT_NE(port, InvalidCommHandle);
    // Root gets past TIOCEXCL; the lock is what refuses it.
    const int raw = ::open(pty.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(raw, 0);
    EXPECT_NE(::flock(raw, LOCK_EX | LOCK_NB), 0);
    EXPECT_EQ(errno, EWOULDBLOCK);
    ::close(raw);
    api.CloseHandle(port);
}

constexpr int CannotDrop = 125;

// In a child process: becomes the user nobody; false when that is not possible here.
bool dropToNobody() {
    const passwd* nobody = ::getpwnam("nobody");
    return nobody && ::setgroups(0, nullptr) == 0 && ::setgid(nobody->pw_gid) == 0 &&
           ::setuid(nobody->pw_uid) == 0;
}

// Runs body in a forked child, as the user nobody when unprivileged, and returns its exit status.
int runInChild(const std::function<int()>& body, bool unprivileged) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(unprivileged && !dropToNobody() ? CannotDrop : body());
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// Opens COM5 with a fresh CommPosix: 0 when it opened (and closed again), else the error code.
int openAndClose() {
    CommPosix api;
    const CommHandle port = api.CreateFile(Port5);
    if (port == InvalidCommHandle)
        return static_cast<int>(api.GetLastError());
    return api.CloseHandle(port) ? 0 : 100;
}

TEST_F(CommPosixTest, AnotherProcessIsRefusedWhileTheFirstHolds) {
    const CommHandle port = api.CreateFile(Port5);
    ASSERT_NE(port, InvalidCommHandle);
    EXPECT_EQ(runInChild(openAndClose, false), EBUSY);
    ASSERT_TRUE(api.CloseHandle(port));
    EXPECT_EQ(runInChild(openAndClose, false), 0);
    // And the child's close left the port free for this process.
    const CommHandle again = api.CreateFile(Port5);
    EXPECT_NE(again, InvalidCommHandle);
    api.CloseHandle(again);
}

TEST_F(CommPosixTest, UnprivilegedOpenerIsRefusedWhileHeldAndServedAfterClose) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "dropping to an unprivileged user needs root";
    pty.allowEveryone();
    if (runInChild([] { return 0; }, true) == CannotDrop)
        GTEST_SKIP() << "cannot switch to the user nobody here";

    const CommHandle port = api.CreateFile(Port5);
    ASSERT_NE(port, InvalidCommHandle);
    EXPECT_EQ(runInChild(openAndClose, true), EBUSY);
    ASSERT_TRUE(api.CloseHandle(port));
    EXPECT_EQ(runInChild(openAndClose, true), 0);
    EXPECT_EQ(runInChild(openAndClose, true), 0) << "the port must open again after an unprivileged close";
}

} // namespace
