// Runs a check as an unprivileged user: in a child process that drops root first, if need be.
#pragma once

#include <functional>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

// The user the check runs as: "nobody" when the tests run as root, else the user running them.
inline uid_t OrdinaryUid() {
    return ::geteuid() == 0 ? 65534 : ::geteuid();
}

inline bool AsOrdinaryUser(const std::function<bool()>& check) {
    if (::geteuid() != 0)
        return check();
    const pid_t pid = ::fork();
    if (pid == 0) {
        const bool dropped = ::setgid(OrdinaryUid()) == 0 && ::setuid(OrdinaryUid()) == 0;
        ::_exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
