// A Win32 window as the localisation sees it: its name and caption, and its named child controls.
#pragma once

#include "lang/LangWindow.h"
#include "winui/Win32LangControl.h"

#include <vector>

class Win32LangWindow : public LangWindow {
public:
    // The controls are the window's named child windows as they stand now, depth first in the
    // order they were made (the controls inside a frame follow the frame). The pop-up menu is no
    // child window and so no control.
    explicit Win32LangWindow(HWND window);

    std::string name() const override;
    std::string caption() const override;
    void setCaption(const std::string& caption) override;
    int controlCount() const override { return static_cast<int>(m_controls.size()); }
    LangControl& control(int position) override { return m_controls.at(static_cast<size_t>(position)); }

private:
    void collect(HWND parent);

    HWND m_window;
    std::vector<Win32LangControl> m_controls;
};
