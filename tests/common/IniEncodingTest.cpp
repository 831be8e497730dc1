// Settings files with a byte-order mark: read as UTF-8 or UTF-16, written back in their own encoding.
#include "common/IniEncoding.h"
#include "common/Common.h"

#include <gtest/gtest.h>

#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"
#include "tests/support/Utf16.h"

namespace {

// UTF-8 to UTF-16LE by the system, as a check independent of the engine's own conversion.
std::string utf16Le(const std::string& utf8) {
    return Utf16LeOf(utf8);
}

struct MarkedFile {
    const char* name;
    std::string mark;
    std::string (*encode)(const std::string& utf8);
};

void PrintTo(const MarkedFile& c, std::ostream* os) {
    *os << c.name;
}

class MarkedFileTest : public ::testing::TestWithParam<MarkedFile> {
protected:
    std::string file(const std::string& utf8) const { return GetParam().mark + GetParam().encode(utf8); }

    ScopedEnv m_codePage{"QUEDRIX_CODEPAGE", "1251"};
    TempFolder m_dir;
    std::string m_cfg = m_dir.file("Quedrix.cfg");
};

TEST_P(MarkedFileTest, FirstSectionIsFoundAndWritesKeepTheEncoding) {
    const std::string tariff = "[Tariff]\r\nPeak=0,50\r\nName=Маса 中\r\n\r\n";
    const std::string other = "[Other]\r\nx=1\r\n";
    m_dir.write("Quedrix.cfg", file(tariff + other));
    EXPECT_EQ(ReadIniValue("Tariff", "Peak", m_cfg, 255), "0,50");
    EXPECT_EQ(ReadIniValue("tariff", "NAME", m_cfg, 255), "Маса 中");
    EXPECT_EQ(ReadIniValue("Tariff", "Name", m_cfg, 4), "Мас"); // characters, not bytes

    WriteIniValue("Tariff", "Peak", "0,60", m_cfg);
    EXPECT_EQ(m_dir.read("Quedrix.cfg"), file("[Tariff]\r\nPeak=0,60\r\nName=Маса 中\r\n\r\n" + other));
    WriteIniValue("Tariff", "OffPeak", "Ж", m_cfg);
    WriteIniValue("Новая", "k", "𝄞", m_cfg);
    EXPECT_EQ(m_dir.read("Quedrix.cfg"), file("[Tariff]\r\nPeak=0,60\r\nName=Маса 中\r\nOffPeak=Ж\r\n\r\n" +
                                              other + "[Новая]\r\nk=𝄞\r\n"));
    EXPECT_EQ(ReadIniValue("новая", "K", m_cfg, 255), ""); // non-ASCII names compare exactly
    EXPECT_EQ(ReadIniValue("Новая", "K", m_cfg, 255), "𝄞");
    EXPECT_EQ(ReadIniValue("Tariff", "OffPeak", m_cfg, 255), "Ж");
}

TEST_P(MarkedFileTest, MarkAloneIsAnEmptyFileOfThatEncoding) {
    m_dir.write("Quedrix.cfg", GetParam().mark);
    WriteIniValue("Language", "Value", "BG", m_cfg);
    EXPECT_EQ(m_dir.read("Quedrix.cfg"), file("[Language]\r\nValue=BG\r\n"));
}

std::string asIs(const std::string& utf8) {
    return utf8;
}

INSTANTIATE_TEST_SUITE_P(Marks, MarkedFileTest,
                         ::testing::Values(MarkedFile{"Utf8", "\xEF\xBB\xBF", asIs},
                                           MarkedFile{"Utf16Le", "\xFF\xFE", utf16Le}),
                         [](const auto& info) { return std::string(info.param.name); });

struct RoundTrip {
    const char* name;
    std::string fileBytes;
    std::string documentText;
    IniEncoding::Kind kind;
};

void PrintTo(const RoundTrip& c, std::ostream* os) {
    *os << c.name;
}

class IniEncodingRoundTripTest : public ::testing::TestWithParam<RoundTrip> {
protected:
    ScopedEnv m_codePage{"QUEDRIX_CODEPAGE", "1251"};
};

// Whatever the file holds, the bytes a write does not change come back as they were.
TEST_P(IniEncodingRoundTripTest, DocumentTextAndBackGiveTheSameBytes) {
    const IniEncoding encoding = IniEncoding::of(GetParam().fileBytes);
    EXPECT_EQ(encoding.kind(), GetParam().kind);
    const std::string text = encoding.documentText(GetParam().fileBytes);
    EXPECT_EQ(text, GetParam().documentText);
    EXPECT_EQ(encoding.fileBytes(text), GetParam().fileBytes);
}

using Kind = IniEncoding::Kind;
INSTANTIATE_TEST_SUITE_P(
    Files, IniEncodingRoundTripTest,
    ::testing::Values(
        RoundTrip{"NoMarkIsCodePageText", "\xEF\xBB[A]\r\n", "\xEF\xBB[A]\r\n", Kind::AnsiCodePage},
        RoundTrip{"Utf8MarkRemoved", "\xEF\xBB\xBF[A]\r\nk=\xD0\x96\r\n", "[A]\r\nk=\xD0\x96\r\n",
                  Kind::Utf8},
        RoundTrip{"MalformedUtf8Kept", "\xEF\xBB\xBF[A]\r\nk=\xFF\xC0\r\n", "[A]\r\nk=\xFF\xC0\r\n",
                  Kind::Utf8},
        RoundTrip{"Utf16", std::string("\xFF\xFE[\0A\0]\0\x16\x04", 10), "[A]\xD0\x96", Kind::Utf16Le},
        RoundTrip{"Utf16SurrogatePair", std::string("\xFF\xFE\x34\xD8\x1E\xDD", 6), "\xF0\x9D\x84\x9E",
                  Kind::Utf16Le},
        RoundTrip{"Utf16LoneSurrogatesKept", std::string("\xFF\xFE\x1E\xDD\x34\xD8k\0", 8),
                  "\xED\xB4\x9E\xED\xA0\xB4k", Kind::Utf16Le},
        RoundTrip{"Utf16OddByteKept", std::string("\xFF\xFEk\0=", 5), "k", Kind::Utf16Le},
        RoundTrip{"Empty", "", "", Kind::AnsiCodePage}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniEncodingTest, ValuesAreCheckedAndCutInCharacters) {
    ScopedEnv codePage("QUEDRIX_CODEPAGE", "1251");
    const IniEncoding utf16 = IniEncoding::of("\xFF\xFE");
    EXPECT_EQ(utf16.toDocument("a\xFF"
                               "b"),
              "a?b");
    EXPECT_EQ(utf16.fromDocument("\xED\xB4\x9Ez", 255), "?z"); // a lone surrogate is no character
    EXPECT_EQ(utf16.fromDocument(std::string("Ж\0ЖЖ", 7), 3), "ЖЖ");
    const IniEncoding ansi = IniEncoding::of("[A]");
    EXPECT_EQ(ansi.toDocument("Ж"), "\xC6");
    EXPECT_EQ(ansi.fromDocument("\xC6\xC6\xC6", 2), "ЖЖ");
}

} // namespace
