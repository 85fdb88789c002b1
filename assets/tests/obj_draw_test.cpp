// Drawing loaded meshes with client arrays: whole meshes, single groups, and the meshes that
// draw nothing.
#include <gtest/gtest.h>

#include "assets/obj_mesh.h"
#include "tests/support/gl_test_context.h"

namespace {

// Two objects: "left" covers the left half of the viewport, "right" the right half.
const char* halves =
    "v -1 -1 0\nv 0 -1 0\nv 0 1 0\nv -1 1 0\nv 1 -1 0\nv 1 1 0\nvt 0 0\n"
    "o left\nf 1/1 2/1 3/1 4/1\no right\nf 2/1 5/1 6/1 3/1\n";

// Clears to black, draws `group` of `mesh` in white and reports which halves turned white.
std::pair<bool, bool> draw_halves(obj_mesh& mesh, int group) {
  test_gl::ensure_context(64, 64);
  glViewport(0, 0, 64, 64);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  glColor3f(1, 1, 1);
  mesh.draw(group);
  glFinish();
  std::vector<uint8_t> left = test_gl::read_rgba(16, 32, 1, 1), right = test_gl::read_rgba(48, 32, 1, 1);
  EXPECT_EQ(test_gl::drain_errors(), GLenum(GL_NO_ERROR));
  // The client arrays are all disabled again.
  EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
  EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
  EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
  return {left[0] == 255, right[0] == 255};
}

TEST(obj_draw, groups_draw_their_own_triangles) {
  obj_mesh mesh;
  ASSERT_TRUE(mesh.load_text(halves, false));
  EXPECT_EQ(draw_halves(mesh, -1), std::make_pair(true, true));
  EXPECT_EQ(draw_halves(mesh, 0), std::make_pair(true, false));
  EXPECT_EQ(draw_halves(mesh, 1), std::make_pair(false, true));
  EXPECT_EQ(draw_halves(mesh, 2), std::make_pair(false, false));
  EXPECT_EQ(draw_halves(mesh, 1 << 30), std::make_pair(false, false));
}

TEST(obj_draw, meshes_that_draw_nothing) {
  obj_mesh never_loaded;
  EXPECT_EQ(draw_halves(never_loaded, -1), std::make_pair(false, false));
  obj_mesh missing;
  EXPECT_FALSE(missing.load("no/such/mesh.obj", false));
  EXPECT_EQ(draw_halves(missing, 0), std::make_pair(false, false));
  // Without an object statement there is no group to draw.
  obj_mesh no_objects;
  ASSERT_TRUE(no_objects.load_text("v -1 -1 0\nv 1 -1 0\nv 1 1 0\nf 1 2 3\n", false));
  EXPECT_EQ(draw_halves(no_objects, -1), std::make_pair(false, false));
  EXPECT_EQ(draw_halves(no_objects, 0), std::make_pair(false, false));
  // Groups without a single triangle, and so without a vertex array.
  obj_mesh empty_groups;
  ASSERT_TRUE(empty_groups.load_text("o a\no b\n", false));
  EXPECT_EQ(draw_halves(empty_groups, -1), std::make_pair(false, false));
}

}  // namespace
