// The permission hint of quedrix-ctl on POSIX systems, from what a device's node says about who may
// open it and where the user running the tool stands.
#pragma once

#include <string>

// The command the hint and the operator's guide give for joining a group, for the user running
// the tool: "as root, adduser anna dialout".
std::string JoinGroupCommand(const std::string& group);

struct DeviceAccess {
    std::string name;  // the device's own name, e.g. ttyS0
    std::string owner; // user and group names (numbers where they have none)
    std::string group;
    unsigned mode = 0; // the permission bits
    bool isOwner = false;
    enum class Member { No, NotInThisSession, Yes } member = Member::No; // of the device's group
};

// "no permission to open it (owner root, group dialout, mode 0660): join the group ...", or what
// else would help when joining its group would not.
std::string NoPermissionText(const DeviceAccess& access);
