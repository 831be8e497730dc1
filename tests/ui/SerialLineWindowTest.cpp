// The standard window against a controller whose bytes arrive one by one at 115200 baud, as from a
// UART: stray bytes, a device that is gone, a line that hangs up during a refresh.
#include "tests/ui/WindowFixture.h"

#include "ui/MyButton.h"

#include <QElapsedTimer>
#include <QTimer>

namespace {

using SerialLineWindowTest = WindowFixture;

const std::array<int32_t, 8> kCounters{61, 62, 63, 64, 65, 66, 67, 68};

QString ownReading(int table) {
    return QStringLiteral("00:01:0%1").arg(table);
}

SimOptions byteByByte() {
    SimOptions options = StillController(kCounters);
    options.baud = 115200;
    return options;
}

class StrayBytesWindowTest : public SerialLineWindowTest, public testing::WithParamInterface<int32_t> {};

TEST_P(StrayBytesWindowTest, EveryTableShowsItsOwnCounter) {
    SimOptions options = byteByByte();
    options.noise = GetParam();
    SimulatedController& sim = connect(options);
    ControllerPort = 1;

    window->btnInfo()->click();

    for (int t = 1; t <= TableCount; ++t)
        EXPECT_EQ(window->lblTime(t)->text(), ownReading(t)) << "table " << t;
    EXPECT_EQ(sim.requests(), AllTables);
}

INSTANTIATE_TEST_SUITE_P(Amounts, StrayBytesWindowTest, testing::Values(120, 1000),
                         [](const auto& info) { return std::to_string(info.param) + "StrayBytes"; });

TEST_F(SerialLineWindowTest, DeviceGoneShowsEveryTableFailedWellUnderASecond) {
    ControllerPort = 1; // found at start-up, unplugged since: nothing behind COM1
    QElapsedTimer timer;
    timer.start();

    window->btnInfo()->click();

    EXPECT_LT(timer.elapsed(), 1000);
    for (int t = 1; t <= TableCount; ++t) {
        EXPECT_EQ(window->lblTime(t)->text(), QStringLiteral("---")) << "table " << t;
        EXPECT_EQ(background(window->lblTime(t)), QColor(255, 0, 0));
    }
}

TEST_F(SerialLineWindowTest, LineThatHangsUpEndsTheRefreshAndTheNextRefreshReadsTheControllerAgain) {
    SimOptions options = byteByByte();
    options.silentTables = {4};
    connect(options);
    ControllerPort = 1;
    // Runs inside the refresh's event pumps: the controller goes away while table 4 is awaited.
    QTimer unplug;
    QObject::connect(&unplug, &QTimer::timeout, [&] {
        if (controller && controller->requests().size() == 4)
            controller.reset();
    });
    unplug.start(1);
    QElapsedTimer timer;
    timer.start();

    window->btnInfo()->click();

    EXPECT_LT(timer.elapsed(), 3000);
    ASSERT_FALSE(controller) << "the controller was not taken away during the refresh";
    for (int t = 1; t <= TableCount; ++t)
        EXPECT_EQ(window->lblTime(t)->text(), t <= 3 ? ownReading(t) : QStringLiteral("---"))
            << "table " << t;

    unplug.stop();
    SimulatedController& back = connect(byteByByte());
    window->btnInfo()->click();
    for (int t = 1; t <= TableCount; ++t)
        EXPECT_EQ(window->lblTime(t)->text(), ownReading(t)) << "table " << t;
    EXPECT_EQ(back.requests(), AllTables);
}

} // namespace
