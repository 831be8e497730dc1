// The "config get|set|check" commands of the technician's tool quedrix-ctl.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// args are the words after "config". Returns the exit status: 0 done, 1 write refused or (check)
// problems found, 2 bad usage.
int RunConfigCommand(const std::vector<std::string>& args);

// The same, printing to the given streams instead of stdout and stderr.
int RunConfigCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
