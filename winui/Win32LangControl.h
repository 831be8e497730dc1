// One Win32 control as the localisation sees it: its kind, name, array index, texts, list items and
// font character set.
#pragma once

#include "lang/LangControl.h"

#include <windows.h>

class Win32LangControl : public LangControl {
public:
    explicit Win32LangControl(HWND control);

    // From the window class and style: EDIT text box, push BUTTON (the windows' MyButton), check box
    // BUTTON, group-box BUTTON frame, text STATIC label, COMBOBOX; everything else (icons, lines,
    // radio buttons, lists) Other.
    static ControlType typeOf(HWND control);

    ControlType type() const override { return m_type; }
    std::string name() const override;
    std::optional<int> arrayIndex() const override;

    // The window text of a button, check box, label or frame; other kinds have none ("", unchanged).
    std::string caption() const override;
    void setCaption(const std::string& caption) override;
    // The text of a text box or the selected item of a combo box; other kinds have none.
    std::string text() const override;
    void setText(const std::string& text) override;

    int itemCount() const override;
    std::string item(int index) const override;
    void setItem(int index, const std::string& text) override;
    void clearItems() override;
    void addItem(const std::string& text) override;
    void setCurrentIndex(int index) override;

    // The control's font made again with that character set.
    void setCharset(int32_t charset) override;

private:
    bool hasCaption() const;
    bool isCombo() const { return m_type == ControlType::ComboBox; }

    HWND m_control;
    ControlType m_type;
};
