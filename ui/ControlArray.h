// Controls found by name: arrays share one objectName and carry their element's index as a property.
#pragma once

#include <QObject>
#include <QString>
#include <QVariant>

// The dynamic property that holds an array element's index (the table number 1..8).
inline constexpr char ControlIndexProperty[] = "index";

inline void SetControlIndex(QObject* control, int index) {
    control->setProperty(ControlIndexProperty, index);
}

// The element's index, or -1 for a control that is not part of an array.
inline int ControlIndex(const QObject* control) {
    const QVariant index = control->property(ControlIndexProperty);
    return index.isValid() ? index.toInt() : -1;
}

// The control of that name under root; with an index, the array element carrying it.
template <class T> T* FindControl(const QObject* root, const QString& name, int index = -1) {
    for (T* control : root->findChildren<T*>(name)) {
        if (ControlIndex(control) == index)
            return control;
    }
    return nullptr;
}
