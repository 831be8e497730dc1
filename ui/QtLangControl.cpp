#include "ui/QtLangControl.h"

#include "ui/ControlArray.h"
#include "ui/MyButton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

QtLangControl::QtLangControl(QWidget* widget) : m_widget(widget), m_type(typeOf(widget)) {}

ControlType QtLangControl::typeOf(const QWidget* widget) {
    if (qobject_cast<const QLineEdit*>(widget))
        return ControlType::TextBox;
    if (qobject_cast<const MyButton*>(widget))
        return ControlType::MyButton;
    if (qobject_cast<const QPushButton*>(widget))
        return ControlType::CommandButton;
    if (qobject_cast<const QCheckBox*>(widget))
        return ControlType::CheckBox;
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->pixmap().isNull() ? ControlType::Label : ControlType::Other;
    if (qobject_cast<const QGroupBox*>(widget))
        return ControlType::Frame;
    if (qobject_cast<const QComboBox*>(widget))
        return ControlType::ComboBox;
    return ControlType::Other;
}

std::string QtLangControl::name() const {
    return m_widget->objectName().toStdString();
}

std::optional<int> QtLangControl::arrayIndex() const {
    const int index = ControlIndex(m_widget);
    return index >= 0 ? std::optional<int>(index) : std::nullopt;
}

std::string QtLangControl::caption() const {
    if (const auto* button = qobject_cast<const QAbstractButton*>(m_widget))
        return button->text().toStdString();
    if (const auto* label = qobject_cast<const QLabel*>(m_widget))
        return label->text().toStdString();
    if (const auto* frame = qobject_cast<const QGroupBox*>(m_widget))
        return frame->title().toStdString();
    return {};
}

void QtLangControl::setCaption(const std::string& caption) {
    if (auto* button = qobject_cast<QAbstractButton*>(m_widget))
        button->setText(fromUtf8(caption));
    else if (auto* label = qobject_cast<QLabel*>(m_widget))
        label->setText(fromUtf8(caption));
    else if (auto* frame = qobject_cast<QGroupBox*>(m_widget))
        frame->setTitle(fromUtf8(caption));
}

std::string QtLangControl::text() const {
    if (const auto* edit = qobject_cast<const QLineEdit*>(m_widget))
        return edit->text().toStdString();
    if (const auto* combo = qobject_cast<const QComboBox*>(m_widget))
        return combo->currentText().toStdString();
    return {};
}

void QtLangControl::setText(const std::string& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(m_widget))
        edit->setText(fromUtf8(text));
    else if (auto* combo = qobject_cast<QComboBox*>(m_widget))
        combo->setCurrentText(fromUtf8(text));
}

int QtLangControl::itemCount() const {
    const auto* combo = qobject_cast<const QComboBox*>(m_widget);
    return combo ? combo->count() : 0;
}

std::string QtLangControl::item(int index) const {
    const auto* combo = qobject_cast<const QComboBox*>(m_widget);
    return combo ? combo->itemText(index).toStdString() : std::string();
}

void QtLangControl::setItem(int index, const std::string& text) {
    if (auto* combo = qobject_cast<QComboBox*>(m_widget))
        combo->setItemText(index, fromUtf8(text));
}

void QtLangControl::clearItems() {
    if (auto* combo = qobject_cast<QComboBox*>(m_widget))
        combo->clear();
}

void QtLangControl::addItem(const std::string& text) {
    if (auto* combo = qobject_cast<QComboBox*>(m_widget))
        combo->addItem(fromUtf8(text));
}

void QtLangControl::setCurrentIndex(int index) {
    if (auto* combo = qobject_cast<QComboBox*>(m_widget))
        combo->setCurrentIndex(index);
}

void QtLangControl::setCharset(int32_t charset) {
    m_widget->setProperty(CharsetProperty, charset);
}
