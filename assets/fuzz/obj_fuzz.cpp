// libFuzzer target: any text loads without reading or writing out of bounds, an accepted mesh
// keeps its invariants, and where the fscanf reference reader applies both give the same result.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "assets/obj_mesh.h"
#include "assets/tests/obj_reference.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

void check_invariants(const obj_mesh& mesh) {
  check(mesh.loaded && !mesh.groups.empty());
  check(mesh.positions.size() == 3 * size_t(mesh.position_count));
  check(mesh.texcoords.size() == 2 * size_t(mesh.texcoord_count));
  check(mesh.normals.size() == 3 * size_t(mesh.normal_count));
  check(mesh.triangles.size() == 3 * size_t(mesh.triangle_count));
  check(mesh.triangle_materials.size() == size_t(mesh.triangle_count));
  for (uint32_t index : mesh.triangles) check(index < mesh.vertices.size());
  for (size_t g = 1; g < mesh.groups.size(); ++g) check(mesh.groups[g - 1] <= mesh.groups[g]);
  check(mesh.groups.back() <= mesh.triangle_count);
  for (int material : mesh.triangle_materials)
    check(material >= 0 && size_t(material) < mesh.materials.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  bool recompute = size % 3 == 0;
  obj_mesh mesh;
  bool loaded = mesh.load_text(text, recompute);
  if (loaded)
    check_invariants(mesh);
  else
    check(!mesh.loaded && mesh.vertices.empty() && mesh.groups.empty() && !mesh.problem.empty());
  if (size <= 4096 && reference_applies(text)) {
    obj_mesh expected;
    bool expected_loaded = reference_load_text(text, recompute, expected);
    check(loaded == expected_loaded);
    if (loaded) check(mesh_difference(expected, mesh).empty());
  }
  return 0;
}
