#include "shell/display_modes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "runtime/platform.h"
#include "shell/texts.h"

bool accept_display_mode(int width, int height) {
  if (width <= 0 || height <= 0 || height > width) return false;
  const double w = width, h = height;
  return w / h <= 1.8 && h / w <= 1.8 && width <= 2047 && height <= 2047;
}

void add_display_mode(std::vector<display_mode>& modes, int width, int height) {
  if (!accept_display_mode(width, height)) return;
  const display_mode mode{width, height};
  if (std::find(modes.begin(), modes.end(), mode) == modes.end()) modes.push_back(mode);
}

void ensure_display_mode(std::vector<display_mode>& modes, int desktop_width, int desktop_height) {
  if (modes.empty()) modes.push_back({std::max(desktop_width, 1), std::max(desktop_height, 1)});
}

std::string display_mode_label(const display_mode& mode) {
  const double ratio = static_cast<double>(mode.width) / static_cast<double>(mode.height);
  const char* format = " %d x %d       ";
  if (std::fabs(ratio - 1.6) < 0.01) {
    format = " %d x %d  (16:10)";
  } else if (std::fabs(ratio - 1.7777777777777777) < 0.01) {
    format = " %d x %d  (16:9)";
  }
  char text[64];
  std::snprintf(text, sizeof text, format, mode.width, mode.height);
  return text;
}

int preselected_display_mode(const std::vector<display_mode>& modes) {
  // A found 1280 x 720 stays selected even when it is the first entry and 1024 x 768 follows.
  for (const display_mode wanted : {display_mode{1280, 720}, display_mode{1024, 768}}) {
    const auto found = std::find(modes.begin(), modes.end(), wanted);
    if (found != modes.end()) return static_cast<int>(found - modes.begin());
  }
  return 0;
}

int32_t height_16_9(int32_t width) {
  return static_cast<int32_t>(static_cast<float>(width / 1.7777777777777777));
}

void apply_dialog_choice(demo_state& state, const dialog_choice& choice) {
  state.antialiasing = choice.antialiased;
  state.fullscreen = !choice.windowed;
  state.force_16_9 = choice.force_16_9;
  ensure_display_mode(state.display_modes, 640, 480);
  const int index = std::clamp(choice.mode_index, 0, static_cast<int>(state.display_modes.size()) - 1);
  const display_mode mode = state.display_modes[index];
  state.screen_width = mode.width;
  state.screen_height = mode.height;
  state.render_width = mode.width;
  state.render_height = mode.height;
  if (choice.force_16_9) {
    state.render_height = height_16_9(mode.width);
    if (choice.windowed) state.screen_height = state.render_height;
  }
}

void report_no_dialog(const std::string& reason, const demo_state& state) {
  const std::string text =
      "The settings dialog cannot be shown (" + reason +
      ").\nThe show starts with the preselected settings: " + std::to_string(state.screen_width) + " x " +
      std::to_string(state.screen_height) + (state.fullscreen ? ", fullscreen" : ", windowed") +
      (state.force_16_9 ? ", Force 16:9." : ".");
  std::fprintf(stderr, "vorteline: %s\n", text.c_str());
  platform.message_box(text.c_str(), texts::dialog_caption, message_box_kind::ok_information);
}
