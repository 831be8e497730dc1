// A window as the localisation sees it: its name and caption, and its named widgets as controls.
#pragma once

#include "lang/LangWindow.h"
#include "ui/QtLangControl.h"

#include <vector>

class QWidget;

class QtLangWindow : public LangWindow {
public:
    // The controls are the window's named widgets as they stand now, depth first in the order they
    // were made (the widgets inside a frame follow the frame). Pop-ups such as the tray menu and
    // Qt's own inner widgets (unnamed, or named "qt_...") are not controls.
    explicit QtLangWindow(QWidget* window);

    std::string name() const override;
    std::string caption() const override;
    void setCaption(const std::string& caption) override;
    int controlCount() const override { return static_cast<int>(m_controls.size()); }
    LangControl& control(int position) override { return m_controls.at(static_cast<size_t>(position)); }

private:
    void collect(const QWidget* parent);

    QWidget* m_window;
    std::vector<QtLangControl> m_controls;
};
