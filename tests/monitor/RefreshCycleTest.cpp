#include "monitor/RefreshCycle.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct FixedClock : Clock {
    TimeOfDay now;
    mutable int reads = 0;
    explicit FixedClock(int hour, int minute) : now{hour, minute} {}
    TimeOfDay localTimeOfDay() const override {
        ++reads;
        return now;
    }
};

struct AlternativeCase {
    int32_t reading;
    double rate;
    const char* separator;
    const char* time;
    QBColorIndex colour;
    const char* charge;
};

void PrintTo(const AlternativeCase& c, std::ostream* out) {
    *out << "reading " << c.reading << " at " << c.rate << " with '" << c.separator << "'";
}

class AlternativeCellsTest : public testing::TestWithParam<AlternativeCase> {};

TEST_P(AlternativeCellsTest, ElapsedTimeColourAndCharge) {
    const AlternativeCase& c = GetParam();
    EXPECT_EQ(AlternativeTableCells(c.reading, c.rate, c.separator),
              (AlternativeCells{{c.time, c.colour}, c.charge}));
}

INSTANTIATE_TEST_SUITE_P(
    Readings, AlternativeCellsTest,
    testing::Values(AlternativeCase{0, 0.50, ".", "00:00:00", QBColorIndex::Red, "0.00"},
                    AlternativeCase{31999, 0.50, ".", "00:00:01", QBColorIndex::Green, "0.01"},
                    AlternativeCase{28400, 0.50, ".", "01:00:00", QBColorIndex::Green, "30.00"},
                    AlternativeCase{28400, 0.30, ".", "01:00:00", QBColorIndex::Green, "18.00"},
                    AlternativeCase{28400, 0.50, ",", "01:00:00", QBColorIndex::Green, "30,00"},
                    AlternativeCase{1, 0.60, ".", "08:53:19", QBColorIndex::Green, "319.99"},
                    // A just-started table (reading 32000) has played no time yet.
                    AlternativeCase{32000, 0.50, ".", "00:00:00", QBColorIndex::Red, "0.00"},
                    // No valid reply, or a reading above the start value: no time and no amount.
                    AlternativeCase{-1, 0.50, ".", "---", QBColorIndex::Red, "---"},
                    AlternativeCase{-1, 0.0, ".", "---", QBColorIndex::Red, "---"},
                    AlternativeCase{32001, 0.50, ".", "---", QBColorIndex::Red, "---"},
                    AlternativeCase{65535, 0.50, ".", "---", QBColorIndex::Red, "---"}));

struct ChargeCase {
    int32_t seconds;
    double rate;
    const char* separator;
    const char* text;
};

void PrintTo(const ChargeCase& c, std::ostream* out) {
    *out << c.seconds << " s at " << c.rate << " with '" << c.separator << "'";
}

class ChargeTextTest : public testing::TestWithParam<ChargeCase> {};

TEST_P(ChargeTextTest, Formats) {
    const ChargeCase& c = GetParam();
    EXPECT_EQ(ChargeText(c.seconds, c.rate, c.separator), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Amounts, ChargeTextTest,
    testing::Values(ChargeCase{0, 0.5, ".", "0.00"}, ChargeCase{1, 0.5, ".", "0.01"},
                    // 15 s at 0.50 is exactly 0.125: rounded half away from zero.
                    ChargeCase{15, 0.5, ".", "0.13"}, ChargeCase{3600, 0.5, ",", "30,00"},
                    ChargeCase{3600, 0.5, "<>", "30<>00"}, ChargeCase{60, 1234.5, ".", "1234.50"},
                    ChargeCase{-1, 0.5, ".", "-0.01"},
                    // Rounds to zero: no "-0.00".
                    ChargeCase{-1, 0.1, ".", "0.00"}, ChargeCase{-1, 0.0, ".", "0.00"},
                    // Halves of a cent in decimal are rounded up, whatever the
                    // double of seconds x rate / 60 holds (1800.4999... cents).
                    ChargeCase{3601, 0.30, ".", "18.01"}, ChargeCase{1801, 0.30, ".", "9.01"},
                    ChargeCase{61, 0.30, ".", "0.31"}, ChargeCase{7201, 0.30, ".", "36.01"},
                    ChargeCase{3, 0.70, ".", "0.04"}, ChargeCase{-3, 0.70, ".", "-0.04"},
                    ChargeCase{1801, -0.30, ".", "-9.01"}, ChargeCase{3600, 0.123456789, ".", "7.41"},
                    ChargeCase{60, 1e-300, ".", "0.00"}, ChargeCase{32000, 1e9, ".", "533333333333.33"},
                    // Too large to show: no wrapped or rounded-off amount.
                    ChargeCase{32000, 1e11, ".", "---"}, ChargeCase{1, 1e30, ".", "---"},
                    ChargeCase{0, 1e30, ".", "---"},
                    ChargeCase{1, std::numeric_limits<double>::quiet_NaN(), ".", "---"}));

struct PeakCase {
    const char* now;
    const char* start;
    const char* end;
    bool peak;
};

void PrintTo(const PeakCase& c, std::ostream* out) {
    *out << "'" << c.now << "' in '" << c.start << "' to '" << c.end << "'";
}

class PeakAppliesTest : public testing::TestWithParam<PeakCase> {};

TEST_P(PeakAppliesTest, ComparesAsText) {
    const PeakCase& c = GetParam();
    EXPECT_EQ(PeakApplies(c.now, c.start, c.end), c.peak) << c.now << " in " << c.start << ".." << c.end;
}

INSTANTIATE_TEST_SUITE_P(
    Times, PeakAppliesTest,
    testing::Values(PeakCase{"12:00", "08:00", "18:00", true}, PeakCase{"08:00", "08:00", "18:00", true},
                    PeakCase{"18:00", "08:00", "18:00", true}, PeakCase{"18:01", "08:00", "18:00", false},
                    PeakCase{"07:59", "08:00", "18:00", false},
                    // A one-digit start hour sorts after every formatted time.
                    PeakCase{"08:30", "8:00", "18:00", false}, PeakCase{"12:00", "8:00", "18:00", false},
                    PeakCase{"23:59", "8:00", "23:59", false},
                    // No tariff: an empty end time is before every time.
                    PeakCase{"12:00", "", "", false}, PeakCase{"12.00", "08.00", "18.00", true}));

TEST(RateNowTest, ReadsTheClockAndChoosesTheRate) {
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

TEST(TimeSeparatorOfTest, TakesWhatStandsBetweenHoursAndMinutes) {
    EXPECT_EQ(TimeSeparatorOf("HH:mm"), ":");
    EXPECT_EQ(TimeSeparatorOf("h.mm AP"), ".");
    EXPECT_EQ(TimeSeparatorOf("H:mm 'ч'."), ":");
    EXPECT_EQ(TimeSeparatorOf("HH'h'mm"), "h");
    EXPECT_EQ(TimeSeparatorOf("HHmm"), ":");
    EXPECT_EQ(TimeSeparatorOf(""), ":");
}

} // namespace
