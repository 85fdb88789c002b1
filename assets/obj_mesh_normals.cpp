// Smooth vertex normals for meshes whose file carries none (or whose normals are recomputed).
#include <cmath>

#include "assets/obj_mesh.h"

void generate_normals(obj_mesh& mesh) {
  for (vertex_record& v : mesh.vertices) v.normal[0] = v.normal[1] = v.normal[2] = 0.0f;
  for (size_t t = 0; t + 2 < mesh.triangles.size(); t += 3) {
    vertex_record* r[3];
    for (int i = 0; i < 3; ++i) r[i] = &mesh.vertices[mesh.triangles[t + size_t(i)]];
    const float* p0 = r[0]->position;
    const float* p1 = r[1]->position;
    const float* p2 = r[2]->position;
    float a[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
    float b[3] = {p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]};
    // Twice the triangle's area in length, so larger faces weigh more.
    float n[3] = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    for (vertex_record* v : r)
      for (int k = 0; k < 3; ++k) v->normal[k] += n[k];
  }
  for (vertex_record& v : mesh.vertices) {
    float* n = v.normal;
    float scale = 1.0f / std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    // A record used only by degenerate triangles (or with overflowing values) has no direction.
    if (!std::isfinite(scale)) scale = 0.0f;
    for (int k = 0; k < 3; ++k) n[k] *= scale;
    if (!std::isfinite(n[0]) || !std::isfinite(n[1]) || !std::isfinite(n[2])) n[0] = n[1] = n[2] = 0.0f;
  }
  mesh.has_normals = true;
}
