#include "ui/QtLangWindow.h"

#include <QWidget>

QtLangWindow::QtLangWindow(QWidget* window) : m_window(window) {
    collect(window);
}

void QtLangWindow::collect(const QWidget* parent) {
    for (QObject* child : parent->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget->isWindow())
            continue;
        const QString name = widget->objectName();
        if (!name.isEmpty() && !name.startsWith(QStringLiteral("qt_")))
            m_controls.emplace_back(widget);
        collect(widget);
    }
}

std::string QtLangWindow::name() const {
    return m_window->objectName().toStdString();
}

std::string QtLangWindow::caption() const {
    return m_window->windowTitle().toStdString();
}

void QtLangWindow::setCaption(const std::string& caption) {
    m_window->setWindowTitle(QString::fromStdString(caption));
}
