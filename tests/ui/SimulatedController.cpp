#include "tests/ui/SimulatedController.h"

#include "sim/SimulatorCore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QThread>

SimulatedController::SimulatedController(const QString& portFolder, SimOptions options) {
    options.link = QDir(portFolder).filePath(QStringLiteral("COM1")).toStdString();
    m_core = std::make_unique<SimulatorCore>(std::move(options));
    m_core->start();
}

SimulatedController::~SimulatedController() = default;

std::vector<std::string> SimulatedController::requests() const {
    std::vector<std::string> result;
    for (const SimulatorCore::ReceivedFrame& frame : m_core->receivedFrames())
        result.push_back(frame.text.substr(1, 3));
    return result;
}

std::vector<SimulatedController::Request> SimulatedController::timedRequests() const {
    std::vector<Request> result;
    for (const SimulatorCore::ReceivedFrame& frame : m_core->receivedFrames())
        result.push_back({frame.text.substr(1, 3), std::atoi(frame.text.substr(5, 5).c_str()), frame.at});
    return result;
}

std::vector<std::string> SimulatedController::requests(char command) const {
    std::vector<std::string> result;
    for (const std::string& request : requests()) {
        if (request.front() == command)
            result.push_back(request);
    }
    return result;
}

SimOptions StillController(const std::array<int32_t, 8>& counters, int32_t version) {
    SimOptions options;
    options.counters = counters;
    options.version = version;
    options.tickMs = 0;
    options.baud = 0;
    return options;
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return true;
}
