#include "winui/Win32LangControl.h"

#include "common/Win32Text.h"
#include "winui/Win32ControlName.h"
#include "winui/Win32Font.h"
#include "winui/Win32WindowText.h"

#include <cwctype>
#include <string>

namespace {

std::wstring classOf(HWND control) {
    wchar_t name[64];
    const int length = ::GetClassNameW(control, name, 64);
    std::wstring lower(name, length);
    for (wchar_t& c : lower)
        c = static_cast<wchar_t>(std::towlower(c));
    return lower;
}

ControlType buttonType(LONG style) {
    switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
        return ControlType::MyButton;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
        return ControlType::CheckBox;
    case BS_GROUPBOX:
        return ControlType::Frame;
    default:
        return ControlType::Other;
    }
}

ControlType staticType(LONG style) {
    switch (style & SS_TYPEMASK) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP:
        return ControlType::Label;
    default:
        return ControlType::Other;
    }
}

} // namespace

Win32LangControl::Win32LangControl(HWND control) : m_control(control), m_type(typeOf(control)) {}

ControlType Win32LangControl::typeOf(HWND control) {
    const std::wstring windowClass = classOf(control);
    const LONG style = ::GetWindowLongW(control, GWL_STYLE);
    if (windowClass == L"edit")
        return ControlType::TextBox;
    if (windowClass == L"button")
        return buttonType(style);
    if (windowClass == L"static")
        return staticType(style);
    if (windowClass == L"combobox")
        return ControlType::ComboBox;
    return ControlType::Other;
}

std::string Win32LangControl::name() const {
    return ControlName(m_control);
}

std::optional<int> Win32LangControl::arrayIndex() const {
    const int index = ControlIndex(m_control);
    return index >= 0 ? std::optional<int>(index) : std::nullopt;
}

bool Win32LangControl::hasCaption() const {
    return m_type == ControlType::MyButton || m_type == ControlType::CheckBox ||
           m_type == ControlType::Label || m_type == ControlType::Frame;
}

std::string Win32LangControl::caption() const {
    return hasCaption() ? WindowText(m_control) : std::string();
}

void Win32LangControl::setCaption(const std::string& caption) {
    if (hasCaption())
        ::SetWindowTextW(m_control, WideFromUtf8(caption).c_str());
}

std::string Win32LangControl::text() const {
    return m_type == ControlType::TextBox || isCombo() ? WindowText(m_control) : std::string();
}

void Win32LangControl::setText(const std::string& text) {
    if (m_type == ControlType::TextBox)
        ::SetWindowTextW(m_control, WideFromUtf8(text).c_str());
    else if (isCombo())
        ::SendMessageW(m_control, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(WideFromUtf8(text).c_str()));
}

int Win32LangControl::itemCount() const {
    return isCombo() ? static_cast<int>(::SendMessageW(m_control, CB_GETCOUNT, 0, 0)) : 0;
}

std::string Win32LangControl::item(int index) const {
    if (!isCombo())
        return {};
    const LRESULT length = ::SendMessageW(m_control, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR)
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::SendMessageW(m_control, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return Utf8FromWide(text);
}

void Win32LangControl::setItem(int index, const std::string& text) {
    if (!isCombo() || index < 0 || index >= itemCount())
        return;
    const LRESULT selected = ::SendMessageW(m_control, CB_GETCURSEL, 0, 0);
    ::SendMessageW(m_control, CB_DELETESTRING, index, 0);
    ::SendMessageW(m_control, CB_INSERTSTRING, index, reinterpret_cast<LPARAM>(WideFromUtf8(text).c_str()));
    if (selected == index)
        ::SendMessageW(m_control, CB_SETCURSEL, index, 0);
}

void Win32LangControl::clearItems() {
    if (isCombo())
        ::SendMessageW(m_control, CB_RESETCONTENT, 0, 0);
}

void Win32LangControl::addItem(const std::string& text) {
    if (isCombo())
        ::SendMessageW(m_control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromUtf8(text).c_str()));
}

void Win32LangControl::setCurrentIndex(int index) {
    if (isCombo())
        ::SendMessageW(m_control, CB_SETCURSEL, index, 0);
}

void Win32LangControl::setCharset(int32_t charset) {
    ::SendMessageW(m_control, WM_SETFONT, reinterpret_cast<WPARAM>(Win32FontWithCharset(m_control, charset)),
                   TRUE);
}
