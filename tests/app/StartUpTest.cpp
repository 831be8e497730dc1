// The program's start-up as two real processes see it: the configuration it writes and the one
// running copy per application folder.
#include "app/SingleInstance.h"
#include "common/CodePage.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <ostream>
#include <regex>
#include <sys/stat.h>
#include <thread>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr auto Patience = 30s; // start-up under the sanitizers on a busy machine

bool eventually(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + Patience;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The configuration a first start writes, in the code page; blank lines before a section are allowed
// and taken out before comparing.
std::string firstStartFile(const std::string& bg, const std::string& en, const std::string& ru) {
    std::string text;
    const std::vector<std::string> lines{
        "[Languages]",  "lng1=BG", "cap1=" + bg, "charset_BG=204", "Counter=3",  "lng2=EN", "cap2=" + en,
        "charset_EN=1", "lng3=RU", "cap3=" + ru, "charset_RU=204", "[Language]", "Value=BG"};
    for (const std::string& line : lines)
        text += line + "\r\n";
    return CodePage::active().toEightBit(text);
}

std::string withoutBlankLinesBeforeSections(const std::string& text) {
    return std::regex_replace(text, std::regex("(\r\n)+\\["), "\r\n[");
}

class StartUpTest : public ::testing::Test {
protected:
    StartUpTest()
        : m_ports("QUEDRIX_PORT_DIR", m_folder.file("ports").c_str()), // an empty folder: no COM port opens
          m_registry("QUEDRIX_REGISTRY", m_folder.file("installer.reg").c_str()),
          m_platform("QT_QPA_PLATFORM", "offscreen"), m_codePage("QUEDRIX_CODEPAGE", nullptr) {
        fs::create_directory(m_folder.file("ports"));
        m_folder.write("installer.reg", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Zentrovik\\Quedrix]\r\n"
                                        "\"Installer Language\"=\"1026\"\r\n");
    }

    // True once the copy started as child holds the single-instance lock of the folder, that is,
    // once its start-up has passed the configuration.
    static bool holdsTheLock(const fs::path& folder, ChildProcess& child) {
        return holdsTheLockFile(folder / InstanceLockFileName, child);
    }

    static bool holdsTheLockFile(const fs::path& lockFile, ChildProcess& child) {
        std::ifstream lock(lockFile);
        std::string owner;
        std::getline(lock, owner);
        return child.running() && owner == std::to_string(child.pid());
    }

    // Starts the program (a command line) and waits until it holds the lock file.
    static std::unique_ptr<ChildProcess> startHolding(const std::vector<std::string>& command,
                                                      const fs::path& lockFile) {
        auto first = std::make_unique<ChildProcess>(command);
        EXPECT_TRUE(eventually([&] { return holdsTheLockFile(lockFile, *first); }))
            << "the first copy did not come up: " << first->err();
        return first;
    }

    // Starts the program and waits until it runs as the one copy of the folder.
    static std::unique_ptr<ChildProcess> startFirst(const std::string& program, const fs::path& folder) {
        return startHolding({program}, folder / InstanceLockFileName);
    }

    TempFolder m_folder;
    ScopedEnv m_ports;
    ScopedEnv m_registry;
    ScopedEnv m_platform;
    ScopedEnv m_codePage;
};

// Installed as shipped: the program and its Common.lng in one folder, which is then the
// application folder. The first start names the languages; a second start while the first runs
// ends with status 0 and rewrites nothing.
TEST_F(StartUpTest, FirstStartBesideTheShippedLanguageFileThenASecondStart) {
    ScopedEnv noHome("QUEDRIX_HOME", nullptr);
    const fs::path install = m_folder.file("install");
    fs::create_directory(install);
    std::error_code linkError;
    fs::create_hard_link(QUEDRIX_EXECUTABLE, install / "quedrix", linkError);
    if (linkError)
        fs::copy_file(QUEDRIX_EXECUTABLE, install / "quedrix");
    fs::copy_file(fs::path(QUEDRIX_EXECUTABLE).parent_path() / "Common.lng", install / "Common.lng");
    const std::string program = (install / "quedrix").string();

    auto first = startFirst(program, install);
    const fs::path config = install / "Quedrix.cfg";
    const std::string written = readFile(config);
    EXPECT_EQ(withoutBlankLinesBeforeSections(written), firstStartFile("Български", "English", "Русский"));

    const auto writtenAt = fs::last_write_time(config);
    ChildProcess second({program});
    EXPECT_EQ(second.wait(Patience), 0) << second.err();
    EXPECT_EQ(readFile(config), written);
    EXPECT_EQ(fs::last_write_time(config), writtenAt);
    EXPECT_TRUE(holdsTheLock(install, *first)) << "the first copy was disturbed";
}

