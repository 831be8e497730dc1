// The platform's part of the single-instance rule: a private folder of the user's, the lock file
// the running copy holds, and lock tests.
#pragma once

#include <string>

// A folder that only this user can put files in, for the instance lock when the application folder
// cannot hold it: $XDG_RUNTIME_DIR when it is such a folder, else quedrix-<user id> under the
// temporary folder, made with mode 0700 when missing (on Windows %LOCALAPPDATA%\Quedrix). A folder that is a
// link, belongs to another user or lets others write is never used. Empty when neither will do.
std::string UserRuntimeFolder();

// True when a process holds the system lock on the file, or when that cannot be told (the file
// cannot be opened for reading).
bool FileLockedByAProcess(const std::string& path);

enum class LockOutcome { Taken, HeldElsewhere, CannotBeMade };

// Opens the file (made when missing) and takes the system lock on it, which the system gives up
// when the process ends however it ends, so a dead copy's file is taken over; the first line then
// holds this process's id. A file that was removed from the path while it was being locked (by a copy
// as it ended) is let go and the path opened again, so two starts never hold two files. HeldElsewhere
// when another process holds the lock; CannotBeMade when the file cannot be opened for writing.
LockOutcome TakeLockFile(const std::string& path);

// Gives up the lock TakeLockFile took and removes its file; nothing when none is held.
void ReleaseLockFile();
