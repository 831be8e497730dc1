// One control of a window as the localisation sees it; the UI adapts its widgets to this.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

enum class ControlType { TextBox, CommandButton, MyButton, CheckBox, Label, Frame, ComboBox, Other };

class LangControl {
public:
    virtual ~LangControl() = default;

    virtual ControlType type() const = 0;
    virtual std::string name() const = 0;
    // The element's index when the control belongs to a control array.
    virtual std::optional<int> arrayIndex() const = 0;

    virtual std::string caption() const = 0;
    virtual void setCaption(const std::string& caption) = 0;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;

    // List items of a combo box; other controls have none.
    virtual int itemCount() const = 0;
    virtual std::string item(int index) const = 0;
    virtual void setItem(int index, const std::string& text) = 0;
    virtual void clearItems() = 0;
    virtual void addItem(const std::string& text) = 0;
    virtual void setCurrentIndex(int index) = 0;

    // The font character-set number (204 Cyrillic, 1 default, ...).
    virtual void setCharset(int32_t charset) = 0;
};
