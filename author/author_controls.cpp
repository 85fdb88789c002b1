// Author mode's keys, requests, pause, loop and status line.
#include "author/author_controls.h"

#include <algorithm>
#include <cstdio>

author_request author_request_for_key(int vk, bool shift) {
  const double seek = shift ? author_seek_long : author_seek_short;
  switch (vk) {
    case author_vk::space:
      return {author_command::pause};
    case author_vk::page_up:
      return {author_command::seek, -seek};
    case author_vk::page_down:
      return {author_command::seek, seek};
    case author_vk::home:
      return {author_command::restart};
    case author_vk::comma:
      return {author_command::step, -author_step};
    case author_vk::period:
      return {author_command::step, author_step};
    case author_vk::bracket_open:
      return {author_command::loop_start};
    case author_vk::bracket_close:
      return {author_command::loop_end};
    case vk::back:
      return {author_command::loop_clear};
    case author_vk::f5:
      return {author_command::reload};
    case author_vk::tab:
      return {author_command::status};
    default:
      return {};
  }
}

namespace {

author_move move_to(double time) { return {true, std::clamp(time, 0.0, author_latest)}; }

}  // namespace

author_move apply_author_request(author_controls& c, const author_request& request, double show_time) {
  switch (request.command) {
    case author_command::pause:
      c.paused = !c.paused;
      return {};
    case author_command::seek:
      return move_to(show_time + request.seconds);
    case author_command::restart:
      return move_to(0.0);
    case author_command::step:
      if (!c.paused) return {};
      return move_to(show_time + request.seconds);
    case author_command::loop_start:
      c.loop_start = std::clamp(show_time, 0.0, author_latest);
      if (c.loop_end <= c.loop_start) c.loop_end = -1.0;
      return {};
    case author_command::loop_end:
      if (c.loop_start < 0.0) c.loop_start = 0.0;
      c.loop_end = show_time > c.loop_start ? show_time : -1.0;
      return {};
    case author_command::loop_clear:
      c.loop_start = c.loop_end = -1.0;
      return {};
    case author_command::status:
      c.status_shown = !c.status_shown;
      return {};
    case author_command::reload:
    case author_command::none:
      return {};
  }
  return {};
}

bool loop_active(const author_controls& c) { return c.loop_start >= 0.0 && c.loop_end > c.loop_start; }

author_move loop_move(const author_controls& c, double show_time) {
  if (c.paused || !loop_active(c) || show_time < c.loop_end) return {};
  return move_to(c.loop_start);
}

std::string author_status_line(const author_status& s) {
  char text[512];
  std::snprintf(text, sizeof text, "%s%7.2f s  scene %7.2f  | %s | %5.1f fps %6.2f ms | limit %g updown %g",
                s.paused ? "PAUSED " : "", s.running_time, s.scene_time, s.elements.c_str(),
                s.frames_per_second, s.ms_per_frame, s.limit, s.updown);
  std::string line = text;
  if (s.loop_start >= 0.0) {
    char loop[64];
    if (s.loop_end > s.loop_start) {
      std::snprintf(loop, sizeof loop, " | loop %.2f-%.2f", s.loop_start, s.loop_end);
    } else {
      std::snprintf(loop, sizeof loop, " | loop from %.2f", s.loop_start);
    }
    line += loop;
  }
  return line;
}
