#include "winui/Win32ControlName.h"

#include "common/Win32Text.h"

namespace {

// The name lives in the process's atom table; the property holds its atom. The index is kept one
// up, since a missing property reads as 0.
constexpr wchar_t NameProperty[] = L"Quedrix.Name";
constexpr wchar_t IndexProperty[] = L"Quedrix.Index";

} // namespace

void SetControlName(HWND hwnd, const std::string& name, int index) {
    const ATOM atom = ::AddAtomW(WideFromUtf8(name).c_str());
    ::SetPropW(hwnd, NameProperty, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(atom)));
    ::SetPropW(hwnd, IndexProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(index + 1)));
}

std::string ControlName(HWND hwnd) {
    const auto atom = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(::GetPropW(hwnd, NameProperty)));
    if (atom == 0)
        return {};
    wchar_t name[256];
    const UINT length = ::GetAtomNameW(atom, name, 256);
    return Utf8FromWide(std::wstring_view(name, length));
}

int ControlIndex(HWND hwnd) {
    return static_cast<int>(reinterpret_cast<INT_PTR>(::GetPropW(hwnd, IndexProperty))) - 1;
}
