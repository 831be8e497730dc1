// The search for the table controller on COM1 to COM20, against simulated controllers.
#include "controller/Billiard.h"
#include "controller/ControllerDiscovery.h"
#include "controller/ControllerStatusSink.h"
#include "controller/FPSerial.h"
#include "tests/support/SimulatedPorts.h"

#include <gtest/gtest.h>

namespace {

class RecordingStatus : public ControllerStatusSink {
public:
    void setInfoCaption(const std::string& text) override { captions.push_back(text); }
    // "port opened version" for every port tried, with the serial line's failure when it did not open.
    void portTried(int16_t port, bool opened, int32_t version) override {
        tried.push_back(std::to_string(port) + (opened ? " opened " : " failed ") + std::to_string(version) +
                        (opened ? "" : " " + ControllerSerial().CommErrorSource()));
    }
    std::vector<std::string> captions;
    std::vector<std::string> tried;
};

const std::string kVersionFrame = "\x02V00;00000;\x03";

class Discovery : public testing::Test {
protected:
    void TearDown() override { ControllerPort = 0; }

    void addController(int port, int32_t version, SimOptions options = SimulatedPorts::still()) {
        options.version = version;
        ports.add(port, options);
    }

    SimulatedPorts ports;
    RecordingStatus status;
};

TEST_F(Discovery, ControllerOnCom1IsTheOnlyPortTried) {
    addController(1, 5);
    addController(2, 6);
    EXPECT_EQ(FindController(status), 5);
    EXPECT_EQ(ControllerPort, 1);
    EXPECT_EQ(status.captions, std::vector<std::string>{"Контролер на COM:1, Версия: 5"});
    EXPECT_EQ(ports.frames(1), std::vector<std::string>{kVersionFrame});
    EXPECT_TRUE(ports.frames(2).empty());
    EXPECT_FALSE(ControllerSerial().PortOpen());
}

TEST_F(Discovery, ControllerOnCom20IsFoundAfterNineteenFailedOpens) {
    addController(20, 9);
    EXPECT_EQ(FindController(status), 9);
    EXPECT_EQ(ControllerPort, 20);
    EXPECT_EQ(status.captions, std::vector<std::string>{"Контролер на COM:20, Версия: 9"});
}

TEST_F(Discovery, VersionZeroIsPassedOver) {
    addController(4, 0);
    addController(7, 3);
    addController(9, 4);
    EXPECT_EQ(FindController(status), 3);
    EXPECT_EQ(ControllerPort, 7);
    EXPECT_EQ(ports.frames(4), std::vector<std::string>{kVersionFrame});
    EXPECT_EQ(ports.frames(7), std::vector<std::string>{kVersionFrame});
    EXPECT_TRUE(ports.frames(9).empty());
    EXPECT_EQ(status.captions, std::vector<std::string>{"Контролер на COM:7, Версия: 3"});
    EXPECT_EQ(status.tried, (std::vector<std::string>{"1 failed -1 CommOpen (CreateFile)",
                                                      "2 failed -1 CommOpen (CreateFile)",
                                                      "3 failed -1 CommOpen (CreateFile)", "4 opened 0",
                                                      "5 failed -1 CommOpen (CreateFile)",
                                                      "6 failed -1 CommOpen (CreateFile)", "7 opened 3"}));
}

TEST_F(Discovery, TwoControllersTheLowerPortWins) {
    addController(2, 1);
    addController(5, 2);
    FindController(status);
    EXPECT_EQ(ControllerPort, 2);
    EXPECT_TRUE(ports.frames(5).empty());
}

TEST_F(Discovery, VersionAboveSixteenBitsCountsAndIsShownWhole) {
    addController(3, 40000);
    EXPECT_EQ(FindController(status), 40000);
    EXPECT_EQ(ControllerPort, 3);
    EXPECT_EQ(status.captions, std::vector<std::string>{"Контролер на COM:3, Версия: 40000"});
}

TEST_F(Discovery, EveryPortIsAskedInAscendingOrderWhenNoneAnswersOneOrMore) {
    std::vector<SimulatorCore*> simulators;
    for (int port = 1; port <= 20; ++port) {
        SimOptions options = SimulatedPorts::still();
        options.version = 0;
        simulators.push_back(&ports.add(port, options));
    }
    EXPECT_EQ(FindController(status), 0);
    EXPECT_EQ(ControllerPort, 0);
    EXPECT_TRUE(status.captions.empty());
    SimulatorCore::Clock::time_point previous{};
    for (int port = 1; port <= 20; ++port) {
        SCOPED_TRACE(port);
        const auto frames = simulators[port - 1]->receivedFrames();
        ASSERT_EQ(frames.size(), 1u);
        EXPECT_EQ(frames[0].text, kVersionFrame);
        EXPECT_GT(frames[0].at, previous);
        previous = frames[0].at;
    }
}

TEST_F(Discovery, NoPortsAtAllLeavesEverythingAsItWas) {
    EXPECT_EQ(FindController(status), 0);
    EXPECT_EQ(ControllerPort, 0);
    EXPECT_TRUE(status.captions.empty());
    EXPECT_FALSE(ControllerSerial().PortOpen());
    EXPECT_EQ(ControllerSerial().CommErrorSource(), "CommOpen (CreateFile)");
}

TEST_F(Discovery, SilentDeviceGetsThreeFramesAndTheScanGoesOn) {
    SimOptions silent = SimulatedPorts::still();
    silent.silent = true;
    ports.add(1, silent);
    addController(2, 7);
    EXPECT_EQ(FindController(status), 7);
    EXPECT_EQ(ControllerPort, 2);
    EXPECT_EQ(ports.frames(1), std::vector<std::string>(3, kVersionFrame));
}

} // namespace
