#include "MonitorWindow.h"

#include "Billiard.h"
#include "Configuration.h"
#include "ControlArray.h"
#include "ControllerDiscovery.h"
#include "ControllerFlows.h"
#include "Hourglass.h"
#include "MyButton.h"
#include "modSysTry.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr double StatusFontPoints = 8.25;
constexpr int FlashSize = 345;
constexpr int DisplayInfoInterval = 200; // ms

} // namespace

MonitorWindow::MonitorWindow(const MonitorLayout& layout, ControllerFlows& flows, QWidget* parent)
    : QWidget(parent), m_layout(layout), m_flows(flows),
      m_trayAvailable(&QSystemTrayIcon::isSystemTrayAvailable), m_processEnd(&MonitorWindow::endProcessNow) {
    setWindowTitle(QStringLiteral("Zentrovik Quedrix"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/Flash1.png")));
    setFixedSize(TwipsToPixels(layout.innerWidth), TwipsToPixels(layout.innerHeight));

    for (int t = 1; t <= TableCount; ++t) {
        m_lblTable[t] = addLabel(QStringLiteral("lblTable"), t, QStringLiteral("Маса %1").arg(t),
                                 columnRect(t, layout.tableTop, layout.labelWidth, layout.labelHeight),
                                 layout.tableFontPoints);
        m_lblTime[t] = addLabel(QStringLiteral("lblTime"), t, QStringLiteral("00:00:00"),
                                columnRect(t, layout.timeTop, layout.labelWidth, layout.labelHeight),
                                layout.tableFontPoints);
        setBackground(m_lblTime[t], QBColorIndex::Red);
    }

    auto* line1 = new QFrame(this);
    line1->setObjectName(QStringLiteral("Line1"));
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Plain);
    line1->setGeometry(TwipsToPixels(layout.firstColumnLeft), TwipsToPixels(layout.lineY),
                       TwipsToPixels(layout.lineRight - layout.firstColumnLeft) + 1, 1);

    const QRect& info = layout.info;
    m_lblInfo = addLabel(QStringLiteral("lblInfo"), -1, QStringLiteral("Не е открит контролер"),
                         TwipsRect(info.x(), info.y(), info.width(), info.height()), StatusFontPoints);

    const auto addButton = [this](const QString& name, const QString& caption, const QRect& twips) {
        auto* button = new MyButton(caption, this);
        button->setObjectName(name);
        button->setGeometry(TwipsRect(twips.x(), twips.y(), twips.width(), twips.height()));
        return button;
    };
    m_btnInfo = addButton(QStringLiteral("btnInfo"), QStringLiteral("Проверка"), layout.infoButton);
    m_btnHide = addButton(QStringLiteral("btnHide"), QStringLiteral("Скриване"), layout.hideButton);
    connect(m_btnInfo, &QPushButton::clicked, this, &MonitorWindow::btnInfo_Click);
    connect(m_btnHide, &QPushButton::clicked, this, &MonitorWindow::btnHide_Click);

    // The picture boxes are only the tray's icon sources; they lie under lblInfo and stay hidden.
    for (int n = 0; n < 3; ++n) {
        QLabel* flash = new QLabel(this);
        flash->setObjectName(QStringLiteral("Flash%1").arg(n + 1));
        flash->setGeometry(TwipsRect(layout.flash[n].x(), layout.flash[n].y(), FlashSize, FlashSize));
        flash->setPixmap(QPixmap(QStringLiteral(":/icons/Flash%1.png").arg(n + 1)));
        flash->hide();
        m_flash[n] = flash;
    }

    m_displayInfoTimer = new QTimer(this);
    m_displayInfoTimer->setObjectName(QStringLiteral("DisplayInfoTimer"));
    m_displayInfoTimer->setInterval(DisplayInfoInterval);
    connect(m_displayInfoTimer, &QTimer::timeout, this, &MonitorWindow::DisplayInfoTimer_Timer);

    createMenu();
}

void MonitorWindow::createMenu() {
    m_mnuPoppup = new QMenu(QStringLiteral("PopupMenu"), this);
    m_mnuPoppup->setObjectName(QStringLiteral("mnu_Poppup"));
    m_mnuSetup = m_mnuPoppup->addAction(QStringLiteral("Отвори"));
    m_mnuSetup->setObjectName(QStringLiteral("mnuSetup"));
    QAction* separator = m_mnuPoppup->addSeparator();
    separator->setObjectName(QStringLiteral("mnuSep"));
    SetControlIndex(separator, 0);
    m_mnuExit = m_mnuPoppup->addAction(QStringLiteral("Изход"));
    m_mnuExit->setObjectName(QStringLiteral("mnuExit"));
    connect(m_mnuSetup, &QAction::triggered, this, &MonitorWindow::mnuSetup_Click);
    connect(m_mnuExit, &QAction::triggered, this, &MonitorWindow::mnuExit_Click);
}

QRect MonitorWindow::columnRect(int table, int top, int width, int height) const {
    return TwipsRect(m_layout.firstColumnLeft + (table - 1) * m_layout.columnStep, top, width, height);
}

QLabel* MonitorWindow::addLabel(const QString& name, int index, const QString& caption, const QRect& geometry,
                                double points) {
    auto* label = new QLabel(caption, this);
    label->setObjectName(name);
    if (index >= 0)
        SetControlIndex(label, index);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(points);
    font.setBold(true);
    label->setFont(font);
    label->setAutoFillBackground(true);
    label->setGeometry(geometry);
    return label;
}

void MonitorWindow::setBackground(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, colour);
    label->setPalette(palette);
}

