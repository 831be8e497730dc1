#include "tests/ui/WindowFixture.h"

#include "monitor/Hourglass.h"
#include "monitor/modSysTry.h"
#include "ui/MyButton.h"
#include "ui/QtTrayIcon.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <optional>

namespace {

class TrayTest : public WindowFixture {
protected:
    // Loads the window hidden with a tray present; the controller is on COM1 when one is connected.
    void loadWithTray() {
        window->setTrayAvailability([] { return true; });
        window->form().loadHidden();
        ASSERT_TRUE(TrayIcon());
        ASSERT_FALSE(window->isVisible());
    }

    void sendTrayCode(int32_t code) { TrayWindowProc(window->winId(), TrayCallbackMessage, code, code); }

    void closeMenu() {
        window->mnu_Poppup()->hide();
        QCoreApplication::processEvents();
    }

    // Runs the application's event loop until the program ends itself or the time is up (status 99).
    static int runUntilTheProgramEnds(const std::function<void()>& action, int timeoutMs = 10000) {
        QTimer timeout;
        timeout.setSingleShot(true);
        QObject::connect(&timeout, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        timeout.start(timeoutMs);
        QTimer::singleShot(0, qApp, action);
        return QCoreApplication::exec();
    }
};

TEST_F(TrayTest, InstallingPutsTheCaptionAndFlash1IntoTheRecord) {
    loadWithTray();

    EXPECT_TRUE(TrayIcon()->isVisible());
    EXPECT_EQ(TrayIcon()->toolTip(), QStringLiteral("Zentrovik Quedrix"));
    EXPECT_EQ(TrayIcon()->contextMenu(), window->mnu_Poppup());
    EXPECT_EQ(
        TrayIcon()->icon().pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
        window->Flash1()->pixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied));

    EXPECT_EQ(TrayIconData.cbSize, 504u);
    EXPECT_EQ(TrayIconData.hWnd, window->winId());
    EXPECT_EQ(TrayIconData.uID, 1u);
    EXPECT_EQ(TrayIconData.uFlags, 7u);
    EXPECT_EQ(TrayIconData.uCallbackMessage, 512u);
    const char caption[] = "Zentrovik Quedrix";
    EXPECT_EQ(std::memcmp(TrayIconData.szTip.data(), caption, sizeof caption), 0); // with its NUL
}

TEST_F(TrayTest, DoubleClickShowsTheWindowAndRefreshesTwice) {
    SimulatedController& sim = connect(StillController({400, 0, 0, 0, 0, 0, 0, 0}));
    loadWithTray();
    ASSERT_EQ(ControllerPort, 1);
    SetHourglass(true); // as start-up leaves it

    emit TrayIcon()->activated(QSystemTrayIcon::DoubleClick);

    EXPECT_FALSE(window->mnuSetup()->isEnabled());
    EXPECT_TRUE(window->isVisible());
    ASSERT_TRUE(WaitUntil([&] { return sim.requests('G').size() >= 16; }))
        << sim.requests('G').size() << " table requests";
    // The timer's one tick has come and gone; nothing else may follow.
    QTest::qWait(700);
    EXPECT_EQ(sim.requests('G').size(), 16u);
    EXPECT_FALSE(window->DisplayInfoTimer()->isActive());
    EXPECT_EQ(window->lblTime(1)->text(), QStringLiteral("00:06:40"));
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

struct IgnoredCall {
    WId handleOffset;
    int32_t message;
    int32_t code;
};

void PrintTo(const IgnoredCall& c, std::ostream* out) {
    *out << "code " << c.code << " message " << c.message << (c.handleOffset ? " to another window" : "");
}

class TrayIgnoresTest : public TrayTest, public testing::WithParamInterface<IgnoredCall> {};

TEST_P(TrayIgnoresTest, NothingOpensAndNothingIsSent) {
    SimulatedController& sim = connect(StillController({}));
    loadWithTray();
    const std::size_t requestsAfterLoad = sim.requests().size();
    const IgnoredCall& call = GetParam();

    TrayWindowProc(window->winId() + call.handleOffset, call.message, call.code, call.code);
    QTest::qWait(300);

    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->mnu_Poppup()->isVisible());
    EXPECT_TRUE(window->mnuSetup()->isEnabled());
    EXPECT_FALSE(window->DisplayInfoTimer()->isActive());
    EXPECT_EQ(sim.requests().size(), requestsAfterLoad);
}

INSTANTIATE_TEST_SUITE_P(Codes, TrayIgnoresTest,
                         testing::Values(IgnoredCall{0, 1025, 512}, IgnoredCall{0, 1025, 513},
                                         IgnoredCall{0, 1025, 514}, IgnoredCall{0, 1025, 516},
                                         IgnoredCall{0, 1025, 518}, IgnoredCall{0, 1025, 519},
                                         IgnoredCall{0, 1025, 520}, IgnoredCall{0, 1025, 0},
                                         IgnoredCall{0, 1025, -1},
                                         // The two acting codes, but not for MainForm's handle or message.
                                         IgnoredCall{0, 1024, 515}, IgnoredCall{0, 512, 517},
                                         IgnoredCall{1, 1025, 515}, IgnoredCall{1, 1025, 517}));

TEST_F(TrayTest, SingleAndMiddleClicksOnTheIconDoNothing) {
    loadWithTray();

    emit TrayIcon()->activated(QSystemTrayIcon::Trigger);
    emit TrayIcon()->activated(QSystemTrayIcon::MiddleClick);
    emit TrayIcon()->activated(QSystemTrayIcon::Unknown);
    QTest::qWait(300);

    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->mnu_Poppup()->isVisible());
    EXPECT_FALSE(window->DisplayInfoTimer()->isActive());
}

