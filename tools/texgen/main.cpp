// texgen OUTPUT_DIR: writes noise.ppm and blob41b.ppm into OUTPUT_DIR; the build encodes them as
// baseline JPEG files.
#include <cstdio>
#include <string>

#include "tools/texgen/pictures.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: texgen OUTPUT_DIR\n");
    return 2;
  }
  std::string dir = argv[1];
  if (!texgen::write_ppm(texgen::make_noise(512), (dir + "/noise.ppm").c_str()) ||
      !texgen::write_ppm(texgen::make_blob(128), (dir + "/blob41b.ppm").c_str())) {
    std::fprintf(stderr, "texgen: cannot write into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
