// UTF-8 to UTF-16LE bytes by the system's own converter (platform files beside this one), as a check
// independent of the program's conversions.
#pragma once

#include <string>

std::string Utf16LeOf(const std::string& utf8);
