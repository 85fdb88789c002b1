#pragma once
// What the files of the Win32 backend share among themselves. Its window, device context and GL
// context live in `demo` (hinstance, hwnd, hdc, hrc). Nothing outside shell/win32/ includes this.
#include <windows.h>

#include <string>

// The show window's window procedure: Win32 messages in, the shared message handling, the answer out.
LRESULT CALLBACK show_window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Places `text` (zero-terminated) on the clipboard as CF_TEXT; false when any step fails.
bool copy_text_to_clipboard(const std::string& text);

// A console for the process, 1000 lines of buffer, with the standard streams attached to it.
void open_console();

// Started in a folder that does not hold the show's data, changes to the folder of the program
// file. A failed change is reported on standard error; the program goes on. (The Windows program
// reads no paths from its command line.)
void enter_start_folder();
