// The fonts of the Win32 windows, made once per face, size, weight and character set and kept for
// the life of the process, so that no refresh or language change makes a new one.
#pragma once

#include <windows.h>

#include <string>

// The face at the size in points at 96 dpi, bold or not, with that font character set.
HFONT Win32Font(const std::string& face, double points, bool bold, int charset);
// The font of the control (the system's when it has none) with another character set.
HFONT Win32FontWithCharset(HWND control, int charset);
