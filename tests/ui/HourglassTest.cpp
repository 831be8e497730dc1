#include "monitor/Hourglass.h"

#include <QCursor>
#include <QGuiApplication>
#include <gtest/gtest.h>

namespace {

TEST(HourglassTest, SetOnceHoweverOftenAskedAndRemovedByOneCall) {
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
