// A monitor window as MainForm, with its ports mapped into an empty folder so no real port is touched.
#pragma once

#include "controller/Billiard.h"
#include "controller/ControllerDiscovery.h"
#include "controller/ControllerFlows.h"
#include "controller/FPSerial.h"
#include "monitor/MainForm.h"
#include "tests/ui/SimulatedController.h"
#include "ui/QtBilliardAlt.h"
#include "ui/QtBilliardStd.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

template <class Window> class WindowFixtureOf : public testing::Test {
protected:
    WindowFixtureOf() {
        qputenv("QUEDRIX_PORT_DIR", m_portFolder.path().toLocal8Bit());
        ControllerSerial().setPumpEvents([] { QCoreApplication::processEvents(); });
        ControllerPort = 0;
        window = std::make_unique<Window>(flows);
        // The program's own end would end the test too: here it ends the event loop, if one runs.
        window->setProcessEnd([] { QCoreApplication::exit(0); });
        MainForm = &window->form();
    }

    ~WindowFixtureOf() override {
        MainForm = nullptr;
        window.reset();
        ControllerPort = 0;
        qunsetenv("QUEDRIX_PORT_DIR");
    }

    // Puts a controller with these counters on COM1.
    SimulatedController& connect(const SimOptions& options) {
        controller = std::make_unique<SimulatedController>(m_portFolder.path(), options);
        return *controller;
    }

    static QColor background(const QLabel* label) { return label->palette().color(QPalette::Window); }

    QTemporaryDir m_portFolder;
    ControllerFlows flows;
    std::unique_ptr<SimulatedController> controller;
    std::unique_ptr<Window> window;
};

using WindowFixture = WindowFixtureOf<QtBilliardStd>;

inline const std::vector<std::string> AllTables{"G01", "G02", "G03", "G04", "G05", "G06", "G07", "G08"};
