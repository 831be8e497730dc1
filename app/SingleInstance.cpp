#include "SingleInstance.h"

#include "AppFolder.h"
#include "SingleInstanceSystem.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QLockFile>
#include <QString>

#include <memory>

namespace {

enum class LockOutcome { Taken, HeldElsewhere, CannotBeMade };

// The lock this process holds, if any.
std::unique_ptr<QLockFile>& heldLock() {
    static std::unique_ptr<QLockFile> lock;
    return lock;
}

// A dead copy's lock is taken over by removing it, which a folder the program may not write to does
// not allow. A running copy keeps the system lock on its file; a file still being written is taken
// to be a running copy's too.
bool deadCopysLockThatStays(const QLockFile& lock, const QString& path) {
    const QFileInfo folder(QFileInfo(path).absolutePath());
    return !folder.isWritable() && lock.getLockInfo(nullptr, nullptr, nullptr) &&
           !FileLockedByAProcess(path.toStdString());
}

LockOutcome lockAt(const QString& path) {
    auto lock = std::make_unique<QLockFile>(path);
    // Held for the whole life of the process, so age never makes it stale; a lock whose process is
    // gone (a crash, a kill) is stale and is taken over.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        heldLock() = std::move(lock);
        return LockOutcome::Taken;
    }
    if (lock->error() == QLockFile::LockFailedError && !deadCopysLockThatStays(*lock, path))
        return LockOutcome::HeldElsewhere;
    return LockOutcome::CannotBeMade;
}

bool lockHeldElsewhere() {
    LockOutcome outcome = lockAt(QString::fromStdString(AppFilePath(InstanceLockFileName)));
    if (outcome == LockOutcome::CannotBeMade) {
        // A folder of the user's own, so no other user can put a lock there to keep the program out.
        const std::string runtime = UserRuntimeFolder();
        if (!runtime.empty())
            outcome = lockAt(QString::fromStdString(runtime + "/" + RuntimeLockFileName(AppFolder())));
    }
    // Where no lock can be made at all, the program runs rather than refusing to.
    return outcome == LockOutcome::HeldElsewhere;
}

} // namespace

std::string RuntimeLockFileName(const std::string& appFolder) {
    const QFileInfo folder(QString::fromStdString(appFolder));
    const QString canonical = folder.canonicalFilePath();
    const QString path = canonical.isEmpty() ? folder.absoluteFilePath() : canonical;
    const QByteArray digest = QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha256).toHex();
    return "Quedrix-" + digest.left(32).toStdString() + ".lock";
}

bool AnotherInstanceRuns() {
    static const bool heldElsewhere = lockHeldElsewhere();
    return heldElsewhere;
}

void ReleaseInstanceLock() {
    if (heldLock())
        heldLock()->unlock();
}
