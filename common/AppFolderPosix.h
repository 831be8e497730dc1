// The steps of the POSIX application folder: which folder it is, and readying the user's data folder.
#pragma once

#include <string>

// What the choice of the application folder depends on; empty texts stand for unset variables.
struct AppFolderFacts {
    std::string quedrixHome;      // $QUEDRIX_HOME
    std::string xdgDataHome;      // $XDG_DATA_HOME
    std::string home;             // $HOME, else the user's home folder from the password database
    std::string executableFolder; // "" when the executable cannot be found
    bool executableFolderWritable = false;
    bool installedCopy = false; // the executable's folder has ../share/quedrix beside it
};

// The application folder the facts call for, without a trailing slash; "." when there is none.
std::string ChooseAppFolder(const AppFolderFacts& facts);

// Where the files shipped with the executable lie: ../share/quedrix of an installed copy, else the
// executable's folder itself (a build tree keeps Common.lng beside the executable).
std::string ShippedFilesFolder(const AppFolderFacts& facts);

// Makes folder (and its missing parents, private to the user) and copies in every language file
// (*.lng) of shipped that it lacks. Files already there are kept as they are. False when the folder
// could not be made.
bool PrepareDataFolder(const std::string& folder, const std::string& shipped);
