#include "RefreshCycle.h"

#include <gtest/gtest.h>

namespace {

struct FixedClock : Clock {
    TimeOfDay now;
    mutable int reads = 0;
    explicit FixedClock(int hour, int minute) : now{hour, minute} {}
    TimeOfDay localTimeOfDay() const override
    {
        ++reads;
        return now;
    }
};

struct StandardCase {
    int32_t reading;
    std::string text;
    QBColorIndex colour;
};

class StandardTimeCellTest : public testing::TestWithParam<StandardCase> {};

TEST_P(StandardTimeCellTest, TextAndColour)
{
    const StandardCase& c = GetParam();
    EXPECT_EQ(StandardTimeCell(c.reading), (TimeCell{c.text, c.colour}));
}

INSTANTIATE_TEST_SUITE_P(Readings, StandardTimeCellTest,
                         testing::Values(StandardCase{0, "00:00:00", QBColorIndex::Red},
                                         StandardCase{1, "00:00:01", QBColorIndex::Yellow},
                                         StandardCase{300, "00:05:00", QBColorIndex::Yellow},
                                         StandardCase{301, "00:05:01", QBColorIndex::Green},
                                         StandardCase{3725, "01:02:05", QBColorIndex::Green},
                                         StandardCase{32000, "08:53:20", QBColorIndex::Green},
                                         StandardCase{-1, "---", QBColorIndex::Red},
                                         StandardCase{-32768, "---", QBColorIndex::Red},
                                         // Beyond the 16-bit range: still a plain time, no overflow.
                                         StandardCase{40000, "11:06:40", QBColorIndex::Green},
                                         StandardCase{99999, "27:46:39", QBColorIndex::Green},
                                         StandardCase{360000, "100:00:00", QBColorIndex::Green}));

TEST(QBColorTest, ThePaletteColoursTheLabelsUse)
{
    EXPECT_EQ(QBColor(static_cast<int>(QBColorIndex::Green)), 0x00FF00u);
    EXPECT_EQ(QBColor(static_cast<int>(QBColorIndex::Red)), 0xFF0000u);
    EXPECT_EQ(QBColor(static_cast<int>(QBColorIndex::Yellow)), 0xFFFF00u);
    EXPECT_EQ(QBColor(0), 0x000000u);
    EXPECT_EQ(QBColor(15), 0xFFFFFFu);
    EXPECT_EQ(QBColor(16), 0x000000u);
    EXPECT_EQ(QBColor(-1), 0x000000u);
}

struct AlternativeCase {
    int32_t reading;
    double rate;
    std::string separator;
    AlternativeCells cells;
};

class AlternativeCellsTest : public testing::TestWithParam<AlternativeCase> {};

TEST_P(AlternativeCellsTest, ElapsedTimeColourAndCharge)
{
    const AlternativeCase& c = GetParam();
    EXPECT_EQ(AlternativeTableCells(c.reading, c.rate, c.separator), c.cells);
}

INSTANTIATE_TEST_SUITE_P(
    Readings, AlternativeCellsTest,
    testing::Values(
        AlternativeCase{0, 0.50, ".", {{"00:00:00", QBColorIndex::Red}, "0.00"}},
        AlternativeCase{31999, 0.50, ".", {{"00:00:01", QBColorIndex::Green}, "0.01"}},
        AlternativeCase{28400, 0.50, ".", {{"01:00:00", QBColorIndex::Green}, "30.00"}},
        AlternativeCase{28400, 0.30, ".", {{"01:00:00", QBColorIndex::Green}, "18.00"}},
        AlternativeCase{28400, 0.50, ",", {{"01:00:00", QBColorIndex::Green}, "30,00"}},
        AlternativeCase{1, 0.60, ".", {{"08:53:19", QBColorIndex::Green}, "319.99"}},
        // A just-started table (reading 32000) has played no time yet.
        AlternativeCase{32000, 0.50, ".", {{"00:00:00", QBColorIndex::Red}, "0.00"}},
        // No valid reply, or a reading above the start value: no time and no amount.
        AlternativeCase{-1, 0.50, ".", {{"---", QBColorIndex::Red}, "---"}},
        AlternativeCase{-1, 0.0, ".", {{"---", QBColorIndex::Red}, "---"}},
        AlternativeCase{32001, 0.50, ".", {{"---", QBColorIndex::Red}, "---"}},
        AlternativeCase{65535, 0.50, ".", {{"---", QBColorIndex::Red}, "---"}}));

struct ChargeCase {
    int32_t seconds;
    double rate;
    std::string separator;
    std::string text;
};

class ChargeTextTest : public testing::TestWithParam<ChargeCase> {};

TEST_P(ChargeTextTest, Formats)
{
    const ChargeCase& c = GetParam();
    EXPECT_EQ(ChargeText(c.seconds, c.rate, c.separator), c.text);
}

INSTANTIATE_TEST_SUITE_P(Amounts, ChargeTextTest,
                         testing::Values(ChargeCase{0, 0.5, ".", "0.00"}, ChargeCase{1, 0.5, ".", "0.01"},
                                         // 15 s at 0.50 is exactly 0.125: rounded half away from zero.
                                         ChargeCase{15, 0.5, ".", "0.13"},
                                         ChargeCase{3600, 0.5, ",", "30,00"},
                                         ChargeCase{3600, 0.5, "<>", "30<>00"},
                                         ChargeCase{60, 1234.5, ".", "1234.50"},
                                         ChargeCase{-1, 0.5, ".", "-0.01"},
                                         // Rounds to zero: no "-0.00".
                                         ChargeCase{-1, 0.1, ".", "0.00"}, ChargeCase{-1, 0.0, ".", "0.00"}));

struct PeakCase {
    std::string now;
    std::string start;
    std::string end;
    bool peak;
};

class PeakAppliesTest : public testing::TestWithParam<PeakCase> {};

TEST_P(PeakAppliesTest, ComparesAsText)
{
    const PeakCase& c = GetParam();
    EXPECT_EQ(PeakApplies(c.now, c.start, c.end), c.peak) << c.now << " in " << c.start << ".." << c.end;
}

INSTANTIATE_TEST_SUITE_P(Times, PeakAppliesTest,
                         testing::Values(PeakCase{"12:00", "08:00", "18:00", true},
                                         PeakCase{"08:00", "08:00", "18:00", true},
                                         PeakCase{"18:00", "08:00", "18:00", true},
                                         PeakCase{"18:01", "08:00", "18:00", false},
                                         PeakCase{"07:59", "08:00", "18:00", false},
                                         // A one-digit start hour sorts after every formatted time.
                                         PeakCase{"08:30", "8:00", "18:00", false},
                                         PeakCase{"12:00", "8:00", "18:00", false},
                                         PeakCase{"23:59", "8:00", "23:59", false},
                                         // No tariff: an empty end time is before every time.
                                         PeakCase{"12:00", "", "", false},
                                         PeakCase{"12.00", "08.00", "18.00", true}));

TEST(RateNowTest, ReadsTheClockAndChoosesTheRate)
{
    const Tariff tariff{0.50, 0.30, "08:00", "18:00"};
    EXPECT_DOUBLE_EQ(RateNow(FixedClock(12, 0), ":", tariff), 0.50);
    EXPECT_DOUBLE_EQ(RateNow(FixedClock(18, 0), ":", tariff), 0.50);
    EXPECT_DOUBLE_EQ(RateNow(FixedClock(18, 1), ":", tariff), 0.30);
    EXPECT_DOUBLE_EQ(RateNow(FixedClock(7, 59), ":", tariff), 0.30);
    EXPECT_DOUBLE_EQ(RateNow(FixedClock(0, 0), ":", tariff), 0.30);

    // The user's separator takes part in the comparison.
    const Tariff dotted{0.50, 0.30, "08.00", "18.00"};
    EXPECT_DOUBLE_EQ(RateNow(FixedClock(18, 0), ".", dotted), 0.50);
    EXPECT_DOUBLE_EQ(RateNow(FixedClock(18, 0), ":", dotted), 0.30);

    FixedClock clock(9, 5);
    RateNow(clock, ":", tariff);
    EXPECT_EQ(clock.reads, 1);
}

TEST(HourMinuteTextTest, TwoDigitFields)
{
    EXPECT_EQ(HourMinuteText({8, 5}, ":"), "08:05");
    EXPECT_EQ(HourMinuteText({23, 59}, "."), "23.59");
    EXPECT_EQ(HourMinuteText({0, 0}, ":"), "00:00");
}

TEST(TimeSeparatorOfTest, TakesWhatStandsBetweenHoursAndMinutes)
{
    EXPECT_EQ(TimeSeparatorOf("HH:mm"), ":");
    EXPECT_EQ(TimeSeparatorOf("h.mm AP"), ".");
    EXPECT_EQ(TimeSeparatorOf("H:mm 'ч'."), ":");
    EXPECT_EQ(TimeSeparatorOf("HH'h'mm"), "h");
    EXPECT_EQ(TimeSeparatorOf("HHmm"), ":");
    EXPECT_EQ(TimeSeparatorOf(""), ":");
}

TEST(ElapsedSecondsTest, CountsFromTheStartValue)
{
    EXPECT_EQ(ElapsedSeconds(0), 0);
    EXPECT_EQ(ElapsedSeconds(32000), 0);
    EXPECT_EQ(ElapsedSeconds(31999), 1);
    EXPECT_EQ(ElapsedSeconds(1), 31999);
    EXPECT_TRUE(HasElapsedTime(0));
    EXPECT_TRUE(HasElapsedTime(32000));
    EXPECT_FALSE(HasElapsedTime(32001));
    EXPECT_FALSE(HasElapsedTime(-1));
}

} // namespace
