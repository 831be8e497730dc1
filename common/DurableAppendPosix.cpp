#include "common/DurableAppend.h"

#include "common/PosixFd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

AppendResult failure(const std::string& what, const std::string& path) {
    return {false, what + " " + path + ": " + std::strerror(errno)};
}

// Opens the file for appending, making it when missing; created tells which.
int openForAppend(const std::string& path, bool& created) {
    for (;;) {
        const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CLOEXEC);
        if (fd >= 0 || errno != ENOENT) {
            created = false;
            return fd;
        }
        const int made = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (made >= 0 || errno != EEXIST) {
            created = true;
            return made;
        }
    }
}

} // namespace

AppendResult AppendLineDurably(const std::string& path, const std::string& line, const std::string& header) {
    bool created = false;
    const PosixFd fd(openForAppend(path, created));
    if (fd.get() < 0)
        return failure("cannot open", path);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        return failure("cannot examine", path);
    if (!S_ISREG(info.st_mode)) {
        errno = EINVAL;
        return failure("not a regular file:", path);
    }
    char last = '\n';
    if (info.st_size > 0 && ::pread(fd.get(), &last, 1, info.st_size - 1) != 1)
        return failure("cannot read", path);
    const std::string bytes = AppendPrefix(info.st_size, last, header) + line;
    ssize_t written;
    do
        written = ::write(fd.get(), bytes.data(), bytes.size());
    while (written < 0 && errno == EINTR);
    if (written != static_cast<ssize_t>(bytes.size())) {
        const int reason = written >= 0 ? ENOSPC : errno;
        // A part written is cut off again, so the file keeps only whole lines.
        [[maybe_unused]] const int cut = ::ftruncate(fd.get(), info.st_size);
        errno = reason;
        return failure("cannot write", path);
    }
    if (::fsync(fd.get()) != 0)
        return failure("cannot flush", path);
    if (created && !PosixFd::syncFolderOf(path))
        return failure("cannot flush the folder of", path);
    return {true, ""};
}
