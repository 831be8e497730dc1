#include "IniFile.h"
#include "Common.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "OrdinaryUser.h"
#include "ScopedEnv.h"
#include "TempFolder.h"

namespace {

class IniFileTest : public ::testing::Test {
protected:
    ScopedEnv m_codePage{"QUEDRIX_CODEPAGE", nullptr};
    TempFolder m_dir;
    std::string m_cfg = m_dir.file("Quedrix.cfg");
};

ino_t inodeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

TEST_F(IniFileTest, ReadOfMissingFileCreatesNothing) {
    EXPECT_EQ(ReadIniValue("Tariff", "Peak", m_cfg, 255), "");
    EXPECT_TRUE(std::filesystem::is_empty(m_dir.path()));
}

TEST_F(IniFileTest, BufferSizeCutsTheValue) {
    m_dir.write("Quedrix.cfg", "[A]\r\nk=" + std::string(300, 'x') + "\r\n");
    EXPECT_EQ(ReadIniValue("A", "k", m_cfg, 255), std::string(254, 'x'));
    EXPECT_EQ(ReadIniValue("A", "k", m_cfg, 4), "xxx");
    EXPECT_EQ(ReadIniValue("A", "k", m_cfg, 1), "");
    EXPECT_EQ(ReadIniValue("A", "k", m_cfg, 0), "");
    EXPECT_EQ(ReadIniValue("A", "k", m_cfg, -5), "");
}

TEST_F(IniFileTest, BufferCountsCharactersOfTheEightBitText) {
    std::string cyrillic;
    for (int i = 0; i < 300; ++i)
        cyrillic += "Ж";
    WriteIniValue("A", "k", cyrillic, m_cfg);
    EXPECT_EQ(m_dir.read("Quedrix.cfg").size(), std::string("[A]\r\nk=\r\n").size() + 300);
    EXPECT_EQ(ReadIniValue("A", "k", m_cfg, 255), cyrillic.substr(0, 254 * 2));
}

TEST_F(IniFileTest, NulCharactersOfTheFileAreDropped) {
    m_dir.write("Quedrix.cfg", std::string("[A]\r\nk=a\0b\r\n", 11));
    EXPECT_EQ(ReadIniValue("A", "k", m_cfg, 255), "ab");
}

TEST_F(IniFileTest, NumbersAreWrittenAsDecimalDigits) {
    WriteIniValue("Languages", "Counter", 3, m_cfg);
    WriteIniValue("Languages", "charset_BG", 204, m_cfg);
    WriteIniValue("Languages", "Negative", -12, m_cfg);
    EXPECT_EQ(m_dir.read("Quedrix.cfg"), "[Languages]\r\nCounter=3\r\ncharset_BG=204\r\nNegative=-12\r\n");
}

TEST_F(IniFileTest, FirstStartFileLineByLine) {
    for (int slot = 1; slot <= 3; ++slot) {
        const std::string code[] = {"BG", "EN", "RU"};
        const std::string caption[] = {"Български", "English", "Русский"};
        const int charset[] = {204, 1, 204};
        const std::string n = std::to_string(slot);
        WriteIniValue("Languages", "lng" + n, code[slot - 1], m_cfg);
        WriteIniValue("Languages", "cap" + n, caption[slot - 1], m_cfg);
        WriteIniValue("Languages", "charset_" + code[slot - 1], charset[slot - 1], m_cfg);
        WriteIniValue("Languages", "Counter", slot, m_cfg);
    }
    WriteIniValue("Language", "Value", "BG", m_cfg);
    EXPECT_EQ(m_dir.read("Quedrix.cfg"), "[Languages]\r\n"
                                         "lng1=BG\r\n"
                                         "cap1=\xC1\xFA\xEB\xE3\xE0\xF0\xF1\xEA\xE8\r\n"
                                         "charset_BG=204\r\n"
                                         "Counter=3\r\n"
                                         "lng2=EN\r\n"
                                         "cap2=English\r\n"
                                         "charset_EN=1\r\n"
                                         "lng3=RU\r\n"
                                         "cap3=\xD0\xF3\xF1\xF1\xEA\xE8\xE9\r\n"
                                         "charset_RU=204\r\n"
                                         "[Language]\r\n"
                                         "Value=BG\r\n");
    EXPECT_EQ(ReadIniValue("Languages", "cap1", m_cfg, 255), "Български");
}

TEST_F(IniFileTest, SameValueLeavesTheFileAlone) {
    m_dir.write("Quedrix.cfg", "[A]\nk = v\n");
    const ino_t before = inodeOf(m_cfg);
    const IniWriteResult result = IniFile(m_cfg).write("a", "K", "v");
    EXPECT_EQ(result.status, IniWriteResult::Status::Unchanged);
    EXPECT_EQ(inodeOf(m_cfg), before);
    EXPECT_EQ(m_dir.read("Quedrix.cfg"), "[A]\nk = v\n");
}

struct Forgery {
    const char* name;
    const char* section;
    const char* key;
    const char* value;
};

void PrintTo(const Forgery& c, std::ostream* os) {
    *os << c.name;
}

class IniForgeryTest : public IniFileTest, public ::testing::WithParamInterface<Forgery> {};

TEST_P(IniForgeryTest, RefusedWithReasonAndFileUntouched) {
    const std::string original = "[Tariff]\r\nPeak=0,50\r\n";
    m_dir.write("Quedrix.cfg", original);
    const ino_t before = inodeOf(m_cfg);
    const IniWriteResult result = IniFile(m_cfg).write(GetParam().section, GetParam().key, GetParam().value);
    EXPECT_EQ(result.status, IniWriteResult::Status::Refused);
    EXPECT_FALSE(result.reason.empty());
    WriteIniValue(GetParam().section, GetParam().key, GetParam().value, m_cfg);
    EXPECT_EQ(m_dir.read("Quedrix.cfg"), original);
    EXPECT_EQ(inodeOf(m_cfg), before);
}

INSTANTIATE_TEST_SUITE_P(Lines, IniForgeryTest,
                         ::testing::Values(Forgery{"LfInValue", "Tariff", "Peak", "0\n[Language]\nValue=XX"},
                                           Forgery{"CrInValue", "Tariff", "Peak", "0\rOffPeak=9"},
                                           Forgery{"CrLfInKey", "Tariff", "a\r\nb", "1"},
                                           Forgery{"LfInSection", "Tar\niff", "Peak", "1"},
                                           Forgery{"CloseBracketInSection", "A]B", "k", "1"},
                                           Forgery{"EqualsInKey", "Tariff", "Peak=9", "1"},
                                           Forgery{"CommentKey", "Tariff", ";Peak", "1"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(IniFileTest, FailedWriteReportsAndCreatesNothing) {
    const std::string inMissingFolder = m_dir.file("no/such/folder/Quedrix.cfg");
    const IniWriteResult result = IniFile(inMissingFolder).write("A", "k", "v");
    EXPECT_EQ(result.status, IniWriteResult::Status::Failed);
    EXPECT_FALSE(result.reason.empty());
    EXPECT_TRUE(std::filesystem::is_empty(m_dir.path()));
}

// A disk that fills up under the write: the new text cannot be written whole (here a file-size
// limit stops it, as ENOSPC would), so the old file stays byte for byte and nothing is left beside it.
TEST_F(IniFileTest, WriteThatRunsOutOfSpaceLeavesTheOldFileByteForByte) {
    const std::string old = "[Tariff]\r\nPeak=0,50\r\n";
    m_dir.write("Quedrix.cfg", old);
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        const bool limited = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        const IniWriteResult result = IniFile(m_cfg).write("Tariff", "Note", std::string(10000, 'x'));
        ::_exit(limited && result.status == IniWriteResult::Status::Failed ? 0 : 1);
    }
    int status = -1;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the write did not report its failure";
    EXPECT_EQ(m_dir.read("Quedrix.cfg"), old);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.path()))
        if (entry.path().filename() != "Quedrix.cfg.lock")
            names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"Quedrix.cfg"});
}

