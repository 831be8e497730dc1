// The user's runtime folder for the instance lock, and whether a lock file is held.
#include "app/SingleInstanceSystem.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <new>
#include <ostream>
#include <sched.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
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

// Counters shared by the copies of a race: how many hold the lock now, and how often two did.
struct Holders {
    std::atomic<int> now;
    std::atomic<int> overlaps;
};

// One copy: takes the lock (trying until it is its turn), holds it a moment and ends as a copy
// ends, the given number of times. Exits 0, or 1 when it never got its turn.
[[noreturn]] void runCopy(const std::string& path, Holders& holders, int rounds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (int round = 0; round < rounds; ++round) {
        while (TakeLockFile(path) != LockOutcome::Taken)
            if (std::chrono::steady_clock::now() > deadline)
                ::_exit(1);
        if (holders.now.fetch_add(1) != 0)
            holders.overlaps.fetch_add(1);
        ::sched_yield();
        holders.now.fetch_sub(1);
        ReleaseLockFile();
    }
    ::_exit(0);
}

// Starts that race a copy as it ends: at no moment do two copies hold the lock, also when one of
// them opened the file just before the ending copy removed it.
TEST(TakeLockFile, NoTwoCopiesHoldItWhileOneEnds) {
    constexpr int kCopies = 3;
    constexpr int kRounds = 300;
    TempFolder folder;
    void* shared =
        ::mmap(nullptr, sizeof(Holders), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(shared, MAP_FAILED);
    Holders& holders = *new (shared) Holders{};

    pid_t copies[kCopies];
    for (pid_t& copy : copies) {
        copy = ::fork();
        ASSERT_GE(copy, 0);
        if (copy == 0)
            runCopy(folder.file("Quedrix.lock"), holders, kRounds);
    }
    for (const pid_t copy : copies) {
        int status = 0;
        ASSERT_EQ(::waitpid(copy, &status, 0), copy);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a copy never got the lock";
    }
    EXPECT_EQ(holders.overlaps.load(), 0);
    ::munmap(shared, sizeof(Holders));
}

} // namespace
