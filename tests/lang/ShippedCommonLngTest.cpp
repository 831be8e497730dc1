#include "lang/ResManagerClass.h"

#include "tests/lang/LangTestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

// The Common.lng the program ships names every built-in language in that language.
TEST_F(LangTest, ShippedCommonLngNamesEachLanguageInItself) {
    std::filesystem::copy_file(QUEDRIX_SOURCE_DIR "/lang/Common.lng", m_folder.file("Common.lng"));
    ResManagerClass res;
    std::string bg = "BG";
    std::string en = "EN";
    std::string ru = "RU";
    EXPECT_EQ(res.ResStringComm("strLanguage", bg), "Български");
    EXPECT_EQ(res.ResStringComm("strLanguage", en), "English");
    EXPECT_EQ(res.ResStringComm("strLanguage", ru), "Русский");
}

TEST(ShippedCommonLng, IsStoredInWindows1251WithCrLf) {
    std::ifstream file(QUEDRIX_SOURCE_DIR "/lang/Common.lng", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    EXPECT_NE(bytes.find("BG=\xC1\xFA\xEB\xE3\xE0\xF0\xF1\xEA\xE8\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("RU=\xD0\xF3\xF1\xF1\xEA\xE8\xE9\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("EN=English\r\n"), std::string::npos);
    for (size_t pos = bytes.find('\n'); pos != std::string::npos; pos = bytes.find('\n', pos + 1))
        EXPECT_TRUE(pos > 0 && bytes[pos - 1] == '\r') << "bare line feed at " << pos;
}

} // namespace