// Without a language file the names stay empty; a second start, ended by the running first copy,
// has still run the language steps and written the configuration.
TEST_F(StartUpTest, SecondStartWritesTheConfigurationAndEnds) {
    const fs::path home = m_folder.file("home");
    fs::create_directory(home);
    ScopedEnv homeVariable("QUEDRIX_HOME", home.c_str());
    const fs::path config = home / "Quedrix.cfg";

    auto first = startFirst(QUEDRIX_EXECUTABLE, home);
    EXPECT_EQ(withoutBlankLinesBeforeSections(readFile(config)), firstStartFile("", "", ""));

    fs::remove(config);
    ChildProcess second({QUEDRIX_EXECUTABLE});
    EXPECT_EQ(second.wait(Patience), 0) << second.err();
    EXPECT_EQ(withoutBlankLinesBeforeSections(readFile(config)), firstStartFile("", "", ""));
    EXPECT_TRUE(holdsTheLock(home, *first)) << "the first copy was disturbed";
}

// A copy killed outright leaves its lock file behind; the next start takes it over and runs.
TEST_F(StartUpTest, LockOfAKilledCopyDoesNotBlockTheNextStart) {
    const fs::path home = m_folder.file("home");
    fs::create_directory(home);
    ScopedEnv homeVariable("QUEDRIX_HOME", home.c_str());

    auto killed = startFirst(QUEDRIX_EXECUTABLE, home);
    killed->signal(SIGKILL);
    killed->wait(Patience);
    ASSERT_TRUE(fs::exists(home / InstanceLockFileName)) << "no stale lock to take over";

    auto next = startFirst(QUEDRIX_EXECUTABLE, home);
    ChildProcess third({QUEDRIX_EXECUTABLE});
    EXPECT_EQ(third.wait(Patience), 0) << third.err();
    EXPECT_TRUE(holdsTheLock(home, *next));
}

// The end of the process runs no static destructors; the lock given up before it lets the next
// start run as the one copy.
TEST_F(StartUpTest, ALockGivenUpLetsTheNextStartRun) {
    const fs::path home = m_folder.file("home");
    fs::create_directory(home);
    ScopedEnv homeVariable("QUEDRIX_HOME", home.c_str());
    ASSERT_FALSE(AnotherInstanceRuns());
    ChildProcess refused({QUEDRIX_EXECUTABLE});
    EXPECT_EQ(refused.wait(Patience), 0) << refused.err();

    ReleaseInstanceLock();

    EXPECT_FALSE(fs::exists(home / InstanceLockFileName));
    auto next = startFirst(QUEDRIX_EXECUTABLE, home);
    EXPECT_TRUE(holdsTheLock(home, *next));
}

// An application folder that is not there (removed, or QUEDRIX_HOME mistyped): the program runs on its
// defaults, makes no folder and no file there, and a second start still ends.
TEST_F(StartUpTest, MissingApplicationFolderRunsWithoutMakingIt) {
    const fs::path home = m_folder.file("no-such-folder");
    const fs::path runtime = m_folder.file("runtime");
    fs::create_directory(runtime);
    ::chmod(runtime.c_str(), 0700);
    ScopedEnv homeVariable("QUEDRIX_HOME", home.c_str());
    ScopedEnv runtimeVariable("XDG_RUNTIME_DIR", runtime.c_str());
    auto first = startHolding({QUEDRIX_EXECUTABLE}, runtime / RuntimeLockFileName(home));
    ChildProcess second({QUEDRIX_EXECUTABLE});
    EXPECT_EQ(second.wait(Patience), 0) << second.err();
    EXPECT_TRUE(first->running()) << first->err();
    EXPECT_FALSE(fs::exists(home));
}

// A folder the user may not write to: Quedrix.lock cannot be made there, so the lock is taken in the
// user's runtime folder, and a second start is refused all the same.
enum class RuntimeSource { RuntimeDir, TemporaryFolder };

struct ReadOnlyCase {
    const char* name;
    RuntimeSource source;
    bool deadCopysLockInTheFolder; // left by a copy killed before the folder was made read-only
};

void PrintTo(const ReadOnlyCase& c, std::ostream* out) {
    *out << c.name;
}

constexpr char SetPriv[] = "/usr/bin/setpriv";
constexpr uid_t Nobody = 65534;

