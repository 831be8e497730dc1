#include "PortProblem.h"

#include "PortDevice.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <grp.h>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The process holding a lock on the device's node, as /proc/locks tells: "1: FLOCK ADVISORY WRITE
// <pid> <major>:<minor>:<inode> 0 EOF", major and minor in hexadecimal.
std::optional<pid_t> lockHolder(const struct stat& device) {
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        std::istringstream fields(line);
        std::string number, kind, mode, access, file;
        long pid = 0;
        if (!(fields >> number >> kind) || kind == "->")
            continue; // a waiter, not a holder
        if (!(fields >> mode >> access >> pid >> file))
            continue;
        unsigned major = 0, minor = 0;
        unsigned long long inode = 0;
        if (std::sscanf(file.c_str(), "%x:%x:%llu", &major, &minor, &inode) == 3 &&
            major == ::major(device.st_dev) && minor == ::minor(device.st_dev) && inode == device.st_ino &&
            pid != ::getpid())
            return static_cast<pid_t>(pid);
    }
    return std::nullopt;
}

// A process other than this one with the device open, found among the descriptors /proc lets us see.
std::optional<pid_t> openerOf(const struct stat& device) {
    DIR* processes = ::opendir("/proc");
    if (!processes)
        return std::nullopt;
    std::optional<pid_t> found;
    while (const dirent* process = ::readdir(processes)) {
        char* end = nullptr;
        const long pid = std::strtol(process->d_name, &end, 10);
        if (*end != '\0' || pid <= 0 || pid == ::getpid())
            continue;
        const std::string fdFolder = "/proc/" + std::string(process->d_name) + "/fd";
        DIR* descriptors = ::opendir(fdFolder.c_str());
        if (!descriptors)
            continue;
        while (const dirent* fd = ::readdir(descriptors)) {
            struct stat opened {};
            if (fd->d_name[0] != '.' && ::stat((fdFolder + "/" + fd->d_name).c_str(), &opened) == 0 &&
                sameFile(opened, device)) {
                found = static_cast<pid_t>(pid);
                break;
            }
        }
        ::closedir(descriptors);
        if (found)
            break;
    }
    ::closedir(processes);
    return found;
}

std::string holderOf(const std::string& path) {
    struct stat device {};
    if (::stat(path.c_str(), &device) != 0)
        return "";
    auto pid = lockHolder(device);
    if (!pid)
        pid = openerOf(device);
    if (!pid)
        return "";
    std::string name;
    std::getline(std::ifstream("/proc/" + std::to_string(*pid) + "/comm"), name);
    return " (pid " + std::to_string(*pid) + (name.empty() ? "" : ", " + name) + ")";
}

// The group that may use the device, for the hint; serial devices belong to dialout on most systems.
std::string deviceGroup(const std::string& path) {
    struct stat device {};
    if (::stat(path.c_str(), &device) == 0 && device.st_gid != 0)
        if (const group* owner = ::getgrgid(device.st_gid))
            return owner->gr_name;
    return "dialout";
}

} // namespace

std::string DescribeOpenFailure(const PortAttempt& attempt) {
    switch (attempt.errorCode) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
        return "no such device";
    case EACCES:
    case EPERM: {
        const std::string group = deviceGroup(attempt.device);
        return "no permission to open it (join the " + group + " group: sudo usermod -aG " + group +
               " $USER, then log in again)";
    }
    case EBUSY:
        return "in use by another program" + holderOf(attempt.device);
    case ENOTTY:
        return "not a serial device";
    default:
        return "cannot open it: " + attempt.errorText;
    }
}

std::string PortDeviceOf(int16_t port) {
    return portDevicePath("COM" + std::to_string(port));
}
