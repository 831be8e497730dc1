#include "ui/QtLangWindow.h"

#include "tests/ui/WindowFixture.h"

#include "common/CodePage.h"
#include "common/Common.h"
#include "common/Configuration.h"
#include "lang/ResManagerClass.h"
#include "tests/support/LangFolder.h"
#include "tests/support/ListedControl.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"
#include "ui/ControlArray.h"
#include "ui/MyButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>

#include <gtest/gtest.h>

namespace {

// A window with one control of every kind the localisation knows, a frame holding a label, a
// picture, a menu and Qt's own inner widgets.
class TestWindow : public QWidget {
public:
    TestWindow() {
        setObjectName(QStringLiteral("frmTest"));
        setWindowTitle(QStringLiteral("Test window"));
        name(new QLineEdit(QStringLiteral("text"), this), "txtName");
        name(new QPushButton(QStringLiteral("Go"), this), "cmdGo");
        for (int i = 1; i <= 2; ++i)
            SetControlIndex(name(new MyButton(QStringLiteral("Set %1").arg(i), this), "btnSet"), i);
        name(new QCheckBox(QStringLiteral("All"), this), "chkAll");
        auto* frame = name(new QGroupBox(QStringLiteral("Box"), this), "fraBox");
        name(new QLabel(QStringLiteral("inner"), frame), "lblInner");
        auto* combo = name(new QComboBox(this), "cbList");
        combo->addItems({QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")});
        auto* picture = name(new QLabel(this), "imgLogo");
        picture->setPixmap(QPixmap(16, 16));
        name(new QMenu(this), "mnuPopup");
        auto* unnamed = new QWidget(this);
        name(new QLabel(QStringLiteral("inner"), unnamed), "qt_inner");
    }

    template <class T> T* control(const char* objectName) const {
        return findChild<T*>(QString::fromLatin1(objectName));
    }

private:
    template <class T> static T* name(T* widget, const char* objectName) {
        widget->setObjectName(QString::fromLatin1(objectName));
        return widget;
    }
};

TEST(QtLangWindowTest, ListsTheNamedWidgetsWithTheirKinds) {
    TestWindow window;
    QtLangWindow adapted(&window);
    const std::vector<ListedControl> expected{
        {"txtName", ControlType::TextBox, {}}, {"cmdGo", ControlType::CommandButton, {}},
        {"btnSet", ControlType::MyButton, 1},  {"btnSet", ControlType::MyButton, 2},
        {"chkAll", ControlType::CheckBox, {}}, {"fraBox", ControlType::Frame, {}},
        {"lblInner", ControlType::Label, {}},  {"cbList", ControlType::ComboBox, {}},
        {"imgLogo", ControlType::Other, {}}, // a label showing a picture is a picture box
    };
    EXPECT_EQ(ListedControls(adapted), expected);
    EXPECT_EQ(adapted.name(), "frmTest");
    EXPECT_EQ(adapted.caption(), "Test window");
}

TEST(QtLangWindowTest, SetLanguagePutsTheTextsAndTheCharsetOnTheWidgets) {
    LangFolder folder;
    folder.write("Forms.lng", {"[frmTest|ME]",       "RU=Окно",   "[frmTest|txtName]",  "RU=Текст",
                               "[frmTest|cmdGo]",    "RU=Пуск",   "[frmTest|btnSet|2]", "RU=Второй",
                               "[frmTest|btnSet]",   "RU=не тот", "[frmTest|chkAll]",   "RU=Все",
                               "[frmTest|fraBox]",   "RU=Рамка",  "[frmTest|lblInner]", "RU=Внутри",
                               "[frmTest|cbList|1]", "RU=два",    "[frmTest|imgLogo]",  "RU=картинка"});
    folder.write("Quedrix.cfg", {"[Languages]", "charset_RU=204"});
    CurrentLanguageCode = "RU";
    TestWindow window;
    QtLangWindow adapted(&window);

    ResManagerClass().SetLanguage(adapted, "");

    EXPECT_EQ(window.windowTitle(), QStringLiteral("Окно"));
    EXPECT_EQ(window.control<QLineEdit>("txtName")->text(), QStringLiteral("Текст"));
    EXPECT_EQ(window.control<QPushButton>("cmdGo")->text(), QStringLiteral("Пуск"));
    EXPECT_EQ(FindControl<MyButton>(&window, QStringLiteral("btnSet"), 1)->text(), QStringLiteral("Set 1"));
    EXPECT_EQ(FindControl<MyButton>(&window, QStringLiteral("btnSet"), 2)->text(), QStringLiteral("Второй"));
    EXPECT_EQ(window.control<QCheckBox>("chkAll")->text(), QStringLiteral("Все"));
    EXPECT_EQ(window.control<QGroupBox>("fraBox")->title(), QStringLiteral("Рамка"));
    EXPECT_EQ(window.control<QLabel>("lblInner")->text(), QStringLiteral("Внутри"));
    auto* combo = window.control<QComboBox>("cbList");
    EXPECT_EQ(combo->itemText(0), QStringLiteral("one"));
    EXPECT_EQ(combo->itemText(1), QStringLiteral("два"));
    EXPECT_EQ(combo->itemText(2), QStringLiteral("three"));
    EXPECT_FALSE(window.control<QLabel>("imgLogo")->pixmap().isNull());

    // Only labels and combo boxes carry the character set.
    EXPECT_EQ(window.control<QLabel>("lblInner")->property(CharsetProperty), QVariant(204));
    EXPECT_EQ(combo->property(CharsetProperty), QVariant(204));
    EXPECT_FALSE(window.control<QPushButton>("cmdGo")->property(CharsetProperty).isValid());
    EXPECT_FALSE(window.control<QLineEdit>("txtName")->property(CharsetProperty).isValid());
}

TEST(QtLangWindowTest, GenerateLanguageFileReadsTheWidgets) {
    LangFolder folder;
    TestWindow window;
    QtLangWindow adapted(&window);
    ResManagerClass().GenerateLanguageFile(adapted);

    const std::string file = folder.m_folder.file("frmTest.lng");
    EXPECT_EQ(ReadIniValue("ME", "EN", file, 255), "Test window");
    EXPECT_EQ(ReadIniValue("txtName", "EN", file, 255), "text");
    EXPECT_EQ(ReadIniValue("cmdGo", "EN", file, 255), "Go");
    EXPECT_EQ(ReadIniValue("chkAll", "EN", file, 255), "All");
    EXPECT_EQ(ReadIniValue("lblInner", "EN", file, 255), "inner");
    EXPECT_EQ(ReadIniValue("cbList", "EN0", file, 255), "one");
    EXPECT_EQ(ReadIniValue("cbList", "EN2", file, 255), "three");
    const std::string bytes = folder.m_folder.read("frmTest.lng");
    for (const char* absent : {"[btnSet]", "[fraBox]", "[imgLogo]", "[mnuPopup]"})
        EXPECT_EQ(bytes.find(absent), std::string::npos) << absent;
}

TEST(QtLangWindowTest, FillLanguageComboFillsAndSelects) {
    LangFolder folder;
    folder.write("Quedrix.cfg",
                 {"[Languages]", "Counter=2", "lng1=BG", "cap1=Български", "lng2=RU", "cap2=Русский"});
    ResManagerClass res;
    res.GetLanguages(AppConfig.CfgFile);
    std::string current = "RU";
    res.CurrentLanguage(current);
    QComboBox combo;
    combo.addItem(QStringLiteral("stale"));
    QtLangControl adapted(&combo);
    res.FillLanguageCombo(adapted);
    ASSERT_EQ(combo.count(), 2);
    EXPECT_EQ(combo.itemText(0), QStringLiteral("Български"));
    EXPECT_EQ(combo.itemText(1), QStringLiteral("Русский"));
    EXPECT_EQ(combo.currentIndex(), 1);
}

using QtLangStandardWindowTest = WindowFixture;

// The standard window's buttons are MyButtons: the array btnReset is keyed by each element's index.
TEST_F(QtLangStandardWindowTest, ResetButtonsAreKeyedByTheirIndex) {
    LangFolder folder;
    folder.write("Forms.lng",
                 {"[BilliardStd|ME]", "EN=Tables", "[BilliardStd|btnReset|3]", "EN=Stop 3",
                  "[BilliardStd|btnHide]", "EN=Hide", "[BilliardStd|lblTable|2]", "EN=not used"});
    CurrentLanguageCode = "EN";
    QtLangWindow adapted(window.get());
    ResManagerClass().SetLanguage(adapted, "");

    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tables"));
    for (int t = 1; t <= TableCount; ++t)
        EXPECT_EQ(window->btnReset(t)->text(), t == 3 ? QStringLiteral("Stop 3") : QStringLiteral("Спиране"));
    EXPECT_EQ(window->btnHide()->text(), QStringLiteral("Hide"));
    // Labels are keyed by name only, so an indexed section is not theirs; they still get the charset.
    EXPECT_EQ(window->lblTable(2)->text(), QStringLiteral("Маса 2"));
    EXPECT_EQ(window->lblTable(2)->property(CharsetProperty), QVariant(1));
    EXPECT_FALSE(window->Flash1()->pixmap().isNull());
}

} // namespace