TEST_F(IniFileTest, FolderInPlaceOfTheFileIsNotReplaced) {
    std::filesystem::create_directory(m_cfg);
    m_dir.write("Quedrix.cfg/inside", "keep");
    EXPECT_EQ(IniFile(m_cfg).write("A", "k", "v").status, IniWriteResult::Status::Failed);
    EXPECT_EQ(m_dir.read("Quedrix.cfg/inside"), "keep");
    EXPECT_EQ(ReadIniValue("A", "k", m_cfg, 255), "");
}

TEST_F(IniFileTest, ReplacementKeepsPermissionsAndLeavesNoTemporaryFile) {
    m_dir.write("Quedrix.cfg", "[A]\r\nk=1\r\n");
    ::chmod(m_cfg.c_str(), 0640);
    WriteIniValue("A", "k", "2", m_cfg);
    struct stat st {};
    ASSERT_EQ(::stat(m_cfg.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    for (const auto& entry : std::filesystem::directory_iterator(m_dir.path()))
        EXPECT_TRUE(entry.path().filename() == "Quedrix.cfg" || entry.path().filename() == "Quedrix.cfg.lock")
            << entry.path();
}

struct ReadOnlyCase {
    const char* name;
    mode_t mode;
    bool writerIsRoot;  // else an ordinary user writes
    bool ownedByWriter; // else the file belongs to the other of root and that user
    bool written;
};

void PrintTo(const ReadOnlyCase& c, std::ostream* os) {
    *os << c.name;
}

class IniReadOnlyTest : public IniFileTest, public ::testing::WithParamInterface<ReadOnlyCase> {};

// A file the user may not write is refused even though the folder would let the rename through;
// root is refused when the owner's write bit is clear.
TEST_P(IniReadOnlyTest, RefusedAndLeftByteForByte) {
    const ReadOnlyCase& c = GetParam();
    const bool needsRoot = c.writerIsRoot || !c.ownedByWriter;
    if (needsRoot && ::geteuid() != 0)
        GTEST_SKIP() << "needs root to own or write the file";
    const std::string original = "[Tariff]\r\nPeak=0,50\r\n";
    m_dir.write("Quedrix.cfg", original);
    ::chmod(m_dir.path().c_str(), 0777);
    const uid_t owner = c.writerIsRoot == c.ownedByWriter ? 0 : OrdinaryUid();
    if (owner != ::geteuid()) {
        ASSERT_EQ(::chown(m_cfg.c_str(), owner, static_cast<gid_t>(-1)), 0);
    }
    ::chmod(m_cfg.c_str(), c.mode);
    const ino_t before = inodeOf(m_cfg);
    const std::string cfg = m_cfg;
    const auto write = [&] {
        const IniWriteResult result = IniFile(cfg).write("Tariff", "Peak", "0,60");
        if (!c.written)
            return result.status == IniWriteResult::Status::Failed &&
                   result.reason.find("read-only") != std::string::npos;
        return result.status == IniWriteResult::Status::Written;
    };
    EXPECT_TRUE(c.writerIsRoot ? write() : AsOrdinaryUser(write));
    if (c.written) {
        EXPECT_EQ(ReadIniValue("Tariff", "Peak", m_cfg, 255), "0,60");
        return;
    }
    EXPECT_EQ(m_dir.read("Quedrix.cfg"), original);
    EXPECT_EQ(inodeOf(m_cfg), before);
}

INSTANTIATE_TEST_SUITE_P(Permissions, IniReadOnlyTest,
                         ::testing::Values(ReadOnlyCase{"RootOnReadOnly", 0444, true, true, false},
                                           ReadOnlyCase{"RootOnOwnerBitClear", 0464, true, true, false},
                                           ReadOnlyCase{"RootOnOthersReadOnly", 0444, true, false, false},
                                           ReadOnlyCase{"RootOnOthersWritable", 0644, true, false, true},
                                           ReadOnlyCase{"UserOnOwnReadOnly", 0444, false, true, false},
                                           ReadOnlyCase{"UserOnOwnWritable", 0644, false, true, true},
                                           ReadOnlyCase{"UserOnOthersFile", 0644, false, false, false},
                                           ReadOnlyCase{"UserOnOthersWritable", 0666, false, false, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// A PID that no running process has: that of a child that has ended and been reaped.
pid_t deadPid() {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

TEST_F(IniFileTest, NextWriteRemovesTemporaryFilesOfWritersThatAreGone) {
    m_dir.write("Quedrix.cfg", "[A]\r\nk=1\r\n");
    const pid_t live = ::fork();
    if (live == 0) {
        ::pause();
        ::_exit(0);
    }
    const std::string dead = std::to_string(deadPid());
    const std::vector<std::string> leftovers = {"Quedrix.cfg.tmp." + dead + ".0",
                                                "Quedrix.cfg.tmp." + dead + ".17",
                                                "Quedrix.cfg.tmp." + std::to_string(::getpid()) + ".3"};
    const std::vector<std::string> kept = {"Quedrix.cfg.tmp." + std::to_string(live) + ".0",
                                           "Quedrix.cfg.tmp.notes", "Quedrix.cfg.tmp." + dead,
                                           "Other.cfg.tmp." + dead + ".0"};
    for (const auto& name : leftovers)
        m_dir.write(name, "[A]\r\nk=half a fi");
    for (const auto& name : kept)
        m_dir.write(name, "keep");
    WriteIniValue("A", "k", "2", m_cfg);
    ::kill(live, SIGKILL);
    ::waitpid(live, nullptr, 0);
    for (const auto& name : leftovers)
        EXPECT_FALSE(std::filesystem::exists(m_dir.file(name))) << name;
    for (const auto& name : kept)
        EXPECT_EQ(m_dir.read(name), "keep") << name;
    EXPECT_EQ(m_dir.read("Quedrix.cfg"), "[A]\r\nk=2\r\n");
}

TEST_F(IniFileTest, LinkedFileIsReplacedAndTheLinkKept) {
    m_dir.write("real.cfg", "[A]\r\nk=1\r\n");
    std::filesystem::create_symlink(m_dir.file("real.cfg"), m_cfg);
    WriteIniValue("A", "k", "2", m_cfg);
    EXPECT_TRUE(std::filesystem::is_symlink(m_cfg));
    EXPECT_EQ(m_dir.read("real.cfg"), "[A]\r\nk=2\r\n");
}

TEST_F(IniFileTest, NamesAndValuesGoThroughTheCodePage) {
    WriteIniValue("Езици", "Име", "Маса 1 中", m_cfg);
    EXPECT_EQ(m_dir.read("Quedrix.cfg"), "[\xC5\xE7\xE8\xF6\xE8]\r\n\xC8\xEC\xE5=\xCC\xE0\xF1\xE0 1 ?\r\n");
    EXPECT_EQ(ReadIniValue("Езици", "Име", m_cfg, 255), "Маса 1 ?");
    ScopedEnv utf8("QUEDRIX_CODEPAGE", "UTF-8");
    WriteIniValue("A", "k", "Маса 中", m_cfg);
    EXPECT_EQ(ReadIniValue("A", "k", m_cfg, 255), "Маса 中");
    EXPECT_EQ(ReadIniValue("A", "k", m_cfg, 4), "М"); // cut inside a character: the stray byte goes
}

} // namespace
