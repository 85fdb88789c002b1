#include "runtime/tests/fake_part.h"

#include <GL/glew.h>

#include "fsound/fsound.h"
#include "runtime/platform.h"

namespace runtime_test {

std::vector<std::string> events;
fake_part* created_show_part = nullptr;
std::optional<start_failure> show_init_failure;

namespace {

platform_hooks saved;

message_box_answer record_box(const char* text, const char* caption, message_box_kind kind) {
  events.push_back(std::string("box:") + caption + "|" + text + "|" + std::to_string(static_cast<int>(kind)));
  return message_box_answer::ok;
}
void record_clipboard(const std::string& text) { events.push_back("clipboard:" + text); }
// Notes whether the sound library was still open when the window went.
void record_kill() { events.push_back(FSOUND_GetFrequency(0) == 0 ? "kill" : "kill:sound-open"); }
void record_swap() { events.push_back("swap"); }

}  // namespace

void fake_part::render(double* s, render_context* c, frame_state* state) {
  ++render_calls;
  events.push_back("render");
  step = s;
  context = c;
  glGetIntegerv(GL_BLEND_SRC, &blend_src);
  glGetIntegerv(GL_BLEND_DST, &blend_dst);
  if (on_render) on_render(state);
  seen = *state;
}

std::optional<start_failure> fake_part::init(render_context* c) {
  ++init_calls;
  events.push_back("init");
  context = c;
  return init_failure;
}

void install_hooks() {
  saved = platform;
  events.clear();
  platform = {record_box, record_clipboard, record_kill, record_swap, saved.counter, saved.counter_frequency};
}

void restore_hooks() { platform = saved; }

}  // namespace runtime_test

parts* create_show_part() {
  runtime_test::created_show_part = new runtime_test::fake_part();
  runtime_test::created_show_part->init_failure = runtime_test::show_init_failure;
  return runtime_test::created_show_part;
}
