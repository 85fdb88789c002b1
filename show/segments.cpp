// The scene's elements by warped time, in drawing order.
#include "show/segments.h"

namespace {

struct segment {
  const char* name;
  bool (*drawn)(double t);
};

constexpr segment segments[] = {
    {"escher", [](double t) { return t > 120.0 && t < 188.5; }},
    {"walls", [](double) { return true; }},
    {"prisms", [](double) { return true; }},
    {"opening", [](double t) { return t < 13.0; }},
    {"late", [](double t) { return t > 190.0; }},
    {"swarm", [](double t) { return t > 190.0; }},
    {"middle", [](double t) { return t > 105.0; }},
    {"wingrow", [](double t) { return t <= 86.0 || t >= 105.0; }},
    {"beams", [](double) { return true; }},
    {"hex", [](double) { return true; }},
    {"tri", [](double t) { return t < 185.0; }},
    {"red", [](double t) { return t > 169.0 && t < 186.0; }},
    {"end", [](double t) { return t > 1260.0; }},
};

}  // namespace

std::string scene_elements_at(double ttime) {
  std::string names;
  for (const segment& s : segments) {
    if (!s.drawn(ttime)) continue;
    if (!names.empty()) names += ' ';
    names += s.name;
  }
  return names;
}
