// TermiosState: the line settings of a CommState as a raw termios record, and back.
#pragma once

#include "controller/CommApi.h"

#include <termios.h>

// True for a speed the terminal interface can set.
bool isTermiosBaud(uint32_t baud);

// Makes settings a raw line (no echo, no translation, no signals) with the speed, size, parity, stop bits
// and flow control of state; false, leaving settings alone, when termios cannot express state.
bool applyCommState(const CommState& state, termios& settings);

CommState commStateOf(const termios& settings);

// True when both records agree on everything applyCommState sets.
bool sameLineSettings(const termios& a, const termios& b);
