// The wing: a swept blade with a symmetric aerofoil section. Stretched a hundredfold along z by
// the show it becomes a thin sheet of light, so its x-y outline is a narrow lens.
#include <cmath>
#include <vector>

#include "tools/meshgen/shapes.h"

namespace meshgen {

namespace {

// Half thickness of a symmetric aerofoil at chord fraction u. The trailing edge keeps a sliver
// of thickness (closed by a strip below) so that its vertices get well-defined smooth normals.
float aerofoil(float u) {
  return 0.6f * (0.2969f * std::sqrt(u) - 0.126f * u - 0.3516f * u * u + 0.2843f * u * u * u -
                 0.1015f * u * u * u * u) +
         0.002f * u;
}

}  // namespace

void build_wings(mesh_builder& m) {
  const int span_steps = 96, chord_steps = 40;
  const float half_span = 6.0f;
  // Grid of points for the upper (x > 0) and lower surface; they meet exactly at the leading
  // edge, so the loader's welding joins them and smooth normals come out closed.
  auto point = [&](int i, int j, float side) {
    float s = -1.0f + 2.0f * i / span_steps;  // -1 .. 1 across the span
    float a = std::fabs(s);
    float sweep = 3.2f * std::pow(a, 1.5f) - 1.0f;
    float chord = 5.0f * (1.0f - 0.82f * a) * (1.0f - 0.18f * std::pow(std::fabs(std::sin(a * 11.0f)), 3.0f));
    float lead = sweep - 0.35f * chord;   // swept leading edge
    float trail = sweep + 0.65f * chord;  // feathered trailing edge
    // Chord positions bunch up at the leading edge where the section curves most.
    float u = 0.5f - 0.5f * std::cos(3.14159265f * j / chord_steps);
    // The tip keeps a sliver of thickness and is closed by a cap below, so that no vertex sits
    // between exactly opposite faces (its smooth normal would vanish).
    float taper = (0.06f + 0.94f * std::sqrt(std::fmax(0.0f, 1.0f - a * a))) * (1.0f - 0.35f * a);
    float thick = aerofoil(u) * taper * (1.0f + 0.25f * std::cos(s * 6.0f));
    float camber = 0.25f * u * (1.0f - u) * taper;
    return v3{camber + side * thick, half_span * s, lead + (trail - lead) * u};
  };
  m.object("wing");
  for (int i = 0; i < span_steps; ++i) {
    for (int j = 0; j < chord_steps; ++j) {
      v3 a = point(i, j, 1), b = point(i + 1, j, 1), c = point(i + 1, j + 1, 1), d = point(i, j + 1, 1);
      m.quad(a, b, c, d);
      a = point(i, j, -1), b = point(i + 1, j, -1), c = point(i + 1, j + 1, -1), d = point(i, j + 1, -1);
      m.quad(a, d, c, b);
    }
    // Strip closing the trailing edge.
    m.quad(point(i, chord_steps, 1), point(i + 1, chord_steps, 1), point(i + 1, chord_steps, -1),
           point(i, chord_steps, -1));
  }
  // Caps closing both tips.
  for (int j = 0; j < chord_steps; ++j) {
    m.quad(point(0, j, 1), point(0, j + 1, 1), point(0, j + 1, -1), point(0, j, -1));
    m.quad(point(span_steps, j, 1), point(span_steps, j, -1), point(span_steps, j + 1, -1),
           point(span_steps, j + 1, 1));
  }
}

}  // namespace meshgen
