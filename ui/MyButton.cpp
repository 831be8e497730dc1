#include "ui/MyButton.h"

MyButton::MyButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}
