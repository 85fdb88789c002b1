#pragma once
// The few services of the windowing system that code outside the shell needs: modal message
// boxes, the clipboard, presenting the back buffer and ending the process. The active backend
// installs its implementations at start-up; until then (and in tests) message boxes print to
// standard error and answer the default.
#include <string>

enum class message_box_kind {
  ok_exclamation,      // OK button, exclamation icon
  ok_stop,             // OK button, stop icon
  ok_information,      // OK button, information icon
  yes_no_exclamation,  // Yes/No buttons, exclamation icon
};

enum class message_box_answer { ok, yes, no };

struct platform_hooks {
  message_box_answer (*message_box)(const char* text, const char* caption, message_box_kind kind);
  void (*copy_to_clipboard)(const std::string& text);
  void (*exit_process)(int code);  // never returns
  void (*kill_gl_window)();        // tears the window and GL context down (exit paths)
  void (*swap_buffers)();          // presents the back buffer (the loading screen at start-up)
};

// The hooks in force. Backends and tests may replace any member.
extern platform_hooks platform;
