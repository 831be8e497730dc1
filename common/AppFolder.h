// The application folder: where Quedrix.cfg, Error.log, the lock and the language files live.
#pragma once

#include <string>

// $QUEDRIX_HOME when set. Else the executable's folder while that folder can be written and holds no
// installed copy (on POSIX systems the shipped files in ../share/quedrix, on Windows a place under
// Program Files): otherwise the user's data folder, $XDG_DATA_HOME/quedrix (default
// ~/.local/share/quedrix) or on Windows <local application data>\Zentrovik\Quedrix, made when
// missing and given the shipped language files it lacks. No trailing separator.
std::string AppFolder();

// AppFolder() joined with a file name, e.g. AppFilePath("Quedrix.cfg").
std::string AppFilePath(const std::string& fileName);
