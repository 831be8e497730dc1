#include "tests/ui/WindowFixture.h"

#include "ui/ControlArray.h"
#include "ui/MyButton.h"

#include <QFrame>
#include <QMenu>
#include <QTimer>

namespace {

using BilliardStdTest = WindowFixture;

void expectLabelFace(const QLabel* label) {
    SCOPED_TRACE(label->objectName().toStdString());
    EXPECT_EQ(label->font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_TRUE(label->font().bold());
    EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 8.25);
}

TEST_F(BilliardStdTest, ControlsCarryTheirNamesCaptionsPlacesAndFaces) {
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Zentrovik Quedrix"));
    EXPECT_EQ(window->size(), QSize(585, 111));

    for (int t = 1; t <= TableCount; ++t) {
        SCOPED_TRACE(t);
        const int left = 6 + (t - 1) * 72;
        QLabel* table = FindControl<QLabel>(window.get(), QStringLiteral("lblTable"), t);
        QLabel* time = FindControl<QLabel>(window.get(), QStringLiteral("lblTime"), t);
        MyButton* reset = FindControl<MyButton>(window.get(), QStringLiteral("btnReset"), t);
        ASSERT_EQ(table, window->lblTable(t));
        ASSERT_EQ(time, window->lblTime(t));
        ASSERT_EQ(reset, window->btnReset(t));
        EXPECT_EQ(table->text(), QStringLiteral("Маса %1").arg(t));
        EXPECT_EQ(table->geometry(), QRect(left, 8, 69, 15));
        EXPECT_EQ(time->text(), QStringLiteral("00:00:00"));
        EXPECT_EQ(time->geometry(), QRect(left, 26, 69, 15));
        EXPECT_EQ(background(time), QColor(255, 0, 0));
        EXPECT_EQ(reset->text(), QStringLiteral("Спиране"));
        EXPECT_EQ(reset->geometry(), QRect(left, 44, 69, 29));
        expectLabelFace(table);
        expectLabelFace(time);
    }

    QLabel* info = FindControl<QLabel>(window.get(), QStringLiteral("lblInfo"));
    ASSERT_EQ(info, window->lblInfo());
    EXPECT_EQ(info->text(), QStringLiteral("Не е открит контролер"));
    EXPECT_EQ(info->geometry(), QRect(8, 88, 387, 17));
    expectLabelFace(info);
    MyButton* check = FindControl<MyButton>(window.get(), QStringLiteral("btnInfo"));
    MyButton* hide = FindControl<MyButton>(window.get(), QStringLiteral("btnHide"));
    ASSERT_TRUE(check && hide);
    EXPECT_EQ(check->text(), QStringLiteral("Проверка"));
    EXPECT_EQ(check->geometry(), QRect(398, 82, 89, 25));
    EXPECT_EQ(hide->text(), QStringLiteral("Скриване"));
    EXPECT_EQ(hide->geometry(), QRect(490, 82, 89, 25));

    QFrame* line = FindControl<QFrame>(window.get(), QStringLiteral("Line1"));
    ASSERT_TRUE(line);
    EXPECT_EQ(line->geometry().topLeft(), QPoint(6, 76));
    EXPECT_EQ(line->geometry().right(), 580);

    const QPoint flashPlaces[] = {{346, 84}, {372, 84}, {320, 84}};
    for (int n = 1; n <= 3; ++n) {
        QLabel* flash = FindControl<QLabel>(window.get(), QStringLiteral("Flash%1").arg(n));
        ASSERT_TRUE(flash);
        EXPECT_EQ(flash->geometry(), QRect(flashPlaces[n - 1], QSize(23, 23)));
        EXPECT_EQ(flash->pixmap().size(), QSize(16, 16));
    }
}

TEST_F(BilliardStdTest, TimerAndMenuAsDesigned) {
    QTimer* timer = window->findChild<QTimer*>(QStringLiteral("DisplayInfoTimer"));
    ASSERT_EQ(timer, window->DisplayInfoTimer());
    EXPECT_EQ(timer->interval(), 200);
    EXPECT_FALSE(timer->isActive());

    QMenu* menu = window->findChild<QMenu*>(QStringLiteral("mnu_Poppup"));
    ASSERT_EQ(menu, window->mnu_Poppup());
    EXPECT_EQ(menu->title(), QStringLiteral("PopupMenu"));
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0], window->mnuSetup());
    EXPECT_EQ(items[0]->objectName(), QStringLiteral("mnuSetup"));
    EXPECT_EQ(items[0]->text(), QStringLiteral("Отвори"));
    EXPECT_TRUE(items[0]->isEnabled());
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[1]->objectName(), QStringLiteral("mnuSep"));
    EXPECT_EQ(ControlIndex(items[1]), 0);
    EXPECT_EQ(items[2], window->mnuExit());
    EXPECT_EQ(items[2]->objectName(), QStringLiteral("mnuExit"));
    EXPECT_EQ(items[2]->text(), QStringLiteral("Изход"));
}

TEST_F(BilliardStdTest, IconsComeInThreeColourDepths) {
    const QImage full(QStringLiteral(":/icons/Flash1.png"));
    const QImage palette256(QStringLiteral(":/icons/Flash2.png"));
    const QImage palette16(QStringLiteral(":/icons/Flash3.png"));
    for (const QImage* image : {&full, &palette256, &palette16}) {
        EXPECT_EQ(image->size(), QSize(16, 16));
        // Rounded corners see through to the tray; the ball in the middle does not.
        EXPECT_LT(qAlpha(image->pixel(0, 0)), 64);
        EXPECT_EQ(qAlpha(image->pixel(8, 8)), 255);
    }
    EXPECT_TRUE(full.hasAlphaChannel());
    EXPECT_EQ(full.depth(), 32);
    EXPECT_EQ(palette256.format(), QImage::Format_Indexed8);
    EXPECT_GT(palette256.colorCount(), 16);
    EXPECT_LE(palette256.colorCount(), 256);
    EXPECT_LE(palette16.colorCount(), 16);
    EXPECT_EQ(window->Flash1()->pixmap().toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
              full.convertToFormat(QImage::Format_ARGB32_Premultiplied));
}

