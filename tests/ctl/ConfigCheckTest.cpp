#include "ctl/ConfigCheck.h"
#include "ctl/ConfigCheckPosix.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/support/FakeSerialDriver.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/ScopedLocale.h"
#include "tests/support/TempFolder.h"

namespace {

const std::string kTariff = "[Tariff]\r\nPeak=0.50\r\nOffPeak=0,30\r\nStartTime=08:00\r\nEndTime=18:00\r\n";

// What stands at the path that is checked, besides the file text.
enum class Place { File, NoFile, NoFolder, Folder, UnreadableFile, UnsearchableFolder };

struct CheckCase {
    const char* name;
    std::string text;                  // Quedrix.cfg; $DIR is the folder, $TTY a pseudo-terminal
    std::vector<std::string> problems; // a part of each line, in order; "ALT:" for the tariff's
    Place place = Place::File;
};

void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.name;
}

std::string tariff(const std::string& start, const std::string& end) {
    return "[Tariff]\r\nPeak=1\r\nOffPeak=1\r\nStartTime=" + start + "\r\nEndTime=" + end + "\r\n";
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

class ConfigCheckTest : public ::testing::TestWithParam<CheckCase> {
protected:
    void SetUp() override {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(m_master, 0);
        ASSERT_EQ(::grantpt(m_master), 0);
        ASSERT_EQ(::unlockpt(m_master), 0);
        m_dir.write("frames.bin", "keep");
        ::mkfifo(m_dir.file("fifo").c_str(), 0600);
        ::symlink(m_dir.file("gone").c_str(), m_dir.file("dangling").c_str());
    }
    void TearDown() override {
        ::close(m_master);
        ::chmod(m_dir.path().c_str(), 0700); // so that the folder can be removed
    }

    // Lays out the case and returns the path to check.
    std::string placed(const CheckCase& c) {
        const std::string cfg = m_dir.file("Quedrix.cfg");
        if (c.place == Place::NoFile)
            return cfg;
        if (c.place == Place::NoFolder)
            return m_dir.file("gone/Quedrix.cfg");
        if (c.place == Place::Folder) {
            std::filesystem::create_directory(cfg);
            return cfg;
        }
        m_dir.write("Quedrix.cfg",
                    replaced(replaced(c.text, "$DIR", m_dir.path()), "$TTY", ::ptsname(m_master)));
        if (c.place == Place::UnreadableFile)
            ::chmod(cfg.c_str(), 0200);
        if (c.place == Place::UnsearchableFolder)
            ::chmod(m_dir.path().c_str(), 0600);
        return cfg;
    }

    TempFolder m_dir;
    ScopedEnv m_codePage{"QUEDRIX_CODEPAGE", nullptr};
    int m_master = -1;
};

TEST_P(ConfigCheckTest, OneLinePerProblem) {
    USE_LOCALE_OR_SKIP(locale, "C");
    const CheckCase& c = GetParam();
    if ((c.place == Place::UnreadableFile || c.place == Place::UnsearchableFolder) && ::geteuid() == 0)
        GTEST_SKIP() << "permission bits do not bind root";
    const std::vector<ConfigProblem> problems = ConfigProblems(placed(c));
    std::string all;
    for (const ConfigProblem& problem : problems)
        all += (problem.alternativeModeOnly ? "ALT:" : "") + problem.text + "\n";
    ASSERT_EQ(problems.size(), c.problems.size()) << all;
    for (std::size_t i = 0; i < problems.size(); ++i) {
        const bool tariff = c.problems[i].starts_with("ALT:");
        EXPECT_EQ(problems[i].alternativeModeOnly, tariff) << all;
        EXPECT_NE(problems[i].text.find(c.problems[i].substr(tariff ? 4 : 0)), std::string::npos) << all;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ConfigCheckTest,
    ::testing::Values(
        CheckCase{"Sound", "[Language]\r\nValue=BG\r\n\r\n" + kTariff + "[Ports]\r\nCOM1=$TTY\r\n", {}},
        CheckCase{"Rates",
                  "[Tariff]\r\nPeak=abc\r\nOffPeak=-0,30\r\nStartTime=08:00\r\nEndTime=18:00\r\n",
                  {"ALT:Peak=abc does not read as a number", "ALT:OffPeak=-0,30 is negative"}},
        CheckCase{"RatesThatAreNoDecimals",
                  "[Tariff]\r\nPeak=0x10\r\nOffPeak=1.000,50\r\nStartTime=08:00\r\nEndTime=18:00\r\n",
                  {"ALT:Peak=0x10 does not read", "ALT:OffPeak=1.000,50 does not read"}},
        CheckCase{"MissingRate",
                  "[Tariff]\r\nOffPeak=0.30\r\nStartTime=08:00\r\nEndTime=18:00\r\n",
                  {"ALT:Peak is missing or empty"}},
        CheckCase{"MissingTimes",
                  "[Tariff]\r\nPeak=1\r\nOffPeak=1\r\n",
                  {"ALT:StartTime is missing or empty: the peak period starts at midnight",
                   "ALT:EndTime is missing or empty: the peak rate never applies"}},
        CheckCase{"NoTariff", "[Language]\r\nValue=BG\r\n", {"ALT:no [Tariff] values"}},
        CheckCase{"OneDigitHour",
                  tariff("8:00", "18:00"),
                  {"ALT:StartTime=8:00 is not a time \"HH:MM\" with a two-digit 24-hour hour: the peak rate "
                   "compares times as text"}},
        CheckCase{"TimesOutOfRange",
                  tariff("24:00", "18:60"),
                  {"ALT:StartTime=24:00 is not a time", "ALT:EndTime=18:60 is not a time"}},
        CheckCase{"WatchValues",
                  kTariff + "[Watch]\r\nEnabled=yes\r\nInterval=4\r\nLongSession=1441\r\n",
                  {"[Watch] Enabled=yes is neither 1 (on) nor 0 (off)",
                   "[Watch] Interval=4 is not a whole number",
                   "[Watch] LongSession=1441 is not a whole number"}},
        CheckCase{
            "WatchValuesThatDoNotRead",
            kTariff + "[Watch]\r\nEnabled=1\r\nInterval=15s\r\nLongSession=-5\r\n",
            {"[Watch] Interval=15s is not a whole number", "[Watch] LongSession=-5 is not a whole number"}},
        CheckCase{"StartAfterEnd", tariff("18:00", "08:00"), {"ALT:StartTime=18:00 is after EndTime=08:00"}},
        CheckCase{
            "PortsThatAreNoSerialDevice",
            kTariff + "[Ports]\r\nCOM1=$TTY\r\nCOM2=$DIR/frames.bin\r\nCOM3=$DIR\r\nCOM5=/dev/null\r\n"
                      "COM8=$DIR/fifo\r\nCOM13=$DIR/dangling\r\nCOM20=$DIR/missing\r\nCOM21=/dev/null\r\n",
            {"frames.bin is a regular file, not a serial device", "is a folder, not a serial device",
             "COM5=/dev/null is a character device but not a terminal", "fifo is a FIFO, not a serial device",
             "dangling cannot be found", "missing cannot be found"}},
        CheckCase{"Utf8WithoutByteOrderMark",
                  "[Languages]\r\ncap1=Български\r\n" + kTariff,
                  {"UTF-8 text without a byte-order mark: it is read in the ANSI code page WINDOWS-1251"}},
        CheckCase{"Utf8WithByteOrderMark", "\xEF\xBB\xBF[Languages]\r\ncap1=Български\r\n" + kTariff, {}},
        CheckCase{
            "CodePageText", "[Languages]\r\ncap1=\xC1\xFA\xEB\xE3\xE0\xF0\xF1\xEA\xE8\r\n" + kTariff, {}},
        CheckCase{"ByteOutsideTheCodePage",
                  "[Languages]\r\ncap1=\x98?\r\n" + kTariff,
                  {"no characters of the ANSI code page WINDOWS-1251"}},
        CheckCase{"NoFile", "", {"the file does not exist"}, Place::NoFile},
        CheckCase{"NoFolder", "", {"gone does not exist"}, Place::NoFolder},
        CheckCase{"FolderAsFile", "", {"is not a file"}, Place::Folder},
        CheckCase{"UnreadableFile", kTariff, {"cannot be read: Permission denied"}, Place::UnreadableFile},
        CheckCase{"UnsearchableFolder", kTariff, {"cannot be entered"}, Place::UnsearchableFolder}),
    [](const ::testing::TestParamInfo<CheckCase>& info) { return std::string(info.param.name); });

// A legacy port whose driver knows no UART is no port, though its node is a terminal device.
TEST(ConfigCheckPhantomTest, LegacyPortWithoutUartHasNoSerialPortBehindIt) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string device = ::ptsname(master);
    FakeSerialDriver driver;
    driver.device = makedev(4, 67);
    driver.reported = serial_struct{};
    driver.reported->type = PORT_UNKNOWN;
    EXPECT_EQ(SerialDeviceProblem(device, driver),
              "leads nowhere: no serial port behind " + device + " (its driver knows no UART there)");
    driver.reported->type = PORT_16550A;
    EXPECT_EQ(SerialDeviceProblem(device, driver), "");
    ::close(master);
}

} // namespace
