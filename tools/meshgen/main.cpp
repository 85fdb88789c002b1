// meshgen OUTPUT_DIR: writes the show's five meshes into OUTPUT_DIR. The output depends on
// nothing but this program, so running it twice gives identical files.
#include <cstdio>
#include <string>

#include "tools/meshgen/shapes.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: meshgen OUTPUT_DIR\n");
    return 2;
  }
  struct job {
    const char* file;
    void (*build)(meshgen::mesh_builder&);
    bool normals;
  };
  // Architecture keeps its hard edges with explicit normals; the wing is left to the loader's
  // smooth normals.
  const job jobs[] = {{"escher.obj", meshgen::build_escher, true},
                      {"eschers.obj", meshgen::build_eschers, true},
                      {"transf3.obj", meshgen::build_transf, true},
                      {"wings.obj", meshgen::build_wings, false},
                      {"credits.obj", meshgen::build_credits, true}};
  for (const job& j : jobs) {
    meshgen::mesh_builder m;
    j.build(m);
    std::string path = std::string(argv[1]) + "/" + j.file;
    if (!m.write_obj(path, j.normals)) {
      std::fprintf(stderr, "meshgen: cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("%s: %zu triangles\n", j.file, m.triangle_count());
  }
  return 0;
}
