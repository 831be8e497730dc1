// The serial port list over a made-up device folder and tty class folder.
#include "controller/SerialPortListLinux.h"

#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

// Found by the test framework next to the type.
void PrintTo(const SerialPortEntry& e, std::ostream* os) {
    *os << "{" << e.device << " COM";
    for (int n : e.comPorts)
        *os << " " << n;
    *os << " " << (e.stableName.empty() ? "-" : e.stableName) << "}";
}

namespace {

namespace fs = std::filesystem;

class SerialPortListTest : public testing::Test {
protected:
    void SetUp() override {
        root = fs::canonical(tree.path()).string();
        for (const char* folder : {"dev/serial/by-id", "dev/pts", "sys", "ports"})
            fs::create_directories(path(folder));
        folders = {path("dev"), path("sys")};
    }

    std::string path(const std::string& relative) const { return root + "/" + relative; }

    // A device file; type, when given, is the UART type the kernel reports for it.
    void device(const std::string& name, const char* type = nullptr) const {
        tree.write("dev/" + name, "");
        if (type) {
            fs::create_directories(path("sys/" + fs::path(name).filename().string()));
            tree.write("sys/" + fs::path(name).filename().string() + "/type", std::string(type) + "\n");
        }
    }
    void byId(const std::string& name, const std::string& target) const {
        fs::create_symlink("../../" + target, path("dev/serial/by-id/" + name));
    }
    void com(int port, const std::string& target) const {
        fs::create_symlink(target, path("ports/COM" + std::to_string(port)));
    }

    TempFolder tree;
    std::string root;
    SerialDeviceFolders folders;
    ScopedEnv portDir{"QUEDRIX_PORT_DIR", fs::canonical(tree.path()).string() + "/ports"};
};

TEST_F(SerialPortListTest, DevicesWithTheirComPortsAndStableNamesPhantomsLeftOut) {
    device("ttyS0", "4");
    device("ttyS1", "0"); // no UART behind it
    device("ttyS2", "4");
    device("ttyUSB0");
    device("ttyUSB1");
    device("ttyACM0");
    device("pts/3");
    device("ttyprintk");
    device("ttyUSB");
    const std::string ftdi = "usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    byId(ftdi, "ttyUSB1");
    byId("usb-Arduino_Uno_75830333-if00", "ttyACM0");
    com(1, path("dev/ttyS0"));
    com(2, path("dev/ttyS1"));
    com(5, path("dev/serial/by-id/" + ftdi)); // mapped by its stable name
    com(6, path("dev/ttyUSB1"));
    com(9, path("dev/pts/3"));
    com(10, path("dev/ttyUSB7")); // not plugged in

    const std::vector<SerialPortEntry> expected{
        {path("dev/ttyS0"), {1}, ""},
        {path("dev/ttyUSB1"), {5, 6}, path("dev/serial/by-id/" + ftdi)},
        {path("dev/pts/3"), {9}, ""},
        {path("dev/ttyACM0"), {}, path("dev/serial/by-id/usb-Arduino_Uno_75830333-if00")},
        {path("dev/ttyS2"), {}, ""},
        {path("dev/ttyUSB0"), {}, ""},
    };
    EXPECT_EQ(ListSerialPortsIn(folders), expected);
}

TEST_F(SerialPortListTest, NoDeviceGivesAnEmptyList) {
    device("ttyS0", "0");
    byId("usb-gone-if00-port0", "ttyUSB3"); // a link left behind by an adapter pulled out
    EXPECT_TRUE(ListSerialPortsIn(folders).empty());
}

TEST_F(SerialPortListTest, UnreadableUartTypeCountsAsPresent) {
    device("ttyS3");
    fs::create_directories(path("sys/ttyS3/type")); // a folder where the number should be
    EXPECT_EQ(ListSerialPortsIn(folders), (std::vector<SerialPortEntry>{{path("dev/ttyS3"), {}, ""}}));
}

} // namespace
