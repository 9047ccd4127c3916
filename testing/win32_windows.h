// What the Windows tests read of a window: its text and its class name. Windows only.
#pragma once

#include <windows.h>

#include <string>

namespace scengen::testing {

/// The window's text (a title, a label's or a button's words), whole however long.
std::wstring text_of(HWND window);

/// The name of the window's class, as the tests compare it ("Static", "Button", ...).
std::wstring class_of(HWND window);

}  // namespace scengen::testing
