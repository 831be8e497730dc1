#include "ui/QtMonitorWindow.h"

#include "common/Configuration.h"
#include "monitor/Hourglass.h"
#include "monitor/MonitorCaptions.h"
#include "monitor/ProcessEnd.h"
#include "monitor/modSysTry.h"
#include "ui/ControlArray.h"
#include "ui/MyButton.h"
#include "ui/QtTrayIcon.h"
#include "ui/UserTimeSeparator.h"

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

QtMonitorWindow::QtMonitorWindow(MonitorMode mode, QWidget* parent)
    : QWidget(parent), m_trayAvailable(&QSystemTrayIcon::isSystemTrayAvailable),
      m_processEnd(&EndProcessNow) {
    const WindowDescription& description = MonitorControls(mode);
    setObjectName(QString::fromStdString(description.name));
    setWindowTitle(QString::fromUtf8(MonitorCaptions::Window));
    setWindowIcon(QIcon(QStringLiteral(":/icons/Flash1.png")));
    setFixedSize(TwipsToPixels(description.innerWidth), TwipsToPixels(description.innerHeight));
    for (const WindowControl& control : description.controls)
        addControl(control);

    m_displayInfoTimer = new QTimer(this);
    m_displayInfoTimer->setObjectName(QStringLiteral("DisplayInfoTimer"));
    m_displayInfoTimer->setInterval(MonitorWindow::DisplayInfoIntervalMs);
    m_trayIconRetry = new QTimer(this);
    m_trayIconRetry->setObjectName(QStringLiteral("TrayIconRetry"));
    m_watchTimer = new QTimer(this);
    m_watchTimer->setObjectName(QStringLiteral("WatchTimer"));

    createMenu();
}

void QtMonitorWindow::addControl(const WindowControl& control) {
    switch (control.kind) {
    case ControlKind::Label:
        addLabel(control);
        break;
    case ControlKind::Button:
        addButton(control);
        break;
    case ControlKind::Line:
        addLine(control);
        break;
    case ControlKind::Picture:
        addPicture(control);
        break;
    }
}

void QtMonitorWindow::addLabel(const WindowControl& control) {
    auto* label = new QLabel(QString::fromStdString(control.caption), this);
    label->setObjectName(QString::fromStdString(control.name));
    if (control.index >= 0)
        SetControlIndex(label, control.index);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(control.fontPoints);
    font.setBold(true);
    label->setFont(font);
    label->setAutoFillBackground(true);
    label->setGeometry(TwipsRect(control.rect));
    if (control.background)
        setBackground(control.name, control.index, *control.background);
}

// Buttons keep the toolkit's own font.
void QtMonitorWindow::addButton(const WindowControl& control) {
    auto* button = new MyButton(QString::fromStdString(control.caption), this);
    button->setObjectName(QString::fromStdString(control.name));
    if (control.index >= 0)
        SetControlIndex(button, control.index);
    button->setGeometry(TwipsRect(control.rect));
    connect(button, &QPushButton::clicked, this, [this, name = control.name, index = control.index] {
        if (m_form)
            m_form->Button_Click(name, index);
    });
}

void QtMonitorWindow::addLine(const WindowControl& control) {
    auto* line = new QFrame(this);
    line->setObjectName(QString::fromStdString(control.name));
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setGeometry(TwipsRect(control.rect));
}

void QtMonitorWindow::addPicture(const WindowControl& control) {
    const int n = m_pictures++;
    auto* picture = new QLabel(this);
    picture->setObjectName(QString::fromStdString(control.name));
    picture->setGeometry(TwipsRect(control.rect));
    picture->setPixmap(QPixmap(QStringLiteral(":/icons/Flash%1.png").arg(n + 1)));
    picture->hide();
    m_flash.at(n) = picture;
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
    connect(m_displayInfoTimer, &QTimer::timeout, this, [handlers] { handlers->DisplayInfoTimer_Timer(); });
    connect(m_trayIconRetry, &QTimer::timeout, this, [handlers] { handlers->TrayIconRetry_Timer(); });
    connect(m_watchTimer, &QTimer::timeout, this, [handlers] { handlers->WatchTimer_Timer(); });
    connect(m_mnuSetup, &QAction::triggered, this, [handlers] { handlers->mnuSetup_Click(); });
    connect(m_mnuExit, &QAction::triggered, this, [handlers] { handlers->mnuExit_Click(); });
}

QLabel* QtMonitorWindow::lblTable(int table) const {
    return FindControl<QLabel>(this, QStringLiteral("lblTable"), table);
}

QLabel* QtMonitorWindow::lblTime(int table) const {
    return FindControl<QLabel>(this, QStringLiteral("lblTime"), table);
}

QLabel* QtMonitorWindow::lblInfo() const {
    return FindControl<QLabel>(this, QStringLiteral("lblInfo"));
}

MyButton* QtMonitorWindow::btnInfo() const {
    return FindControl<MyButton>(this, QStringLiteral("btnInfo"));
}

MyButton* QtMonitorWindow::btnHide() const {
    return FindControl<MyButton>(this, QStringLiteral("btnHide"));
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
