#include "tools/meshgen/architecture.h"

#include <cmath>
#include <numbers>

namespace meshgen {

void wall_block(mesh_builder& m, const wall_map& map, float u0, float u1, float v0, float v1, float w0,
                float w1, int pieces) {
  for (int i = 0; i < pieces; ++i) {
    float a = u0 + (u1 - u0) * i / pieces, b = u0 + (u1 - u0) * (i + 1) / pieces;
    m.hexa({map(a, v0, w0), map(b, v0, w0), map(b, v1, w0), map(a, v1, w0), map(a, v0, w1), map(b, v0, w1),
            map(b, v1, w1), map(a, v1, w1)});
  }
}

void arch_head(mesh_builder& m, const wall_map& map, float uc, float a, float vs, float ring, float vtop,
               float w0, float w1, int stones) {
  const float pi = std::numbers::pi_v<float>;
  for (int k = 0; k < stones; ++k) {
    float p0 = pi * k / stones, p1 = pi * (k + 1) / stones;
    float ci0 = std::cos(p0), si0 = std::sin(p0), ci1 = std::cos(p1), si1 = std::sin(p1);
    float r0 = a, r1 = a + ring;
    // Voussoir between the inner and outer arch curves.
    m.hexa({map(uc + r0 * ci0, vs + r0 * si0, w0), map(uc + r0 * ci1, vs + r0 * si1, w0),
            map(uc + r1 * ci1, vs + r1 * si1, w0), map(uc + r1 * ci0, vs + r1 * si0, w0),
            map(uc + r0 * ci0, vs + r0 * si0, w1), map(uc + r0 * ci1, vs + r0 * si1, w1),
            map(uc + r1 * ci1, vs + r1 * si1, w1), map(uc + r1 * ci0, vs + r1 * si0, w1)});
    // Spandrel strip from the outer curve up to the top of the bay, squared off at the sides.
    float u0 = uc + r1 * ci0, u1 = uc + r1 * ci1;
    if (k == 0) u0 = uc + r1;
    if (k == stones - 1) u1 = uc - r1;
    float v0 = vs + r1 * si0, v1 = vs + r1 * si1;
    if (vtop - std::fmax(v0, v1) < 0.02f) continue;
    m.hexa({map(u0, v0, w0), map(u1, v1, w0), map(u1, vtop, w0), map(u0, vtop, w0), map(u0, v0, w1),
            map(u1, v1, w1), map(u1, vtop, w1), map(u0, vtop, w1)});
  }
}

void window_bay(mesh_builder& m, const wall_map& map, float u0, float u1, float v0, float v1, float w0,
                float w1, float a, float vsill, float vspring, int stones) {
  float uc = 0.5f * (u0 + u1);
  float ring = std::fmin(0.35f * a, 0.5f * (u1 - u0) - a);
  int pieces = std::max(1, static_cast<int>(std::ceil((u1 - u0) / 0.8f)));
  // Piers left and right of the opening, the sill below it, the arch head above.
  wall_block(m, map, u0, uc - a - ring, v0, v1, w0, w1);
  wall_block(m, map, uc + a + ring, u1, v0, v1, w0, w1);
  wall_block(m, map, uc - a - ring, uc + a + ring, v0, vsill, w0, w1, pieces);
  wall_block(m, map, uc - a - ring, uc - a, vsill, vspring, w0, w1);
  wall_block(m, map, uc + a, uc + a + ring, vsill, vspring, w0, w1);
  arch_head(m, map, uc, a, vspring, ring, v1, w0, w1, stones);
}

}  // namespace meshgen
