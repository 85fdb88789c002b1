#pragma once
// The show window's window procedure: Win32 messages in, the shared message handling, the answer out.
#include <windows.h>

LRESULT CALLBACK show_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
