// The command line as start-up reads it: the mode of the program.
#pragma once

#include "monitor/MonitorMode.h"

#include <string>
#include <vector>

// arguments: the words after the program's own name. Their text (the words joined by single
// blanks), upper-cased, equal to "ALT" selects the alternative mode; anything else, no arguments
// included, the standard mode. Only ASCII letters change case.
MonitorMode ModeFromArguments(const std::vector<std::string>& arguments);
