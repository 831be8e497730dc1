// Port names to devices: the test folder, the [Ports] section, the built-in table.
#include "controller/PortDevice.h"

#include "controller/CommPosix.h"
#include "controller/FPSerial.h"

#include "tests/controller/PseudoTerminal.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

// No port folder, and an application folder without Quedrix.cfg.
class PortDeviceTest : public ::testing::Test {
protected:
    TempFolder home;
    ScopedEnv homeEnv{"QUEDRIX_HOME", home.path()};
    ScopedEnv portDirEnv{"QUEDRIX_PORT_DIR", std::nullopt};
};

struct DeviceCase {
    const char* port;
    const char* device;
};

void PrintTo(const DeviceCase& c, std::ostream* os) {
    *os << '"' << c.port << '"';
}

class PortDeviceTableTest : public PortDeviceTest, public ::testing::WithParamInterface<DeviceCase> {};

TEST_P(PortDeviceTableTest, BuiltInTable) {
    EXPECT_EQ(portDevicePath(GetParam().port), GetParam().device);
}

INSTANTIATE_TEST_SUITE_P(
    Names, PortDeviceTableTest,
    ::testing::Values(DeviceCase{"COM1", "/dev/ttyS0"}, DeviceCase{"COM4", "/dev/ttyS3"},
                      DeviceCase{"COM5", "/dev/ttyUSB0"}, DeviceCase{"COM12", "/dev/ttyUSB7"},
                      DeviceCase{"COM13", "/dev/ttyACM0"}, DeviceCase{"COM20", "/dev/ttyACM7"},
                      DeviceCase{"com3", "/dev/ttyS2"}, DeviceCase{"LPT1", "/dev/lp0"},
                      DeviceCase{"lpt3", "/dev/lp2"},
                      // Nothing stands for these.
                      DeviceCase{"COM0", ""}, DeviceCase{"COM21", ""}, DeviceCase{"COM01", ""},
                      DeviceCase{"COM", ""}, DeviceCase{"", ""}, DeviceCase{"COM-1", ""},
                      DeviceCase{"COM1x", ""}, DeviceCase{"COM 1", ""}, DeviceCase{"AUX1", ""},
                      DeviceCase{"\\\\.\\COM1", ""}, DeviceCase{"COM9999999", ""}, DeviceCase{"LPT0", ""}));

TEST_F(PortDeviceTest, PortFolderTakesPrecedence) {
    home.write("Quedrix.cfg", "[Ports]\r\nCOM7=/dev/configured\r\n");
    ScopedEnv dir("QUEDRIX_PORT_DIR", "/tmp/ports");
    EXPECT_EQ(portDevicePath("COM7"), "/tmp/ports/COM7");
    EXPECT_EQ(portDevicePath("com20"), "/tmp/ports/COM20");
    EXPECT_EQ(portDevicePath("COM21"), "/tmp/ports/COM21");
    EXPECT_EQ(portDevicePath("LPT1"), "/tmp/ports/LPT1");
    EXPECT_EQ(portDevicePath("COM0"), "");
}

TEST_F(PortDeviceTest, EmptyPortFolderVariableCountsAsUnset) {
    ScopedEnv dir("QUEDRIX_PORT_DIR", "");
    EXPECT_EQ(portDevicePath("COM2"), "/dev/ttyS1");
}

TEST_F(PortDeviceTest, PortsSectionNamesTheDevice) {
    home.write("Quedrix.cfg",
               "[Tariff]\r\nCOM3=/dev/wrong\r\n[Ports]\r\ncom3 = /dev/pts/77\r\nLPT2=/dev/usb/lp0\r\n"
               "COM0=/dev/pts/1\r\n");
    EXPECT_EQ(portDevicePath("COM3"), "/dev/pts/77");
    EXPECT_EQ(portDevicePath("LPT2"), "/dev/usb/lp0");
    EXPECT_EQ(portDevicePath("COM4"), "/dev/ttyS3");
    EXPECT_EQ(portDevicePath("COM0"), "");
}

TEST_F(PortDeviceTest, SerialOpensThePortThatThePortsSectionNames) {
    PseudoTerminal pty;
    ASSERT_TRUE(pty.ok());
    ScopedEnv noDir("QUEDRIX_PORT_DIR", std::nullopt);
    home.write("Quedrix.cfg", "[Ports]\r\nCOM9=" + pty.slavePath() + "\r\n");
    CommPosix api;
    FPSerial serial(&api);
    ASSERT_EQ(serial.OpenComm(9, 115200, "N"), 0);
    serial.WriteComm("via cfg");
    EXPECT_EQ(pty.receive(7), "via cfg");
    serial.CloseComm();
}

} // namespace
