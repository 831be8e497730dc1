#include "common/FileStore.h"

#include "common/PosixFd.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

std::string systemError(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

bool readAll(int fd, std::string& out) {
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            return true;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        out.append(buffer, static_cast<std::size_t>(n));
    }
}

bool writeAll(int fd, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// A symbolic link is followed, so the file it names is replaced and the link stays a link.
std::string resolvedPath(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return path;
    std::string target = resolved;
    std::free(resolved);
    return target;
}

std::string folderOf(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

// A replacement is named path + ".tmp." + the writer's PID + "." + a count of the writer's own.
std::string temporaryNameFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return path + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(counter++);
}

// The writer's PID in a name "<PID>.<count>"; nullopt for any other name.
std::optional<pid_t> writerOf(std::string_view suffix) {
    pid_t pid = 0;
    unsigned count = 0;
    const char* end = suffix.data() + suffix.size();
    const auto [afterPid, pidError] = std::from_chars(suffix.data(), end, pid);
    if (pidError != std::errc() || pid <= 0 || afterPid == end || *afterPid != '.')
        return std::nullopt;
    const auto [afterCount, countError] = std::from_chars(afterPid + 1, end, count);
    if (countError != std::errc() || afterCount != end)
        return std::nullopt;
    return pid;
}

bool isAnotherLiveProcess(pid_t pid) {
    return pid != ::getpid() && (::kill(pid, 0) == 0 || errno == EPERM);
}

// Removes the replacements of path that writers killed mid-write left behind. Runs with the lock
// held, so no writer of ours is between naming its temporary file and renaming it; a file is kept
// only while its PID belongs to another running process.
void removeLeftovers(const std::string& path) {
    const std::string prefix = std::filesystem::path(path).filename().string() + ".tmp.";
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folderOf(path), error), end; !error && entry != end;
         entry.increment(error)) {
        const std::string name = entry->path().filename().string();
        if (!name.starts_with(prefix))
            continue;
        const auto writer = writerOf(std::string_view(name).substr(prefix.size()));
        if (writer && !isAnotherLiveProcess(*writer))
            ::unlink(entry->path().c_str());
    }
}

bool fillAndFlush(int fd, const std::string& bytes, const struct stat* oldStat) {
    if (oldStat)
        (void)::fchmod(fd, oldStat->st_mode & 07777);
    return writeAll(fd, bytes) && ::fsync(fd) == 0;
}

// The replacement written as an unnamed file in path's folder and given its temporary name only
// once complete, so a kill while writing leaves no name behind. nullopt where the file system or
// a missing /proc does not allow it.
std::optional<std::string> linkedTemporary(const std::string& path, const std::string& bytes,
                                           const struct stat* oldStat) {
    PosixFd fd(::open(folderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (fd.get() < 0 || !fillAndFlush(fd.get(), bytes, oldStat))
        return std::nullopt;
    const std::string tmp = temporaryNameFor(path);
    const std::string self = "/proc/self/fd/" + std::to_string(fd.get());
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, tmp.c_str(), AT_SYMLINK_FOLLOW) != 0)
        return std::nullopt;
    return tmp;
}

// The replacement written under its temporary name from the start; a kill while writing leaves
// the name, which the next write removes.
std::string namedTemporary(const std::string& path, const std::string& bytes, const struct stat* oldStat,
                           std::string& error) {
    const std::string tmp = temporaryNameFor(path);
    PosixFd fd(::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (fd.get() < 0) {
        error = systemError("cannot create", tmp);
        return "";
    }
    if (!fillAndFlush(fd.get(), bytes, oldStat) || ::close(fd.release()) != 0) {
        error = systemError("cannot write", tmp);
        ::unlink(tmp.c_str());
        return "";
    }
    return tmp;
}

// Writes bytes to a complete, flushed file beside path; returns its name, or "" with error set.
std::string writeTemporary(const std::string& path, const std::string& bytes, const struct stat* oldStat,
                           std::string& error) {
    if (auto tmp = linkedTemporary(path, bytes, oldStat))
        return *tmp;
    return namedTemporary(path, bytes, oldStat, error);
}

// Whether the user may write the file, as the read-only attribute decides on Windows: by the
// permission the kernel gives this user (owner, group or other bits, access lists), and for root,
// whom the kernel lets write anything, by the owner's write bit, as if root owned the file.
bool userMayWrite(const std::string& path, const struct stat& st) {
    if (::geteuid() == 0)
        return (st.st_mode & S_IWUSR) != 0;
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

} // namespace

FileStore::ReadResult FileStore::read(const std::string& path) {
    ReadResult result;
    PosixFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)); // a FIFO must not block us
    if (fd.get() < 0) {
        result.exists = errno != ENOENT && errno != ENOTDIR;
        result.ok = !result.exists;
        if (result.exists)
            result.error = systemError("cannot open", path);
        return result;
    }
    result.exists = true;
    struct stat st {};
    if (::fstat(fd.get(), &st) == 0 && !S_ISREG(st.st_mode)) {
        result.error = path + " is not an ordinary file";
        return result;
    }
    result.bytes.reserve(static_cast<std::size_t>(st.st_size)); // one allocation of the file's size
    if (!readAll(fd.get(), result.bytes)) {
        result.error = systemError("cannot read", path);
        result.bytes.clear();
        return result;
    }
    result.ok = true;
    return result;
}

FileStore::ReplaceResult FileStore::replace(const std::string& linkOrPath, const Edit& edit) {
    const std::string path = resolvedPath(linkOrPath);
    struct stat oldStat {};
    const bool exists = ::stat(path.c_str(), &oldStat) == 0;
    if (exists && S_ISREG(oldStat.st_mode) && !userMayWrite(path, oldStat))
        return {ReplaceStatus::Failed, "the file is read-only (no write permission for this user)"};

    const std::string lockPath = path + ".lock";
    PosixFd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
    if (lock.get() < 0)
        return {ReplaceStatus::Failed, systemError("cannot create the lock file", lockPath)};
    while (::flock(lock.get(), LOCK_EX) != 0)
        if (errno != EINTR)
            return {ReplaceStatus::Failed, systemError("cannot lock", lockPath)};
    removeLeftovers(path);

    ReadResult file = read(path);
    if (!file.ok)
        return {ReplaceStatus::Failed, file.error};
    const bool haveOldStat = file.exists && ::stat(path.c_str(), &oldStat) == 0;
    if (!edit(file.bytes))
        return {ReplaceStatus::Unchanged, ""};

    std::string error;
    const std::string tmp = writeTemporary(path, file.bytes, haveOldStat ? &oldStat : nullptr, error);
    if (tmp.empty())
        return {ReplaceStatus::Failed, error};
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
        error = systemError("cannot replace", path);
        ::unlink(tmp.c_str());
        return {ReplaceStatus::Failed, error};
    }
    if (!PosixFd::syncFolderOf(path))
        return {ReplaceStatus::Failed, systemError("cannot flush the folder of", path)};
    return {ReplaceStatus::Replaced, ""};
}
