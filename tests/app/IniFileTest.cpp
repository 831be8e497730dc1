#include "Common.h"
#include "IniFile.h"

#include <gtest/gtest.h>

#include "TempFolder.h"

namespace {

TEST(IniFileTest, ReadOfMissingFileCreatesNothing) {
    TempFolder dir;
    EXPECT_EQ(ReadIniValue("Tariff", "Peak", dir.file("Quedrix.cfg"), 255), "");
    EXPECT_FALSE(std::filesystem::exists(dir.file("Quedrix.cfg")));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(IniFileTest, WriteThenReadRoundTrips) {
    TempFolder dir;
    const std::string cfg = dir.file("Quedrix.cfg");
    WriteIniValue("Languages", "Counter", 3, cfg);
    WriteIniValue("Languages", "lng1", "BG", cfg);
    EXPECT_EQ(dir.read("Quedrix.cfg"), "[Languages]\r\nCounter=3\r\nlng1=BG\r\n");
    EXPECT_EQ(ReadIniValue("languages", "COUNTER", cfg, 255), "3");
}

} // namespace
