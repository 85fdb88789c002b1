// obj_mesh against tinyobjloader: the same triangles with the same corners on files with quads,
// n-gons, negative indices and faces of every form.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "assets/obj_mesh.h"
#include "assets/tests/obj_tinyobj.h"

namespace {

// Loads `text` with both loaders and compares every corner; normals only when the file has them
// (obj_mesh generates its own otherwise).
void expect_same_corners(const std::string& text) {
  std::string path = testing::TempDir() + "obj_oracle_test.obj";
  std::FILE* out = std::fopen(path.c_str(), "wb");
  std::fwrite(text.data(), 1, text.size(), out);
  std::fclose(out);
  std::vector<obj_corner> expected;
  ASSERT_TRUE(tinyobj_corners(path.c_str(), expected)) << text;
  obj_mesh mesh;
  ASSERT_TRUE(mesh.load(path.c_str(), false)) << text;
  std::vector<obj_corner> actual = mesh_corners(mesh);
  ASSERT_EQ(size_t(mesh.triangle_count) * 3, expected.size()) << text;
  ASSERT_EQ(actual.size(), expected.size()) << text;
  size_t compared = mesh.normal_count > 0 ? 8 : 5;
  for (size_t i = 0; i < actual.size(); ++i)
    for (size_t k = 0; k < compared; ++k)
      ASSERT_EQ(actual[i][k], expected[i][k]) << "corner " << i << " value " << k;
  std::remove(path.c_str());
}

const char* vertices =
    "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 0.5 1.5 0.25\nv -1.25 0.125 3\n"
    "vt 0 0\nvt 1 0\nvt 1 1\nvt 0.5 0.75 0.0\nvn 0 0 1\nvn 0 1 0\nvn 0.6 0.8 0\n";

TEST(obj_oracle, small_files) {
  const char* bodies[] = {
      "f 1 2 3 4\nf 1 2 3 4 5 6\n",
      "f 1/1/1 2/2/1 3/3/2 4/4/3\nf 4//1 5//2 6//3\nf 1/1 2/2 3/3\nf 2 3 4\n",
      "f -6/-4/-3 -5/-3/-2 -4/-2/-1\nv 9 9 9\nvt 0.25 0.25\nvn 1 0 0\nf -1/-1/-1 -2/-2/-2 -3/-3/-3 "
      "-4/-1/-4\n",
      "o first\nf 1 2 3\no second\nf 3 4 5 6 1\ng grp\nusemtl m\nf 6//3 5//2 4//1\n",
      "f 1/4 2/3 3/2 4/1 5/4\r\nf 6 5 4 3 2 1\r\n",
  };
  for (const char* body : bodies) expect_same_corners(std::string(vertices) + body);
}

// A grid of quads with decimal coordinates as exporters write them, plus n-gon fans.
TEST(obj_oracle, generated_grid) {
  std::string text;
  const int n = 60;
  char line[128];
  for (int y = 0; y <= n; ++y)
    for (int x = 0; x <= n; ++x) {
      double h = std::sin(x * 0.37) * std::cos(y * 0.21);
      std::snprintf(line, sizeof line, "v %.6f %.6f %.6f\nvt %.6f %.6f\nvn %.6f %.6f %.6f\n", x / 7.3, h,
                    y / -3.1, x / double(n), y / double(n), h * 0.5, 0.8660254, -h * 0.25);
      text += line;
    }
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      int a = y * (n + 1) + x + 1, b = a + 1, c = a + n + 2, d = a + n + 1;
      if ((x + y) % 7 == 0)
        std::snprintf(line, sizeof line, "f %d//%d %d//%d %d//%d %d//%d\n", a, a, b, b, c, c, d, d);
      else
        std::snprintf(line, sizeof line, "f %d/%d/%d %d/%d/%d %d/%d/%d %d/%d/%d\n", a, a, a, b, b, b, c, c, c,
                      d, d, d);
      text += line;
    }
  text += "f -1 -2 -3 -4 -5 -6 -7 -8\n";
  expect_same_corners(text);
}

}  // namespace
