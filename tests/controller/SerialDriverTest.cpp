// The checks a port gets when it is opened: phantom legacy ports and the low-latency switch,
// through a fake serial driver.
#include "SerialDriver.h"
#include "CommPosix.h"
#include "FPSerial.h"

#include "PseudoTerminal.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include <sys/sysmacros.h>

namespace {

// Answers as a chosen driver would and records what was set.
class FakeSerialDriver : public SerialDriver {
public:
    std::optional<dev_t> device;           // none: the device number cannot be had
    std::optional<serial_struct> reported; // none: the driver has no serial record
    bool refusesSet = false;
    std::vector<serial_struct> sets;

    bool deviceNumber(int, dev_t& number) override {
        if (device)
            number = *device;
        return device.has_value();
    }
    bool getSerial(int, serial_struct& info) override {
        if (reported)
            info = *reported;
        return reported.has_value();
    }
    bool setSerial(int, const serial_struct& info) override {
        sets.push_back(info);
        return !refusesSet;
    }
};

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
    bool usable;
    bool setsLowLatency; // one TIOCSSERIAL asking for ASYNC_LOW_LATENCY, nothing else changed
};

void PrintTo(const LineCase& c, std::ostream* os) {
    *os << c.name;
}

class PrepareSerialLineTest : public testing::TestWithParam<LineCase> {};

TEST_P(PrepareSerialLineTest, DecidesAndSetsLowLatency) {
    const LineCase& c = GetParam();
    FakeSerialDriver driver;
    driver.device = c.device;
    driver.reported = c.reported;
    driver.refusesSet = c.refusesSet;

    EXPECT_EQ(PrepareSerialLine(7, driver), c.usable);

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

INSTANTIATE_TEST_SUITE_P(
    Drivers, PrepareSerialLineTest,
    testing::Values(
        LineCase{"LegacyPortWithoutUartDoesNotExist", ttyS3, serialRecord(PORT_UNKNOWN, 0), false, false,
                 false},
        LineCase{"LastLegacyPortWithoutUartDoesNotExist", ttyS191, serialRecord(PORT_UNKNOWN, 0), false,
                 false, false},
        LineCase{"LegacyPortWithUartGetsLowLatency", ttyS3, serialRecord(PORT_16550A, ASYNC_SKIP_TEST), false,
                 true, true},
        LineCase{"UsbAdapterReportsNoTypeAndStillCounts", ttyUSB0, serialRecord(PORT_UNKNOWN, 0), false, true,
                 true},
        LineCase{"ConsoleNumbersAreNotLegacyPorts", tty1, serialRecord(PORT_UNKNOWN, 0), false, true, true},
        LineCase{"UnknownDeviceNumberIsNotTakenForAPhantom", std::nullopt, serialRecord(PORT_UNKNOWN, 0),
                 false, true, true},
        LineCase{"DriverRefusingLowLatencyKeepsThePort", ttyACM0, serialRecord(PORT_UNKNOWN, 0), true, true,
                 true},
        LineCase{"LowLatencyAlreadyOnIsLeftAlone", ttyUSB0, serialRecord(PORT_UNKNOWN, ASYNC_LOW_LATENCY),
                 false, true, false},
        LineCase{"NoSerialRecordAsOnAPseudoTerminal", makedev(136, 2), std::nullopt, false, true, false}),
    [](const testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

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

} // namespace
