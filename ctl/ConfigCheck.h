// The problems of a configuration file that an operator would want to know about; the program
// itself reads the file silently.
#pragma once

#include <string>
#include <vector>

struct ConfigProblem {
    std::string text;
    // About [Tariff], which only the alternative mode reads: no fault for a standard-mode hall.
    bool alternativeModeOnly = false;
};

// One per problem with the file at path and its folder, in the order found; none when the file is
// sound. Looks at: the folder and the file can be read; the file's text is in the ANSI code page
// or has a byte-order mark; the rates read as numbers and are not negative; StartTime and EndTime
// are "HH:MM" times in order; the [Ports] entries of COM1 to COM20 are serial devices.
std::vector<ConfigProblem> ConfigProblems(const std::string& path);

// Why the device of a [Ports] entry is no serial line the program can use ("" when it is one), as
// the end of a sentence: "is a regular file, not a serial device". Platform file.
std::string SerialDeviceProblem(const std::string& device);
