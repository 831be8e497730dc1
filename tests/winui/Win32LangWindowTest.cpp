// The localisation's window walk over Win32 windows: kinds, names, indexes, texts and charsets.
#include "tests/winui/WinuiFixture.h"

#include "common/Common.h"
#include "common/Win32Text.h"
#include "lang/ResManagerClass.h"
#include "tests/support/LangFolder.h"
#include "tests/support/ListedControl.h"
#include "winui/Win32ControlName.h"
#include "winui/Win32LangWindow.h"
#include "winui/Win32WindowText.h"

#include <map>
#include <string>

namespace {

// A window with one control of every kind the localisation knows, a frame holding a label, an icon
// and an unnamed control.
class TestWindow {
public:
    TestWindow() {
        m_hwnd = ::CreateWindowExW(0, L"STATIC", L"Test window", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                   nullptr, nullptr, nullptr);
        SetControlName(m_hwnd, "frmTest");
        add(L"EDIT", 0, "text", "txtName");
        for (int i = 1; i <= 2; ++i)
            add(L"BUTTON", BS_PUSHBUTTON, "Set " + std::to_string(i), "btnSet", i);
        add(L"BUTTON", BS_AUTOCHECKBOX, "All", "chkAll");
        HWND frame = add(L"BUTTON", BS_GROUPBOX, "Box", "fraBox");
        add(L"STATIC", SS_LEFT, "inner", "lblInner", -1, frame);
        HWND combo = add(L"COMBOBOX", CBS_DROPDOWNLIST, "", "cbList");
        for (const wchar_t* item : {L"one", L"two", L"three"})
            ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        add(L"STATIC", SS_ICON, "", "imgLogo");
        ::CreateWindowExW(0, L"STATIC", L"unnamed", WS_CHILD, 0, 0, 10, 10, m_hwnd, nullptr, nullptr,
                          nullptr);
    }
    ~TestWindow() { ::DestroyWindow(m_hwnd); }

    HWND hwnd() const { return m_hwnd; }
    HWND control(const char* name) const { return m_controls.at(name); }

private:
    HWND add(const wchar_t* windowClass, DWORD style, const std::string& caption, const char* name,
             int index = -1, HWND parent = nullptr) {
        HWND control = ::CreateWindowExW(0, windowClass, WideFromUtf8(caption).c_str(), WS_CHILD | style, 0,
                                         0, 50, 100, parent ? parent : m_hwnd, nullptr, nullptr, nullptr);
        SetControlName(control, name, index);
        m_controls[name + (index >= 0 ? std::to_string(index) : "")] = control;
        return control;
    }

    HWND m_hwnd;
    std::map<std::string, HWND> m_controls;
};

int charsetOf(HWND control) {
    LOGFONTA font{};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof(font), &font);
    return font.lfCharSet;
}

std::string comboItem(HWND combo, int index) {
    wchar_t text[64] = {};
    ::SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return Utf8FromWide(text);
}

TEST(Win32LangWindowTest, ListsTheNamedControlsWithTheirKindsInTheOrderMade) {
    TestWindow window;
    Win32LangWindow adapted(window.hwnd());
    const std::vector<ListedControl> expected{
        {"txtName", ControlType::TextBox, {}}, {"btnSet", ControlType::MyButton, 1},
        {"btnSet", ControlType::MyButton, 2},  {"chkAll", ControlType::CheckBox, {}},
        {"fraBox", ControlType::Frame, {}},    {"lblInner", ControlType::Label, {}},
        {"cbList", ControlType::ComboBox, {}}, {"imgLogo", ControlType::Other, {}},
    };
    EXPECT_EQ(ListedControls(adapted), expected);
    EXPECT_EQ(adapted.name(), "frmTest");
    EXPECT_EQ(adapted.caption(), "Test window");
}

