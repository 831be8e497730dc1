#include "SingleInstance.h"

#include "AppFolder.h"

#include <QLockFile>
#include <QString>

namespace {

QLockFile& instanceLock() {
    static QLockFile lock(QString::fromStdString(AppFilePath(InstanceLockFileName)));
    return lock;
}

bool lockHeldElsewhere() {
    QLockFile& lock = instanceLock();
    // Held for the whole life of the process, so age never makes it stale; a lock whose process is
    // gone (a crash, a kill) is stale and is taken over.
    lock.setStaleLockTime(0);
    if (lock.tryLock(0))
        return false;
    // A folder where no lock can be made cannot tell; the program runs rather than refusing to.
    return lock.error() == QLockFile::LockFailedError;
}

} // namespace

bool AnotherInstanceRuns() {
    static const bool heldElsewhere = lockHeldElsewhere();
    return heldElsewhere;
}

void ReleaseInstanceLock() {
    if (instanceLock().isLocked())
        instanceLock().unlock();
}
