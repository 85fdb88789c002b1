#pragma once
// Test doubles for the runtime: a show part that records its calls, and platform hooks that record
// what the runtime asks of the shell instead of doing it.
#include <string>
#include <vector>

#include "runtime/frame_state.h"
#include "runtime/parts.h"

namespace runtime_test {

// Everything recorded, in call order: "init", "render", "swap", "clipboard:<text>", "kill",
// "kill:sound-open", "box:<caption>|<text>|<kind>".
extern std::vector<std::string> events;

struct fake_part final : parts {
  int init_calls = 0;
  int render_calls = 0;
  double* step = nullptr;  // the arguments of the last render
  render_context* context = nullptr;
  frame_state seen;   // a copy of the state at the last render
  int blend_src = 0;  // blend factors in force during the last render
  int blend_dst = 0;
  void (*on_render)(frame_state*) = nullptr;
  std::optional<start_failure> init_failure;  // what init reports

  void render(double* step, render_context* context, frame_state* state) override;
  std::optional<start_failure> init(render_context* context) override;
};

// The part the last create_show_part() made, and the failure its init is to report.
extern fake_part* created_show_part;
extern std::optional<start_failure> show_init_failure;

void install_hooks();
void restore_hooks();

}  // namespace runtime_test
