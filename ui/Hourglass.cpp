#include "monitor/Hourglass.h"

#include <QCursor>
#include <QGuiApplication>

namespace {
bool hourglassShown = false;
}

void SetHourglass(bool on) {
    if (on == hourglassShown)
        return;
    if (on)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QGuiApplication::restoreOverrideCursor();
    hourglassShown = on;
}
