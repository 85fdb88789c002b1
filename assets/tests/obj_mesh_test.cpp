// Loading OBJ text: face forms, fan triangulation, indices, welding, groups, materials, generated
// normals, and the files that are refused.
#include "assets/obj_mesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// The corner records of every triangle, in triangle order.
std::vector<vertex_record> corners(const obj_mesh& mesh) {
  std::vector<vertex_record> out;
  for (uint32_t index : mesh.triangles) out.push_back(mesh.vertices.at(index));
  return out;
}

std::vector<float> xyz(const float* v) { return {v[0], v[1], v[2]}; }

obj_mesh loaded(const std::string& text, bool recompute = false) {
  obj_mesh mesh;
  EXPECT_TRUE(mesh.load_text(text, recompute)) << text;
  return mesh;
}

const char* square = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 0\nv 2 2 2\n";

TEST(obj_mesh, faces_fan_out_from_their_first_corner) {
  obj_mesh mesh = loaded(std::string(square) + "f 1 2 3 4\nf 1 2 3 4 5\n");
  ASSERT_EQ(mesh.triangle_count, 5);
  std::vector<std::vector<float>> expected = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 0, 0}, {1, 1, 0},
                                              {0, 1, 0}, {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 0, 0},
                                              {1, 1, 0}, {0, 1, 0}, {0, 0, 0}, {0, 1, 0}, {2, 2, 2}};
  std::vector<vertex_record> c = corners(mesh);
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(xyz(c[i].position), expected[i]) << i;
  EXPECT_EQ(mesh.triangles, (std::vector<uint32_t>{0, 1, 2, 0, 2, 3, 0, 1, 2, 0, 2, 3, 0, 3, 4}));
  EXPECT_EQ(mesh.triangle_materials, std::vector<int>(5, 0));
}

TEST(obj_mesh, negative_indices_count_back_from_the_last_element_read) {
  obj_mesh mesh = loaded(
      "v 0 0 0\nv 1 0 0\nv 1 1 0\nvt 0.5 0.25\nvn 0 0 1\nf -3/-1/-1 -2/-1/-1 -1/-1/-1\n"
      "v 5 5 5\nvn 1 0 0\nf -1//-1 -2//-2 -3//-1\n");
  std::vector<vertex_record> c = corners(mesh);
  ASSERT_EQ(c.size(), 6u);
  EXPECT_EQ(xyz(c[0].position), (std::vector<float>{0, 0, 0}));
  EXPECT_EQ(xyz(c[2].position), (std::vector<float>{1, 1, 0}));
  EXPECT_EQ(c[1].texcoord[0], 0.5f);
  EXPECT_EQ(xyz(c[3].position), (std::vector<float>{5, 5, 5}));
  EXPECT_EQ(xyz(c[3].normal), (std::vector<float>{1, 0, 0}));
  EXPECT_EQ(xyz(c[4].normal), (std::vector<float>{0, 0, 1}));
  EXPECT_EQ(xyz(c[4].position), (std::vector<float>{1, 1, 0}));
}

TEST(obj_mesh, the_first_corner_decides_what_each_corner_carries) {
  std::string head = std::string(square) + "vt 0.25 0.75\nvt 0.5 0.5\nvn 0 0 1\nvn 0 1 0\n";
  struct form {
    const char* face;
    float s, nz;
  } forms[] = {{"f 1/2/1 2/2/1 3/2/1", 0.5f, 1},
               {"f 1//1 2//1 3//1", 0, 1},
               {"f 1/1 2/1 3/1", 0.25f, 0},
               {"f 1 2 3", 0, 0}};
  for (const form& f : forms) {
    obj_mesh mesh = loaded(head + f.face + "\n");
    ASSERT_EQ(mesh.triangle_count, 1) << f.face;
    EXPECT_TRUE(mesh.has_normals);
    for (const vertex_record& v : corners(mesh)) {
      EXPECT_EQ(v.texcoord[0], f.s) << f.face;
      // Without a normal in the form the normal stays zero: the file has normals, so none are made.
      EXPECT_EQ(v.normal[2], f.nz) << f.face;
    }
  }
}

