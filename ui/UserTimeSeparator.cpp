#include "ui/UserTimeSeparator.h"

#include "monitor/RefreshCycle.h"

#include <QLocale>

std::string UserTimeSeparator() {
    return TimeSeparatorOf(QLocale::system().timeFormat(QLocale::ShortFormat).toStdString());
}
