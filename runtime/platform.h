#pragma once
// The contract between the program and its windowing backend: what the runtime, the show and the
// offline modes may ask of the windowing system, without including the shell. Each backend
// (shell/sdl/ on Linux, shell/win32/ on Windows) implements it in files of the same names:
//   platform.cpp  install_platform: the services table `platform` below
//   window.cpp    create_gl_window, kill_gl_window (and, where the offline modes are built,
//                 open_hidden_gl_window)
// The shell's own contract (settings dialog, message loop) is in shell/dialog.h and
// shell/main_loop.h, implemented by dialog.cpp and main_loop.cpp of each backend.
#include <cstdint>
#include <string>

enum class message_box_kind {
  ok_exclamation,      // OK button, exclamation icon
  ok_stop,             // OK button, stop icon
  ok_information,      // OK button, information icon
  yes_no_exclamation,  // Yes/No buttons, exclamation icon
};

enum class message_box_answer { ok, yes, no };

// The windowing services in force. Until a backend installs its own (and in tests), message boxes
// print to standard error and answer the default, the clipboard text goes to standard output,
// presenting and teardown do nothing and the counter is the standard library's steady clock.
// Tests and the offline modes may replace any member.
struct platform_hooks {
  message_box_answer (*message_box)(const char* text, const char* caption, message_box_kind kind);
  void (*copy_to_clipboard)(const std::string& text);
  void (*kill_gl_window)();        // tears the window and GL context down (exit paths)
  void (*swap_buffers)();          // presents the back buffer (the loading screen at start-up)
  int64_t (*counter)();            // the high-resolution counter the stopwatch reads
  int64_t (*counter_frequency)();  // its ticks per second
};

extern platform_hooks platform;

// Installs the backend's services into `platform`; called once at start-up.
void install_platform();

// Opens the show window (fullscreen switches the display to width x height at `bits` per pixel),
// makes its GL context current and runs the whole demo start-up (`init_gl`). False after a
// reported failure, the window gone again.
bool create_gl_window(const char* title, int width, int height, int bits, bool fullscreen);

// Tears down whatever of the window and context exists; failures are reported and passed over.
// Safe to call twice.
void kill_gl_window();

// The offline modes' window: hidden, width x height, with the show window's pixel format, its
// context current and the extension loader started; `kill_gl_window` closes it. False, with the
// reason in `error`, when no window or context can be made.
bool open_hidden_gl_window(int width, int height, std::string& error);