TEST(obj_mesh, equal_corners_share_one_record) {
  obj_mesh mesh = loaded(std::string(square) +
                         "vt 0.5 0\nvt 1 1\nf 1/1 2/1 3/1\nf 1/1 3/1 4/1\nf 1/2 4/1 5/1\n"
                         "vn 0 0 0\nvn -0 0 0\nf 1//1 2//1 3//1\nf 1//2 2//1 3//1\n");
  // Face 2 reuses position 1 with texture coordinate 1; face 3 splits it with coordinate 2, and
  // the normals (0,0,0) and (-0,0,0) differ in their bits.
  EXPECT_EQ(mesh.triangles[3], mesh.triangles[0]);
  EXPECT_EQ(mesh.weld_index.records_of(0), (std::vector<int>{0, 4, 6, 9}));
  EXPECT_EQ(mesh.weld_index.records_of(3), (std::vector<int>{3}));
  EXPECT_EQ(mesh.vertices.size(), 10u);
  EXPECT_EQ(mesh.triangles[12], 9u);
  EXPECT_EQ(mesh.triangles[13], 7u);
}

TEST(obj_mesh, groups_start_at_each_object_and_end_with_the_total) {
  std::string v(square);
  EXPECT_EQ(loaded(v + "f 1 2 3\nf 1 3 4\n").groups, (std::vector<int>{2}));
  EXPECT_EQ(loaded(v + "f 1 2 3\no a\nf 1 3 4\n").groups, (std::vector<int>{1, 2}));
  EXPECT_EQ(loaded(v + "o a\no b\nf 1 2 3 4\no c\n").groups, (std::vector<int>{0, 0, 2, 2}));
  obj_mesh empty = loaded("o only\n");
  EXPECT_EQ(empty.groups, (std::vector<int>{0, 0}));
  EXPECT_TRUE(empty.vertices.empty());
}

TEST(obj_mesh, materials) {
  obj_mesh plain = loaded(std::string(square) + "usemtl default\nf 1 2 3\nusemtl other\nf 1 3 4\nusemtl\n");
  ASSERT_EQ(plain.materials.size(), 1u);
  const obj_material& m = plain.materials[0];
  EXPECT_EQ(m.name, "default");
  EXPECT_EQ(std::vector<float>(m.ambient, m.ambient + 4), (std::vector<float>{0.2f, 0.2f, 0.2f, 1}));
  EXPECT_EQ(std::vector<float>(m.diffuse, m.diffuse + 4), (std::vector<float>{0.8f, 0.8f, 0.8f, 1}));
  EXPECT_EQ(std::vector<float>(m.specular, m.specular + 4), (std::vector<float>{0, 0, 0, 1}));
  EXPECT_EQ(m.dissolve, 1.0f);
  EXPECT_EQ(plain.triangle_materials, (std::vector<int>{0, 0}));

  obj_mesh library =
      loaded(std::string("mtllib a.mtl\nmtllib b.mtl c.mtl\n") + square + "usemtl default\nf 1 2 3\n");
  EXPECT_EQ(library.library_count, 2);
  // One blank material stands for every library statement.
  ASSERT_EQ(library.materials.size(), 1u);
  EXPECT_EQ(library.materials[0].name, "");
  EXPECT_TRUE(library.material_index.empty());
  EXPECT_EQ(library.triangle_materials, (std::vector<int>{0}));
}

TEST(obj_mesh, statements_read_as_many_numbers_as_they_hold) {
  obj_mesh mesh = loaded("v 1 2 3 4\nvt 0.25 0.5 0.75\nvt 0.125 0.375\nv 1.5 x\nvn 0 0\nf 1/1 2/2 1/2\n");
  EXPECT_EQ(mesh.texcoords, (std::vector<float>{0.25f, 0.5f, 0.125f, 0.375f}));
  EXPECT_EQ(mesh.positions, (std::vector<float>{1, 2, 3, 1.5f, 0, 0}));
  EXPECT_EQ(mesh.normals, (std::vector<float>{0, 0, 0}));
  EXPECT_EQ(mesh.triangle_count, 1);
}

// Per corner: the generated normal is unit length and points away from the centre.
void expect_outward_unit_normals(const obj_mesh& mesh, float tolerance) {
  for (const vertex_record& v : mesh.vertices) {
    const float* n = v.normal;
    const float* p = v.position;
    float length = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    float radius = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
    EXPECT_NEAR(length, 1.0f, 1e-6f);
    EXPECT_GT((n[0] * p[0] + n[1] * p[1] + n[2] * p[2]) / radius, 1.0f - tolerance);
  }
}

