// The text of a window or control as UTF-8, read through the W call.
#pragma once

#include <windows.h>

#include <string>

std::string WindowText(HWND hwnd);
