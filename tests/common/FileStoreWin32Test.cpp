// Replacing an INI file on Windows: the read-only attribute refuses, other attributes are kept.
#include "common/Common.h"
#include "common/IniFile.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include <windows.h>

#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

namespace {

class FileStoreWin32Test : public ::testing::Test {
protected:
    void TearDown() override { ::SetFileAttributesA(m_cfg.c_str(), FILE_ATTRIBUTE_NORMAL); }

    DWORD attributes() const { return ::GetFileAttributesA(m_cfg.c_str()); }

    ScopedEnv m_codePage{"QUEDRIX_CODEPAGE", "1251"};
    TempFolder m_dir;
    std::string m_cfg = m_dir.file("Quedrix.cfg");
};

TEST_F(FileStoreWin32Test, ReadOnlyFileRefusesTheWriteAndStaysAsItWas) {
    m_dir.write("Quedrix.cfg", "[A]\r\nk=1\r\n");
    ASSERT_TRUE(::SetFileAttributesA(m_cfg.c_str(), FILE_ATTRIBUTE_READONLY));
    const IniWriteResult result = IniFile(m_cfg).write("A", "k", "2");
    EXPECT_EQ(result.status, IniWriteResult::Status::Failed);
    EXPECT_NE(result.reason.find("read-only"), std::string::npos) << result.reason;
    EXPECT_EQ(m_dir.read("Quedrix.cfg"), "[A]\r\nk=1\r\n");
    EXPECT_EQ(ReadIniValue("A", "k", m_cfg, 255), "1");
}

TEST_F(FileStoreWin32Test, ReplacementKeepsTheAttributesAndLeavesNoTemporaryFile) {
    m_dir.write("Quedrix.cfg", "[A]\r\nk=1\r\n");
    ASSERT_TRUE(::SetFileAttributesA(m_cfg.c_str(), FILE_ATTRIBUTE_HIDDEN));
    WriteIniValue("A", "k", "2", m_cfg);
    EXPECT_EQ(m_dir.read("Quedrix.cfg"), "[A]\r\nk=2\r\n");
    EXPECT_TRUE(attributes() & FILE_ATTRIBUTE_HIDDEN) << attributes();
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.path()))
        EXPECT_TRUE(entry.path().filename() == "Quedrix.cfg" || entry.path().filename() == "Quedrix.cfg.lock")
            << entry.path();
}

TEST_F(FileStoreWin32Test, FileHeldOpenByAnotherWriterCannotBeReplaced) {
    m_dir.write("Quedrix.cfg", "[A]\r\nk=1\r\n");
    // Another program holding the file without sharing it: the write fails and the file is intact.
    HANDLE held = ::CreateFileA(m_cfg.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const IniWriteResult result = IniFile(m_cfg).write("A", "k", "2");
    ::CloseHandle(held);
    EXPECT_EQ(result.status, IniWriteResult::Status::Failed);
    EXPECT_FALSE(result.reason.empty());
    EXPECT_EQ(m_dir.read("Quedrix.cfg"), "[A]\r\nk=1\r\n");
}

// A process of this program held suspended: alive until terminated, and its id known.
class SuspendedChild {
public:
    SuspendedChild() {
        char program[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, program, MAX_PATH);
        char commandLine[] = "child --gtest_list_tests";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        m_started = ::CreateProcessA(program, commandLine, nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                                     nullptr, &startup, &m_info);
    }
    ~SuspendedChild() { end(); }
    SuspendedChild(const SuspendedChild&) = delete;
    SuspendedChild& operator=(const SuspendedChild&) = delete;

    bool started() const { return m_started; }
    DWORD id() const { return m_info.dwProcessId; }
    void end() {
        if (!m_started)
            return;
        ::TerminateProcess(m_info.hProcess, 0);
        ::WaitForSingleObject(m_info.hProcess, INFINITE);
        ::CloseHandle(m_info.hThread);
        ::CloseHandle(m_info.hProcess);
        m_started = false;
    }

private:
    PROCESS_INFORMATION m_info{};
    bool m_started = false;
};

TEST_F(FileStoreWin32Test, NextWriteRemovesTemporaryFilesOfWritersThatAreGone) {
    m_dir.write("Quedrix.cfg", "[A]\r\nk=1\r\n");
    SuspendedChild live;
    SuspendedChild ended;
    ASSERT_TRUE(live.started() && ended.started());
    const std::string dead = std::to_string(ended.id());
    ended.end();
    const std::vector<std::string> leftovers = {
        "Quedrix.cfg.tmp." + dead + ".0", "Quedrix.cfg.tmp." + dead + ".17",
        "Quedrix.cfg.tmp." + std::to_string(::GetCurrentProcessId()) + ".3"};
    const std::vector<std::string> kept = {"Quedrix.cfg.tmp." + std::to_string(live.id()) + ".0",
                                           "Quedrix.cfg.tmp.notes", "Quedrix.cfg.tmp." + dead,
                                           "Other.cfg.tmp." + dead + ".0"};
    for (const auto& name : leftovers)
        m_dir.write(name, "[A]\r\nk=half a fi");
    for (const auto& name : kept)
        m_dir.write(name, "keep");
    WriteIniValue("A", "k", "2", m_cfg);
    for (const auto& name : leftovers)
        EXPECT_FALSE(std::filesystem::exists(m_dir.file(name))) << name;
    for (const auto& name : kept)
        EXPECT_EQ(m_dir.read(name), "keep") << name;
    EXPECT_EQ(m_dir.read("Quedrix.cfg"), "[A]\r\nk=2\r\n");
}

} // namespace
