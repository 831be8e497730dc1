// The steps of the Windows application folder: which folder it is, and readying the user's data folder.
#pragma once

#include <string>

// What the choice of the application folder depends on; empty texts stand for unknown folders.
struct AppFolderFacts {
    std::string quedrixHome;      // %QUEDRIX_HOME%
    std::string localAppData;     // the user's local application-data folder
    std::string executableFolder; // "." when the executable cannot be found
    bool executableFolderWritable = false;
    bool installedCopy = false; // the executable lies under a Program Files folder
};

// The application folder the facts call for: %QUEDRIX_HOME%, else the executable's folder while it
// can be written and is no installed copy, else <local application data>\Zentrovik\Quedrix.
std::string ChooseAppFolder(const AppFolderFacts& facts);

// Whether path is folder or lies below it; both are full paths, compared without regard to case.
bool IsInsideFolder(const std::string& path, const std::string& folder);

// Makes folder (and its missing parents) and copies in every language file (*.lng) of shipped that
// it lacks. Files already there are kept as they are. False when the folder could not be made.
bool PrepareDataFolder(const std::string& folder, const std::string& shipped);
