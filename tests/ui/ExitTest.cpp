// "Изход" and closing the window in the middle of an exchange: the process ends at the next event
// pump, before any further frame, with the icon and the port given up.
#include "controller/Billiard.h"
#include "controller/ControllerDiscovery.h"
#include "controller/ControllerFlows.h"
#include "controller/FPSerial.h"
#include "monitor/MainForm.h"
#include "monitor/modSysTry.h"
#include "tests/ui/SimulatedController.h"
#include "ui/MyButton.h"
#include "ui/QtBilliardAlt.h"
#include "ui/QtBilliardStd.h"
#include "ui/QtTrayIcon.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <ostream>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

enum class Mode { Standard, Alternative };
enum class Ending { ExitFromTheMenu, ClosingTheWindow };

struct ExitCase {
    const char* name;
    Mode mode;
    Ending ending;
    int queuedByTheButton; // the standard window's reset is followed by its own refresh
};

void PrintTo(const ExitCase& c, std::ostream* out) {
    *out << c.name;
}

// What the child saw at the moment its process was to end.
struct Report {
    int running = -1; // a flow was under way
    int queued = -1;  // flows waiting behind it
    int portOpen = -1;
    int iconShown = -1;
    long long askedAtMs = 0; // when the exit was asked for, on the steady clock
};

constexpr int BodyReturned = 99; // the exit did not end the child's process

// A table controller that answers the version but never a table, so a refresh keeps asking.
SimOptions NeverAnswersATable() {
    SimOptions options = StillController({});
    for (int32_t t = 1; t <= 8; ++t)
        options.silentTables.insert(t);
    return options;
}

long long steadyMs(Clock::time_point at) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(at.time_since_epoch()).count();
}

std::unique_ptr<QtMonitorWindow> makeWindow(Mode mode, ControllerFlows& flows) {
    if (mode == Mode::Alternative)
        return std::make_unique<QtBilliardAlt>(flows);
    return std::make_unique<QtBilliardStd>(flows);
}

MyButton* tableButton(QtMonitorWindow& window, Mode mode, int table) {
    if (mode == Mode::Alternative)
        return static_cast<QtBilliardAlt&>(window).btnSet(table);
    return static_cast<QtBilliardStd&>(window).btnReset(table);
}

// The program as it runs, in a child process: loaded with its tray icon, a refresh under way against
// a controller that does not answer, a table button clicked meanwhile, then the exit. The end writes
// what it sees to reportFd and ends the process as the window does by itself.
[[noreturn]] void runTheProgram(const ExitCase& c, int reportFd) {
    ControllerFlows flows;
    std::unique_ptr<QtMonitorWindow> window = makeWindow(c.mode, flows);
    MainForm = &window->form();
    window->setTrayAvailability([] { return true; });
    window->form().loadHidden();
    if (ControllerPort != 1)
        std::_Exit(BodyReturned);

    Clock::time_point askedAt;
    window->setProcessEnd([&] {
        char line[128];
        const int length = std::snprintf(
            line, sizeof line, "%d %d %d %d %lld", flows.busy() ? 1 : 0, static_cast<int>(flows.pending()),
            ControllerSerial().PortOpen() ? 1 : 0, TrayIcon()->isVisible() ? 1 : 0, steadyMs(askedAt));
        if (write(reportFd, line, static_cast<size_t>(length)) != length)
            std::_Exit(BodyReturned);
        std::fflush(nullptr);
        std::_Exit(0);
    });
    // Both arrive through the events the serial layer lets run while it waits for the first reply.
    QTimer::singleShot(100, [&] { tableButton(*window, c.mode, 3)->click(); });
    QTimer::singleShot(300, [&] {
        askedAt = Clock::now();
        if (c.ending == Ending::ExitFromTheMenu)
            window->mnuExit()->trigger();
        else
            window->close();
    });
    window->btnInfo()->click();
    std::_Exit(BodyReturned);
}

