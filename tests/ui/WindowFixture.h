// A monitor window as MainForm, with its ports mapped into an empty folder so no real port is touched.
#pragma once

#include "Billiard.h"
#include "BilliardAlt.h"
#include "BilliardStd.h"
#include "ControllerDiscovery.h"
#include "ControllerFlows.h"
#include "FPSerial.h"
#include "MainForm.h"
#include "SimulatedController.h"

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
        MainForm = window.get();
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

using WindowFixture = WindowFixtureOf<BilliardStd>;

inline const std::vector<std::string> AllTables{"G01", "G02", "G03", "G04", "G05", "G06", "G07", "G08"};
