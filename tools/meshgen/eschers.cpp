// The escher cluster: five smaller storeys at odd angles, tied together by long bridges.
#include "tools/meshgen/shapes.h"

namespace meshgen {

void build_eschers(mesh_builder& m) {
  mesh_builder module;
  build_escher_module(module);
  struct placement {
    v3 at;
    float turn_x, turn_y, turn_z, size;
  };
  const placement list[] = {{{0, 0, 0}, 0, 0, 0, 0.6f},
                            {{9, 4, 2}, 90, 30, 0, 0.45f},
                            {{-8, -3, 5}, 0, 75, 90, 0.45f},
                            {{2, 9, -8}, 180, 10, 0, 0.4f},
                            {{-3, -10, -6}, -90, 140, 0, 0.4f}};
  m.object("eschers");
  for (const placement& p : list) {
    affine t = affine::translate(p.at) * affine::rotate_x(p.turn_x) * affine::rotate_y(p.turn_y) *
               affine::rotate_z(p.turn_z) * affine::scale({p.size, p.size, p.size}) *
               affine::translate({0, -9, 0});
    m.append(module, t);
  }
  const affine id;
  m.box(id, {-8, -1.2f, -0.4f}, {9, -0.8f, 0.4f});
  m.box(id, {-0.4f, -10, -6.4f}, {0.4f, 9, -5.6f});
  m.box(id, {2.6f, 4.2f, -8}, {3.4f, 4.6f, 5});
}

}  // namespace meshgen