class ExitDuringAnExchange : public testing::TestWithParam<ExitCase> {
protected:
    ExitDuringAnExchange() {
        qputenv("QUEDRIX_PORT_DIR", m_ports.path().toLocal8Bit());
        ControllerSerial().setPumpEvents([] { QCoreApplication::processEvents(); });
        ControllerPort = 0;
    }
    ~ExitDuringAnExchange() override {
        qunsetenv("QUEDRIX_PORT_DIR");
        ControllerPort = 0;
    }

    QTemporaryDir m_ports;
};

TEST_P(ExitDuringAnExchange, EndsAtTheNextPumpWithNothingSentAfterIt) {
    const ExitCase& c = GetParam();
    int report[2];
    int go[2];
    ASSERT_EQ(pipe(report), 0);
    ASSERT_EQ(pipe(go), 0);

    // The simulator's thread starts after the fork: a thread running while the process forks can
    // leave the allocator's lock taken in the child, which then hangs at its first allocation.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(report[0]);
        close(go[1]);
        char started = 0;
        if (read(go[0], &started, 1) != 1)
            std::_Exit(BodyReturned);
        runTheProgram(c, report[1]);
    }
    close(report[1]);
    close(go[0]);
    SimulatedController controller(m_ports.path(), NeverAnswersATable());
    ASSERT_EQ(write(go[1], "g", 1), 1);
    close(go[1]);

    // Reaped as soon as it ends; a child still running after 20 s is stopped and counts as failed.
    int status = 0;
    Clock::time_point endedAt;
    const Clock::time_point deadline = Clock::now() + 20s;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
        std::this_thread::sleep_for(1ms);
    }
    endedAt = Clock::now();
    char text[128] = {};
    const ssize_t length = read(report[0], text, sizeof text - 1);
    close(report[0]);

    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the exit did not end the process";
    ASSERT_GT(length, 0);
    Report seen;
    ASSERT_EQ(std::sscanf(text, "%d %d %d %d %lld", &seen.running, &seen.queued, &seen.portOpen,
                          &seen.iconShown, &seen.askedAtMs),
              5)
        << text;
    EXPECT_EQ(seen.running, 1) << "the exit was not handled inside the refresh";
    EXPECT_EQ(seen.queued, c.queuedByTheButton) << "the table button's flows were not waiting";
    EXPECT_EQ(seen.portOpen, 0);
    EXPECT_EQ(seen.iconShown, 0);
    EXPECT_LE(steadyMs(endedAt) - seen.askedAtMs, 500);

    // One try for table 1 was under way; its repeat, the other tables and the button's flow never went out.
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(controller.requests('G'), std::vector<std::string>{"G01"});
    EXPECT_TRUE(controller.requests('R').empty());
    EXPECT_TRUE(controller.requests('C').empty());
    // Closed as the program closes it: the next opener finds the line free of its exclusive use.
    const int line = open(m_ports.filePath(QStringLiteral("COM1")).toLocal8Bit().constData(),
                          O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(line, 0);
    int exclusive = -1;
    EXPECT_EQ(ioctl(line, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
    close(line);
}

INSTANTIATE_TEST_SUITE_P(
    Endings, ExitDuringAnExchange,
    testing::Values(
        ExitCase{"ExitFromTheMenuInTheStandardWindow", Mode::Standard, Ending::ExitFromTheMenu, 2},
        ExitCase{"ClosingTheStandardWindow", Mode::Standard, Ending::ClosingTheWindow, 2},
        ExitCase{"ExitFromTheMenuInTheAlternativeWindow", Mode::Alternative, Ending::ExitFromTheMenu, 1},
        ExitCase{"ClosingTheAlternativeWindow", Mode::Alternative, Ending::ClosingTheWindow, 1}),
    [](const testing::TestParamInfo<ExitCase>& info) { return std::string(info.param.name); });

} // namespace