TEST_F(BilliardStdTest, RefreshShowsEachReadingWithItsColour) {
    SimOptions options = StillController({0, 1, 300, 301, 3725, 500, 40000, 99999});
    options.silentTables = {6};
    connect(options);
    ControllerPort = 1;

    window->btnInfo()->click();

    struct Expected {
        const char* text;
        QColor colour;
    };
    const QColor red(255, 0, 0), yellow(255, 255, 0), green(0, 255, 0);
    const Expected expected[] = {{"00:00:00", red},   {"00:00:01", yellow}, {"00:05:00", yellow},
                                 {"00:05:01", green}, {"01:02:05", green},  {"---", red},
                                 {"11:06:40", green}, {"27:46:39", green}};
    for (int t = 1; t <= TableCount; ++t) {
        SCOPED_TRACE(t);
        EXPECT_EQ(window->lblTime(t)->text(), QString::fromUtf8(expected[t - 1].text));
        EXPECT_EQ(background(window->lblTime(t)), expected[t - 1].colour);
    }
    EXPECT_FALSE(ControllerSerial().PortOpen());
}

TEST_F(BilliardStdTest, ResetSendsOnlyItsTableThenRefreshes) {
    SimulatedController& sim = connect(StillController({500, 500, 500, 500, 500, 500, 500, 500}));
    ControllerPort = 1;

    window->btnReset(3)->click();

    std::vector<std::string> expected{"R03"};
    expected.insert(expected.end(), AllTables.begin(), AllTables.end());
    EXPECT_EQ(sim.requests(), expected);
    EXPECT_EQ(window->lblTime(3)->text(), QStringLiteral("00:00:00"));
    EXPECT_EQ(background(window->lblTime(3)), QColor(255, 0, 0));
    EXPECT_EQ(window->lblTime(4)->text(), QStringLiteral("00:08:20"));
    EXPECT_FALSE(ControllerSerial().PortOpen());
}

TEST_F(BilliardStdTest, NoControllerLeavesLabelsAndPortAlone) {
    SimulatedController& sim = connect(StillController({500, 500, 500, 500, 500, 500, 500, 500}));
    ControllerPort = 0;

    window->btnInfo()->click();
    window->form().RefreshTables();
    window->form().Form_Activate();
    window->form().DisplayInfoTimer_Timer();

    for (int t = 1; t <= TableCount; ++t) {
        EXPECT_EQ(window->lblTime(t)->text(), QStringLiteral("00:00:00"));
        EXPECT_EQ(background(window->lblTime(t)), QColor(255, 0, 0));
    }
    EXPECT_EQ(window->lblInfo()->text(), QStringLiteral("Не е открит контролер"));
    EXPECT_TRUE(sim.requests().empty());
}

TEST_F(BilliardStdTest, RequestsDuringARefreshRunAfterItInOrder) {
    SimulatedController& sim = connect(StillController({500, 500, 500, 500, 500, 500, 500, 500}));
    ControllerPort = 1;
    // Each of these arrives through the events that the serial line lets run mid-refresh.
    std::vector<bool> busyAtClick;
    QTimer::singleShot(0, window.get(), [&] {
        busyAtClick.push_back(flows.busy());
        window->btnInfo()->click();
        window->btnReset(2)->click();
        window->form().RefreshTables();
        window->btnReset(5)->click();
        window->btnInfo()->click();
    });

    window->form().RefreshTables();

    ASSERT_EQ(busyAtClick, std::vector<bool>{true}) << "the clicks did not land inside the refresh";
    std::vector<std::string> expected = AllTables;
    expected.push_back("R02");
    expected.push_back("R05");
    expected.insert(expected.end(), AllTables.begin(), AllTables.end());
    EXPECT_EQ(sim.requests(), expected);
    EXPECT_EQ(flows.pending(), 0u);
    EXPECT_EQ(window->lblTime(2)->text(), QStringLiteral("00:00:00"));
    EXPECT_EQ(window->lblTime(5)->text(), QStringLiteral("00:00:00"));
    EXPECT_EQ(window->lblTime(1)->text(), QStringLiteral("00:08:20"));
}

TEST_F(BilliardStdTest, LoadingFindsTheControllerAndShowsItsPort) {
    SimulatedController& sim = connect(StillController({}, 7));
    window->setTrayAvailability([] { return true; });

    window->form().loadHidden();

    EXPECT_EQ(ControllerPort, 1);
    EXPECT_EQ(window->lblInfo()->text(), QStringLiteral("Контролер на COM:1, Версия: 7"));
    EXPECT_EQ(sim.requests(), std::vector<std::string>{"V00"});
    EXPECT_FALSE(window->isVisible());
}

TEST_F(BilliardStdTest, LoadingWithoutControllerKeepsTheStatusText) {
    window->setTrayAvailability([] { return true; });

    window->form().loadHidden();

    EXPECT_EQ(ControllerPort, 0);
    EXPECT_EQ(window->lblInfo()->text(), QStringLiteral("Не е открит контролер"));
}

} // namespace
