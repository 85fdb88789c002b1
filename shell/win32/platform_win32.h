#pragma once
// Windows services of the program: message boxes, clipboard, console, presenting, process exit.
#include <string>

// Installs the Win32 implementations into `platform`.
void install_win32_platform();

// Places `text` (zero-terminated) on the clipboard as CF_TEXT; false when any step fails.
bool copy_to_clipboard(const std::string& text);

// A console for the process, 1000 lines of buffer, with the standard streams attached to it.
void open_console();
