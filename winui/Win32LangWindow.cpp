#include "winui/Win32LangWindow.h"

#include "common/Win32Text.h"
#include "winui/Win32ControlName.h"
#include "winui/Win32WindowText.h"

Win32LangWindow::Win32LangWindow(HWND window) : m_window(window) {
    collect(window);
}

// Child windows are kept in the order they were made, the first one made first.
void Win32LangWindow::collect(HWND parent) {
    for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!ControlName(child).empty())
            m_controls.emplace_back(child);
        collect(child);
    }
}

std::string Win32LangWindow::name() const {
    return ControlName(m_window);
}

std::string Win32LangWindow::caption() const {
    return WindowText(m_window);
}

void Win32LangWindow::setCaption(const std::string& caption) {
    ::SetWindowTextW(m_window, WideFromUtf8(caption).c_str());
}