TEST_F(TrayTest, MouseMovesOverTheWindowOpenNothing) {
    loadWithTray();
    window->showWindow();
    window->mnuSetup()->setEnabled(true); // a state the tray codes would change
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

    for (const int x : {512, 515, 517, 520}) {
        QTest::mouseMove(window.get(), QPoint(x, 20));
        QMouseEvent move(QEvent::MouseMove, QPointF(x, 20), window->mapToGlobal(QPointF(x, 20)), Qt::NoButton,
                         Qt::RightButton, Qt::NoModifier);
        QCoreApplication::sendEvent(window.get(), &move);
    }
    QTest::qWait(300);

    EXPECT_FALSE(window->mnu_Poppup()->isVisible());
    EXPECT_TRUE(window->mnuSetup()->isEnabled());
    EXPECT_FALSE(window->DisplayInfoTimer()->isActive());
}

TEST_F(TrayTest, RightClickPopsUpTheMenuWithOpenGreyedWhileShownAndHideTurnsItOn) {
    loadWithTray();

    emit TrayIcon()->activated(QSystemTrayIcon::Context);
    ASSERT_TRUE(window->mnu_Poppup()->isVisible());
    EXPECT_TRUE(window->mnuSetup()->isEnabled());
    EXPECT_TRUE(window->mnuExit()->isEnabled());
    closeMenu();

    sendTrayCode(515);
    sendTrayCode(517);
    ASSERT_TRUE(window->mnu_Poppup()->isVisible());
    EXPECT_FALSE(window->mnuSetup()->isEnabled());
    closeMenu();

    window->btnHide()->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(TrayIcon()->isVisible());
    sendTrayCode(517);
    ASSERT_TRUE(window->mnu_Poppup()->isVisible());
    EXPECT_TRUE(window->mnuSetup()->isEnabled());
    closeMenu();
}