void MonitorWindow::setBackground(QLabel* label, QBColorIndex colour) {
    setBackground(label, QColor::fromRgb(QBColor(static_cast<int>(colour))));
}

void MonitorWindow::showTime(int table, const TimeCell& cell) {
    m_lblTime.at(table)->setText(QString::fromStdString(cell.text));
    setBackground(m_lblTime.at(table), cell.colour);
}

QIcon MonitorWindow::flashIcon(int choice) const {
    return QIcon(m_flash.at(choice)->pixmap());
}

void MonitorWindow::setTrayAvailability(std::function<bool()> available) {
    m_trayAvailable = std::move(available);
}

void MonitorWindow::setProcessEnd(std::function<void()> end) {
    m_processEnd = std::move(end);
}

void MonitorWindow::endProcessNow() {
    std::fflush(nullptr);
    std::_Exit(0);
}

void MonitorWindow::setInfoCaption(const std::string& text) {
    m_lblInfo->setText(QString::fromStdString(text));
}

void MonitorWindow::loadHidden() {
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
    if (m_trayInstalled) {
        hide();
    } else {
        m_mnuSetup->setEnabled(false);
        showWindow();
    }
}

void MonitorWindow::showWindow() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void MonitorWindow::Form_Load() {
    m_flows.request([this] { FindController(*this); });
    InstallTrayIcon();
}

void MonitorWindow::InstallTrayIcon() {
    SetTrayTip(windowTitle().toStdString());
    m_trayInstalled = m_trayAvailable();
    int32_t action = NIM_ADD;
    NotifyTray(action, 0);
}

void MonitorWindow::Form_Activate() {
    SetHourglass(false);
}

void MonitorWindow::DisplayInfoTimer_Timer() {
    m_displayInfoTimer->stop();
    RefreshTables();
    SetHourglass(false);
}

void MonitorWindow::btnInfo_Click() {
    RefreshTables();
}

void MonitorWindow::btnHide_Click() {
    m_mnuSetup->setEnabled(true);
    // Hidden without a tray icon, the window could never be brought back: minimise it instead.
    if (m_trayInstalled && m_trayAvailable())
        hide();
    else
        showMinimized();
}

void MonitorWindow::mnuSetup_Click() {
    m_mnuSetup->setEnabled(false);
    RefreshTables();
    showWindow();
}

void MonitorWindow::mnuExit_Click() {
    ExitProgram();
}

void MonitorWindow::ExitProgram() {
    int32_t action = NIM_DELETE;
    NotifyTray(action, 1);
    close();
    endProcess();
}

void MonitorWindow::Form_Unload() {
    endProcess();
}

void MonitorWindow::endProcess() {
    // Called from a pumped event in the middle of an exchange as well: the flow under way and the
    // flows queued behind it end with the process, so no frame goes out after this. What the
    // window leaves behind is given up first: the icon and the port (its exclusive use included).
    if (QSystemTrayIcon* icon = TrayIcon())
        icon->hide();
    CloseControllerPort();
    m_processEnd();
}

bool MonitorWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(event);
}

void MonitorWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    Form_Unload();
}
