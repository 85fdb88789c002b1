// The scene's elements by warped time, in drawing order.
#include "show/segments.h"

#include "show/scene.h"
#include "show/timeline.h"

namespace {

struct segment {
  const char* name;
  bool (*drawn)(double t);
};

constexpr segment segments[] = {
    {"escher", [](double t) { return t > escher_start && t < late_section; }},
    {"walls", [](double) { return true; }},
    {"prisms", [](double) { return true; }},
    {"opening", [](double t) { return t < opening_end; }},
    {"late", [](double t) { return t > late_start; }},
    {"swarm", [](double t) { return t > late_start; }},
    {"middle", [](double t) { return t > second_section_start; }},
    {"wingrow", [](double t) { return t <= first_section_end || t >= second_section_start; }},
    {"beams", [](double) { return true; }},
    {"hex", [](double) { return true; }},
    {"tri", [](double t) { return t < three_end; }},
    {"red", [](double t) { return t > red_start && t < red_end; }},
    {"end", [](double t) { return t > credits_start; }},
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