TEST_F(TrayTest, AMenuAlreadyUpIsNotPoppedUpASecondTime) {
    loadWithTray();
    const QPoint elsewhere = QCursor::pos() + QPoint(40, 30);
    window->mnu_Poppup()->popup(elsewhere); // as Qt does by itself on the XEmbed path
    ASSERT_TRUE(window->mnu_Poppup()->isVisible());
    const QPoint shownAt = window->mnu_Poppup()->pos();

    sendTrayCode(517);

    EXPECT_TRUE(window->mnu_Poppup()->isVisible());
    EXPECT_EQ(window->mnu_Poppup()->pos(), shownAt);
    closeMenu();
}

TEST_F(TrayTest, OpenFromTheMenuRefreshesShowsAndGreysItself) {
    SimulatedController& sim = connect(StillController({}));
    loadWithTray();

    window->mnuSetup()->trigger();

    EXPECT_FALSE(window->mnuSetup()->isEnabled());
    EXPECT_TRUE(window->isVisible());
    // Its own refresh, then the one of the activation.
    ASSERT_TRUE(WaitUntil([&] { return sim.requests('G').size() >= 16; }));
    QTest::qWait(500);
    EXPECT_EQ(sim.requests('G').size(), 16u);
}

TEST_F(TrayTest, WithoutATrayTheWindowIsShownAndHideMinimises) {
    window->setTrayAvailability([] { return false; });

    window->form().loadHidden();

    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isMinimized());
    window->btnHide()->click();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isMinimized());
    EXPECT_TRUE(window->mnuSetup()->isEnabled());
}

TEST_F(TrayTest, ATrayThatGoesAwayMakesHideMinimise) {
    bool trayThere = true;
    window->setTrayAvailability([&] { return trayThere; });
    window->form().loadHidden();
    sendTrayCode(515);

    trayThere = false;
    window->btnHide()->click();

    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->isMinimized());
}

// Notes whether the tray icon is still there when the window receives its close event.
class IconAtClose : public QObject {
public:
    std::optional<bool> iconShown;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close && !iconShown)
            iconShown = TrayIcon()->isVisible();
        return QObject::eventFilter(watched, event);
    }
};

TEST_F(TrayTest, ExitRemovesTheIconBeforeTheWindowGoesAndEndsTheProgram) {
    loadWithTray();
    ASSERT_TRUE(TrayIcon()->isVisible());
    IconAtClose watch;
    window->installEventFilter(&watch);

    EXPECT_EQ(runUntilTheProgramEnds([&] { window->mnuExit()->trigger(); }), 0);
    EXPECT_FALSE(TrayIcon()->isVisible());
    EXPECT_EQ(watch.iconShown, std::optional<bool>(false));
    window->removeEventFilter(&watch);
}

TEST_F(TrayTest, ClosingTheWindowEndsTheProgram) {
    loadWithTray();
    sendTrayCode(515);

    EXPECT_EQ(runUntilTheProgramEnds([&] { window->close(); }), 0);
}

} // namespace

namespace {

// The watch's calls: the red icon in place of Flash1 until it is changed back, and its timer's tick.
TEST_F(TrayTest, TheWatchsAlertIconReplacesFlash1AndItsTimerIsWired) {
    loadWithTray();
    const auto picture = [] {
        return TrayIcon()->icon().pixmap(16, 16).toImage().convertToFormat(
            QImage::Format_ARGB32_Premultiplied);
    };
    const QImage flash1 = picture();
    int32_t action = NIM_MODIFY;
    NotifyTray(action, AlertIcon);
    EXPECT_EQ(picture(), QImage(QStringLiteral(":/icons/FlashAlert.png"))
                             .convertToFormat(QImage::Format_ARGB32_Premultiplied));
    NotifyTray(action, 0);
    EXPECT_EQ(picture(), flash1);
    window->startWindowTimer(MonitorView::Timer::WatchTimer, 15000);
    EXPECT_TRUE(window->WatchTimer()->isActive());
    EXPECT_EQ(window->WatchTimer()->interval(), 15000);
}

} // namespace
