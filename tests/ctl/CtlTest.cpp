// quedrix-ctl against simulated controllers, with the ports mapped through [Ports] of Quedrix.cfg.
#include "sim/SimulatorCore.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <map>
#include <memory>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

const std::string kCtl = QUEDRIX_CTL_PATH;

class Ctl : public testing::Test {
protected:
    // Every COM port maps into the temporary folder, so no real device is ever tried.
    void SetUp() override {
        std::ofstream cfg(home.file("Quedrix.cfg"), std::ios::binary);
        cfg << "[Ports]\r\n";
        for (int port = 1; port <= 20; ++port)
            cfg << "COM" << port << "=" << portPath(port) << "\r\n";
    }
    void TearDown() override { simulators.clear(); }

    std::string portPath(int port) const { return home.file("tty-COM" + std::to_string(port)); }

    void addController(int port, std::function<void(SimOptions&)> adjust = {}) {
        SimOptions options;
        options.link = portPath(port);
        options.tickMs = 0;
        options.version = 12;
        options.counters = {1, 2, 125, 4, 5, 6, 7, 8};
        if (adjust)
            adjust(options);
        simulators[port] = std::make_unique<SimulatorCore>(options);
        simulators[port]->start();
    }

    static ChildProcess::Result ctl(std::vector<std::string> args) {
        args.insert(args.begin(), kCtl);
        return ChildProcess::run(args);
    }

    TempFolder home;
    ScopedEnv homeVariable{"QUEDRIX_HOME", home.path()};
    ScopedEnv noPortDir{"QUEDRIX_PORT_DIR", std::nullopt};
    std::map<int, std::unique_ptr<SimulatorCore>> simulators;
};

