// The checks a port gets when it is opened (phantom legacy ports, the low-latency switch) and what
// closing gives back, through a fake serial driver and the kernel's own on pseudo-terminals.
#include "controller/SerialDriver.h"
#include "controller/CommPosix.h"
#include "controller/FPSerial.h"

#include "tests/controller/PseudoTerminal.h"
#include "tests/support/FakeSerialDriver.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

namespace {

serial_struct serialRecord(int type, int flags) {
    serial_struct info{};
    info.type = type;
    info.flags = flags;
    info.line = 3;
    info.port = 0x2e8;
    info.irq = 3;
    info.baud_base = 115200;
    info.close_delay = 50;
    return info;
}

struct LineCase {
    const char* name;
    std::optional<dev_t> device;
    std::optional<serial_struct> reported;
    bool refusesSet;
    OpenedDevice opened;
    bool setsLowLatency; // one TIOCSSERIAL asking for ASYNC_LOW_LATENCY, nothing else changed
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

class OpenedDeviceTest : public testing::TestWithParam<LineCase> {};

TEST_P(OpenedDeviceTest, DecidesAndSetsLowLatency) {
    const LineCase& c = GetParam();
    PseudoTerminal pty;
    ASSERT_TRUE(pty.ok());
    FakeSerialDriver driver;
    driver.device = c.device;
    driver.reported = c.reported;
    driver.refusesSet = c.refusesSet;

    termios settings{};
    ASSERT_EQ(InspectOpenedDevice(pty.slave(), driver, settings), c.opened);
    if (c.opened == OpenedDevice::SerialLine) {
        EXPECT_EQ(SetLowLatency(pty.slave(), driver), c.setsLowLatency && !c.refusesSet);
    }

    if (!c.setsLowLatency) {
        EXPECT_TRUE(driver.sets.empty());
        return;
    }
    ASSERT_EQ(driver.sets.size(), 1u);
    serial_struct expected = *c.reported;
    expected.flags |= ASYNC_LOW_LATENCY;
    EXPECT_EQ(std::memcmp(&driver.sets[0], &expected, sizeof expected), 0)
        << "flags " << driver.sets[0].flags << ", the rest of the record must come back as read";
}

const dev_t ttyS3 = makedev(4, 67);
const dev_t ttyS191 = makedev(4, 255);
const dev_t tty1 = makedev(4, 1);
const dev_t ttyUSB0 = makedev(188, 0);
const dev_t ttyACM0 = makedev(166, 0);
constexpr OpenedDevice NoUart = OpenedDevice::NoUart;
constexpr OpenedDevice Line = OpenedDevice::SerialLine;

INSTANTIATE_TEST_SUITE_P(
    Drivers, OpenedDeviceTest,
    testing::Values(
        LineCase{"LegacyPortWithoutUartDoesNotExist", ttyS3, serialRecord(PORT_UNKNOWN, 0), false, NoUart,
                 false},
        LineCase{"LastLegacyPortWithoutUartDoesNotExist", ttyS191, serialRecord(PORT_UNKNOWN, 0), false,
                 NoUart, false},
        LineCase{"LegacyPortWithUartGetsLowLatency", ttyS3, serialRecord(PORT_16550A, ASYNC_SKIP_TEST), false,
                 Line, true},
        LineCase{"UsbAdapterReportsNoTypeAndStillCounts", ttyUSB0, serialRecord(PORT_UNKNOWN, 0), false, Line,
                 true},
        LineCase{"ConsoleNumbersAreNotLegacyPorts", tty1, serialRecord(PORT_UNKNOWN, 0), false, Line, true},
        LineCase{"UnknownDeviceNumberIsNotTakenForAPhantom", std::nullopt, serialRecord(PORT_UNKNOWN, 0),
                 false, Line, true},
        LineCase{"DriverRefusingLowLatencyKeepsThePort", ttyACM0, serialRecord(PORT_UNKNOWN, 0), true, Line,
                 true},
        LineCase{"LowLatencyAlreadyOnIsLeftAlone", ttyUSB0, serialRecord(PORT_UNKNOWN, ASYNC_LOW_LATENCY),
                 false, Line, false},
        LineCase{"NoSerialRecordAsOnAPseudoTerminal", makedev(136, 2), std::nullopt, false, Line, false}),
    [](const testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

// The driver fails the terminal calls of a phantom with EIO: only asking its type first tells it
// from a file that is no terminal.
TEST(SerialDriverTest, PhantomPortFailsToOpenAsAMissingOneAndHearsNothing) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.ok());
    FakeSerialDriver driver;
    driver.device = ttyS3;
    driver.reported = serialRecord(PORT_UNKNOWN, 0);
    CommPosix api(driver);
    FPSerial serial(&api);

    EXPECT_EQ(serial.OpenComm(5, 115200, "N"), ENOENT);
    EXPECT_EQ(serial.CommErrorSource(), "CommOpen (CreateFile)");
    EXPECT_FALSE(serial.PortOpen());
    serial.WriteComm("\x02V00;00000;\x03");
    EXPECT_EQ(pty.receive(1, std::chrono::milliseconds(200)), "");

    // Once the port shows a UART the same device opens, and it is not left locked by the refusal.
    driver.reported = serialRecord(PORT_16550A, 0);
    ASSERT_EQ(serial.OpenComm(5, 115200, "N"), 0);
    EXPECT_EQ(driver.sets.size(), 1u);
    serial.CloseComm();
}

// The line settings and the serial flags that matter, to compare before an open and after its close.
std::string lineOf(int fd, const std::optional<serial_struct>& serial) {
    termios settings{};
    ::tcgetattr(fd, &settings);
    std::string text = std::to_string(settings.c_iflag) + " " + std::to_string(settings.c_oflag) + " " +
                       std::to_string(settings.c_cflag) + " " + std::to_string(settings.c_lflag) + " " +
                       std::to_string(::cfgetispeed(&settings)) + " " +
                       std::to_string(::cfgetospeed(&settings));
    for (cc_t c : settings.c_cc)
        text += " " + std::to_string(c);
    return serial ? text + " flags " + std::to_string(serial->flags) : text;
}

struct CloseCase {
    const char* name;
    bool fakeUsbAdapter; // else the kernel's own driver of the pseudo-terminal
    const char* parity;  // a pseudo-terminal cannot run parity, so "E" fails the open's last step
    int32_t opened;
};

void PrintTo(const CloseCase& c, std::ostream* os) {
    *os << c.name;
}

class CloseGivesBackTest : public testing::TestWithParam<CloseCase> {};

TEST_P(CloseGivesBackTest, SettingsAfterTheCloseAreThoseBeforeTheOpen) {
    const CloseCase& c = GetParam();
    PseudoTerminal pty;
    ASSERT_TRUE(pty.ok());
    FakeSerialDriver fake;
    fake.device = ttyUSB0;
    fake.reported = serialRecord(PORT_UNKNOWN, ASYNC_SKIP_TEST);
    CommPosix api(c.fakeUsbAdapter ? static_cast<SerialDriver&>(fake) : kernelSerialDriver());
    FPSerial serial(&api);
    const auto serialFlags = [&] { return c.fakeUsbAdapter ? fake.reported : std::nullopt; };
    const std::string before = lineOf(pty.slave(), serialFlags());

    ASSERT_EQ(serial.OpenComm(5, 115200, c.parity), c.opened);
    EXPECT_NE(lineOf(pty.slave(), serialFlags()), before) << "the open changes the line";
    serial.WriteComm("\x02V00;00000;\x03");
    serial.CloseComm();

    EXPECT_FALSE(serial.PortOpen());
    EXPECT_EQ(lineOf(pty.slave(), serialFlags()), before);
}

INSTANTIATE_TEST_SUITE_P(ClosePaths, CloseGivesBackTest,
                         testing::Values(CloseCase{"FlowOnAUsbAdapter", true, "N", 0},
                                         CloseCase{"OpenThatFailsAfterSettingLowLatency", true, "E", EINVAL},
                                         CloseCase{"FlowOnAPseudoTerminal", false, "N", 0}),
                         [](const testing::TestParamInfo<CloseCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
