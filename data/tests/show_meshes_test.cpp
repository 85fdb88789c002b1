// The generated meshes as the program's own loader reads them: every file loads, with one draw
// group per object, all triangles inside groups, and unit normals where the lighting needs them.
#include <gtest/gtest.h>

#include <cmath>

#include "assets/obj_mesh.h"

namespace {

TEST(ShowMeshes, LoadWithTheProgramsLoaderIntoGroupsWithUnitNormals) {
  struct mesh_case {
    const char* path;
    int groups;
  };
  const mesh_case cases[] = {{"neomeshes//escher.obj", 1},
                             {"neomeshes//eschers.obj", 1},
                             {"neomeshes//transf3.obj", 4},
                             {"neomeshes//wings.obj", 1},
                             {"neomeshes//credits.obj", 3}};
  for (const mesh_case& c : cases) {
    SCOPED_TRACE(c.path);
    obj_mesh mesh;
    ASSERT_TRUE(mesh.load(c.path, false));
    ASSERT_EQ(static_cast<int>(mesh.groups.size()), c.groups + 1);
    EXPECT_EQ(mesh.groups.front(), 0) << "no triangle before the first object";
    EXPECT_EQ(mesh.groups.back(), mesh.triangle_count);
    EXPECT_GE(mesh.triangle_count, 1000);
    EXPECT_LE(mesh.triangle_count, 100000);
    EXPECT_TRUE(mesh.has_normals);
    int bad = 0;
    for (const vertex_record& v : mesh.vertices) {
      const float* n = v.normal;
      float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
      bad += !(std::fabs(length - 1.0f) < 0.01f);
    }
    EXPECT_EQ(bad, 0) << "vertices without a usable normal";
  }
}

}  // namespace
