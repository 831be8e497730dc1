// The "config get|set" commands of the technician's tool quedrix-ctl.
#pragma once

#include <string>
#include <vector>

// args are the words after "config". Returns the exit status: 0 done, 1 write refused, 2 bad usage.
int RunConfigCommand(const std::vector<std::string>& args);
