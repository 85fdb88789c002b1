#pragma once
// Collects triangles into named objects and writes them as a Wavefront OBJ file. Geometry helpers
// (boxes, general hexahedra, cylinders) cover what the show's architecture is made of.
#include <array>
#include <string>
#include <vector>

namespace meshgen {

struct v3 {
  float x = 0, y = 0, z = 0;
};
v3 operator+(v3 a, v3 b);
v3 operator-(v3 a, v3 b);
v3 operator*(v3 a, float s);
v3 cross(v3 a, v3 b);
float dot(v3 a, v3 b);
float length(v3 a);
v3 normalize(v3 a);
v3 lerp(v3 a, v3 b, float t);

// Affine transform, rows of a 3x4 matrix. Composition a * b applies b first.
struct affine {
  float m[3][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}};
  v3 point(v3 p) const;
  static affine translate(v3 t);
  static affine scale(v3 s);
  static affine rotate_x(float degrees);
  static affine rotate_y(float degrees);
  static affine rotate_z(float degrees);
};
affine operator*(const affine& a, const affine& b);

class mesh_builder {
 public:
  // Starts a new `o` object; triangles added afterwards belong to it.
  void object(const std::string& name);

  // Flat-shaded triangle and quad (corners counter-clockwise seen from the front). Degenerate
  // triangles are dropped.
  void triangle(v3 a, v3 b, v3 c);
  void quad(v3 a, v3 b, v3 c, v3 d);
  // Triangle with per-corner normals.
  void smooth_triangle(v3 a, v3 b, v3 c, v3 na, v3 nb, v3 nc);

  // A convex hexahedron from eight corners: 0-3 one face, 4-7 the opposite face, corner i+4
  // opposite corner i. Faces are oriented outwards whatever the corner order.
  void hexa(const std::array<v3, 8>& c);
  // Axis-aligned box from lo to hi, transformed.
  void box(const affine& t, v3 lo, v3 hi);
  // Cylinder along +y from y0 to y1 with smooth sides and flat caps, transformed.
  void cylinder(const affine& t, float radius, float y0, float y1, int sides);

  // Writes the OBJ file; `with_normals` emits flat/smooth normals, otherwise the loader generates
  // them. Returns false when the file cannot be written.
  bool write_obj(const std::string& path, bool with_normals) const;

  // Adds every triangle of `other`, transformed by `t` (rotation, translation and uniform scale).
  void append(const mesh_builder& other, const affine& t);

  size_t triangle_count() const { return tris_.size(); }

 private:
  struct corner {
    v3 p, n;
  };
  std::vector<std::array<corner, 3>> tris_;
  std::vector<std::pair<std::string, size_t>> objects_;
};

}  // namespace meshgen
