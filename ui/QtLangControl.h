// One widget as the localisation sees it: its kind, name, array index, texts, list items and charset.
#pragma once

#include "lang/LangControl.h"

class QWidget;

// Qt fonts carry no character set, so the number the localisation gives a control is kept on the
// widget as this dynamic property (an int).
inline constexpr char CharsetProperty[] = "charset";

class QtLangControl : public LangControl {
public:
    explicit QtLangControl(QWidget* widget);

    // QLineEdit text box, MyButton, other QPushButton command button, QCheckBox, QLabel (one showing
    // a picture is a picture box: Other), QGroupBox frame, QComboBox; everything else Other.
    static ControlType typeOf(const QWidget* widget);

    ControlType type() const override { return m_type; }
    std::string name() const override;
    std::optional<int> arrayIndex() const override;

    // The caption of a button, check box, label or frame; other kinds have none ("", unchanged).
    std::string caption() const override;
    void setCaption(const std::string& caption) override;
    // The text of a text box or a combo box; other kinds have none.
    std::string text() const override;
    void setText(const std::string& text) override;

    int itemCount() const override;
    std::string item(int index) const override;
    void setItem(int index, const std::string& text) override;
    void clearItems() override;
    void addItem(const std::string& text) override;
    void setCurrentIndex(int index) override;

    void setCharset(int32_t charset) override;

private:
    QWidget* m_widget;
    ControlType m_type;
};
