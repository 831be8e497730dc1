// modSysTry.h names the tray constants as the Win32 headers do; it comes before <windows.h>.
#include "monitor/modSysTry.h"

#include "winui/Win32MonitorWindow.h"

#include "common/Configuration.h"
#include "common/LocaleInfoWin32.h"
#include "common/Win32Text.h"
#include "monitor/Hourglass.h"
#include "monitor/MonitorCaptions.h"
#include "monitor/ProcessEnd.h"
#include "monitor/RefreshCycle.h"
#include "winui/Win32ControlName.h"
#include "winui/Win32Font.h"
#include "winui/Win32Hourglass.h"
#include "winui/Win32WindowText.h"
#include "winui/WinuiResources.h"

#include <algorithm>
#include <windowsx.h>

#include <cstring>
#include <cwchar>

namespace {

constexpr wchar_t WindowClass[] = L"QuedrixMonitor";
constexpr char LabelFace[] = "MS Sans Serif";
constexpr int CyrillicCharset = 204; // RUSSIAN_CHARSET
constexpr DWORD WindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int MenuSetupId = 1;
constexpr int MenuExitId = 2;

// One brush per colour for the life of the process: a refresh repaints with the brushes it has.
HBRUSH brushOf(COLORREF colour) {
    static std::map<COLORREF, HBRUSH> brushes;
    auto found = brushes.find(colour);
    if (found == brushes.end())
        found = brushes.emplace(colour, ::CreateSolidBrush(colour)).first;
    return found->second;
}

COLORREF colourRefOf(uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

void registerWindowClass() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof(windowClass);
        windowClass.lpfnWndProc = ::DefWindowProcW; // each window puts its own in place at creation
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hIcon = ::LoadIconW(windowClass.hInstance, MAKEINTRESOURCEW(IDI_FLASH1));
        windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = WindowClass;
        return ::RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

void trackPopupMenu(HWND owner, HMENU menu, POINT at) {
    ::TrackPopupMenu(menu, TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr);
}

bool notifyIcon(DWORD action, NOTIFYICONDATAA& data) {
    return ::Shell_NotifyIconA(action, &data) != FALSE;
}

bool showBalloonOnIcon(NOTIFYICONDATAW& data) {
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// Copies text into a fixed field of the record, cut to fit with its NUL.
template <size_t N> void copyField(wchar_t (&field)[N], const std::string& utf8) {
    const std::wstring text = WideFromUtf8(utf8);
    std::wmemcpy(field, text.data(), std::min(text.size(), N - 1));
}

// What the shell broadcasts to every top-level window when it has made the taskbar anew.
UINT taskbarCreatedMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

} // namespace

RECT PixelRect(const TwipRect& twips) {
    const int left = TwipsToPixels(twips.x);
    const int top = TwipsToPixels(twips.y);
    return {left, top, left + TwipsToPixels(twips.width), top + TwipsToPixels(twips.height)};
}

Win32MonitorWindow::Win32MonitorWindow(MonitorMode mode)
    : m_notifyIcon(&notifyIcon), m_balloon(&showBalloonOnIcon), m_menuTracker(&trackPopupMenu), m_processEnd(&EndProcessNow) {
    registerWindowClass();
    const WindowDescription& description = MonitorControls(mode);
    RECT frame{0, 0, TwipsToPixels(description.innerWidth), TwipsToPixels(description.innerHeight)};
    ::AdjustWindowRectEx(&frame, WindowStyle, FALSE, 0);
    m_hwnd =
        ::CreateWindowExW(0, WindowClass, WideFromUtf8(MonitorCaptions::Window).c_str(), WindowStyle,
                          CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top,
                          nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    SetControlName(m_hwnd, description.name);
    ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32MonitorWindow::windowProc));
    for (const WindowControl& control : description.controls)
        addControl(control);
    createMenu();
}

Win32MonitorWindow::~Win32MonitorWindow() {
    ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
    ::DestroyWindow(m_hwnd);
    ::DestroyMenu(m_menu);
}

void Win32MonitorWindow::createMenu() {
    m_menu = ::CreatePopupMenu();
    ::AppendMenuW(m_menu, MF_STRING, MenuSetupId, WideFromUtf8(MonitorCaptions::Setup).c_str());
    ::AppendMenuW(m_menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(m_menu, MF_STRING, MenuExitId, WideFromUtf8(MonitorCaptions::Exit).c_str());
    m_menuItems = {{"mnuSetup", MenuSetupId}, {"mnuExit", MenuExitId}};
}

void Win32MonitorWindow::adopt(std::unique_ptr<MonitorWindow> form) {
    m_form = std::move(form);
    MonitorWindow* handlers = m_form.get();
    m_commands[MenuSetupId] = [handlers] { handlers->mnuSetup_Click(); };
    m_commands[MenuExitId] = [handlers] { handlers->mnuExit_Click(); };
    onTimer(Timer::DisplayInfoTimer, [handlers] { handlers->DisplayInfoTimer_Timer(); });
    onTimer(Timer::TrayIconRetry, [handlers] { handlers->TrayIconRetry_Timer(); });
    onTimer(Timer::WatchTimer, [handlers] { handlers->WatchTimer_Timer(); });
}

void Win32MonitorWindow::addControl(const WindowControl& control) {
    switch (control.kind) {
    case ControlKind::Label:
        addLabel(control);
        break;
    case ControlKind::Button:
        addButton(control);
        break;
    case ControlKind::Line:
        addChild(L"STATIC", SS_BLACKRECT, control);
        break;
    case ControlKind::Picture:
        addPicture(control);
        break;
    }
}

HWND Win32MonitorWindow::addChild(const wchar_t* windowClass, DWORD style, const WindowControl& control) {
    const RECT place = PixelRect(control.rect);
    const int id = m_nextId++;
    HWND child = ::CreateWindowExW(
        0, windowClass, WideFromUtf8(control.caption).c_str(), WS_CHILD | WS_VISIBLE | style, place.left,
        place.top, place.right - place.left, place.bottom - place.top, m_hwnd,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    SetControlName(child, control.name, control.index);
    return child;
}

void Win32MonitorWindow::addLabel(const WindowControl& control) {
    HWND label = addChild(L"STATIC", SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, control);
    ::SendMessageW(label, WM_SETFONT,
                   reinterpret_cast<WPARAM>(Win32Font(LabelFace, control.fontPoints, true, CyrillicCharset)),
                   FALSE);
    if (control.background)
        setBackground(control.name, control.index, *control.background);
}

void Win32MonitorWindow::addButton(const WindowControl& control) {
    HWND button = addChild(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, control);
    ::SendMessageW(button, WM_SETFONT,
                   reinterpret_cast<WPARAM>(Win32Font(LabelFace, control.fontPoints, false, CyrillicCharset)),
                   FALSE);
    // Commands reach the window procedure only once it has the behaviour.
    m_commands[::GetDlgCtrlID(button)] = [this, name = control.name, index = control.index] {
        m_form->Button_Click(name, index);
    };
}

// The picture boxes are only the tray's icon sources; they lie under lblInfo and stay hidden.
void Win32MonitorWindow::addPicture(const WindowControl& control) {
    const int n = m_pictures++;
    HWND picture = addChild(L"STATIC", SS_ICON | SS_CENTERIMAGE, control);
    ::ShowWindow(picture, SW_HIDE);
    auto* icon = static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_FLASH1 + n), IMAGE_ICON, 16, 16, 0));
    ::SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    m_flash.at(n) = picture;
}