TEST(obj_mesh, generated_normals_on_a_cube_and_a_sphere) {
  std::string cube =
      "v -1 -1 -1\nv 1 -1 -1\nv 1 1 -1\nv -1 1 -1\nv -1 -1 1\nv 1 -1 1\nv 1 1 1\nv -1 1 1\n"
      "f 1 4 3 2\nf 5 6 7 8\nf 1 2 6 5\nf 2 3 7 6\nf 3 4 8 7\nf 4 1 5 8\n";
  obj_mesh box = loaded(cube);
  EXPECT_TRUE(box.has_normals);
  EXPECT_EQ(box.vertices.size(), 8u);
  expect_outward_unit_normals(box, 0.25f);

  std::string sphere;
  const int rings = 24, segments = 48;
  const double pi = 3.14159265358979;
  for (int r = 0; r <= rings; ++r)
    for (int s = 0; s < segments; ++s) {
      double a = pi * r / rings, b = 2 * pi * s / segments;
      char line[96];
      std::snprintf(line, sizeof line, "v %.6f %.6f %.6f\nvn 0 0 1\n", std::sin(a) * std::cos(b), std::cos(a),
                    std::sin(a) * std::sin(b));
      sphere += line;
    }
  for (int r = 0; r < rings; ++r)
    for (int s = 0; s < segments; ++s) {
      int a = r * segments + s + 1, b = r * segments + (s + 1) % segments + 1;
      sphere += "f " + std::to_string(a) + "//1 " + std::to_string(b) + "//1 " +
                std::to_string(b + segments) + "//1 " + std::to_string(a + segments) + "//1\n";
    }
  // The file's normals all point along z; recomputing replaces them with smooth ones.
  obj_mesh ball = loaded(sphere, true);
  expect_outward_unit_normals(ball, 0.01f);
  EXPECT_EQ(loaded(sphere).vertices[40].normal[2], 1.0f);
}

TEST(obj_mesh, a_normal_without_direction_stays_finite) {
  obj_mesh mesh = loaded("v 0 0 0\nv 1 0 0\nv 2 0 0\nv 0 1 0\nf 1 2 3\nf 1 2 4\nf 4 4 4\n");
  EXPECT_EQ(xyz(mesh.vertices[2].normal), (std::vector<float>{0, 0, 0}));
  EXPECT_EQ(xyz(mesh.vertices[0].normal), (std::vector<float>{0, 0, 1}));
}

struct text_and_problem {
  const char* text;
  const char* problem;
};

