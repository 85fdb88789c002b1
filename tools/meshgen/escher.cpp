// The escher module: one storey of an impossible tower around the y axis.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/meshgen/architecture.h"
#include "tools/meshgen/shapes.h"

namespace meshgen {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr float storey = 18.0f;

v3 polar(float radius, float angle, float y) {
  return {radius * std::cos(angle), y, radius * std::sin(angle)};
}

// Block between two radii, two angles and two heights.
void sector(mesh_builder& m, float r0, float r1, float a0, float a1, float y0, float y1) {
  m.hexa({polar(r0, a0, y0), polar(r1, a0, y0), polar(r1, a1, y0), polar(r0, a1, y0), polar(r0, a0, y1),
          polar(r1, a0, y1), polar(r1, a1, y1), polar(r0, a1, y1)});
}

// A spiral stair of `steps` wedge steps turning through `turn` radians while climbing `rise`.
// Upside down, the treads face -y: a stair for walking on the ceiling.
void spiral_stair(mesh_builder& m, float start, float turn, float y0, float rise, int steps,
                  bool upside_down) {
  const float r0 = 3.3f, r1 = 5.3f, thick = 0.55f;
  for (int i = 0; i < steps; ++i) {
    float a0 = start + turn * i / steps, a1 = start + turn * (i + 1) / steps;
    float y = y0 + rise * (i + 1) / steps;
    // Everything stays inside the storey so that stacked storeys do not overlap.
    auto inside = [](float v) { return std::clamp(v, 0.0f, storey); };
    if (upside_down) {
      sector(m, r0, r1, a0, a1, inside(y - rise / steps), inside(y - rise / steps + thick));
    } else {
      sector(m, r0, r1, a0, a1, inside(y - thick), inside(y));
    }
    // Stringer along the outer edge.
    sector(m, r1, r1 + 0.15f, a0, a1, inside(y - thick - 0.35f), inside(y + 0.25f));
  }
}

void colonnade(mesh_builder& m) {
  for (int i = 0; i < 6; ++i) {
    float a = 2 * pi * i / 6 + pi / 6;
    affine at = affine::translate(polar(3.0f, a, 0)) * affine::rotate_y(-a * 180 / pi);
    m.cylinder(at, 0.22f, 0.0f, storey, 16);
    for (float y : {0.0f, 6.0f, 12.0f}) {
      m.box(at, {-0.34f, y, -0.34f}, {0.34f, y + 0.3f, 0.34f});
      m.box(at, {-0.3f, y + 5.5f, -0.3f}, {0.3f, y + 6.0f, 0.3f});
    }
  }
}

void outer_wall(mesh_builder& m) {
  const float radius = 8.4f, depth = 0.7f;
  const int bays = 12;
  const float bay = 2 * pi * radius / bays;
  wall_map on_cylinder = [=](float u, float v, float w) { return polar(radius + w, u / radius, v); };
  for (int b = 0; b < bays; ++b) {
    float u0 = bay * b, u1 = bay * (b + 1);
    // Two storeys of arched windows; every third bay of the upper storey is a tall open arch.
    window_bay(m, on_cylinder, u0, u1, 0.0f, 9.0f, 0, depth, 1.2f, 1.2f, 6.0f, 8);
    if (b % 3 == 0) {
      window_bay(m, on_cylinder, u0, u1, 9.0f, storey, 0, depth, 1.5f, 9.4f, 15.2f, 10);
    } else {
      window_bay(m, on_cylinder, u0, u1, 9.0f, storey, 0, depth, 0.9f, 11.0f, 15.5f, 8);
    }
    // Cornices at the storey lines.
    wall_block(m, on_cylinder, u0, u1, 8.6f, 9.0f, -0.35f, depth + 0.2f, 3);
    wall_block(m, on_cylinder, u0, u1, 0.0f, 0.35f, -0.25f, depth + 0.25f, 3);
  }
}

void landings(mesh_builder& m) {
  // Platforms that leave the stairs at the wrong height, with bridges across the void.
  struct landing {
    float angle, width, y;
  };
  const landing list[] = {{0.4f, 1.2f, 4.5f}, {2.6f, 0.9f, 9.0f}, {4.4f, 1.1f, 13.5f}};
  for (const landing& l : list) {
    sector(m, 3.4f, 8.4f, l.angle, l.angle + l.width, l.y - 0.4f, l.y);
    sector(m, 3.4f, 3.55f, l.angle, l.angle + l.width, l.y, l.y + 0.9f);
  }
  // Two bridges crossing the core above head height of the landings, split by the void.
  for (int i = 0; i < 2; ++i) {
    float a = 1.5f + pi * i;
    affine t = affine::rotate_y(-a * 180 / pi);
    float y = 7.0f + 6.0f * i;
    m.box(t, {2.7f, y - 0.35f, -0.6f}, {8.4f, y, 0.6f});
    m.box(t, {2.7f, y, -0.6f}, {8.4f, y + 0.8f, -0.5f});
    m.box(t, {2.7f, y, 0.5f}, {8.4f, y + 0.8f, 0.6f});
    // A buttress under each bridge, from wall to column ring.
    for (int k = 0; k < 6; ++k) {
      float x0 = 3.4f + k * 0.85f, x1 = x0 + 0.85f;
      float d0 = 1.5f * std::sqrt(std::fmax(0.0f, 1.0f - (x0 - 8.4f) * (x0 - 8.4f) / 25.0f));
      float d1 = 1.5f * std::sqrt(std::fmax(0.0f, 1.0f - (x1 - 8.4f) * (x1 - 8.4f) / 25.0f));
      m.hexa({t.point({x0, y - 0.35f, -0.25f}), t.point({x1, y - 0.35f, -0.25f}),
              t.point({x1, y - 0.35f - d1, -0.25f}), t.point({x0, y - 0.35f - d0, -0.25f}),
              t.point({x0, y - 0.35f, 0.25f}), t.point({x1, y - 0.35f, 0.25f}),
              t.point({x1, y - 0.35f - d1, 0.25f}), t.point({x0, y - 0.35f - d0, 0.25f})});
    }
  }
}

}  // namespace

void build_escher_module(mesh_builder& m) {
  colonnade(m);
  spiral_stair(m, 0.0f, 2 * pi, 0.0f, storey, 48, false);
  spiral_stair(m, pi, -2 * pi, 0.0f, storey, 48, true);
  landings(m);
  outer_wall(m);
}

void build_escher(mesh_builder& m) {
  m.object("escher");
  build_escher_module(m);
}

}  // namespace meshgen