void Win32MonitorWindow::onTimer(Timer timer, std::function<void()> tick) {
    m_ticks[timer] = std::move(tick);
}

HWND Win32MonitorWindow::control(const std::string& name, int index) const {
    for (HWND child = ::GetWindow(m_hwnd, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (ControlIndex(child) == index && ControlName(child) == name)
            return child;
    }
    return nullptr;
}

HICON Win32MonitorWindow::flashIcon(int choice) const {
    if (choice == AlertIcon) {
        static const auto alert = static_cast<HICON>(::LoadImageW(
            ::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_FLASHALERT), IMAGE_ICON, 16, 16, 0));
        return alert;
    }
    return reinterpret_cast<HICON>(::SendMessageW(m_flash.at(choice), STM_GETICON, 0, 0));
}

COLORREF Win32MonitorWindow::background(HWND label) const {
    const auto found = m_backgrounds.find(label);
    return found != m_backgrounds.end() ? found->second : ::GetSysColor(COLOR_BTNFACE);
}

void Win32MonitorWindow::setNotifyIconCall(NotifyIconCall call) {
    m_notifyIcon = std::move(call);
}

void Win32MonitorWindow::setBalloonCall(BalloonCall call) {
    m_balloon = std::move(call);
}

void Win32MonitorWindow::setMenuTracker(MenuTracker tracker) {
    m_menuTracker = std::move(tracker);
}

