// The name and array index of a window or control, kept on its HWND as window properties, so that
// the window and the localisation find controls the same way.
#pragma once

#include <windows.h>

#include <string>

// index: the element of a control array (the table number), -1 for a single control.
void SetControlName(HWND hwnd, const std::string& name, int index = -1);
// "" for a window without a name.
std::string ControlName(HWND hwnd);
// -1 for a control that is not part of an array.
int ControlIndex(HWND hwnd);
