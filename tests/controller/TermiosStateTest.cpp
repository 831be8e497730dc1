// Line settings to termios flags and back, for every parity, size and stop-bit choice.
#include "controller/TermiosState.h"

#include <gtest/gtest.h>

namespace {

struct FlagCase {
    CommState state;
    speed_t speed;
    tcflag_t cflags; // the size, parity and stop flags
};

void PrintTo(const FlagCase& c, std::ostream* os) {
    *os << c.state.baudRate << " data " << int(c.state.byteSize) << " parity " << int(c.state.parity)
        << " stop " << int(c.state.stopBits) << (c.state.outxCtsFlow ? " flow" : "");
}

class TermiosStateTest : public ::testing::TestWithParam<FlagCase> {};

TEST_P(TermiosStateTest, StateBecomesFlagsAndReadsBackTheSame) {
    const FlagCase& c = GetParam();
    termios settings{};
    settings.c_lflag = ECHO | ICANON | ISIG;
    settings.c_iflag = ICRNL | IXANY;
    settings.c_oflag = OPOST | ONLCR;
    ASSERT_TRUE(applyCommState(c.state, settings));
    EXPECT_EQ(cfgetospeed(&settings), c.speed);
    EXPECT_EQ(cfgetispeed(&settings), c.speed);
    EXPECT_EQ(settings.c_cflag & (CSIZE | PARENB | PARODD | CMSPAR | CSTOPB), c.cflags);
    EXPECT_EQ((settings.c_iflag & INPCK) != 0, c.state.parity != CommParity::None);
    EXPECT_EQ(settings.c_cflag & (CLOCAL | CREAD), static_cast<tcflag_t>(CLOCAL | CREAD));
    EXPECT_EQ(settings.c_lflag & (ECHO | ICANON | ISIG), 0u);
    EXPECT_EQ(settings.c_iflag & (ICRNL | IXANY), 0u);
    EXPECT_EQ(settings.c_oflag & OPOST, 0u);
    EXPECT_EQ(settings.c_cc[VMIN], 0);
    EXPECT_EQ(settings.c_cc[VTIME], 0);
    EXPECT_EQ(commStateOf(settings), c.state);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, TermiosStateTest,
    ::testing::Values(
        FlagCase{{115200, 8, CommParity::None, CommStopBits::One}, B115200, CS8},
        FlagCase{{19200, 7, CommParity::Even, CommStopBits::Two}, B19200, CS7 | PARENB | CSTOPB},
        FlagCase{{300, 6, CommParity::Odd, CommStopBits::One}, B300, CS6 | PARENB | PARODD},
        FlagCase{{9600, 8, CommParity::Mark, CommStopBits::One}, B9600, CS8 | PARENB | PARODD | CMSPAR},
        FlagCase{
            {2400, 5, CommParity::Space, CommStopBits::OneAndHalf}, B2400, CS5 | PARENB | CMSPAR | CSTOPB},
        FlagCase{{4000000, 8, CommParity::None, CommStopBits::One, true, false, true, true}, B4000000, CS8}));

TEST(TermiosStateRefusal, ImpossibleStatesLeaveTheRecordAlone) {
    for (const CommState& state : {CommState{9600, 8, CommParity::None, CommStopBits::OneAndHalf},
                                   CommState{9600, 5, CommParity::None, CommStopBits::Two},
                                   CommState{9600, 4, CommParity::None, CommStopBits::One},
                                   CommState{9600, 9, CommParity::None, CommStopBits::One},
                                   CommState{14400, 8, CommParity::None, CommStopBits::One},
                                   CommState{9600, 8, static_cast<CommParity>(9), CommStopBits::One},
                                   CommState{9600, 8, CommParity::None, static_cast<CommStopBits>(7)},
                                   CommState{9600, 8, CommParity::None, CommStopBits::One, false, true}}) {
        termios settings{};
        settings.c_lflag = ECHO;
        EXPECT_FALSE(applyCommState(state, settings));
        EXPECT_EQ(settings.c_lflag, static_cast<tcflag_t>(ECHO));
    }
}

} // namespace
