#pragma once

#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <utility>

// A file descriptor, closed when it goes out of scope.
class PosixFd {
public:
    explicit PosixFd(int fd) : m_fd(fd) {}
    ~PosixFd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    PosixFd(const PosixFd&) = delete;
    PosixFd& operator=(const PosixFd&) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

    // Flushes the folder holding path, so a file made or renamed there survives a power cut.
    static bool syncFolderOf(const std::string& path) {
        const std::filesystem::path parent = std::filesystem::path(path).parent_path();
        const PosixFd folder(::open(parent.empty() ? "." : parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        return folder.get() >= 0 && ::fsync(folder.get()) == 0;
    }

private:
    int m_fd;
};
