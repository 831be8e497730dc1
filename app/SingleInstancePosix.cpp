#include "app/SingleInstanceSystem.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

// A real folder (not a link) of this user's in which nobody else may create or replace a file.
bool privateFolder(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() &&
           (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

std::string UserRuntimeFolder() {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
        runtime && runtime[0] == '/' && privateFolder(runtime))
        return runtime;
    std::error_code error;
    const std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
    if (error)
        return {};
    const std::string own = (temporary / ("quedrix-" + std::to_string(::geteuid()))).string();
    // One that is there already is checked like a new one: another user may have made it first.
    ::mkdir(own.c_str(), 0700);
    return privateFolder(own) ? own : std::string();
}

bool FileLockedByAProcess(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return true;
    // Refused while another holds it exclusively; any other failure cannot tell either.
    const bool locked = ::flock(fd, LOCK_SH | LOCK_NB) != 0;
    ::close(fd); // drops the shared lock taken here, if any
    return locked;
}

namespace {

int heldFd = -1;
std::string heldPath;

// Opens the file (made when missing) and takes the system lock on it; fd is the open file when Taken.
LockOutcome openAndLock(const std::string& path, int& fd) {
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        return LockOutcome::CannotBeMade;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return held ? LockOutcome::HeldElsewhere : LockOutcome::CannotBeMade;
    }
    return LockOutcome::Taken;
}

// True when the path still names the open file. A copy that ends removes its file before it lets go
// of the lock, so a start that opened the file before the removal locks a file nobody else can find,
// while the next start makes and locks a new one at the path.
bool pathNamesTheOpenFile(int fd, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

} // namespace

LockOutcome TakeLockFile(const std::string& path) {
    // The next try finds the path's live file (a new one, or the one another start holds); only
    // something that keeps removing it wears the tries out.
    constexpr int kTries = 100;
    int fd = -1;
    for (int tries = 1;; ++tries) {
        const LockOutcome outcome = openAndLock(path, fd);
        if (outcome != LockOutcome::Taken)
            return outcome;
        if (pathNamesTheOpenFile(fd, path))
            break;
        ::close(fd);
        if (tries == kTries)
            return LockOutcome::HeldElsewhere;
    }
    const std::string owner = std::to_string(::getpid()) + "\nquedrix\n";
    if (::ftruncate(fd, 0) != 0 ||
        ::write(fd, owner.data(), owner.size()) != static_cast<ssize_t>(owner.size())) {
        ::close(fd);
        return LockOutcome::CannotBeMade;
    }
    heldFd = fd;
    heldPath = path;
    return LockOutcome::Taken;
}

void ReleaseLockFile() {
    if (heldFd < 0)
        return;
    // Removed while still held, so no other start can take the file in between.
    ::unlink(heldPath.c_str());
    ::close(heldFd);
    heldFd = -1;
}
