// The hall: a long nave along z with aisles, seen flattened as the opening facade, from inside in
// the middle of the show and as a model at the end.
#include <cmath>
#include <numbers>

#include "tools/meshgen/architecture.h"
#include "tools/meshgen/shapes.h"

namespace meshgen {

namespace {

constexpr float pi = std::numbers::pi_v<float>;
constexpr float z_start = -40.0f, bay = 5.0f;
constexpr int bays = 16;
// The hall's "up" is -y: the floor lies at y = 6 and the vaults rise towards y = -8.
constexpr float floor_y = 6.0f, column_x = 4.5f, aisle_x = 9.0f, spring_y = -1.5f;

void floor_and_plinth(mesh_builder& m) {
  const affine id;
  for (int i = 0; i < bays * 2; ++i) {
    float z0 = z_start + 2.5f * i, z1 = z0 + 2.44f;
    for (int j = 0; j < 6; ++j) {
      float x0 = -aisle_x + 3.0f * j, x1 = x0 + 2.94f;
      m.box(id, {x0, floor_y, z0}, {x1, floor_y + 0.6f, z1});
    }
  }
  // Stepped plinth below the floor, wider at every step.
  for (int s = 0; s < 5; ++s) {
    float w = aisle_x + 0.8f + 1.1f * s;
    m.box(id, {-w, floor_y + 0.6f + s, z_start - 0.5f - 1.0f * s},
          {w, floor_y + 1.6f + s, -z_start + 0.5f + s});
  }
}

void columns(mesh_builder& m) {
  for (int i = 0; i <= bays; ++i) {
    float z = z_start + bay * i;
    for (float x : {-column_x, column_x}) {
      // The cylinder runs along +y, from the capital down to the floor.
      affine at = affine::translate({x, 0, z});
      m.cylinder(at, 0.42f, spring_y, floor_y, 20);
      m.box(at, {-0.62f, floor_y - 0.5f, -0.62f}, {0.62f, floor_y, 0.62f});
      m.box(at, {-0.7f, spring_y - 0.45f, -0.7f}, {0.7f, spring_y, 0.7f});
    }
  }
}

// Arches across the nave at every column pair, with a rib band above.
void transverse_arches(mesh_builder& m) {
  for (int i = 0; i <= bays; ++i) {
    float z = z_start + bay * i;
    wall_map across = [=](float u, float v, float w) { return v3{u, spring_y - 0.45f - v, z + w}; };
    arch_head(m, across, 0.0f, column_x, 0.0f, 0.7f, 5.8f, -0.35f, 0.35f, 14);
  }
}

// Arcades along the nave on both sides, with a clerestory of small windows above them.
void arcades(mesh_builder& m) {
  for (float side : {-1.0f, 1.0f}) {
    float x = side * column_x;
    wall_map along = [=](float u, float v, float w) { return v3{x + side * w, spring_y - 0.45f - v, u}; };
    for (int i = 0; i < bays; ++i) {
      float zc = z_start + bay * (i + 0.5f);
      arch_head(m, along, zc, 1.8f, 0.0f, 0.7f, 3.2f, -0.3f, 0.3f, 8);
      window_bay(m, along, zc - 2.5f, zc + 2.5f, 3.2f, 6.2f, -0.25f, 0.25f, 0.55f, 3.7f, 5.0f, 6);
    }
  }
}

// Aisle walls with tall arched windows, aisle roofs, and the open roof beams over the nave.
void aisles_and_roof(mesh_builder& m) {
  for (float side : {-1.0f, 1.0f}) {
    float x = side * aisle_x;
    wall_map along = [=](float u, float v, float w) { return v3{x + side * w, floor_y - v, u}; };
    for (int i = 0; i < bays; ++i) {
      float z0 = z_start + bay * i;
      window_bay(m, along, z0, z0 + bay, 0.0f, 11.5f, 0.0f, 0.6f, 1.3f, 2.0f, 7.6f, 10);
    }
    // Aisle roof, one slab per bay with a gap between them.
    const affine id;
    for (int i = 0; i < bays; ++i) {
      float z0 = z_start + bay * i;
      float xa = side * column_x, xb = side * (aisle_x + 0.6f);
      m.box(id, {std::fmin(xa, xb), floor_y - 12.0f, z0 + 0.15f},
            {std::fmax(xa, xb), floor_y - 11.5f, z0 + bay - 0.15f});
    }
  }
  // Beams across the nave at the top of the clerestory, every half bay; the spaces between stay
  // open to the sky.
  const affine id;
  for (int i = 0; i <= bays * 2; ++i) {
    float z = z_start + 2.5f * i;
    m.box(id, {-column_x - 0.3f, -8.6f, z - 0.2f}, {column_x + 0.3f, -8.1f, z + 0.2f});
  }
  for (float x : {-column_x, -1.5f, 1.5f, column_x}) {
    m.box(id, {x - 0.2f, -9.0f, z_start}, {x + 0.2f, -8.6f, -z_start});
  }
}

}  // namespace

void build_transf(mesh_builder& m) {
  m.object("floor");
  floor_and_plinth(m);
  m.object("columns");
  columns(m);
  m.object("arches");
  transverse_arches(m);
  arcades(m);
  m.object("walls");
  aisles_and_roof(m);
}

}  // namespace meshgen