TEST(obj_mesh, skips_faces_that_name_missing_elements_or_lack_corners) {
  // Lines 1 to 8, then a good face, the bad one on line 10 and another good face.
  const std::string head = std::string(square) + "vt 0 0\nvn 0 0 1\no a\nf 1 2 3\n";
  const std::string tail = "\nf 3 4 5\n";
  const text_and_problem faces[] = {
      {"f 0 1 2", "position index 0 out of range (indices start at 1)"},
      {"f 1 2 6", "position index 6 out of range (the file has 5 positions)"},
      {"f 1 2 -6", "position index -6 out of range (5 positions before the face)"},
      {"f 1 2", "a face corner lacks a number of its form"},
      {"f 1/2 2/1 3/1", "texture coordinate index 2 out of range (the file has 1 texture coordinate)"},
      {"f 1//2 2//1 3//1", "normal index 2 out of range (the file has 1 normal)"},
      {"f 1/1/1 2/1/1 3/1", "a face corner lacks a number of its form"},
      {"f 1/1/1 2/1/1 3/1/1 4/1", "a face corner lacks a number of its form"},
      {"f 1/1 2/1 3/1 4", "a face corner lacks a number of its form"},
      {"f 1 2 99999999999", "position index 99999999999 out of range (the file has 5 positions)"},
      {"f 1 2 3 -99999999999999999999999", "position index out of range (5 positions before the face)"},
  };
  for (const text_and_problem& f : faces) {
    obj_mesh mesh = loaded(head + f.text + tail);
    // The two good faces stay, nothing of the bad one is made.
    ASSERT_EQ(mesh.triangle_count, 2) << f.text;
    EXPECT_EQ(mesh.triangles.size(), 6u);
    EXPECT_EQ(mesh.triangle_materials.size(), 2u);
    EXPECT_EQ(mesh.vertices.size(), 5u) << f.text;
    EXPECT_EQ(mesh.groups, (std::vector<int>{0, 2}));
    EXPECT_EQ(mesh.problem, std::string("line 10: ") + f.problem + "; the face is skipped") << f.text;
  }
  // A face without corners takes the next line's keyword for its first corner, and so that face.
  obj_mesh eaten = loaded(head + "f" + tail);
  EXPECT_EQ(eaten.triangle_count, 1);
  EXPECT_EQ(eaten.problem, "line 10: a face corner lacks a number of its form; the face is skipped");
  // Several bad faces: the first is named, all are counted, on either route.
  for (const char* route : {"", "f 1 2 7\nv 0 0 0\nv 1 1 1\n"}) {
    obj_mesh many = loaded(head + "f 0 1 2\nf 1 2\nf 1 2 3\nf 9 9 9\n" + route);
    EXPECT_EQ(many.triangle_count, *route ? 3 : 2) << route;
    EXPECT_EQ(many.problem, "line 10: position index 0 out of range (indices start at 1); 3 faces skipped");
  }
  obj_mesh none = loaded(std::string(square) + "f 0 0 0\n");
  EXPECT_EQ(none.problem,
            "line 6: position index 0 out of range (indices start at 1); the face is skipped; no faces");

  // Statements that the counting pass reads as one line and the filling pass as two: the whole
  // mesh is refused.
  const text_and_problem refusals[] = {
      {"v 1 2 3 v 4 5 6\n", "line 1: the numbers of a statement run on into other statements"},
      {"v\n1\n2\n3 f 1 1 1\n", "line 4: the numbers of a statement run on into other statements"},
      // Counted triangles that are never filled would point at a vertex that does not exist.
      {"o\nf 1 2 3\n",
       "faces that the statements before them hide (an 'o' statement takes the next word for its name)"},
  };
  for (const text_and_problem& r : refusals) {
    obj_mesh mesh;
    EXPECT_FALSE(mesh.load_text(r.text, false)) << r.text;
    EXPECT_FALSE(mesh.loaded);
    EXPECT_TRUE(mesh.vertices.empty() && mesh.groups.empty() && mesh.triangles.empty());
    EXPECT_EQ(mesh.problem, r.problem);
  }
}

TEST(obj_mesh, problems_say_why_a_loaded_mesh_shows_nothing) {
  EXPECT_EQ(loaded("").problem, "empty");
  EXPECT_EQ(loaded("# nothing but a comment\nv 1 2 3\n").problem, "no faces");
  EXPECT_EQ(loaded(std::string(square) + "f 1 2 3\n").problem,
            "no object ('o') statement, so nothing of it is drawn");
  EXPECT_EQ(loaded(std::string(square) + "o a\nf 1 2 3\n").problem, "");
}

TEST(obj_mesh, long_lines_and_tokens_are_read_whole) {
  std::string huge(5000, 'a');
  obj_mesh mesh =
      loaded("# " + huge + " f 1 2 3\no " + huge + "\n" + square + "f 1 2 3\n" + "usemtl " + huge + "\n");
  EXPECT_EQ(mesh.triangle_count, 1);
  EXPECT_EQ(mesh.groups, (std::vector<int>{0, 1}));
}

TEST(obj_mesh, load_reads_files) {
  obj_mesh missing;
  EXPECT_FALSE(missing.load("no/such/file.obj", false));
  EXPECT_FALSE(missing.loaded);
  EXPECT_EQ(missing.problem, "cannot open: No such file or directory");
  // A directory opens but holds no text: an empty mesh.
  obj_mesh directory;
  EXPECT_TRUE(directory.load(testing::TempDir().c_str(), false));
  EXPECT_EQ(directory.groups, (std::vector<int>{0}));
  EXPECT_EQ(directory.problem, "cannot read: Is a directory");

  std::string path = testing::TempDir() + "obj_mesh_test.obj";
  std::FILE* out = std::fopen(path.c_str(), "wb");
  std::string text = std::string(square) + "o x\r\nf 1 2 3 4\r\n";
  std::fwrite(text.data(), 1, text.size(), out);
  std::fclose(out);
  obj_mesh mesh;
  EXPECT_TRUE(mesh.load(path.c_str(), false));
  EXPECT_TRUE(mesh.loaded);
  EXPECT_EQ(mesh.groups, (std::vector<int>{0, 2}));
  EXPECT_EQ(mesh.problem, "");
  std::remove(path.c_str());
}

}  // namespace
