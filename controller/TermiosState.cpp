#include "controller/TermiosState.h"

#include <optional>

namespace {

struct SpeedEntry {
    uint32_t baud;
    speed_t speed;
};

constexpr SpeedEntry Speeds[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

std::optional<speed_t> speedOf(uint32_t baud) {
    for (const auto& entry : Speeds)
        if (entry.baud == baud)
            return entry.speed;
    return std::nullopt;
}

uint32_t baudOf(speed_t speed) {
    for (const auto& entry : Speeds)
        if (entry.speed == speed)
            return entry.baud;
    return 0;
}

constexpr tcflag_t LineControlFlags = CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS;
constexpr tcflag_t LineInputFlags = INPCK | IXON | IXOFF;

tcflag_t sizeFlag(uint8_t byteSize) {
    switch (byteSize) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    default:
        return CS8;
    }
}

uint8_t byteSizeOf(tcflag_t cflag) {
    switch (cflag & CSIZE) {
    case CS5:
        return 5;
    case CS6:
        return 6;
    case CS7:
        return 7;
    default:
        return 8;
    }
}

tcflag_t parityFlags(CommParity parity) {
    switch (parity) {
    case CommParity::None:
        return 0;
    case CommParity::Odd:
        return PARENB | PARODD;
    case CommParity::Even:
        return PARENB;
    case CommParity::Mark:
        return PARENB | CMSPAR | PARODD;
    case CommParity::Space:
        return PARENB | CMSPAR;
    }
    return 0;
}

CommParity parityOf(tcflag_t cflag) {
    if (!(cflag & PARENB))
        return CommParity::None;
    if (cflag & CMSPAR)
        return (cflag & PARODD) ? CommParity::Mark : CommParity::Space;
    return (cflag & PARODD) ? CommParity::Odd : CommParity::Even;
}

// Linux sends 1.5 stop bits for CSTOPB with 5 data bits and 2 otherwise; other pairs cannot be set.
bool stopBitsPossible(const CommState& state) {
    switch (state.stopBits) {
    case CommStopBits::One:
        return true;
    case CommStopBits::OneAndHalf:
        return state.byteSize == 5;
    case CommStopBits::Two:
        return state.byteSize != 5;
    }
    return false;
}

} // namespace

bool isTermiosBaud(uint32_t baud) {
    return speedOf(baud).has_value();
}

bool applyCommState(const CommState& state, termios& settings) {
    const auto speed = speedOf(state.baudRate);
    if (!speed || state.byteSize < 5 || state.byteSize > 8 || !stopBitsPossible(state) || state.outxDsrFlow ||
        (parityFlags(state.parity) == 0 && state.parity != CommParity::None))
        return false;
    termios raw = settings;
    ::cfmakeraw(&raw);
    raw.c_cflag &= ~LineControlFlags;
    raw.c_cflag |= CLOCAL | CREAD | sizeFlag(state.byteSize) | parityFlags(state.parity);
    if (state.stopBits != CommStopBits::One)
        raw.c_cflag |= CSTOPB;
    if (state.outxCtsFlow)
        raw.c_cflag |= CRTSCTS;
    raw.c_iflag &= ~(LineInputFlags | IXANY);
    if (state.parity != CommParity::None)
        raw.c_iflag |= INPCK;
    if (state.outX)
        raw.c_iflag |= IXON;
    if (state.inX)
        raw.c_iflag |= IXOFF;
    // Reads return at once with what is there; waiting is done with poll.
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    if (::cfsetispeed(&raw, *speed) != 0 || ::cfsetospeed(&raw, *speed) != 0)
        return false;
    settings = raw;
    return true;
}

CommState commStateOf(const termios& settings) {
    CommState state;
    state.baudRate = baudOf(::cfgetospeed(&settings));
    state.byteSize = byteSizeOf(settings.c_cflag);
    state.parity = parityOf(settings.c_cflag);
    if (settings.c_cflag & CSTOPB)
        state.stopBits = state.byteSize == 5 ? CommStopBits::OneAndHalf : CommStopBits::Two;
    state.outxCtsFlow = settings.c_cflag & CRTSCTS;
    state.outX = settings.c_iflag & IXON;
    state.inX = settings.c_iflag & IXOFF;
    return state;
}

bool sameLineSettings(const termios& a, const termios& b) {
    return ::cfgetospeed(&a) == ::cfgetospeed(&b) && ::cfgetispeed(&a) == ::cfgetispeed(&b) &&
           (a.c_cflag & LineControlFlags) == (b.c_cflag & LineControlFlags) &&
           (a.c_iflag & LineInputFlags) == (b.c_iflag & LineInputFlags);
}
