// The user's separator between hours and minutes, from the regional settings.
#pragma once

#include <string>

std::string UserTimeSeparator();
