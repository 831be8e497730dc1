// The controller commands of quedrix-ctl: scan, version, get, get-all, reset, set.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

// Runs one command line (the words after the program name, "config" excluded). Results go to
// out, messages to err. Returns the exit status: 0 answered, 1 no answer, 2 bad usage.
int RunControllerCommand(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);

std::string CtlUsage();
