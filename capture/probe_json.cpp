// The timeline probe as one line of JSON, with numbers that read back as the same doubles.
#include <charconv>
#include <cmath>
#include <string>

#include "capture/show_timeline.h"

namespace {

// Shortest text that reads back as the same double.
std::string number(double value) {
  if (!std::isfinite(value)) return "null";
  char text[40];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

void add_triple(std::string& out, const char* name, const float v[3]) {
  out += name;
  out += '[';
  for (int i = 0; i < 3; ++i) {
    if (i > 0) out += ',';
    out += number(v[i]);
  }
  out += ']';
}

void add_number(std::string& out, const char* name, double value) {
  out += name;
  out += number(value);
}

}  // namespace

std::string probe_json(const timeline_probe& p) {
  std::string out = "{";
  add_number(out, "\"fttime\":", p.fttime);
  add_number(out, ",\"ttime\":", p.ttime);
  add_number(out, ",\"sampled_at\":", p.sampled_at);
  add_number(out, ",\"track_x\":", p.track_x);
  add_number(out, ",\"track_y\":", p.track_y);
  add_number(out, ",\"PositionY\":", p.PositionY);
  add_number(out, ",\"dsp_gain\":", p.dsp_gain);
  add_triple(out, ",\"eye\":", p.eye);
  add_triple(out, ",\"centre\":", p.centre);
  add_triple(out, ",\"up\":", p.up);
  out += ",\"key_count\":";
  out += std::to_string(p.key_count);
  out += '}';
  return out;
}
