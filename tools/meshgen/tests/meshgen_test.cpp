// The generated meshes, read back with an independent OBJ parser: sizes, objects, clean faces,
// and the shapes the show's camera paths and transforms rely on.
#include <gtest/gtest.h>
#include <tiny_obj_loader.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

#include "tools/meshgen/font.h"
#include "tools/meshgen/shapes.h"

namespace {

using meshgen::mesh_builder;

struct loaded {
  tinyobj::attrib_t attrib;
  std::vector<tinyobj::shape_t> shapes;
  std::string text;
};

std::string temp_path(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("meshgen_test_" + name)).string();
}

loaded build_and_read(void (*build)(mesh_builder&), bool normals, const std::string& name) {
  mesh_builder m;
  build(m);
  std::string path = temp_path(name);
  EXPECT_TRUE(m.write_obj(path, normals));
  loaded l;
  std::vector<tinyobj::material_t> materials;
  std::string warn, err;
  EXPECT_TRUE(tinyobj::LoadObj(&l.attrib, &l.shapes, &materials, &warn, &err, path.c_str(), nullptr, true))
      << err;
  EXPECT_TRUE(err.empty()) << err;
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  l.text = s.str();
  std::remove(path.c_str());
  return l;
}

struct p3 {
  float x, y, z;
};
p3 vertex(const loaded& l, int i) {
  return {l.attrib.vertices[3 * i], l.attrib.vertices[3 * i + 1], l.attrib.vertices[3 * i + 2]};
}

size_t triangles(const loaded& l) {
  size_t n = 0;
  for (const auto& s : l.shapes) n += s.mesh.num_face_vertices.size();
  return n;
}

// Calls f(a, b, c) for every triangle of every object.
template <typename F>
void each_triangle(const loaded& l, F f) {
  for (const auto& s : l.shapes) {
    for (size_t t = 0; t < s.mesh.num_face_vertices.size(); ++t) {
      f(vertex(l, s.mesh.indices[3 * t].vertex_index), vertex(l, s.mesh.indices[3 * t + 1].vertex_index),
        vertex(l, s.mesh.indices[3 * t + 2].vertex_index));
    }
  }
}

double area(p3 a, p3 b, p3 c) {
  double ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z, vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
  double cx = uy * vz - uz * vy, cy = uz * vx - ux * vz, cz = ux * vy - uy * vx;
  return 0.5 * std::sqrt(cx * cx + cy * cy + cz * cz);
}

struct mesh_case {
  const char* name;
  void (*build)(mesh_builder&);
  bool normals;
  size_t objects;
};

const mesh_case cases[] = {{"escher.obj", meshgen::build_escher, true, 1},
                           {"eschers.obj", meshgen::build_eschers, true, 1},
                           {"transf3.obj", meshgen::build_transf, true, 4},
                           {"wings.obj", meshgen::build_wings, false, 1},
                           {"credits.obj", meshgen::build_credits, true, 3}};

TEST(Meshgen, EveryMeshIsCleanSizedAndGroupedIntoObjects) {
  for (const mesh_case& c : cases) {
    SCOPED_TRACE(c.name);
    loaded l = build_and_read(c.build, c.normals, c.name);
    EXPECT_EQ(l.shapes.size(), c.objects);
    size_t n = triangles(l);
    EXPECT_GE(n, 1000u);
    EXPECT_LE(n, 100000u);
    // No face before the first object: the loader would leave it out of every group.
    size_t first_o = l.text.find("\no ");
    size_t first_f = l.text.find("\nf ");
    EXPECT_LT(first_o, first_f);
    EXPECT_EQ(l.attrib.normals.empty(), !c.normals);
    double smallest = 1e9;
    each_triangle(l, [&](p3 a, p3 b, p3 cc) { smallest = std::min(smallest, area(a, b, cc)); });
    EXPECT_GT(smallest, 1e-7) << "degenerate triangle";
    for (float v : l.attrib.normals) EXPECT_TRUE(std::isfinite(v));
  }
}

TEST(Meshgen, OutputIsIdenticalFromRunToRun) {
  for (const mesh_case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(build_and_read(c.build, c.normals, "a").text, build_and_read(c.build, c.normals, "b").text);
  }
}

