#pragma once
// The one process-wide record through which the shell, the demo runtime and the parts share
// window, display, input, clock and music state. Touched only on the main thread.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct FSOUND_SAMPLE;
struct parts;

struct display_mode {
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const display_mode&) const = default;
};

struct demo_state {
  // Window and display.
  int32_t screen_width = 0;
  int32_t screen_height = 0;
  int32_t render_width = 0;
  int32_t render_height = 0;
  bool fullscreen = false;
  bool antialiasing = false;
  bool force_16_9 = false;
  std::vector<display_mode> display_modes;
  bool modes_pending = true;
  // The Win32 backend's handles: module instance, window, device context and GL context. The SDL
  // backend keeps its window and context in its own state; these stay null there.
  void* hinstance = nullptr;
  void* hwnd = nullptr;
  void* hdc = nullptr;
  void* hrc = nullptr;
  bool window_active = true;

  // Input.
  std::array<bool, 256> keys{};
  // Escape went down since the idle turn last looked: a tap released before the turn still counts.
  bool escape_pressed = false;
  int32_t wheel_notches = 0;
  bool right_button = false;
  std::string clipboard_text;

  // Clock and music.
  double show_time = 0.0;
  double frame_step = 0.0;
  double last_clock = 0.0;
  bool sync_to_music = true;
  // Author mode's pause: every frame step is 0 while it is set (the show never sets it).
  bool clock_paused = false;
  FSOUND_SAMPLE* music_sample = nullptr;
  bool ending = false;
  double ending_start = 0.0;
  double fade_rate = 100002.5;

  // Parts: created by the demo start-up, live until the process ends.
  parts* loader_part = nullptr;
  parts* show_part = nullptr;
};

extern demo_state demo;

// Windows virtual-key codes the program reads.
namespace vk {
constexpr int back = 8;
constexpr int escape = 27;
constexpr int left = 37;
constexpr int up = 38;
constexpr int right = 39;
constexpr int down = 40;
constexpr int f1 = 112;
}  // namespace vk
