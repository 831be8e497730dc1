#include "lang/ResManagerClass.h"

#include "tests/lang/FakeWindow.h"
#include "tests/lang/LangTestFolder.h"

#include <gtest/gtest.h>

namespace {

class SetLanguageTest : public LangTest {
protected:
    SetLanguageTest() {
        m_window.add(ControlType::MyButton, "btnReset", 3).m_caption = "Спиране";
        m_window.add(ControlType::MyButton, "btnHide").m_caption = "Скриване";
        m_window.add(ControlType::Label, "lblInfo").m_caption = "info";
        m_window.add(ControlType::ComboBox, "cbList").m_items = {"a", "b", "c"};
        m_window.add(ControlType::TextBox, "txtName").m_text = "name";
        m_window.add(ControlType::CommandButton, "cmdGo").m_caption = "go";
        m_window.add(ControlType::CheckBox, "chkAll").m_caption = "all";
        m_window.add(ControlType::Frame, "fraBox").m_caption = "box";
        m_window.add(ControlType::Other, "tmrTick").m_caption = "tick";
        m_window.add(ControlType::Label, "lblBlank").m_caption = "kept";
    }

    FakeControl& control(const std::string& name) {
        for (auto& c : m_window.m_controls)
            if (c->m_name == name)
                return *c;
        throw std::out_of_range(name);
    }

    void writeForms(const std::string& folder = "") {
        writeFile(folder + "Forms.lng", {"[BilliardStd|ME]",
                                         "EN=Tables",
                                         "RU=Столы",
                                         "[BilliardStd|btnReset|3]",
                                         "EN=Stop 3",
                                         "RU=Стоп 3",
                                         "[BilliardStd|btnReset]",
                                         "EN=wrong section",
                                         "[BilliardStd|btnHide]",
                                         "EN=Hide",
                                         "RU=Скрыть",
                                         "[BilliardStd|cbList|1]",
                                         "EN=Item one",
                                         "[BilliardStd|txtName]",
                                         "EN=\" Name \"",
                                         "[BilliardStd|cmdGo]",
                                         "EN=Go",
                                         "[BilliardStd|chkAll]",
                                         "EN=All",
                                         "[BilliardStd|fraBox]",
                                         "EN=Box",
                                         "[BilliardStd|tmrTick]",
                                         "EN=Tick",
                                         "[BilliardStd|lblBlank]",
                                         "EN=   "});
    }