TEST_F(Ctl, ScanPrintsThePortAndVersion) {
    addController(6);
    const auto result = ctl({"scan"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "COM6 version 12\n");
    EXPECT_EQ(simulators[6]->receivedFrames().size(), 1u);
}

// Holds a port as another program would: the device open with an exclusive lock on it.
class HeldPort {
public:
    explicit HeldPort(const std::string& path) : m_fd(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK)) {
        if (m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~HeldPort() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    bool held() const { return m_fd >= 0; }

private:
    int m_fd;
};

TEST_F(Ctl, ScanExplainsEachPortTriedBeforeTheController) {
    addController(2);
    addController(3, [](SimOptions& o) { o.silent = true; });
    home.write("tty-COM4", "a plain file\n");
    addController(5);
    const HeldPort held(portPath(2));
    ASSERT_TRUE(held.held());
    const auto result = ctl({"scan"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "COM5 version 12\n");
    const std::string pid = std::to_string(::getpid());
    EXPECT_EQ(result.err, "quedrix-ctl: COM1 (" + portPath(1) + "): no such device\n" +
                              "quedrix-ctl: COM2 (" + portPath(2) + "): in use by another program (pid " +
                              pid + ", quedrix_ctl_tes)\n" + "quedrix-ctl: COM3 (" + portPath(3) +
                              "): opened, but no controller answered\n" + "quedrix-ctl: COM4 (" +
                              portPath(4) + "): not a serial device\n");
    EXPECT_TRUE(simulators[2]->receivedFrames().empty());
    EXPECT_EQ(home.read("tty-COM4"), "a plain file\n");
}

// The scan names who may open the node behind COM1 as the system shows it; what each case says
// would help is NoPermissionText's. As root the scan runs as nobody (in no group) and the node goes
// to the group dialout with 0660: the hint is to join that group.
TEST_F(Ctl, ScanNamesOwnerGroupAndModeOfANodeItMayNotOpen) {
    addController(1);
    const std::string node = std::filesystem::canonical(portPath(1)).string();
    std::vector<std::string> command{kCtl, "scan"};
    const bool root = ::geteuid() == 0;
    if (root) {
        std::filesystem::permissions(
            home.path(), std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
            std::filesystem::perm_options::add);
        command.insert(command.begin(),
                       {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
        ASSERT_EQ(::chown(node.c_str(), 0, 20), 0); // dialout is group 20 on Debian
        ASSERT_EQ(::chmod(node.c_str(), 0660), 0);
    } else {
        std::filesystem::permissions(node, std::filesystem::perms::none);
    }
    struct stat info {};
    ASSERT_EQ(::stat(node.c_str(), &info), 0);
    char found[128];
    std::snprintf(found, sizeof found, "(owner %s, group %s, mode %04o): ", ::getpwuid(info.st_uid)->pw_name,
                  ::getgrgid(info.st_gid)->gr_name, static_cast<unsigned>(info.st_mode & 07777));

    const auto result = ChildProcess::run(command);
    EXPECT_EQ(result.status, 1);
    const std::string line = "quedrix-ctl: COM1 (" + portPath(1) + "): no permission to open it " + found;
    const std::string first = result.err.substr(0, result.err.find('\n'));
    EXPECT_TRUE(first.starts_with(line)) << result.err;
    if (root) {
        EXPECT_EQ(first, line + "join the group dialout: as root, adduser nobody dialout, then log in again");
    }
}

TEST_F(Ctl, ScanWithoutAControllerFailsWithOne) {
    const auto result = ctl({"scan"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("no controller found"), std::string::npos);
}

struct CommandCase {
    const char* name;
    std::vector<std::string> args;
    std::string out;
    std::string frames; // the command letters and tables the controller received
};

void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << c.name;
}

class CtlCommand : public Ctl, public testing::WithParamInterface<CommandCase> {};

TEST_P(CtlCommand, AnswersOnStdout) {
    addController(3);
    const auto result = ctl(GetParam().args);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, GetParam().out);
    std::string frames;
    for (const auto& frame : simulators[3]->receivedFrames())
        frames += frame.text.substr(1, 9) + " ";
    EXPECT_EQ(frames, GetParam().frames);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CtlCommand,
    testing::Values(CommandCase{"Version", {"--port", "3", "version"}, "12\n", "V00;00000 "},
                    CommandCase{"Get", {"--port", "3", "get", "3"}, "3 125\n", "G03;00000 "},
                    CommandCase{"Reset", {"--port", "3", "reset", "2"}, "2 0\n", "R02;00000 "},
                    CommandCase{"Set", {"--port", "3", "set", "2", "32000"}, "2 32000\n", "C02;32000 "},
                    CommandCase{
                        "GetAll",
                        {"--port", "3", "get-all"},
                        "1 1\n2 2\n3 125\n4 4\n5 5\n6 6\n7 7\n8 8\n",
                        "G01;00000 G02;00000 G03;00000 G04;00000 G05;00000 G06;00000 G07;00000 G08;00000 "},
                    CommandCase{"FindsThePortFirst", {"get", "3"}, "3 125\n", "V00;00000 G03;00000 "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Ctl, PortThatCannotBeOpenedFailsWithOne) {
    const auto result = ctl({"--port", "4", "version"});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("cannot open COM4"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("CommOpen (CreateFile)"), std::string::npos) << result.err;
}

TEST_F(Ctl, SilentTableFailsWithOneAfterThreeFrames) {
    addController(3, [](SimOptions& o) { o.silentTables = {5}; });
    const auto result = ctl({"--port", "3", "get", "5"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("no answer from COM3 for table 5"), std::string::npos) << result.err;
    EXPECT_EQ(simulators[3]->receivedFrames().size(), 3u);
}

// Stray bytes before every reply, one by one at the line's speed: each table still gets its own reading.
class CtlStrayBytes : public Ctl, public testing::WithParamInterface<int32_t> {};

TEST_P(CtlStrayBytes, GetAllPrintsEveryTablesOwnCounter) {
    addController(3, [](SimOptions& o) { o.noise = GetParam(); });
    const auto result = ctl({"--port", "3", "get-all"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "1 1\n2 2\n3 125\n4 4\n5 5\n6 6\n7 7\n8 8\n");
    EXPECT_EQ(simulators[3]->receivedFrames().size(), 8u);
}

INSTANTIATE_TEST_SUITE_P(Amounts, CtlStrayBytes, testing::Values(120, 1000),
                         [](const auto& info) { return std::to_string(info.param) + "StrayBytes"; });

TEST_F(Ctl, LineThatHangsUpMidFlowEndsTheFlowAtOnceAndSaysSo) {
    addController(3, [](SimOptions& o) { o.silentTables = {4}; });
    ChildProcess child({kCtl, "--port", "3", "get-all"});
    const auto deadline = ChildProcess::Clock::now() + std::chrono::seconds(10);
    while (simulators[3]->receivedFrames().size() < 4 && ChildProcess::Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_EQ(simulators[3]->receivedFrames().size(), 4u) << "table 4 was never asked";

    simulators.erase(3); // the controller goes away while table 4's reply is awaited
    const auto gone = ChildProcess::Clock::now();
    const int status = child.wait();
    EXPECT_LT(ChildProcess::Clock::now() - gone, std::chrono::seconds(3));
    EXPECT_EQ(status, 1);
    EXPECT_EQ(child.out(), "1 1\n2 2\n3 125\n");
    EXPECT_NE(child.err().find("the line to COM3 went away"), std::string::npos) << child.err();
    EXPECT_EQ(child.err().find("no answer"), std::string::npos) << child.err();

    addController(3); // back on the same link
    const auto again = ctl({"--port", "3", "get-all"});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, "1 1\n2 2\n3 125\n4 4\n5 5\n6 6\n7 7\n8 8\n");
}

TEST_F(Ctl, PortMappedToARegularFileIsRefusedAndTheFileKeepsItsBytes) {
    const std::string bytes = "[Tariff]\r\nPeak=0,50\r\n";
    std::ofstream(portPath(3), std::ios::binary) << bytes;
    const auto get = ctl({"--port", "3", "get-all"});
    EXPECT_EQ(get.status, 1);
    EXPECT_NE(get.err.find("cannot open COM3: CommOpen (CreateFile)"), std::string::npos) << get.err;
    const auto scan = ctl({"scan"});
    EXPECT_EQ(scan.status, 1);
    EXPECT_EQ(home.read("tty-COM3"), bytes);
}

class CtlUsage : public Ctl, public testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(CtlUsage, BadUsageExitsWithTwoAndTouchesNoPort) {
    addController(3);
    const auto result = ctl(GetParam());
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("Usage"), std::string::npos);
    EXPECT_EQ(result.out, "");
    EXPECT_TRUE(simulators[3]->receivedFrames().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, CtlUsage,
    testing::Values(std::vector<std::string>{}, std::vector<std::string>{"frobnicate"},
                    std::vector<std::string>{"get"}, std::vector<std::string>{"get", "9"},
                    std::vector<std::string>{"get", "x"}, std::vector<std::string>{"set", "1", "100000"},
                    std::vector<std::string>{"--port", "21", "version"},
                    std::vector<std::string>{"--port", "3"}, std::vector<std::string>{"--port", "3", "scan"},
                    std::vector<std::string>{"version", "extra"}, std::vector<std::string>{"ports", "x"},
                    std::vector<std::string>{"--port", "3", "ports"}));

TEST_F(Ctl, PortsListsEachDeviceWithTheComPortThatReachesIt) {
    addController(3);
    addController(8);
    const auto result = ctl({"ports"});
    EXPECT_EQ(result.status, 0) << result.err;
    const auto line = [](const std::string& com, const std::string& device) {
        char text[256];
        std::snprintf(text, sizeof text, "%-10s %-16s -\n", com.c_str(), device.c_str());
        return std::string(text);
    };
    const std::string com3 = line("COM3", std::filesystem::canonical(portPath(3)).string());
    const std::string com8 = line("COM8", std::filesystem::canonical(portPath(8)).string());
    EXPECT_EQ(result.out.rfind("COM        DEVICE           BY-ID\n", 0), 0u) << result.out;
    ASSERT_NE(result.out.find(com3), std::string::npos) << result.out;
    ASSERT_NE(result.out.find(com8), std::string::npos) << result.out;
    EXPECT_LT(result.out.find(com3), result.out.find(com8));
    EXPECT_TRUE(simulators[3]->receivedFrames().empty()) << "listing sends nothing";
}

TEST_F(Ctl, StableNameInPortsReachesTheController) {
    addController(3);
    // A name such as udev keeps in /dev/serial/by-id: a link to the device, whichever ttyUSB it became.
    const std::string byId = home.file("usb-Zentrovik_Table_Controller_0042-if00-port0");
    std::filesystem::create_symlink(std::filesystem::canonical(portPath(3)), byId);
    std::ofstream cfg(home.file("Quedrix.cfg"), std::ios::binary);
    cfg << "[Ports]\r\n";
    for (int port = 1; port <= 20; ++port)
        cfg << "COM" << port << "=" << (port == 7 ? byId : home.file("unplugged")) << "\r\n";
    cfg.close();
    const auto scan = ctl({"scan"});
    EXPECT_EQ(scan.status, 0) << scan.err;
    EXPECT_EQ(scan.out, "COM7 version 12\n");
    const auto ports = ctl({"ports"});
    EXPECT_NE(ports.out.find("COM7       " + std::filesystem::canonical(byId).string()), std::string::npos)
        << ports.out;
}

TEST_F(Ctl, ConfigCommandsReachTheConfigurationFile) {
    const auto set = ctl({"config", "set", "Tariff", "Peak", "0,75"});
    EXPECT_EQ(set.status, 0) << set.err;
    const auto get = ctl({"config", "get", "Tariff", "Peak"});
    EXPECT_EQ(get.status, 0) << get.err;
    EXPECT_EQ(get.out, "0,75\n");
}

} // namespace
