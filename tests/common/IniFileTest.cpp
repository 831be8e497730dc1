#include "common/IniFile.h"
#include "common/Common.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

namespace {

class IniFileTest : public ::testing::Test {
protected:
    ScopedEnv m_codePage{"QUEDRIX_CODEPAGE", "1251"};
    TempFolder m_dir;
    std::string m_cfg = m_dir.file("Quedrix.cfg");
};

// Dates the file an hour back and returns that time: a rewrite would move it to the present.
std::filesystem::file_time_type backdated(const std::string& path) {
    const auto past = std::filesystem::last_write_time(path) - std::chrono::hours(1);
    std::filesystem::last_write_time(path, past);
    return past;
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
    const auto before = backdated(m_cfg);
    const IniWriteResult result = IniFile(m_cfg).write("a", "K", "v");
    EXPECT_EQ(result.status, IniWriteResult::Status::Unchanged);
    EXPECT_EQ(std::filesystem::last_write_time(m_cfg), before);
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
    const auto before = backdated(m_cfg);
    const IniWriteResult result = IniFile(m_cfg).write(GetParam().section, GetParam().key, GetParam().value);
    EXPECT_EQ(result.status, IniWriteResult::Status::Refused);
    EXPECT_FALSE(result.reason.empty());
    WriteIniValue(GetParam().section, GetParam().key, GetParam().value, m_cfg);
    EXPECT_EQ(m_dir.read("Quedrix.cfg"), original);
    EXPECT_EQ(std::filesystem::last_write_time(m_cfg), before);
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

TEST_F(IniFileTest, FolderInPlaceOfTheFileIsNotReplaced) {
    std::filesystem::create_directory(m_cfg);
    m_dir.write("Quedrix.cfg/inside", "keep");
    EXPECT_EQ(IniFile(m_cfg).write("A", "k", "v").status, IniWriteResult::Status::Failed);
    EXPECT_EQ(m_dir.read("Quedrix.cfg/inside"), "keep");
    EXPECT_EQ(ReadIniValue("A", "k", m_cfg, 255), "");
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
