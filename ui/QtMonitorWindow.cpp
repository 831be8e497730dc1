#include "QtMonitorWindow.h"

#include "Configuration.h"
#include "ControlArray.h"
#include "Hourglass.h"
#include "MonitorCaptions.h"
#include "MyButton.h"
#include "ProcessEnd.h"
#include "QtTrayIcon.h"
#include "UserTimeSeparator.h"
#include "modSysTry.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

QRect TwipsRect(const TwipRect& twips) {
    return {TwipsToPixels(twips.x), TwipsToPixels(twips.y), TwipsToPixels(twips.width),
            TwipsToPixels(twips.height)};
}

QtMonitorWindow::QtMonitorWindow(const MonitorLayout& layout, QWidget* parent)
    : QWidget(parent), m_layout(layout), m_trayAvailable(&QSystemTrayIcon::isSystemTrayAvailable),
      m_processEnd(&EndProcessNow) {
    setWindowTitle(QString::fromUtf8(MonitorCaptions::Window));
    setWindowIcon(QIcon(QStringLiteral(":/icons/Flash1.png")));
    setFixedSize(TwipsToPixels(layout.innerWidth), TwipsToPixels(layout.innerHeight));

    for (int t = 1; t <= TableCount; ++t) {
        m_lblTable[t] = addLabel(
            QStringLiteral("lblTable"), t, QString::fromStdString(MonitorCaptions::Table(t)),
            columnRect(t, layout.tableTop, layout.labelWidth, layout.labelHeight), layout.tableFontPoints);
        m_lblTime[t] = addLabel(QStringLiteral("lblTime"), t, QString::fromUtf8(MonitorCaptions::Time),
                                columnRect(t, layout.timeTop, layout.labelWidth, layout.labelHeight),
                                layout.tableFontPoints);
        setBackground("lblTime", t, QBColor(static_cast<int>(QBColorIndex::Red)));
    }

    auto* line1 = new QFrame(this);
    line1->setObjectName(QStringLiteral("Line1"));
    line1->setFrameShape(QFrame::HLine);
    line1->setFrameShadow(QFrame::Plain);
    line1->setGeometry(TwipsToPixels(layout.firstColumnLeft), TwipsToPixels(layout.lineY),
                       TwipsToPixels(layout.lineRight - layout.firstColumnLeft) + 1, 1);

    m_lblInfo = addLabel(QStringLiteral("lblInfo"), -1, QString::fromUtf8(MonitorCaptions::Info),
                         TwipsRect(layout.info), StatusFontPoints);

    const auto addButton = [this](const QString& name, const QString& caption, const TwipRect& twips) {
        auto* button = new MyButton(caption, this);
        button->setObjectName(name);
        button->setGeometry(TwipsRect(twips));
        return button;
    };
    m_btnInfo = addButton(QStringLiteral("btnInfo"), QString::fromUtf8(MonitorCaptions::InfoButton),
                          layout.infoButton);
    m_btnHide = addButton(QStringLiteral("btnHide"), QString::fromUtf8(MonitorCaptions::HideButton),
                          layout.hideButton);

    // The picture boxes are only the tray's icon sources; they lie under lblInfo and stay hidden.
    for (int n = 0; n < 3; ++n) {
        QLabel* flash = new QLabel(this);
        flash->setObjectName(QStringLiteral("Flash%1").arg(n + 1));
        flash->setGeometry(TwipsRect({layout.flash[n].x, layout.flash[n].y, FlashSize, FlashSize}));
        flash->setPixmap(QPixmap(QStringLiteral(":/icons/Flash%1.png").arg(n + 1)));
        flash->hide();
        m_flash[n] = flash;
    }

    m_displayInfoTimer = new QTimer(this);
    m_displayInfoTimer->setObjectName(QStringLiteral("DisplayInfoTimer"));
    m_displayInfoTimer->setInterval(MonitorWindow::DisplayInfoIntervalMs);
    m_trayIconRetry = new QTimer(this);
    m_trayIconRetry->setObjectName(QStringLiteral("TrayIconRetry"));
    m_watchTimer = new QTimer(this);
    m_watchTimer->setObjectName(QStringLiteral("WatchTimer"));

    createMenu();
}

QtMonitorWindow::~QtMonitorWindow() = default;

void QtMonitorWindow::createMenu() {
    m_mnuPoppup = new QMenu(QStringLiteral("PopupMenu"), this);
    m_mnuPoppup->setObjectName(QStringLiteral("mnu_Poppup"));
    m_mnuSetup = m_mnuPoppup->addAction(QString::fromUtf8(MonitorCaptions::Setup));
    m_mnuSetup->setObjectName(QStringLiteral("mnuSetup"));
    QAction* separator = m_mnuPoppup->addSeparator();
    separator->setObjectName(QStringLiteral("mnuSep"));
    SetControlIndex(separator, 0);
    m_mnuExit = m_mnuPoppup->addAction(QString::fromUtf8(MonitorCaptions::Exit));
    m_mnuExit->setObjectName(QStringLiteral("mnuExit"));
}