// The language file is in the ANSI code page of the test's Windows (1252), so the texts are German.
TEST(Win32LangWindowTest, SetLanguagePutsTheTextsAndTheCharsetOnTheControls) {
    LangFolder folder;
    folder.write("Forms.lng",
                 {"[frmTest|ME]", "DE=Fenster", "[frmTest|txtName]", "DE=Größe", "[frmTest|btnSet|2]",
                  "DE=Zweite", "[frmTest|btnSet]", "DE=nicht diese", "[frmTest|chkAll]", "DE=Alle",
                  "[frmTest|fraBox]", "DE=Rahmen", "[frmTest|lblInner]", "DE=Innen", "[frmTest|cbList|1]",
                  "DE=zwei", "[frmTest|imgLogo]", "DE=Bild"});
    folder.write("Quedrix.cfg", {"[Languages]", "charset_DE=238"});
    CurrentLanguageCode = "DE";
    TestWindow window;
    const int editCharset = charsetOf(window.control("txtName"));
    Win32LangWindow adapted(window.hwnd());

    ResManagerClass().SetLanguage(adapted, "");

    EXPECT_EQ(WindowText(window.hwnd()), "Fenster");
    EXPECT_EQ(WindowText(window.control("txtName")), "Größe");
    EXPECT_EQ(WindowText(window.control("btnSet1")), "Set 1");
    EXPECT_EQ(WindowText(window.control("btnSet2")), "Zweite");
    EXPECT_EQ(WindowText(window.control("chkAll")), "Alle");
    EXPECT_EQ(WindowText(window.control("fraBox")), "Rahmen");
    EXPECT_EQ(WindowText(window.control("lblInner")), "Innen");
    EXPECT_EQ(comboItem(window.control("cbList"), 0), "one");
    EXPECT_EQ(comboItem(window.control("cbList"), 1), "zwei");
    EXPECT_EQ(comboItem(window.control("cbList"), 2), "three");
    EXPECT_EQ(WindowText(window.control("imgLogo")), "");

    // Only labels and combo boxes get the character set.
    EXPECT_EQ(charsetOf(window.control("lblInner")), 238);
    EXPECT_EQ(charsetOf(window.control("cbList")), 238);
    EXPECT_EQ(charsetOf(window.control("txtName")), editCharset);
}

TEST(Win32LangWindowTest, GenerateLanguageFileReadsTheControls) {
    LangFolder folder;
    TestWindow window;
    Win32LangWindow adapted(window.hwnd());
    ResManagerClass().GenerateLanguageFile(adapted);

    const std::string file = folder.m_folder.file("frmTest.lng");
    EXPECT_EQ(ReadIniValue("ME", "EN", file, 255), "Test window");
    EXPECT_EQ(ReadIniValue("txtName", "EN", file, 255), "text");
    EXPECT_EQ(ReadIniValue("chkAll", "EN", file, 255), "All");
    EXPECT_EQ(ReadIniValue("lblInner", "EN", file, 255), "inner");
    EXPECT_EQ(ReadIniValue("cbList", "EN0", file, 255), "one");
    EXPECT_EQ(ReadIniValue("cbList", "EN2", file, 255), "three");
}

using Win32LangStandardWindowTest = WinuiFixture<Win32BilliardStd>;

// The standard window's buttons are MyButtons: the array btnReset is keyed by each element's index.
TEST_F(Win32LangStandardWindowTest, ResetButtonsAreKeyedByTheirIndexAndLabelsTakeTheCharset) {
    LangFolder folder;
    folder.write("Forms.lng",
                 {"[BilliardStd|ME]", "EN=Tables", "[BilliardStd|btnReset|3]", "EN=Stop 3",
                  "[BilliardStd|btnHide]", "EN=Hide", "[BilliardStd|lblTable|2]", "EN=not used"});
    CurrentLanguageCode = "EN";
    Win32LangWindow adapted(window.hwnd());
    ResManagerClass().SetLanguage(adapted, "");

    EXPECT_EQ(WindowText(window.hwnd()), "Tables");
    for (int t = 1; t <= TableCount; ++t)
        EXPECT_EQ(WindowText(window.control("btnReset", t)), t == 3 ? "Stop 3" : "Спиране");
    EXPECT_EQ(WindowText(window.control("btnHide")), "Hide");
    // Labels are keyed by name only, so an indexed section is not theirs; they still get the charset.
    EXPECT_EQ(WindowText(window.control("lblTable", 2)), "Маса 2");
    EXPECT_EQ(charsetOf(window.control("lblTable", 2)), 1);
    EXPECT_EQ(charsetOf(window.control("btnReset", 2)), 204) << "buttons keep theirs";
}

} // namespace
