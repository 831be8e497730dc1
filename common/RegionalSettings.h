// The user's regional settings as the platform keeps them, in the forms the program uses.
#pragma once

#include <string>
#include <string_view>

// The decimal separator of the process locale, whole, as UTF-8 text.
std::string UserDecimalSeparator();

// The short-date pattern of the process locale in Windows letters (d, dd, M, MM, yy, yyyy).
std::string UserShortDatePattern();

// Converts a strftime date pattern ("%d.%m.%Y") to Windows letters ("dd.MM.yyyy"). Letters of
// literal text are quoted so that they do not read as pattern letters. The result is numeric: a
// month name becomes MM, a weekday name is left out with the blanks and commas beside it.
std::string WindowsDatePattern(std::string_view strftimePattern);
