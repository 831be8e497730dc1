#include "Hourglass.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {

TEST(HourglassTest, SetOnceHoweverOftenAskedAndRemovedByOneCall) {
    int argc = 1;
    char name[] = "quedrix_app_tests";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);

    SetHourglass(true);
    SetHourglass(true);
    SetHourglass(true);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    SetHourglass(false);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    SetHourglass(false);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    SetHourglass(true);
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    SetHourglass(false);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

} // namespace