void Win32MonitorWindow::setProcessEnd(std::function<void()> end) {
    m_processEnd = std::move(end);
}

uintptr_t Win32MonitorWindow::windowHandle() const {
    return reinterpret_cast<uintptr_t>(m_hwnd);
}

std::string Win32MonitorWindow::windowCaption() const {
    return WindowText(m_hwnd);
}

void Win32MonitorWindow::setCaption(const std::string& name, int index, const std::string& text) {
    if (HWND label = control(name, index))
        ::SetWindowTextW(label, WideFromUtf8(text).c_str());
}

void Win32MonitorWindow::setBackground(const std::string& name, int index, uint32_t rgb) {
    HWND label = control(name, index);
    if (label == nullptr)
        return;
    m_backgrounds[label] = colourRefOf(rgb);
    ::InvalidateRect(label, nullptr, TRUE);
}

void Win32MonitorWindow::setMenuItemEnabled(const std::string& item, bool enabled) {
    const auto found = m_menuItems.find(item);
    if (found != m_menuItems.end())
        ::EnableMenuItem(m_menu, found->second, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void Win32MonitorWindow::showWindow() {
    ::ShowWindow(m_hwnd, ::IsIconic(m_hwnd) ? SW_RESTORE : SW_SHOW);
    ::SetForegroundWindow(m_hwnd);
}

void Win32MonitorWindow::hideWindow() {
    ::ShowWindow(m_hwnd, SW_HIDE);
}

void Win32MonitorWindow::minimiseWindow() {
    ::ShowWindow(m_hwnd, SW_MINIMIZE);
}

bool Win32MonitorWindow::windowVisible() const {
    return ::IsWindowVisible(m_hwnd) != FALSE;
}

void Win32MonitorWindow::unloadWindow() {
    ::SendMessageW(m_hwnd, WM_CLOSE, 0, 0);
}

void Win32MonitorWindow::startWindowTimer(Timer timer, int intervalMs) {
    ::SetTimer(m_hwnd, static_cast<UINT_PTR>(timer) + 1, static_cast<UINT>(intervalMs), nullptr);
    m_runningTimers.insert(timer);
}

void Win32MonitorWindow::stopWindowTimer(Timer timer) {
    ::KillTimer(m_hwnd, static_cast<UINT_PTR>(timer) + 1);
    m_runningTimers.erase(timer);
}

void Win32MonitorWindow::popUpMenu() {
    POINT at{};
    ::GetCursorPos(&at);
    // Without the foreground the menu would not close when the user clicks elsewhere; the posted
    // message lets the next click after it reach its target. That activation is the menu's, not the
    // operator's coming back to the window: it refreshes nothing.
    m_activatingForMenu = true;
    ::SetForegroundWindow(m_hwnd);
    m_activatingForMenu = false;
    m_menuTracker(m_hwnd, m_menu, at);
    ::PostMessageW(m_hwnd, WM_NULL, 0, 0);
}

bool Win32MonitorWindow::trayAvailable() const {
    return ::FindWindowW(L"Shell_TrayWnd", nullptr) != nullptr;
}

bool Win32MonitorWindow::shellNotifyIcon(int32_t action, const NotifyIconData& data) {
    NOTIFYICONDATAA record{};
    // The version of the record that ends with guidItem, as this platform lays it out.
    record.cbSize = NOTIFYICONDATAA_V3_SIZE;
    record.hWnd = reinterpret_cast<HWND>(data.hWnd);
    record.uID = data.uID;
    record.uFlags = data.uFlags;
    record.uCallbackMessage = data.uCallbackMessage;
    record.hIcon = data.hIcon >= 0 && data.hIcon <= AlertIcon ? flashIcon(data.hIcon) : nullptr;
    // The texts are 8-bit text in the ANSI code page already, as the A call takes them.
    std::memcpy(record.szTip, data.szTip.data(), sizeof(record.szTip));
    record.dwState = data.dwState;
    record.dwStateMask = data.dwStateMask;
    std::memcpy(record.szInfo, data.szInfo.data(), sizeof(record.szInfo));
    record.uTimeout = data.uTimeout;
    std::memcpy(record.szInfoTitle, data.szInfoTitle.data(), sizeof(record.szInfoTitle));
    record.dwInfoFlags = data.dwInfoFlags;
    std::memcpy(&record.guidItem, data.guidItem.data(), sizeof(record.guidItem));
    if (m_notifyIcon(static_cast<DWORD>(action), record))
        return true;
    // An add the shell refuses because it holds the icon already (an add that timed out and still
    // landed, a taskbar announced twice) leaves the icon in place: a modify then finds it.
    return action == NIM_ADD && m_notifyIcon(NIM_MODIFY, record);
}

void Win32MonitorWindow::showBalloon(const std::string& title, const std::string& text) {
    // The wide call: the ANSI code page of a Western system has no letters for a Bulgarian text.
    NOTIFYICONDATAW record{};
    record.cbSize = NOTIFYICONDATAW_V3_SIZE;
    record.hWnd = reinterpret_cast<HWND>(TrayIconData.hWnd);
    record.uID = TrayIconData.uID;
    record.uFlags = NIF_INFO;
    record.dwInfoFlags = NIIF_WARNING;
    copyField(record.szInfo, text);
    copyField(record.szInfoTitle, title);
    m_balloon(record);
}

void Win32MonitorWindow::setHourglass(bool on) {
    SetHourglass(on);
}

void Win32MonitorWindow::pumpEvents() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

std::string Win32MonitorWindow::userTimeSeparator() const {
    return LocaleText(SystemLocaleInfo(), LOCALE_STIME);
}

void Win32MonitorWindow::endProcess() {
    m_processEnd();
}

LRESULT CALLBACK Win32MonitorWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* window = reinterpret_cast<Win32MonitorWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window == nullptr || !window->m_form)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    return window->handle(message, wParam, lParam);
}

