// The services in force before a backend installs its own: text on the standard streams.
#include "runtime/platform.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

message_box_answer print_message_box(const char* text, const char* caption, message_box_kind kind) {
  std::fprintf(stderr, "[%s] %s\n", caption, text);
  return kind == message_box_kind::yes_no_exclamation ? message_box_answer::no : message_box_answer::ok;
}

void print_clipboard(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

void no_window() {}

int64_t steady_counter() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

int64_t steady_frequency() { return 1000000000; }

}  // namespace

platform_hooks platform = {print_message_box, print_clipboard, no_window,
                           no_window,         steady_counter,  steady_frequency};
