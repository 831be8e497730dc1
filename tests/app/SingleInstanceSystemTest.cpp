// The user's runtime folder for the instance lock, and whether a lock file is held.
#include "SingleInstanceSystem.h"
#include "ScopedEnv.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <ostream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr uid_t AnotherUser = 65534;

enum class Expected { RuntimeDir, OwnTemporaryFolder, None };

struct FolderCase {
    const char* name;
    // Prepares the folder base: sets the environment through the two ScopedEnv and makes folders.
    std::function<void(const std::string& base)> prepare;
    Expected expected;
    bool needsRoot; // only root can give a folder to another user
};

void PrintTo(const FolderCase& c, std::ostream* out) {
    *out << c.name;
}

void makeFolder(const std::string& path, mode_t mode) {
    fs::create_directories(path);
    ::chmod(path.c_str(), mode);
}

std::string ownFolderUnder(const std::string& temporary) {
    return temporary + "/quedrix-" + std::to_string(::geteuid());
}

class RuntimeFolderTest : public testing::TestWithParam<FolderCase> {
protected:
    RuntimeFolderTest() : m_runtime("XDG_RUNTIME_DIR", nullptr), m_temporary("TMPDIR", m_tmp.c_str()) {
        makeFolder(m_tmp, 01777);
    }

    TempFolder m_base;
    const std::string m_tmp = m_base.file("tmp");
    ScopedEnv m_runtime;
    ScopedEnv m_temporary;
};

TEST_P(RuntimeFolderTest, UsesOnlyAFolderNoOtherUserCanWriteTo) {
    const FolderCase& c = GetParam();
    if (c.needsRoot && ::geteuid() != 0)
        GTEST_SKIP() << "giving a folder to another user needs root";
    c.prepare(m_base.path());

    const std::string folder = UserRuntimeFolder();

    switch (c.expected) {
    case Expected::RuntimeDir:
        EXPECT_EQ(folder, m_base.file("runtime"));
        break;
    case Expected::OwnTemporaryFolder: {
        EXPECT_EQ(folder, ownFolderUnder(m_tmp));
        struct stat info {};
        ASSERT_EQ(::lstat(folder.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0700u);
        break;
    }
    case Expected::None:
        EXPECT_EQ(folder, "");
        break;
    }
}

void runtimeDir(const std::string& base, mode_t mode) {
    makeFolder(base + "/runtime", mode);
    ::setenv("XDG_RUNTIME_DIR", (base + "/runtime").c_str(), 1);
}

const FolderCase folderCases[] = {
    {"RuntimeDirOfTheUser", [](const std::string& base) { runtimeDir(base, 0700); }, Expected::RuntimeDir,
     false},
    {"RuntimeDirOthersMayWriteTo", [](const std::string& base) { runtimeDir(base, 0777); },
     Expected::OwnTemporaryFolder, false},
    {"RuntimeDirThatIsALink",
     [](const std::string& base) {
         makeFolder(base + "/real", 0700);
         fs::create_directory_symlink(base + "/real", base + "/runtime");
         ::setenv("XDG_RUNTIME_DIR", (base + "/runtime").c_str(), 1);
     },
     Expected::OwnTemporaryFolder, false},
    {"RuntimeDirOfAnotherUser",
     [](const std::string& base) {
         runtimeDir(base, 0700);
         ASSERT_EQ(::chown((base + "/runtime").c_str(), AnotherUser, AnotherUser), 0);
     },
     Expected::OwnTemporaryFolder, true},
    {"RelativeRuntimeDir", [](const std::string&) { ::setenv("XDG_RUNTIME_DIR", "runtime", 1); },
     Expected::OwnTemporaryFolder, false},
    {"NoRuntimeDir", [](const std::string&) {}, Expected::OwnTemporaryFolder, false},
    {"OwnFolderThereAlready",
     [](const std::string& base) { makeFolder(ownFolderUnder(base + "/tmp"), 0700); },
     Expected::OwnTemporaryFolder, false},
    {"OwnFolderMadeByAnotherUser",
     [](const std::string& base) {
         const std::string own = ownFolderUnder(base + "/tmp");
         makeFolder(own, 0700);
         ASSERT_EQ(::chown(own.c_str(), AnotherUser, AnotherUser), 0);
     },
     Expected::None, true},
    {"OwnFolderALinkToAnotherFolder",
     [](const std::string& base) {
         makeFolder(base + "/elsewhere", 0700);
         fs::create_directory_symlink(base + "/elsewhere", ownFolderUnder(base + "/tmp"));
     },
     Expected::None, false},
    {"OwnFolderOthersMayWriteTo",
     [](const std::string& base) { makeFolder(ownFolderUnder(base + "/tmp"), 0777); }, Expected::None, false},
    {"NoTemporaryFolder", [](const std::string& base) { ::setenv("TMPDIR", (base + "/missing").c_str(), 1); },
     Expected::None, false},
};

INSTANTIATE_TEST_SUITE_P(Folders, RuntimeFolderTest, testing::ValuesIn(folderCases),
                         [](const testing::TestParamInfo<FolderCase>& info) {
                             return std::string(info.param.name);
                         });

// The running copy keeps a system lock on its file; a dead copy's file has none.
TEST(FileLockedByAProcess, SeesAHeldLockFileAndNotALeftOverOne) {
    TempFolder folder;
    const std::string path = folder.file("Quedrix.lock");
    EXPECT_TRUE(FileLockedByAProcess(path)) << "a file that cannot be opened cannot tell";

    ASSERT_EQ(TakeLockFile(path), LockOutcome::Taken);
    EXPECT_TRUE(FileLockedByAProcess(path));
    ReleaseLockFile();

    folder.write("Quedrix.lock", "999999\nhost\nquedrix\n");
    EXPECT_FALSE(FileLockedByAProcess(path));
}

} // namespace