// The tray reports its mouse codes with its callback message, the mouse-move message: the icon's id
// in wParam, the code in lParam. A real move over the window looks the same along its top row with
// the left button held (MK_LBUTTON is 1, y 0, x the code), but it comes from the input queue, whose
// message position is the very place it reports. The tray's message is sent from the tray's thread,
// or posted while the pointer is over the icon, away from that place.
bool Win32MonitorWindow::trayCallback(WPARAM wParam, LPARAM lParam) const {
    if (wParam != TrayIconData.uID || lParam < WM_MOUSEFIRST || lParam > WM_MOUSELAST)
        return false;
    if (::InSendMessage())
        return true;
    const DWORD position = ::GetMessagePos();
    POINT queued{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    ::ScreenToClient(m_hwnd, &queued);
    return queued.x != GET_X_LPARAM(lParam) || queued.y != GET_Y_LPARAM(lParam);
}

LRESULT Win32MonitorWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == taskbarCreatedMessage() && message != 0) {
        m_form->taskbarCreated();
        return 0;
    }
    switch (message) {
    case WM_COMMAND: {
        const auto found = m_commands.find(LOWORD(wParam));
        if (found != m_commands.end() && HIWORD(wParam) == BN_CLICKED)
            found->second();
        return 0;
    }
    case WM_TIMER: {
        const auto timer = static_cast<Timer>(wParam - 1);
        const auto found = m_ticks.find(timer);
        if (found != m_ticks.end() && m_runningTimers.count(timer) != 0)
            found->second();
        return 0;
    }
    case WM_CTLCOLORSTATIC: {
        auto* dc = reinterpret_cast<HDC>(wParam);
        const COLORREF colour = background(reinterpret_cast<HWND>(lParam));
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        ::SetBkColor(dc, colour);
        return reinterpret_cast<LRESULT>(brushOf(colour));
    }
    case WM_MOUSEMOVE:
        if (trayCallback(wParam, lParam)) {
            const auto code = static_cast<int32_t>(lParam);
            TrayWindowProc(windowHandle(), TrayCallbackMessage, code, code);
        }
        return 0;
    case WM_SETCURSOR:
        if (HourglassShown()) {
            ::SetCursor(ProgramCursor());
            return TRUE;
        }
        break;
    case WM_ACTIVATE:
        // Neither a hidden window nor a shown one made the foreground for the tray menu is brought
        // up by that.
        if (LOWORD(wParam) != WA_INACTIVE && windowVisible() && !m_activatingForMenu)
            m_form->Form_Activate();
        break;
    case WM_CLOSE:
        m_form->Form_Unload();
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(m_hwnd, message, wParam, lParam);
}
