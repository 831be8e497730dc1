// The application folder: where Quedrix.cfg, Error.log and the language files live.
#pragma once

#include <string>

// $QUEDRIX_HOME when set, else the folder of the running executable. No trailing slash.
std::string AppFolder();

// AppFolder() joined with a file name, e.g. AppFilePath("Quedrix.cfg").
std::string AppFilePath(const std::string& fileName);