class ReadOnlyFolderTest : public StartUpTest, public testing::WithParamInterface<ReadOnlyCase> {
protected:
    ReadOnlyFolderTest() : m_home(m_folder.file("home")), m_homeVariable("QUEDRIX_HOME", m_home.c_str()) {
        fs::create_directory(m_home);
        // The ordinary user must reach the folders of the test.
        ::chmod(m_folder.path().c_str(), 0755);
    }
    ~ReadOnlyFolderTest() override { ::chmod(m_home.c_str(), 0755); }

    // Root writes everywhere: the program then runs as the user nobody.
    static uid_t ordinaryUser() { return ::geteuid() == 0 ? Nobody : ::geteuid(); }
    static std::vector<std::string> asOrdinaryUser() {
        if (::geteuid() != 0)
            return {QUEDRIX_EXECUTABLE};
        const std::string id = std::to_string(Nobody);
        return {SetPriv, "--reuid=" + id, "--regid=" + id, "--clear-groups", "--", QUEDRIX_EXECUTABLE};
    }
    static bool ordinaryUserCanRunTheProgram() {
        if (::geteuid() != 0)
            return true;
        if (!fs::exists(SetPriv))
            return false;
        std::vector<std::string> check = asOrdinaryUser();
        check.back() = "/usr/bin/test";
        check.insert(check.end(), {"-x", QUEDRIX_EXECUTABLE});
        return ChildProcess::run(check).status == 0;
    }

    // The user's private folder the lock goes to, made ready as the session or the program makes it.
    fs::path runtimeFolder(RuntimeSource source) {
        if (source == RuntimeSource::RuntimeDir) {
            const fs::path runtime = m_folder.file("runtime");
            fs::create_directory(runtime);
            ::chmod(runtime.c_str(), 0700);
            EXPECT_EQ(::chown(runtime.c_str(), ordinaryUser(), ordinaryUser()), 0);
            m_runtimeVariable.emplace("XDG_RUNTIME_DIR", runtime.c_str());
            return runtime;
        }
        const fs::path temporary = m_folder.file("tmp");
        fs::create_directory(temporary);
        ::chmod(temporary.c_str(), 01777);
        m_runtimeVariable.emplace("XDG_RUNTIME_DIR", nullptr);
        m_temporaryVariable.emplace("TMPDIR", temporary.c_str());
        return temporary / ("quedrix-" + std::to_string(ordinaryUser()));
    }

    const fs::path m_home;
    ScopedEnv m_homeVariable;
    std::optional<ScopedEnv> m_runtimeVariable;
    std::optional<ScopedEnv> m_temporaryVariable;
};

TEST_P(ReadOnlyFolderTest, TheLockGoesToTheRuntimeFolderAndASecondStartEnds) {
    const ReadOnlyCase& c = GetParam();
    if (!ordinaryUserCanRunTheProgram())
        GTEST_SKIP() << "the program cannot be run as an ordinary user here";
    if (c.deadCopysLockInTheFolder) {
        auto killed = startFirst(QUEDRIX_EXECUTABLE, m_home);
        killed->signal(SIGKILL);
        killed->wait(Patience);
        ASSERT_TRUE(fs::exists(m_home / InstanceLockFileName));
    }
    ::chmod(m_home.c_str(), 0555);
    const fs::path lockFile = runtimeFolder(c.source) / RuntimeLockFileName(m_home);

    auto first = startHolding(asOrdinaryUser(), lockFile);
    ChildProcess second(asOrdinaryUser());
    EXPECT_EQ(second.wait(Patience), 0) << second.err();
    EXPECT_TRUE(holdsTheLockFile(lockFile, *first)) << "the first copy was disturbed";
    EXPECT_EQ(fs::exists(m_home / InstanceLockFileName), c.deadCopysLockInTheFolder);
}

INSTANTIATE_TEST_SUITE_P(
    Places, ReadOnlyFolderTest,
    testing::Values(ReadOnlyCase{"InTheRuntimeDir", RuntimeSource::RuntimeDir, false},
                    ReadOnlyCase{"InAFolderOfTheUserUnderTheTemporaryFolder", RuntimeSource::TemporaryFolder,
                                 false},
                    ReadOnlyCase{"BesideADeadCopysLockThatCannotBeRemoved", RuntimeSource::RuntimeDir, true}),
    [](const testing::TestParamInfo<ReadOnlyCase>& info) { return std::string(info.param.name); });

} // namespace
