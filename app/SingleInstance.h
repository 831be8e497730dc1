// One running copy per application folder: a lock file held for the life of the process.
#pragma once

// The lock file in the application folder.
inline constexpr char InstanceLockFileName[] = "Quedrix.lock";

// True when an earlier copy of the program holds the lock of this application folder. Otherwise
// this process takes the lock and keeps it until it ends; a lock left by a copy that died is taken
// over. The answer is worked out once; later calls repeat it.
bool AnotherInstanceRuns();

// Gives the lock up and removes its file, for a process that is about to end without running its
// static destructors. Nothing happens when this process holds no lock.
void ReleaseInstanceLock();
