// modMain: the start-up of the program, from the first hourglass to the monitor window loaded hidden.
#pragma once

#include <string>
#include <vector>

// Runs start-up in its fixed order: the hourglass; the build date and version to the error
// register; the regional decimal separator and short-date pattern; the window object of the command
// line's mode as MainForm; the hourglass again; the start-up language; the configuration; the
// single-instance check; the watch when [Watch] switches it on; MainForm loaded hidden (controller
// search, tray icon).
// arguments: the words after the program's own name. The shell's application must exist already
// (the Qt one takes Qt's own options off the command line and sets the process locale that the
// regional settings are read from).
// Returns false when an earlier copy of the program runs; the process then ends at once, with no
// window and no tray icon.
bool Main(const std::vector<std::string>& arguments);