TEST(Meshgen, EscherStoreyStacksEighteenUnitsApartAroundAnOpenCore) {
  loaded l = build_and_read(meshgen::build_escher, true, "escher");
  float lo = 1e9, hi = -1e9;
  int in_core = 0;
  each_triangle(l, [&](p3 a, p3 b, p3 c) {
    for (p3 p : {a, b, c, p3{(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, (a.z + b.z + c.z) / 3}}) {
      lo = std::min(lo, p.y);
      hi = std::max(hi, p.y);
      in_core += std::hypot(p.x, p.z) < 2.5f;
    }
  });
  EXPECT_NEAR(lo, 0.0f, 1e-3);
  EXPECT_NEAR(hi, 18.0f, 1e-3);
  EXPECT_EQ(in_core, 0) << "the camera flies down the axis";
}

TEST(Meshgen, HallLeavesTheNaveOpenForTheCamera) {
  loaded l = build_and_read(meshgen::build_transf, true, "hall");
  int blocked = 0;
  float zmin = 1e9, zmax = -1e9;
  each_triangle(l, [&](p3 a, p3 b, p3 c) {
    for (float t = 0; t <= 1.0f; t += 0.25f) {
      for (p3 p : {a, b, c}) {
        p3 q{p.x + (c.x - p.x) * t, p.y + (c.y - p.y) * t, p.z + (c.z - p.z) * t};
        blocked += std::fabs(q.x) < 3.0f && q.y > -5.0f && q.y < 5.5f && std::fabs(q.z) < 40.0f;
      }
    }
    zmin = std::min({zmin, a.z, b.z, c.z});
    zmax = std::max({zmax, a.z, b.z, c.z});
  });
  EXPECT_EQ(blocked, 0);
  EXPECT_LE(zmin, -40.0f);
  EXPECT_GE(zmax, 40.0f);
}

TEST(Meshgen, WingIsAClosedThinBlade) {
  loaded l = build_and_read(meshgen::build_wings, false, "wing");
  // No edge belongs to one triangle only: the surface has no cracks for the loader's smooth
  // normals to show.
  std::map<std::pair<int, int>, int> edges;
  for (const auto& s : l.shapes) {
    for (size_t t = 0; t < s.mesh.indices.size(); t += 3) {
      for (int k = 0; k < 3; ++k) {
        int a = s.mesh.indices[t + k].vertex_index, b = s.mesh.indices[t + (k + 1) % 3].vertex_index;
        ++edges[{std::min(a, b), std::max(a, b)}];
      }
    }
  }
  int open = 0;
  for (const auto& [edge, count] : edges) open += count == 1;
  EXPECT_EQ(open, 0);
  float xs = 0, ys = 0, zs = 0;
  for (size_t i = 0; i < l.attrib.vertices.size(); i += 3) {
    xs = std::max(xs, std::fabs(l.attrib.vertices[i]));
    ys = std::max(ys, std::fabs(l.attrib.vertices[i + 1]));
    zs = std::max(zs, std::fabs(l.attrib.vertices[i + 2]));
  }
  EXPECT_NEAR(ys, 6.0f, 0.01f);
  EXPECT_LT(xs, 0.6f);
  EXPECT_GT(zs, 2.0f);
  EXPECT_LT(zs, 4.0f);
}

TEST(Meshgen, CreditLinesAreCentredAndTheFontIsComplete) {
  loaded l = build_and_read(meshgen::build_credits, true, "credits");
  for (const auto& s : l.shapes) {
    float lo = 1e9, hi = -1e9;
    for (const auto& i : s.mesh.indices) {
      lo = std::min(lo, vertex(l, i.vertex_index).x);
      hi = std::max(hi, vertex(l, i.vertex_index).x);
    }
    EXPECT_NEAR(lo, -hi, 0.01f) << s.name;
  }
  std::set<std::string> seen;
  for (char c : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789&-.!")) {
    const meshgen::glyph* g = meshgen::find_glyph(c);
    ASSERT_NE(g, nullptr) << c;
    std::string all;
    for (auto row : *g) {
      EXPECT_EQ(row.size(), 5u) << c;
      EXPECT_EQ(row.find_first_not_of(".#"), std::string_view::npos) << c;
      all += row;
    }
    EXPECT_TRUE(seen.insert(all).second) << c << " looks like another glyph";
  }
  EXPECT_EQ(meshgen::find_glyph('a'), nullptr);
}

}  // namespace