void QtMonitorWindow::adopt(std::unique_ptr<MonitorWindow> form) {
    m_form = std::move(form);
    MonitorWindow* handlers = m_form.get();
    connect(m_btnInfo, &QPushButton::clicked, this, [handlers] { handlers->btnInfo_Click(); });
    connect(m_btnHide, &QPushButton::clicked, this, [handlers] { handlers->btnHide_Click(); });
    connect(m_displayInfoTimer, &QTimer::timeout, this, [handlers] { handlers->DisplayInfoTimer_Timer(); });
    connect(m_trayIconRetry, &QTimer::timeout, this, [handlers] { handlers->TrayIconRetry_Timer(); });
    connect(m_watchTimer, &QTimer::timeout, this, [handlers] { handlers->WatchTimer_Timer(); });
    connect(m_mnuSetup, &QAction::triggered, this, [handlers] { handlers->mnuSetup_Click(); });
    connect(m_mnuExit, &QAction::triggered, this, [handlers] { handlers->mnuExit_Click(); });
}

QRect QtMonitorWindow::columnRect(int table, int top, int width, int height) const {
    return TwipsRect(ColumnRect(m_layout, table, top, width, height));
}

QLabel* QtMonitorWindow::addLabel(const QString& name, int index, const QString& caption,
                                  const QRect& geometry, double points) {
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

MyButton* QtMonitorWindow::addTableButton(const QString& name, int table, const QString& caption) {
    auto* button = new MyButton(caption, this);
    button->setObjectName(name);
    SetControlIndex(button, table);
    button->setGeometry(
        columnRect(table, m_layout.tableButtonTop, m_layout.tableButtonWidth, m_layout.tableButtonHeight));
    return button;
}

QTimer* QtMonitorWindow::timer(Timer which) const {
    if (which == Timer::TrayIconRetry)
        return m_trayIconRetry;
    if (which == Timer::WatchTimer)
        return m_watchTimer;
    return which == Timer::DisplayInfoTimer ? m_displayInfoTimer : nullptr;
}

QIcon QtMonitorWindow::flashIcon(int choice) const {
    if (choice == AlertIcon)
        return QIcon(QStringLiteral(":/icons/FlashAlert.png"));
    return QIcon(m_flash.at(choice)->pixmap());
}

void QtMonitorWindow::setTrayAvailability(std::function<bool()> available) {
    m_trayAvailable = std::move(available);
}

void QtMonitorWindow::setProcessEnd(std::function<void()> end) {
    m_processEnd = std::move(end);
}

uintptr_t QtMonitorWindow::windowHandle() const {
    return winId();
}

std::string QtMonitorWindow::windowCaption() const {
    return windowTitle().toStdString();
}

void QtMonitorWindow::setCaption(const std::string& control, int index, const std::string& text) {
    if (QLabel* label = FindControl<QLabel>(this, QString::fromStdString(control), index))
        label->setText(QString::fromStdString(text));
}

void QtMonitorWindow::setBackground(const std::string& control, int index, uint32_t rgb) {
    QLabel* label = FindControl<QLabel>(this, QString::fromStdString(control), index);
    if (label == nullptr)
        return;
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, QColor::fromRgb(rgb));
    label->setPalette(palette);
}

void QtMonitorWindow::setMenuItemEnabled(const std::string& item, bool enabled) {
    if (QAction* action = FindControl<QAction>(this, QString::fromStdString(item)))
        action->setEnabled(enabled);
}

void QtMonitorWindow::showWindow() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void QtMonitorWindow::hideWindow() {
    hide();
}

void QtMonitorWindow::minimiseWindow() {
    showMinimized();
}

bool QtMonitorWindow::windowVisible() const {
    return isVisible();
}

void QtMonitorWindow::unloadWindow() {
    close();
}

void QtMonitorWindow::startWindowTimer(Timer which, int intervalMs) {
    if (QTimer* t = timer(which))
        t->start(intervalMs);
}

void QtMonitorWindow::stopWindowTimer(Timer which) {
    if (QTimer* t = timer(which))
        t->stop();
}

void QtMonitorWindow::popUpMenu() {
    // On the XEmbed path Qt has already popped the menu up on the press: one menu only.
    if (!m_mnuPoppup->isVisible())
        m_mnuPoppup->popup(QCursor::pos());
}

bool QtMonitorWindow::trayAvailable() const {
    return m_trayAvailable();
}

// Qt docks a shown icon by itself once a tray turns up; the icon is in place when a tray is there.
bool QtMonitorWindow::shellNotifyIcon(int32_t action, const NotifyIconData& data) {
    if (action == NIM_ADD) {
        const bool known = data.hIcon >= 0 && data.hIcon <= AlertIcon;
        ShowTrayIcon(this, m_mnuPoppup, known ? flashIcon(data.hIcon) : QIcon(),
                     QString::fromStdString(TrayTip()));
        return trayAvailable();
    }
    if (action == NIM_MODIFY && data.hIcon >= 0 && data.hIcon <= AlertIcon)
        SetTrayIconPicture(flashIcon(data.hIcon));
    if (action == NIM_DELETE)
        HideTrayIcon();
    return true;
}

void QtMonitorWindow::showBalloon(const std::string& title, const std::string& text) {
    ShowTrayMessage(QString::fromStdString(title), QString::fromStdString(text));
}

void QtMonitorWindow::setHourglass(bool on) {
    SetHourglass(on);
}

void QtMonitorWindow::pumpEvents() {
    QCoreApplication::processEvents();
}

std::string QtMonitorWindow::userTimeSeparator() const {
    return UserTimeSeparator();
}

void QtMonitorWindow::endProcess() {
    m_processEnd();
}

bool QtMonitorWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && m_form)
        m_form->Form_Activate();
    return QWidget::event(event);
}

void QtMonitorWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    if (m_form)
        m_form->Form_Unload();
}
