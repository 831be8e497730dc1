// MyButton: the push button of the monitor windows; the program uses only its caption and its click.
#pragma once

#include <QPushButton>

class MyButton : public QPushButton {
    Q_OBJECT
public:
    MyButton(const QString& caption, QWidget* parent);
};
