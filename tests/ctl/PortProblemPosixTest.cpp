// What the permission hint says would help, for the cases a test user cannot be put in.
#include "ctl/PortProblemPosix.h"

#include <gtest/gtest.h>

namespace {

struct AccessCase {
    const char* name;
    DeviceAccess access;
    std::string hint; // after "no permission to open it (owner ..., group ..., mode ...): "
};

void PrintTo(const AccessCase& c, std::ostream* os) {
    *os << c.name;
}

class NoPermissionTextTest : public testing::TestWithParam<AccessCase> {};

TEST_P(NoPermissionTextTest, SaysWhatWouldHelp) {
    const DeviceAccess& a = GetParam().access;
    char mode[8];
    std::snprintf(mode, sizeof mode, "%04o", a.mode);
    EXPECT_EQ(NoPermissionText(a), "no permission to open it (owner " + a.owner + ", group " + a.group +
                                       ", mode " + mode + "): " + GetParam().hint);
}

using Member = DeviceAccess::Member;
const std::string kUdev =
    "joining a group does not help; the administrator can give it to a group with a udev "
    "rule in /etc/udev/rules.d, e.g. KERNEL==\"ttyS0\", GROUP=\"dialout\", MODE=\"0660\"";

INSTANTIATE_TEST_SUITE_P(
    Nodes, NoPermissionTextTest,
    testing::Values(
        AccessCase{"RootOnlyWhileInDialout", {"ttyS0", "root", "root", 0600, false, Member::Yes}, kUdev},
        AccessCase{"GroupWithoutReadAndWrite", {"ttyS0", "root", "dialout", 0620, false, Member::No}, kUdev},
        AccessCase{"OwnerKeptOut", {"ttyS0", "hall", "dialout", 0060, true, Member::Yes}, kUdev},
        AccessCase{"GroupToJoin",
                   {"ttyS0", "root", "uucp", 0660, false, Member::No},
                   "join the group uucp: " + JoinGroupCommand("uucp") + ", then log in again"},
        AccessCase{"JoinedButNotLoggedInAgain",
                   {"ttyS0", "root", "dialout", 0660, false, Member::NotInThisSession},
                   "you were added to the group dialout, but this session began before that: log in again"},
        AccessCase{"InTheGroupYetRefused",
                   {"ttyS0", "root", "dialout", 0660, false, Member::Yes},
                   "you are in the group dialout and it may open it, yet the system refuses: ask the "
                   "administrator (an access list or a security module keeps it from you)"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
