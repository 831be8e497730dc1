#include "lang/ResManagerClass.h"
#include "lang/RegistryValue.h"

#include "common/AppFolder.h"
#include "common/CodePage.h"
#include "common/Common.h"

#include "tests/lang/FakeWindow.h"
#include "tests/lang/LangTestFolder.h"
#include "tests/lang/TestRegistry.h"

#include <functional>
#include <gtest/gtest.h>

#include "tests/support/ScopedEnv.h"

namespace {

// ---- start-up language ----------------------------------------------------------------------

const std::string kQuedrixKey = "SOFTWARE\\Zentrovik\\Quedrix";

struct StartUpCase {
    const char* name;
    std::function<void(TestRegistry&)> fill; // what the registry holds
    const char* expected;
};

void PrintTo(const StartUpCase& c, std::ostream* os) {
    *os << c.name;
}

std::function<void(TestRegistry&)> installerLanguage(const std::string& text) {
    return [text](TestRegistry& registry) { registry.setString(kQuedrixKey, "Installer Language", text); };
}

class StartUpLanguageTest : public LangTest, public ::testing::WithParamInterface<StartUpCase> {
protected:
    TestRegistry m_registryValues{m_folder.file("installer.reg")};
};

TEST_P(StartUpLanguageTest, ComesFromTheInstallerLanguage) {
    GetParam().fill(m_registryValues);
    ResManagerClass res;
    EXPECT_EQ(res.SetStartUpLanguage(), GetParam().expected);
    EXPECT_EQ(res.CurrentLanguage(), "EN"); // not changed by the question
}

INSTANTIATE_TEST_SUITE_P(
    Registry, StartUpLanguageTest,
    ::testing::Values(
        StartUpCase{"Bulgarian", installerLanguage("1026"), "BG"},
        StartUpCase{"Russian", installerLanguage("1049"), "RU"},
        StartUpCase{"English", installerLanguage("1033"), "EN"},
        StartUpCase{"Padded", installerLanguage(" 1026 "), "BG"},
        StartUpCase{"German", installerLanguage("1031"), "EN"},
        StartUpCase{"Dword", [](TestRegistry& r) { r.setDword(kQuedrixKey, "Installer Language", 0x402); },
                    "EN"},
        StartUpCase{"MissingValue", [](TestRegistry& r) { r.setString(kQuedrixKey, "Other", "1026"); }, "EN"},
        StartUpCase{"MissingKey",
                    [](TestRegistry& r) { r.setString("SOFTWARE\\Other", "Installer Language", "1026"); },
                    "EN"},
        StartUpCase{"Nothing", [](TestRegistry&) {}, "EN"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LangTest, StartUpLanguageIsEnglishWhenTheConfigurationFileExists) {
    TestRegistry registry(m_folder.file("installer.reg"));
    installerLanguage("1026")(registry);
    m_folder.write("Quedrix.cfg", "[Language]\r\nValue=BG\r\n");
    EXPECT_EQ(ResManagerClass().SetStartUpLanguage(), "EN");
}

TEST_F(LangTest, RegistryExportDefaultsToTheSystemPath) {
    ScopedEnv noOverride("QUEDRIX_REGISTRY", nullptr);
    EXPECT_EQ(RegistryExportPath(), "/etc/quedrix/quedrix.reg");
    ScopedEnv overridden("QUEDRIX_REGISTRY", "/x/y.reg");
    EXPECT_EQ(RegistryExportPath(), "/x/y.reg");
}

// ---- construction and the current language ---------------------------------------------------

TEST_F(LangTest, StartsInEnglishAndOneSharedInstanceExists) {
    EXPECT_EQ(ResManagerClass().CurrentLanguage(), "EN");
    EXPECT_EQ(&ResManagerClass::shared(), &ResManagerClass::shared());
}

TEST_F(LangTest, CurrentLanguageKeepsTwoCharactersAlsoInTheCallersVariable) {
    ResManagerClass res;
    std::string value = "bgx";
    res.CurrentLanguage(value);
    EXPECT_EQ(value, "bg");
    EXPECT_EQ(res.CurrentLanguage(), "bg");

    value = "R";
    res.CurrentLanguage(value);
    EXPECT_EQ(value, "R");
    EXPECT_EQ(res.CurrentLanguage(), "R");

    value = "Русский";
    res.CurrentLanguage(value);
    EXPECT_EQ(res.CurrentLanguage(), "Ру");
}

// ---- the language list -------------------------------------------------------------------------

TEST_F(LangTest, GetLanguagesSkipsBlankCodesAndFillsDefaults) {
    writeFile("Quedrix.cfg", {"[Languages]", "Counter=3", "lng1=BGR", "cap1=Български", "charset_BG=204",
                              "lng2=", "lng3=ru", "cap3=  ", "charset_RU=7"});
    ResManagerClass res;
    res.GetLanguages(AppConfig.CfgFile);
    EXPECT_EQ(res.GetLanguageAbbreviation(0), "BG");
    EXPECT_EQ(res.GetLanguageAbbreviation(1), "RU");
    EXPECT_EQ(res.GetLanguageAbbreviation(2), "EN"); // only two entries

    FakeControl combo(ControlType::ComboBox, "cbLang");
    res.FillLanguageCombo(combo);
    EXPECT_EQ(combo.m_items, (std::vector<std::string>{"Български", "RU"}));
}

TEST_F(LangTest, GetLanguagesGivesCharsetOneWhenNoneIsStored) {
    writeFile("Quedrix.cfg",
              {"[Languages]", "Counter=2", "lng1=BG", "charset_BG=204", "lng2=RU", "cap2=Русский"});
    ResManagerClass res;
    res.GetLanguages(AppConfig.CfgFile);
    res.SaveLanguages(m_folder.file("copy.cfg"));
    EXPECT_EQ(ReadIniValue("Languages", "charset_BG", m_folder.file("copy.cfg"), 255), "204");
    EXPECT_EQ(ReadIniValue("Languages", "charset_RU", m_folder.file("copy.cfg"), 255), "1");
    EXPECT_EQ(ReadIniValue("Languages", "cap1", m_folder.file("copy.cfg"), 255), "BG"); // the code as caption
}

class DefaultListTest : public LangTest, public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(DefaultListTest, IsOneEnglishEntryWithCharset204) {
    if (!GetParam().empty()) {
        std::string text;
        for (const std::string& line : GetParam())
            text += line + "\r\n";
        m_folder.write("Quedrix.cfg", text);
    }
    ResManagerClass res;
    res.GetLanguages(AppConfig.CfgFile);
    res.SaveLanguages(m_folder.file("copy.cfg"));
    EXPECT_EQ(m_folder.read("copy.cfg"),
              "[Languages]\r\nlng1=EN\r\ncap1=English\r\ncharset_EN=204\r\nCounter=1\r\n");
}

INSTANTIATE_TEST_SUITE_P(Files, DefaultListTest,
                         ::testing::Values(std::vector<std::string>{}, // no file
                                           std::vector<std::string>{"[Languages]", "Counter=0", "lng1=BG"},
                                           std::vector<std::string>{"[Languages]", "lng1=BG"},
                                           std::vector<std::string>{"[Languages]", "Counter=abc", "lng1=BG"},
                                           std::vector<std::string>{"[Languages]", "Counter=99999999999"}));

TEST_F(LangTest, ListWithOnlyBlankCodesIsEmpty) {
    writeFile("Quedrix.cfg", {"[Languages]", "Counter=2", "lng1= ", "cap1=x"});
    ResManagerClass res;
    res.GetLanguages(AppConfig.CfgFile);
    EXPECT_EQ(res.GetLanguageAbbreviation(0), "EN");
    res.SaveLanguages(m_folder.file("copy.cfg")); // an empty list writes nothing
    EXPECT_FALSE(std::filesystem::exists(m_folder.file("copy.cfg")));

    FakeControl combo(ControlType::ComboBox, "cbLang");
    combo.m_items = {"old"};
    combo.m_currentIndex = 0;
    res.FillLanguageCombo(combo);
    EXPECT_TRUE(combo.m_items.empty());
    EXPECT_EQ(combo.m_currentIndex, -1);
}

TEST_F(LangTest, SaveThenGetGivesTheSameList) {
    writeFile("Quedrix.cfg",
              {"[Languages]", "Counter=3", "lng1=BG", "cap1=Български", "charset_BG=204", "lng2=EN",
               "cap2=English", "charset_EN=1", "lng3=DE", "cap3=Deutsch", "charset_DE=238"});
    ResManagerClass first;
    first.GetLanguages(AppConfig.CfgFile);
    const std::string copy = m_folder.file("copy.cfg");
    first.SaveLanguages(copy);

    ResManagerClass second;
    second.GetLanguages(copy);
    for (int16_t i = 0; i < 3; ++i)
        EXPECT_EQ(second.GetLanguageAbbreviation(i), first.GetLanguageAbbreviation(i));
    EXPECT_EQ(ReadIniValue("Languages", "Counter", copy, 255), "3");
    EXPECT_EQ(ReadIniValue("Languages", "cap3", copy, 255), "Deutsch");
    EXPECT_EQ(ReadIniValue("Languages", "charset_DE", copy, 255), "238");
    second.SaveLanguages(m_folder.file("again.cfg"));
    EXPECT_EQ(m_folder.read("again.cfg"), m_folder.read("copy.cfg"));
}

TEST_F(LangTest, AbbreviationOutsideTheListIsEnglish) {
    writeFile("Quedrix.cfg", {"[Languages]", "Counter=2", "lng1=BG", "lng2=RU"});
    ResManagerClass res;
    EXPECT_EQ(res.GetLanguageAbbreviation(0), "EN"); // list not read yet
    res.GetLanguages(AppConfig.CfgFile);
    EXPECT_EQ(res.GetLanguageAbbreviation(-1), "EN");
    EXPECT_EQ(res.GetLanguageAbbreviation(2), "EN");
    EXPECT_EQ(res.GetLanguageAbbreviation(1), "RU");
    EXPECT_EQ(res.GetLanguageAbbreviation(INT16_MAX), "EN");
}

struct ComboCase {
    const char* current;
    int selected;
};

void PrintTo(const ComboCase& c, std::ostream* os) {
    *os << c.current << " selects " << c.selected;
}

class FillLanguageComboTest : public LangTest, public ::testing::WithParamInterface<ComboCase> {};

TEST_P(FillLanguageComboTest, SelectsTheCurrentLanguageOrTheFirst) {
    writeFile("Quedrix.cfg", {"[Languages]", "Counter=3", "lng1=BG", "cap1=Български", "lng2=EN",
                              "cap2=English", "lng3=RU", "cap3=Русский"});
    ResManagerClass res;
    res.GetLanguages(AppConfig.CfgFile);
    std::string current = GetParam().current;
    res.CurrentLanguage(current);

    FakeControl combo(ControlType::ComboBox, "cbLang");
    combo.m_items = {"stale"};
    res.FillLanguageCombo(combo);
    EXPECT_EQ(combo.m_items, (std::vector<std::string>{"Български", "English", "Русский"}));
    EXPECT_EQ(combo.m_currentIndex, GetParam().selected);
}

INSTANTIATE_TEST_SUITE_P(Languages, FillLanguageComboTest,
                         ::testing::Values(ComboCase{"DE", 0}, ComboCase{"RU", 2}, ComboCase{"EN", 1},
                                           ComboCase{"ru", 0}));

// ---- the template file -----------------------------------------------------------------------

TEST_F(LangTest, GenerateLanguageFileWritesTheEnglishTexts) {
    FakeWindow window("frmTest", "Test window");
    window.add(ControlType::ComboBox, "cbList").m_items = {"one", "two", "three"};
    window.add(ControlType::CommandButton, "cmdOk").m_caption = "OK";
    window.add(ControlType::CheckBox, "chkAll").m_caption = "All";
    window.add(ControlType::TextBox, "txtName").m_text = "Name";
    window.add(ControlType::Label, "lblInfo").m_caption = "Info";
    window.add(ControlType::Frame, "fraBox").m_caption = "Box";
    window.add(ControlType::MyButton, "btnHide").m_caption = "Hide";
    window.add(ControlType::Other, "tmrTick").m_caption = "Tick";
    window.add(ControlType::CommandButton, "cmdArr", 0).m_caption = "first";
    window.add(ControlType::CommandButton, "cmdArr", 1).m_caption = "second";

    ResManagerClass().GenerateLanguageFile(window);

    const std::string file = m_folder.file("frmTest.lng");
    EXPECT_EQ(ReadIniValue("ME", "EN", file, 255), "Test window");
    EXPECT_EQ(ReadIniValue("cbList", "EN0", file, 255), "one");
    EXPECT_EQ(ReadIniValue("cbList", "EN1", file, 255), "two");
    EXPECT_EQ(ReadIniValue("cbList", "EN2", file, 255), "three");
    EXPECT_EQ(ReadIniValue("cbList", "EN3", file, 255), "");
    EXPECT_EQ(ReadIniValue("cmdOk", "EN", file, 255), "OK");
    EXPECT_EQ(ReadIniValue("chkAll", "EN", file, 255), "All");
    EXPECT_EQ(ReadIniValue("txtName", "EN", file, 255), "Name");
    EXPECT_EQ(ReadIniValue("lblInfo", "EN", file, 255), "Info");
    EXPECT_EQ(ReadIniValue("cmdArr", "EN", file, 255), "second"); // array members share a section
    const std::string bytes = m_folder.read("frmTest.lng");
    EXPECT_EQ(bytes.find("[fraBox]"), std::string::npos);
    EXPECT_EQ(bytes.find("[btnHide]"), std::string::npos);
    EXPECT_EQ(bytes.find("[tmrTick]"), std::string::npos);
    EXPECT_EQ(bytes.find("[ME]"), 0u);
}

// ---- lookups -----------------------------------------------------------------------------------

TEST_F(LangTest, CommonLookupsWithoutCommonLng) {
    ResManagerClass res;
    std::string bg = "BG";
    std::string en = "EN";
    std::string none;
    EXPECT_EQ(res.ResStringComm("strAttention", bg), "Внимание");
    EXPECT_EQ(res.ResStringComm("strAttention", en), "");
    EXPECT_EQ(res.ResStringComm("strAttention", none), "");
    EXPECT_EQ(none, "EN");
    EXPECT_EQ(res.ResStringComm("strLanguage", bg), "");
    EXPECT_EQ(res.ResStringComm("strattention", bg), ""); // default keys are case-sensitive
    std::string lowerBg = "bg";
    EXPECT_EQ(res.ResStringComm("strAttention", lowerBg), ""); // the default only for exactly "BG"

    for (const char* language : {"EN", "BG", "RU"}) {
        std::string code = language;
        res.CurrentLanguage(code);
        EXPECT_EQ(res.GetResString("strChangeUser"), "Смяна на активният потребител");
        EXPECT_EQ(res.GetResString("strNotEnoghQtty"),
                  "Няма достатъчно количество от стока '%1' за партида '%2'!");
    }
    EXPECT_EQ(res.GetResString("strattention"), "");
}

TEST_F(LangTest, FormLookupsWithoutFormsLng) {
    ResManagerClass res;
    std::string bg = "BG";
    std::string en = "EN";
    std::string none;
    EXPECT_EQ(res.ResStringForm("PaymentForm|ME", bg), "Разплащане");
    EXPECT_EQ(res.ResStringForm("InvoiceParamForm|cbCopies|0", bg), "Оригинал + 2 копия");
    EXPECT_EQ(res.ResStringForm("PaymentForm|ME", en), "");
    EXPECT_EQ(res.ResStringForm("PaymentForm|ME", none), "");
    EXPECT_EQ(none, "EN");
    EXPECT_EQ(res.ResStringForm("BilliardStd|ME", bg), "");
}

TEST_F(LangTest, NewLineMarkerIsExpandedOnlyByGetResString) {
    writeFile("Common.lng", {"[strAttention]", "EN=Look|vbNewLine|out|vbNewLine|", "BG=Внимание!"});
    ResManagerClass res;
    std::string en = "EN";
    EXPECT_EQ(res.ResStringComm("strAttention", en), "Look|vbNewLine|out|vbNewLine|");
    EXPECT_EQ(res.GetResString("strAttention"), "Look\r\nout\r\n");
    std::string bg = "BG";
    res.CurrentLanguage(bg);
    EXPECT_EQ(res.GetResString("strAttention"), "Внимание!");
}

TEST_F(LangTest, BlankFileEntriesFallBackToTheBulgarianDefault) {
    writeFile("Common.lng", {"[strAttention]", "EN=   ", "BG=  ", "RU="});
    ResManagerClass res;
    EXPECT_EQ(res.GetResString("strAttention"), "Внимание"); // for any language
    std::string bg = "BG";
    std::string ru = "RU";
    EXPECT_EQ(res.ResStringComm("strAttention", bg), "Внимание");
    EXPECT_EQ(res.ResStringComm("strAttention", ru), "");
}

// Notepad saves UTF-8 with a byte-order mark, "Unicode" as UTF-16LE with one; the first section
// sits right behind the mark.
TEST_F(LangTest, LanguageFilesWithAByteOrderMarkAreReadInTheirEncoding) {
    m_folder.write("Common.lng", "\xEF\xBB\xBF[strLanguage]\r\nBG=Български\r\nGR=Ελληνικά\r\n");
    const std::u16string forms = u"[BilliardStd|btnHide]\r\nBG=Скриване\r\n";
    m_folder.write("Forms.lng",
                   "\xFF\xFE" + std::string(reinterpret_cast<const char*>(forms.data()), forms.size() * 2));
    ResManagerClass res;
    std::string bg = "BG";
    std::string gr = "GR";
    EXPECT_EQ(res.ResStringComm("strLanguage", bg), "Български");
    EXPECT_EQ(res.ResStringComm("strLanguage", gr), "Ελληνικά");
    EXPECT_EQ(res.ResStringForm("BilliardStd|btnHide", bg), "Скриване");
}

// A language file saved as UTF-8 without a mark is taken as the code page, as Windows takes it: its
// letters read as other letters, its sections and ASCII texts as they are, and nothing fails.
TEST_F(LangTest, LanguageFileInUtf8WithoutAMarkReadsAsTheCodePage) {
    ScopedEnv codePage("QUEDRIX_CODEPAGE", nullptr);
    m_folder.write("Common.lng", "[strLanguage]\r\nBG=\xD0\x91\r\nEN=English\r\n");
    ResManagerClass res;
    std::string bg = "BG";
    std::string en = "EN";
    EXPECT_EQ(res.ResStringComm("strLanguage", bg), CodePage::active().toUtf8("\xD0\x91")); // "Р‘" in 1251
    EXPECT_NE(res.ResStringComm("strLanguage", bg), "Б");
    EXPECT_EQ(res.ResStringComm("strLanguage", en), "English");
}

class LongEntryTest : public LangTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(LongEntryTest, CommonIsCutBeyond1023AndFormsBeyond254) {
    const std::string folder = GetParam();
    const std::string longText(1500, 'x');
    writeFile(folder + "Common.lng", {"[strLong]", "EN=" + longText});
    writeFile(folder + "Forms.lng", {"[Win|ctl]", "EN=" + longText});
    ResManagerClass res;
    std::string en = "EN";
    EXPECT_EQ(res.ResStringComm("strLong", en), std::string(1023, 'x'));
    EXPECT_EQ(res.GetResString("strLong"), std::string(1023, 'x'));
    EXPECT_EQ(res.ResStringForm("Win|ctl", en), std::string(254, 'x'));
}

INSTANTIATE_TEST_SUITE_P(Folders, LongEntryTest, ::testing::Values("", "Related Documents/"));

TEST_F(LangTest, ApplicationFolderFileWinsOverRelatedDocuments) {
    writeFile("Common.lng", {"[strX]", "EN=main"});
    writeFile("Related Documents/Common.lng", {"[strX]", "EN=related"});
    ResManagerClass res;
    std::string en = "EN";
    EXPECT_EQ(res.ResStringComm("strX", en), "main");
    std::filesystem::remove(m_folder.file("Common.lng"));
    EXPECT_EQ(res.ResStringComm("strX", en), "related");
}

// ---- the default tables ------------------------------------------------------------------------

TEST_F(LangTest, DefaultTablesKeyIndexesAndCounts) {
    ResManagerClass res;
    EXPECT_EQ(res.GetCommonKey(0), "strAttention");
    EXPECT_EQ(res.GetCommonKey(1), "strExit");
    EXPECT_EQ(res.GetCommonKey(2), "strUnload");
    EXPECT_EQ(res.GetCommonKey(res.CountCommonRes()), "");
    EXPECT_EQ(res.GetCommonKey(-1), "");
    EXPECT_EQ(res.GetFormKey(-1), "");
    EXPECT_EQ(res.GetFormKey(res.CountFormRes()), "");
    EXPECT_FALSE(res.GetFormKey(res.CountFormRes() - 1).empty());
    EXPECT_FALSE(res.GetCommonKey(res.CountCommonRes() - 1).empty());

    int changeUser = 0;
    int tradeObject = 0;
    int activeBase = 0;
    for (int16_t i = 0; i < res.CountCommonRes(); ++i) {
        const std::string key = res.GetCommonKey(i);
        EXPECT_EQ(key.rfind("str", 0), 0u) << key;
        EXPECT_NE(key, "strLanguage");
        changeUser += key == "strChangeUser";
        tradeObject += key == "strTradeObject";
        activeBase += key == "strActiveBase";
    }
    EXPECT_EQ(changeUser, 2);
    EXPECT_EQ(tradeObject, 2);
    EXPECT_EQ(activeBase, 2);
    for (int16_t i = 0; i < res.CountFormRes(); ++i) {
        const std::string key = res.GetFormKey(i);
        EXPECT_NE(key.rfind("BilliardStd|", 0), 0u) << key;
        EXPECT_NE(key.rfind("BilliardAlt|", 0), 0u) << key;
    }
}

TEST_F(LangTest, DefaultFormResAgainDoublesTheRowsButNoLookup) {
    ResManagerClass res;
    const int16_t count = res.CountFormRes();
    const std::string lastKey = res.GetFormKey(count - 1);
    res.DefaultFormRes();
    EXPECT_EQ(res.CountFormRes(), 2 * count);
    EXPECT_EQ(res.GetFormKey(2 * count - 1), lastKey);
    std::string bg = "BG";
    EXPECT_EQ(res.ResStringForm("PaymentForm|btnOK", bg), "OK");
}

} // namespace
