// obj_info [--dump] FILE.obj: loads an OBJ file and prints its counts as one JSON line; with
// --dump, then one line per triangle corner: "x y z s t nx ny nz" of its vertex record. What the
// loader skipped or why it failed goes to standard error, after the file name. Exit status: 0
// loaded, 1 not loaded, 2 usage.
#include <cstdio>
#include <cstring>

#include "assets/obj_mesh.h"

int main(int argc, char** argv) {
  bool dump = argc == 3 && std::strcmp(argv[1], "--dump") == 0;
  if (argc != 2 && !dump) {
    std::fprintf(stderr, "usage: obj_info [--dump] FILE.obj\n");
    return 2;
  }
  obj_mesh mesh;
  bool loaded = mesh.load(argv[argc - 1], false);
  if (!mesh.problem.empty()) std::fprintf(stderr, "%s: %s\n", argv[argc - 1], mesh.problem.c_str());
  std::printf(
      "{\"loaded\": %s, \"positions\": %d, \"texcoords\": %d, \"normals\": %d, \"triangles\": %d, "
      "\"vertices\": %zu, \"groups\": [",
      loaded ? "true" : "false", mesh.position_count, mesh.texcoord_count, mesh.normal_count,
      mesh.triangle_count, mesh.vertices.size());
  for (size_t i = 0; i < mesh.groups.size(); ++i) std::printf(i ? ", %d" : "%d", mesh.groups[i]);
  std::printf("]}\n");
  if (dump) {
    for (uint32_t index : mesh.triangles) {
      const vertex_record& v = mesh.vertices[index];
      std::printf("%.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g\n", v.position[0], v.position[1], v.position[2],
                  v.texcoord[0], v.texcoord[1], v.normal[0], v.normal[1], v.normal[2]);
    }
  }
  return loaded ? 0 : 1;
}
