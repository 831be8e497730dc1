#include "app/LanguageRegistration.h"

#include "common/Common.h"
#include "lang/ResManagerClass.h"

#include "tests/lang/LangTestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

namespace {

std::string lines(std::initializer_list<std::string> list) {
    std::string text;
    for (const std::string& line : list)
        text += line + "\r\n";
    return CodePage::active().toEightBit(text);
}

// Blank lines between sections are allowed; everything else must match byte for byte.
std::string withoutBlankLinesBeforeSections(const std::string& text) {
    return std::regex_replace(text, std::regex("(\r\n)+\\["), "\r\n[");
}

std::string firstStartFile(const std::string& bg, const std::string& en, const std::string& ru,
                           const std::string& language) {
    return lines({"[Languages]", "lng1=BG", "cap1=" + bg, "charset_BG=204", "Counter=3", "lng2=EN",
                  "cap2=" + en, "charset_EN=1", "lng3=RU", "cap3=" + ru, "charset_RU=204", "[Language]",
                  "Value=" + language});
}

class LanguageRegistrationTest : public LangTest {
protected:
    LanguageRegistrationTest() {
        AppConfig.CfgFile.clear();
        m_folder.write("installer.reg", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Zentrovik\\Quedrix]\r\n"
                                        "\"Installer Language\"=\"1026\"\r\n");
    }

    std::string config() const { return m_folder.read("Quedrix.cfg"); }
    void shipCommonLng() const {
        std::filesystem::copy_file(QUEDRIX_SOURCE_DIR "/lang/Common.lng", m_folder.file("Common.lng"));
    }
};

TEST_F(LanguageRegistrationTest, FirstStartWritesTheThirteenLinesWithNames) {
    shipCommonLng();
    ApplyStartUpLanguage();
    EXPECT_EQ(withoutBlankLinesBeforeSections(config()),
              firstStartFile("Български", "English", "Русский", "BG"));
    EXPECT_EQ(CurrentLanguageCode, "BG");
    EXPECT_EQ(ResManagerClass::shared().CurrentLanguage(), "BG");
    EXPECT_EQ(AppConfig.CfgFile, m_folder.file("Quedrix.cfg"));
}

TEST_F(LanguageRegistrationTest, FirstStartWithoutCommonLngLeavesTheNamesEmpty) {
    ApplyStartUpLanguage();
    EXPECT_EQ(withoutBlankLinesBeforeSections(config()), firstStartFile("", "", "", "BG"));
}

TEST_F(LanguageRegistrationTest, SecondStartRewritesNothing) {
    shipCommonLng();
    ApplyStartUpLanguage();
    const std::string first = config();
    const auto written = std::filesystem::last_write_time(m_folder.file("Quedrix.cfg"));

    ApplyStartUpLanguage(); // the file exists now, so the start-up language is EN; the file's BG wins
    EXPECT_EQ(config(), first);
    EXPECT_EQ(std::filesystem::last_write_time(m_folder.file("Quedrix.cfg")), written);
    EXPECT_EQ(CurrentLanguageCode, "BG");
    EXPECT_EQ(ResManagerClass::shared().CurrentLanguage(), "BG");
}

TEST_F(LanguageRegistrationTest, SlotOneHoldingEnglishGetsBulgarianAndCounterOne) {
    m_folder.write("Quedrix.cfg", lines({"[Languages]", "lng1=EN", "lng2=EN", "lng3=RU", "Counter=3"}));
    CurrentLanguageCode = "RU";
    RegisterDefaultLanguages();
    EXPECT_EQ(withoutBlankLinesBeforeSections(config()),
              lines({"[Languages]", "lng1=BG", "lng2=EN", "lng3=RU", "Counter=1", "cap1=", "charset_BG=204",
                     "[Language]", "Value=RU"}));
}

TEST_F(LanguageRegistrationTest, SlotHoldsItsCodeByTheFirstTwoCharactersExactly) {
    m_folder.write("Quedrix.cfg", lines({"[Languages]", "lng1=BG", "lng2=ENGLISH", "lng3=ru", "Counter=7"}));
    CurrentLanguageCode = "BG";
    RegisterDefaultLanguages();
    EXPECT_EQ(ReadIniValue("Languages", "lng2", AppConfig.CfgFile, 255), "ENGLISH"); // kept
    EXPECT_EQ(ReadIniValue("Languages", "lng3", AppConfig.CfgFile, 255), "RU");      // rewritten
    EXPECT_EQ(ReadIniValue("Languages", "charset_RU", AppConfig.CfgFile, 255), "204");
    EXPECT_EQ(ReadIniValue("Languages", "Counter", AppConfig.CfgFile, 255), "3");
    EXPECT_EQ(ReadIniValue("Languages", "charset_EN", AppConfig.CfgFile, 255), ""); // EN was never written
}

TEST_F(LanguageRegistrationTest, LowerCaseCodeInSlotTwoIsRewritten) {
    m_folder.write("Quedrix.cfg", lines({"[Languages]", "lng1=BG", "lng2=en", "lng3=RU", "Counter=3"}));
    RegisterDefaultLanguages();
    EXPECT_EQ(ReadIniValue("Languages", "lng2", AppConfig.CfgFile, 255), "EN");
    EXPECT_EQ(ReadIniValue("Languages", "Counter", AppConfig.CfgFile, 255), "2");
}

TEST_F(LanguageRegistrationTest, EmptyStoredLanguageKeepsTheStartUpLanguage) {
    m_folder.write("Quedrix.cfg", lines({"[Language]", "Value="}));
    CurrentLanguageCode = "RU";
    RegisterDefaultLanguages();
    EXPECT_EQ(CurrentLanguageCode, "RU");
    EXPECT_EQ(ReadIniValue("Language", "Value", AppConfig.CfgFile, 255), "RU");
}

TEST_F(LanguageRegistrationTest, StoredLanguageWins) {
    m_folder.write("Quedrix.cfg", lines({"[Language]", "Value=RU"}));
    CurrentLanguageCode = "EN";
    RegisterDefaultLanguages();
    EXPECT_EQ(CurrentLanguageCode, "RU");
}

TEST_F(LanguageRegistrationTest, UnwritableFolderStillHandsTheStartUpLanguageOver) {
    ScopedEnv home("QUEDRIX_HOME", m_folder.file("installer.reg").c_str()); // a file is no folder
    ScopedEnv registry("QUEDRIX_REGISTRY", m_folder.file("installer.reg").c_str());
    ApplyStartUpLanguage();
    EXPECT_EQ(CurrentLanguageCode, "BG");
    EXPECT_EQ(ResManagerClass::shared().CurrentLanguage(), "BG");
    EXPECT_FALSE(std::filesystem::exists(m_folder.file("Quedrix.cfg")));
}

} // namespace
