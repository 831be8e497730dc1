#include "ctl/PortProblem.h"

#include "controller/PortDevice.h"
#include "ctl/PortProblemPosix.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <optional>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>

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

std::string userName(uid_t uid) {
    const passwd* user = ::getpwuid(uid);
    return user ? user->pw_name : std::to_string(uid);
}

std::string groupName(gid_t gid) {
    const group* entry = ::getgrgid(gid);
    return entry ? entry->gr_name : std::to_string(gid);
}

bool inThisSession(gid_t gid) {
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    groups.resize(
        static_cast<std::size_t>(std::max(::getgroups(static_cast<int>(groups.size()), groups.data()), 0)));
    return ::getegid() == gid || std::find(groups.begin(), groups.end(), gid) != groups.end();
}

// Listed as a member in the group database, though perhaps not in this session yet.
bool inGroupDatabase(gid_t gid) {
    const passwd* user = ::getpwuid(::geteuid());
    if (!user)
        return false;
    int count = 64;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<std::size_t>(count)); // count now says how many there are
        if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0)
            return false;
    }
    groups.resize(static_cast<std::size_t>(count));
    return std::find(groups.begin(), groups.end(), gid) != groups.end();
}

std::string noPermission(const std::string& path) {
    struct stat device {};
    if (::stat(path.c_str(), &device) != 0)
        return "no permission to open it";
    std::error_code error;
    const std::filesystem::path target = std::filesystem::canonical(path, error);
    DeviceAccess access{(error ? std::filesystem::path(path) : target).filename().string(),
                        userName(device.st_uid), groupName(device.st_gid),
                        static_cast<unsigned>(device.st_mode & 07777), device.st_uid == ::geteuid()};
    if (inThisSession(device.st_gid))
        access.member = DeviceAccess::Member::Yes;
    else if (inGroupDatabase(device.st_gid))
        access.member = DeviceAccess::Member::NotInThisSession;
    return NoPermissionText(access);
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
    case EPERM:
        return noPermission(attempt.device);
    case EBUSY:
        return "in use by another program" + holderOf(attempt.device);
    case ENOTTY:
        return "not a serial device";
    default:
        return "cannot open it: " + attempt.errorText;
    }
}

std::string JoinGroupCommand(const std::string& group) {
    // The user's own name: after `su -` a "$USER" in the command would name root.
    const passwd* user = ::getpwuid(::geteuid());
    const std::string name = user ? user->pw_name : std::to_string(::geteuid());
    return "as root, adduser " + name + " " + group;
}

std::string NoPermissionText(const DeviceAccess& access) {
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", access.mode);
    const std::string found = "no permission to open it (owner " + access.owner + ", group " + access.group +
                              ", mode " + mode + "): ";
    // Only the group's bits can be had by joining it, and only by someone who is not the owner.
    const bool groupMayOpen = (access.mode & 060) == 060 && access.group != "root" && !access.isOwner;
    if (!groupMayOpen)
        return found +
               "joining a group does not help; the administrator can give it to a group with a "
               "udev rule in /etc/udev/rules.d, e.g. KERNEL==\"" +
               access.name + "\", GROUP=\"dialout\", MODE=\"0660\"";
    switch (access.member) {
    case DeviceAccess::Member::No:
        return found + "join the group " + access.group + ": " + JoinGroupCommand(access.group) +
               ", then log in again";
    case DeviceAccess::Member::NotInThisSession:
        return found + "you were added to the group " + access.group +
               ", but this session began before that: log in again";
    case DeviceAccess::Member::Yes:
        break;
    }
    return found + "you are in the group " + access.group +
           " and it may open it, yet the system refuses: ask the administrator (an access list or a "
           "security module keeps it from you)";
}

std::string PortDeviceOf(int16_t port) {
    return portDevicePath("COM" + std::to_string(port));
}
