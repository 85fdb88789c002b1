#pragma once
// Building blocks shared by the architectural meshes: pieces laid out in a "wall space" (u along
// the wall, v up the wall, w through it) that a mapping bends onto a plane or a cylinder.
#include <functional>

#include "tools/meshgen/mesh_builder.h"

namespace meshgen {

using wall_map = std::function<v3(float u, float v, float w)>;

// Solid block covering u0..u1, v0..v1, w0..w1 in wall space, split into `pieces` along u so that
// curved mappings stay close to the curve.
void wall_block(mesh_builder& m, const wall_map& map, float u0, float u1, float v0, float v1, float w0,
                float w1, int pieces = 1);

// A round-headed opening of half-width a whose arch springs at height vs: a ring of `stones`
// voussoirs of depth `ring` and the spandrel strips above them up to height vtop.
void arch_head(mesh_builder& m, const wall_map& map, float uc, float a, float vs, float ring, float vtop,
               float w0, float w1, int stones);

// Bay of wall from u0 to u1 and v0 to v1 with one arched window of half-width a centred in it,
// sill at vsill and arch springing at vspring.
void window_bay(mesh_builder& m, const wall_map& map, float u0, float u1, float v0, float v1, float w0,
                float w1, float a, float vsill, float vspring, int stones);

}  // namespace meshgen
