#include "winui/Win32Font.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <tuple>

namespace {

constexpr int Dpi = 96;

HFONT cached(const LOGFONTA& font) {
    using Key = std::tuple<LONG, LONG, BYTE, BYTE, BYTE, std::string>;
    static std::map<Key, HFONT> fonts;
    const Key key{font.lfHeight,    font.lfWeight,  font.lfItalic,
                  font.lfUnderline, font.lfCharSet, std::string(font.lfFaceName)};
    auto found = fonts.find(key);
    if (found == fonts.end())
        found = fonts.emplace(key, ::CreateFontIndirectA(&font)).first;
    return found->second;
}

} // namespace

HFONT Win32Font(const std::string& face, double points, bool bold, int charset) {
    LOGFONTA font{};
    font.lfHeight = -static_cast<LONG>(std::lround(points * Dpi / 72.0)); // the character height
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = static_cast<BYTE>(charset);
    const size_t length = std::min(face.size(), sizeof(font.lfFaceName) - 1);
    std::memcpy(font.lfFaceName, face.data(), length);
    return cached(font);
}

HFONT Win32FontWithCharset(HWND control, int charset) {
    auto current = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    if (current == nullptr)
        current = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTA font{};
    ::GetObjectA(current, sizeof(font), &font);
    font.lfCharSet = static_cast<BYTE>(charset);
    return cached(font);
}