    FakeWindow m_window{"BilliardStd", "Маси"};
};

TEST_F(SetLanguageTest, WithoutFormsLngNothingChanges) {
    writeFile("Quedrix.cfg", {"[Languages]", "charset_EN=1"});
    ResManagerClass().SetLanguage(m_window, "EN");
    EXPECT_EQ(m_window.m_caption, "Маси");
    EXPECT_EQ(control("btnReset").m_caption, "Спиране");
    EXPECT_EQ(control("txtName").m_text, "name");
    EXPECT_FALSE(control("lblInfo").m_charset.has_value());
    EXPECT_FALSE(control("cbList").m_charset.has_value());
}

class SetLanguageFolderTest : public SetLanguageTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(SetLanguageFolderTest, PutsTheTextsOfTheLanguageOnTheWindow) {
    writeForms(GetParam());
    ResManagerClass().SetLanguage(m_window, "EN");
    EXPECT_EQ(m_window.m_caption, "Tables");
    EXPECT_EQ(control("btnReset").m_caption, "Stop 3"); // array element keyed by its index
    EXPECT_EQ(control("btnHide").m_caption, "Hide");
    EXPECT_EQ(control("cbList").m_items, (std::vector<std::string>{"a", "Item one", "c"}));
    EXPECT_EQ(control("txtName").m_text, " Name "); // used as read, not trimmed
    EXPECT_EQ(control("cmdGo").m_caption, "Go");
    EXPECT_EQ(control("chkAll").m_caption, "All");
    EXPECT_EQ(control("fraBox").m_caption, "Box");
    EXPECT_EQ(control("tmrTick").m_caption, "tick");  // other controls are left alone
    EXPECT_EQ(control("lblBlank").m_caption, "kept"); // a blank text keeps the caption
    EXPECT_EQ(control("lblInfo").m_caption, "info");  // no section
}

INSTANTIATE_TEST_SUITE_P(Folders, SetLanguageFolderTest, ::testing::Values("", "Related Documents/"));

TEST_F(SetLanguageTest, EmptyLanguageMeansTheLanguageInForce) {
    writeForms();
    CurrentLanguageCode = "RU";
    ResManagerClass().SetLanguage(m_window, "");
    EXPECT_EQ(m_window.m_caption, "Столы");
    EXPECT_EQ(control("btnReset").m_caption, "Стоп 3");
    EXPECT_EQ(control("btnHide").m_caption, "Скрыть");
    EXPECT_EQ(control("cmdGo").m_caption, "go"); // no RU entry
}

TEST_F(SetLanguageTest, LabelsAndComboBoxesGetTheCharsetOfTheLanguageInForce) {
    writeForms();
    writeFile("Quedrix.cfg", {"[Languages]", "charset_RU=7", "charset_EN=9"});
    CurrentLanguageCode = "RU";
    ResManagerClass().SetLanguage(m_window, "EN"); // texts in EN, charset of the language in force
    EXPECT_EQ(control("lblInfo").m_charset, 7);    // also without a section of its own
    EXPECT_EQ(control("lblBlank").m_charset, 7);
    EXPECT_EQ(control("cbList").m_charset, 7);
    EXPECT_FALSE(control("cmdGo").m_charset.has_value());
    EXPECT_FALSE(control("txtName").m_charset.has_value());
    EXPECT_FALSE(control("btnHide").m_charset.has_value());
}

TEST_F(SetLanguageTest, CommandButtonArraysShareOneSection) {
    writeFile("Forms.lng", {"[BilliardStd|cmdArr]", "EN=shared", "[BilliardStd|cmdArr|1]", "EN=indexed"});
    FakeWindow window("BilliardStd", "x");
    window.add(ControlType::CommandButton, "cmdArr", 0);
    window.add(ControlType::CommandButton, "cmdArr", 1);
    ResManagerClass().SetLanguage(window, "EN");
    EXPECT_EQ(window.m_controls[0]->m_caption, "shared");
    EXPECT_EQ(window.m_controls[1]->m_caption, "shared");
}

// A control whose adapter fails on one property must not stop the rest of the window.
class FailingControl : public FakeControl {
public:
    using FakeControl::FakeControl;
    void setCharset(int32_t) override { throw std::runtime_error("no font"); }
};

TEST_F(SetLanguageTest, FailingStepIsSkipped) {
    writeFile("Forms.lng", {"[W|lblA]", "EN=A", "[W|lblB]", "EN=B"});
    FakeWindow window("W", "x");
    window.m_controls.push_back(std::make_unique<FailingControl>(ControlType::Label, "lblA"));
    window.add(ControlType::Label, "lblB");
    ResManagerClass().SetLanguage(window, "EN");
    EXPECT_EQ(window.m_controls[0]->m_caption, "A");
    EXPECT_EQ(window.m_controls[1]->m_caption, "B");
}

// ---- character sets ----------------------------------------------------------------------------

struct CharsetCase {
    const char* language;
    int32_t expected;
};

void PrintTo(const CharsetCase& c, std::ostream* os) {
    *os << c.language << " " << c.expected;
}

class CharsetDefaultTest : public ::testing::TestWithParam<CharsetCase> {};

TEST_P(CharsetDefaultTest, FollowsTheTable) {
    EXPECT_EQ(ResManagerClass().GetCharsetDefault(GetParam().language), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Languages, CharsetDefaultTest,
                         ::testing::Values(CharsetCase{"BG", 204}, CharsetCase{"RU", 204},
                                           CharsetCase{"DE", 238}, CharsetCase{"RO", 238},
                                           CharsetCase{"SR", 238}, CharsetCase{"GR", 161},
                                           CharsetCase{"EN", 1}, CharsetCase{"bg", 1}, CharsetCase{"", 1},
                                           CharsetCase{"BGR", 1}));

struct CharsetFileCase {
    const char* name;
    std::vector<std::string> configLines; // empty: no configuration file
    const char* language;
    int32_t expected;
};

void PrintTo(const CharsetFileCase& c, std::ostream* os) {
    *os << c.name;
}

class GetCharsetTest : public LangTest, public ::testing::WithParamInterface<CharsetFileCase> {};

TEST_P(GetCharsetTest, ReadsTheConfigurationFileElseTheDefault) {
    if (!GetParam().configLines.empty()) {
        std::string text;
        for (const std::string& line : GetParam().configLines)
            text += line + "\r\n";
        m_folder.write("Quedrix.cfg", text);
    }
    CurrentLanguageCode = GetParam().language;
    EXPECT_EQ(ResManagerClass().GetCharset(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Files, GetCharsetTest,
    ::testing::Values(CharsetFileCase{"ExplicitZeroWins", {"[Languages]", "charset_BG=0"}, "BG", 0},
                      CharsetFileCase{"Explicit", {"[Languages]", "charset_BG=161"}, "BG", 161},
                      CharsetFileCase{"Missing", {"[Languages]", "charset_RU=5"}, "BG", 204},
                      CharsetFileCase{"Blank", {"[Languages]", "charset_DE=   "}, "DE", 238},
                      CharsetFileCase{"NotANumber", {"[Languages]", "charset_BG=abc"}, "BG", 0},
                      CharsetFileCase{"TooLarge", {"[Languages]", "charset_BG=99999999999"}, "BG", 204},
                      CharsetFileCase{"NoFile", {}, "RU", 204},
                      CharsetFileCase{"NoFileEnglish", {}, "EN", 1}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
