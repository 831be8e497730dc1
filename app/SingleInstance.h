// One running copy per application folder: a lock file held for the life of the process.
#pragma once

#include <string>

// The lock file in the application folder.
inline constexpr char InstanceLockFileName[] = "Quedrix.lock";

// The name of the lock in the user's runtime folder that stands in for Quedrix.lock when the
// application folder cannot hold it: made from the folder's resolved path, so each application
// folder has its own.
std::string RuntimeLockFileName(const std::string& appFolder);

// True when an earlier copy of the program holds the lock of this application folder. Otherwise
// this process takes the lock and keeps it until it ends; a lock left by a copy that died is taken
// over. The lock is Quedrix.lock in the application folder; where that cannot be made (a read-only
// folder, or a dead copy's lock that cannot be removed there), it is taken in the user's runtime
// folder instead. Where no lock can be made anywhere, the program runs without one.
// The answer is worked out once; later calls repeat it.
bool AnotherInstanceRuns();

// Gives the lock up and removes its file, for a process that is about to end without running its
// static destructors. Nothing happens when this process holds no lock.
void ReleaseInstanceLock();
